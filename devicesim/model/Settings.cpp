#include "model/Settings.h"

#include "model/Device.h"

namespace sim {

namespace {
constexpr int kDefaultPalette = 4;  // iron
}

Settings::Settings(const DeviceProfile &profile) : profile_(profile)
{
    reset();
}

void Settings::reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    const size_t channels = profile_.channels.size();
    frameRates_.assign(channels, kDefaultFrameRate);
    ThermalSettings thermal;
    thermal.palette = kDefaultPalette;
    thermal_.assign(channels, thermal);
    aux_ = TMV_NET_PTZ_AUX_STATE{};
    aux_.autoFocus = profile_.ability.autoFocus ? 1 : 0;
    tempUnit_ = TempUnit::Celsius;
    measuring_ = true;
    tempCorrection_ = true;
}

int Settings::frameRate(int channel) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (channel < 0 || size_t(channel) >= frameRates_.size())
        return kDefaultFrameRate;
    return frameRates_[size_t(channel)];
}

bool Settings::setFrameRate(int channel, int fps)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (channel < 0 || size_t(channel) >= frameRates_.size() || fps < kMinFrameRate || fps > kMaxFrameRate)
        return false;
    frameRates_[size_t(channel)] = fps;
    return true;
}

ThermalSettings Settings::thermal(int channel) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (channel < 0 || size_t(channel) >= thermal_.size())
        return ThermalSettings{};
    return thermal_[size_t(channel)];
}

TMV_NET_PTZ_AUX_STATE Settings::auxState() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return aux_;
}

TempUnit Settings::tempUnit() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return tempUnit_;
}

void Settings::setTempUnit(TempUnit unit)
{
    std::lock_guard<std::mutex> lock(mutex_);
    tempUnit_ = unit;
}

bool Settings::measuring() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return measuring_;
}

void Settings::setMeasuring(bool on)
{
    std::lock_guard<std::mutex> lock(mutex_);
    measuring_ = on;
}

bool Settings::tempCorrection() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return tempCorrection_;
}

void Settings::setTempCorrection(bool on)
{
    std::lock_guard<std::mutex> lock(mutex_);
    tempCorrection_ = on;
}

}  // namespace sim
