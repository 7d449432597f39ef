/*
 * Control interface of the simulated device library, for tests and tools.
 * The client never calls it. Plain C; every function is safe to call from any
 * thread. Devices are named by their address text ("127.0.0.11").
 *
 * In network mode (TMVNET_DEVICES=network) every function acts on the device
 * service through its control port (TMVNET_CONTROL=127.0.0.1:<port>, default
 * 127.0.0.1:37021): the fleet, clock, journal and faults are the service's,
 * where the device calls run. When the service cannot be reached a function
 * does nothing and one that answers an int answers -1. Stream figures are
 * the service's too (callback time is the time to hand a frame to the
 * connection).
 */
#ifndef TMVSIMCONTROL_H
#define TMVSIMCONTROL_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(TMVNETSDK_BUILDING)
#define TMVSIM_API __attribute__((visibility("default")))
#else
#define TMVSIM_API
#endif

/* ---- Fleet ------------------------------------------------------------ */

/* Logs every session out, stops every stream and puts each device back into
 * its factory state (settings, lists, lock-outs, SD card: its files are
 * removed, and the next search fills the recent history in again). The clock keeps
 * its mode; the journal, faults and the wires' delay, bandwidth and cut are
 * cleared. */
TMVSIM_API void TMVSim_ResetFleet(void);
TMVSIM_API int TMVSim_DeviceCount(void);
/* Copies the address of device `index` (0-based); returns 0, or 3 when the
 * index or buffer is wrong. */
TMVSIM_API int TMVSim_DeviceAddress(int index, char *address, int capacity);
/* Folder that holds the device's SD card: <root>/<address>, created on
 * demand with mode 0700. Returns 0; 3 for an unknown address or a buffer too
 * small; 1 when the folder cannot be created. */
TMVSIM_API int TMVSim_SdCardFolder(const char *address, char *folder, int capacity);
/* Root folder of every SD card of this process, from now on. NULL or ""
 * restores the default: $TMVSIM_SDCARD_ROOT when set, else the user's cache
 * directory ($XDG_CACHE_HOME or ~/.cache, then sdkdemo/sdcard), where a card
 * outlives the run. Tests give each process its own root so that parallel
 * tests never share a card. Returns 0. */
TMVSIM_API int TMVSim_SetSdCardRoot(const char *folder);
/* Speed of the device's link, shared by all its downloads, in bytes a
 * second (default 4 MiB/s); 0 lifts the limit. Paced on the simulation
 * clock. Returns 0, or 3 for an unknown address or a negative speed. */
TMVSIM_API int TMVSim_SetLinkSpeed(const char *address, int64_t bytesPerSecond);
/* Capacity of the device's SD card in bytes (default 256 MiB); when its files
 * outgrow it the oldest are removed at once. Returns 0, or 3 for an unknown
 * address or a negative size. */
TMVSIM_API int TMVSim_SetSdCardCapacity(const char *address, int64_t bytes);
/* Number of open sessions on a device, or -1 for an unknown address. */
TMVSIM_API int TMVSim_SessionCount(const char *address);

/* ---- The wire (network mode; embedded mode has no wire and answers 2) ---- */
/* Every message the device sends over its connections (replies, frames,
 * events, file bytes) leaves `milliseconds` later: a call's round trip grows
 * by it; the frame rate does not drop. 0 (default) for none. Returns 0; 3 for
 * an unknown address or a negative delay. */
TMVSIM_API int TMVSim_SetWireDelay(const char *address, int milliseconds);
/* Bytes a second everything the device sends over its connections shares;
 * 0 (default) lifts the limit. Frames that do not fit are dropped at the
 * device, never queued without bound. Returns 0; 3 as above. */
TMVSIM_API int TMVSim_SetWireBandwidth(const char *address, int64_t bytesPerSecond);
/* 1 cuts the device's wire: nothing passes either way on its connections,
 * which stay open as with a pulled cable, and new connections get no answer;
 * 0 restores it. Returns 0; 3 for an unknown address. */
TMVSIM_API int TMVSim_CutWire(const char *address, int cut);
/* All three run on real time, not on the simulation clock; the library
 * finds a wire that carries nothing out after its link timeout (5 s, or
 * TMVNET_LINK_TIMEOUT_MS) and takes it as a lost connection. */

/* ---- Journal: every entry point records its name and input bytes ------- */

TMVSIM_API void TMVSim_JournalClear(void);
TMVSIM_API int TMVSim_JournalCount(void);
/* Entry `index` (oldest first): copies the function name, and up to
 * `capacity` bytes of the call's inputs (records and scalar arguments, in
 * argument order, concatenated). `*size` receives the full input size.
 * Returns 0, or 3 when the index is out of range. */
