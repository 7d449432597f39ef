/*
 * TMVNetSDK: the device library contract.
 *
 * Every record has the byte layout of a 64-bit little-endian build, checked
 * below each record. Every function returns a status: 0 success, 1 failed,
 * 2 not supported, 3 wrong parameter, 4 temperature callback not enabled,
 * 1001..1007 login and account errors, 1101 rule limit. A null or unknown
 * handle gives 1; a null required pointer or a negative capacity gives 3 and
 * nothing is touched. Text fields are NUL-terminated inside their field; a
 * field without a NUL is refused with 3.
 *
 * List queries take (..., array, int32 capacity, int32 *count): at most
 * `capacity` records are written and *count is at most `capacity`; capacity 0
 * accepts a null array. The library copies every argument at the call and
 * keeps no caller buffer.
 *
 * Callbacks run on the library's own threads, never on the caller's thread
 * and never inside the call that registered them. Pointers handed to a
 * callback are valid only during that call. After the matching stop call
 * returns, no callback of that stream runs or will run.
 */
#ifndef TMVNETSDK_H
#define TMVNETSDK_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(TMVNETSDK_BUILDING)
#define TMV_NET_API __attribute__((visibility("default")))
#else
#define TMV_NET_API
#endif

#if defined(__cplusplus)
#define TMV_NET_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define TMV_NET_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif
#define TMV_NET_CHECK_SIZE(type, size) TMV_NET_STATIC_ASSERT(sizeof(type) == (size), #type " size")
#define TMV_NET_CHECK_OFFSET(type, field, off) \
    TMV_NET_STATIC_ASSERT(offsetof(type, field) == (off), #type "." #field " offset")

/* The layouts below are those of a 64-bit build (8-byte pointers). */
TMV_NET_STATIC_ASSERT(sizeof(void *) == 8, "TMVNetSDK records need a 64-bit build");

/* Status codes. */
#define TMV_NET_SUCCESS 0
#define TMV_NET_FAILED 1
#define TMV_NET_NOT_SUPPORTED 2
#define TMV_NET_PARAM_WRONG 3
#define TMV_NET_TEMP_CALLBACK_OFF 4
#define TMV_NET_BLACK_LIST 1001
#define TMV_NET_NO_SUCH_USER 1002
#define TMV_NET_PASSWORD_WRONG 1003
#define TMV_NET_DEVICE_NOT_SUPPORTED 1004
#define TMV_NET_ACCOUNT_LOCKED 1005
#define TMV_NET_USER_LIMIT 1006
#define TMV_NET_SYSTEM_EXCEPTION 1007
#define TMV_NET_RULE_LIMIT 1101

/* Opaque login handle, pointer-width; 0 means no login. */
typedef void *TMV_NET_HANDLE;

/* ======================================================================== */
/* ---- Session ----------------------------------------------------------- */

typedef struct TMV_NET_LOGIN_INFO {
    char ip[16];          /* NUL-terminated, at most 15 bytes */
    int32_t port;
    char userName[256];   /* NUL-terminated */
    char password[256];   /* NUL-terminated */
} TMV_NET_LOGIN_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_LOGIN_INFO, 532);
TMV_NET_CHECK_OFFSET(TMV_NET_LOGIN_INFO, ip, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_LOGIN_INFO, port, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_LOGIN_INFO, userName, 20);
TMV_NET_CHECK_OFFSET(TMV_NET_LOGIN_INFO, password, 276);

typedef struct TMV_NET_DEV_INFO {
    int32_t channelCount;
    int32_t deviceType;      /* 0 PTZ thermal + visible, 1 fixed thermal, 2 panoramic */
    int32_t thermalChannel;  /* the channel that measures temperature */
    int32_t width;           /* thermal sensor width in pixels */
    int32_t height;          /* thermal sensor height in pixels */
    int32_t firmwareVersion; /* major << 16 | minor << 8 | patch */
} TMV_NET_DEV_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_DEV_INFO, 24);
TMV_NET_CHECK_OFFSET(TMV_NET_DEV_INFO, channelCount, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_DEV_INFO, thermalChannel, 8);

/* Non-zero flag: the device has the function. */
typedef struct TMV_NET_DEV_ABILITY {
    int32_t zoom, focus, iris, panTilt, wiper, light, defrost, defog, fan, heater,
        autoFocus, arrows, accuratePosition, position3D, regionFocus, manualTrack,
        lensInit, laserDistance, reset;
} TMV_NET_DEV_ABILITY;
TMV_NET_CHECK_SIZE(TMV_NET_DEV_ABILITY, 76);
TMV_NET_CHECK_OFFSET(TMV_NET_DEV_ABILITY, panTilt, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_DEV_ABILITY, reset, 72);

typedef struct TMV_NET_PTZ_AUX_STATE {
    int32_t wiper, light, defrost, defog, fan, heater, autoFocus, arrows;
} TMV_NET_PTZ_AUX_STATE;
TMV_NET_CHECK_SIZE(TMV_NET_PTZ_AUX_STATE, 32);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_AUX_STATE, arrows, 28);

/* Called on a library thread for every device found; `ip` is valid only
 * during the call. */
typedef void (*TMV_NET_SEARCH_CALLBACK)(const char *ip, void *user);
/* Called on a library thread when a login's device reports an exception:
 * 1001 device offline, 1002 preview offline, 1003 alarm offline, 1004
 * temperature offline. */
typedef void (*TMV_NET_EXCEPTION_CALLBACK)(TMV_NET_HANDLE handle, int32_t type, void *user);

/* ======================================================================== */
/* ---- Preview ----------------------------------------------------------- */

typedef struct TMV_NET_PREVIEW_INFO {
    int32_t channel;
    int32_t streamType;  /* 0 main stream */
    int32_t linkMode;    /* 2 */
} TMV_NET_PREVIEW_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_PREVIEW_INFO, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_PREVIEW_INFO, channel, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_PREVIEW_INFO, streamType, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_PREVIEW_INFO, linkMode, 8);

typedef struct TMV_NET_PREVIEW_FRAME {
    uint8_t *data;       /* RGBA8888, width * 4 bytes a row, no padding */
    int32_t width;
    int32_t height;
    int32_t showWidth;   /* part to show from (0, 0), or 0 for all */
    int32_t showHeight;
} TMV_NET_PREVIEW_FRAME;
TMV_NET_CHECK_SIZE(TMV_NET_PREVIEW_FRAME, 24);
TMV_NET_CHECK_OFFSET(TMV_NET_PREVIEW_FRAME, data, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_PREVIEW_FRAME, width, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_PREVIEW_FRAME, height, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_PREVIEW_FRAME, showWidth, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_PREVIEW_FRAME, showHeight, 20);

/* Called on the stream's library thread for each frame; `frame` and its pixels
 * are valid only during the call. The pixels are read-only: the library may
 * hand the same frame to every login that shows the channel. */
typedef void (*TMV_NET_PREVIEW_CALLBACK)(TMV_NET_HANDLE handle, int32_t channel,
                                         TMV_NET_PREVIEW_FRAME *frame, void *user);

/* ======================================================================== */
/* ---- Temperature: common blocks ---------------------------------------- */

/* A point of the normalised picture space, 0..8191 (measurement) or
 * 0..8192 (PTZ positioning) on both axes. */
typedef struct TMV_NET_POINT {
    int32_t x;
    int32_t y;
} TMV_NET_POINT;
TMV_NET_CHECK_SIZE(TMV_NET_POINT, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_POINT, x, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_POINT, y, 4);

/* Temperatures in the device's current unit; positions in picture space. */
typedef struct TMV_NET_TEMP_INFO {
    float avgTemp;
    float centerTemp;
    float maxTemp;
    float minTemp;
    int32_t maxX;
    int32_t maxY;
    int32_t minX;
    int32_t minY;
} TMV_NET_TEMP_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_TEMP_INFO, 32);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_INFO, avgTemp, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_INFO, centerTemp, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_INFO, maxTemp, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_INFO, minTemp, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_INFO, maxX, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_INFO, maxY, 20);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_INFO, minX, 24);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_INFO, minY, 28);

/* alarmRule: 0 none, 1 avg greater than, 2 avg less than, 3 high greater than,
 * 4 high less than, 5 low greater than, 6 low less than. */
typedef struct TMV_NET_TEMP_ALARM_CONDITION {
    int32_t alarmRule;
    int32_t debounce;
    float threshold;
    float tolerance;
} TMV_NET_TEMP_ALARM_CONDITION;
TMV_NET_CHECK_SIZE(TMV_NET_TEMP_ALARM_CONDITION, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_CONDITION, alarmRule, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_CONDITION, debounce, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_CONDITION, threshold, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_CONDITION, tolerance, 12);

/* Snapshot or recording on alarm. */
typedef struct TMV_NET_ALARM_LINKAGE {
    uint8_t enable;
    uint8_t channels[2];  /* channel 1, channel 2 */
    uint8_t reserved[5];
    int64_t delay;
} TMV_NET_ALARM_LINKAGE;
TMV_NET_CHECK_SIZE(TMV_NET_ALARM_LINKAGE, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_ALARM_LINKAGE, enable, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_ALARM_LINKAGE, channels, 1);
TMV_NET_CHECK_OFFSET(TMV_NET_ALARM_LINKAGE, delay, 8);

/* Environment correction of a measurement. */
typedef struct TMV_NET_ENV_PARAM {
    float atmosTemp;   /* atmospheric temperature */
    float distance;    /* target distance */
    float emissivity;
    float refTemp;     /* reflected temperature */
    float atmosTrans;  /* atmospheric transmittance */
} TMV_NET_ENV_PARAM;
TMV_NET_CHECK_SIZE(TMV_NET_ENV_PARAM, 20);
TMV_NET_CHECK_OFFSET(TMV_NET_ENV_PARAM, atmosTemp, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_ENV_PARAM, distance, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_ENV_PARAM, emissivity, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_ENV_PARAM, refTemp, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_ENV_PARAM, atmosTrans, 16);

/* ---- Temperature: frame ------------------------------------------------ */

/* conditions[0] is the greater-than condition, conditions[1] the less-than one. */
typedef struct TMV_NET_FRAME_TEMP_ALARM_CONFIG {
    uint8_t enable;
    TMV_NET_TEMP_ALARM_CONDITION conditions[2];
    TMV_NET_ALARM_LINKAGE snapLinkage;
    TMV_NET_ALARM_LINKAGE recordLinkage;
} TMV_NET_FRAME_TEMP_ALARM_CONFIG;
TMV_NET_CHECK_SIZE(TMV_NET_FRAME_TEMP_ALARM_CONFIG, 72);
TMV_NET_CHECK_OFFSET(TMV_NET_FRAME_TEMP_ALARM_CONFIG, enable, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_FRAME_TEMP_ALARM_CONFIG, conditions, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_FRAME_TEMP_ALARM_CONFIG, conditions[1], 20);
TMV_NET_CHECK_OFFSET(TMV_NET_FRAME_TEMP_ALARM_CONFIG, snapLinkage, 40);
TMV_NET_CHECK_OFFSET(TMV_NET_FRAME_TEMP_ALARM_CONFIG, recordLinkage, 56);

