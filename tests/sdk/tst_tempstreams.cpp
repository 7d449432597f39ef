// The temperature and raw streams of the simulated devices: pacing on the
// simulation clock, sizes per device, values that agree with the device's own
// readings, the detector's fixed pattern and its correction, and the stop
// guarantees shared with the preview.

#include "SimFixture.h"

#include <QtTest>
#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

namespace {

enum class Kind { Temp, Raw };

// What a client keeps of the frames of one stream.
struct Sink {
    std::mutex mutex;
    int frames = 0;
    int width = 0, height = 0;
    int channel = -1;
    std::vector<quint16> last;
    bool stopFromCallback = false;
    int stopStatus = -1;
    Kind kind = Kind::Temp;
    TMV_NET_HANDLE handle = nullptr;

    int count()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return frames;
    }
    std::vector<quint16> values()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return last;
    }
};

int stopStream(Kind kind, TMV_NET_HANDLE handle)
{
    return kind == Kind::Temp ? TMV_NET_StopPullTemp(handle) : TMV_NET_StopPullNucData(handle);
}

void take(Sink *sink, const uint16_t *data, int width, int height)
{
    bool stop;
    {
        std::lock_guard<std::mutex> lock(sink->mutex);
        ++sink->frames;
        sink->width = width;
        sink->height = height;
        sink->last.assign(data, data + size_t(width) * size_t(height));
        stop = sink->stopFromCallback;
    }
    if (stop) {
        const int status = stopStream(sink->kind, sink->handle);
        std::lock_guard<std::mutex> lock(sink->mutex);
        sink->stopStatus = status;
        sink->stopFromCallback = false;
    }
}

void onTemp(TMV_NET_HANDLE, const TMV_NET_TEMP_FRAME *frame, int32_t channel, void *user)
{
    auto *sink = static_cast<Sink *>(user);
    {
        std::lock_guard<std::mutex> lock(sink->mutex);
        sink->channel = channel;
    }
    take(sink, frame->data, frame->width, frame->height);
}

void onRaw(TMV_NET_HANDLE, const uint16_t *data, int32_t width, int32_t height, void *user)
{
    take(static_cast<Sink *>(user), data, width, height);
}

int startStream(Kind kind, TMV_NET_HANDLE handle, Sink *sink)
{
    sink->kind = kind;
    sink->handle = handle;
    return kind == Kind::Temp ? TMV_NET_StartPullTemp_V2(handle, onTemp, sink)
                              : TMV_NET_StartPullNucData(handle, onRaw, sink);
}

double deciKelvinToC(quint16 v)
{
    return v / 10.0 - 273.15;
}

// The 0..8191 picture coordinate of a pixel's centre.
int32_t pictureOf(int pixel, int size)
{
    return int32_t((2 * qint64(pixel) + 1) * 8192 / (2 * qint64(size)));
}

// Horizontal neighbours that see the same temperature, and how many of
// them the raw frame shows differently; and neighbours whose raw order goes
// against their temperature order.
struct PatternCount {
    int equalPairs = 0;
    int differingRaw = 0;
    int inverted = 0;
};

PatternCount comparePairs(const std::vector<quint16> &temp, const std::vector<quint16> &raw, int width)
{
    PatternCount c;
    for (size_t i = 0; i + 1 < temp.size(); ++i) {
        if (int((i + 1) % size_t(width)) == 0)
            continue;  // the next pixel starts another row
        if (temp[i] == temp[i + 1]) {
            ++c.equalPairs;
            if (raw[i] != raw[i + 1])
                ++c.differingRaw;
        } else if ((temp[i] < temp[i + 1]) != (raw[i] <= raw[i + 1])) {
            ++c.inverted;
        }
    }
    return c;
}

}  // namespace

Q_DECLARE_METATYPE(Kind)

