// The "Thermal Rec" window on the simulated fleet with a stepped clock:
// recording the shared temperature stream (checked against the stream's own
// .dat frames through ffmpeg), the ends of a recording, the error boxes, and
// the replay driven by its buttons, including the shapes reading what the
// device's rules read live.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <atomic>
#include <cstring>
#include <memory>

#include "app/MainWindow.h"
#include "liveview/VideoLabel.h"
#include "MouseScript.h"
#include "TestSupport.h"
#include "thermal/DataFrameFile.h"
#include "thermal/TempAlarmPage.h"
#include "thermal/recfile/RecFile.h"
#include "thermal/recfile/RecRecorder.h"
#include "thermal/recording/ReplayPlotWindow.h"
#include "thermal/recording/ThermalRecWindow.h"
#include "thermal/recording/ThermalReplayWindow.h"

namespace {

// One shape of each kind over the middle of the picture.
TMV_NET_TEMP_RULE Rule(int type)
{
    TMV_NET_TEMP_RULE rule;
    std::memset(&rule, 0, sizeof rule);
    rule.enable = 1;
    rule.ruleType = type;
    const TMV_NET_POINT points[5][4] = {{{4100, 4000}},
                                        {{1000, 1500}, {7000, 6500}},
                                        {{2500, 2500}, {5500, 2500}, {5500, 5000}, {2500, 5000}},
                                        {{4000, 4000}, {5200, 4600}},
                                        {{1000, 6000}, {4000, 1000}, {7000, 6000}}};
    const int counts[5] = {1, 2, 4, 2, 3};
    rule.pointCount = counts[type];
    for (int i = 0; i < counts[type]; ++i)
        rule.points[i] = points[type][i];
    return rule;
}

} // namespace

class TestThermalRec : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void recordsTheSharedStreamFrameForFrame();
    void recordingEnds_data();
    void recordingEnds();
    void unwritableFolderShowsTheFile();
    void fullDiskStopsWithTheFileKept();
    void replayIsDrivenByItsButtons();
    void replayShapesReadWhatTheRulesReadLive();
    void notARecordingIsNamed();

private:
    ThermalRecWindow *OpenWindow();
    // Steps the clock a frame at a time until `frames` more reached `count`.
    void StepFrames(int frames);
    QString Record(int frames);

    std::unique_ptr<PageFixture> m_fixture;
    std::unique_ptr<QTemporaryDir> m_dir;
    TempAlarmPage *m_page = nullptr;
    // Frames the test's own sink saw.
    std::atomic<int> m_seen{0};
    int m_sinkId = 0;
};

void TestThermalRec::initTestCase()
{
    WarningGuard::install();
}

void TestThermalRec::init()
{
    m_dir.reset(new QTemporaryDir);
    m_fixture.reset(new PageFixture);
    QVERIFY(m_fixture->login());
    m_page = m_fixture->window()->findChild<TempAlarmPage *>();
    m_fixture->child<QTabWidget>("tabWidget")->setCurrentWidget(m_page);
    SimFixture::pauseClock();
    m_seen = 0;
    m_sinkId = 0;
}

void TestThermalRec::cleanup()
{
    if (m_fixture) {
        if (m_sinkId && m_fixture->loggedIn())
            m_page->RemoveTempSink(m_sinkId);
        m_fixture->verifyClean();
    }
    m_fixture.reset();
    SimFixture::clearFaults();
    SimFixture::resumeClock();
}

ThermalRecWindow *TestThermalRec::OpenWindow()
{
    m_fixture->click("thermalRecBtn");
    ThermalRecWindow *window = m_page->GetThermalRecWindow();
    if (window)
        PageFixture::edit(window, "thermalRecFolderEdit")->setText(m_dir->path());
    return window;
}

