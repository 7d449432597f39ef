#include "settings/Settings.h"

#include "base/DeviceProfile.h"
#include "base/SimClock.h"
#include "camera/Palettes.h"
#include "measure/Measure.h"

#include <chrono>
#include <cmath>
#include <cstring>

namespace sim {

namespace {
// A camera leaves the factory showing white-hot grey, as thermal cameras
// commonly do; the colour palettes are the operator's choice.
constexpr int kDefaultPalette = 0;  // White Hot

bool validLevel(int v)
{
    return v >= 0 && v <= Settings::kMaxLevel;
}

OsdBox box(int32_t top, int32_t left, int32_t right, int32_t bottom)
{
    OsdBox b;
    b.top = top;
    b.left = left;
    b.right = right;
    b.bottom = bottom;
    return b;
}
}  // namespace

Settings::Settings(const DeviceProfile &profile) : profile_(profile)
{
    reset();
}

void Settings::reset()
{
    // The clock a device leaves the factory with: the time it was made.
    const int64_t wallUs = std::chrono::duration_cast<std::chrono::microseconds>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count();
    const int64_t nowUs = SimClock::instance().nowUs();
    std::lock_guard<std::mutex> lock(mutex_);
    const size_t channels = profile_.channels.size();
    frameRates_.assign(channels, kDefaultFrameRate);
    ThermalSettings thermal;
    thermal.palette = kDefaultPalette;
    thermal_.assign(channels, thermal);
    TMV_NET_OSD_TIME_TITLE_INFO time{};
    time.top = 16;
    time.left = 16;
    timeTitles_.assign(channels, time);
    TMV_NET_OSD_CHANNEL_TITLE_INFO title{};
    title.top = 48;
    title.left = 16;
    channelTitles_.assign(channels, title);
    TMV_NET_LASER_DISTANCE_OSD_PARAM laser{};
    laser.top = 80;
    laser.left = 16;
    laserOsds_.assign(channels, laser);
    gain_ = Gain::Auto;
    std::memset(&enhance_, 0, sizeof enhance_);
    enhance_.denoise2DLevel = enhance_.denoise3DLevel = enhance_.detailEnhanceLevel = 50;
    shutterFromUs_ = -1;
    clockOffsetUs_ = wallUs - nowUs;
    env_ = TMV_NET_ENV_PARAM{};
    env_.atmosTemp = 25.0f;
    env_.refTemp = 25.0f;
    env_.distance = 5.0f;
    env_.emissivity = 1.0f;
    env_.atmosTrans = 1.0f;
    osdState_ = 0;
    tempBarState_ = 0;
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

bool Settings::setClientFrameRate(int fps)
{
    if (fps < kMinFrameRate || fps > kMaxClientFrameRate)
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    frameRates_.assign(frameRates_.size(), fps);
    return true;
}

ThermalSettings Settings::thermal(int channel) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!validChannelLocked(channel))
        return ThermalSettings{};
    ThermalSettings s = thermal_[size_t(channel)];
    const size_t c = size_t(channel);
    const bool thermalChannel = profile_.channels[c].thermal;
    const GainRange range = gainRange(gain_);
    s.rangeMinC = range.minC;
    s.rangeMaxC = range.maxC;
    s.denoise2D = enhance_.denoise2DEnable ? enhance_.denoise2DLevel : 0;
    s.denoise3D = enhance_.denoise3DEnable ? enhance_.denoise3DLevel : 0;
    s.detail = enhance_.detailEnhanceEnable ? enhance_.detailEnhanceLevel : 0;
    s.shutterFromUs = thermalChannel ? shutterFromUs_ : -1;
    OsdSettings &osd = s.osd;
    osd.shown = osdState_ == 0;
    osd.timeTitle = timeTitles_[c].enable != 0;
    osd.timeBox = box(timeTitles_[c].top, timeTitles_[c].left, timeTitles_[c].right, timeTitles_[c].bottom);
    osd.clockOffsetUs = clockOffsetUs_;
    const TMV_NET_OSD_CHANNEL_TITLE_INFO &title = channelTitles_[c];
    osd.channelTitle = title.enable != 0;
    osd.title.assign(title.title, strnlen(title.title, sizeof title.title));
    osd.titleBox = box(title.top, title.left, title.right, title.bottom);
    const TMV_NET_LASER_DISTANCE_OSD_PARAM &laser = laserOsds_[c];
    osd.laser = laser.enable != 0;
    osd.laserUnit = laser.unit;
    osd.laserAlignment = laser.alignment;
    osd.laserFontSize = laser.fontSize;
    osd.laserBox = box(laser.top, laser.left, laser.right, laser.bottom);
    osd.colourBar = thermalChannel && tempBarState_ != 0;
    osd.unit = int(tempUnit_);
    return s;
}

int Settings::palette() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return thermal_[size_t(profile_.thermalChannel)].palette;
}

bool Settings::setPalette(int palette)
{
    if (palette < 0 || palette >= kPaletteCount)
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    thermal_[size_t(profile_.thermalChannel)].palette = palette;
    return true;
}

int Settings::brightness() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return thermal_[size_t(profile_.thermalChannel)].brightness;
}

bool Settings::setBrightness(int value)
{
    if (!validLevel(value))
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    thermal_[size_t(profile_.thermalChannel)].brightness = value;
    return true;
}

int Settings::contrast() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return thermal_[size_t(profile_.thermalChannel)].contrast;
}

bool Settings::setContrast(int value)
{
    if (!validLevel(value))
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    thermal_[size_t(profile_.thermalChannel)].contrast = value;
    return true;
}

int Settings::flipMode() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return int(thermal_[size_t(profile_.thermalChannel)].flip);
}