/* ---- Temperature: streams ---------------------------------------------- */

/* One frame of the temperature stream: width * height 16-bit values, row
 * after row, little-endian, one per pixel of the thermal picture. Each value
 * is the pixel's temperature in tenths of a kelvin, unsigned:
 * value = round((C + 273.15) * 10), so 2931 is 20.0 C and 0 means no reading.
 * The unit setting of the device does not change it. */
typedef struct TMV_NET_TEMP_FRAME {
    uint16_t *data;
    int32_t width;
    int32_t height;
} TMV_NET_TEMP_FRAME;
TMV_NET_CHECK_SIZE(TMV_NET_TEMP_FRAME, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_FRAME, data, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_FRAME, width, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_FRAME, height, 12);

/* Called on the temperature stream's library thread for each frame; `frame`
 * and its values are valid only during the call. `channel` is the thermal
 * channel. */
typedef void (*TMV_NET_TEMP_CALLBACK)(TMV_NET_HANDLE handle, const TMV_NET_TEMP_FRAME *frame,
                                      int32_t channel, void *user);
/* Called on the raw stream's library thread for each frame of raw sensor
 * values (width * height 16-bit values, row after row, as the temperature
 * frame); `data` is valid only during the call. The values are the
 * detector's counts, not temperatures: about 8000 at 20 C and about 30 more
 * per kelvin, rising a little faster when hotter. With the correction off
 * (TMV_NET_SetPullTempExecParam) each pixel and column keeps its own offset
 * and gain, the detector's fixed pattern. */
typedef void (*TMV_NET_NUC_DATA_CALLBACK)(TMV_NET_HANDLE handle, const uint16_t *data, int32_t width,
                                          int32_t height, void *user);

/* ---- Temperature: rules and masks -------------------------------------- */

/* ruleType: 0 point, 1 line, 2 area (4 corners), 3 circle, 4 polygon. */
typedef struct TMV_NET_TEMP_RULE {
    uint8_t enable;
    int32_t presetId;      /* 0: whole frame */
    int32_t ruleId;        /* assigned by the device; 0 when adding */
    char name[256];
    int32_t ruleType;
    TMV_NET_POINT points[8];
    int32_t pointCount;
    uint8_t envEnable;
    TMV_NET_ENV_PARAM envParam;
    TMV_NET_TEMP_ALARM_CONDITION condition;
    TMV_NET_ALARM_LINKAGE snapLinkage;
    TMV_NET_ALARM_LINKAGE recordLinkage;
} TMV_NET_TEMP_RULE;
TMV_NET_CHECK_SIZE(TMV_NET_TEMP_RULE, 416);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE, enable, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE, presetId, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE, ruleId, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE, name, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE, ruleType, 268);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE, points, 272);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE, pointCount, 336);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE, envEnable, 340);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE, envParam, 344);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE, condition, 364);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE, snapLinkage, 384);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE, recordLinkage, 400);

/* Selects rules; -1 in ruleType or ruleId means all. */
typedef struct TMV_NET_TEMP_RULE_KEY {
    int32_t reserved;      /* not filled by callers; ignored */
    int32_t presetId;      /* preset position in queries and deletions */
    int32_t ruleType;
    int32_t ruleId;
} TMV_NET_TEMP_RULE_KEY;
TMV_NET_CHECK_SIZE(TMV_NET_TEMP_RULE_KEY, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE_KEY, presetId, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE_KEY, ruleType, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE_KEY, ruleId, 12);

/* The temperatures of one rule. */
typedef struct TMV_NET_RULE_TEMP {
    int32_t presetId;
    int32_t ruleId;
    int32_t ruleType;
    int32_t unit;          /* 0 Celsius, 1 Fahrenheit, 2 Kelvin */
    TMV_NET_TEMP_INFO temp;
    int32_t alarmState;    /* 0 quiet, 1 in alarm */
    int32_t reserved;
} TMV_NET_RULE_TEMP;
TMV_NET_CHECK_SIZE(TMV_NET_RULE_TEMP, 56);
TMV_NET_CHECK_OFFSET(TMV_NET_RULE_TEMP, temp, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_RULE_TEMP, alarmState, 48);

/* A rectangle left out of measurement. */
typedef struct TMV_NET_TEMP_MASK {
    uint8_t enable;
    int32_t presetId;      /* preset id; 0: whole frame */
    int32_t maskId;
    char name[256];
    TMV_NET_POINT points[4];
} TMV_NET_TEMP_MASK;
TMV_NET_CHECK_SIZE(TMV_NET_TEMP_MASK, 300);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_MASK, enable, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_MASK, presetId, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_MASK, maskId, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_MASK, name, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_MASK, points, 268);

typedef struct TMV_NET_TEMP_MASK_KEY {
    int32_t presetId;      /* preset position */
    int32_t maskId;        /* -1: all masks */
} TMV_NET_TEMP_MASK_KEY;
TMV_NET_CHECK_SIZE(TMV_NET_TEMP_MASK_KEY, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_MASK_KEY, presetId, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_MASK_KEY, maskId, 4);

/* ---- Temperature: tiered (G1) rules ------------------------------------ */

/* alarmSwitch: 1 high only, 2 low only, 3 high and low, 0 off. */
typedef struct TMV_NET_TEMP_ALARM_G1 {
    int32_t alarmSwitch;
    float lowTemp;
    uint8_t lowEnable;
    float lowLevels[3];
    float highTemp;
    uint8_t highEnable;
    float highLevels[3];
    int32_t delay;
    uint8_t reserved;      /* written as 0 */
} TMV_NET_TEMP_ALARM_G1;
TMV_NET_CHECK_SIZE(TMV_NET_TEMP_ALARM_G1, 52);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_G1, alarmSwitch, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_G1, lowTemp, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_G1, lowEnable, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_G1, lowLevels, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_G1, highTemp, 24);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_G1, highEnable, 28);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_G1, highLevels, 32);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_G1, delay, 44);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_G1, reserved, 48);

typedef struct TMV_NET_TEMP_RULE_G1 {
    int32_t ruleId;
    int32_t ruleType;
    TMV_NET_POINT startPoint;
    TMV_NET_POINT endPoint;
    TMV_NET_TEMP_ALARM_G1 alarm;
} TMV_NET_TEMP_RULE_G1;
TMV_NET_CHECK_SIZE(TMV_NET_TEMP_RULE_G1, 76);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE_G1, ruleId, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE_G1, ruleType, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE_G1, startPoint, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE_G1, endPoint, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_RULE_G1, alarm, 24);

/* ======================================================================== */
/* ---- Alarms ------------------------------------------------------------ */

/* Alarm type codes handed to the alarm callback. */
#define TMV_NET_ALARM_TEMP 10001
#define TMV_NET_ALARM_FIRE 10002
#define TMV_NET_ALARM_TEMP_RISE 10003
#define TMV_NET_ALARM_TEMP_DIFF 10004
#define TMV_NET_ALARM_FIRE_PULSE 10005
#define TMV_NET_ALARM_HIGH_LIGHT 10006
#define TMV_NET_ALARM_REGION_INTRUSION 20001
#define TMV_NET_ALARM_LINE_INTRUSION 20002
#define TMV_NET_ALARM_OBJECT_PULSE 20003
#define TMV_NET_ALARM_DYNAMIC 20004
#define TMV_NET_ALARM_SMOKE_DETECT 30001
#define TMV_NET_ALARM_LOCAL 40001
#define TMV_NET_ALARM_TRACK_STATE 50001
#define TMV_NET_ALARM_TRACK_OBJECT 50002
#define TMV_NET_ALARM_LOGIN_EXCEPTION 60001
#define TMV_NET_ALARM_SD_EXCEPTION 70001

/* A JPEG picture of an alarm; `data` belongs to the library and is valid
 * only during the alarm callback. */
typedef struct TMV_NET_ALARM_PICTURE {
    uint8_t *data;
    int32_t size;
} TMV_NET_ALARM_PICTURE;
TMV_NET_CHECK_SIZE(TMV_NET_ALARM_PICTURE, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_ALARM_PICTURE, data, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_ALARM_PICTURE, size, 8);

/* Common fields: time is seconds since 1970-01-01 UTC; state 0 single alarm,
 * 1 start, 2 end; names are NUL-terminated. */

/* Types 10001 (threshold) and 10003 (temperature rise). */
typedef struct TMV_NET_TEMP_ALARM_INFO {
    char name[256];        /* rule name, "Frame" for a whole-frame alarm */
    int32_t channel;
    int64_t time;
    int32_t state;
    TMV_NET_ALARM_PICTURE pictures[2];
    uint8_t reserved[8];
    int32_t ruleType;
    int32_t ruleId;
    TMV_NET_TEMP_INFO temp;
    int32_t unit;          /* 0 Celsius, 1 Fahrenheit, 2 Kelvin */
    int32_t alarmRule;
    float threshold;
    int32_t reserved2;
} TMV_NET_TEMP_ALARM_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_TEMP_ALARM_INFO, 376);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_INFO, name, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_INFO, channel, 256);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_INFO, time, 264);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_INFO, state, 272);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_INFO, pictures, 280);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_INFO, ruleType, 320);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_INFO, ruleId, 324);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_INFO, temp, 328);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_INFO, unit, 360);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_INFO, alarmRule, 364);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_ALARM_INFO, threshold, 368);

/* Types 10002 (fire) and 10005 (fire pulse). */
typedef struct TMV_NET_FIRE_ALARM_INFO {
    char name[256];
    int32_t regionId;
    int32_t reserved;
    int32_t channel;
    int64_t time;
    int32_t state;
    TMV_NET_ALARM_PICTURE pictures[2];
    TMV_NET_POINT firePoint;   /* hottest point of the fire, picture space */
    float fireTemp;
    uint8_t reserved2[92];
} TMV_NET_FIRE_ALARM_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_FIRE_ALARM_INFO, 424);
TMV_NET_CHECK_OFFSET(TMV_NET_FIRE_ALARM_INFO, name, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_FIRE_ALARM_INFO, regionId, 256);
TMV_NET_CHECK_OFFSET(TMV_NET_FIRE_ALARM_INFO, channel, 264);
TMV_NET_CHECK_OFFSET(TMV_NET_FIRE_ALARM_INFO, time, 272);
TMV_NET_CHECK_OFFSET(TMV_NET_FIRE_ALARM_INFO, state, 280);
TMV_NET_CHECK_OFFSET(TMV_NET_FIRE_ALARM_INFO, pictures, 288);