void TestThermalRec::StepFrames(int frames)
{
    ThermalRecWindow *window = m_page->GetThermalRecWindow();
    for (int i = 0; i < frames; ++i) {
        const int64_t before = window && window->Recorder() ? window->Recorder()->FramesWritten() : 0;
        const int seen = m_seen;
        SimFixture::stepClock(40);
        if (m_sinkId)
            QTRY_VERIFY_WITH_TIMEOUT(m_seen > seen, 3000);
        if (window && window->Recording())
            QTRY_VERIFY_WITH_TIMEOUT(window->Recorder()->FramesWritten() > before || window->Recorder()->Failed(),
                                     3000);
    }
}

QString TestThermalRec::Record(int frames)
{
    ThermalRecWindow *window = OpenWindow();
    if (!window)
        return QString();
    PageFixture::click(window, "thermalRecStartBtn");
    if (!window->Recording())
        return QString();
    StepFrames(frames);
    PageFixture::click(window, "thermalRecStartBtn");
    return window->Recording() ? QString() : window->FilePath();
}

void TestThermalRec::recordsTheSharedStreamFrameForFrame()
{
    // The page's own stream is open: the recording shares it.
    PageFixture::click(m_page, "openTempStreamBtn");
    QCOMPARE(SimFixture::countOf("TMV_NET_StartPullTemp_V2"), 1);
    // Every frame of the stream also to a .dat file, by a sink beside the
    // recorder's.
    const QString dir = m_dir->path();
    QCOMPARE(m_page->AddTempSink(
                 [this, dir](const uint16_t *values, int width, int height) {
                     DataFrameFile::Write(QStringLiteral("%1/frame%2.dat").arg(dir).arg(m_seen.load()), values, width,
                                          height);
                     ++m_seen;
                 },
                 &m_sinkId),
             0);

    ThermalRecWindow *window = OpenWindow();
    QVERIFY(window);
    const int seenBefore = m_seen;
    PageFixture::click(window, "thermalRecStartBtn");
    QVERIFY(window->Recording());
    QCOMPARE(PageFixture::button(window, "thermalRecStartBtn")->text(), QString("Stop"));
    StepFrames(6);
    // Closing the page's stream leaves the recording's running.
    PageFixture::click(m_page, "openTempStreamBtn");
    QCOMPARE(SimFixture::countOf("TMV_NET_StopPullTemp"), 0);
    StepFrames(6);
    PageFixture::click(window, "thermalRecStartBtn");
    QVERIFY(!window->Recording());
    const int seenAfter = m_seen;
    QCOMPARE(SimFixture::countOf("TMV_NET_StartPullTemp_V2"), 1);
    // Twelve steps, and the frame of the moment the recorder joined.
    const int written = int(window->Recorder()->FramesWritten());
    QVERIFY2(written == 12 || written == 13, qPrintable(QString::number(written)));
    QCOMPARE(PageFixture::child<QLabel>(window, "thermalRecFramesLabel")->text(), QString::number(written));
    QVERIFY(PageFixture::child<QLabel>(window, "thermalRecQueueLabel")->text().endsWith("0 dropped"));
    m_page->RemoveTempSink(m_sinkId);
    m_sinkId = 0;
    QCOMPARE(SimFixture::countOf("TMV_NET_StopPullTemp"), 1);

    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    if (ffmpeg.isEmpty())
        QSKIP("ffmpeg is not installed");
    QProcess process;
    process.start(ffmpeg, {"-v", "error", "-i", window->FilePath(), "-map", "0:0", "-f", "rawvideo", "-pix_fmt",
                           "gray16le", "-"});
    QVERIFY(process.waitForFinished(60000));
    const QByteArray raw = process.readAllStandardOutput();
    const int frameBytes = 640 * 512 * 2;
    QCOMPARE(raw.size(), written * frameBytes);
    // The recorder's frames are the sink's, in order, from the first the
    // sink saw after the start.
    int first = -1;
    for (int n = seenBefore; n < seenAfter && first < 0; ++n) {
        QFile dat(QStringLiteral("%1/frame%2.dat").arg(dir).arg(n));
        QVERIFY(dat.open(QIODevice::ReadOnly));
        if (dat.readAll() == raw.left(frameBytes))
            first = n;
    }
    QVERIFY(first >= 0);
    for (int k = 0; k < written; ++k) {
        QFile dat(QStringLiteral("%1/frame%2.dat").arg(dir).arg(first + k));
        QVERIFY(dat.open(QIODevice::ReadOnly));
        QVERIFY2(dat.readAll() == raw.mid(k * frameBytes, frameBytes), qPrintable(QString("frame %1").arg(k)));
    }
    // The fast copy holds the same values, frame for frame.
    process.start(ffmpeg, {"-v", "error", "-i", window->FilePath(), "-map", "0:2", "-f", "rawvideo", "-pix_fmt",
                           "gray16le", "-"});
    QVERIFY(process.waitForFinished(60000));
    QVERIFY(process.readAllStandardOutput() == raw);
}

