#pragma once
// The simulated installation: the devices on their loopback addresses and the
// open logins.
//
// Threading model: all members are safe from any thread; mutex_ guards the
// session table. Sessions are shared pointers, so a call that found its
// session keeps it alive while a logout on another thread removes it.

#include "TMVNetSDK.h"
#include "base/DeviceProfile.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace sim {

class Device;
class Session;

class Fleet {
public:
    static Fleet &instance();
    // The devices of the fleet, instead of the default three; only before
    // the first instance() (the device service reads them from its file).
    static void useProfiles(std::vector<DeviceProfile> profiles);

    int32_t init();
    // Refused (kFailed) on a library thread: it joins them all.
    int32_t deinit();
    bool initialised() const;

    const std::vector<std::shared_ptr<Device>> &devices() const { return devices_; }
    std::shared_ptr<Device> device(const std::string &address) const;

    int32_t login(const std::string &address, int port, const std::string &user, const std::string &password,
                  TMV_NET_HANDLE *handle);
    // kFailed for an unknown handle, from the login's own stream, or from a
    // callback that a callback of the login waits for (two callbacks logging
    // each other's login out): the login is over then, its last callback
    // ends on its own.
    int32_t logout(TMV_NET_HANDLE handle);
    std::shared_ptr<Session> session(TMV_NET_HANDLE handle) const;
    std::vector<std::shared_ptr<Session>> sessionsOf(const Device &device) const;

    // Each online device answers once (or as often as it was told to) after
    // a short random delay; answers later than `windowMs` are dropped.
    int32_t search(TMV_NET_SEARCH_CALLBACK callback, void *user, int windowMs);

    int32_t setOnline(const std::string &address, bool online);
    // Restarts a device: every connection to it drops (each login hears
    // exception 1001 and its streams end; the logins stay, as the library
    // reconnects them), it boots for `bootUs` of simulation time (logins and
    // calls fail meanwhile), then the head runs its boot action. Stored
    // settings stay; the serial channel is closed.
    int32_t restart(const std::string &address, int64_t bootUs);
    int32_t raiseException(const std::string &address, int32_t type);
    // Logs everyone out and restores every device's factory state (not from
    // a library thread).
    void reset();

private:
    Fleet();
    ~Fleet();
    std::vector<std::shared_ptr<Session>> takeAllSessions();
    // Stops what each login started and frees its place on the device;
    // false when a callback of it could not be waited for from this thread.
    static bool endSession(const std::shared_ptr<Session> &session);
    static void endSessions(std::vector<std::shared_ptr<Session>> sessions);
    // Completes the logouts made from callbacks that could not wait.
    void finishUnfinished();

    std::vector<std::shared_ptr<Device>> devices_;  // fixed at construction
    mutable std::mutex mutex_;                      // protects the members below
    std::map<uint64_t, std::shared_ptr<Session>> sessions_;
    // Logged out from a callback while a callback of theirs waited for that
    // one: closed, off the table, their last callback still running.
    std::vector<std::shared_ptr<Session>> unfinished_;
    uint64_t nextId_ = 1;
    int initCount_ = 0;
    uint64_t searchSerial_ = 0;
};

}  // namespace sim
