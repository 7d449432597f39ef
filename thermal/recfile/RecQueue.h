#ifndef RECQUEUE_H
#define RECQUEUE_H

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

// One temperature frame on its way to the recording's file.
struct RecFrame
{
    std::vector<uint16_t> values;
    int width = 0;
    int height = 0;
    int64_t timeUs = 0;
};

// The frames between the temperature callback and the recording's writer
// thread. Bounded: when the writer falls behind (a slow disk, a busy core)
// new frames are dropped and counted rather than piling up in memory, and
// the callback never waits for the disk.
//
// Buffers are kept: a popped frame is swapped out for the caller's old
// buffer, which goes to a spare list that pushes take from. The writer
// prepares spares of the stream's size ahead (Prepare), so a push only
// copies: no allocation, no page touched for the first time.
//
// Threading model: Push on the stream thread, Pop on the writer thread,
// Close and the counters from anywhere.
class RecQueue
{
public:
    explicit RecQueue(size_t capacity);

    // Copies the frame in; false when the queue is full (the frame is
    // counted as dropped) or closed (not counted).
    bool Push(const uint16_t *values, int width, int height, int64_t timeUs);
    // Waits for the oldest frame and swaps it into `frame`, whose buffer
    // the queue keeps for a later push. False once closed and empty.
    bool Pop(RecFrame *frame);
    // Wakes the writer; frames already queued are still popped.
    void Close();
    // Adds spare buffers of `values` values until there are `buffers`,
    // allocated and touched on the caller's thread.
    void Prepare(size_t values, size_t buffers);

    size_t Capacity() const { return m_slots.size(); }
    // The most frames that waited at once.
    size_t HighWater() const;
    uint64_t Dropped() const;
    size_t Waiting() const;

private:
    mutable std::mutex m_mutex;  // Protects everything below.
    std::condition_variable m_ready;
    std::vector<RecFrame> m_slots;
    std::vector<std::vector<uint16_t>> m_spare;
    size_t m_head = 0;
    size_t m_count = 0;
    size_t m_highWater = 0;
    uint64_t m_dropped = 0;
    bool m_closed = false;
};

#endif // RECQUEUE_H
