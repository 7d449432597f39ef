#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "app/MainWindow.h"
#include "liveview/PreviewPage.h"
#include "MouseScript.h"
#include "PreviewSink.h"
#include "TMVNetSDK.h"
#include "TestSupport.h"
#include "liveview/VideoLabel.h"

namespace {

QByteArray PreviewRequest(int channel)
{
    const TMV_NET_PREVIEW_INFO info = {channel, 0, 2};
    return SimFixture::bytesOf(info);
}

// RGBA8888 pixels where pixel (x, y) is R = x, G = y, B = 7, A = 255.
std::vector<uint8_t> Pixels(int width, int height)
{
    std::vector<uint8_t> data(size_t(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t *p = &data[(size_t(y) * width + x) * 4];
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = 7;
            p[3] = 255;
        }
    }
    return data;
}

// Hands the page one frame the way the library does: from a thread of its
// own, with pixels that are valid only during the call.
bool DeliverFromLibraryThread(PreviewPage *page, std::vector<uint8_t> pixels, int width, int height)
{
    TMV_NET_PREVIEW_FRAME frame = {pixels.data(), width, height, 0, 0};
    QThread *thread = QThread::create([&frame, page] { PreviewPage::FrameCallback(nullptr, 0, &frame, page); });
    thread->start();
    const bool finished = thread->wait(5000);
    delete thread;
    return finished;
}

bool DeliverFromLibraryThread(PreviewPage *page, int width, int height)
{
    return DeliverFromLibraryThread(page, Pixels(width, height), width, height);
}

// One frame of a device's channel as its preview delivers it.
std::vector<uint8_t> DeviceFrame(const char *ip, int channel, QSize *size)
{
    TMV_NET_HANDLE handle = SimFixture::login(ip);
    PreviewSink sink;
    TMV_NET_PREVIEW_INFO info = {channel, 0, 2};
    if (!handle || TMV_NET_StartPreview_V2(handle, &info, &PreviewSink::onFrame, &sink) != 0)
        return {};
    QElapsedTimer waited;
    waited.start();
    while (sink.pixels().isEmpty() && waited.elapsed() < 5000)
        QThread::msleep(10);
    TMV_NET_StopPreview(handle);
    TMV_NET_Logout(handle);
    const QByteArray pixels = sink.pixels();
    *size = QSize(sink.width, sink.height);
    return std::vector<uint8_t>(pixels.begin(), pixels.end());
}

// What the label should show of an RGBA8888 frame: the part `shown` scaled to
// `size` by Qt's smooth (area-averaging) scaling.
QImage ReferenceScaling(const std::vector<uint8_t> &pixels, const QSize &frame, const QRect &shown, const QSize &size)
{
    const QImage whole(pixels.data(), frame.width(), frame.height(), QImage::Format_RGBA8888);
    return whole.copy(shown).convertToFormat(QImage::Format_RGB32).scaled(size, Qt::IgnoreAspectRatio,
                                                                          Qt::SmoothTransformation);
}

// The largest of the three channels' mean absolute differences, in levels;
// HUGE_VAL for pictures of different sizes.
double MeanDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return HUGE_VAL;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sums[3] = {0, 0, 0};
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            sums[0] += std::abs(qRed(p[col]) - qRed(q[col]));
            sums[1] += std::abs(qGreen(p[col]) - qGreen(q[col]));
            sums[2] += std::abs(qBlue(p[col]) - qBlue(q[col]));
        }
    }
    return *std::max_element(sums, sums + 3) / (double(x.width()) * x.height());
}

} // namespace

class TestPreviewPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    // The frame callback, called directly with a synthetic frame.
    void frameCallbackKeepsShownPart_data();
    void frameCallbackKeepsShownPart();
    void brokenFrameIsDropped_data();
    void brokenFrameIsDropped();
    void frameFromLibraryThreadReachesLabel();
    void shownPictureIsTheReferenceScaling_data();
    void shownPictureIsTheReferenceScaling();

    // Against the simulated device.
    void openAndClose();
    void needsOpenPreview_data();
    void needsOpenPreview();
    void cancelledDialogCallsNothing_data();
    void cancelledDialogCallsNothing();
    void snapshotsPassPaths();
    void recordStartStop();
    void closingPreviewStopsRecording();
    void failuresAreReported_data();
    void failuresAreReported();
    void reopenOnOtherChannelNeverShowsOldFrame();
    void destroyedPageStopsItsStreams();