void TestThermalRec::recordingEnds_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("status");
    QTest::newRow("logout") << "logout" << "Stopped: logged out";
    QTest::newRow("channel change") << "channel" << "Stopped: the channel changed";
    QTest::newRow("window closed") << "close" << "Stopped: window closed";
}

void TestThermalRec::recordingEnds()
{
    QFETCH(QString, how);
    QFETCH(QString, status);
    ThermalRecWindow *window = OpenWindow();
    QVERIFY(window);
    PageFixture::click(window, "thermalRecStartBtn");
    QVERIFY(window->Recording());
    StepFrames(3);
    const QString path = window->FilePath();
    SimFixture::clearJournal();
    if (how == "logout") {
        m_fixture->click("loginBtn");
        QVERIFY(!m_fixture->loggedIn());
    } else if (how == "channel") {
        m_fixture->click("onlineChannel1RadioBtn");
        QCOMPARE(m_fixture->window()->Channel(), 1);
        QCOMPARE(SimFixture::countOf("TMV_NET_StopPullTemp"), 1);
    } else {
        window->close();
        QCOMPARE(SimFixture::countOf("TMV_NET_StopPullTemp"), 1);
    }
    if (how != "close") {
        QVERIFY(!window->Recording());
        QCOMPARE(PageFixture::child<QLabel>(window, "thermalRecStatusLabel")->text(), status);
    }
    // Ended properly: the end tags are there.
    RecReader reader;
    std::string error;
    QVERIFY2(reader.Open(QFile::encodeName(path).toStdString(), &error), error.c_str());
    QVERIFY(!reader.Cut());
    // Three steps and the frame the stream starts with.
    QCOMPARE(reader.FrameCount(), 4);
    QCOMPARE(reader.TimeMs(3), 120);
    QCOMPARE(reader.Info().droppedFrames, 0LL);
    QCOMPARE(m_fixture->boxes().count(), 0);
}

void TestThermalRec::unwritableFolderShowsTheFile()
{
    ThermalRecWindow *window = OpenWindow();
    QVERIFY(window);
    PageFixture::edit(window, "thermalRecFolderEdit")->setText(m_dir->filePath("gone"));
    PageFixture::click(window, "thermalRecStartBtn");
    QVERIFY(m_fixture->boxes().waitForCount(1));
    QCOMPARE(m_fixture->boxes().last().title, QString("Error"));
    QVERIFY2(m_fixture->boxes().last().text.contains(QDir::toNativeSeparators(m_dir->filePath("gone/thermal_"))),
             qPrintable(m_fixture->boxes().last().text));
    QVERIFY(!window->Recording());
    QCOMPARE(SimFixture::countOf("TMV_NET_StartPullTemp_V2"), 0);
}

