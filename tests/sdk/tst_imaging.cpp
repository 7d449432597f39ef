// Imaging and thermal settings through the library on the stepped clock:
// what each setting does to the live picture and to the temperatures the
// device reports, and the values the device refuses.

#include "SimFixture.h"

#include <QtTest>
#include <cmath>
#include <cstring>
#include <mutex>

namespace {

struct Sink {
    std::mutex mutex;
    QByteArray last;
    int width = 0;
    int height = 0;
    int frames = 0;

    QByteArray pixels()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return last;
    }
    int count()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return frames;
    }
};

void onFrame(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *frame, void *user)
{
    auto *sink = static_cast<Sink *>(user);
    std::lock_guard<std::mutex> lock(sink->mutex);
    sink->width = frame->width;
    sink->height = frame->height;
    sink->last = QByteArray(reinterpret_cast<const char *>(frame->data), frame->width * frame->height * 4);
    ++sink->frames;
}

// Share of the picture's pixels whose red and blue differ: 0 for a grey
// palette.
double colourfulShare(const QByteArray &rgba)
{
    int colourful = 0, n = 0;
    for (int i = 0; i + 3 < rgba.size(); i += 4 * 7, ++n) {
        if (std::abs(int(uint8_t(rgba[i])) - int(uint8_t(rgba[i + 2]))) > 8)
            ++colourful;
    }
    return n ? double(colourful) / n : 0.0;
}

// Near-white pixels inside a rectangle: OSD text is white, the "Lava"
// palette never is (its blue stays below 81).
int whitePixels(const QByteArray &rgba, int width, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const int i = (y * width + x) * 4;
            if (uint8_t(rgba[i]) > 200 && uint8_t(rgba[i + 1]) > 200 && uint8_t(rgba[i + 2]) > 200)
                ++n;
        }
    return n;
}

}  // namespace

class TestImaging : public QObject {
    Q_OBJECT
    TMV_NET_HANDLE handle_ = nullptr;
    Sink sink_;

    void startPreview()
    {
        TMV_NET_PREVIEW_INFO info{0, 0, 2};
        QCOMPARE(TMV_NET_StartPreview_V2(handle_, &info, onFrame, &sink_), 0);
        SimFixture::stepClock(0);
    }

    // The live frame after one more frame interval.
    QByteArray nextFrame(int ms = 40)
    {
        SimFixture::stepClock(ms);
        return sink_.pixels();
    }

    TMV_NET_TEMP_INFO frameTemp()
    {
        TMV_NET_TEMP_INFO info{};
        const int32_t status = TMV_NET_QueryFrameTemp(handle_, &info);
        if (status != 0)
            qWarning("QueryFrameTemp: %d", status);
        return info;
    }

private slots:
    void cleanupTestCase() { TMV_NET_Deinit(); }
    void init()
    {
        SimFixture::reset();
        SimFixture::pauseClock();
        handle_ = SimFixture::login(SimFixture::kPtzCamera);
        QVERIFY(handle_);
        std::lock_guard<std::mutex> lock(sink_.mutex);
        sink_.last.clear();
        sink_.frames = 0;
    }
    void cleanup()
    {
        TMV_NET_StopPreview(handle_);
        TMV_NET_Logout(handle_);
        SimFixture::resumeClock();
    }

    // "White Hot" is grey; "Iron" colours the same scene.
    void paletteChangesTheColours()
    {
        startPreview();
        QCOMPARE(TMV_NET_SetPalleteType(handle_, 0), 0);
        const double grey = colourfulShare(nextFrame());
        QCOMPARE(TMV_NET_SetPalleteType(handle_, 4), 0);
        const double iron = colourfulShare(nextFrame());
        QCOMPARE(grey, 0.0);
        QVERIFY2(iron > 0.5, qPrintable(QString::number(iron)));
        int32_t type = -1;
        QCOMPARE(TMV_NET_GetPalleteType(handle_, &type), 0);
        QCOMPARE(type, 4);
    }

