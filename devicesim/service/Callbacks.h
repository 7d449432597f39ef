#pragma once
// The device service's own callbacks, handed to the fleet in place of the
// client's: each turns what the fleet reports into an event on the login's
// connection. Callback types the network does not carry yet have none (the
// entry point then refuses the call).

#include "service/DeviceConnection.h"
#include "wire/Arguments.h"
#include "wire/Events.h"

namespace sim::wire {

inline void push(void *user, Buffer event)
{
    static_cast<service::DeviceConnection *>(user)->pushEvent(std::move(event));
}

template <>
struct DeviceCallback<TMV_NET_EXCEPTION_CALLBACK> {
    static TMV_NET_EXCEPTION_CALLBACK function()
    {
        return [](TMV_NET_HANDLE, int32_t type, void *user) { push(user, exceptionEvent(type)); };
    }
};

template <>
struct DeviceCallback<TMV_NET_PREVIEW_CALLBACK> {
    static TMV_NET_PREVIEW_CALLBACK function()
    {
        return [](TMV_NET_HANDLE, int32_t channel, TMV_NET_PREVIEW_FRAME *frame, void *user) {
            push(user, previewEvent(channel, *frame));
        };
    }
};

template <>
struct DeviceCallback<TMV_NET_TEMP_CALLBACK> {
    static TMV_NET_TEMP_CALLBACK function()
    {
        return [](TMV_NET_HANDLE, const TMV_NET_TEMP_FRAME *frame, int32_t channel, void *user) {
            push(user, tempEvent(channel, *frame));
        };
    }
};

template <>
struct DeviceCallback<TMV_NET_NUC_DATA_CALLBACK> {
    static TMV_NET_NUC_DATA_CALLBACK function()
    {
        return [](TMV_NET_HANDLE, const uint16_t *data, int32_t width, int32_t height, void *user) {
            push(user, rawEvent(data, width, height));
        };
    }
};

template <>
struct DeviceCallback<TMV_NET_ALARM_CALLBACK> {
    static TMV_NET_ALARM_CALLBACK function()
    {
        return [](TMV_NET_HANDLE, int32_t type, const void *record, void *user) {
            push(user, alarmEvent(type, record));
        };
    }
};

// Search answers are the client library's own (a probe on loopback).
template <>
struct DeviceCallback<TMV_NET_SEARCH_CALLBACK> {
    static TMV_NET_SEARCH_CALLBACK function() { return nullptr; }
};

}  // namespace sim::wire