void TestThermalRec::fullDiskStopsWithTheFileKept()
{
    ThermalRecWindow *window = OpenWindow();
    QVERIFY(window);
    window->SetSpaceLimit(300 * 1024);
    PageFixture::click(window, "thermalRecStartBtn");
    QVERIFY(window->Recording());
    for (int i = 0; i < 60 && !window->Recorder()->Failed(); ++i)
        StepFrames(1);
    QVERIFY(m_fixture->boxes().waitForCount(1));
    QCOMPARE(m_fixture->boxes().last().title, QString("Error"));
    const QString text = m_fixture->boxes().last().text;
    QVERIFY2(text.contains(QDir::toNativeSeparators(window->FilePath())) && text.contains(std::strerror(ENOSPC)),
             qPrintable(text));
    QVERIFY(!window->Recording());
    QCOMPARE(PageFixture::button(window, "thermalRecStartBtn")->text(), QString("Start"));
    // What reached the disk opens and plays.
    ThermalReplayWindow *replay = window->OpenReplay(window->FilePath());
    QVERIFY(replay);
    QVERIFY(replay->Reader().Cut());
    QVERIFY(replay->Reader().FrameCount() > 0);
    QVERIFY(PageFixture::child<QLabel>(replay, "replayStatusLabel")->text().contains("cut before its end"));
}

