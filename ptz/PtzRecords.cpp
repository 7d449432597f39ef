#include "ptz/PtzRecords.h"

#include <cstring>

#include "common/CopyField.h"
#include "common/CountClamp.h"

namespace PtzRecords {

QString ListText(int32_t id, uint8_t enable)
{
    return QString::number(id) + (enable != 0 ? QStringLiteral("*") : QString());
}

bool NameFits(const QString &name)
{
    return name.toUtf8().size() < kNameFieldBytes;
}

TMV_NET_PRESET_INFO PresetRecord(int32_t id, const QString &name)
{
    TMV_NET_PRESET_INFO preset;
    std::memset(&preset, 0, sizeof preset);
    preset.enable = 1;
    preset.id = id;
    CopyField(preset.name, name.toUtf8(), FieldFit::CutAtCharacter);
    return preset;
}

int32_t Number(const QString &text)
{
    return text.toInt(nullptr, 10);
}

TourFit BuildTour(int32_t id, const QString &name, const QVector<TourStop> &stops, TMV_NET_TOUR_INFO *tour)
{
    std::memset(tour, 0, sizeof *tour);
    if (stops.size() > TMV_NET_MAX_TOUR_POINTS)
        return TourFit::TooManyStops;
    if (!NameFits(name))
        return TourFit::NameTooLong;
    tour->enable = 1;
    tour->id = id;
    CopyField(tour->name, name.toUtf8());
    tour->reserved2[0] = 0;
    for (int k = 0; k < stops.size(); ++k) {
        TMV_NET_TOUR_POINT &point = tour->points[k];
        point.residenceTime = Number(stops[k].residence);
        point.preset.id = stops[k].presetId;
        CopyField(point.preset.name, stops[k].presetName.toUtf8(), FieldFit::CutAtCharacter);
    }
    tour->count = int32_t(stops.size());
    return TourFit::Fits;
}

int ShownStops(const TMV_NET_TOUR_INFO &tour)
{
    return ClampCount(tour.count, TMV_NET_MAX_TOUR_POINTS);
}

namespace {

// The fields shared by the boot and park records (their first 28 bytes).
template <class Info>
void FillAction(Info &info, Action action, const QString &number)
{
    const int32_t value = Number(number);
    switch (action) {
    case Action::Preset:
        info.type = 1;
        info.preset = value;
        break;
    case Action::Tour:
        info.type = 2;
        info.tour = value;
        break;
    case Action::Pattern:
        info.type = 3;
        info.pattern = value;
        break;
    case Action::AreaScan:
        info.type = 5;
        info.areaScan = value;
        break;
    case Action::LineScan:
        info.type = 4;
        info.lineScan = value;
        break;
    case Action::AutoReset:
        info.type = 0;
        info.preset = 1;
        break;
    case Action::None:
        break;
    }
}

template <class Info>
int32_t NumberOf(const Info &info, Action action)
{
    switch (action) {
    case Action::Preset:
        return info.preset;
    case Action::Tour:
        return info.tour;
    case Action::Pattern:
        return info.pattern;
    case Action::AreaScan:
        return info.areaScan;
    case Action::LineScan:
        return info.lineScan;
    default:
        return 0;
    }
}

} // namespace

TMV_NET_BOOT_ACTION_INFO BootRecord(Action action, const QString &number, bool enable)
{
    TMV_NET_BOOT_ACTION_INFO info;
    std::memset(&info, 0, sizeof info);
    FillAction(info, action, number);
    info.enable = enable ? 1 : 0;
    return info;
}

TMV_NET_PARK_ACTION_INFO ParkRecord(Action action, const QString &number, const QString &dwellTime, bool enable)
{
    TMV_NET_PARK_ACTION_INFO info;
    std::memset(&info, 0, sizeof info);
    // A park action has no auto reset.
    if (action != Action::AutoReset)
        FillAction(info, action, number);
    info.dwellTime = Number(dwellTime);
    info.enable = enable ? 1 : 0;
    return info;
}

Action ActionOfType(int32_t type)
{
    switch (type) {
    case 0:
        return Action::AutoReset;
    case 1:
        return Action::Preset;
    case 2:
        return Action::Tour;
    case 3:
        return Action::Pattern;
    case 4:
        return Action::LineScan;
    case 5:
        return Action::AreaScan;
    default:
        return Action::None;
    }
}

int32_t NumberOfAction(const TMV_NET_BOOT_ACTION_INFO &info, Action action)
{
    return NumberOf(info, action);
}

int32_t NumberOfAction(const TMV_NET_PARK_ACTION_INFO &info, Action action)
{
    return NumberOf(info, action);
}

int LastIndexOf(const QStringList &items, int32_t number)
{
    return items.lastIndexOf(QString::number(number));
}

ListPick PickNumber(const QStringList &items, int32_t number)
{
    if (number <= 0)
        return ListPick{true, -1};
    return ListPick{false, LastIndexOf(items, number)};
}

QVector<int32_t> OfferedAreaScans(const TMV_NET_REGION_SCAN_INFO *scans, size_t count)
{
    QVector<int32_t> numbers;
    const size_t offered = count < size_t(kAreaScanChoices) ? count : size_t(kAreaScanChoices);
    for (size_t i = 0; i < offered; ++i) {
        if (scans[i].enable != 0)
            numbers.append(scans[i].id);
    }
    return numbers;
}

TMV_NET_REGION_SCAN_INFO AreaScanRecord(const QString &number, bool clockwise, const QString &speed,
                                        const QString &startPreset, const QString &stopPreset,
                                        const QString &gradient)
{
    TMV_NET_REGION_SCAN_INFO scan;
    std::memset(&scan, 0, sizeof scan);
    scan.id = Number(number);
    scan.enable = 1;
    scan.direction = clockwise ? 1 : -1;
    scan.speed = Number(speed);
    scan.startPreset = Number(startPreset);
    scan.stopPreset = Number(stopPreset);
    scan.gradient = gradient.toFloat();
    return scan;
}

} // namespace PtzRecords