    // The unit changes what the device reports, not what it measures; the
    // environment's temperatures keep their meaning across the change.
    void unitChangesReportedTemperatures()
    {
        const TMV_NET_TEMP_INFO c = frameTemp();
        QCOMPARE(TMV_NET_SetTempUnit(handle_, 1), 0);
        const TMV_NET_TEMP_INFO f = frameTemp();
        QVERIFY(qAbs(f.maxTemp - (c.maxTemp * 9 / 5 + 32)) < 0.01f);
        QVERIFY(qAbs(f.avgTemp - (c.avgTemp * 9 / 5 + 32)) < 0.01f);
        TMV_NET_ENV_PARAM env{};
        QCOMPARE(TMV_NET_GetEnvParam(handle_, &env), 0);
        QCOMPARE(env.atmosTemp, 77.0f);  // the factory 25 C
        QCOMPARE(TMV_NET_SetTempUnit(handle_, 2), 0);
        QVERIFY(qAbs(frameTemp().maxTemp - (c.maxTemp + 273.15f)) < 0.01f);
    }

    // A target warmer than its surroundings reads hotter at a lower
    // emissivity; the factory environment changes nothing.
    void environmentChangesMeasuredTemperatures()
    {
        const TMV_NET_TEMP_INFO before = frameTemp();
        TMV_NET_ENV_PARAM env{};
        QCOMPARE(TMV_NET_GetEnvParam(handle_, &env), 0);
        env.emissivity = 0.5f;
        env.refTemp = 0.0f;
        QCOMPARE(TMV_NET_SetEnvParam(handle_, &env), 0);
        const TMV_NET_TEMP_INFO after = frameTemp();
        QVERIFY2(after.maxTemp > before.maxTemp + 10.0f,
                 qPrintable(QStringLiteral("%1 -> %2").arg(before.maxTemp).arg(after.maxTemp)));
        env.emissivity = 0.0f;
        QCOMPARE(TMV_NET_SetEnvParam(handle_, &env), 3);
    }

    // A channel title is drawn where it is put; the OSD master switch hides
    // it and the whole OSD.
    void channelTitleIsDrawnAndHidden()
    {
        startPreview();
        QCOMPARE(TMV_NET_SetPalleteType(handle_, 5), 0);  // Lava: nothing white
        const int x0 = 100, y0 = 120, x1 = 300, y1 = 150;
        QCOMPARE(whitePixels(nextFrame(), sink_.width, x0, y0, x1, y1), 0);

        TMV_NET_OSD_CHANNEL_TITLE_INFO title;
        std::memset(&title, 0, sizeof title);
        title.enable = 1;
        std::strcpy(title.title, "Gate 3 North");
        title.top = y0;
        title.left = x0;
        QCOMPARE(TMV_NET_SetOSDChannelTitleInfo(handle_, 0, &title), 0);
        const QByteArray shown = nextFrame();
        QVERIFY2(whitePixels(shown, sink_.width, x0, y0, x1, y1) > 100,
                 qPrintable(QString::number(whitePixels(shown, sink_.width, x0, y0, x1, y1))));
        QCOMPARE(whitePixels(shown, sink_.width, 0, 0, sink_.width, y0 - 1), 0);

        TMV_NET_OSD_CHANNEL_TITLE_INFO read;
        QCOMPARE(TMV_NET_GetOSDChannelTitleInfo(handle_, 0, &read), 0);
        QCOMPARE(QString::fromUtf8(read.title), QStringLiteral("Gate 3 North"));
        QCOMPARE(read.left, x0);

        QCOMPARE(TMV_NET_SetOSDState(handle_, 2), 0);
        QCOMPARE(whitePixels(nextFrame(), sink_.width, x0, y0, x1, y1), 0);
        int32_t state = 0;
        QCOMPARE(TMV_NET_GetOSDState(handle_, &state), 0);
        QCOMPARE(state, 2);
    }

    // The date/time title shows the clock "Syn. Time" set: the same text
    // draws the same white pixels, another text other ones.
    void syncedTimeIsShown()
    {
        startPreview();
        QCOMPARE(TMV_NET_SetPalleteType(handle_, 5), 0);  // Lava: nothing white
        TMV_NET_OSD_TIME_TITLE_INFO time{1, {0, 0, 0}, 20, 20, 0, 0};
        QCOMPARE(TMV_NET_SetOSDTimeTitleInfo(handle_, 0, &time), 0);
        auto whiteMask = [this](const QByteArray &rgba) {
            QByteArray mask;
            for (int y = 20; y < 50; ++y)
                for (int x = 20; x < 300; ++x)
                    mask.append(char(whitePixels(rgba, sink_.width, x, y, x + 1, y + 1)));
            return mask;
        };
        SimFixture::stepClock(1000 - 40);  // clear of a second's turn
        QCOMPARE(TMV_NET_SyncSystemTime(handle_, "2026-03-03 14:09:05"), 0);
        const QByteArray first = whiteMask(nextFrame());
        QVERIFY(first.count(char(1)) > 100);
        SimFixture::stepClock(2000);
        QCOMPARE(TMV_NET_SyncSystemTime(handle_, "2026-03-03 14:09:05"), 0);
        QVERIFY(whiteMask(nextFrame()) == first);
        QCOMPARE(TMV_NET_SyncSystemTime(handle_, "2031-11-28 08:47:33"), 0);
        QVERIFY(whiteMask(nextFrame()) != first);
    }

