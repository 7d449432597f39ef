#include "alarms/AlarmRecords.h"

#include <cstddef>
#include <cstring>

namespace sim {

namespace {

template <class T>
AlarmLayout layoutOf(int pictures, int channel, int time, int state)
{
    return AlarmLayout{int(sizeof(T)), pictures, channel, time, state};
}

constexpr int kUnknownRecordSize = 1024;

template <class T>
T *as(AlarmEvent &event)
{
    return static_cast<T *>(event.bytes());
}

}  // namespace

AlarmLayout alarmLayout(int32_t type)
{
    switch (type) {
    case TMV_NET_ALARM_TEMP:
    case TMV_NET_ALARM_TEMP_RISE:
        return layoutOf<TMV_NET_TEMP_ALARM_INFO>(280, 256, 264, 272);
    case TMV_NET_ALARM_FIRE:
    case TMV_NET_ALARM_FIRE_PULSE:
        return layoutOf<TMV_NET_FIRE_ALARM_INFO>(288, 264, 272, 280);
    case TMV_NET_ALARM_TEMP_DIFF:
        return layoutOf<TMV_NET_TEMP_DIFF_ALARM_INFO>(288, 264, 272, 280);
    case TMV_NET_ALARM_HIGH_LIGHT:
        return layoutOf<TMV_NET_HIGH_LIGHT_ALARM_INFO>(24, 0, 8, -1);
    case TMV_NET_ALARM_REGION_INTRUSION:
        return layoutOf<TMV_NET_REGION_INTRUSION_ALARM_INFO>(288, 264, 272, 280);
    case TMV_NET_ALARM_LINE_INTRUSION:
        return layoutOf<TMV_NET_LINE_INTRUSION_ALARM_INFO>(288, 264, 272, 280);
    case TMV_NET_ALARM_OBJECT_PULSE:
        return layoutOf<TMV_NET_OBJECT_PULSE_ALARM_INFO>(24, 0, 8, 16);
    case TMV_NET_ALARM_DYNAMIC:
        return layoutOf<TMV_NET_DYNAMIC_ALARM_INFO>(288, 264, 272, 280);
    case TMV_NET_ALARM_SMOKE_DETECT:
        return layoutOf<TMV_NET_SMOKE_DETECT_ALARM_INFO>(288, 264, 272, 280);
    case TMV_NET_ALARM_LOCAL:
        return layoutOf<TMV_NET_LOCAL_ALARM_INFO>(40, 16, 24, 32);
    case TMV_NET_ALARM_TRACK_STATE:
        return layoutOf<TMV_NET_TRACK_STATE_ALARM_INFO>(32, 8, 16, 24);
    case TMV_NET_ALARM_TRACK_OBJECT:
        return layoutOf<TMV_NET_TRACK_OBJECT_ALARM_INFO>(80, 56, 64, 72);
    case TMV_NET_ALARM_LOGIN_EXCEPTION:
        return layoutOf<TMV_NET_LOGIN_EXCEPTION_ALARM_INFO>(40, 16, 24, 32);
    case TMV_NET_ALARM_SD_EXCEPTION:
        return layoutOf<TMV_NET_SD_EXCEPTION_ALARM_INFO>(-1, 8, 16, 24);
    default:
        return AlarmLayout{kUnknownRecordSize, -1, -1, -1, -1};
    }
}

bool knownAlarmType(int32_t type)
{
    return alarmLayout(type).channel >= 0;
}

std::shared_ptr<AlarmEvent> blankAlarm(int32_t type, int size)
{
    auto event = std::make_shared<AlarmEvent>();
    event->type = type;
    event->size = size < 0 ? 0 : size;
    event->record.assign((size_t(event->size) + 7) / 8, 0);
    return event;
}

std::shared_ptr<AlarmEvent> newAlarm(int32_t type, int channel, int64_t timeS, int32_t state, JpegBytes thermal,
                                     JpegBytes visible)
{
    const AlarmLayout layout = alarmLayout(type);
    auto event = blankAlarm(type, layout.size);
    auto *bytes = static_cast<uint8_t *>(event->bytes());
    if (layout.channel >= 0)
        std::memcpy(bytes + layout.channel, &channel, sizeof channel);
    if (layout.time >= 0)
        std::memcpy(bytes + layout.time, &timeS, sizeof timeS);
    if (layout.state >= 0)
        std::memcpy(bytes + layout.state, &state, sizeof state);
    event->picturesOffset = layout.pictures;
    if (layout.pictures >= 0) {
        event->pictures[0] = std::move(thermal);
        event->pictures[1] = std::move(visible);
    }
    return event;
}

void copyName(char *field, size_t size, const std::string &text)
{
    const size_t n = text.size() < size ? text.size() : size - 1;
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

std::shared_ptr<AlarmEvent> sampleAlarm(int32_t type, int channel, int64_t timeS, JpegBytes thermal,
                                        JpegBytes visible)
{
    auto event = newAlarm(type, channel, timeS, 0, std::move(thermal), std::move(visible));
    switch (type) {
    case TMV_NET_ALARM_TEMP:
    case TMV_NET_ALARM_TEMP_RISE: {
        auto *r = as<TMV_NET_TEMP_ALARM_INFO>(*event);
        copyName(r->name, sizeof r->name, "Frame");
        r->ruleType = 2;
        r->temp = TMV_NET_TEMP_INFO{};
        r->temp.maxTemp = 82.5f;
        r->temp.minTemp = 12.0f;
        r->temp.avgTemp = 24.0f;
        r->temp.centerTemp = 21.0f;
        r->unit = 0;
        r->alarmRule = 3;
        r->threshold = 80.0f;
        break;
    }
    case TMV_NET_ALARM_FIRE:
    case TMV_NET_ALARM_FIRE_PULSE: {
        auto *r = as<TMV_NET_FIRE_ALARM_INFO>(*event);
        copyName(r->name, sizeof r->name, "Fire");
        r->regionId = 1;
        r->firePoint = TMV_NET_POINT{4096, 4096};
        r->fireTemp = 420.0f;
        break;
    }
    case TMV_NET_ALARM_TEMP_DIFF: {
        auto *r = as<TMV_NET_TEMP_DIFF_ALARM_INFO>(*event);
        copyName(r->name, sizeof r->name, "R1-R2");
        r->temps[0].maxTemp = 78.0f;
        r->temps[1].maxTemp = 41.0f;
        r->threshold = 30.0f;
        break;
    }
    case TMV_NET_ALARM_REGION_INTRUSION: {
        auto *r = as<TMV_NET_REGION_INTRUSION_ALARM_INFO>(*event);
        copyName(r->name, sizeof r->name, "Yard");
        r->regionId = 1;
        break;
    }
    case TMV_NET_ALARM_LINE_INTRUSION: {
        auto *r = as<TMV_NET_LINE_INTRUSION_ALARM_INFO>(*event);
        copyName(r->name, sizeof r->name, "Fence");
        r->regionId = 2;
        break;
    }
    case TMV_NET_ALARM_SMOKE_DETECT: {
        auto *r = as<TMV_NET_SMOKE_DETECT_ALARM_INFO>(*event);
        copyName(r->name, sizeof r->name, "Smoke");
        r->regionId = 3;
        break;
    }
    case TMV_NET_ALARM_DYNAMIC:
        as<TMV_NET_DYNAMIC_ALARM_INFO>(*event)->regionId = 4;
        break;
    case TMV_NET_ALARM_LOCAL:
        as<TMV_NET_LOCAL_ALARM_INFO>(*event)->regionId = 1;  // alarm input 1
        break;
    case TMV_NET_ALARM_OBJECT_PULSE: {
        auto *r = as<TMV_NET_OBJECT_PULSE_ALARM_INFO>(*event);
        r->objectCount = 1;
        r->objects[0] = TMV_NET_OBJECT_PULSE_INFO{7, 3};
        break;
    }
    case TMV_NET_ALARM_TRACK_STATE:
        as<TMV_NET_TRACK_STATE_ALARM_INFO>(*event)->trackState = 1;
        break;
    case TMV_NET_ALARM_TRACK_OBJECT: {
        auto *r = as<TMV_NET_TRACK_OBJECT_ALARM_INFO>(*event);
        r->objectId = 7;
        r->objectType = 1;
        r->topLeft = TMV_NET_POINT{3000, 3000};
        r->bottomRight = TMV_NET_POINT{4000, 5000};
        break;
    }
    case TMV_NET_ALARM_SD_EXCEPTION:
        as<TMV_NET_SD_EXCEPTION_ALARM_INFO>(*event)->sdState = 1;  // full
        break;
    default:
        break;  // high light and login exception carry only the common fields
    }
    return event;
}

}  // namespace sim