void TestThermalRec::replayIsDrivenByItsButtons()
{
    const QString path = Record(10);
    QVERIFY(!path.isEmpty());
    ThermalRecWindow *window = m_page->GetThermalRecWindow();
    FileDialogAnswerer answer(path);
    PageFixture::click(window, "thermalRecOpenBtn");
    QVERIFY(answer.answered());
    QCOMPARE(window->ReplayWindows().size(), 1);
    ThermalReplayWindow *replay = window->ReplayWindows().first();
    QVERIFY(QTest::qWaitForWindowExposed(replay));
    // Ten steps and the frame the stream starts with.
    const int frames = replay->Reader().FrameCount();
    QCOMPARE(frames, 11);
    QCOMPARE(replay->CurrentFrame(), 0);

    // Step, slide, step back.
    PageFixture::click(replay, "replayStepForwardBtn");
    QCOMPARE(replay->CurrentFrame(), 1);
    PageFixture::child<QSlider>(replay, "replaySlider")->setValue(7);
    QCOMPARE(replay->CurrentFrame(), 7);
    PageFixture::click(replay, "replayStepBackBtn");
    QCOMPARE(replay->CurrentFrame(), 6);
    QCOMPARE(PageFixture::child<QLabel>(replay, "replayPositionLabel")->text().left(6), QString("7 / 11"));
    // Played at 8x it runs to the end and stops there.
    PageFixture::combo(replay, "replaySpeedCombo")->setCurrentText("8x");
    QCOMPARE(replay->Speed(), 8.0);
    PageFixture::click(replay, "replayPlayBtn");
    QVERIFY(replay->Playing());
    QTRY_COMPARE_WITH_TIMEOUT(replay->CurrentFrame(), frames - 1, 3000);
    QTRY_VERIFY(!replay->Playing());
    QCOMPARE(PageFixture::button(replay, "replayPlayBtn")->text(), QString("Play"));

    // The palette changes the picture, not the temperatures.
    VideoLabel *picture = replay->Picture();
    const QImage before = picture->Picture().copy();
    // Recorded in the factory's White Hot.
    QCOMPARE(PageFixture::combo(replay, "replayPaletteCombo")->currentText(), QString("White Hot"));
    PageFixture::combo(replay, "replayPaletteCombo")->setCurrentText("Iron");
    QVERIFY(picture->Picture() != before);

    // The temperature under the mouse: the middle pixel.
    const QPoint middle(picture->width() / 2, picture->height() / 2);
    MouseScript::Play(picture, QString("n%1,%2").arg(middle.x()).arg(middle.y()));
    const RecInfo &info = replay->Reader().Info();
    const QPoint pixel(int(int64_t(middle.x()) * 8191 / picture->width() * info.width / 8192),
                       int(int64_t(middle.y()) * 8191 / picture->height() * info.height / 8192));
    const uint16_t value = replay->Matrix()[size_t(pixel.y() * info.width + pixel.x())];
    QTRY_VERIFY2(replay->PixelText().startsWith(QString("(%1, %2): ").arg(pixel.x()).arg(pixel.y())), qPrintable(replay->PixelText()));
    QVERIFY2(replay->PixelText().contains(QString::number(double(RecMeasure::PixelTemperature(value, info)), 'f', 2)),
             qPrintable(replay->PixelText()));

    // Two shapes drawn with the tools: a rectangle and a point.
    PageFixture::click(replay, "replayRectangleBtn");
    MouseScript::Play(picture, QString("P20,20 M%1,%2 R%1,%2").arg(middle.x()).arg(middle.y()));
    PageFixture::click(replay, "replayPointBtn");
    MouseScript::Play(picture, QString("P%1,%2 R%1,%2").arg(middle.x()).arg(middle.y()));
    QCOMPARE(replay->ShapeCount(), 2);
    QCOMPARE(replay->ShapeAt(0).type, 2);
    QCOMPARE(int(replay->ShapeAt(0).points.size()), 4);
    QTableWidget *table = PageFixture::child<QTableWidget>(replay, "replayShapeTable");
    QCOMPARE(table->rowCount(), 2);
    const RecMeasure::Reading box = replay->ReadingAt(0);
    QVERIFY(box.valid && box.max >= box.avg && box.avg >= box.min);
    QCOMPARE(table->item(0, 2)->text(), QString::number(double(box.max), 'f', 2));
    QCOMPARE(table->item(1, 2)->text(), QString::number(double(RecMeasure::PixelTemperature(value, info)), 'f', 2));
    // A threshold for the rectangle, typed into its row.
    table->item(0, 5)->setText("35.5");

    // The plot: three lines a shape over every frame, the threshold dashed.
    PageFixture::click(replay, "replayPlotBtn");
    ReplayPlotWindow *plot = replay->PlotWindow();
    QVERIFY(plot);
    QCOMPARE(plot->DrawnPoints(0).size(), frames);
    QCOMPARE(plot->DrawnPoints(0).last().y(), double(box.max));
    QCOMPARE(plot->ThresholdLine(0).size(), 2);
    QCOMPARE(plot->ThresholdLine(0).first().y(), 35.5);
    QVERIFY(plot->ThresholdLine(3).isEmpty());
    PageFixture::child<QCheckBox>(plot, "replayPlotCheck_S1 max")->click();
    QVERIFY(plot->DrawnPoints(0).isEmpty());
    QVERIFY(plot->ThresholdLine(0).isEmpty());

    // The CSV: a row a frame, the unit in the header.
    const QString csvPath = m_dir->filePath("shapes.csv");
    FileDialogAnswerer csvAnswer(csvPath);
    PageFixture::click(replay, "replayExportCsvBtn");
    QVERIFY(csvAnswer.answered());
    QFile csv(csvPath);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split("\r\n", Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), frames + 1);
    QCOMPARE(lines[0], QString("\uFEFFTime (UTC),Time (s),S1 max (\u00B0C),S1 min (\u00B0C),S1 avg (\u00B0C),"
                               "S2 max (\u00B0C),S2 min (\u00B0C),S2 avg (\u00B0C)"));
    const QStringList last = lines[frames].split(',');
    QCOMPARE(last.size(), 8);
    QCOMPARE(last[2], QString::number(double(box.max), 'f', 2));
    QCOMPARE(last[4], QString::number(double(box.avg), 'f', 2));
    QCOMPARE(m_fixture->boxes().count(), 0);
}