    void frameRateChangesDeliveredFrames_data()
    {
        QTest::addColumn<int>("rate");
        QTest::newRow("1") << 1;
        QTest::newRow("10") << 10;
        QTest::newRow("30") << 30;
    }
    void frameRateChangesDeliveredFrames()
    {
        QFETCH(int, rate);
        startPreview();
        QCOMPARE(TMV_NET_SetFrameRate(handle_, rate), 0);
        SimFixture::stepClock(1000);  // the new cadence starts from the last frame
        const int start = sink_.count();
        for (int i = 0; i < 20; ++i)
            SimFixture::stepClock(100);
        QCOMPARE(sink_.count() - start, 2 * rate);
        int32_t read = 0;
        QCOMPARE(TMV_NET_GetFrameRate(handle_, &read), 0);
        QCOMPARE(read, rate);
    }

    // The shutter holds the picture for half a second; then it lives again.
    void shutterFreezesThePicture()
    {
        startPreview();
        const QByteArray a = nextFrame();
        QVERIFY(nextFrame() != a);  // grain and motion change every frame
        QCOMPARE(TMV_NET_CorrectShutter(handle_), 0);
        const QByteArray held = nextFrame();
        QVERIFY(nextFrame(200) == held);
        QVERIFY(nextFrame(200) == held);
        QVERIFY(nextFrame(200) != held);
    }

    // Whatever the client reads back and writes whole comes back as it was.
    void enhancementKeepsTheDeviceBytes()
    {
        TMV_NET_THERMAL_IMAGE_ENHANCE_INFO info;
        QCOMPARE(TMV_NET_GetThermalImageEnhanceInfo(handle_, &info), 0);
        info.sceneMode = 7;
        info.defogEnable = 1;
        info.reserved[2] = 0x1234;
        info.denoise2DEnable = 1;
        info.denoise2DLevel = 80;
        QCOMPARE(TMV_NET_SetThermalImageEnhanceInfo(handle_, &info), 0);
        TMV_NET_THERMAL_IMAGE_ENHANCE_INFO read;
        std::memset(&read, 0xAB, sizeof read);
        QCOMPARE(TMV_NET_GetThermalImageEnhanceInfo(handle_, &read), 0);
        QVERIFY2(SimFixture::bytesOf(read) == SimFixture::bytesOf(info),
                 SimFixture::bytesOf(read).toHex().constData());
    }

    // Every setting of this family back to the factory's on a reset.
    void factoryResetRestoresTheSettings()
    {
        QCOMPARE(TMV_NET_SetPalleteType(handle_, 9), 0);
        QCOMPARE(TMV_NET_SetTempUnit(handle_, 1), 0);
        QCOMPARE(TMV_NET_SetOSDState(handle_, 2), 0);
        QCOMPARE(TMV_NET_SetFrameRate(handle_, 5), 0);
        TMVSim_ResetFleet();
        TMV_NET_HANDLE fresh = SimFixture::login(SimFixture::kPtzCamera);
        QVERIFY(fresh);
        int32_t palette = -1, unit = -1, osd = -1, rate = -1;
        QCOMPARE(TMV_NET_GetPalleteType(fresh, &palette), 0);
        QCOMPARE(TMV_NET_GetTempUnit(fresh, &unit), 0);
        QCOMPARE(TMV_NET_GetOSDState(fresh, &osd), 0);
        QCOMPARE(TMV_NET_GetFrameRate(fresh, &rate), 0);
        QCOMPARE(palette, 0); // White Hot
        QCOMPARE(unit, 0);
        QCOMPARE(osd, 0);
        QCOMPARE(rate, 25);
        TMV_NET_Logout(fresh);
    }

