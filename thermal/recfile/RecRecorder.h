#ifndef RECRECORDER_H
#define RECRECORDER_H

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "thermal/recfile/RecFile.h"
#include "thermal/recfile/RecQueue.h"

// Records a temperature stream into one file: the stream's callback hands
// each frame to OnFrame, which only stamps and queues it; a writer thread
// of the recorder's own encodes and writes.
//
// Threading model: Start, Stop and the counters on the user-interface
// thread; OnFrame on the stream's thread (never after Stop returns, which
// the caller ensures by leaving the stream first); the writer thread owns
// the RecWriter.
class RecRecorder
{
public:
    // Two seconds at 25 frames a second: a disk may stall that long.
    static constexpr size_t kQueueFrames = 50;
    // Buffers made ahead for the queue: beyond this many frames waiting a
    // push allocates (10 MB at 640x512).
    static constexpr size_t kSpareFrames = 8;

    explicit RecRecorder(size_t queueFrames = kQueueFrames);
    ~RecRecorder();
    RecRecorder(const RecRecorder &) = delete;
    RecRecorder &operator=(const RecRecorder &) = delete;

    // Creates the file and starts the writer; false (with the reason) when
    // the file cannot be created.
    bool Start(const std::string &path, const RecInfo &info, std::string *error);
    // Stream thread.
    void OnFrame(const uint16_t *values, int width, int height);
    // Writes what is queued, ends the file; false (with the reason) when
    // the file could not be finished or a write failed earlier.
    bool Stop(std::string *error);

    bool Running() const { return m_running; }
    const std::string &Path() const { return m_path; }
    int64_t FramesWritten() const { return m_frames; }
    int64_t BytesWritten() const { return m_bytes; }
    size_t HighWater() const { return m_queue ? m_queue->HighWater() : 0; }
    uint64_t Dropped() const { return (m_queue ? m_queue->Dropped() : 0) + m_refused; }
    // A write failed: the file holds what came before; the reason.
    bool Failed() const { return m_failed; }
    std::string Error() const;

    // Testing: the file's room, as on a nearly full disk.
    void SetSpaceLimit(uint64_t bytes) { m_writer.SetSpaceLimit(bytes); }

private:
    void WriterLoop();

    size_t m_queueFrames;
    std::unique_ptr<RecQueue> m_queue;
    RecWriter m_writer;  // writer thread only, while it runs
    std::thread m_thread;
    std::string m_path;
    RecInfo m_info;
    bool m_running = false;
    int m_frameRate = 25;
    std::atomic<int64_t> m_delivered{0};   // frames the stream handed over
    std::atomic<int64_t> m_startUtcMs{0};  // the first one's arrival
    std::atomic<int64_t> m_frames{0};
    std::atomic<int64_t> m_bytes{0};
    std::atomic<uint64_t> m_refused{0};  // frames the writer could not take
    std::atomic<bool> m_failed{false};
    mutable std::mutex m_errorMutex;  // Protects m_error.
    std::string m_error;
};

#endif // RECRECORDER_H