void TestThermalRec::replayShapesReadWhatTheRulesReadLive()
{
    // A corrected environment in Fahrenheit: the recording must carry both.
    const TMV_NET_HANDLE handle = m_fixture->window()->Handle();
    QCOMPARE(TMV_NET_SetTempUnit(handle, 1), 0);
    TMV_NET_ENV_PARAM env{};
    QCOMPARE(TMV_NET_GetEnvParam(handle, &env), 0);
    env.emissivity = 0.9f;
    env.atmosTrans = 0.95f;
    env.distance = 20.0f;
    QCOMPARE(TMV_NET_SetEnvParam(handle, &env), 0);
    for (int type = 0; type < 5; ++type) {
        TMV_NET_TEMP_RULE rule = Rule(type);
        QCOMPARE(TMV_NET_AddTempRule(handle, &rule), 0);
    }
    TMV_NET_TEMP_RULE rules[5];
    int32_t count = 0;
    TMV_NET_TEMP_RULE_KEY all{0, 0, -1, -1};
    QCOMPARE(TMV_NET_QueryTempRule(handle, &all, rules, 5, &count), 0);
    QCOMPARE(count, 5);

    // The device's readings of every rule at each recorded frame.
    ThermalRecWindow *window = OpenWindow();
    QVERIFY(window);
    QCOMPARE(m_page->AddTempSink([this](const uint16_t *, int, int) { ++m_seen; }, &m_sinkId), 0);
    PageFixture::click(window, "thermalRecStartBtn");
    QVERIFY(window->Recording());
    QVector<QVector<TMV_NET_RULE_TEMP>> live;
    for (int frame = 0; frame < 4; ++frame) {
        StepFrames(1);
        QVector<TMV_NET_RULE_TEMP> temps(5);
        int32_t returned = 0;
        QCOMPARE(TMV_NET_QueryRuleTemp(handle, &all, temps.data(), 5, &returned), 0);
        QCOMPARE(returned, 5);
        live << temps;
    }
    PageFixture::click(window, "thermalRecStartBtn");
    m_page->RemoveTempSink(m_sinkId);
    m_sinkId = 0;

    ThermalReplayWindow *replay = window->OpenReplay(window->FilePath());
    QVERIFY(replay);
    QCOMPARE(replay->Reader().Info().unit, 1);
    // The stream's first frame, when it came after the recorder joined
    // the running stream, then one a step: the last four are the steps'.
    const int first = int(replay->Reader().FrameCount()) - 4;
    QVERIFY2(first == 0 || first == 1, qPrintable(QString::number(first)));
    for (int i = 0; i < 5; ++i) {
        RecMeasure::Shape shape;
        shape.type = rules[i].ruleType;
        shape.points.assign(rules[i].points, rules[i].points + rules[i].pointCount);
        QVERIFY(replay->AddPictureShape(shape));
    }
    for (int frame = 0; frame < 4; ++frame) {
        replay->ShowFrame(first + frame);
        for (int i = 0; i < 5; ++i) {
            const TMV_NET_TEMP_INFO &t = live[frame][i].temp;
            const RecMeasure::Reading r = replay->ReadingAt(i);
            const QString where = QString("frame %1, rule type %2: live %3/%4/%5, replay %6/%7/%8")
                                      .arg(frame).arg(rules[i].ruleType)
                                      .arg(double(t.maxTemp)).arg(double(t.minTemp)).arg(double(t.avgTemp))
                                      .arg(double(r.max)).arg(double(r.min)).arg(double(r.avg));
            QVERIFY2(r.valid, qPrintable(where));
            QVERIFY2(qAbs(r.max - t.maxTemp) <= 0.1f && qAbs(r.min - t.minTemp) <= 0.1f
                         && qAbs(r.avg - t.avgTemp) <= 0.1f,
                     qPrintable(where));
        }
    }
}

void TestThermalRec::notARecordingIsNamed()
{
    ThermalRecWindow *window = OpenWindow();
    QVERIFY(window);
    const QString path = m_dir->filePath("notes.mkv");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a recording");
    file.close();
    FileDialogAnswerer answer(path);
    PageFixture::click(window, "thermalRecOpenBtn");
    QVERIFY(answer.answered());
    QVERIFY(m_fixture->boxes().waitForCount(1));
    QCOMPARE(m_fixture->boxes().last().title, QString("Error"));
    QCOMPARE(m_fixture->boxes().last().text,
             QString("Cannot open %1: it is not a Matroska file (Invalid data found when processing input)")
                 .arg(QDir::toNativeSeparators(path)));
    QVERIFY(window->ReplayWindows().isEmpty());
}

QTEST_MAIN(TestThermalRec)
#include "tst_thermalrec.moc"
