// The frame producer of a channel: every reader shares one synthesis per
// tick, a channel nobody reads costs nothing, an armed alarm engine reads the
// thermal channel on its own, and a slow reader drops frames without holding
// the others back.

#include "alarms/AlarmEngine.h"
#include "base/SimClock.h"
#include "camera/FrameProducer.h"
#include "device/Device.h"
#include "device/Fleet.h"
#include "device/Session.h"
#include "streams/ChannelStream.h"

#include <QtTest>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace {

const char *const kPtz = "127.0.0.11";

// What one viewer received: tick times and a checksum of each frame.
struct Viewer {
    std::mutex mutex;
    std::vector<int64_t> ticks;
    std::vector<quint16> sums;
    const uint8_t *lastData = nullptr;

    std::vector<int64_t> takenTicks()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return ticks;
    }
};

void onFrame(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *frame, void *user)
{
    auto *viewer = static_cast<Viewer *>(user);
    {
        std::lock_guard<std::mutex> lock(viewer->mutex);
        viewer->ticks.push_back(sim::SimClock::instance().nowUs());
        viewer->sums.push_back(qChecksum(reinterpret_cast<const char *>(frame->data), uint(frame->width * 64)));
        viewer->lastData = frame->data;
    }
}

std::shared_ptr<sim::Session> login(const char *address = kPtz)
{
    TMV_NET_HANDLE handle = nullptr;
    if (sim::Fleet::instance().login(address, 80, "admin", "sensor852", &handle) != 0)
        return nullptr;
    return sim::Fleet::instance().session(handle);
}

// A reader slower than the frame rate, recording the tick of each frame.
class SlowReader : public sim::ChannelStream {
public:
    explicit SlowReader(sim::FrameProducer &producer) : ChannelStream(producer) {}
    ~SlowReader() override { stop(); }
    std::vector<int64_t> ticks()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return ticks_;
    }

protected:
    void onFrame(const sim::FramePtr &frame) override
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ticks_.push_back(frame->timeUs);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(120));  // three periods at 25 fps
    }

private:
    std::mutex mutex_;
    std::vector<int64_t> ticks_;
};

}  // namespace

class TestProducer : public QObject {
    Q_OBJECT
    sim::SimClock &clock_ = sim::SimClock::instance();

    sim::Device &ptz() { return *sim::Fleet::instance().device(kPtz); }

private slots:
    void initTestCase() { sim::Fleet::instance().init(); }
    void cleanupTestCase() { sim::Fleet::instance().deinit(); }
    void init()
    {
        sim::Fleet::instance().reset();
        clock_.pause();
    }
    void cleanup()
    {
        sim::Fleet::instance().reset();
        clock_.resume();
    }

    void twoViewersShareEverySynthesis()
    {
        auto first = login();
        auto second = login();
        QVERIFY(first && second);
        Viewer a, b;
        QCOMPARE(first->startPreview(0, onFrame, &a), 0);
        QCOMPARE(second->startPreview(0, onFrame, &b), 0);
        sim::FrameProducer &producer = ptz().producer(0);
        clock_.step(0);
        producer.resetStats();
        for (int tick = 0; tick < 25; ++tick)
            clock_.step(40000);
        const auto stats = producer.stats();
        QCOMPARE(stats.synthesised, 25);
        QCOMPARE(stats.delivered, 50);
        QCOMPARE(a.lastData, b.lastData);  // literally the same frame
        // A long step lets the two drift apart; they still see the same
        // pictures, every one of them.
        clock_.step(1000000);
        QCOMPARE(a.ticks.size(), size_t(51));
        QCOMPARE(a.sums, b.sums);
    }

    void aChannelNobodyReadsCostsNothing()
    {
        auto session = login();
        QVERIFY(session);
        Viewer viewer;
        QCOMPARE(session->startPreview(1, onFrame, &viewer), 0);  // the visible channel only
        clock_.step(1000000);
        QCOMPARE(ptz().producer(0).stats().synthesised, 0);
        QVERIFY(ptz().producer(1).stats().synthesised > 0);
        QCOMPARE(session->stopPreview(), 0);
        ptz().producer(1).resetStats();
        clock_.step(1000000);
        QCOMPARE(ptz().producer(1).stats().synthesised, 0);
    }

    void anArmedAlarmEngineReadsTheThermalChannel()
    {
        sim::AlarmEngine &alarms = ptz().alarms();
        const int64_t seen = alarms.framesSeen();
        alarms.setArmed(true);
        clock_.step(0);
        clock_.step(1000000);
        QCOMPARE(alarms.framesSeen() - seen, 26);
        QCOMPARE(ptz().producer(0).stats().synthesised, 26);
        alarms.setArmed(false);
        clock_.step(1000000);
        QCOMPARE(alarms.framesSeen() - seen, 26);
        QCOMPARE(ptz().producer(0).stats().synthesised, 26);
    }

    // In real time a reader slower than the frame rate skips to the newest
    // frame, and a fast reader of the same channel keeps its full rate.
    void aSlowViewerDropsFramesWithoutHoldingOthers()
    {
        clock_.resume();
        auto fastSession = login();
        QVERIFY(fastSession);
        SlowReader slow(ptz().producer(0));
        Viewer fast;
        slow.start();
        QCOMPARE(fastSession->startPreview(0, onFrame, &fast), 0);
        QTRY_VERIFY(slow.ticks().size() >= 6);
        QVERIFY(slow.stop());
        QCOMPARE(fastSession->stopPreview(), 0);
        const auto slowTicks = slow.ticks();
        for (size_t i = 1; i < slowTicks.size(); ++i)
            QVERIFY2(slowTicks[i] - slowTicks[i - 1] >= 80000, "the slow reader got a backlog frame");
        // Held back, the fast viewer would get no more frames than the slow one.
        QVERIFY2(fast.takenTicks().size() >= slowTicks.size() * 3 / 2, "the fast viewer was held back");
    }
};

QTEST_GUILESS_MAIN(TestProducer)
#include "tst_producer.moc"
