#pragma once
// The device's own settings that are not part of another family: the frame
// rate and picture settings of each channel, the on-screen display, the
// device clock, the environment of measurement, the temperature unit, the
// measurement switch and the sensor's correction.
//
// Temperatures are kept in Celsius whatever the unit: the unit only changes
// what the device reports and reads, so switching it never shifts a stored
// span or environment.
//
// Threading model: every member is safe from any thread; mutex_ guards all
// state. Readers get copies, so a frame being rendered never sees a setting
// change half-way.

#include "TMVNetSDK.h"
#include "camera/FrameSource.h"
#include "camera/Imaging.h"
#include "camera/TempUnits.h"

#include <mutex>
#include <vector>

namespace sim {

struct DeviceProfile;

class Settings {
public:
    static constexpr int kDefaultFrameRate = 25;
    static constexpr int kMinFrameRate = 1;
    static constexpr int kMaxFrameRate = 60;
    // What the device offers its clients (the control interface may go
    // faster for load tests).
    static constexpr int kMaxClientFrameRate = 30;
    static constexpr int kMaxLevel = 100;  // brightness, contrast, enhancement levels

    explicit Settings(const DeviceProfile &profile);

    // Factory state.
    void reset();

    // Frames per second of a channel's live video; out of range channels
    // read the default.
    int frameRate(int channel) const;
    bool setFrameRate(int channel, int fps);
    // Every channel at once, within the client's range.
    bool setClientFrameRate(int fps);

    // Everything a channel's frames depend on besides the view: picture
    // settings, and the OSD with the device clock.
    ThermalSettings thermal(int channel) const;

    // Picture settings of the thermal channel; false (nothing changed) for
    // a value out of range.
    int palette() const;
    bool setPalette(int palette);
    int brightness() const;
    bool setBrightness(int value);
    int contrast() const;
    bool setContrast(int value);
    int flipMode() const;
    bool setFlipMode(int mode);
    Gain gain() const;
    bool setGain(int level);
    // The manual span, thresholds in Celsius.
    TMV_NET_TEMP_SPAN_INFO span() const;
    bool setSpan(const TMV_NET_TEMP_SPAN_INFO &celsius);
    // The whole record as last set: the device keeps bytes it does not use.
    void enhance(TMV_NET_THERMAL_IMAGE_ENHANCE_INFO *out) const;
    bool setEnhance(const TMV_NET_THERMAL_IMAGE_ENHANCE_INFO &info);

    // The shutter closes now, holding the thermal picture for kShutterUs.
    void correctShutter(int64_t nowUs);

    // Device clock: seconds since 1970 of its own (zone-less) time.
    void setClock(int64_t deviceSeconds, int64_t nowUs);
    int64_t clockOffsetUs() const;

    // Environment of measurement, temperatures in Celsius. The factory
    // values change nothing (emissivity and transmittance 1).
    TMV_NET_ENV_PARAM env() const;
    bool setEnv(const TMV_NET_ENV_PARAM &celsius);

    // OSD: the master state as sent (0 shown), the colour bar, and per
    // channel the titles and the laser reading, as records.
    int32_t osdState() const;
    void setOsdState(int32_t state);
    int32_t tempBarState() const;
    void setTempBarState(int32_t state);
    bool timeTitle(int channel, TMV_NET_OSD_TIME_TITLE_INFO *out) const;
    bool setTimeTitle(int channel, const TMV_NET_OSD_TIME_TITLE_INFO &info);
    bool channelTitle(int channel, TMV_NET_OSD_CHANNEL_TITLE_INFO *out) const;
    bool setChannelTitle(int channel, const TMV_NET_OSD_CHANNEL_TITLE_INFO &info);
    bool laserOsd(int channel, TMV_NET_LASER_DISTANCE_OSD_PARAM *out) const;
    bool setLaserOsd(int channel, const TMV_NET_LASER_DISTANCE_OSD_PARAM &param);

    // The unit every temperature the device reports is in; Celsius from the
    // factory.
    TempUnit tempUnit() const;
    void setTempUnit(TempUnit unit);

    // Whether the device measures temperatures at all; on from the factory.
    bool measuring() const;
    void setMeasuring(bool on);

    // Whether the detector's fixed pattern is corrected, as last sent with
    // the temperature stream's parameter; on from the factory.
    bool tempCorrection() const;
    void setTempCorrection(bool on);

private:
    bool validChannelLocked(int channel) const { return channel >= 0 && size_t(channel) < frameRates_.size(); }
    bool validBoxLocked(int channel, int top, int left, int right, int bottom) const;

    const DeviceProfile &profile_;
    mutable std::mutex mutex_;  // protects the members below
    std::vector<int> frameRates_;
    std::vector<ThermalSettings> thermal_;
    std::vector<TMV_NET_OSD_TIME_TITLE_INFO> timeTitles_;
    std::vector<TMV_NET_OSD_CHANNEL_TITLE_INFO> channelTitles_;
    std::vector<TMV_NET_LASER_DISTANCE_OSD_PARAM> laserOsds_;
    Gain gain_ = Gain::Auto;
    TMV_NET_THERMAL_IMAGE_ENHANCE_INFO enhance_{};
    int64_t shutterFromUs_ = -1;
    int64_t clockOffsetUs_ = 0;
    TMV_NET_ENV_PARAM env_{};
    int32_t osdState_ = 0;
    int32_t tempBarState_ = 0;
    TempUnit tempUnit_ = TempUnit::Celsius;
    bool measuring_ = true;
    bool tempCorrection_ = true;
};

}  // namespace sim