/* Type 20001. */
typedef struct TMV_NET_REGION_INTRUSION_ALARM_INFO {
    char name[256];
    int32_t regionId;
    int32_t reserved;
    int32_t channel;
    int64_t time;
    int32_t state;
    TMV_NET_ALARM_PICTURE pictures[2];
    uint8_t reserved2[16];
} TMV_NET_REGION_INTRUSION_ALARM_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_REGION_INTRUSION_ALARM_INFO, 336);
TMV_NET_CHECK_OFFSET(TMV_NET_REGION_INTRUSION_ALARM_INFO, name, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_REGION_INTRUSION_ALARM_INFO, regionId, 256);
TMV_NET_CHECK_OFFSET(TMV_NET_REGION_INTRUSION_ALARM_INFO, channel, 264);
TMV_NET_CHECK_OFFSET(TMV_NET_REGION_INTRUSION_ALARM_INFO, time, 272);
TMV_NET_CHECK_OFFSET(TMV_NET_REGION_INTRUSION_ALARM_INFO, state, 280);
TMV_NET_CHECK_OFFSET(TMV_NET_REGION_INTRUSION_ALARM_INFO, pictures, 288);

/* Type 20002. */
typedef struct TMV_NET_LINE_INTRUSION_ALARM_INFO {
    char name[256];
    int32_t regionId;
    int32_t reserved;
    int32_t channel;
    int64_t time;
    int32_t state;
    TMV_NET_ALARM_PICTURE pictures[2];
    uint8_t reserved2[16];
} TMV_NET_LINE_INTRUSION_ALARM_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_LINE_INTRUSION_ALARM_INFO, 336);
TMV_NET_CHECK_OFFSET(TMV_NET_LINE_INTRUSION_ALARM_INFO, name, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_LINE_INTRUSION_ALARM_INFO, regionId, 256);
TMV_NET_CHECK_OFFSET(TMV_NET_LINE_INTRUSION_ALARM_INFO, channel, 264);
TMV_NET_CHECK_OFFSET(TMV_NET_LINE_INTRUSION_ALARM_INFO, time, 272);
TMV_NET_CHECK_OFFSET(TMV_NET_LINE_INTRUSION_ALARM_INFO, state, 280);
TMV_NET_CHECK_OFFSET(TMV_NET_LINE_INTRUSION_ALARM_INFO, pictures, 288);

/* Type 10004. */
typedef struct TMV_NET_TEMP_DIFF_ALARM_INFO {
    char name[256];
    uint8_t reserved[8];
    int32_t channel;
    int64_t time;
    int32_t state;
    TMV_NET_ALARM_PICTURE pictures[2];
    TMV_NET_TEMP_INFO temps[2];    /* the two compared rules */
    uint8_t reserved2[520];
    float threshold;
    int32_t reserved3;
} TMV_NET_TEMP_DIFF_ALARM_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_TEMP_DIFF_ALARM_INFO, 912);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_DIFF_ALARM_INFO, name, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_DIFF_ALARM_INFO, channel, 264);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_DIFF_ALARM_INFO, time, 272);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_DIFF_ALARM_INFO, state, 280);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_DIFF_ALARM_INFO, pictures, 288);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_DIFF_ALARM_INFO, threshold, 904);

/* Type 30001. */
typedef struct TMV_NET_SMOKE_DETECT_ALARM_INFO {
    char name[256];
    int32_t regionId;
    int32_t reserved;
    int32_t channel;
    int64_t time;
    int32_t state;
    TMV_NET_ALARM_PICTURE pictures[2];
    uint8_t reserved2[88];
} TMV_NET_SMOKE_DETECT_ALARM_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_SMOKE_DETECT_ALARM_INFO, 408);
TMV_NET_CHECK_OFFSET(TMV_NET_SMOKE_DETECT_ALARM_INFO, name, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_SMOKE_DETECT_ALARM_INFO, regionId, 256);
TMV_NET_CHECK_OFFSET(TMV_NET_SMOKE_DETECT_ALARM_INFO, channel, 264);
TMV_NET_CHECK_OFFSET(TMV_NET_SMOKE_DETECT_ALARM_INFO, time, 272);
TMV_NET_CHECK_OFFSET(TMV_NET_SMOKE_DETECT_ALARM_INFO, state, 280);
TMV_NET_CHECK_OFFSET(TMV_NET_SMOKE_DETECT_ALARM_INFO, pictures, 288);

/* Type 20004. */
typedef struct TMV_NET_DYNAMIC_ALARM_INFO {
    uint8_t reserved[256];
    int32_t regionId;
    int32_t reserved2;
    int32_t channel;
    int64_t time;
    int32_t state;
    TMV_NET_ALARM_PICTURE pictures[2];
} TMV_NET_DYNAMIC_ALARM_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_DYNAMIC_ALARM_INFO, 320);
TMV_NET_CHECK_OFFSET(TMV_NET_DYNAMIC_ALARM_INFO, regionId, 256);
TMV_NET_CHECK_OFFSET(TMV_NET_DYNAMIC_ALARM_INFO, channel, 264);
TMV_NET_CHECK_OFFSET(TMV_NET_DYNAMIC_ALARM_INFO, time, 272);
TMV_NET_CHECK_OFFSET(TMV_NET_DYNAMIC_ALARM_INFO, state, 280);
TMV_NET_CHECK_OFFSET(TMV_NET_DYNAMIC_ALARM_INFO, pictures, 288);

/* Type 40001: an alarm input of the device. */
typedef struct TMV_NET_LOCAL_ALARM_INFO {
    int32_t reserved;
    int32_t regionId;      /* alarm input number */
    uint8_t reserved2[8];
    int32_t channel;
    int64_t time;
    int32_t state;
    TMV_NET_ALARM_PICTURE pictures[2];
} TMV_NET_LOCAL_ALARM_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_LOCAL_ALARM_INFO, 72);
TMV_NET_CHECK_OFFSET(TMV_NET_LOCAL_ALARM_INFO, regionId, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_LOCAL_ALARM_INFO, channel, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_LOCAL_ALARM_INFO, time, 24);
TMV_NET_CHECK_OFFSET(TMV_NET_LOCAL_ALARM_INFO, state, 32);
TMV_NET_CHECK_OFFSET(TMV_NET_LOCAL_ALARM_INFO, pictures, 40);

/* Type 60001. */
typedef struct TMV_NET_LOGIN_EXCEPTION_ALARM_INFO {
    uint8_t reserved[16];
    int32_t channel;
    int64_t time;
    int32_t state;
    TMV_NET_ALARM_PICTURE pictures[2];
} TMV_NET_LOGIN_EXCEPTION_ALARM_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_LOGIN_EXCEPTION_ALARM_INFO, 72);
TMV_NET_CHECK_OFFSET(TMV_NET_LOGIN_EXCEPTION_ALARM_INFO, channel, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_LOGIN_EXCEPTION_ALARM_INFO, time, 24);
TMV_NET_CHECK_OFFSET(TMV_NET_LOGIN_EXCEPTION_ALARM_INFO, state, 32);
TMV_NET_CHECK_OFFSET(TMV_NET_LOGIN_EXCEPTION_ALARM_INFO, pictures, 40);

/* Type 10006: carries no state. */
typedef struct TMV_NET_HIGH_LIGHT_ALARM_INFO {
    int32_t channel;
    int64_t time;
    uint8_t reserved[8];
    TMV_NET_ALARM_PICTURE pictures[2];
} TMV_NET_HIGH_LIGHT_ALARM_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_HIGH_LIGHT_ALARM_INFO, 56);
TMV_NET_CHECK_OFFSET(TMV_NET_HIGH_LIGHT_ALARM_INFO, channel, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_HIGH_LIGHT_ALARM_INFO, time, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_HIGH_LIGHT_ALARM_INFO, pictures, 24);

/* One object of an object-pulse alarm. */
typedef struct TMV_NET_OBJECT_PULSE_INFO {
    int32_t objectId;
    int32_t pulseCount;
} TMV_NET_OBJECT_PULSE_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_OBJECT_PULSE_INFO, 8);

/* Type 20003. */
typedef struct TMV_NET_OBJECT_PULSE_ALARM_INFO {
    int32_t channel;
    int64_t time;
    int32_t state;
    TMV_NET_ALARM_PICTURE pictures[2];
    int32_t objectCount;   /* valid entries of objects */
    TMV_NET_OBJECT_PULSE_INFO objects[128];
} TMV_NET_OBJECT_PULSE_ALARM_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_OBJECT_PULSE_ALARM_INFO, 1088);
TMV_NET_CHECK_OFFSET(TMV_NET_OBJECT_PULSE_ALARM_INFO, channel, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_OBJECT_PULSE_ALARM_INFO, time, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_OBJECT_PULSE_ALARM_INFO, state, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_OBJECT_PULSE_ALARM_INFO, pictures, 24);
TMV_NET_CHECK_OFFSET(TMV_NET_OBJECT_PULSE_ALARM_INFO, objects, 60);

/* Type 50001. */
typedef struct TMV_NET_TRACK_STATE_ALARM_INFO {
    int32_t trackState;    /* 0 target lost, 1 tracking */
    int32_t reserved;
    int32_t channel;
    int64_t time;
    int32_t state;
    TMV_NET_ALARM_PICTURE pictures[2];
} TMV_NET_TRACK_STATE_ALARM_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_TRACK_STATE_ALARM_INFO, 64);
TMV_NET_CHECK_OFFSET(TMV_NET_TRACK_STATE_ALARM_INFO, channel, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_TRACK_STATE_ALARM_INFO, time, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_TRACK_STATE_ALARM_INFO, state, 24);
TMV_NET_CHECK_OFFSET(TMV_NET_TRACK_STATE_ALARM_INFO, pictures, 32);

/* Type 70001: no pictures. */
typedef struct TMV_NET_SD_EXCEPTION_ALARM_INFO {
    int32_t sdState;       /* 0 missing, 1 full, 2 write error */
    int32_t reserved;
    int32_t channel;
    int64_t time;
    int32_t state;
    uint8_t reserved2[36];
} TMV_NET_SD_EXCEPTION_ALARM_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_SD_EXCEPTION_ALARM_INFO, 64);
TMV_NET_CHECK_OFFSET(TMV_NET_SD_EXCEPTION_ALARM_INFO, channel, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_SD_EXCEPTION_ALARM_INFO, time, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_SD_EXCEPTION_ALARM_INFO, state, 24);

/* Type 50002. */
typedef struct TMV_NET_TRACK_OBJECT_ALARM_INFO {
    int32_t objectId;
    int32_t objectType;    /* target type of the recognition list */
    TMV_NET_POINT topLeft; /* box of the object, picture space */
    TMV_NET_POINT bottomRight;
    uint8_t reserved[32];
    int32_t channel;
    int64_t time;
    int32_t state;
    TMV_NET_ALARM_PICTURE pictures[2];
} TMV_NET_TRACK_OBJECT_ALARM_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_TRACK_OBJECT_ALARM_INFO, 112);
TMV_NET_CHECK_OFFSET(TMV_NET_TRACK_OBJECT_ALARM_INFO, channel, 56);
TMV_NET_CHECK_OFFSET(TMV_NET_TRACK_OBJECT_ALARM_INFO, time, 64);
TMV_NET_CHECK_OFFSET(TMV_NET_TRACK_OBJECT_ALARM_INFO, state, 72);
TMV_NET_CHECK_OFFSET(TMV_NET_TRACK_OBJECT_ALARM_INFO, pictures, 80);

