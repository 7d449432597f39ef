#pragma once
// What the device drives besides the camera: the wiper, the fill light, the
// day/night switching of the visible channel and the two logo pictures.
//
// Ranges (a value outside them is refused with 3 and nothing changes):
// - wiper mode 0 automatic, 1 manual (devices without a wiper answer 2);
// - fill light mode 0/1, brightness and sensitivity 0..100 (devices without
//   a light answer 2);
// - day/night mode 0 automatic, 1 day, 2 night, 3 timed; switch delay
//   0..3600 s; start and end 0..86399 s since midnight; sensitivity 0..100
//   (devices without a visible channel answer 2). The schedule and the
//   sensitivity are kept whatever the mode, so a client that writes back
//   what it read keeps them.
// - logos, type 0 login logo and 1 main logo: a PNG of at most 256 x 256
//   pixels and 64 KiB that decodes completely. Get writes the stored PNG to
//   the client's path; set reads the client's file. A path with a ".."
//   component is refused (3): the library only touches the file named
//   (callerPathAllowed, base/CallerPath.h).
//
// Threading model: safe from any thread; mutex_ guards the settings and the
// stored logos. File reading, decoding and writing happen outside the lock.

#include "TMVNetSDK.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace sim {

struct DeviceProfile;

namespace logo {

constexpr int kMaxSide = 256;
constexpr size_t kMaxBytes = 64 * 1024;

// Whether `png` is a complete PNG within the limits; its size in pixels.
bool acceptable(const std::vector<uint8_t> &png, int *width = nullptr, int *height = nullptr);
// A generated RGBA picture as PNG bytes.
std::vector<uint8_t> makeDefault(int type, int width, int height);

}  // namespace logo

class Peripherals {
public:
    static constexpr int kLogoTypes = 2;

    explicit Peripherals(const DeviceProfile &profile);

    void reset();

    int32_t wiper(int32_t *mode) const;
    int32_t setWiper(int32_t mode);

    int32_t fillLight(TMV_NET_FILL_LIGHT_CONFIG_INFO *info) const;
    int32_t setFillLight(const TMV_NET_FILL_LIGHT_CONFIG_INFO &info);

    int32_t dayNight(TMV_NET_DAY_NIGHT_MODE_PARAM *param) const;
    int32_t setDayNight(const TMV_NET_DAY_NIGHT_MODE_PARAM &param);

    // Statuses: 3 for a bad type, path or picture; 1 when the file cannot be
    // written.
    int32_t saveLogo(int32_t type, const std::string &path) const;
    int32_t loadLogo(int32_t type, const std::string &path);

private:
    bool hasWiper() const;
    bool hasLight() const;
    bool hasDayNight() const;

    const DeviceProfile &profile_;
    mutable std::mutex mutex_;  // protects the members below
    int32_t wiper_ = 0;
    TMV_NET_FILL_LIGHT_CONFIG_INFO light_{};
    TMV_NET_DAY_NIGHT_MODE_PARAM dayNight_{};
    std::vector<uint8_t> logos_[kLogoTypes];
};

}  // namespace sim