    void invalidValuesAnswerWrongParam_data()
    {
        QTest::addColumn<int>("which");
        QTest::newRow("palette 20") << 0;
        QTest::newRow("palette -1") << 1;
        QTest::newRow("gain 3") << 2;
        QTest::newRow("unit 3") << 3;
        QTest::newRow("flip 4") << 4;
        QTest::newRow("flip -1 (combo without selection)") << 5;
        QTest::newRow("luminance 101") << 6;
        QTest::newRow("contrast -1") << 7;
        QTest::newRow("frame rate 0") << 8;
        QTest::newRow("frame rate 31") << 9;
        QTest::newRow("time 29 February 2023") << 10;
        QTest::newRow("time without seconds") << 11;
        QTest::newRow("span upper below lower") << 12;
        QTest::newRow("enhancement level 101") << 13;
        QTest::newRow("title left of the picture") << 14;
        QTest::newRow("title channel 2") << 15;
        QTest::newRow("laser font size 3") << 16;
    }
    void invalidValuesAnswerWrongParam()
    {
        QFETCH(int, which);
        TMV_NET_TEMP_SPAN_INFO span{1, {0, 0, 0}, 50.0f, 20.0f};
        TMV_NET_THERMAL_IMAGE_ENHANCE_INFO enhance;
        std::memset(&enhance, 0, sizeof enhance);
        enhance.detailEnhanceLevel = 101;
        TMV_NET_OSD_CHANNEL_TITLE_INFO title;
        std::memset(&title, 0, sizeof title);
        title.left = -5;
        TMV_NET_OSD_TIME_TITLE_INFO time{};
        TMV_NET_LASER_DISTANCE_OSD_PARAM laser;
        std::memset(&laser, 0, sizeof laser);
        laser.fontSize = 3;
        int32_t status = 0;
        switch (which) {
        case 0: status = TMV_NET_SetPalleteType(handle_, 20); break;
        case 1: status = TMV_NET_SetPalleteType(handle_, -1); break;
        case 2: status = TMV_NET_SetTempLevel(handle_, 3); break;
        case 3: status = TMV_NET_SetTempUnit(handle_, 3); break;
        case 4: status = TMV_NET_SetThermalImageFlipMode(handle_, 4); break;
        case 5: status = TMV_NET_SetThermalImageFlipMode(handle_, -1); break;
        case 6: status = TMV_NET_SetThermalImageLuminance(handle_, 101); break;
        case 7: status = TMV_NET_SetThermalImageContrast(handle_, -1); break;
        case 8: status = TMV_NET_SetFrameRate(handle_, 0); break;
        case 9: status = TMV_NET_SetFrameRate(handle_, 31); break;
        case 10: status = TMV_NET_SyncSystemTime(handle_, "2023-02-29 10:00:00"); break;
        case 11: status = TMV_NET_SyncSystemTime(handle_, "2023-02-28 10:00"); break;
        case 12: status = TMV_NET_SetTempSpanInfo(handle_, &span); break;
        case 13: status = TMV_NET_SetThermalImageEnhanceInfo(handle_, &enhance); break;
        case 14: status = TMV_NET_SetOSDChannelTitleInfo(handle_, 0, &title); break;
        case 15: status = TMV_NET_SetOSDTimeTitleInfo(handle_, 2, &time); break;
        case 16: status = TMV_NET_SetLaserDistanceOsdParam(handle_, 0, &laser); break;
        }
        QCOMPARE(status, 3);
    }

    // The fixed camera has no range finder, so no reading to show.
    void laserOsdNeedsARangeFinder()
    {
        TMV_NET_HANDLE fixed = SimFixture::login(SimFixture::kFixedCamera);
        QVERIFY(fixed);
        TMV_NET_LASER_DISTANCE_OSD_PARAM laser;
        std::memset(&laser, 0, sizeof laser);
        QCOMPARE(TMV_NET_GetLaserDistanceOsdParam(fixed, 0, &laser), 2);
        QCOMPARE(TMV_NET_SetLaserDistanceOsdParam(fixed, 0, &laser), 2);
        QCOMPARE(TMV_NET_SetPalleteType(fixed, 2), 0);
        TMV_NET_Logout(fixed);
    }
};

QTEST_GUILESS_MAIN(TestImaging)
#include "tst_imaging.moc"