/* Called on the alarm thread of the library for each alarm. `alarmInfo`
 * points to the record of `alarmType` (TMV_NET_ALARM_...); the record and
 * its pictures are valid only during the call. */
typedef void (*TMV_NET_ALARM_CALLBACK)(TMV_NET_HANDLE handle, int32_t alarmType, const void *alarmInfo,
                                       void *user);

/* ======================================================================== */
/* ---- PTZ: motion ------------------------------------------------------- */

/* command: 0 up, 1 down, 2 left, 3 right, 4 up-left, 5 up-right, 6 down-left,
 * 7 down-right, 8 zoom out, 9 zoom in, 10 focus near, 11 focus far, 12 iris
 * close, 13 iris open, 14 wiper, 15 light, 16 defrost, 17 defog, 18 fan,
 * 19 heater, 20 auto focus, 21 arrows. stop: 0 start / on, 1 stop / off. */
typedef struct TMV_NET_PTZ_CONTROL {
    int32_t channel;
    int32_t command;
    int32_t speed;         /* 1..8, direction commands only */
    int32_t reserved[2];
    int32_t stop;
} TMV_NET_PTZ_CONTROL;
TMV_NET_CHECK_SIZE(TMV_NET_PTZ_CONTROL, 24);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_CONTROL, channel, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_CONTROL, command, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_CONTROL, speed, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_CONTROL, stop, 20);

/* ---- PTZ: presets, tours, patterns ------------------------------------- */

typedef struct TMV_NET_PRESET_INFO {
    uint8_t enable;        /* a position is stored */
    uint8_t reserved[3];
    int32_t id;
    char name[256];        /* UTF-8 */
} TMV_NET_PRESET_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_PRESET_INFO, 264);
TMV_NET_CHECK_OFFSET(TMV_NET_PRESET_INFO, enable, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_PRESET_INFO, id, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_PRESET_INFO, name, 8);

typedef struct TMV_NET_TOUR_POINT {
    TMV_NET_PRESET_INFO preset;
    int32_t residenceTime; /* seconds */
} TMV_NET_TOUR_POINT;
TMV_NET_CHECK_SIZE(TMV_NET_TOUR_POINT, 268);
TMV_NET_CHECK_OFFSET(TMV_NET_TOUR_POINT, preset, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_TOUR_POINT, residenceTime, 264);

#define TMV_NET_MAX_TOUR_POINTS 256

typedef struct TMV_NET_TOUR_INFO {
    uint8_t enable;        /* the tour exists */
    uint8_t reserved[3];
    int32_t id;
    char name[256];        /* UTF-8 */
    uint8_t reserved2[4];
    TMV_NET_TOUR_POINT points[TMV_NET_MAX_TOUR_POINTS];
    int32_t count;         /* valid entries of points, 0..256 */
} TMV_NET_TOUR_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_TOUR_INFO, 68880);
TMV_NET_CHECK_OFFSET(TMV_NET_TOUR_INFO, enable, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_TOUR_INFO, id, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_TOUR_INFO, name, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_TOUR_INFO, reserved2, 264);
TMV_NET_CHECK_OFFSET(TMV_NET_TOUR_INFO, points, 268);
TMV_NET_CHECK_OFFSET(TMV_NET_TOUR_INFO, count, 68876);

typedef struct TMV_NET_PATTERN_INFO {
    uint8_t enable;        /* recorded */
    uint8_t reserved[3];
    int32_t id;
    int32_t reserved2;
} TMV_NET_PATTERN_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_PATTERN_INFO, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_PATTERN_INFO, enable, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_PATTERN_INFO, id, 4);

/* ---- PTZ: area scans, boot and park actions ---------------------------- */

typedef struct TMV_NET_REGION_SCAN_INFO {
    int32_t id;
    uint8_t enable;        /* configured */
    uint8_t reserved[3];
    int32_t direction;     /* 1 clockwise, -1 counterclockwise */
    int32_t speed;
    int32_t startPreset;   /* preset id, 0 none */
    int32_t stopPreset;    /* preset id, 0 none */
    float gradient;
} TMV_NET_REGION_SCAN_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_REGION_SCAN_INFO, 28);
TMV_NET_CHECK_OFFSET(TMV_NET_REGION_SCAN_INFO, id, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_REGION_SCAN_INFO, enable, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_REGION_SCAN_INFO, direction, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_REGION_SCAN_INFO, speed, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_REGION_SCAN_INFO, startPreset, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_REGION_SCAN_INFO, stopPreset, 20);
TMV_NET_CHECK_OFFSET(TMV_NET_REGION_SCAN_INFO, gradient, 24);

/* type: 0 auto reset, 1 preset, 2 tour, 3 pattern, 4 line scan, 5 area scan. */
typedef struct TMV_NET_BOOT_ACTION_INFO {
    uint8_t enable;
    uint8_t reserved[3];
    int32_t type;
    int32_t lineScan;
    int32_t areaScan;
    int32_t preset;
    int32_t pattern;
    int32_t tour;
} TMV_NET_BOOT_ACTION_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_BOOT_ACTION_INFO, 28);
TMV_NET_CHECK_OFFSET(TMV_NET_BOOT_ACTION_INFO, enable, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_BOOT_ACTION_INFO, type, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_BOOT_ACTION_INFO, lineScan, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_BOOT_ACTION_INFO, areaScan, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_BOOT_ACTION_INFO, preset, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_BOOT_ACTION_INFO, pattern, 20);
TMV_NET_CHECK_OFFSET(TMV_NET_BOOT_ACTION_INFO, tour, 24);

/* The first 28 bytes are those of TMV_NET_BOOT_ACTION_INFO (types 1..5). */
typedef struct TMV_NET_PARK_ACTION_INFO {
    uint8_t enable;
    uint8_t reserved[3];
    int32_t type;
    int32_t lineScan;
    int32_t areaScan;
    int32_t preset;
    int32_t pattern;
    int32_t tour;
    int32_t reserved2;
    int32_t dwellTime;     /* seconds */
    int32_t reserved3;
} TMV_NET_PARK_ACTION_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_PARK_ACTION_INFO, 40);
TMV_NET_CHECK_OFFSET(TMV_NET_PARK_ACTION_INFO, enable, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_PARK_ACTION_INFO, type, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_PARK_ACTION_INFO, lineScan, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_PARK_ACTION_INFO, areaScan, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_PARK_ACTION_INFO, preset, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_PARK_ACTION_INFO, pattern, 20);
TMV_NET_CHECK_OFFSET(TMV_NET_PARK_ACTION_INFO, tour, 24);
TMV_NET_CHECK_OFFSET(TMV_NET_PARK_ACTION_INFO, reserved2, 28);
TMV_NET_CHECK_OFFSET(TMV_NET_PARK_ACTION_INFO, dwellTime, 32);

/* ---- PTZ: positioning, tracking, status -------------------------------- */

typedef struct TMV_NET_PTZ_POSITION {
    float pan;             /* 0..36000 */
    float tilt;            /* -9000..9000 */
    float zoom;            /* 0..16384 */
} TMV_NET_PTZ_POSITION;
TMV_NET_CHECK_SIZE(TMV_NET_PTZ_POSITION, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_POSITION, pan, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_POSITION, tilt, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_POSITION, zoom, 8);

typedef struct TMV_NET_PTZ_TRACKING_POSITION {
    float panSpeed;
    float tiltSpeed;
    int32_t direction;
} TMV_NET_PTZ_TRACKING_POSITION;
TMV_NET_CHECK_SIZE(TMV_NET_PTZ_TRACKING_POSITION, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_TRACKING_POSITION, panSpeed, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_TRACKING_POSITION, tiltSpeed, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_TRACKING_POSITION, direction, 8);

typedef struct TMV_NET_CURRENT_PTZ_INFO {
    float pan;
    float tilt;
    float visZoom;         /* visible-light zoom multiplier */
    float irZoom;          /* thermal zoom multiplier */
    float visFovH;
    float visFovV;
    float irFovH;
    float irFovV;
} TMV_NET_CURRENT_PTZ_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_CURRENT_PTZ_INFO, 32);
TMV_NET_CHECK_OFFSET(TMV_NET_CURRENT_PTZ_INFO, pan, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_CURRENT_PTZ_INFO, tilt, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_CURRENT_PTZ_INFO, visZoom, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_CURRENT_PTZ_INFO, irZoom, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_CURRENT_PTZ_INFO, visFovH, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_CURRENT_PTZ_INFO, visFovV, 20);
TMV_NET_CHECK_OFFSET(TMV_NET_CURRENT_PTZ_INFO, irFovH, 24);
TMV_NET_CHECK_OFFSET(TMV_NET_CURRENT_PTZ_INFO, irFovV, 28);

typedef struct TMV_NET_ACCELERATION_DATA {
    float angleX, angleY, angleZ, angleP, angleT, angleRT;
    float accelerationX, accelerationY, accelerationZ;
    float rotationX, rotationY, rotationZ;
} TMV_NET_ACCELERATION_DATA;
TMV_NET_CHECK_SIZE(TMV_NET_ACCELERATION_DATA, 48);
TMV_NET_CHECK_OFFSET(TMV_NET_ACCELERATION_DATA, angleX, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_ACCELERATION_DATA, angleRT, 20);
TMV_NET_CHECK_OFFSET(TMV_NET_ACCELERATION_DATA, accelerationX, 24);
TMV_NET_CHECK_OFFSET(TMV_NET_ACCELERATION_DATA, rotationX, 36);
TMV_NET_CHECK_OFFSET(TMV_NET_ACCELERATION_DATA, rotationZ, 44);

typedef struct TMV_NET_TARGET_TRACK_CONFIG {
    uint8_t enable;
    uint8_t reserved[7];
    TMV_NET_ALARM_LINKAGE snapLinkage;
    TMV_NET_ALARM_LINKAGE recordLinkage;
} TMV_NET_TARGET_TRACK_CONFIG;
TMV_NET_CHECK_SIZE(TMV_NET_TARGET_TRACK_CONFIG, 40);
TMV_NET_CHECK_OFFSET(TMV_NET_TARGET_TRACK_CONFIG, enable, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_TARGET_TRACK_CONFIG, snapLinkage, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_TARGET_TRACK_CONFIG, recordLinkage, 24);

typedef struct TMV_NET_PTZ_POWER_OFF_CONFIG {
    uint8_t enable;        /* power-off memory */
    uint8_t reserved[3];
    int32_t interval;      /* milliseconds */
} TMV_NET_PTZ_POWER_OFF_CONFIG;
TMV_NET_CHECK_SIZE(TMV_NET_PTZ_POWER_OFF_CONFIG, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_POWER_OFF_CONFIG, enable, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_POWER_OFF_CONFIG, interval, 4);

