#pragma once
// The device's own settings that are not part of another family: the frame
// rate and picture settings of each channel, the PTZ head's auxiliary
// switches, the temperature unit, the measurement switch and the sensor's
// correction.
//
// Threading model: every member is safe from any thread; mutex_ guards all
// state. Readers get copies, so a frame being rendered never sees a setting
// change half-way.

#include "TMVNetSDK.h"
#include "camera/FrameSource.h"
#include "measure/TempUnit.h"

#include <mutex>
#include <vector>

namespace sim {

struct DeviceProfile;

class Settings {
public:
    static constexpr int kDefaultFrameRate = 25;
    static constexpr int kMinFrameRate = 1;
    static constexpr int kMaxFrameRate = 60;

    explicit Settings(const DeviceProfile &profile);

    // Factory state.
    void reset();

    // Frames per second of a channel's live video; out of range channels
    // read the default.
    int frameRate(int channel) const;
    bool setFrameRate(int channel, int fps);

    // How the thermal picture of a channel is coloured.
    ThermalSettings thermal(int channel) const;

    TMV_NET_PTZ_AUX_STATE auxState() const;

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
    const DeviceProfile &profile_;
    mutable std::mutex mutex_;  // protects the members below
    std::vector<int> frameRates_;
    std::vector<ThermalSettings> thermal_;
    TMV_NET_PTZ_AUX_STATE aux_{};
    TempUnit tempUnit_ = TempUnit::Celsius;
    bool measuring_ = true;
    bool tempCorrection_ = true;
};

}  // namespace sim
