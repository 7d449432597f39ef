// The control interface for tests and tools (TMVSimControl.h). In network
// mode each function acts on the device service instead (ControlForward.h).

#include "TMVSimControl.h"

#include "alarms/AlarmEngine.h"
#include "api/ControlForward.h"
#include "base/Journal.h"
#include "base/SimClock.h"
#include "base/Status.h"
#include "camera/FrameProducer.h"
#include "device/Device.h"
#include "device/Fleet.h"
#include "device/Session.h"
#include "measure/RuleSet.h"
#include "ptz/PtzHead.h"
#include "settings/Settings.h"
#include "storage/Downloads.h"
#include "storage/SdCard.h"
#include "wire/Faults.h"

#include <algorithm>
#include <cstring>
#include <string>

using sim::Fleet;
using sim::Journal;
using sim::SimClock;

namespace {

int copyText(const std::string &text, char *out, int capacity)
{
    if (!out || capacity <= 0 || text.size() + 1 > size_t(capacity))
        return sim::kWrongParam;
    std::memcpy(out, text.c_str(), text.size() + 1);
    return sim::kOk;
}

}  // namespace

void TMVSim_ResetFleet(void)
{
    SIM_CONTROL_FORWARD(TMVSim_ResetFleet);
    Fleet::instance().reset();
    for (const auto &d : Fleet::instance().devices())
        d->sdCard().format();
    Journal::instance().clear();
    Journal::instance().clearFaults();
    sim::wire::clearWires();
}

int TMVSim_DeviceCount(void)
{
    SIM_CONTROL_FORWARD(TMVSim_DeviceCount);
    return int(Fleet::instance().devices().size());
}

int TMVSim_DeviceAddress(int index, char *address, int capacity)
{
    SIM_CONTROL_FORWARD(TMVSim_DeviceAddress, index, address, capacity);
    const auto &devices = Fleet::instance().devices();
    if (index < 0 || size_t(index) >= devices.size())
        return sim::kWrongParam;
    return copyText(devices[size_t(index)]->address(), address, capacity);
}

int TMVSim_SetSdCardRoot(const char *folder)
{
    SIM_CONTROL_FORWARD(TMVSim_SetSdCardRoot, folder);
    sim::SdCard::setRoot(folder ? folder : "");
    return sim::kOk;
}

int TMVSim_SdCardFolder(const char *address, char *folder, int capacity)
{
    SIM_CONTROL_FORWARD(TMVSim_SdCardFolder, address, folder, capacity);
    auto device = address ? Fleet::instance().device(address) : nullptr;
    if (!device)
        return sim::kWrongParam;
    const std::string path = device->sdCard().folder();
    return path.empty() ? sim::kFailed : copyText(path, folder, capacity);
}

int TMVSim_SetLinkSpeed(const char *address, int64_t bytesPerSecond)
{
    SIM_CONTROL_FORWARD(TMVSim_SetLinkSpeed, address, bytesPerSecond);
    auto device = address ? Fleet::instance().device(address) : nullptr;
    if (!device || bytesPerSecond < 0)
        return sim::kWrongParam;
    device->sdCard().link().setSpeed(uint64_t(bytesPerSecond));
    return sim::kOk;
}

int TMVSim_SetSdCardCapacity(const char *address, int64_t bytes)
{
    SIM_CONTROL_FORWARD(TMVSim_SetSdCardCapacity, address, bytes);
    auto device = address ? Fleet::instance().device(address) : nullptr;
    if (!device || bytes < 0)
        return sim::kWrongParam;
    device->sdCard().setCapacity(uint64_t(bytes));
    return sim::kOk;
}

int TMVSim_SessionCount(const char *address)
{
    SIM_CONTROL_FORWARD(TMVSim_SessionCount, address);
    auto device = address ? Fleet::instance().device(address) : nullptr;
    return device ? device->sessionCount() : -1;
}

void TMVSim_JournalClear(void)
{
    SIM_CONTROL_FORWARD(TMVSim_JournalClear);
    Journal::instance().clear();
}

int TMVSim_JournalCount(void)
{
    SIM_CONTROL_FORWARD(TMVSim_JournalCount);
    return Journal::instance().count();
}

