#include "ptz/PtzSlots.h"

#include "base/Status.h"
#include "ptz/PtzMotion.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sim {

namespace {

enum ActionType : int32_t { kAutoReset = 0, kPreset = 1, kTour = 2, kPattern = 3, kLineScan = 4, kAreaScan = 5 };

// Fills a text field, cut to fit with its NUL. Stored texts came from
// fields of the same size; the cut only guards.
void putText(char *field, size_t size, const std::string &text)
{
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

std::string takeText(const char *field, size_t size)
{
    return std::string(field, strnlen(field, size));
}

bool presetIsStored(const std::vector<bool> &stored, int id)
{
    return id >= 1 && size_t(id) <= stored.size() && stored[size_t(id - 1)];
}

template <class Record>
void copyAction(const HeadAction &a, Record *r)
{
    r->enable = a.enabled ? 1 : 0;
    r->type = a.type;
    r->lineScan = a.lineScan;
    r->areaScan = a.areaScan;
    r->preset = a.preset;
    r->pattern = a.pattern;
    r->tour = a.tour;
}

template <class Record>
HeadAction actionOf(const Record &r)
{
    HeadAction a;
    a.enabled = r.enable != 0;
    a.type = r.type;
    a.lineScan = r.lineScan;
    a.areaScan = r.areaScan;
    a.preset = r.preset;
    a.pattern = r.pattern;
    a.tour = r.tour;
    return a;
}

}  // namespace

PtzSlots::PtzSlots(int presetSlots) : presetSlots_(presetSlots)
{
    clear();
}

void PtzSlots::clear()
{
    tours_.assign(kTourSlots, Tour{});
    patterns_.assign(kPatternSlots, Pattern{});
    scans_.assign(kScanSlots, AreaScan{});
    boot_ = HeadAction{};
    park_ = HeadAction{};
}

int32_t PtzSlots::saveTour(const TMV_NET_TOUR_INFO &t)
{
    if (!validTour(t.id) || t.count < 0 || t.count > TMV_NET_MAX_TOUR_POINTS)
        return kWrongParam;
    Tour tour;
    tour.stored = true;
    tour.name = takeText(t.name, sizeof t.name);
    for (int32_t i = 0; i < t.count; ++i) {
        const TMV_NET_TOUR_POINT &p = t.points[i];
        if (!validPreset(p.preset.id) || p.residenceTime < 0)
            return kWrongParam;
        tour.stops.push_back({p.preset.id, takeText(p.preset.name, sizeof p.preset.name), p.residenceTime});
    }
    tours_[size_t(t.id - 1)] = std::move(tour);
    return kOk;
}

void PtzSlots::tourRecord(int id, bool withPoints, const std::vector<bool> &presetStored,
                          TMV_NET_TOUR_INFO *out) const
{
    std::memset(out, 0, sizeof *out);
    const Tour &t = tour(id);
    out->enable = t.stored ? 1 : 0;
    out->id = id;
    putText(out->name, sizeof out->name, t.name);
    // Without points the record says how many there are and lists none.
    out->count = int32_t(t.stops.size());
    if (!withPoints)
        return;
    for (size_t i = 0; i < t.stops.size(); ++i) {
        TMV_NET_TOUR_POINT &p = out->points[i];
        p.preset.enable = presetIsStored(presetStored, t.stops[i].presetId) ? 1 : 0;
        p.preset.id = t.stops[i].presetId;
        putText(p.preset.name, sizeof p.preset.name, t.stops[i].presetName);
        p.residenceTime = t.stops[i].residenceSec;
    }
}

TMV_NET_PATTERN_INFO PtzSlots::patternRecord(int id) const
{
    TMV_NET_PATTERN_INFO p;
    std::memset(&p, 0, sizeof p);
    p.enable = pattern(id).recorded ? 1 : 0;
    p.id = id;
    return p;
}

int32_t PtzSlots::setScan(const TMV_NET_REGION_SCAN_INFO &s, const std::vector<bool> &presetStored)
{
    const auto limitOk = [&](int32_t id) { return id == 0 || presetIsStored(presetStored, id); };
    if (!validScan(s.id) || (s.direction != 1 && s.direction != -1) || s.speed < ptzmotion::kMinSpeed ||
        s.speed > ptzmotion::kMaxSpeed || !limitOk(s.startPreset) || !limitOk(s.stopPreset) ||
        !std::isfinite(s.gradient))
        return kWrongParam;
    AreaScan &scan = scans_[size_t(s.id - 1)];
    scan.stored = true;
    scan.direction = s.direction;
    scan.speed = s.speed;
    scan.startPreset = s.startPreset;
    scan.stopPreset = s.stopPreset;
    scan.gradient = s.gradient;
    return kOk;
}

TMV_NET_REGION_SCAN_INFO PtzSlots::scanRecord(int id) const
{
    TMV_NET_REGION_SCAN_INFO r;
    std::memset(&r, 0, sizeof r);
    const AreaScan &s = scan(id);
    r.id = id;
    r.enable = s.stored ? 1 : 0;
    if (s.stored) {
        r.direction = s.direction;
        r.speed = s.speed;
        r.startPreset = s.startPreset;
        r.stopPreset = s.stopPreset;
        r.gradient = s.gradient;
    }
    return r;
}

int32_t PtzSlots::checkAction(const HeadAction &a) const
{
    switch (a.type) {
    case kAutoReset:
        return kOk;
    case kPreset:
        return validPreset(a.preset) ? kOk : kWrongParam;
    case kTour:
        return validTour(a.tour) ? kOk : kWrongParam;
    case kPattern:
        return validPattern(a.pattern) ? kOk : kWrongParam;
    case kLineScan:
        return a.lineScan >= 1 && a.lineScan <= kLineScans ? kOk : kWrongParam;
    case kAreaScan:
        return validScan(a.areaScan) ? kOk : kWrongParam;
    default:
        return kWrongParam;
    }
}

int32_t PtzSlots::setBoot(const TMV_NET_BOOT_ACTION_INFO &info)
{
    const HeadAction a = actionOf(info);
    const int32_t status = checkAction(a);
    if (status == kOk)
        boot_ = a;
    return status;
}

int32_t PtzSlots::setPark(const TMV_NET_PARK_ACTION_INFO &info)
{
    HeadAction a = actionOf(info);
    a.dwellSec = info.dwellTime;
    if (a.dwellSec < 0 || a.dwellSec > kMaxDwellSec || (a.enabled && a.dwellSec < 1))
        return kWrongParam;
    const int32_t status = checkAction(a);
    if (status == kOk)
        park_ = a;
    return status;
}

TMV_NET_BOOT_ACTION_INFO PtzSlots::bootRecord() const
{
    TMV_NET_BOOT_ACTION_INFO r;
    std::memset(&r, 0, sizeof r);
    copyAction(boot_, &r);
    return r;
}

TMV_NET_PARK_ACTION_INFO PtzSlots::parkRecord() const
{
    TMV_NET_PARK_ACTION_INFO r;
    std::memset(&r, 0, sizeof r);
    copyAction(park_, &r);
    r.dwellTime = park_.dwellSec;
    return r;
}

}  // namespace sim