private:
    void OpenPreview();
    void StartRecording();
    void ShowWindow();

    std::unique_ptr<PageFixture> m_fixture;
    MainWindow *m_window = nullptr;
    PreviewPage *m_page = nullptr;
    VideoLabel *m_label = nullptr;
    ModalCatcher *m_boxes = nullptr;
    QTemporaryDir *m_dir = nullptr;
};

void TestPreviewPage::initTestCase()
{
    WarningGuard::install();
}

void TestPreviewPage::cleanupTestCase()
{
    // As the program does on exit: the library's threads end here, not in
    // static destruction.
    TMV_NET_Deinit();
}

void TestPreviewPage::init()
{
    m_fixture.reset(new PageFixture(false));
    m_window = m_fixture->window();
    m_page = m_window->findChild<PreviewPage *>();
    QVERIFY(m_page);
    m_label = m_window->GetVideoLabel();
    m_boxes = &m_fixture->boxes();
    m_dir = new QTemporaryDir;
}

void TestPreviewPage::cleanup()
{
    m_fixture->verifyClean();
    m_fixture.reset();
    m_window = nullptr;
    m_boxes = nullptr;
    delete m_dir;
    m_dir = nullptr;
    SimFixture::clearFaults();
    SimFixture::resumeClock();
}

void TestPreviewPage::OpenPreview()
{
    m_fixture->child<QPushButton>("previewBtn")->click();
    QCOMPARE(m_fixture->child<QPushButton>("previewBtn")->text(), QStringLiteral("Close"));
}

// On screen the label has its laid-out size, which the callback scales to.
void TestPreviewPage::ShowWindow()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestPreviewPage::StartRecording()
{
    FileDialogAnswerer answer(m_dir->filePath(QStringLiteral("clip.mp4")));
    m_fixture->child<QPushButton>("recordBtn")->click();
}

void TestPreviewPage::frameCallbackKeepsShownPart_data()
{
    QTest::addColumn<QSize>("frameSize");
    QTest::addColumn<QSize>("showSize");
    QTest::addColumn<QSize>("stored");  // the part kept, scaled to the label

    QTest::newRow("show size 0: whole frame") << QSize(40, 30) << QSize(0, 0) << QSize(40, 30);
    QTest::newRow("show size given: cropped") << QSize(40, 30) << QSize(25, 10) << QSize(25, 10);
    QTest::newRow("only show width: whole frame") << QSize(40, 30) << QSize(25, 0) << QSize(40, 30);
    QTest::newRow("only show height: whole frame") << QSize(40, 30) << QSize(0, 10) << QSize(40, 30);
    QTest::newRow("show size beyond frame: clamped") << QSize(40, 30) << QSize(100, 100) << QSize(40, 30);
    QTest::newRow("show height beyond frame") << QSize(40, 30) << QSize(20, 100) << QSize(20, 30);
}

void TestPreviewPage::frameCallbackKeepsShownPart()
{
    QFETCH(QSize, frameSize);
    QFETCH(QSize, showSize);
    QFETCH(QSize, stored);
    ShowWindow();

    std::vector<uint8_t> pixels = Pixels(frameSize.width(), frameSize.height());
    const QImage expected = ReferenceScaling(pixels, frameSize, QRect(QPoint(), stored), m_label->size());
    TMV_NET_PREVIEW_FRAME frame = {pixels.data(), frameSize.width(), frameSize.height(), showSize.width(),
                                   showSize.height()};
    QSignalSpy updates(m_page, SIGNAL(UpdateFrame()));

    PreviewPage::FrameCallback(nullptr, 0, &frame, m_page);
    // The library's buffer is reused once the callback returns.
    std::fill(pixels.begin(), pixels.end(), uint8_t(0));

    QCOMPARE(updates.count(), 1);
    const LivePicture picture = m_page->CurrentPicture();
    QCOMPARE(picture.frameSize, stored);
    QCOMPARE(picture.image.format(), QImage::Format_RGB32);
    QVERIFY2(MeanDifference(picture.image, expected) < 2, qPrintable(QString::number(MeanDifference(picture.image, expected))));
}

