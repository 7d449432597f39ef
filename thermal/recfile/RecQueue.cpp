#include "thermal/recfile/RecQueue.h"

#include <algorithm>
#include <cstring>

RecQueue::RecQueue(size_t capacity) : m_slots(std::max<size_t>(capacity, 1))
{
}

bool RecQueue::Push(const uint16_t *values, int width, int height, int64_t timeUs)
{
    const size_t count = size_t(std::max(width, 0)) * size_t(std::max(height, 0));
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_closed)
            return false;
        if (m_count == m_slots.size()) {
            ++m_dropped;
            return false;
        }
        RecFrame &slot = m_slots[(m_head + m_count) % m_slots.size()];
        if (slot.values.capacity() < count && !m_spare.empty()) {
            slot.values.swap(m_spare.back());
            m_spare.pop_back();
        }
        slot.values.resize(count);
        if (count)
            std::memcpy(slot.values.data(), values, count * sizeof(uint16_t));
        slot.width = width;
        slot.height = height;
        slot.timeUs = timeUs;
        ++m_count;
        m_highWater = std::max(m_highWater, m_count);
    }
    m_ready.notify_one();
    return true;
}

bool RecQueue::Pop(RecFrame *frame)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_ready.wait(lock, [this] { return m_count > 0 || m_closed; });
    if (m_count == 0)
        return false;
    RecFrame &slot = m_slots[m_head];
    std::swap(*frame, slot);
    if (slot.values.capacity() > 0) {
        m_spare.push_back(std::move(slot.values));
        slot.values = std::vector<uint16_t>();
    }
    m_head = (m_head + 1) % m_slots.size();
    --m_count;
    return true;
}

void RecQueue::Close()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
    }
    m_ready.notify_all();
}

void RecQueue::Prepare(size_t values, size_t buffers)
{
    size_t have = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const std::vector<uint16_t> &spare : m_spare)
            have += spare.capacity() >= values ? 1 : 0;
    }
    std::vector<std::vector<uint16_t>> made;
    for (; have < buffers; ++have)
        made.emplace_back(values);  // zero-filled: every page touched here
    std::lock_guard<std::mutex> lock(m_mutex);
    for (std::vector<uint16_t> &buffer : made)
        m_spare.push_back(std::move(buffer));
}

size_t RecQueue::HighWater() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_highWater;
}

uint64_t RecQueue::Dropped() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dropped;
}

size_t RecQueue::Waiting() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_count;
}
