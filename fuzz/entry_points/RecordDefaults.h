#pragma once
// What the fuzzer knows of each record type: where its text fields lie, and
// a sensible record of it. A type with neither uses the templates here; the
// explicit ones must stay visible wherever records are made.
#include "TMVNetSDK.h"
#include "Values.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace entryfuzz {

// The text fields of each record, the places a change of text goes to.
template <class T>
std::vector<TextField> textFields()
{
    return {};
}
#define TEXT(T, field) TextField{offsetof(T, field), sizeof(T::field)}
template <>
inline std::vector<TextField> textFields<TMV_NET_LOGIN_INFO>()
{
    return {TEXT(TMV_NET_LOGIN_INFO, ip), TEXT(TMV_NET_LOGIN_INFO, userName), TEXT(TMV_NET_LOGIN_INFO, password)};
}
template <>
inline std::vector<TextField> textFields<TMV_NET_TEMP_RULE>()
{
    return {TEXT(TMV_NET_TEMP_RULE, name)};
}
template <>
inline std::vector<TextField> textFields<TMV_NET_TEMP_MASK>()
{
    return {TEXT(TMV_NET_TEMP_MASK, name)};
}
template <>
inline std::vector<TextField> textFields<TMV_NET_PRESET_INFO>()
{
    return {TEXT(TMV_NET_PRESET_INFO, name)};
}
template <>
inline std::vector<TextField> textFields<TMV_NET_TOUR_INFO>()
{
    const size_t stop = offsetof(TMV_NET_TOUR_INFO, points) + offsetof(TMV_NET_TOUR_POINT, preset)
                        + offsetof(TMV_NET_PRESET_INFO, name);
    return {TEXT(TMV_NET_TOUR_INFO, name), {stop, 256}, {stop + sizeof(TMV_NET_TOUR_POINT), 256},
            {stop + 255 * sizeof(TMV_NET_TOUR_POINT), 256}};
}
template <>
inline std::vector<TextField> textFields<TMV_NET_GUN_BALL_TRACK_CONFIG_INFO>()
{
    return {TEXT(TMV_NET_GUN_BALL_TRACK_CONFIG_INFO, userName), TEXT(TMV_NET_GUN_BALL_TRACK_CONFIG_INFO, password),
            TEXT(TMV_NET_GUN_BALL_TRACK_CONFIG_INFO, ip)};
}
template <>
inline std::vector<TextField> textFields<TMV_NET_OSD_CHANNEL_TITLE_INFO>()
{
    return {TEXT(TMV_NET_OSD_CHANNEL_TITLE_INFO, title)};
}
template <>
inline std::vector<TextField> textFields<TMV_NET_IP_CONFIG>()
{
    return {TEXT(TMV_NET_IP_CONFIG, name),       TEXT(TMV_NET_IP_CONFIG, mac),
            TEXT(TMV_NET_IP_CONFIG, ip),         TEXT(TMV_NET_IP_CONFIG, subnetMask),
            TEXT(TMV_NET_IP_CONFIG, gateway),    TEXT(TMV_NET_IP_CONFIG, defaultDns),
            TEXT(TMV_NET_IP_CONFIG, standbyDns)};
}
template <>
inline std::vector<TextField> textFields<TMV_NET_FILE_QUERY>()
{
    return {TEXT(TMV_NET_FILE_QUERY, startTime), TEXT(TMV_NET_FILE_QUERY, endTime)};
}
template <>
inline std::vector<TextField> textFields<TMV_NET_FILE_DOWNLOAD_INFO>()
{
    return {{offsetof(TMV_NET_FILE_DOWNLOAD_INFO, fileInfo) + offsetof(TMV_NET_FILE_INFO, startTime), 32},
            {offsetof(TMV_NET_FILE_DOWNLOAD_INFO, fileInfo) + offsetof(TMV_NET_FILE_INFO, endTime), 32}};
}
#undef TEXT

// ---- Records -----------------------------------------------------------------