class TestTempStreams : public QObject {
    Q_OBJECT
    TMV_NET_HANDLE handle_ = nullptr;

private slots:
    void cleanupTestCase() { TMV_NET_Deinit(); }
    void init()
    {
        SimFixture::reset();
        TMVSim_ClockPause();
        handle_ = SimFixture::login(SimFixture::kPtzCamera);
        QVERIFY(handle_);
    }
    void cleanup()
    {
        TMV_NET_Logout(handle_);
        TMVSim_ClockResume();
    }

    // One value per pixel of the thermal picture on every device, and the
    // hottest of them is what the device reports as the frame's maximum.
    void framesPerDevice_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("ptz") << SimFixture::kPtzCamera << 640 << 512;
        QTest::newRow("fixed") << SimFixture::kFixedCamera << 640 << 512;
        QTest::newRow("panoramic strip") << SimFixture::kPanoramicCamera << 2880 << 480;
    }
    void framesPerDevice()
    {
        QFETCH(QString, ip);
        QFETCH(int, width);
        QFETCH(int, height);
        TMV_NET_HANDLE handle = SimFixture::login(ip.toLatin1());
        QVERIFY(handle);
        Sink temp, raw;
        QCOMPARE(startStream(Kind::Temp, handle, &temp), 0);
        QCOMPARE(startStream(Kind::Raw, handle, &raw), 0);
        TMVSim_ClockStep(0);
        QCOMPARE(temp.count(), 1);
        QCOMPARE(raw.count(), 1);
        QCOMPARE(temp.width, width);
        QCOMPARE(temp.height, height);
        QCOMPARE(temp.channel, 0);
        QCOMPARE(raw.width, width);
        QCOMPARE(raw.height, height);
        QCOMPARE(int(raw.values().size()), width * height);

        const std::vector<quint16> values = temp.values();
        TMV_NET_TEMP_INFO info{};
        QCOMPARE(TMV_NET_QueryFrameTemp(handle, &info), 0);
        const quint16 hottest = *std::max_element(values.begin(), values.end());
        QVERIFY2(std::fabs(deciKelvinToC(hottest) - info.maxTemp) < 0.01,
                 qPrintable(QStringLiteral("%1 vs %2").arg(deciKelvinToC(hottest)).arg(info.maxTemp)));
        // The device places the maximum in the 0..8191 picture space.
        const int maxX = int(qint64(info.maxX) * width / 8192), maxY = int(qint64(info.maxY) * height / 8192);
        QCOMPARE(values[size_t(maxY) * size_t(width) + size_t(maxX)], hottest);

        QCOMPARE(TMV_NET_StopPullTemp(handle), 0);
        QCOMPARE(TMV_NET_StopPullNucData(handle), 0);
        QCOMPARE(TMV_NET_Logout(handle), 0);
    }

    // A pixel's value is the temperature the device reads at that point.
    void valueMatchesPointReading_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::newRow("corner") << 0 << 0;
        QTest::newRow("centre") << 320 << 256;
        QTest::newRow("last pixel") << 639 << 511;
        QTest::newRow("off centre") << 123 << 401;
    }
    void valueMatchesPointReading()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        Sink sink;
        QCOMPARE(startStream(Kind::Temp, handle_, &sink), 0);
        TMVSim_ClockStep(0);
        TMVSim_ClockStep(200);  // the world has moved on from the first frame
        const std::vector<quint16> values = sink.values();
        QCOMPARE(int(values.size()), 640 * 512);
        const TMV_NET_POINT point{pictureOf(x, 640), pictureOf(y, 512)};
        float reading = 0;
        QCOMPARE(TMV_NET_QueryRandomTemp(handle_, &point, &reading), 0);
        QVERIFY(std::fabs(deciKelvinToC(values[size_t(y) * 640 + size_t(x)]) - reading) < 0.01);
        QCOMPARE(TMV_NET_StopPullTemp(handle_), 0);
    }

    void pacedByTheClock_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::newRow("temperature") << Kind::Temp;
        QTest::newRow("raw") << Kind::Raw;
    }
    void pacedByTheClock()
    {
        QFETCH(Kind, kind);
        Sink sink;
        QCOMPARE(startStream(kind, handle_, &sink), 0);
        TMVSim_ClockStep(0);
        QCOMPARE(sink.count(), 1);  // the first frame at once
        const std::vector<quint16> first = sink.values();
        TMVSim_ClockStep(1000);
        QCOMPARE(sink.count(), 26);  // 25 fps
        QVERIFY(sink.values() != first);  // the world moves
        QCOMPARE(TMVSim_SetFrameRate(SimFixture::kPtzCamera, 0, 50), 0);
        TMVSim_ClockStep(1000);
        QVERIFY(qAbs(sink.count() - 76) <= 1);
        QCOMPARE(stopStream(kind, handle_), 0);
    }

    // Neighbours that see the same temperature read differently on the raw
    // stream unless the device corrects its detector; either way the raw
    // counts rise with temperature where the pattern cannot reorder them.
    void correctionRemovesTheFixedPattern_data()
    {
        QTest::addColumn<int>("correction");
        QTest::newRow("corrected") << 1;
        QTest::newRow("uncorrected") << 0;
    }
    void correctionRemovesTheFixedPattern()
    {
        QFETCH(int, correction);
        QCOMPARE(TMV_NET_SetPullTempExecParam(handle_, 1 - correction), 0);
        Sink temp, raw;
        QCOMPARE(startStream(Kind::Temp, handle_, &temp), 0);
        QCOMPARE(startStream(Kind::Raw, handle_, &raw), 0);
        TMVSim_ClockStep(0);
        // The setting as last sent counts, also while the stream runs.
        QCOMPARE(TMV_NET_SetPullTempExecParam(handle_, correction), 0);
        TMVSim_ClockStep(40);
        QCOMPARE(temp.count(), 2);
        QCOMPARE(raw.count(), 2);
        const PatternCount c = comparePairs(temp.values(), raw.values(), 640);
        QVERIFY2(c.equalPairs > 1000, qPrintable(QString::number(c.equalPairs)));
        if (correction) {
            QCOMPARE(c.differingRaw, 0);
            QCOMPARE(c.inverted, 0);
        } else {
            QVERIFY2(c.differingRaw > c.equalPairs * 9 / 10,
                     qPrintable(QStringLiteral("%1 of %2").arg(c.differingRaw).arg(c.equalPairs)));
        }
        QCOMPARE(TMV_NET_StopPullTemp(handle_), 0);
        QCOMPARE(TMV_NET_StopPullNucData(handle_), 0);
    }

    void invalidRequests_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<bool>("validHandle");
        QTest::addColumn<int>("status");
        QTest::newRow("temp without callback") << "temp" << true << 3;
        QTest::newRow("raw without callback") << "raw" << true << 3;
        QTest::newRow("correction 2") << "correction 2" << true << 3;
        QTest::newRow("correction -1") << "correction -1" << true << 3;
        QTest::newRow("temp, unknown handle") << "temp" << false << 1;
        QTest::newRow("correction, unknown handle") << "correction 1" << false << 1;
    }
    void invalidRequests()
    {
        QFETCH(QString, call);
        QFETCH(bool, validHandle);
        QFETCH(int, status);
        TMV_NET_HANDLE handle = validHandle ? handle_ : reinterpret_cast<TMV_NET_HANDLE>(uintptr_t(0xdead));
        int result = -1;
        if (call == QLatin1String("temp"))
            result = TMV_NET_StartPullTemp_V2(handle, validHandle ? nullptr : onTemp, nullptr);
        else if (call == QLatin1String("raw"))
            result = TMV_NET_StartPullNucData(handle, nullptr, nullptr);
        else
            result = TMV_NET_SetPullTempExecParam(handle, call.section(' ', 1).toInt());
        QCOMPARE(result, status);
        QCOMPARE(TMV_NET_StopPullTemp(handle_), 1);  // nothing was started
        QCOMPARE(TMV_NET_StopPullNucData(handle_), 1);
    }

    // Measurement switched off leaves the device without temperatures: the
    // temperature stream pauses, the detector's raw counts go on.
    void measurementOffPausesTheTemperatures()
    {
        Sink temp, raw;
        QCOMPARE(startStream(Kind::Temp, handle_, &temp), 0);
        QCOMPARE(startStream(Kind::Raw, handle_, &raw), 0);
        TMVSim_ClockStep(0);
        QCOMPARE(TMV_NET_SetTempEnable(handle_, 0), 0);
        TMVSim_ClockStep(200);
        QCOMPARE(temp.count(), 1);
        QCOMPARE(raw.count(), 6);
        QCOMPARE(TMV_NET_SetTempEnable(handle_, 1), 0);
        TMVSim_ClockStep(40);
        QCOMPARE(temp.count(), 2);
        QCOMPARE(TMV_NET_StopPullTemp(handle_), 0);
        QCOMPARE(TMV_NET_StopPullNucData(handle_), 0);
    }

    // The preview's guarantees, for each stream: one per login, nothing
    // after a stop or a logout returns, a stop from the stream's own
    // callback answers 1 and ends the stream after that callback.
    // The temperature stream is opened from two tabs of the client: a second
    // start takes it over with the new callback, and one stop ends it.
    void secondTemperatureStartTakesOver()
    {
        Sink first, second;
        QCOMPARE(startStream(Kind::Temp, handle_, &first), 0);
        TMVSim_ClockStep(0);
        QCOMPARE(startStream(Kind::Temp, handle_, &second), 0);
        const int firstFrames = first.count();
        TMVSim_ClockStep(200);
        QCOMPARE(first.count(), firstFrames);
        QVERIFY(second.count() >= 5);
        QCOMPARE(stopStream(Kind::Temp, handle_), 0);
        QCOMPARE(stopStream(Kind::Temp, handle_), 1);
    }

    void stopContract_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::newRow("temperature") << Kind::Temp;
        QTest::newRow("raw") << Kind::Raw;
    }
    void stopContract()
    {
        QFETCH(Kind, kind);
        Sink sink;
        QCOMPARE(startStream(kind, handle_, &sink), 0);
        if (kind == Kind::Raw)
            QCOMPARE(startStream(kind, handle_, &sink), 1);  // one per login
        TMVSim_ClockStep(0);
        TMVSim_ClockStep(80);
        QCOMPARE(sink.count(), 3);
        QCOMPARE(stopStream(kind, handle_), 0);
        QCOMPARE(stopStream(kind, handle_), 1);
        TMVSim_ClockStep(400);
        QCOMPARE(sink.count(), 3);

        {
            std::lock_guard<std::mutex> lock(sink.mutex);
            sink.stopFromCallback = true;
        }
        QCOMPARE(startStream(kind, handle_, &sink), 0);
        TMVSim_ClockStep(0);
        TMVSim_ClockStep(400);
        QCOMPARE(sink.stopStatus, 1);
        QCOMPARE(sink.count(), 4);  // the stream ended after that callback
        QCOMPARE(startStream(kind, handle_, &sink), 0);  // and can start again
        TMVSim_ClockStep(40);
        QVERIFY(sink.count() >= 5);

        QCOMPARE(TMV_NET_Logout(handle_), 0);  // ends it too
        const int frames = sink.count();
        TMVSim_ClockStep(400);
        QCOMPARE(sink.count(), frames);
        QCOMPARE(stopStream(kind, handle_), 1);  // the login is gone
        handle_ = SimFixture::login(SimFixture::kPtzCamera);
    }
};

QTEST_GUILESS_MAIN(TestTempStreams)
#include "tst_tempstreams.moc"
