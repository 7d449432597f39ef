#pragma once
// The device search in network mode: a UDP probe to the device service on
// loopback (port $TMVNET_SEARCH_PORT, default 37020) and its answers, each
// handed to the caller's callback on the search's own thread until the
// caller's window closes.
//
// Threading model: any thread may start a search; each runs on its own
// thread, listed under one mutex. stopAll() (Deinit) ends and joins them:
// once it returns no search callback runs.

#include "TMVNetSDK.h"

#include <cstdint>

namespace sim::remote {

int32_t search(TMV_NET_SEARCH_CALLBACK callback, void *user, int32_t windowMs);
// True on a search's thread (its callback may not join it).
bool onSearchThread();
void stopAllSearches();

}  // namespace sim::remote