/* task: 0 idle, 1 cruise, 2 track, 3 linear scan, 4 area scan, 5 horizontal
 * rotation, 6 single target tracking, 7 fire point tracking, 8 smoke tracking,
 * 9 optoelectronic linkage tracking, 10 integrated cruise to preset.
 * trigger: 0 manual, 1 alarm, 2 scheduled task, 3 startup action, 4 idle
 * action, 5 integrated cruise. */
typedef struct TMV_NET_PTZ_RUNNING_STATUS {
    uint8_t moving;
    uint8_t reserved[3];
    int32_t taskId;
    int32_t reserved2;
    int32_t trigger;
    int32_t task;
    int32_t reserved3;
    int64_t startTime;     /* milliseconds since 1970-01-01 UTC */
} TMV_NET_PTZ_RUNNING_STATUS;
TMV_NET_CHECK_SIZE(TMV_NET_PTZ_RUNNING_STATUS, 32);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_RUNNING_STATUS, moving, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_RUNNING_STATUS, taskId, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_RUNNING_STATUS, trigger, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_RUNNING_STATUS, task, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_RUNNING_STATUS, startTime, 24);

/* A rectangle drawn on the video, 0..8192 picture space. */
typedef struct TMV_NET_PTZ_3D_POSITION {
    int32_t channel;
    int32_t x0, y0, x1, y1;
} TMV_NET_PTZ_3D_POSITION;
TMV_NET_CHECK_SIZE(TMV_NET_PTZ_3D_POSITION, 20);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_3D_POSITION, channel, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_3D_POSITION, x0, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_3D_POSITION, y0, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_3D_POSITION, x1, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_3D_POSITION, y1, 16);

/* Region focus and manual tracking; stop 1 ends manual tracking. */
typedef struct TMV_NET_PTZ_REGION {
    int32_t channel;
    int32_t x0, y0, x1, y1;
    int32_t stop;
} TMV_NET_PTZ_REGION;
TMV_NET_CHECK_SIZE(TMV_NET_PTZ_REGION, 24);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_REGION, channel, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_REGION, x0, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_REGION, y1, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_PTZ_REGION, stop, 20);

/* ---- PTZ: electronic PTZ and linkage ----------------------------------- */

/* command: 0..7 directions as TMV_NET_PTZ_CONTROL, 8 zoom out, 9 zoom in. */
typedef struct TMV_NET_EPTZ_CONTROL {
    int32_t channel;
    int32_t command;
    int32_t speed;
    int32_t stop;
} TMV_NET_EPTZ_CONTROL;
TMV_NET_CHECK_SIZE(TMV_NET_EPTZ_CONTROL, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_EPTZ_CONTROL, channel, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_EPTZ_CONTROL, command, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_EPTZ_CONTROL, speed, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_EPTZ_CONTROL, stop, 12);

/* How the partner camera of the linkage is reached. */
typedef struct TMV_NET_GUN_BALL_TRACK_CONFIG_INFO {
    char userName[256];
    char password[256];
    char ip[16];
    int32_t port;
    int32_t keepAlive;     /* 5..45 */
    uint8_t enable;
    uint8_t https;         /* 1 HTTPS, 0 HTTP */
    uint8_t reserved[2];
} TMV_NET_GUN_BALL_TRACK_CONFIG_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_GUN_BALL_TRACK_CONFIG_INFO, 540);
TMV_NET_CHECK_OFFSET(TMV_NET_GUN_BALL_TRACK_CONFIG_INFO, userName, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_GUN_BALL_TRACK_CONFIG_INFO, password, 256);
TMV_NET_CHECK_OFFSET(TMV_NET_GUN_BALL_TRACK_CONFIG_INFO, ip, 512);
TMV_NET_CHECK_OFFSET(TMV_NET_GUN_BALL_TRACK_CONFIG_INFO, port, 528);
TMV_NET_CHECK_OFFSET(TMV_NET_GUN_BALL_TRACK_CONFIG_INFO, keepAlive, 532);
TMV_NET_CHECK_OFFSET(TMV_NET_GUN_BALL_TRACK_CONFIG_INFO, enable, 536);
TMV_NET_CHECK_OFFSET(TMV_NET_GUN_BALL_TRACK_CONFIG_INFO, https, 537);

/* ======================================================================== */
/* ---- Configuration: imaging and thermal -------------------------------- */

typedef struct TMV_NET_TEMP_SPAN_INFO {
    uint8_t enable;
    uint8_t reserved[3];
    float lowerThreshold;
    float upperThreshold;
} TMV_NET_TEMP_SPAN_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_TEMP_SPAN_INFO, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_SPAN_INFO, enable, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_SPAN_INFO, lowerThreshold, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_TEMP_SPAN_INFO, upperThreshold, 8);

/* Callers read, change the six detail fields and write the whole record
 * back. Only "more than 48 and at most 56 bytes" is fixed for its size; this
 * build uses 56. */
typedef struct TMV_NET_THERMAL_IMAGE_ENHANCE_INFO {
    int32_t sceneMode;
    uint8_t denoise2DEnable;
    int32_t denoise2DLevel;
    uint8_t denoise3DEnable;
    int32_t denoise3DLevel;
    uint8_t detailEnhanceEnable;
    int32_t detailEnhanceLevel;
    uint8_t defogEnable;
    int32_t defogLevel;
    uint8_t sharpenEnable;
    int32_t sharpenLevel;
    int32_t reserved[3];
} TMV_NET_THERMAL_IMAGE_ENHANCE_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_THERMAL_IMAGE_ENHANCE_INFO, 56);
TMV_NET_CHECK_OFFSET(TMV_NET_THERMAL_IMAGE_ENHANCE_INFO, sceneMode, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_THERMAL_IMAGE_ENHANCE_INFO, denoise2DEnable, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_THERMAL_IMAGE_ENHANCE_INFO, denoise2DLevel, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_THERMAL_IMAGE_ENHANCE_INFO, denoise3DEnable, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_THERMAL_IMAGE_ENHANCE_INFO, denoise3DLevel, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_THERMAL_IMAGE_ENHANCE_INFO, detailEnhanceEnable, 20);
TMV_NET_CHECK_OFFSET(TMV_NET_THERMAL_IMAGE_ENHANCE_INFO, detailEnhanceLevel, 24);

/* ---- Configuration: OSD and network ------------------------------------ */

typedef struct TMV_NET_OSD_TIME_TITLE_INFO {
    uint8_t enable;
    uint8_t reserved[3];
    int32_t top;
    int32_t left;
    int32_t right;
    int32_t bottom;
} TMV_NET_OSD_TIME_TITLE_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_OSD_TIME_TITLE_INFO, 20);
TMV_NET_CHECK_OFFSET(TMV_NET_OSD_TIME_TITLE_INFO, enable, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_OSD_TIME_TITLE_INFO, top, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_OSD_TIME_TITLE_INFO, left, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_OSD_TIME_TITLE_INFO, right, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_OSD_TIME_TITLE_INFO, bottom, 16);

typedef struct TMV_NET_OSD_CHANNEL_TITLE_INFO {
    uint8_t enable;
    char title[259];       /* UTF-8 */
    int32_t top;
    int32_t left;
    int32_t right;
    int32_t bottom;
} TMV_NET_OSD_CHANNEL_TITLE_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_OSD_CHANNEL_TITLE_INFO, 276);
TMV_NET_CHECK_OFFSET(TMV_NET_OSD_CHANNEL_TITLE_INFO, enable, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_OSD_CHANNEL_TITLE_INFO, title, 1);
TMV_NET_CHECK_OFFSET(TMV_NET_OSD_CHANNEL_TITLE_INFO, top, 260);
TMV_NET_CHECK_OFFSET(TMV_NET_OSD_CHANNEL_TITLE_INFO, left, 264);
TMV_NET_CHECK_OFFSET(TMV_NET_OSD_CHANNEL_TITLE_INFO, right, 268);
TMV_NET_CHECK_OFFSET(TMV_NET_OSD_CHANNEL_TITLE_INFO, bottom, 272);

/* Only "more than 72 and at most 80 bytes" is fixed for its size; this build
 * uses 80. */
typedef struct TMV_NET_LASER_DISTANCE_OSD_PARAM {
    uint8_t enable;
    int32_t unit;          /* 0 metres, 1 feet */
    int32_t alignment;     /* 0 left, 1 right */
    int32_t fontSize;      /* 0 small, 1 middle, 2 large */
    uint8_t reserved[36];
    int32_t top;
    int32_t left;
    int32_t right;
    int32_t bottom;
    uint8_t reserved2[12];
} TMV_NET_LASER_DISTANCE_OSD_PARAM;
TMV_NET_CHECK_SIZE(TMV_NET_LASER_DISTANCE_OSD_PARAM, 80);
TMV_NET_CHECK_OFFSET(TMV_NET_LASER_DISTANCE_OSD_PARAM, enable, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_LASER_DISTANCE_OSD_PARAM, unit, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_LASER_DISTANCE_OSD_PARAM, alignment, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_LASER_DISTANCE_OSD_PARAM, fontSize, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_LASER_DISTANCE_OSD_PARAM, top, 52);
TMV_NET_CHECK_OFFSET(TMV_NET_LASER_DISTANCE_OSD_PARAM, left, 56);
TMV_NET_CHECK_OFFSET(TMV_NET_LASER_DISTANCE_OSD_PARAM, right, 60);
TMV_NET_CHECK_OFFSET(TMV_NET_LASER_DISTANCE_OSD_PARAM, bottom, 64);

/* All texts UTF-8, NUL-terminated. Only "more than 360 and at most 368
 * bytes" is fixed for its size; this build uses 368. */
typedef struct TMV_NET_IP_CONFIG {
    char name[256];
    uint8_t dhcpEnable;
    char mac[18];
    char ip[16];
    char subnetMask[16];
    char gateway[16];
    char defaultDns[16];
    char standbyDns[16];
    uint8_t reserved[13];
} TMV_NET_IP_CONFIG;
TMV_NET_CHECK_SIZE(TMV_NET_IP_CONFIG, 368);
TMV_NET_CHECK_OFFSET(TMV_NET_IP_CONFIG, name, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_IP_CONFIG, dhcpEnable, 256);
TMV_NET_CHECK_OFFSET(TMV_NET_IP_CONFIG, mac, 257);
TMV_NET_CHECK_OFFSET(TMV_NET_IP_CONFIG, ip, 275);
TMV_NET_CHECK_OFFSET(TMV_NET_IP_CONFIG, subnetMask, 291);
TMV_NET_CHECK_OFFSET(TMV_NET_IP_CONFIG, gateway, 307);
TMV_NET_CHECK_OFFSET(TMV_NET_IP_CONFIG, defaultDns, 323);
TMV_NET_CHECK_OFFSET(TMV_NET_IP_CONFIG, standbyDns, 339);

/* ---- Configuration: peripherals ---------------------------------------- */

/* Only "more than 16 and at most 24 bytes" is fixed for its size; this build
 * uses 24. */