TMVSIM_API int TMVSim_JournalEntry(int index, char *name, int nameCapacity,
                                   void *bytes, int capacity, int *size);
/* Number of journal entries with this function name. */
TMVSIM_API int TMVSim_JournalCountOf(const char *function);

/* ---- Faults ------------------------------------------------------------ */

#define TMVSIM_ALWAYS (-1)
/* Makes `function` ("TMV_NET_Login") return `status` for its next `times`
 * calls (TMVSIM_ALWAYS: until cleared), without doing anything else. */
TMVSIM_API void TMVSim_FailCall(const char *function, int status, int times);
/* Makes a list query report `extra` more records than the capacity it was
 * given (a faulty device), for every call until cleared. */
TMVSIM_API void TMVSim_OverReportCount(const char *function, int extra);
TMVSIM_API void TMVSim_ClearFaults(void);

/* ---- Events ------------------------------------------------------------ */

/* Calls the exception callback of every session on the device with `type`. */
TMVSIM_API int TMVSim_RaiseException(const char *address, int type);
/* Takes a device offline (its sessions get exception 1001 and every stream
 * ends; logins fail) or back online. */
TMVSIM_API int TMVSim_SetOnline(const char *address, int online);
/* Restarts a device: its connections drop as when it goes offline (each
 * session gets exception 1001 and its streams end; the logins stay, as the
 * library reconnects them), the head stops where it stands and, when its
 * boot action is on, runs it from that moment of the simulation clock.
 * Everything stored stays; the serial transparent channel closes. Returns 0, or 3 for an unknown address. */
TMVSIM_API int TMVSim_RestartDevice(const char *address);
/* Raises one alarm of type code `type` (TMV_NET_ALARM_... or any other code,
 * delivered as it is) on the device, with a plausible record of that type
 * and its two pictures, to every login that subscribed. Returns 0, or
 * non-zero for an unknown device. */
TMVSIM_API int TMVSim_InjectAlarm(const char *address, int type);
/* The same with the caller's record bytes (`size` bytes, copied, padded with
 * zeros up to the size of the type's record, 1 KB for an unknown code; the
 * picture fields inside are replaced by the library's copies of `picture0`
 * and `picture1`, either may be null with size 0). */
TMVSIM_API int TMVSim_InjectAlarmRecord(const char *address, int type, const void *record, int size,
                                        const void *picture0, int size0, const void *picture1, int size1);
/* Makes the next search answer twice from this device (a misbehaving one). */
TMVSIM_API int TMVSim_SetSearchRepeats(const char *address, int answers);
/* The id the device gives the next measurement rule it adds; later ones
 * count on from it. Ids may then repeat across shapes (a point P1 beside a
 * rectangle R1), as on a device that numbers each shape on its own. Returns
 * 0, or 3 for an unknown address. */
TMVSIM_API int TMVSim_SetNextRuleId(const char *address, int32_t id);

/* ---- Clock ------------------------------------------------------------- */

/* The world and every stream run on a simulation clock that follows real
 * time until paused. While paused, only TMVSim_ClockStep moves it. */
TMVSIM_API void TMVSim_ClockPause(void);
TMVSIM_API void TMVSim_ClockResume(void);
/* Advances the paused clock by `ms` and returns once every running stream
 * has delivered the frames that fell due. */
TMVSIM_API void TMVSim_ClockStep(int64_t ms);
TMVSIM_API int64_t TMVSim_ClockNowMs(void);

/* ---- Streams ----------------------------------------------------------- */

/* Frame rate of a device channel's live video (1..60; default 25). */
TMVSIM_API int TMVSim_SetFrameRate(const char *address, int channel, int fps);

/* Cost figures of a device channel since the last reset: frames delivered
 * to the client's callbacks (summed over every preview), CPU time the device
 * spent synthesising the channel's frames, CPU time spent inside the client's
 * frame callbacks (both per-thread CPU clocks), and frames synthesised. Each
 * frame is synthesised once however many previews show it. */
typedef struct TMVSimStreamStats {
    int64_t frames;
    int64_t synthesisCpuNs;
    int64_t callbackCpuNs;
    int64_t synthesised;
} TMVSimStreamStats;
TMVSIM_API int TMVSim_GetStreamStats(const char *address, int channel, TMVSimStreamStats *stats);
TMVSIM_API int TMVSim_ResetStreamStats(const char *address);

/* Lock-out policy used by logins; tests shorten it. */
TMVSIM_API void TMVSim_SetLockPolicy(int failedAttempts, int64_t lockMs);

#ifdef __cplusplus
}
#endif

#endif