void TestPreviewPage::brokenFrameIsDropped_data()
{
    QTest::addColumn<bool>("nullData");
    QTest::addColumn<QSize>("frameSize");

    QTest::newRow("null pixels") << true << QSize(40, 30);
    QTest::newRow("zero width") << false << QSize(0, 30);
    QTest::newRow("negative height") << false << QSize(40, -30);
}

void TestPreviewPage::brokenFrameIsDropped()
{
    QFETCH(bool, nullData);
    QFETCH(QSize, frameSize);

    std::vector<uint8_t> good = Pixels(8, 4);
    TMV_NET_PREVIEW_FRAME first = {good.data(), 8, 4, 0, 0};
    PreviewPage::FrameCallback(nullptr, 0, &first, m_page);

    QSignalSpy updates(m_page, SIGNAL(UpdateFrame()));
    std::vector<uint8_t> pixels = Pixels(40, 30);
    TMV_NET_PREVIEW_FRAME frame = {nullData ? nullptr : pixels.data(), frameSize.width(), frameSize.height(), 0, 0};
    PreviewPage::FrameCallback(nullptr, 0, &frame, m_page);
    PreviewPage::FrameCallback(nullptr, 0, nullptr, m_page);

    QCOMPARE(updates.count(), 0);
    QCOMPARE(m_page->CurrentPicture().frameSize, QSize(8, 4));
}

void TestPreviewPage::frameFromLibraryThreadReachesLabel()
{
    QVERIFY(DeliverFromLibraryThread(m_page, 64, 48));

    QVERIFY(m_label->Picture().isNull());  // queued, not yet delivered
    QTRY_COMPARE(m_label->FrameSize(), QSize(64, 48));
    QVERIFY(!m_label->Picture().isNull());
}

void TestPreviewPage::shownPictureIsTheReferenceScaling_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("drag");        // leftwards across the label before the frame
    QTest::addColumn<QRect>("shown");     // part of the frame on the label

    // The strip is 480 high: a window 600 wide, starting where the drag
    // left it, one column short of the strip's end at most.
    QTest::newRow("thermal 640x512") << SimFixture::kPtzCamera << 0 << 0 << QRect(0, 0, 640, 512);
    QTest::newRow("visible 1920x1080") << SimFixture::kPtzCamera << 1 << 0 << QRect(0, 0, 1920, 1080);
    QTest::newRow("panoramic window at the start") << SimFixture::kPanoramicCamera << 0 << 0 << QRect(0, 0, 600, 480);
    QTest::newRow("panoramic window panned") << SimFixture::kPanoramicCamera << 0 << 400 << QRect(400, 0, 600, 480);
    QTest::newRow("panoramic window at the end") << SimFixture::kPanoramicCamera << 0 << 5000
                                                 << QRect(2880 - 600 - 1, 0, 600, 480);
}

// A device's own frame through the callback and the main window onto the
// label, against a reference scaling of the part the label shows; a pan of
// the panoramic window shows from the next frame.
void TestPreviewPage::shownPictureIsTheReferenceScaling()
{
    QFETCH(QString, device);
    QFETCH(int, channel);
    QFETCH(int, drag);
    QFETCH(QRect, shown);
    ShowWindow();
    QSize size;
    const std::vector<uint8_t> pixels = DeviceFrame(device.toLatin1().constData(), channel, &size);
    QVERIFY(!pixels.empty());

    QVERIFY(DeliverFromLibraryThread(m_page, pixels, size.width(), size.height()));
    QTRY_COMPARE(m_label->FrameSize(), size);
    if (drag) {
        // As after a login with the preview open: the label takes the mouse.
        for (QWidget *w = m_label; w; w = w->parentWidget())
            w->setEnabled(true);
        MouseScript::Play(m_label, QStringLiteral("P500,200 M%1,200 R%1,200").arg(500 - drag));
        QCOMPARE(m_label->WindowLeft(), shown.left());
        QVERIFY(DeliverFromLibraryThread(m_page, pixels, size.width(), size.height()));
        QCoreApplication::processEvents();
    }

    const QImage onScreen = m_label->grab().toImage();
    QCOMPARE(onScreen.size(), m_label->size());
    const double difference = MeanDifference(onScreen, ReferenceScaling(pixels, size, shown, m_label->size()));
    QVERIFY2(difference < 2, qPrintable(QString::number(difference)));
}