int TMVSim_JournalEntry(int index, char *name, int nameCapacity, void *bytes, int capacity, int *size)
{
    SIM_CONTROL_FORWARD(TMVSim_JournalEntry, index, name, nameCapacity, bytes, capacity, size);
    const auto entries = Journal::instance().entries();
    if (index < 0 || size_t(index) >= entries.size())
        return sim::kWrongParam;
    const sim::JournalEntry &e = entries[size_t(index)];
    if (name && nameCapacity > 0) {
        size_t n = std::min(e.function.size(), size_t(nameCapacity - 1));
        std::memcpy(name, e.function.data(), n);
        name[n] = '\0';
    }
    if (bytes && capacity > 0)
        std::memcpy(bytes, e.input.data(), std::min(e.input.size(), size_t(capacity)));
    if (size)
        *size = int(e.input.size());
    return sim::kOk;
}

int TMVSim_JournalCountOf(const char *function)
{
    SIM_CONTROL_FORWARD(TMVSim_JournalCountOf, function);
    return function ? Journal::instance().countOf(function) : 0;
}

void TMVSim_FailCall(const char *function, int status, int times)
{
    SIM_CONTROL_FORWARD(TMVSim_FailCall, function, status, times);
    if (function)
        Journal::instance().failCall(function, status, times);
}

void TMVSim_OverReportCount(const char *function, int extra)
{
    SIM_CONTROL_FORWARD(TMVSim_OverReportCount, function, extra);
    if (function)
        Journal::instance().overReport(function, extra);
}

void TMVSim_ClearFaults(void)
{
    SIM_CONTROL_FORWARD(TMVSim_ClearFaults);
    Journal::instance().clearFaults();
}

int TMVSim_RaiseException(const char *address, int type)
{
    SIM_CONTROL_FORWARD(TMVSim_RaiseException, address, type);
    return address ? Fleet::instance().raiseException(address, type) : 3;
}

int TMVSim_SetOnline(const char *address, int online)
{
    SIM_CONTROL_FORWARD(TMVSim_SetOnline, address, online);
    return address ? Fleet::instance().setOnline(address, online != 0) : 3;
}

int TMVSim_RestartDevice(const char *address)
{
    SIM_CONTROL_FORWARD(TMVSim_RestartDevice, address);
    // An instant restart: the connections drop and the head's boot action
    // runs from this moment.
    return address ? Fleet::instance().restart(address, 0) : sim::kWrongParam;
}

int TMVSim_SetSearchRepeats(const char *address, int answers)
{
    SIM_CONTROL_FORWARD(TMVSim_SetSearchRepeats, address, answers);
    auto device = address ? Fleet::instance().device(address) : nullptr;
    if (!device)
        return sim::kWrongParam;
    device->setSearchAnswers(answers);
    return sim::kOk;
}

int TMVSim_SetNextRuleId(const char *address, int32_t id)
{
    SIM_CONTROL_FORWARD(TMVSim_SetNextRuleId, address, id);
    auto device = address ? Fleet::instance().device(address) : nullptr;
    if (!device)
        return sim::kWrongParam;
    device->rules().setNextRuleId(id);
    return sim::kOk;
}

void TMVSim_ClockPause(void)
{
    SIM_CONTROL_FORWARD(TMVSim_ClockPause);
    SimClock::instance().pause();
}

void TMVSim_ClockResume(void)
{
    SIM_CONTROL_FORWARD(TMVSim_ClockResume);
    SimClock::instance().resume();
}

void TMVSim_ClockStep(int64_t ms)
{
    SIM_CONTROL_FORWARD(TMVSim_ClockStep, ms);
    SimClock::instance().step(ms * 1000);
}

int64_t TMVSim_ClockNowMs(void)
{
    SIM_CONTROL_FORWARD(TMVSim_ClockNowMs);
    return SimClock::instance().nowMs();
}

int TMVSim_SetFrameRate(const char *address, int channel, int fps)
{
    SIM_CONTROL_FORWARD(TMVSim_SetFrameRate, address, channel, fps);
    auto device = address ? Fleet::instance().device(address) : nullptr;
    return device && device->settings().setFrameRate(channel, fps) ? sim::kOk : sim::kWrongParam;
}

