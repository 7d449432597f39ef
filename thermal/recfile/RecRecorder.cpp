#include "thermal/recfile/RecRecorder.h"

#include <algorithm>
#include <chrono>

namespace {

int64_t UtcMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

RecRecorder::RecRecorder(size_t queueFrames) : m_queueFrames(queueFrames)
{
}

RecRecorder::~RecRecorder()
{
    Stop(nullptr);
}

bool RecRecorder::Start(const std::string &path, const RecInfo &info, std::string *error)
{
    if (m_running)
        Stop(nullptr);
    m_path = path;
    m_info = info;
    m_frames = 0;
    m_bytes = 0;
    m_refused = 0;
    m_failed = false;
    m_delivered = 0;
    m_startUtcMs = 0;
    m_frameRate = info.frameRate;
    {
        std::lock_guard<std::mutex> lock(m_errorMutex);
        m_error.clear();
    }
    if (!m_writer.Open(path, info, error))
        return false;
    m_queue.reset(new RecQueue(m_queueFrames));
    m_running = true;
    m_thread = std::thread(&RecRecorder::WriterLoop, this);
    return true;
}

void RecRecorder::OnFrame(const uint16_t *values, int width, int height)
{
    // The temperature record carries no time of its own. The device sends
    // its frames at its frame rate, so each delivered frame is one period
    // after the last: frame times keep the device's cadence, and a frame
    // dropped here leaves its gap, where arrival times would carry the
    // jitter of this machine's scheduling.
    const int64_t n = m_delivered.fetch_add(1);
    if (n == 0)
        m_startUtcMs = UtcMs();
    if (m_queue && values && width > 0 && height > 0)
        m_queue->Push(values, width, height, n * 1000000 / std::max(m_frameRate, 1));
}

void RecRecorder::WriterLoop()
{
    RecFrame frame;
    bool writing = true;
    while (m_queue->Pop(&frame)) {
        if (!writing) {
            ++m_refused;  // after a failed write: drained, not written
            continue;
        }
        if (m_writer.Frames() == 0) {
            // Room for a burst, so the callback never allocates.
            m_queue->Prepare(frame.values.size(), kSpareFrames);
            m_writer.SetStartUtc(m_startUtcMs.load() + frame.timeUs / 1000);
        }
        std::string error;
        if (!m_writer.Write(frame.values.data(), frame.width, frame.height, frame.timeUs, &error)) {
            if (!m_writer.IsOpen() || m_writer.Frames() == 0 || error != "a frame of another size") {
                writing = false;
                m_failed = true;
                std::lock_guard<std::mutex> lock(m_errorMutex);
                m_error = error;
            }
            ++m_refused;
            continue;
        }
        m_frames = m_writer.Frames();
        m_bytes = m_writer.Bytes();
    }
}

bool RecRecorder::Stop(std::string *error)
{
    if (!m_running)
        return true;
    m_queue->Close();
    m_thread.join();
    m_running = false;
    std::string finishError;
    const bool finished = m_writer.Finish(int64_t(m_queue->HighWater()), int64_t(Dropped()), &finishError);
    m_bytes = m_writer.Bytes();
    if (m_failed) {
        if (error)
            *error = Error();
        return false;
    }
    if (!finished) {
        m_failed = true;
        std::lock_guard<std::mutex> lock(m_errorMutex);
        m_error = finishError;
        if (error)
            *error = finishError;
        return false;
    }
    return true;
}

std::string RecRecorder::Error() const
{
    std::lock_guard<std::mutex> lock(m_errorMutex);
    return m_error;
}