typedef struct TMV_NET_FILL_LIGHT_CONFIG_INFO {
    int32_t mode;          /* 0 automatic, 1 manual */
    int32_t brightness;
    int32_t sensitivity;
    int32_t reserved[3];
} TMV_NET_FILL_LIGHT_CONFIG_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_FILL_LIGHT_CONFIG_INFO, 24);
TMV_NET_CHECK_OFFSET(TMV_NET_FILL_LIGHT_CONFIG_INFO, mode, 0);

/* Only "at least 20 and at most 24 bytes" is fixed for its size; this build
 * uses 24. Times are seconds since midnight. */
typedef struct TMV_NET_DAY_NIGHT_MODE_PARAM {
    int32_t mode;          /* 0 automatic, 1 day, 2 night, 3 timed */
    int32_t switchDelay;   /* seconds before a switch takes effect */
    int32_t startTime;
    int32_t endTime;
    int32_t sensitivity;
    int32_t reserved;
} TMV_NET_DAY_NIGHT_MODE_PARAM;
TMV_NET_CHECK_SIZE(TMV_NET_DAY_NIGHT_MODE_PARAM, 24);
TMV_NET_CHECK_OFFSET(TMV_NET_DAY_NIGHT_MODE_PARAM, mode, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_DAY_NIGHT_MODE_PARAM, switchDelay, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_DAY_NIGHT_MODE_PARAM, startTime, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_DAY_NIGHT_MODE_PARAM, endTime, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_DAY_NIGHT_MODE_PARAM, sensitivity, 16);

/* ---- Configuration: target recognition --------------------------------- */

/* targetType: 0 all, 1 man, 2 car, 3 object, 4 truck, 5 boat, 6 plane,
 * 7 drone, 8 bird. trackMode: 1 manual, 2 FOV, 3 auto. */
typedef struct TMV_NET_TARGET_RECOGNITION_CONFIG {
    uint8_t enable;
    int32_t sensitivity;
    TMV_NET_ALARM_LINKAGE snapLinkage;
    TMV_NET_ALARM_LINKAGE recordLinkage;
    uint8_t trackEnable;
    int32_t trackParam1;   /* written as 1 */
    int32_t trackParam2;   /* written as 1 */
    int32_t trackTime;
    int32_t trackMode;
    int32_t reserved;
    int32_t lostTime;
    uint8_t lrfEnable;     /* laser range finder */
    int32_t targetType;
    int32_t reserved2;
} TMV_NET_TARGET_RECOGNITION_CONFIG;
TMV_NET_CHECK_SIZE(TMV_NET_TARGET_RECOGNITION_CONFIG, 80);
TMV_NET_CHECK_OFFSET(TMV_NET_TARGET_RECOGNITION_CONFIG, enable, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_TARGET_RECOGNITION_CONFIG, sensitivity, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_TARGET_RECOGNITION_CONFIG, snapLinkage, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_TARGET_RECOGNITION_CONFIG, snapLinkage.delay, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_TARGET_RECOGNITION_CONFIG, recordLinkage, 24);
TMV_NET_CHECK_OFFSET(TMV_NET_TARGET_RECOGNITION_CONFIG, recordLinkage.delay, 32);
TMV_NET_CHECK_OFFSET(TMV_NET_TARGET_RECOGNITION_CONFIG, trackEnable, 40);
TMV_NET_CHECK_OFFSET(TMV_NET_TARGET_RECOGNITION_CONFIG, trackParam1, 44);
TMV_NET_CHECK_OFFSET(TMV_NET_TARGET_RECOGNITION_CONFIG, trackParam2, 48);
TMV_NET_CHECK_OFFSET(TMV_NET_TARGET_RECOGNITION_CONFIG, trackTime, 52);
TMV_NET_CHECK_OFFSET(TMV_NET_TARGET_RECOGNITION_CONFIG, trackMode, 56);
TMV_NET_CHECK_OFFSET(TMV_NET_TARGET_RECOGNITION_CONFIG, lostTime, 64);
TMV_NET_CHECK_OFFSET(TMV_NET_TARGET_RECOGNITION_CONFIG, lrfEnable, 68);
TMV_NET_CHECK_OFFSET(TMV_NET_TARGET_RECOGNITION_CONFIG, targetType, 72);

/* ======================================================================== */
/* ---- Playback ---------------------------------------------------------- */

/* Times are "yyyy-MM-dd+HH:mm:ss", NUL-terminated. */
typedef struct TMV_NET_FILE_QUERY {
    int32_t channel;
    int32_t fileType;      /* 1 video, 0 image */
    int32_t reserved;      /* 0 */
    char startTime[256];
    char endTime[256];
    int32_t pageSize;
    int32_t pageNo;        /* 0-based */
} TMV_NET_FILE_QUERY;
TMV_NET_CHECK_SIZE(TMV_NET_FILE_QUERY, 532);
TMV_NET_CHECK_OFFSET(TMV_NET_FILE_QUERY, channel, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_FILE_QUERY, fileType, 4);
TMV_NET_CHECK_OFFSET(TMV_NET_FILE_QUERY, reserved, 8);
TMV_NET_CHECK_OFFSET(TMV_NET_FILE_QUERY, startTime, 12);
TMV_NET_CHECK_OFFSET(TMV_NET_FILE_QUERY, endTime, 268);
TMV_NET_CHECK_OFFSET(TMV_NET_FILE_QUERY, pageSize, 524);
TMV_NET_CHECK_OFFSET(TMV_NET_FILE_QUERY, pageNo, 528);

/* One file of the SD card. Clients read only filePath and pass the rest
 * back unchanged in TMV_NET_FILE_DOWNLOAD_INFO. */
typedef struct TMV_NET_FILE_INFO {
    int32_t channel;
    int32_t fileType;      /* 1 video, 0 image */
    int32_t fileSize;      /* bytes */
    int32_t reserved;
    char startTime[32];    /* "yyyy-MM-dd+HH:mm:ss" */
    char endTime[32];
    uint8_t reserved2[444];
    char filePath[256];    /* device path, NUL-terminated */
} TMV_NET_FILE_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_FILE_INFO, 780);
TMV_NET_CHECK_OFFSET(TMV_NET_FILE_INFO, channel, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_FILE_INFO, startTime, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_FILE_INFO, endTime, 48);
TMV_NET_CHECK_OFFSET(TMV_NET_FILE_INFO, filePath, 524);

typedef struct TMV_NET_FILE_DOWNLOAD_INFO {
    TMV_NET_FILE_INFO fileInfo;
    char localPath[256];   /* target path, NUL-terminated */
} TMV_NET_FILE_DOWNLOAD_INFO;
TMV_NET_CHECK_SIZE(TMV_NET_FILE_DOWNLOAD_INFO, 1036);
TMV_NET_CHECK_OFFSET(TMV_NET_FILE_DOWNLOAD_INFO, fileInfo, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_FILE_DOWNLOAD_INFO, localPath, 780);

typedef struct TMV_NET_DOWNLOAD_PROGRESS {
    int64_t total;
    int64_t done;          /* same unit as total */
} TMV_NET_DOWNLOAD_PROGRESS;
TMV_NET_CHECK_SIZE(TMV_NET_DOWNLOAD_PROGRESS, 16);
TMV_NET_CHECK_OFFSET(TMV_NET_DOWNLOAD_PROGRESS, total, 0);
TMV_NET_CHECK_OFFSET(TMV_NET_DOWNLOAD_PROGRESS, done, 8);

/* ======================================================================== */
/* Functions                                                                */
/* ======================================================================== */

/* ---- Session ----------------------------------------------------------- */

TMV_NET_API int32_t TMV_NET_Init(void);
TMV_NET_API int32_t TMV_NET_Deinit(void);
TMV_NET_API int32_t TMV_NET_SearchDev(TMV_NET_SEARCH_CALLBACK callback, void *user, int32_t waitMs);
TMV_NET_API int32_t TMV_NET_Login(const TMV_NET_LOGIN_INFO *info, TMV_NET_HANDLE *handle);
TMV_NET_API int32_t TMV_NET_Logout(TMV_NET_HANDLE handle);
TMV_NET_API int32_t TMV_NET_SetExceptionCallback(TMV_NET_HANDLE handle, TMV_NET_EXCEPTION_CALLBACK callback,
                                                 void *user);
TMV_NET_API int32_t TMV_NET_GetDevInfo(TMV_NET_HANDLE handle, TMV_NET_DEV_INFO *info);
TMV_NET_API int32_t TMV_NET_GetDevAbility(TMV_NET_HANDLE handle, int32_t channel, int32_t reserved,
                                          TMV_NET_DEV_ABILITY *ability);
TMV_NET_API int32_t TMV_NET_GetPtzAuxState(TMV_NET_HANDLE handle, TMV_NET_PTZ_AUX_STATE *state);

/* ---- Preview ----------------------------------------------------------- */

TMV_NET_API int32_t TMV_NET_StartPreview_V2(TMV_NET_HANDLE handle, const TMV_NET_PREVIEW_INFO *info,
                                            TMV_NET_PREVIEW_CALLBACK callback, void *user);
TMV_NET_API int32_t TMV_NET_StopPreview(TMV_NET_HANDLE handle);
TMV_NET_API int32_t TMV_NET_PreviewSnapshot(TMV_NET_HANDLE handle, const char *path);
TMV_NET_API int32_t TMV_NET_GetIRGImage(TMV_NET_HANDLE handle, const char *irgPath, const char *jpgPath);
TMV_NET_API int32_t TMV_NET_GetDLT664Image(TMV_NET_HANDLE handle, const char *path);
TMV_NET_API int32_t TMV_NET_StartPreviewRecord(TMV_NET_HANDLE handle, const char *path);
TMV_NET_API int32_t TMV_NET_StopPreviewRecord(TMV_NET_HANDLE handle);

/* ---- Temperature: frame, switch, point --------------------------------- */

TMV_NET_API int32_t TMV_NET_QueryFrameTemp(TMV_NET_HANDLE handle, TMV_NET_TEMP_INFO *info);
TMV_NET_API int32_t TMV_NET_QueryFrameTempAlarmConfig(TMV_NET_HANDLE handle,
                                                      TMV_NET_FRAME_TEMP_ALARM_CONFIG *config);
TMV_NET_API int32_t TMV_NET_UpdateFrameTempAlarmConfig(TMV_NET_HANDLE handle,
                                                       const TMV_NET_FRAME_TEMP_ALARM_CONFIG *config);
TMV_NET_API int32_t TMV_NET_GetTempEnable(TMV_NET_HANDLE handle, int32_t *enable);
TMV_NET_API int32_t TMV_NET_SetTempEnable(TMV_NET_HANDLE handle, int32_t enable);
/* Temperature at one point of the 0..8191 picture space. */
TMV_NET_API int32_t TMV_NET_QueryRandomTemp(TMV_NET_HANDLE handle, const TMV_NET_POINT *point, float *temp);

/* ---- Temperature: streams ---------------------------------------------- */