int TMVSim_GetStreamStats(const char *address, int channel, TMVSimStreamStats *stats)
{
    SIM_CONTROL_FORWARD(TMVSim_GetStreamStats, address, channel, stats);
    auto device = address ? Fleet::instance().device(address) : nullptr;
    if (!device || !stats || !device->validChannel(channel))
        return sim::kWrongParam;
    const auto s = device->producer(channel).stats();
    stats->frames = s.delivered;
    stats->synthesisCpuNs = s.synthesisCpuNs;
    stats->callbackCpuNs = s.callbackCpuNs;
    stats->synthesised = s.synthesised;
    return sim::kOk;
}

int TMVSim_ResetStreamStats(const char *address)
{
    SIM_CONTROL_FORWARD(TMVSim_ResetStreamStats, address);
    auto device = address ? Fleet::instance().device(address) : nullptr;
    if (!device)
        return sim::kWrongParam;
    for (int c = 0; c < device->channelCount(); ++c)
        device->producer(c).resetStats();
    return sim::kOk;
}

void TMVSim_SetLockPolicy(int failedAttempts, int64_t lockMs)
{
    SIM_CONTROL_FORWARD(TMVSim_SetLockPolicy, failedAttempts, lockMs);
    for (const auto &d : Fleet::instance().devices())
        d->setLoginPolicy(failedAttempts, lockMs * 1000);
}

namespace {

// The wire of a device of this service's fleet; null (with the status) when
// there is none to act on.
std::shared_ptr<sim::wire::WireFaults> wireOf(const char *address, int *status)
{
    auto device = address ? Fleet::instance().device(address) : nullptr;
    *status = !sim::wire::wiresServed() ? sim::kNotSupported : !device ? sim::kWrongParam : sim::kOk;
    return *status == sim::kOk ? sim::wire::wireOf(device->address()) : nullptr;
}

}  // namespace

int TMVSim_SetWireDelay(const char *address, int milliseconds)
{
    SIM_CONTROL_FORWARD(TMVSim_SetWireDelay, address, milliseconds);
    int status = sim::kOk;
    auto wire = wireOf(address, &status);
    if (wire && milliseconds < 0)
        return sim::kWrongParam;
    if (wire)
        wire->setDelay(milliseconds);
    return status;
}

int TMVSim_SetWireBandwidth(const char *address, int64_t bytesPerSecond)
{
    SIM_CONTROL_FORWARD(TMVSim_SetWireBandwidth, address, bytesPerSecond);
    int status = sim::kOk;
    auto wire = wireOf(address, &status);
    if (wire && bytesPerSecond < 0)
        return sim::kWrongParam;
    if (wire)
        wire->setBandwidth(bytesPerSecond);
    return status;
}

int TMVSim_CutWire(const char *address, int cut)
{
    SIM_CONTROL_FORWARD(TMVSim_CutWire, address, cut);
    int status = sim::kOk;
    auto wire = wireOf(address, &status);
    if (wire)
        wire->setCut(cut != 0);
    return status;
}

int TMVSim_InjectAlarm(const char *address, int type)
{
    SIM_CONTROL_FORWARD(TMVSim_InjectAlarm, address, type);
    auto device = address ? Fleet::instance().device(address) : nullptr;
    if (!device)
        return sim::kWrongParam;
    device->alarms().inject(type);
    return sim::kOk;
}

int TMVSim_InjectAlarmRecord(const char *address, int type, const void *record, int size, const void *picture0,
                             int size0, const void *picture1, int size1)
{
    SIM_CONTROL_FORWARD(TMVSim_InjectAlarmRecord, address, type, record, size, picture0, size0, picture1, size1);
    auto device = address ? Fleet::instance().device(address) : nullptr;
    if (!device)
        return sim::kWrongParam;
    if ((!record && size > 0) || size < 0 || size0 < 0 || size1 < 0)
        return sim::kWrongParam;
    device->alarms().injectRecord(type, record, size, picture0, size0, picture1, size1);
    return sim::kOk;
}
