#include "api/EntryPoint.h"

#include "base/Journal.h"
#include "device/Device.h"
#include "device/Fleet.h"
#include "device/Session.h"

#include <cstring>

namespace sim::api {

EntryPoint::EntryPoint(const char *name) : name_(name)
{
    if (int32_t fault = Journal::instance().takeFault(name_))
        fail(fault);
}

EntryPoint::EntryPoint(const char *name, TMV_NET_HANDLE handle) : EntryPoint(name)
{
    input(&handle, sizeof handle);
    if (!ok())
        return;
    session_ = Fleet::instance().session(handle);
    if (!session_ || !session_->device().online())
        fail(kFailed);
}

EntryPoint::~EntryPoint()
{
    Journal::instance().record(JournalEntry{name_, std::move(journal_)});
}

Device &EntryPoint::device() const
{
    return session_->device();
}

void EntryPoint::fail(int32_t status)
{
    if (status_ == kOk)
        status_ = status;
}

EntryPoint &EntryPoint::input(const void *record, size_t size)
{
    if (!record) {
        fail(kWrongParam);
        return *this;
    }
    const auto *bytes = static_cast<const uint8_t *>(record);
    journal_.insert(journal_.end(), bytes, bytes + size);
    return *this;
}

EntryPoint &EntryPoint::output(const void *record)
{
    if (!record)
        fail(kWrongParam);
    return *this;
}

EntryPoint &EntryPoint::array(const void *array, int32_t capacity)
{
    if (capacity < 0 || (!array && capacity != 0))
        fail(kWrongParam);
    return *this;
}

EntryPoint &EntryPoint::text(const char *field, size_t size)
{
    if (!field || !std::memchr(field, '\0', size))
        fail(kWrongParam);
    return *this;
}

EntryPoint &EntryPoint::string(const char *text)
{
    if (!text || !*text) {
        fail(kWrongParam);
        return *this;
    }
    input(text, std::strlen(text) + 1);
    return *this;
}

EntryPoint &EntryPoint::callback(const void *function)
{
    if (!function)
        fail(kWrongParam);
    return *this;
}

EntryPoint &EntryPoint::require(bool condition)
{
    if (!condition)
        fail(kWrongParam);
    return *this;
}

int32_t EntryPoint::reportedCount(int32_t available, int32_t capacity) const
{
    int32_t count = available < capacity ? available : capacity;
    if (int extra = Journal::instance().overReportOf(name_))
        count = capacity + extra;
    return count;
}

}  // namespace sim::api