void TestPreviewPage::openAndClose()
{
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    SimFixture::clearJournal();
    QSignalSpy opened(m_page, SIGNAL(PreviewOpen(bool)));

    OpenPreview();
    QCOMPARE(opened.count(), 1);
    QCOMPARE(opened.takeFirst().at(0).toBool(), true);
    QCOMPARE(SimFixture::argsOf("TMV_NET_StartPreview_V2"), QList<QByteArray>{PreviewRequest(0)});
    QVERIFY(m_label->isEnabled());
    QTRY_VERIFY(!m_label->Picture().isNull());
    QCOMPARE(m_label->Picture().format(), QImage::Format_RGB32);

    m_fixture->child<QPushButton>("previewBtn")->click();
    QCOMPARE(m_fixture->child<QPushButton>("previewBtn")->text(), QStringLiteral("Open"));
    QCOMPARE(opened.count(), 1);
    QCOMPARE(opened.takeFirst().at(0).toBool(), false);
    QCOMPARE(TMVSim_JournalCountOf("TMV_NET_StopPreview"), 1);
    QCOMPARE(TMVSim_JournalCountOf("TMV_NET_StopPreviewRecord"), 0);

    // The last frame stays on the disabled label.
    QCoreApplication::processEvents();
    QVERIFY(!m_label->isEnabled());
    QVERIFY(!m_label->Picture().isNull());
    QVERIFY(m_boxes->boxes().isEmpty());
}

void TestPreviewPage::needsOpenPreview_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("checked");

    QTest::newRow("Normal") << "snapNormalBtn" << true;
    QTest::newRow("Record") << "recordBtn" << true;
    QTest::newRow("IRG") << "snapIrgBtn" << false;
    QTest::newRow("DLT664") << "snapDlt664Btn" << false;
}

void TestPreviewPage::needsOpenPreview()
{
    QFETCH(QString, button);
    QFETCH(bool, checked);
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    SimFixture::clearJournal();

    FileDialogAnswerer cancel{QString()};
    m_fixture->child<QPushButton>(button.toLatin1().constData())->click();

    if (checked) {
        QCOMPARE(m_boxes->count(), 1);
        QCOMPARE(m_boxes->last().title, QStringLiteral("Info"));
        QCOMPARE(m_boxes->last().text, QStringLiteral("Please open preview first."));
        QCOMPARE(m_boxes->last().icon, QMessageBox::Critical);
        QVERIFY(!cancel.answered());
    } else {
        QVERIFY(m_boxes->boxes().isEmpty());
        QVERIFY(cancel.answered());
        QCOMPARE(cancel.caption(), QStringLiteral("Snapshot"));
    }
    QCOMPARE(TMVSim_JournalCount(), 0);
}

void TestPreviewPage::cancelledDialogCallsNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("caption");

    QTest::newRow("Normal") << "snapNormalBtn" << "Snapshot";
    QTest::newRow("IRG") << "snapIrgBtn" << "Snapshot";
    QTest::newRow("DLT664") << "snapDlt664Btn" << "Snapshot";
    QTest::newRow("Record") << "recordBtn" << "Record";
}

void TestPreviewPage::cancelledDialogCallsNothing()
{
    QFETCH(QString, button);
    QFETCH(QString, caption);
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    SimFixture::clearJournal();
    OpenPreview();
    TMVSim_JournalClear();

    FileDialogAnswerer cancel{QString()};
    m_fixture->child<QPushButton>(button.toLatin1().constData())->click();

    QVERIFY(cancel.answered());
    QCOMPARE(cancel.caption(), caption);
    QCOMPARE(TMVSim_JournalCount(), 0);
    QCOMPARE(m_fixture->child<QPushButton>("recordBtn")->text(), QStringLiteral("Start"));
    QVERIFY(m_boxes->boxes().isEmpty());
}

