// The callbacks the library calls on its own threads.
#include "Sessions.h"

#include <sanitizer/asan_interface.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace entryfuzz {

namespace {

// Reads the bytes a callback was promised, all of them as far as
// AddressSanitizer is concerned, a sample of them for real.
void touch(const void *data, size_t size)
{
    if (size == 0)
        return;
    require(data != nullptr);
    require(__asan_region_is_poisoned(const_cast<void *>(data), size) == nullptr);
    const auto *b = static_cast<const volatile uint8_t *>(data);
    uint8_t sum = b[0] ^ b[size - 1];
    for (size_t i = 0; i < size; i += 4096)
        sum ^= b[i];
    (void)sum;
}

void touchFrame(const void *data, int32_t width, int32_t height, size_t pixelSize)
{
    require(width > 0 && height > 0 && width <= 16384 && height <= 16384);
    touch(data, size_t(width) * size_t(height) * pixelSize);
}

}  // namespace

void previewCallback(TMV_NET_HANDLE handle, int32_t channel, TMV_NET_PREVIEW_FRAME *frame, void *user)
{
    onLibraryThread(user);
    require(slotOf(handle).preview.load());
    require(channel == 0 || channel == 1);
    require(frame != nullptr);
    touchFrame(frame->data, frame->width, frame->height, 4);
    require(frame->showWidth >= 0 && frame->showWidth <= frame->width);
    require(frame->showHeight >= 0 && frame->showHeight <= frame->height);
    fromCallback(handle);
}

void tempCallback(TMV_NET_HANDLE handle, const TMV_NET_TEMP_FRAME *frame, int32_t channel, void *user)
{
    onLibraryThread(user);
    require(slotOf(handle).temp.load());
    require(channel == 0);
    require(frame != nullptr);
    touchFrame(frame->data, frame->width, frame->height, 2);
    fromCallback(handle);
}

void rawCallback(TMV_NET_HANDLE handle, const uint16_t *data, int32_t width, int32_t height, void *user)
{
    onLibraryThread(user);
    require(slotOf(handle).raw.load());
    touchFrame(data, width, height, 2);
    fromCallback(handle);
}

template <class T>
void touchAlarm(const void *info, bool named)
{
    touch(info, sizeof(T));
    if (named)
        require(std::memchr(info, 0, 256) != nullptr);
}

template <class T>
void touchPictures(const void *info)
{
    const T *record = static_cast<const T *>(info);
    for (const TMV_NET_ALARM_PICTURE &picture : record->pictures) {
        require(picture.size >= 0);
        touch(picture.data, size_t(picture.size));
    }
}

void alarmCallback(TMV_NET_HANDLE handle, int32_t type, const void *info, void *user)
{
    onLibraryThread(user);
    require(slotOf(handle).alarm.load());
    require(info != nullptr);
    switch (type) {
    case TMV_NET_ALARM_TEMP:
    case TMV_NET_ALARM_TEMP_RISE:
        touchAlarm<TMV_NET_TEMP_ALARM_INFO>(info, true);
        touchPictures<TMV_NET_TEMP_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_FIRE:
    case TMV_NET_ALARM_FIRE_PULSE:
        touchAlarm<TMV_NET_FIRE_ALARM_INFO>(info, true);
        touchPictures<TMV_NET_FIRE_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_REGION_INTRUSION:
        touchAlarm<TMV_NET_REGION_INTRUSION_ALARM_INFO>(info, true);
        touchPictures<TMV_NET_REGION_INTRUSION_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_LINE_INTRUSION:
        touchAlarm<TMV_NET_LINE_INTRUSION_ALARM_INFO>(info, true);
        touchPictures<TMV_NET_LINE_INTRUSION_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_TEMP_DIFF:
        touchAlarm<TMV_NET_TEMP_DIFF_ALARM_INFO>(info, true);
        touchPictures<TMV_NET_TEMP_DIFF_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_SMOKE_DETECT:
        touchAlarm<TMV_NET_SMOKE_DETECT_ALARM_INFO>(info, true);
        touchPictures<TMV_NET_SMOKE_DETECT_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_DYNAMIC:
        touchAlarm<TMV_NET_DYNAMIC_ALARM_INFO>(info, false);
        touchPictures<TMV_NET_DYNAMIC_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_LOCAL:
        touchAlarm<TMV_NET_LOCAL_ALARM_INFO>(info, false);
        touchPictures<TMV_NET_LOCAL_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_LOGIN_EXCEPTION:
        touchAlarm<TMV_NET_LOGIN_EXCEPTION_ALARM_INFO>(info, false);
        touchPictures<TMV_NET_LOGIN_EXCEPTION_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_HIGH_LIGHT:
        touchAlarm<TMV_NET_HIGH_LIGHT_ALARM_INFO>(info, false);
        touchPictures<TMV_NET_HIGH_LIGHT_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_OBJECT_PULSE: {
        touchAlarm<TMV_NET_OBJECT_PULSE_ALARM_INFO>(info, false);
        touchPictures<TMV_NET_OBJECT_PULSE_ALARM_INFO>(info);
        const auto *r = static_cast<const TMV_NET_OBJECT_PULSE_ALARM_INFO *>(info);
        require(r->objectCount >= 0 && r->objectCount <= 128);
        break;
    }
    case TMV_NET_ALARM_TRACK_STATE:
        touchAlarm<TMV_NET_TRACK_STATE_ALARM_INFO>(info, false);
        touchPictures<TMV_NET_TRACK_STATE_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_TRACK_OBJECT:
        touchAlarm<TMV_NET_TRACK_OBJECT_ALARM_INFO>(info, false);
        touchPictures<TMV_NET_TRACK_OBJECT_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_SD_EXCEPTION:
        touchAlarm<TMV_NET_SD_EXCEPTION_ALARM_INFO>(info, false);
        break;
    default:
        std::abort();  // only the documented codes are raised here
    }
    fromCallback(handle);
}

void exceptionCallback(TMV_NET_HANDLE handle, int32_t type, void *user)
{
    onLibraryThread(user);
    require(slotOf(handle).exception.load());
    require(type >= 1001 && type <= 1004);
    fromCallback(handle);
}

void searchCallback(const char *ip, void *user)
{
    onLibraryThread(user);
    require(g_searchOpen.load());
    require(ip != nullptr && std::memchr(ip, 0, 16) != nullptr);
    require(std::strncmp(ip, "127.0.0.", 8) == 0);
    fromCallback(reinterpret_cast<TMV_NET_HANDLE>(g_slots[0].handle.load()));
}

}  // namespace entryfuzz