/* 1: the device corrects its detector's fixed pattern, so the raw stream
 * shows a uniform scene as uniform; 0: the raw stream shows the pattern.
 * On from the factory; other values give 3. The temperature stream is always
 * corrected. */
TMV_NET_API int32_t TMV_NET_SetPullTempExecParam(TMV_NET_HANDLE handle, int32_t correction);
TMV_NET_API int32_t TMV_NET_StartPullTemp_V2(TMV_NET_HANDLE handle, TMV_NET_TEMP_CALLBACK callback, void *user);
TMV_NET_API int32_t TMV_NET_StopPullTemp(TMV_NET_HANDLE handle);
TMV_NET_API int32_t TMV_NET_StartPullNucData(TMV_NET_HANDLE handle, TMV_NET_NUC_DATA_CALLBACK callback,
                                             void *user);
TMV_NET_API int32_t TMV_NET_StopPullNucData(TMV_NET_HANDLE handle);

/* ---- Temperature: rules and masks -------------------------------------- */

TMV_NET_API int32_t TMV_NET_QueryTempRuleSize(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_KEY *key,
                                              int32_t *count);
TMV_NET_API int32_t TMV_NET_QueryTempRule(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_KEY *key,
                                          TMV_NET_TEMP_RULE *rules, int32_t capacity, int32_t *count);
TMV_NET_API int32_t TMV_NET_QueryRuleTemp(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_KEY *key,
                                          TMV_NET_RULE_TEMP *temps, int32_t capacity, int32_t *count);
/* presetPosition: 0 the whole frame, k the k-th preset of the preset list. */
TMV_NET_API int32_t TMV_NET_DeleteAllTempRule(TMV_NET_HANDLE handle, int32_t presetPosition);
TMV_NET_API int32_t TMV_NET_DeleteTempRule(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_KEY *key);
TMV_NET_API int32_t TMV_NET_AddTempRule(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE *rule);
TMV_NET_API int32_t TMV_NET_UpdateTempRule(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE *rule);
TMV_NET_API int32_t TMV_NET_QueryTempMaskSize(TMV_NET_HANDLE handle, const TMV_NET_TEMP_MASK_KEY *key,
                                              int32_t *count);
TMV_NET_API int32_t TMV_NET_QueryTempMask(TMV_NET_HANDLE handle, const TMV_NET_TEMP_MASK_KEY *key,
                                          TMV_NET_TEMP_MASK *masks, int32_t capacity, int32_t *count);
TMV_NET_API int32_t TMV_NET_DeleteAllTempMask(TMV_NET_HANDLE handle, int32_t presetPosition);
TMV_NET_API int32_t TMV_NET_DeleteTempMask(TMV_NET_HANDLE handle, const TMV_NET_TEMP_MASK_KEY *key);
TMV_NET_API int32_t TMV_NET_AddTempMask(TMV_NET_HANDLE handle, const TMV_NET_TEMP_MASK *mask);

/* ---- Temperature: tiered (G1) rules ------------------------------------ */

TMV_NET_API int32_t TMV_NET_QueryTempRule_G1(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_KEY *key,
                                             TMV_NET_TEMP_RULE_G1 *rules, int32_t capacity, int32_t *count);
TMV_NET_API int32_t TMV_NET_AddTempRule_G1(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_G1 *rule);
TMV_NET_API int32_t TMV_NET_UpdateTempRule_G1(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_G1 *rule);
TMV_NET_API int32_t TMV_NET_QueryFrameTempAlarmConfig_G1(TMV_NET_HANDLE handle, TMV_NET_TEMP_ALARM_G1 *alarm);
TMV_NET_API int32_t TMV_NET_UpdateFrameTempAlarmConfig_G1(TMV_NET_HANDLE handle,
                                                          const TMV_NET_TEMP_ALARM_G1 *alarm);

/* ---- Alarms ------------------------------------------------------------ */

/* snapshot 1: the device attaches pictures to its alarms. */
TMV_NET_API int32_t TMV_NET_SubscribeAlarm_V2(TMV_NET_HANDLE handle, uint8_t snapshot,
                                              TMV_NET_ALARM_CALLBACK callback, void *user);
TMV_NET_API int32_t TMV_NET_SubscribeAlarm(TMV_NET_HANDLE handle, TMV_NET_ALARM_CALLBACK callback, void *user);
TMV_NET_API int32_t TMV_NET_UnsubscribeAlarm(TMV_NET_HANDLE handle);

/* ---- PTZ: motion ------------------------------------------------------- */

TMV_NET_API int32_t TMV_NET_PtzControl(TMV_NET_HANDLE handle, const TMV_NET_PTZ_CONTROL *control);

/* ---- PTZ: presets, tours, patterns ------------------------------------- */

TMV_NET_API int32_t TMV_NET_QueryPtzPresetSize(TMV_NET_HANDLE handle, int32_t *count);
TMV_NET_API int32_t TMV_NET_QueryPtzPreset(TMV_NET_HANDLE handle, TMV_NET_PRESET_INFO *presets, int32_t capacity,
                                           int32_t *count);
/* action: 0 store the current position, 1 rename, 2 move to, 3 delete,
 * 4 delete all. */
TMV_NET_API int32_t TMV_NET_PtzPresetControl(TMV_NET_HANDLE handle, int32_t action,
                                             const TMV_NET_PRESET_INFO *preset);
/* The preset the head stands on, or -1. */
TMV_NET_API int32_t TMV_NET_QueryPtzPresetId(TMV_NET_HANDLE handle, int32_t *presetId);
TMV_NET_API int32_t TMV_NET_QueryPtzTourSize(TMV_NET_HANDLE handle, int32_t *count);
/* withPoints: 1 fills the points of each tour too. */
TMV_NET_API int32_t TMV_NET_QueryPtzTour(TMV_NET_HANDLE handle, int32_t withPoints, TMV_NET_TOUR_INFO *tours,
                                         int32_t capacity, int32_t *count);
/* action: 0 save, 1 start, 2 stop, 3 delete, 4 delete all. */
TMV_NET_API int32_t TMV_NET_PtzTourControl(TMV_NET_HANDLE handle, int32_t action, const TMV_NET_TOUR_INFO *tour);
TMV_NET_API int32_t TMV_NET_QueryPtzPatternSize(TMV_NET_HANDLE handle, int32_t *count);
TMV_NET_API int32_t TMV_NET_QueryPtzPattern(TMV_NET_HANDLE handle, TMV_NET_PATTERN_INFO *patterns,
                                            int32_t capacity, int32_t *count);
/* action: 0 start recording, 1 stop recording, 2 start patrol, 3 stop patrol,
 * 4 delete all. */
TMV_NET_API int32_t TMV_NET_PtzPatternControl(TMV_NET_HANDLE handle, int32_t action, int32_t patternId);

/* ---- PTZ: area scans, boot and park actions ---------------------------- */

TMV_NET_API int32_t TMV_NET_QueryPtzRegionScanInfoSize(TMV_NET_HANDLE handle, int32_t *count);
TMV_NET_API int32_t TMV_NET_QueryPtzRegionScanInfo(TMV_NET_HANDLE handle, TMV_NET_REGION_SCAN_INFO *scans,
                                                   int32_t capacity, int32_t *count);
TMV_NET_API int32_t TMV_NET_SetPtzRegionScanInfo(TMV_NET_HANDLE handle, const TMV_NET_REGION_SCAN_INFO *scan);
TMV_NET_API int32_t TMV_NET_PtzRegionScanControl(TMV_NET_HANDLE handle, int32_t scanId, bool start);
TMV_NET_API int32_t TMV_NET_DeletePtzRegionScanInfo(TMV_NET_HANDLE handle, int32_t scanId);
TMV_NET_API int32_t TMV_NET_QueryPtzBootActionInfo(TMV_NET_HANDLE handle, TMV_NET_BOOT_ACTION_INFO *info);
TMV_NET_API int32_t TMV_NET_SetPtzBootActionInfo(TMV_NET_HANDLE handle, const TMV_NET_BOOT_ACTION_INFO *info);
TMV_NET_API int32_t TMV_NET_QueryPtzParkActionInfo(TMV_NET_HANDLE handle, TMV_NET_PARK_ACTION_INFO *info);
TMV_NET_API int32_t TMV_NET_SetPtzParkActionInfo(TMV_NET_HANDLE handle, const TMV_NET_PARK_ACTION_INFO *info);

/* ---- PTZ: positioning, tracking, status -------------------------------- */

TMV_NET_API int32_t TMV_NET_ResetPtzConfig(TMV_NET_HANDLE handle);
TMV_NET_API int32_t TMV_NET_PtzLensInit(TMV_NET_HANDLE handle, int32_t channel);
TMV_NET_API int32_t TMV_NET_GetLaserDistance(TMV_NET_HANDLE handle, int32_t *distance);
TMV_NET_API int32_t TMV_NET_PtzPosition(TMV_NET_HANDLE handle, const TMV_NET_PTZ_POSITION *position);
TMV_NET_API int32_t TMV_NET_PtzTrackingPosition(TMV_NET_HANDLE handle,
                                                const TMV_NET_PTZ_TRACKING_POSITION *position);
TMV_NET_API int32_t TMV_NET_GetCurrentPtz_V1(TMV_NET_HANDLE handle, TMV_NET_CURRENT_PTZ_INFO *info);
TMV_NET_API int32_t TMV_NET_GetPtzZoomMultiplier(TMV_NET_HANDLE handle, int32_t channel, float *multiplier);
TMV_NET_API int32_t TMV_NET_SetPtzZoomMultiplier(TMV_NET_HANDLE handle, int32_t channel, float multiplier);
TMV_NET_API int32_t TMV_NET_GetTargetTrackConfig(TMV_NET_HANDLE handle, int32_t channel,
                                                 TMV_NET_TARGET_TRACK_CONFIG *config);
TMV_NET_API int32_t TMV_NET_SetTargetTrackConfig(TMV_NET_HANDLE handle, int32_t channel,
                                                 const TMV_NET_TARGET_TRACK_CONFIG *config);
TMV_NET_API int32_t TMV_NET_GetAccelerationData(TMV_NET_HANDLE handle, TMV_NET_ACCELERATION_DATA *data);
TMV_NET_API int32_t TMV_NET_GetPtzPowerOffConfig(TMV_NET_HANDLE handle, TMV_NET_PTZ_POWER_OFF_CONFIG *config);
TMV_NET_API int32_t TMV_NET_SetPtzPowerOffConfig(TMV_NET_HANDLE handle,
                                                 const TMV_NET_PTZ_POWER_OFF_CONFIG *config);
TMV_NET_API int32_t TMV_NET_GetPtzRunningStatus(TMV_NET_HANDLE handle, TMV_NET_PTZ_RUNNING_STATUS *status);
TMV_NET_API int32_t TMV_NET_Ptz3DPosition(TMV_NET_HANDLE handle, const TMV_NET_PTZ_3D_POSITION *position);
TMV_NET_API int32_t TMV_NET_PtzRegionFocus(TMV_NET_HANDLE handle, const TMV_NET_PTZ_REGION *region);
TMV_NET_API int32_t TMV_NET_PtzManualTrack(TMV_NET_HANDLE handle, const TMV_NET_PTZ_REGION *region);

