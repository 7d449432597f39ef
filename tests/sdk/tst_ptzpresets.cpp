// Presets and the positioning on the picture, through the library: the slot
// list, the preset actions, a move to a preset bringing the stored picture
// back, and devices whose head cannot turn.

#include "PreviewSink.h"
#include "PtzLoginFixture.h"
#include "SimFixture.h"

#include <QtTest>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

constexpr int kSlots = 16;
constexpr uint8_t kUntouched = 0xAB;

TMV_NET_PRESET_INFO preset(int id, const char *name = "")
{
    TMV_NET_PRESET_INFO p;
    std::memset(&p, 0, sizeof p);
    p.enable = 1;
    p.id = id;
    std::strncpy(p.name, name, sizeof p.name - 1);
    return p;
}

// A 3D position whose rectangle has the picture's own shape, so the head
// turns by `dx` picture widths without zooming.
TMV_NET_PTZ_3D_POSITION turnBy(int channel, double dx)
{
    const int cx = int((0.5 + dx) * 8192);
    return TMV_NET_PTZ_3D_POSITION{channel, cx - 4096, 0, cx + 4096, 8192};
}

}  // namespace

class TestPtzPresets : public QObject {
    Q_OBJECT
    PtzLoginFixture session_;

    // The list as the device gives it for `capacity` slots, over an array
    // marked untouched; `count` receives the reported count.
    std::vector<TMV_NET_PRESET_INFO> list(int capacity, int32_t *count, int32_t *status)
    {
        std::vector<TMV_NET_PRESET_INFO> out(size_t(capacity) + 4);
        std::memset(out.data(), kUntouched, out.size() * sizeof out[0]);
        *count = 0;
        *status = TMV_NET_QueryPtzPreset(session_.handle(), capacity ? out.data() : nullptr, capacity, count);
        return out;
    }

private slots:
    void cleanupTestCase() { TMV_NET_Deinit(); }
    void init() { QVERIFY(session_.open()); }
    void cleanup() { session_.close(); }

