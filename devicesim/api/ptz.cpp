// Entry points of the PTZ family: head motion, presets, tours, patterns, area
// scans, boot and park actions, positioning, tracking, status, electronic PTZ
// and the linkage with a partner camera.
#include "EntryPoint.h"
#include "api/Forward.h"

#include "base/SimClock.h"
#include "device/Device.h"
#include "ptz/ElectronicPtz.h"
#include "ptz/PtzAccessories.h"
#include "ptz/PtzHead.h"

#include <algorithm>
#include <cmath>

using sim::api::EntryPoint;

namespace {

// The tour's name and the preset name of each of its stops must end inside
// their fields; a stop count outside the array is refused.
void checkTour(EntryPoint &call, const TMV_NET_TOUR_INFO *tour)
{
    if (!tour)
        return;
    call.text(tour->name, sizeof tour->name)
        .require(tour->count >= 0 && tour->count <= TMV_NET_MAX_TOUR_POINTS);
    const int32_t stops = std::clamp<int32_t>(tour->count, 0, TMV_NET_MAX_TOUR_POINTS);
    for (int32_t i = 0; i < stops; ++i)
        call.text(tour->points[i].preset.name, sizeof tour->points[i].preset.name);
}

}  // namespace

// ---- Motion ----------------------------------------------------------------

TMV_NET_API int32_t TMV_NET_PtzControl(TMV_NET_HANDLE handle, const TMV_NET_PTZ_CONTROL *control)
{
    SIM_FORWARD(TMV_NET_PtzControl, handle, control);
    EntryPoint call(__func__, handle);
    call.input(control, sizeof *control);
    if (!call.ok())
        return call.status();
    const int64_t nowUs = sim::SimClock::instance().nowUs();
    if (sim::ptzaccessories::handles(control->command))  // focus, iris, switches
        return call.device().accessories().control(*control, nowUs);
    return call.device().head().control(*control, nowUs);
}

// ---- Presets ---------------------------------------------------------------