/* ---- PTZ: electronic PTZ and linkage ----------------------------------- */

TMV_NET_API int32_t TMV_NET_ElectronicPtzControl(TMV_NET_HANDLE handle, const TMV_NET_EPTZ_CONTROL *control);
TMV_NET_API int32_t TMV_NET_GetGunBallTrackConfigInfo(TMV_NET_HANDLE handle,
                                                      TMV_NET_GUN_BALL_TRACK_CONFIG_INFO *config);
TMV_NET_API int32_t TMV_NET_SetGunBallTrackConfigInfo(TMV_NET_HANDLE handle,
                                                      const TMV_NET_GUN_BALL_TRACK_CONFIG_INFO *config);

/* ---- Configuration: imaging and thermal -------------------------------- */

TMV_NET_API int32_t TMV_NET_GetFrameRate(TMV_NET_HANDLE handle, int32_t *rate);
TMV_NET_API int32_t TMV_NET_SetFrameRate(TMV_NET_HANDLE handle, int32_t rate);
/* time: "yyyy-MM-dd hh:mm:ss", local time. */
TMV_NET_API int32_t TMV_NET_SyncSystemTime(TMV_NET_HANDLE handle, const char *time);
TMV_NET_API int32_t TMV_NET_CorrectShutter(TMV_NET_HANDLE handle);
TMV_NET_API int32_t TMV_NET_GetEnvParam(TMV_NET_HANDLE handle, TMV_NET_ENV_PARAM *param);
TMV_NET_API int32_t TMV_NET_SetEnvParam(TMV_NET_HANDLE handle, const TMV_NET_ENV_PARAM *param);
/* OSD state: 0 shown, otherwise hidden. */
TMV_NET_API int32_t TMV_NET_GetOSDState(TMV_NET_HANDLE handle, int32_t *state);
TMV_NET_API int32_t TMV_NET_SetOSDState(TMV_NET_HANDLE handle, int32_t state);
TMV_NET_API int32_t TMV_NET_GetTempBarState(TMV_NET_HANDLE handle, int32_t *state);
TMV_NET_API int32_t TMV_NET_SetTempBarState(TMV_NET_HANDLE handle, int32_t state);
/* Palette 0..19. */
TMV_NET_API int32_t TMV_NET_GetPalleteType(TMV_NET_HANDLE handle, int32_t *type);
TMV_NET_API int32_t TMV_NET_SetPalleteType(TMV_NET_HANDLE handle, int32_t type);
/* Gain: 0 high, 1 low, 2 auto. */
TMV_NET_API int32_t TMV_NET_GetTempLevel(TMV_NET_HANDLE handle, int32_t *level);
TMV_NET_API int32_t TMV_NET_SetTempLevel(TMV_NET_HANDLE handle, int32_t level);
/* Unit: 0 Celsius, 1 Fahrenheit, 2 Kelvin. */
TMV_NET_API int32_t TMV_NET_GetTempUnit(TMV_NET_HANDLE handle, int32_t *unit);
TMV_NET_API int32_t TMV_NET_SetTempUnit(TMV_NET_HANDLE handle, int32_t unit);
TMV_NET_API int32_t TMV_NET_GetTempSpanInfo(TMV_NET_HANDLE handle, TMV_NET_TEMP_SPAN_INFO *info);
TMV_NET_API int32_t TMV_NET_SetTempSpanInfo(TMV_NET_HANDLE handle, const TMV_NET_TEMP_SPAN_INFO *info);
TMV_NET_API int32_t TMV_NET_GetThermalImageLuminance(TMV_NET_HANDLE handle, int32_t *luminance);
TMV_NET_API int32_t TMV_NET_SetThermalImageLuminance(TMV_NET_HANDLE handle, int32_t luminance);
TMV_NET_API int32_t TMV_NET_GetThermalImageContrast(TMV_NET_HANDLE handle, int32_t *contrast);
TMV_NET_API int32_t TMV_NET_SetThermalImageContrast(TMV_NET_HANDLE handle, int32_t contrast);
/* Flip: 0 none, 1 horizontal, 2 vertical, 3 180 degrees. */
TMV_NET_API int32_t TMV_NET_GetThermalImageFlipMode(TMV_NET_HANDLE handle, int32_t *mode);
TMV_NET_API int32_t TMV_NET_SetThermalImageFlipMode(TMV_NET_HANDLE handle, int32_t mode);
TMV_NET_API int32_t TMV_NET_GetThermalImageEnhanceInfo(TMV_NET_HANDLE handle,
                                                       TMV_NET_THERMAL_IMAGE_ENHANCE_INFO *info);
TMV_NET_API int32_t TMV_NET_SetThermalImageEnhanceInfo(TMV_NET_HANDLE handle,
                                                       const TMV_NET_THERMAL_IMAGE_ENHANCE_INFO *info);

/* ---- Configuration: OSD, network, maintenance -------------------------- */

TMV_NET_API int32_t TMV_NET_GetOSDTimeTitleInfo(TMV_NET_HANDLE handle, int32_t channel,
                                                TMV_NET_OSD_TIME_TITLE_INFO *info);
TMV_NET_API int32_t TMV_NET_SetOSDTimeTitleInfo(TMV_NET_HANDLE handle, int32_t channel,
                                                const TMV_NET_OSD_TIME_TITLE_INFO *info);
TMV_NET_API int32_t TMV_NET_GetOSDChannelTitleInfo(TMV_NET_HANDLE handle, int32_t channel,
                                                   TMV_NET_OSD_CHANNEL_TITLE_INFO *info);
TMV_NET_API int32_t TMV_NET_SetOSDChannelTitleInfo(TMV_NET_HANDLE handle, int32_t channel,
                                                   const TMV_NET_OSD_CHANNEL_TITLE_INFO *info);
TMV_NET_API int32_t TMV_NET_GetLaserDistanceOsdParam(TMV_NET_HANDLE handle, int32_t channel,
                                                     TMV_NET_LASER_DISTANCE_OSD_PARAM *param);
TMV_NET_API int32_t TMV_NET_SetLaserDistanceOsdParam(TMV_NET_HANDLE handle, int32_t channel,
                                                     const TMV_NET_LASER_DISTANCE_OSD_PARAM *param);
TMV_NET_API int32_t TMV_NET_GetIpConfig(TMV_NET_HANDLE handle, TMV_NET_IP_CONFIG *config);
TMV_NET_API int32_t TMV_NET_SetIpConfig(TMV_NET_HANDLE handle, const TMV_NET_IP_CONFIG *config);
/* 1 opens the serial port for transparent transfer, 0 closes it. */
TMV_NET_API int32_t TMV_NET_SetTransparentState(TMV_NET_HANDLE handle, int32_t state);
/* Sends `size` bytes (at least one) to the serial port and waits up to
 * timeoutMs for the reply: at most replyCapacity bytes are written to reply
 * and *replyLength is at most replyCapacity. */
TMV_NET_API int32_t TMV_NET_TransparentData(TMV_NET_HANDLE handle, const uint8_t *data, int32_t size,
                                            uint8_t *reply, int32_t replyCapacity, int32_t *replyLength,
                                            int32_t timeoutMs);
TMV_NET_API int32_t TMV_NET_SystemReboot(TMV_NET_HANDLE handle);
TMV_NET_API int32_t TMV_NET_SystemRestart(TMV_NET_HANDLE handle);
TMV_NET_API int32_t TMV_NET_RestoreFactoryDefaults(TMV_NET_HANDLE handle);

/* ---- Configuration: peripherals ---------------------------------------- */

/* Wiper mode: 0 automatic, 1 manual. */
TMV_NET_API int32_t TMV_NET_GetWiperConfigInfo(TMV_NET_HANDLE handle, int32_t *mode);
TMV_NET_API int32_t TMV_NET_SetWiperConfigInfo(TMV_NET_HANDLE handle, int32_t mode);
TMV_NET_API int32_t TMV_NET_GetFillLightConfigInfo(TMV_NET_HANDLE handle, TMV_NET_FILL_LIGHT_CONFIG_INFO *info);
TMV_NET_API int32_t TMV_NET_SetFillLightConfigInfo(TMV_NET_HANDLE handle,
                                                   const TMV_NET_FILL_LIGHT_CONFIG_INFO *info);
TMV_NET_API int32_t TMV_NET_GetDayNightModeParam(TMV_NET_HANDLE handle, TMV_NET_DAY_NIGHT_MODE_PARAM *param);
TMV_NET_API int32_t TMV_NET_SetDayNightModeParam(TMV_NET_HANDLE handle,
                                                 const TMV_NET_DAY_NIGHT_MODE_PARAM *param);
/* type: 0 login logo, 1 main logo. Get writes the device's PNG to `path`;
 * set reads the PNG at `path` and sends it. */
TMV_NET_API int32_t TMV_NET_GetLogoPicture(TMV_NET_HANDLE handle, int32_t type, const char *path);
TMV_NET_API int32_t TMV_NET_SetLogoPicture(TMV_NET_HANDLE handle, int32_t type, const char *path);

/* ---- Configuration: target recognition --------------------------------- */

TMV_NET_API int32_t TMV_NET_GetTargetRecognitionConfig(TMV_NET_HANDLE handle, int32_t channel,
                                                       TMV_NET_TARGET_RECOGNITION_CONFIG *config);
TMV_NET_API int32_t TMV_NET_SetTargetRecognitionConfig(TMV_NET_HANDLE handle, int32_t channel,
                                                       const TMV_NET_TARGET_RECOGNITION_CONFIG *config);

/* ---- Playback ---------------------------------------------------------- */

TMV_NET_API int32_t TMV_NET_QueryFileSize(TMV_NET_HANDLE handle, const TMV_NET_FILE_QUERY *query,
                                          int32_t *count);
TMV_NET_API int32_t TMV_NET_QueryFile(TMV_NET_HANDLE handle, const TMV_NET_FILE_QUERY *query,
                                      TMV_NET_FILE_INFO *files, int32_t capacity, int32_t *count);
/* Returns the download id (0 or more), or a failure status negated (-1
 * failed, -2 not supported, -3 wrong parameter): a positive status would
 * read as an id. */
TMV_NET_API int32_t TMV_NET_StartDownloadFile(TMV_NET_HANDLE handle, const TMV_NET_FILE_DOWNLOAD_INFO *info);
TMV_NET_API int32_t TMV_NET_StopDownloadFile(TMV_NET_HANDLE handle, int32_t downloadId);
TMV_NET_API int32_t TMV_NET_GetDownloadProgress(TMV_NET_HANDLE handle, int32_t downloadId,
                                                TMV_NET_DOWNLOAD_PROGRESS *progress);

#ifdef __cplusplus
}
#endif

#endif
