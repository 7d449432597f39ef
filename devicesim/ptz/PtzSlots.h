#pragma once
// What the head keeps besides its presets: the tour, pattern and area-scan
// slots and the boot and park actions, with the checks and record
// conversions of the entry points that list and change them. Plain data; it
// neither moves the head nor knows the clock.
//
// Slots are fixed in number and listed in id order from 1, empty ones
// included (enable 0), as the preset slots are.
//
// Rules a device needs that the records leave open:
// - A tour is saved into the slot of its id (1..kTourSlots); its stops name
//   preset slots (1..presets) and residence times >= 0; a count outside
//   0..256 is refused (3). A stop may name a preset that is empty at the
//   time: a running tour passes over it; a tour with no stored stop does
//   not start (1). Listed without points, a tour gives its count and no
//   stops.
// - An area scan's limits are stored presets or 0 (none); its speed is the
//   motion speed 1..kMaxSpeed and its direction 1 or -1, else 3. The
//   gradient is kept and given back (the sweep is flat: tilt and zoom go
//   from the start preset's to the stop preset's along with the pan). A
//   scan starts only when both limits are stored presets (else 1).
// - Patterns record from the head's pose at the start of recording; a
//   second start of recording abandons the first; stopping with nothing
//   being recorded fails (1).
// - Boot and park actions check the number of the chosen type against its
//   slots (type 0 auto reset takes none: the head goes home, as a park
//   action too); a park action that is on needs a dwell of 1..86400
//   seconds. An action whose tour, pattern, scan or preset is empty when it
//   falls due does nothing.
//
// Threading model: none of its own; PtzHead owns one and guards it with its
// mutex.

#include "TMVNetSDK.h"
#include "ptz/HeadProgram.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct TourStop {
    int presetId = 0;
    std::string presetName;  // as the client named it when saving
    int residenceSec = 0;
};

struct Tour {
    bool stored = false;
    std::string name;
    std::vector<TourStop> stops;
};

// A direction or zoom command of TMV_NET_PtzControl as a pattern recorded
// it, `offsetSec` after the recording started.
struct PatternCommand {
    double offsetSec = 0;
    int32_t command = 0;
    bool start = false;
    int32_t speed = 0;
};

struct Pattern {
    bool recorded = false;
    Pose start;           // where the head stood when recording started
    double seconds = 0;   // length of the recording
    std::vector<PatternCommand> commands;
};

struct AreaScan {
    bool stored = false;
    int32_t direction = 1;
    int32_t speed = 1;
    int32_t startPreset = 0;
    int32_t stopPreset = 0;
    float gradient = 0;
};

// Boot and park actions share their fields; park adds the dwell.
struct HeadAction {
    bool enabled = false;
    int32_t type = 0;  // 0 auto reset (home), 1 preset, 2 tour, 3 pattern, 4 line scan, 5 area scan
    int32_t lineScan = 0;
    int32_t areaScan = 0;
    int32_t preset = 0;
    int32_t pattern = 0;
    int32_t tour = 0;
    int32_t dwellSec = 0;  // park only
};

class PtzSlots {
public:
    static constexpr int kTourSlots = 8;
    static constexpr int kPatternSlots = 4;
    static constexpr int kScanSlots = 8;
    static constexpr int kLineScans = 5;
    // A pattern keeps at most this many commands; later ones are not kept.
    static constexpr size_t kPatternCommands = 1024;
    static constexpr int32_t kMaxDwellSec = 86400;

    explicit PtzSlots(int presetSlots);

    void clear();

    // Tours. `presetStored[i]` tells whether preset i + 1 holds a position now.
    int32_t saveTour(const TMV_NET_TOUR_INFO &tour);
    void tourRecord(int id, bool withPoints, const std::vector<bool> &presetStored, TMV_NET_TOUR_INFO *out) const;
    const Tour &tour(int id) const { return tours_[size_t(id - 1)]; }
    void deleteTour(int id) { tours_[size_t(id - 1)] = Tour{}; }
    void deleteAllTours() { tours_.assign(tours_.size(), Tour{}); }

    // Patterns.
    const Pattern &pattern(int id) const { return patterns_[size_t(id - 1)]; }
    void storePattern(int id, Pattern pattern) { patterns_[size_t(id - 1)] = std::move(pattern); }
    void deleteAllPatterns() { patterns_.assign(patterns_.size(), Pattern{}); }
    TMV_NET_PATTERN_INFO patternRecord(int id) const;

    // Area scans; `presetStored` as for tours.
    int32_t setScan(const TMV_NET_REGION_SCAN_INFO &scan, const std::vector<bool> &presetStored);
    const AreaScan &scan(int id) const { return scans_[size_t(id - 1)]; }
    void deleteScan(int id) { scans_[size_t(id - 1)] = AreaScan{}; }
    TMV_NET_REGION_SCAN_INFO scanRecord(int id) const;

    // Boot and park actions.
    int32_t setBoot(const TMV_NET_BOOT_ACTION_INFO &info);
    int32_t setPark(const TMV_NET_PARK_ACTION_INFO &info);
    const HeadAction &boot() const { return boot_; }
    const HeadAction &park() const { return park_; }
    TMV_NET_BOOT_ACTION_INFO bootRecord() const;
    TMV_NET_PARK_ACTION_INFO parkRecord() const;

    static bool validTour(int id) { return id >= 1 && id <= kTourSlots; }
    static bool validPattern(int id) { return id >= 1 && id <= kPatternSlots; }
    static bool validScan(int id) { return id >= 1 && id <= kScanSlots; }
    bool validPreset(int id) const { return id >= 1 && id <= presetSlots_; }

private:
    // The numbers of an action checked against their slots; a status.
    int32_t checkAction(const HeadAction &action) const;

    int presetSlots_;
    std::vector<Tour> tours_;
    std::vector<Pattern> patterns_;
    std::vector<AreaScan> scans_;
    HeadAction boot_;
    HeadAction park_;
};

}  // namespace sim
