#ifndef PTZRECORDS_H
#define PTZRECORDS_H

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <cstddef>
#include <cstdint>

#include "common/CopyField.h"
#include "TMVNetSDK.h"

// Pure conversions of the PTZ page's list tabs (presets, tours, patterns,
// area scans, boot and park actions): list texts, the records the tabs send
// and the rule that picks a list entry. No widgets, so each is a table of
// cases.
namespace PtzRecords {

// Bytes of every name field of the preset and tour records, NUL included.
constexpr int kNameFieldBytes = 256;
// The boot and park lists offer no more area scans than this.
constexpr int kAreaScanChoices = 16;

// The decimal id, followed by "*" when the entry is stored on the device.
QString ListText(int32_t id, uint8_t enable);

using ::FieldText;

// True when the name goes into a name field whole, with its NUL (at most
// 255 bytes in UTF-8).
bool NameFits(const QString &name);

// The preset record Save, Move to and Delete send: enable 1, the id, the
// name in UTF-8. A name too long for the field is cut at the last whole
// character that fits (callers that must not cut check NameFits first).
TMV_NET_PRESET_INFO PresetRecord(int32_t id, const QString &name);

// A base-10 number typed or shown in a field; 0 when the text is not one.
int32_t Number(const QString &text);

// One row of the tour table as the user left it.
struct TourStop
{
    int32_t presetId;   // 0 when the row's list has no selection
    QString presetName; // the selected item's text
    QString residence;  // column 1, as typed
};

enum class TourFit {
    Fits,
    // More rows than a tour record holds; nothing is built.
    TooManyStops,
    // The tour's own name does not fit its field; nothing is built.
    NameTooLong,
};

// Fills `tour` for a save: enable 1, id, name, the stops in order (residence
// 0 when not a number; a preset name is cut at a character boundary, it came
// from a field of the same size) and the count. `tour` is zeroed first and
// left zeroed when the result is not Fits.
TourFit BuildTour(int32_t id, const QString &name, const QVector<TourStop> &stops, TMV_NET_TOUR_INFO *tour);

// The number of points of a tour the device returned that can be shown:
// its count, never outside 0..256.
int ShownStops(const TMV_NET_TOUR_INFO &tour);

// The radio button checked on the boot or park tab, in the order they are
// looked at when a record is built.
enum class Action { None, Preset, Tour, Pattern, AreaScan, LineScan, AutoReset };

// The boot record "Confirm" sends. Auto reset is type 0 with preset 1; None
// leaves type 0 without a number.
TMV_NET_BOOT_ACTION_INFO BootRecord(Action action, const QString &number, bool enable);
// The park record "Confirm" sends (no auto reset on this tab).
TMV_NET_PARK_ACTION_INFO ParkRecord(Action action, const QString &number, const QString &dwellTime, bool enable);

// The action a refreshed record names by its type (None for an unknown one)
// and the number that goes with it.
Action ActionOfType(int32_t type);
int32_t NumberOfAction(const TMV_NET_BOOT_ACTION_INFO &info, Action action);
int32_t NumberOfAction(const TMV_NET_PARK_ACTION_INFO &info, Action action);

// The list entry a refresh selects for `number`: the last item reading it in
// decimal, or -1 when none does.
int LastIndexOf(const QStringList &items, int32_t number);

// What a refresh does to the boot and park lists for `number`: 0 or less
// clears the selection of both; otherwise the refreshed tab's list selects
// `index` (LastIndexOf), or keeps its selection when that is -1.
struct ListPick
{
    bool clearBoth;
    int index;
};
ListPick PickNumber(const QStringList &items, int32_t number);

// The area-scan numbers the boot and park lists offer: configured ones among
// the first kAreaScanChoices records.
QVector<int32_t> OfferedAreaScans(const TMV_NET_REGION_SCAN_INFO *scans, size_t count);

// The area-scan record "Set" sends.
TMV_NET_REGION_SCAN_INFO AreaScanRecord(const QString &number, bool clockwise, const QString &speed,
                                        const QString &startPreset, const QString &stopPreset,
                                        const QString &gradient);

} // namespace PtzRecords

#endif // PTZRECORDS_H
