#include "device/Fleet.h"

#include "base/SimClock.h"
#include "base/Status.h"
#include "device/Device.h"
#include "device/FleetProfiles.h"
#include "device/Session.h"
#include "ptz/PtzHead.h"
#include "settings/SerialPort.h"
#include "streams/EventThread.h"
#include "streams/LibraryThread.h"

#include <random>

namespace sim {

namespace {

// Handles look like pointers and are never reused, so a stale handle is
// recognised as unknown.
constexpr uint64_t kFirstHandle = 0x5A000;
constexpr uint64_t kHandleStep = 0x10;

}  // namespace

namespace {

std::vector<DeviceProfile> *g_chosenProfiles = nullptr;

}  // namespace

Fleet &Fleet::instance()
{
    static Fleet fleet;
    return fleet;
}

void Fleet::useProfiles(std::vector<DeviceProfile> profiles)
{
    static std::vector<DeviceProfile> chosen;
    chosen = std::move(profiles);
    g_chosenProfiles = &chosen;
}

Fleet::Fleet()
{
    // Built first, so they are destroyed after the fleet: a program that
    // exits without TMV_NET_Deinit still stops its streams before the clock
    // and the event thread go away.
    SimClock::instance();
    EventThread::instance();
    for (DeviceProfile &p : g_chosenProfiles ? *g_chosenProfiles : defaultProfiles())
        devices_.push_back(std::make_shared<Device>(std::move(p)));
    nextId_ = kFirstHandle;
}

Fleet::~Fleet()
{
    deinit();
}

int32_t Fleet::init()
{
    EventThread::instance().start();
    std::lock_guard<std::mutex> lock(mutex_);
    initCount_ = 1;
    return kOk;
}

int32_t Fleet::deinit()
{
    // It joins every library thread, the caller's own among them.
    if (onLibraryThread())
        return kFailed;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        initCount_ = 0;
    }
    endSessions(takeAllSessions());
    finishUnfinished();
    EventThread::instance().stop();
    return kOk;
}

bool Fleet::initialised() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return initCount_ > 0;
}

std::shared_ptr<Device> Fleet::device(const std::string &address) const
{
    for (const auto &d : devices_)
        if (d->address() == address)
            return d;
    return nullptr;
}

int32_t Fleet::login(const std::string &address, int port, const std::string &user, const std::string &password,
                     TMV_NET_HANDLE *handle)
{
    if (!initialised())
        return kFailed;
    std::shared_ptr<Device> dev = device(address);
    if (!dev || port != dev->profile().port)
        return kFailed;  // nobody answers there
    int32_t status = dev->admit(user, password, SimClock::instance().nowUs());
    if (status != kOk)
        return status;
    std::lock_guard<std::mutex> lock(mutex_);
    if (initCount_ == 0) {
        // Deinit ran meanwhile; the session must not outlive it.
        dev->release();
        return kFailed;
    }
    uint64_t id = nextId_;
    nextId_ += kHandleStep;
    auto session = std::make_shared<Session>(id, dev);
    sessions_[id] = session;
    *handle = session->handle();
    return kOk;
}

int32_t Fleet::logout(TMV_NET_HANDLE handle)
{
    std::shared_ptr<Session> session;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = sessions_.find(uint64_t(reinterpret_cast<uintptr_t>(handle)));
        if (it == sessions_.end())
            return kFailed;
        // Ending a login from inside its own stream would join that stream
        // from itself; refuse instead.
        if (it->second->onOwnStreamThread())
            return kFailed;
        session = std::move(it->second);
        sessions_.erase(it);
    }
    if (!endSession(session)) {
        // Its last callback runs on, waiting for this thread's own caller;
        // the session is finished off by a later call from outside.
        std::lock_guard<std::mutex> lock(mutex_);
        unfinished_.push_back(std::move(session));
        return kFailed;
    }
    if (!onLibraryThread())
        finishUnfinished();
    return kOk;
}

