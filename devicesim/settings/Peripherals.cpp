#include "settings/Peripherals.h"

#include "base/CallerPath.h"
#include "base/DeviceProfile.h"
#include "base/Status.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace sim {

namespace logo {

bool acceptable(const std::vector<uint8_t> &png, int *width, int *height)
{
    if (png.size() < 8 || png.size() > kMaxBytes || png_sig_cmp(png.data(), 0, 8) != 0)
        return false;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size()))
        return false;
    if (image.width < 1 || image.height < 1 || image.width > unsigned(kMaxSide) || image.height > unsigned(kMaxSide)) {
        png_image_free(&image);
        return false;
    }
    // Decoding the whole picture is what proves it a PNG: a truncated or
    // corrupted stream fails here.
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    if (width)
        *width = int(image.width);
    if (height)
        *height = int(image.height);
    return true;
}

std::vector<uint8_t> makeDefault(int type, int width, int height)
{
    std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 4);
    // A horizontal gradient with a diagonal band: orange for the login logo,
    // blue for the main logo.
    const uint8_t base[2][3] = {{240, 120, 20}, {30, 90, 220}};
    const uint8_t *c = base[type == 1 ? 1 : 0];
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t *p = &pixels[(size_t(y) * size_t(width) + size_t(x)) * 4];
            const int shade = 128 + 127 * x / (width > 1 ? width - 1 : 1);
            const bool band = ((x + y) / 8) % 4 == 0;
            for (int k = 0; k < 3; ++k)
                p[k] = band ? 255 : uint8_t(c[k] * shade / 255);
            p[3] = 255;
        }
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr))
        return {};
    std::vector<uint8_t> out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr))
        return {};
    out.resize(size);
    return out;
}

}  // namespace logo

namespace {

bool inRange(int32_t v, int32_t lo, int32_t hi)
{
    return v >= lo && v <= hi;
}

constexpr int32_t kLastSecondOfDay = 24 * 3600 - 1;

}  // namespace

Peripherals::Peripherals(const DeviceProfile &profile) : profile_(profile)
{
    reset();
}

void Peripherals::reset()
{
    // The factory logos never change: encoded once, not at every reset.
    static const std::vector<uint8_t> login = logo::makeDefault(0, 200, 64);
    static const std::vector<uint8_t> main = logo::makeDefault(1, 128, 128);
    std::lock_guard<std::mutex> lock(mutex_);
    wiper_ = 0;
    light_ = TMV_NET_FILL_LIGHT_CONFIG_INFO{};
    light_.mode = 0;
    light_.brightness = 50;
    light_.sensitivity = 50;
    dayNight_ = TMV_NET_DAY_NIGHT_MODE_PARAM{};
    dayNight_.mode = 0;
    dayNight_.switchDelay = 5;
    dayNight_.startTime = 6 * 3600;
    dayNight_.endTime = 18 * 3600;
    dayNight_.sensitivity = 50;
    logos_[0] = login;
    logos_[1] = main;
}

bool Peripherals::hasWiper() const
{
    return profile_.ability.wiper != 0;
}

bool Peripherals::hasLight() const
{
    return profile_.ability.light != 0;
}

bool Peripherals::hasDayNight() const
{
    for (const ChannelProfile &c : profile_.channels)
        if (!c.thermal)
            return true;
    return false;
}

int32_t Peripherals::wiper(int32_t *mode) const
{
    if (!hasWiper())
        return kNotSupported;
    std::lock_guard<std::mutex> lock(mutex_);
    *mode = wiper_;
    return kOk;
}

int32_t Peripherals::setWiper(int32_t mode)
{
    if (!hasWiper())
        return kNotSupported;
    if (!inRange(mode, 0, 1))
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    wiper_ = mode;
    return kOk;
}

int32_t Peripherals::fillLight(TMV_NET_FILL_LIGHT_CONFIG_INFO *info) const
{
    if (!hasLight())
        return kNotSupported;
    std::lock_guard<std::mutex> lock(mutex_);
    *info = light_;
    return kOk;
}

int32_t Peripherals::setFillLight(const TMV_NET_FILL_LIGHT_CONFIG_INFO &info)
{
    if (!hasLight())
        return kNotSupported;
    if (!inRange(info.mode, 0, 1) || !inRange(info.brightness, 0, 100) || !inRange(info.sensitivity, 0, 100))
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    light_ = TMV_NET_FILL_LIGHT_CONFIG_INFO{};
    light_.mode = info.mode;
    light_.brightness = info.brightness;
    light_.sensitivity = info.sensitivity;
    return kOk;
}

int32_t Peripherals::dayNight(TMV_NET_DAY_NIGHT_MODE_PARAM *param) const
{
    if (!hasDayNight())
        return kNotSupported;
    std::lock_guard<std::mutex> lock(mutex_);
    *param = dayNight_;
    return kOk;
}

int32_t Peripherals::setDayNight(const TMV_NET_DAY_NIGHT_MODE_PARAM &p)
{
    if (!hasDayNight())
        return kNotSupported;
    if (!inRange(p.mode, 0, 3) || !inRange(p.switchDelay, 0, 3600) || !inRange(p.startTime, 0, kLastSecondOfDay) ||
        !inRange(p.endTime, 0, kLastSecondOfDay) || !inRange(p.sensitivity, 0, 100))
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    dayNight_ = TMV_NET_DAY_NIGHT_MODE_PARAM{};
    dayNight_.mode = p.mode;
    dayNight_.switchDelay = p.switchDelay;
    dayNight_.startTime = p.startTime;
    dayNight_.endTime = p.endTime;
    dayNight_.sensitivity = p.sensitivity;
    return kOk;
}

int32_t Peripherals::saveLogo(int32_t type, const std::string &path) const
{
    if (!inRange(type, 0, kLogoTypes - 1) || !callerPathAllowed(path))
        return kWrongParam;
    std::vector<uint8_t> png;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        png = logos_[type];
    }
    // Written beside the target and renamed, so the client never finds a
    // half-written picture under its name.
    const std::string partial = path + ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        if (!out)
            return kFailed;
        out.write(reinterpret_cast<const char *>(png.data()), std::streamsize(png.size()));
        out.close();
        if (!out) {
            std::remove(partial.c_str());
            return kFailed;
        }
    }
    if (std::rename(partial.c_str(), path.c_str()) != 0) {
        std::remove(partial.c_str());
        return kFailed;
    }
    return kOk;
}

int32_t Peripherals::loadLogo(int32_t type, const std::string &path)
{
    if (!inRange(type, 0, kLogoTypes - 1) || !callerPathAllowed(path))
        return kWrongParam;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return kWrongParam;
    // Never read more than the device would take.
    std::vector<uint8_t> png(logo::kMaxBytes + 1);
    in.read(reinterpret_cast<char *>(png.data()), std::streamsize(png.size()));
    png.resize(size_t(in.gcount()));
    if (!logo::acceptable(png))
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    logos_[type] = std::move(png);
    return kOk;
}

}  // namespace sim