void TestPreviewPage::snapshotsPassPaths()
{
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    SimFixture::clearJournal();
    OpenPreview();
    const QString normal = m_dir->filePath(QStringLiteral("snäp.jpg"));
    const QString irg = m_dir->filePath(QStringLiteral("pair"));
    const QString dlt = m_dir->filePath(QStringLiteral("dlt.jpg"));

    {
        FileDialogAnswerer answer(normal);
        m_fixture->child<QPushButton>("snapNormalBtn")->click();
    }
    {
        FileDialogAnswerer answer(irg);
        m_fixture->child<QPushButton>("snapIrgBtn")->click();
    }
    {
        FileDialogAnswerer answer(dlt);
        m_fixture->child<QPushButton>("snapDlt664Btn")->click();
    }

    QVERIFY(m_boxes->boxes().isEmpty());
    // Over the network the device journals files of its own, never the
    // caller's paths; the files below are the caller's either way.
    if (!SimFixture::network()) {
        QCOMPARE(SimFixture::argsOf("TMV_NET_PreviewSnapshot"), QList<QByteArray>{normal.toUtf8() + '\0'});
        QCOMPARE(SimFixture::argsOf("TMV_NET_GetIRGImage"),
                 QList<QByteArray>{(irg + ".irg").toUtf8() + '\0' + (irg + ".jpg").toUtf8() + '\0'});
        QCOMPARE(SimFixture::argsOf("TMV_NET_GetDLT664Image"), QList<QByteArray>{dlt.toUtf8() + '\0'});
    }
    for (const QString &file : {normal, irg + ".irg", irg + ".jpg", dlt})
        QVERIFY2(QFileInfo(file).size() > 0, qPrintable(file));
}

void TestPreviewPage::recordStartStop()
{
    SIM_REQUIRE_RECORDINGS();
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    SimFixture::clearJournal();
    OpenPreview();
    const QString path = m_dir->filePath(QStringLiteral("clip.mp4"));

    {
        FileDialogAnswerer answer(path);
        m_fixture->child<QPushButton>("recordBtn")->click();
    }
    QCOMPARE(m_fixture->child<QPushButton>("recordBtn")->text(), QStringLiteral("Stop"));
    // Over the network the device works on files of its own, never on the
    // caller's paths.
    if (!SimFixture::network())
        QCOMPARE(SimFixture::argsOf("TMV_NET_StartPreviewRecord"), QList<QByteArray>{path.toLocal8Bit() + '\0'});

    FileDialogAnswerer unexpected{QString()};
    m_fixture->child<QPushButton>("recordBtn")->click();
    QCOMPARE(m_fixture->child<QPushButton>("recordBtn")->text(), QStringLiteral("Start"));
    QCOMPARE(TMVSim_JournalCountOf("TMV_NET_StopPreviewRecord"), 1);
    QVERIFY(!unexpected.answered());  // stopping asks for nothing
    QVERIFY(m_boxes->boxes().isEmpty());
}

void TestPreviewPage::closingPreviewStopsRecording()
{
    SIM_REQUIRE_RECORDINGS();
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    SimFixture::clearJournal();
    OpenPreview();
    StartRecording();
    QCOMPARE(m_fixture->child<QPushButton>("recordBtn")->text(), QStringLiteral("Stop"));

    m_fixture->child<QPushButton>("previewBtn")->click();
    QCOMPARE(m_fixture->child<QPushButton>("previewBtn")->text(), QStringLiteral("Open"));
    QCOMPARE(m_fixture->child<QPushButton>("recordBtn")->text(), QStringLiteral("Start"));
    QCOMPARE(TMVSim_JournalCountOf("TMV_NET_StopPreviewRecord"), 1);
    QVERIFY(m_boxes->boxes().isEmpty());
}

void TestPreviewPage::failuresAreReported_data()
{
    QTest::addColumn<bool>("open");       // preview open before the click
    QTest::addColumn<bool>("recording");  // recording before the click
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("previewText");  // button texts afterwards
    QTest::addColumn<QString>("recordText");

    QTest::newRow("StartPreview") << false << false << "previewBtn" << "TMV_NET_StartPreview_V2"
                                  << "StartPreview Failed!" << "Open" << "Start";
    QTest::newRow("StopPreview") << true << true << "previewBtn" << "TMV_NET_StopPreview" << "StopPreview Failed!"
                                 << "Close" << "Stop";
    QTest::newRow("PreviewSnapshot") << true << false << "snapNormalBtn" << "TMV_NET_PreviewSnapshot"
                                     << "PreviewSnapshot Failed!" << "Close" << "Start";
    QTest::newRow("GetIRGImage") << false << false << "snapIrgBtn" << "TMV_NET_GetIRGImage" << "GetIRGImage Failed!"
                                 << "Open" << "Start";
    QTest::newRow("GetDLT664Image") << false << false << "snapDlt664Btn" << "TMV_NET_GetDLT664Image"
                                    << "GetDLT664Image Failed!" << "Open" << "Start";
    QTest::newRow("StartPreviewRecord") << true << false << "recordBtn" << "TMV_NET_StartPreviewRecord"
                                        << "StartPreviewRecord Failed!" << "Close" << "Start";
    QTest::newRow("StopPreviewRecord") << true << true << "recordBtn" << "TMV_NET_StopPreviewRecord"
                                       << "StopPreviewRecord Failed!" << "Close" << "Stop";
}