std::shared_ptr<Session> Fleet::session(TMV_NET_HANDLE handle) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = sessions_.find(uint64_t(reinterpret_cast<uintptr_t>(handle)));
    return it == sessions_.end() ? nullptr : it->second;
}

std::vector<std::shared_ptr<Session>> Fleet::sessionsOf(const Device &device) const
{
    std::vector<std::shared_ptr<Session>> out;
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto &entry : sessions_)
        if (&entry.second->device() == &device)
            out.push_back(entry.second);
    return out;
}

int32_t Fleet::search(TMV_NET_SEARCH_CALLBACK callback, void *user, int windowMs)
{
    if (!initialised())
        return kFailed;
    uint64_t serial;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        serial = ++searchSerial_;
    }
    std::mt19937 random(uint32_t(serial * 2654435761u));
    std::uniform_int_distribution<int> delayMs(20, 400);
    const int64_t now = SimClock::instance().nowUs();
    for (const auto &dev : devices_) {
        const int answers = dev->takeSearchAnswers();
        for (int i = 0; i < answers; ++i) {
            const int delay = delayMs(random);
            if (delay > windowMs)
                continue;  // answered after the search window closed
            std::string address = dev->address();
            EventThread::instance().post(now + int64_t(delay) * 1000, 0,
                                         [callback, user, address] { callback(address.c_str(), user); });
        }
    }
    return kOk;
}

int32_t Fleet::setOnline(const std::string &address, bool online)
{
    std::shared_ptr<Device> dev = device(address);
    if (!dev)
        return kWrongParam;
    const bool wasOnline = dev->online();
    dev->setOnline(online);
    if (wasOnline && !online) {
        for (auto &s : sessionsOf(*dev)) {
            s->raiseException(1001);
            s->endStreams();
        }
    }
    return kOk;
}

int32_t Fleet::restart(const std::string &address, int64_t bootUs)
{
    std::shared_ptr<Device> dev = device(address);
    if (!dev)
        return kWrongParam;
    const int64_t now = SimClock::instance().nowUs();
    const int64_t back = now + (bootUs > 0 ? bootUs : 0);
    const uint64_t boot = dev->bootUntil(back);
    dev->serialPort().setOpen(false);  // a booting device opens no port for anyone
    for (auto &s : sessionsOf(*dev)) {
        s->raiseException(1001);
        s->endStreams();
    }
    if (back == now) {
        dev->head().restart(now);
        return kOk;
    }
    // The head moves again once the device is up; a later restart or a
    // fleet reset makes this boot stale.
    std::weak_ptr<Device> weak = dev;
    EventThread::instance().post(back, 0, [weak, boot, back] {
        if (auto d = weak.lock())
            if (d->bootCurrent(boot))
                d->head().restart(back);
    });
    return kOk;
}

int32_t Fleet::raiseException(const std::string &address, int32_t type)
{
    std::shared_ptr<Device> dev = device(address);
    if (!dev)
        return kWrongParam;
    for (auto &s : sessionsOf(*dev))
        s->raiseException(type);
    return kOk;
}

std::vector<std::shared_ptr<Session>> Fleet::takeAllSessions()
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::shared_ptr<Session>> out;
    for (auto &entry : sessions_)
        out.push_back(std::move(entry.second));
    sessions_.clear();
    return out;
}

bool Fleet::endSession(const std::shared_ptr<Session> &session)
{
    const bool ended = session->shutdown();
    session->device().release();
    return ended;
}

void Fleet::endSessions(std::vector<std::shared_ptr<Session>> sessions)
{
    for (auto &s : sessions)
        endSession(s);
}

void Fleet::finishUnfinished()
{
    std::vector<std::shared_ptr<Session>> sessions;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        sessions.swap(unfinished_);
    }
    for (auto &s : sessions)
        s->shutdown();  // from outside the library's threads, it always completes
}

void Fleet::reset()
{
    if (onLibraryThread())
        return;  // it would join the caller's own thread
    endSessions(takeAllSessions());
    finishUnfinished();
    for (auto &d : devices_)
        d->reset();
}

}  // namespace sim
