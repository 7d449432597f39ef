#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <memory>
#include <vector>

#include "app/MainWindow.h"
#include "liveview/PreviewPage.h"
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
bool DeliverFromLibraryThread(PreviewPage *page, int width, int height)
{
    std::vector<uint8_t> pixels = Pixels(width, height);
    TMV_NET_PREVIEW_FRAME frame = {pixels.data(), width, height, 0, 0};
    QThread *thread = QThread::create([&frame, page] { PreviewPage::FrameCallback(nullptr, 0, &frame, page); });
    thread->start();
    const bool finished = thread->wait(5000);
    delete thread;
    return finished;
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

void TestPreviewPage::StartRecording()
{
    FileDialogAnswerer answer(m_dir->filePath(QStringLiteral("clip.mp4")));
    m_fixture->child<QPushButton>("recordBtn")->click();
}

void TestPreviewPage::frameCallbackKeepsShownPart_data()
{
    QTest::addColumn<QSize>("frameSize");
    QTest::addColumn<QSize>("showSize");
    QTest::addColumn<QSize>("stored");

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

    std::vector<uint8_t> pixels = Pixels(frameSize.width(), frameSize.height());
    TMV_NET_PREVIEW_FRAME frame = {pixels.data(), frameSize.width(), frameSize.height(), showSize.width(),
                                   showSize.height()};
    QSignalSpy updates(m_page, SIGNAL(UpdateFrame()));

    PreviewPage::FrameCallback(nullptr, 0, &frame, m_page);
    // The library's buffer is reused once the callback returns.
    std::fill(pixels.begin(), pixels.end(), uint8_t(0));

    QCOMPARE(updates.count(), 1);
    const QImage image = m_page->CurrentFrame();
    QCOMPARE(image.format(), QImage::Format_RGB32);
    QCOMPARE(image.size(), stored);
    for (const QPoint &p : {QPoint(0, 0), QPoint(stored.width() - 1, 0), QPoint(3, stored.height() - 1),
                            QPoint(stored.width() - 1, stored.height() - 1)})
        QCOMPARE(image.pixel(p), qRgb(p.x(), p.y(), 7));
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
    QCOMPARE(m_page->CurrentFrame().size(), QSize(8, 4));
}

void TestPreviewPage::frameFromLibraryThreadReachesLabel()
{
    QVERIFY(DeliverFromLibraryThread(m_page, 64, 48));

    QVERIFY(m_label->Frame().isNull());  // queued, not yet delivered
    QTRY_COMPARE(m_label->Frame().size(), QSize(64, 48));
    QCOMPARE(m_label->Frame().pixel(10, 20), qRgb(10, 20, 7));
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
    QTRY_VERIFY(!m_label->Frame().isNull());
    QCOMPARE(m_label->Frame().format(), QImage::Format_RGB32);

    m_fixture->child<QPushButton>("previewBtn")->click();
    QCOMPARE(m_fixture->child<QPushButton>("previewBtn")->text(), QStringLiteral("Open"));
    QCOMPARE(opened.count(), 1);
    QCOMPARE(opened.takeFirst().at(0).toBool(), false);
    QCOMPARE(TMVSim_JournalCountOf("TMV_NET_StopPreview"), 1);
    QCOMPARE(TMVSim_JournalCountOf("TMV_NET_StopPreviewRecord"), 0);

    // The last frame stays on the disabled label.
    QCoreApplication::processEvents();
    QVERIFY(!m_label->isEnabled());
    QVERIFY(!m_label->Frame().isNull());
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
    QCOMPARE(SimFixture::argsOf("TMV_NET_PreviewSnapshot"), QList<QByteArray>{normal.toUtf8() + '\0'});
    QCOMPARE(SimFixture::argsOf("TMV_NET_GetIRGImage"),
             QList<QByteArray>{(irg + ".irg").toUtf8() + '\0' + (irg + ".jpg").toUtf8() + '\0'});
    QCOMPARE(SimFixture::argsOf("TMV_NET_GetDLT664Image"), QList<QByteArray>{dlt.toUtf8() + '\0'});
    for (const QString &file : {normal, irg + ".irg", irg + ".jpg", dlt})
        QVERIFY2(QFileInfo(file).size() > 0, qPrintable(file));
}

void TestPreviewPage::recordStartStop()
{
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    SimFixture::clearJournal();
    OpenPreview();
    const QString path = m_dir->filePath(QStringLiteral("clip.mp4"));

    {
        FileDialogAnswerer answer(path);
        m_fixture->child<QPushButton>("recordBtn")->click();
    }
    QCOMPARE(m_fixture->child<QPushButton>("recordBtn")->text(), QStringLiteral("Stop"));
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
    QTRY_VERIFY(!m_label->Frame().isNull());

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
    QVERIFY(m_label->Frame().size() != QSize(16, 8));

    TMVSim_ClockStep(500);
    QTRY_VERIFY(!m_label->Frame().isNull());
    QVERIFY(m_label->Frame().size() != QSize(16, 8));
}

void TestPreviewPage::destroyedPageStopsItsStreams()
{
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