    void slotsListedInIdOrder_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<int>("slotCount");
        QTest::newRow("ptz camera") << SimFixture::kPtzCamera << kSlots;
        QTest::newRow("fixed camera: no head") << SimFixture::kFixedCamera << 0;
        QTest::newRow("panoramic camera: no head") << SimFixture::kPanoramicCamera << 0;
    }
    void slotsListedInIdOrder()
    {
        QFETCH(QString, ip);
        QFETCH(int, slotCount);
        QVERIFY(session_.relogin(ip.toLatin1()));
        int32_t size = -1;
        QCOMPARE(TMV_NET_QueryPtzPresetSize(session_.handle(), &size), 0);
        QCOMPARE(size, slotCount);
        int32_t count = -1, status = -1;
        const auto presets = list(size, &count, &status);
        QCOMPARE(status, 0);
        QCOMPARE(count, slotCount);
        for (int i = 0; i < slotCount; ++i) {
            QCOMPARE(int(presets[size_t(i)].enable), 0);
            QCOMPARE(presets[size_t(i)].id, i + 1);
            QCOMPARE(presets[size_t(i)].name[0], '\0');
        }
    }

    // The list never writes past the capacity, and an over-reporting device
    // reports more than it wrote.
    void listKeepsToTheCapacity_data()
    {
        QTest::addColumn<int>("capacity");
        QTest::addColumn<int>("overReport");
        QTest::addColumn<int>("reported");
        QTest::newRow("fewer than the slots") << 5 << 0 << 5;
        QTest::newRow("more than the slots") << kSlots + 3 << 0 << kSlots;
        QTest::newRow("capacity 0, no array") << 0 << 0 << 0;
        QTest::newRow("over-reported") << 5 << 3 << 8;
    }
    void listKeepsToTheCapacity()
    {
        QFETCH(int, capacity);
        QFETCH(int, overReport);
        QFETCH(int, reported);
        if (overReport)
            TMVSim_OverReportCount("TMV_NET_QueryPtzPreset", overReport);
        int32_t count = -1, status = -1;
        const auto presets = list(capacity, &count, &status);
        QCOMPARE(status, 0);
        QCOMPARE(count, reported);
        const int written = qMin(capacity, kSlots);
        for (int i = 0; i < written; ++i)
            QCOMPARE(presets[size_t(i)].id, i + 1);
        const auto *rest = reinterpret_cast<const uint8_t *>(presets.data() + written);
        for (size_t b = 0; b < (presets.size() - size_t(written)) * sizeof presets[0]; ++b)
            QCOMPARE(rest[b], kUntouched);
    }

    void presetActions_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("nameWithoutNul");
        QTest::addColumn<int>("status");
        QTest::newRow("store") << 0 << 4 << false << 0;
        QTest::newRow("rename an empty slot") << 1 << 4 << false << 0;
        QTest::newRow("move to an empty slot") << 2 << 4 << false << 1;
        QTest::newRow("delete") << 3 << 4 << false << 0;
        QTest::newRow("delete all, record unfilled") << 4 << 0 << true << 0;
        QTest::newRow("id 0") << 0 << 0 << false << 3;
        QTest::newRow("id past the slots") << 0 << kSlots + 1 << false << 3;
        QTest::newRow("unknown action") << 5 << 4 << false << 3;
        QTest::newRow("store, name without NUL") << 0 << 4 << true << 3;
        QTest::newRow("rename, name without NUL") << 1 << 4 << true << 3;
    }
    void presetActions()
    {
        QFETCH(int, action);
        QFETCH(int, id);
        QFETCH(bool, nameWithoutNul);
        QFETCH(int, status);
        TMV_NET_PRESET_INFO p = preset(id, "gate");
        if (nameWithoutNul)
            std::memset(p.name, 'x', sizeof p.name);
        QCOMPARE(TMV_NET_PtzPresetControl(session_.handle(), action, &p), status);
        QCOMPARE(TMV_NET_PtzPresetControl(session_.handle(), 0, nullptr), 3);
    }

    void listFollowsTheActions()
    {
        TMV_NET_PRESET_INFO gate = preset(3, "gate");
        TMV_NET_PRESET_INFO yard = preset(5, "yard");
        QCOMPARE(TMV_NET_PtzPresetControl(session_.handle(), 1, &gate), 0);  // rename before store, as the page does
        QCOMPARE(TMV_NET_PtzPresetControl(session_.handle(), 0, &gate), 0);
        QCOMPARE(TMV_NET_PtzPresetControl(session_.handle(), 0, &yard), 0);
        int32_t count = 0, status = -1;
        auto presets = list(kSlots, &count, &status);
        QCOMPARE(count, kSlots);
        QCOMPARE(int(presets[2].enable), 1);
        QCOMPARE(QByteArray(presets[2].name), QByteArray("gate"));
        QCOMPARE(int(presets[4].enable), 1);
        QCOMPARE(QByteArray(presets[4].name), QByteArray("yard"));
        QCOMPARE(int(presets[3].enable), 0);

        QCOMPARE(TMV_NET_PtzPresetControl(session_.handle(), 3, &gate), 0);
        presets = list(kSlots, &count, &status);
        QCOMPARE(int(presets[2].enable), 0);
        QCOMPARE(presets[2].name[0], '\0');
        QCOMPARE(int(presets[4].enable), 1);

        TMV_NET_PRESET_INFO unfilled;
        std::memset(&unfilled, 0x5A, sizeof unfilled);
        QCOMPARE(TMV_NET_PtzPresetControl(session_.handle(), 4, &unfilled), 0);
        presets = list(kSlots, &count, &status);
        for (int i = 0; i < kSlots; ++i)
            QCOMPARE(int(presets[size_t(i)].enable), 0);
    }

    // Store, turn away (3D position), move back: once arrived, the picture
    // is the stored one again. The visible channel has no sensor grain, and the head looks
    // at a part of the world where nothing moves.
    void moveToBringsTheStoredPictureBack()
    {
        PreviewSink sink;
        TMV_NET_PREVIEW_INFO info{1, 0, 2};
        QCOMPARE(TMV_NET_StartPreview_V2(session_.handle(), &info, PreviewSink::onFrame, &sink), 0);
        SimFixture::stepClock(0);
        const QByteArray home = sink.pixels();
        QVERIFY(!home.isEmpty());

        // From pan 45 to about pan 320: buildings and trees, nobody passing.
        const TMV_NET_PTZ_3D_POSITION quiet = turnBy(1, -85.0 / 60.0);
        QCOMPARE(TMV_NET_Ptz3DPosition(session_.handle(), &quiet), 0);
        TMV_NET_PRESET_INFO p = preset(1, "quiet");
        QCOMPARE(TMV_NET_PtzPresetControl(session_.handle(), 0, &p), 0);
        SimFixture::stepClock(40);
        const QByteArray stored = sink.pixels();
        QVERIFY(stored != home);

        const TMV_NET_PTZ_3D_POSITION away{1, 6000, 1000, 7000, 2000};
        QCOMPARE(TMV_NET_Ptz3DPosition(session_.handle(), &away), 0);
        SimFixture::stepClock(40);
        QVERIFY(sink.pixels() != stored);

        // The head travels back at its top speed: well under 10 s for any
        // turn.
        QCOMPARE(TMV_NET_PtzPresetControl(session_.handle(), 2, &p), 0);
        SimFixture::stepClock(10000);
        QVERIFY(sink.pixels() == stored);
        QCOMPARE(TMV_NET_StopPreview(session_.handle()), 0);
    }

    void positioningOnThePicture_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("stop");
        QTest::addColumn<int>("status");  // of 3D position, region focus, manual track
        QTest::newRow("ptz camera, thermal") << SimFixture::kPtzCamera << 0 << 0 << 0;
        QTest::newRow("ptz camera, visible") << SimFixture::kPtzCamera << 1 << 0 << 0;
        QTest::newRow("ptz camera, no such channel") << SimFixture::kPtzCamera << 2 << 0 << 3;
        QTest::newRow("ptz camera, stop 7") << SimFixture::kPtzCamera << 0 << 7 << 3;
        QTest::newRow("fixed camera") << SimFixture::kFixedCamera << 0 << 0 << 2;
        QTest::newRow("panoramic camera") << SimFixture::kPanoramicCamera << 0 << 0 << 2;
    }
    void positioningOnThePicture()
    {
        QFETCH(QString, ip);
        QFETCH(int, channel);
        QFETCH(int, stop);
        QFETCH(int, status);
        QVERIFY(session_.relogin(ip.toLatin1()));
        const TMV_NET_PTZ_REGION region{channel, 1000, 1000, 3000, 2500, stop};
        QCOMPARE(TMV_NET_PtzManualTrack(session_.handle(), &region), status);
        QCOMPARE(TMV_NET_PtzRegionFocus(session_.handle(), &region), status);
        if (stop == 0) {
            const TMV_NET_PTZ_3D_POSITION position{channel, 1000, 1000, 3000, 2500};
            QCOMPARE(TMV_NET_Ptz3DPosition(session_.handle(), &position), status);
        }
        const TMV_NET_PTZ_REGION end{channel, 0, 0, 0, 0, 1};
        QCOMPARE(TMV_NET_PtzManualTrack(session_.handle(), &end), status == 2 || channel > 1 ? status : 0);
        QCOMPARE(TMV_NET_Ptz3DPosition(session_.handle(), nullptr), 3);
        TMV_NET_PRESET_INFO p = preset(1);
        QCOMPARE(TMV_NET_PtzPresetControl(session_.handle(), 0, &p), status == 2 ? 2 : 0);
    }
};

QTEST_GUILESS_MAIN(TestPtzPresets)
#include "tst_ptzpresets.moc"