void TestPreviewPage::failuresAreReported()
{
    QFETCH(bool, open);
    QFETCH(bool, recording);
    QFETCH(QString, button);
    QFETCH(QString, function);
    QFETCH(QString, text);
    QFETCH(QString, previewText);
    QFETCH(QString, recordText);
    if (recording || function == QLatin1String("TMV_NET_StartPreviewRecord"))
        SIM_REQUIRE_RECORDINGS();
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    SimFixture::clearJournal();
    if (open)
        OpenPreview();
    if (recording) {
        StartRecording();
        QCOMPARE(m_fixture->child<QPushButton>("recordBtn")->text(), QStringLiteral("Stop"));
    }
    QSignalSpy opened(m_page, SIGNAL(PreviewOpen(bool)));

    TMVSim_FailCall(function.toLatin1().constData(), 1, 1);
    FileDialogAnswerer answer(m_dir->filePath(QStringLiteral("file.jpg")));
    m_fixture->child<QPushButton>(button.toLatin1().constData())->click();

    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().title, QStringLiteral("Error"));
    QCOMPARE(m_boxes->last().text, text);
    QCOMPARE(m_fixture->child<QPushButton>("previewBtn")->text(), previewText);
    QCOMPARE(m_fixture->child<QPushButton>("recordBtn")->text(), recordText);
    QCOMPARE(opened.count(), 0);
}

void TestPreviewPage::reopenOnOtherChannelNeverShowsOldFrame()
{
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    SimFixture::clearJournal();
    OpenPreview();
    QTRY_VERIFY(!m_label->Picture().isNull());

    // A frame of channel 1's stream is announced but not yet delivered when
    // the user switches to channel 2 and opens the preview again.
    TMVSim_ClockPause();
    QVERIFY(DeliverFromLibraryThread(m_page, 16, 8));

    m_fixture->child<QRadioButton>("onlineChannel1RadioBtn")->click();
    QCOMPARE(m_fixture->child<QPushButton>("previewBtn")->text(), QStringLiteral("Open"));
    TMVSim_JournalClear();
    OpenPreview();
    QCOMPARE(SimFixture::argsOf("TMV_NET_StartPreview_V2"), QList<QByteArray>{PreviewRequest(1)});

    QCoreApplication::processEvents();
    QVERIFY(m_label->FrameSize() != QSize(16, 8));

    TMVSim_ClockStep(500);
    QTRY_VERIFY(!m_label->Picture().isNull());
    QVERIFY(m_label->FrameSize() != QSize(16, 8));
}

void TestPreviewPage::destroyedPageStopsItsStreams()
{
    SIM_REQUIRE_RECORDINGS();
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    SimFixture::clearJournal();
    auto *page = new PreviewPage(m_window);
    page->OnChangeHandle(m_window->Handle());
    m_fixture->child<QPushButton>(page, "previewBtn")->click();
    QVERIFY(page->IsPreviewOpen());
    {
        FileDialogAnswerer answer(m_dir->filePath(QStringLiteral("clip.mp4")));
        m_fixture->child<QPushButton>(page, "recordBtn")->click();
    }
    QVERIFY(page->IsRecording());
    TMVSim_JournalClear();

    delete page;

    QCOMPARE(TMVSim_JournalCountOf("TMV_NET_StopPreviewRecord"), 1);
    QCOMPARE(TMVSim_JournalCountOf("TMV_NET_StopPreview"), 1);
    // The session can preview again: nothing of the old page is left.
    OpenPreview();
    QVERIFY(m_boxes->boxes().isEmpty());
}

QTEST_MAIN(TestPreviewPage)
#include "tst_previewpage.moc"