TMV_NET_API int32_t TMV_NET_QueryPtzPresetSize(TMV_NET_HANDLE handle, int32_t *count)
{
    SIM_FORWARD(TMV_NET_QueryPtzPresetSize, handle, count);
    EntryPoint call(__func__, handle);
    call.output(count);
    if (!call.ok())
        return call.status();
    *count = call.device().head().presetCount();
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_QueryPtzPreset(TMV_NET_HANDLE handle, TMV_NET_PRESET_INFO *presets, int32_t capacity,
                                           int32_t *count)
{
    SIM_FORWARD(TMV_NET_QueryPtzPreset, handle, presets, capacity, count);
    EntryPoint call(__func__, handle);
    call.array(presets, capacity).input(&capacity, sizeof capacity).output(count);
    if (!call.ok())
        return call.status();
    return call.answerList(call.device().head().presets(), presets, capacity, count);
}

TMV_NET_API int32_t TMV_NET_PtzPresetControl(TMV_NET_HANDLE handle, int32_t action,
                                             const TMV_NET_PRESET_INFO *preset)
{
    SIM_FORWARD(TMV_NET_PtzPresetControl, handle, action, preset);
    EntryPoint call(__func__, handle);
    call.input(&action, sizeof action).input(preset, sizeof *preset);
    // Only store and rename read the name; "delete all" may come with an
    // unfilled record.
    if (preset && (action == 0 || action == 1))
        call.text(preset->name, sizeof preset->name);
    if (!call.ok())
        return call.status();
    return call.device().head().presetControl(action, *preset);
}

// The preset the head stands at, 0 when none (on the way to one included).
TMV_NET_API int32_t TMV_NET_QueryPtzPresetId(TMV_NET_HANDLE handle, int32_t *presetId)
{
    SIM_FORWARD(TMV_NET_QueryPtzPresetId, handle, presetId);
    EntryPoint call(__func__, handle);
    call.output(presetId);
    if (!call.ok())
        return call.status();
    return call.device().head().presetAt(presetId);
}

// ---- Tours -----------------------------------------------------------------

TMV_NET_API int32_t TMV_NET_QueryPtzTourSize(TMV_NET_HANDLE handle, int32_t *count)
{
    SIM_FORWARD(TMV_NET_QueryPtzTourSize, handle, count);
    EntryPoint call(__func__, handle);
    call.output(count);
    if (!call.ok())
        return call.status();
    *count = call.device().head().tourCount();
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_QueryPtzTour(TMV_NET_HANDLE handle, int32_t withPoints, TMV_NET_TOUR_INFO *tours,
                                         int32_t capacity, int32_t *count)
{
    SIM_FORWARD(TMV_NET_QueryPtzTour, handle, withPoints, tours, capacity, count);
    EntryPoint call(__func__, handle);
    call.input(&withPoints, sizeof withPoints)
        .array(tours, capacity)
        .input(&capacity, sizeof capacity)
        .output(count)
        .require(withPoints == 0 || withPoints == 1);
    if (!call.ok())
        return call.status();
    const int32_t available = call.device().head().tours(withPoints == 1, tours, capacity);
    *count = call.reportedCount(available, capacity);
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_PtzTourControl(TMV_NET_HANDLE handle, int32_t action, const TMV_NET_TOUR_INFO *tour)
{
    SIM_FORWARD(TMV_NET_PtzTourControl, handle, action, tour);
    EntryPoint call(__func__, handle);
    call.input(&action, sizeof action).input(tour, sizeof *tour);
    // Only a save reads the names and stops; the other actions read the id,
    // and "delete all" may come with an unfilled record.
    if (action == 0)
        checkTour(call, tour);
    if (!call.ok())
        return call.status();
    return call.device().head().tourControl(action, *tour, sim::SimClock::instance().nowUs());
}

// ---- Patterns --------------------------------------------------------------

TMV_NET_API int32_t TMV_NET_QueryPtzPatternSize(TMV_NET_HANDLE handle, int32_t *count)
{
    SIM_FORWARD(TMV_NET_QueryPtzPatternSize, handle, count);
    EntryPoint call(__func__, handle);
    call.output(count);
    if (!call.ok())
        return call.status();
    *count = call.device().head().patternCount();
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_QueryPtzPattern(TMV_NET_HANDLE handle, TMV_NET_PATTERN_INFO *patterns,
                                            int32_t capacity, int32_t *count)
{
    SIM_FORWARD(TMV_NET_QueryPtzPattern, handle, patterns, capacity, count);
    EntryPoint call(__func__, handle);
    call.array(patterns, capacity).input(&capacity, sizeof capacity).output(count);
    if (!call.ok())
        return call.status();
    return call.answerList(call.device().head().patterns(), patterns, capacity, count);
}

TMV_NET_API int32_t TMV_NET_PtzPatternControl(TMV_NET_HANDLE handle, int32_t action, int32_t patternId)
{
    SIM_FORWARD(TMV_NET_PtzPatternControl, handle, action, patternId);
    EntryPoint call(__func__, handle);
    call.input(&action, sizeof action).input(&patternId, sizeof patternId);
    if (!call.ok())
        return call.status();
    return call.device().head().patternControl(action, patternId, sim::SimClock::instance().nowUs());
}

// ---- Area scans ------------------------------------------------------------

TMV_NET_API int32_t TMV_NET_QueryPtzRegionScanInfoSize(TMV_NET_HANDLE handle, int32_t *count)
{
    SIM_FORWARD(TMV_NET_QueryPtzRegionScanInfoSize, handle, count);
    EntryPoint call(__func__, handle);
    call.output(count);
    if (!call.ok())
        return call.status();
    *count = call.device().head().scanCount();
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_QueryPtzRegionScanInfo(TMV_NET_HANDLE handle, TMV_NET_REGION_SCAN_INFO *scans,
                                                   int32_t capacity, int32_t *count)
{
    SIM_FORWARD(TMV_NET_QueryPtzRegionScanInfo, handle, scans, capacity, count);
    EntryPoint call(__func__, handle);
    call.array(scans, capacity).input(&capacity, sizeof capacity).output(count);
    if (!call.ok())
        return call.status();
    return call.answerList(call.device().head().scans(), scans, capacity, count);
}

TMV_NET_API int32_t TMV_NET_SetPtzRegionScanInfo(TMV_NET_HANDLE handle, const TMV_NET_REGION_SCAN_INFO *scan)
{
    SIM_FORWARD(TMV_NET_SetPtzRegionScanInfo, handle, scan);
    EntryPoint call(__func__, handle);
    call.input(scan, sizeof *scan);
    if (!call.ok())
        return call.status();
    return call.device().head().setScan(*scan);
}

TMV_NET_API int32_t TMV_NET_PtzRegionScanControl(TMV_NET_HANDLE handle, int32_t scanId, bool start)
{
    SIM_FORWARD(TMV_NET_PtzRegionScanControl, handle, scanId, start);
    EntryPoint call(__func__, handle);
    call.input(&scanId, sizeof scanId).input(&start, sizeof start);
    if (!call.ok())
        return call.status();
    return call.device().head().scanControl(scanId, start, sim::SimClock::instance().nowUs());
}

TMV_NET_API int32_t TMV_NET_DeletePtzRegionScanInfo(TMV_NET_HANDLE handle, int32_t scanId)
{
    SIM_FORWARD(TMV_NET_DeletePtzRegionScanInfo, handle, scanId);
    EntryPoint call(__func__, handle);
    call.input(&scanId, sizeof scanId);
    if (!call.ok())
        return call.status();
    return call.device().head().deleteScan(scanId, sim::SimClock::instance().nowUs());
}

// ---- Boot and park actions -------------------------------------------------

TMV_NET_API int32_t TMV_NET_QueryPtzBootActionInfo(TMV_NET_HANDLE handle, TMV_NET_BOOT_ACTION_INFO *info)
{
    SIM_FORWARD(TMV_NET_QueryPtzBootActionInfo, handle, info);
    EntryPoint call(__func__, handle);
    call.output(info);
    if (!call.ok())
        return call.status();
    return call.device().head().bootAction(info);
}

TMV_NET_API int32_t TMV_NET_SetPtzBootActionInfo(TMV_NET_HANDLE handle, const TMV_NET_BOOT_ACTION_INFO *info)
{
    SIM_FORWARD(TMV_NET_SetPtzBootActionInfo, handle, info);
    EntryPoint call(__func__, handle);
    call.input(info, sizeof *info);
    if (!call.ok())
        return call.status();
    return call.device().head().setBootAction(*info);
}

TMV_NET_API int32_t TMV_NET_QueryPtzParkActionInfo(TMV_NET_HANDLE handle, TMV_NET_PARK_ACTION_INFO *info)
{
    SIM_FORWARD(TMV_NET_QueryPtzParkActionInfo, handle, info);
    EntryPoint call(__func__, handle);
    call.output(info);
    if (!call.ok())
        return call.status();
    return call.device().head().parkAction(info);
}

TMV_NET_API int32_t TMV_NET_SetPtzParkActionInfo(TMV_NET_HANDLE handle, const TMV_NET_PARK_ACTION_INFO *info)
{
    SIM_FORWARD(TMV_NET_SetPtzParkActionInfo, handle, info);
    EntryPoint call(__func__, handle);
    call.input(info, sizeof *info);
    if (!call.ok())
        return call.status();
    return call.device().head().setParkAction(*info, sim::SimClock::instance().nowUs());
}

// ---- Positioning, tracking, status -----------------------------------------

TMV_NET_API int32_t TMV_NET_ResetPtzConfig(TMV_NET_HANDLE handle)
{
    SIM_FORWARD(TMV_NET_ResetPtzConfig, handle);
    EntryPoint call(__func__, handle);
    if (!call.ok())
        return call.status();
    return call.device().head().selfCheck(sim::SimClock::instance().nowUs());
}

TMV_NET_API int32_t TMV_NET_PtzLensInit(TMV_NET_HANDLE handle, int32_t channel)
{
    SIM_FORWARD(TMV_NET_PtzLensInit, handle, channel);
    EntryPoint call(__func__, handle);
    call.input(&channel, sizeof channel);
    if (!call.ok())
        return call.status();
    sim::Device &device = call.device();
    const int32_t status = device.accessories().lensInit(channel, sim::SimClock::instance().nowUs());
    if (status == sim::kOk)
        device.head().setZoom(channel, 1.0);  // the widest, as at power-on
    return status;
}

// The distance in whole metres to what the centre of the optical picture
// shows, along the head's direction now; 0 when nothing sends the beam back.
TMV_NET_API int32_t TMV_NET_GetLaserDistance(TMV_NET_HANDLE handle, int32_t *distance)
{
    SIM_FORWARD(TMV_NET_GetLaserDistance, handle, distance);
    EntryPoint call(__func__, handle);
    call.output(distance);
    if (!call.ok())
        return call.status();
    const sim::Device &device = call.device();
    if (!device.profile().ability.laserDistance || !device.head().turns())
        return sim::kNotSupported;
    const int64_t nowUs = sim::SimClock::instance().nowUs();
    *distance = int32_t(std::lround(device.rangeAheadM(nowUs)));
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_PtzPosition(TMV_NET_HANDLE handle, const TMV_NET_PTZ_POSITION *position)
{
    SIM_FORWARD(TMV_NET_PtzPosition, handle, position);
    EntryPoint call(__func__, handle);
    call.input(position, sizeof *position);
    if (!call.ok())
        return call.status();
    return call.device().head().position(*position, sim::SimClock::instance().nowUs());
}

TMV_NET_API int32_t TMV_NET_PtzTrackingPosition(TMV_NET_HANDLE handle,
                                                const TMV_NET_PTZ_TRACKING_POSITION *position)
{
    SIM_FORWARD(TMV_NET_PtzTrackingPosition, handle, position);
    EntryPoint call(__func__, handle);
    call.input(position, sizeof *position);
    if (!call.ok())
        return call.status();
    return call.device().head().trackingPosition(*position, sim::SimClock::instance().nowUs());
}

TMV_NET_API int32_t TMV_NET_GetCurrentPtz_V1(TMV_NET_HANDLE handle, TMV_NET_CURRENT_PTZ_INFO *info)
{
    SIM_FORWARD(TMV_NET_GetCurrentPtz_V1, handle, info);
    EntryPoint call(__func__, handle);
    call.output(info);
    if (!call.ok())
        return call.status();
    return call.device().head().currentInfo(info, sim::SimClock::instance().nowUs());
}

TMV_NET_API int32_t TMV_NET_GetPtzZoomMultiplier(TMV_NET_HANDLE handle, int32_t channel, float *multiplier)
{
    SIM_FORWARD(TMV_NET_GetPtzZoomMultiplier, handle, channel, multiplier);
    EntryPoint call(__func__, handle);
    call.input(&channel, sizeof channel).output(multiplier);
    if (!call.ok())
        return call.status();
    const sim::Device &device = call.device();
    if (!device.profile().ability.zoom || !device.head().turns())
        return sim::kNotSupported;
    if (!device.validChannel(channel))
        return sim::kWrongParam;
    *multiplier = float(device.head().zoom(channel));
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_SetPtzZoomMultiplier(TMV_NET_HANDLE handle, int32_t channel, float multiplier)
{
    SIM_FORWARD(TMV_NET_SetPtzZoomMultiplier, handle, channel, multiplier);
    EntryPoint call(__func__, handle);
    call.input(&channel, sizeof channel).input(&multiplier, sizeof multiplier);
    if (!call.ok())
        return call.status();
    const sim::Device &device = call.device();
    if (!device.profile().ability.zoom || !device.head().turns())
        return sim::kNotSupported;
    // The negated test also refuses NaN.
    if (!device.validChannel(channel) || !(multiplier >= 1.0f && multiplier <= float(sim::PtzHead::kMaxZoom)))
        return sim::kWrongParam;
    device.head().setZoom(channel, multiplier);
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_GetTargetTrackConfig(TMV_NET_HANDLE handle, int32_t channel,
                                                 TMV_NET_TARGET_TRACK_CONFIG *config)
{
    SIM_FORWARD(TMV_NET_GetTargetTrackConfig, handle, channel, config);
    EntryPoint call(__func__, handle);
    call.input(&channel, sizeof channel).output(config);
    if (!call.ok())
        return call.status();
    return call.device().accessories().targetTrackConfig(channel, config);
}

TMV_NET_API int32_t TMV_NET_SetTargetTrackConfig(TMV_NET_HANDLE handle, int32_t channel,
                                                 const TMV_NET_TARGET_TRACK_CONFIG *config)
{
    SIM_FORWARD(TMV_NET_SetTargetTrackConfig, handle, channel, config);
    EntryPoint call(__func__, handle);
    call.input(&channel, sizeof channel).input(config, sizeof *config);
    if (!call.ok())
        return call.status();
    return call.device().accessories().setTargetTrackConfig(channel, *config);
}

TMV_NET_API int32_t TMV_NET_GetAccelerationData(TMV_NET_HANDLE handle, TMV_NET_ACCELERATION_DATA *data)
{
    SIM_FORWARD(TMV_NET_GetAccelerationData, handle, data);
    EntryPoint call(__func__, handle);
    call.output(data);
    if (!call.ok())
        return call.status();
    const sim::PtzHead &head = call.device().head();
    if (!head.turns())
        return sim::kNotSupported;
    // The angular speed over the next millisecond of the motion held now:
    // 0 at rest and against a tilt limit.
    const int64_t nowUs = sim::SimClock::instance().nowUs();
    const int64_t dtUs = 1000;
    const double pan = head.panDegAt(nowUs), tilt = head.tiltDegAt(nowUs);
    const double panRate = sim::wrapDegrees180(head.panDegAt(nowUs + dtUs) - pan) * 1e6 / dtUs;
    const double tiltRate = (head.tiltDegAt(nowUs + dtUs) - tilt) * 1e6 / dtUs;
    *data = sim::ptzaccessories::bearing(pan, tilt, panRate, tiltRate);
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_GetPtzPowerOffConfig(TMV_NET_HANDLE handle, TMV_NET_PTZ_POWER_OFF_CONFIG *config)
{
    SIM_FORWARD(TMV_NET_GetPtzPowerOffConfig, handle, config);
    EntryPoint call(__func__, handle);
    call.output(config);
    if (!call.ok())
        return call.status();
    return call.device().accessories().powerOffConfig(config);
}

TMV_NET_API int32_t TMV_NET_SetPtzPowerOffConfig(TMV_NET_HANDLE handle,
                                                 const TMV_NET_PTZ_POWER_OFF_CONFIG *config)
{
    SIM_FORWARD(TMV_NET_SetPtzPowerOffConfig, handle, config);
    EntryPoint call(__func__, handle);
    call.input(config, sizeof *config);
    if (!call.ok())
        return call.status();
    return call.device().accessories().setPowerOffConfig(*config);
}

TMV_NET_API int32_t TMV_NET_GetPtzRunningStatus(TMV_NET_HANDLE handle, TMV_NET_PTZ_RUNNING_STATUS *status)
{
    SIM_FORWARD(TMV_NET_GetPtzRunningStatus, handle, status);
    EntryPoint call(__func__, handle);
    call.output(status);
    if (!call.ok())
        return call.status();
    return call.device().head().runningStatus(status, sim::SimClock::instance().nowUs());
}

TMV_NET_API int32_t TMV_NET_Ptz3DPosition(TMV_NET_HANDLE handle, const TMV_NET_PTZ_3D_POSITION *position)
{
    SIM_FORWARD(TMV_NET_Ptz3DPosition, handle, position);
    EntryPoint call(__func__, handle);
    call.input(position, sizeof *position);
    if (!call.ok())
        return call.status();
    return call.device().head().position3D(*position);
}

TMV_NET_API int32_t TMV_NET_PtzRegionFocus(TMV_NET_HANDLE handle, const TMV_NET_PTZ_REGION *region)
{
    SIM_FORWARD(TMV_NET_PtzRegionFocus, handle, region);
    EntryPoint call(__func__, handle);
    call.input(region, sizeof *region);
    if (!call.ok())
        return call.status();
    return call.device().head().regionFocus(*region);
}

TMV_NET_API int32_t TMV_NET_PtzManualTrack(TMV_NET_HANDLE handle, const TMV_NET_PTZ_REGION *region)
{
    SIM_FORWARD(TMV_NET_PtzManualTrack, handle, region);
    EntryPoint call(__func__, handle);
    call.input(region, sizeof *region);
    if (!call.ok())
        return call.status();
    return call.device().head().manualTrack(*region);
}

// ---- Electronic PTZ and linkage --------------------------------------------

TMV_NET_API int32_t TMV_NET_ElectronicPtzControl(TMV_NET_HANDLE handle, const TMV_NET_EPTZ_CONTROL *control)
{
    SIM_FORWARD(TMV_NET_ElectronicPtzControl, handle, control);
    EntryPoint call(__func__, handle);
    call.input(control, sizeof *control);
    if (!call.ok())
        return call.status();
    return call.device().eptz().control(*control, sim::SimClock::instance().nowUs());
}

TMV_NET_API int32_t TMV_NET_GetGunBallTrackConfigInfo(TMV_NET_HANDLE handle,
                                                      TMV_NET_GUN_BALL_TRACK_CONFIG_INFO *config)
{
    SIM_FORWARD(TMV_NET_GetGunBallTrackConfigInfo, handle, config);
    EntryPoint call(__func__, handle);
    call.output(config);
    if (!call.ok())
        return call.status();
    return call.device().accessories().gunBallConfig(config);
}

TMV_NET_API int32_t TMV_NET_SetGunBallTrackConfigInfo(TMV_NET_HANDLE handle,
                                                      const TMV_NET_GUN_BALL_TRACK_CONFIG_INFO *config)
{
    SIM_FORWARD(TMV_NET_SetGunBallTrackConfigInfo, handle, config);
    EntryPoint call(__func__, handle);
    call.input(config, sizeof *config);
    if (config) {
        call.text(config->userName, sizeof config->userName)
            .text(config->password, sizeof config->password)
            .text(config->ip, sizeof config->ip);
    }
    if (!call.ok())
        return call.status();
    return call.device().accessories().setGunBallConfig(*config);
}
