// The whole client over the network while its device service dies: with the
// live picture open, the window shows exception 1001 within 3 s as it shows
// any exception, no frame arrives after it, the window stays usable, and once
// the service is back a new login works.
#include <QtTest>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>

#include <atomic>
#include <cstdlib>
#include <memory>

#include "DeviceService.h"
#include "app/MainWindow.h"
#include "liveview/PreviewPage.h"
#include "TestSupport.h"

class TestLostService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { WarningGuard::install(); }
    void cleanupTestCase() { TMV_NET_Deinit(); }

    void windowOutlivesItsService();
};

void TestLostService::windowOutlivesItsService()
{
    PageFixture fixture;
    QVERIFY(fixture.login(SimFixture::kPtzCamera));
    auto *preview = fixture.window()->findChild<PreviewPage *>();
    QVERIFY(preview);
    // Counted on the library's thread, as the frames come.
    std::atomic<int> frames{0};
    connect(preview, &PreviewPage::UpdateFrame, this, [&frames] { ++frames; }, Qt::DirectConnection);
    fixture.click("previewBtn");
    QTRY_VERIFY(frames > 3);

    QElapsedTimer lost;
    SimFixture::service()->kill();
    lost.start();
    // The device's exception, then the running preview's, as the client
    // shows any exception.
    QVERIFY(fixture.boxes().waitForCount(1, 3000));
    QVERIFY2(lost.elapsed() < 3000, qPrintable(QString::number(lost.elapsed())));
    QVERIFY(fixture.boxes().waitForCount(2, 2000));
    // The second opens on top of the first, inside its loop.
    QStringList texts;
    for (const ModalCatcher::Box &box : fixture.boxes().boxes()) {
        QCOMPARE(box.title, QStringLiteral("Exception"));
        texts << box.text;
    }
    texts.sort();
    QCOMPARE(texts, QStringList({"1001:dev offline.", "1002:Preview offline."}));
    const int seen = frames;
    QTest::qWait(500);
    QCOMPARE(frames.load(), seen);

    // The buttons still work: the picture closes, opening it again is
    // refused with the client's usual message, and the logout goes through.
    fixture.click("previewBtn");
    QCOMPARE(fixture.child<QPushButton>("previewBtn")->text(), QStringLiteral("Open"));
    QCOMPARE(fixture.boxes().count(), 2);
    fixture.click("previewBtn");
    QCOMPARE(fixture.boxes().count(), 3);
    QCOMPARE(fixture.boxes().last().title, QStringLiteral("Error"));
    QCOMPARE(fixture.boxes().last().text, QStringLiteral("StartPreview Failed!"));
    QCOMPARE(fixture.child<QPushButton>("previewBtn")->text(), QStringLiteral("Open"));
    fixture.click("loginBtn");
    QVERIFY(!fixture.loggedIn());

    QVERIFY2(SimFixture::restartService(), qPrintable(SimFixture::service()->log()));
    QVERIFY(fixture.login(SimFixture::kPtzCamera));
    fixture.click("previewBtn");
    QTRY_VERIFY(frames > seen);
    fixture.verifyClean();
}

int main(int argc, char **argv)
{
    // Only the library reads this; the fixture starts the service.
    setenv("TMVNET_DEVICES", "network", 1);
    QApplication app(argc, argv);
    TestLostService test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_lostservice.moc"