// A sensible record of each type, the first choice when nothing better was
// read from the library in this input.
template <class T>
inline void defaults(T *)
{
}
inline void defaults(TMV_NET_LOGIN_INFO *r)
{
    putText(reinterpret_cast<uint8_t *>(r->ip), sizeof r->ip, "127.0.0.11");
    r->port = 80;
    putText(reinterpret_cast<uint8_t *>(r->userName), sizeof r->userName, "admin");
    putText(reinterpret_cast<uint8_t *>(r->password), sizeof r->password, "sensor852");
}
inline void defaults(TMV_NET_TEMP_RULE_KEY *r)
{
    r->ruleType = -1;
    r->ruleId = -1;
}
inline void defaults(TMV_NET_TEMP_MASK_KEY *r)
{
    r->maskId = -1;
}
inline void defaults(TMV_NET_PREVIEW_INFO *r)
{
    r->linkMode = 2;
}
inline void defaults(TMV_NET_POINT *r)
{
    r->x = 4095;
    r->y = 4095;
}
inline void defaults(TMV_NET_TEMP_RULE *r)
{
    r->enable = 1;
    putText(reinterpret_cast<uint8_t *>(r->name), sizeof r->name, "R1");
    r->ruleType = 2;
    r->points[0] = {1000, 1000};
    r->points[1] = {3000, 1000};
    r->points[2] = {3000, 3000};
    r->points[3] = {1000, 3000};
    r->pointCount = 4;
    r->envParam = {20.0f, 10.0f, 0.95f, 20.0f, 1.0f};
    r->condition = {3, 1, 40.0f, 1.0f};
    r->snapLinkage.enable = 1;
    r->snapLinkage.channels[0] = 1;
}
inline void defaults(TMV_NET_TEMP_MASK *r)
{
    r->enable = 1;
    putText(reinterpret_cast<uint8_t *>(r->name), sizeof r->name, "M1");
    r->points[0] = {100, 100};
    r->points[1] = {900, 100};
    r->points[2] = {900, 900};
    r->points[3] = {100, 900};
}
inline void defaults(TMV_NET_TEMP_RULE_G1 *r)
{
    r->ruleType = 1;
    r->startPoint = {1000, 1000};
    r->endPoint = {5000, 5000};
    r->alarm.alarmSwitch = 1;
    r->alarm.highEnable = 1;
    r->alarm.highTemp = 40.0f;
    r->alarm.highLevels[0] = 45.0f;
    r->alarm.highLevels[1] = 50.0f;
    r->alarm.highLevels[2] = 55.0f;
}
inline void defaults(TMV_NET_FRAME_TEMP_ALARM_CONFIG *r)
{
    r->enable = 1;
    r->conditions[0] = {3, 1, 30.0f, 1.0f};
    r->conditions[1] = {6, 1, 0.0f, 1.0f};
}
inline void defaults(TMV_NET_PTZ_CONTROL *r)
{
    r->speed = 4;
}
inline void defaults(TMV_NET_PRESET_INFO *r)
{
    r->enable = 1;
    r->id = 1;
    putText(reinterpret_cast<uint8_t *>(r->name), sizeof r->name, "P1");
}
inline void defaults(TMV_NET_TOUR_INFO *r)
{
    r->enable = 1;
    r->id = 1;
    putText(reinterpret_cast<uint8_t *>(r->name), sizeof r->name, "T1");
    for (int i = 0; i < 2; ++i) {
        r->points[i].preset.enable = 1;
        r->points[i].preset.id = i + 1;
        r->points[i].residenceTime = 1;
    }
    r->count = 2;
}
inline void defaults(TMV_NET_REGION_SCAN_INFO *r)
{
    r->id = 1;
    r->enable = 1;
    r->direction = 1;
    r->speed = 4;
}
inline void defaults(TMV_NET_PTZ_POSITION *r)
{
    r->pan = 9000.0f;
    r->zoom = 1.0f;
}
inline void defaults(TMV_NET_PTZ_3D_POSITION *r)
{
    *r = {0, 3000, 3000, 5000, 5000};
}
inline void defaults(TMV_NET_PTZ_REGION *r)
{
    *r = {0, 3000, 3000, 5000, 5000, 0};
}
inline void defaults(TMV_NET_ENV_PARAM *r)
{
    *r = {20.0f, 10.0f, 0.95f, 20.0f, 1.0f};
}
inline void defaults(TMV_NET_GUN_BALL_TRACK_CONFIG_INFO *r)
{
    putText(reinterpret_cast<uint8_t *>(r->userName), sizeof r->userName, "admin");
    putText(reinterpret_cast<uint8_t *>(r->password), sizeof r->password, "sensor852");
    putText(reinterpret_cast<uint8_t *>(r->ip), sizeof r->ip, "127.0.0.12");
    r->port = 80;
    r->keepAlive = 10;
}
inline void defaults(TMV_NET_FILE_QUERY *r)
{
    r->fileType = 1;
    putText(reinterpret_cast<uint8_t *>(r->startTime), sizeof r->startTime, "2000-01-01+00:00:00");
    putText(reinterpret_cast<uint8_t *>(r->endTime), sizeof r->endTime, "2099-12-31+23:59:59");
    r->pageSize = 50;
}

}  // namespace entryfuzz