bool Settings::setFlipMode(int mode)
{
    if (mode < int(FlipMode::None) || mode > int(FlipMode::Both))
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    thermal_[size_t(profile_.thermalChannel)].flip = FlipMode(mode);
    return true;
}

Gain Settings::gain() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return gain_;
}

bool Settings::setGain(int level)
{
    if (!validGain(level))
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    gain_ = Gain(level);
    return true;
}

TMV_NET_TEMP_SPAN_INFO Settings::span() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const ThermalSettings &t = thermal_[size_t(profile_.thermalChannel)];
    TMV_NET_TEMP_SPAN_INFO info{};
    info.enable = t.manualSpan ? 1 : 0;
    info.lowerThreshold = t.spanMinC;
    info.upperThreshold = t.spanMaxC;
    return info;
}

bool Settings::setSpan(const TMV_NET_TEMP_SPAN_INFO &celsius)
{
    // An empty or inverted range has no colours to spread; below absolute
    // zero is no temperature.
    const float lo = celsius.lowerThreshold, hi = celsius.upperThreshold;
    if (!std::isfinite(lo) || !std::isfinite(hi) || lo < -273.15f || hi > 6000.0f || !(lo < hi))
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    ThermalSettings &t = thermal_[size_t(profile_.thermalChannel)];
    t.manualSpan = celsius.enable != 0;
    t.spanMinC = lo;
    t.spanMaxC = hi;
    return true;
}

void Settings::enhance(TMV_NET_THERMAL_IMAGE_ENHANCE_INFO *out) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::memcpy(out, &enhance_, sizeof enhance_);
}

bool Settings::setEnhance(const TMV_NET_THERMAL_IMAGE_ENHANCE_INFO &info)
{
    if (!validLevel(info.denoise2DLevel) || !validLevel(info.denoise3DLevel) || !validLevel(info.detailEnhanceLevel))
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    std::memcpy(&enhance_, &info, sizeof enhance_);  // every byte, the gaps too
    return true;
}

void Settings::correctShutter(int64_t nowUs)
{
    std::lock_guard<std::mutex> lock(mutex_);
    shutterFromUs_ = nowUs;
}

void Settings::setClock(int64_t deviceSeconds, int64_t nowUs)
{
    std::lock_guard<std::mutex> lock(mutex_);
    clockOffsetUs_ = deviceSeconds * 1000000 - nowUs;
}

int64_t Settings::clockOffsetUs() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return clockOffsetUs_;
}

TMV_NET_ENV_PARAM Settings::env() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return env_;
}

bool Settings::setEnv(const TMV_NET_ENV_PARAM &celsius)
{
    if (!validEnv(celsius) || celsius.atmosTemp < -273.15f || celsius.refTemp < -273.15f)
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    env_ = celsius;
    return true;
}

int32_t Settings::osdState() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return osdState_;
}

void Settings::setOsdState(int32_t state)
{
    std::lock_guard<std::mutex> lock(mutex_);
    osdState_ = state;
}

int32_t Settings::tempBarState() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return tempBarState_;
}

void Settings::setTempBarState(int32_t state)
{
    std::lock_guard<std::mutex> lock(mutex_);
    tempBarState_ = state;
}

// A title must start inside the picture; right and bottom are kept as sent
// when they are not before left and top (0 leaves them open).
bool Settings::validBoxLocked(int channel, int top, int left, int right, int bottom) const
{
    const ChannelProfile &c = profile_.channels[size_t(channel)];
    return top >= 0 && left >= 0 && top < c.height && left < c.width && right >= 0 && bottom >= 0 &&
           (right == 0 || right > left) && (bottom == 0 || bottom > top);
}

bool Settings::timeTitle(int channel, TMV_NET_OSD_TIME_TITLE_INFO *out) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!validChannelLocked(channel))
        return false;
    *out = timeTitles_[size_t(channel)];
    return true;
}

bool Settings::setTimeTitle(int channel, const TMV_NET_OSD_TIME_TITLE_INFO &info)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!validChannelLocked(channel) || !validBoxLocked(channel, info.top, info.left, info.right, info.bottom))
        return false;
    timeTitles_[size_t(channel)] = info;
    return true;
}

bool Settings::channelTitle(int channel, TMV_NET_OSD_CHANNEL_TITLE_INFO *out) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!validChannelLocked(channel))
        return false;
    *out = channelTitles_[size_t(channel)];
    return true;
}

bool Settings::setChannelTitle(int channel, const TMV_NET_OSD_CHANNEL_TITLE_INFO &info)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!validChannelLocked(channel) || !validBoxLocked(channel, info.top, info.left, info.right, info.bottom) ||
        !memchr(info.title, 0, sizeof info.title))
        return false;
    // Kept with zeros after the text, whatever the caller left there.
    TMV_NET_OSD_CHANNEL_TITLE_INFO stored = info;
    const size_t length = strnlen(info.title, sizeof info.title);
    std::memset(stored.title + length, 0, sizeof stored.title - length);
    channelTitles_[size_t(channel)] = stored;
    return true;
}

bool Settings::laserOsd(int channel, TMV_NET_LASER_DISTANCE_OSD_PARAM *out) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!validChannelLocked(channel))
        return false;
    *out = laserOsds_[size_t(channel)];
    return true;
}

bool Settings::setLaserOsd(int channel, const TMV_NET_LASER_DISTANCE_OSD_PARAM &param)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!validChannelLocked(channel) || param.unit < 0 || param.unit > 1 || param.alignment < 0 ||
        param.alignment > 1 || param.fontSize < 0 || param.fontSize > 2 ||
        !validBoxLocked(channel, param.top, param.left, param.right, param.bottom))
        return false;
    laserOsds_[size_t(channel)] = param;
    return true;
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
