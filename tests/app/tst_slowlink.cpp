// The whole client over a slow link: with 200 ms on the device's wire every
// page's buttons still do what they did, and the window's event loop never
// stops for 100 ms; a download whose link is cut ends failed in its row,
// with the window going on, and once the link is back a new login works.
#include <QtTest>

#include <QApplication>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cstdlib>

#include "app/MainWindow.h"
#include "config/ConfigPage.h"
#include "config/Intelligent.h"
#include "config/PeripheralPage.h"
#include "liveview/PreviewPage.h"
#include "playback/DownloadPage.h"
#include "playback/ProgressDelegate.h"
#include "ptz/ControlPage.h"
#include "ptz/PTZPage.h"
#include "thermal/TempAlarmPage.h"
#include "StallMeter.h"
#include "TestSupport.h"

namespace {

const int kWireDelayMs = 200;
const int kLongestStallMs = 100;
// Short, so a cut link is found out quickly.
const int kLinkTimeoutMs = 1500;

QString stallText(const QString &what, qint64 ms)
{
    return QStringLiteral("%1: the event loop stood still for %2 ms").arg(what).arg(ms);
}

} // namespace

class TestSlowLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { TMV_NET_Deinit(); }
    void cleanup();

    void everyPageAnswersWithoutStalls();
    void downloadOnACutLinkFails();

private:
    QWidget *page(const QString &type) const;

    std::unique_ptr<PageFixture> m_fixture;
};

void TestSlowLink::initTestCase()
{
    WarningGuard::install();
    SimFixture::reset();
}

void TestSlowLink::cleanup()
{
    if (m_fixture && m_fixture->loggedIn())
        m_fixture->click("loginBtn");
    TMVSim_CutWire(SimFixture::kPtzCamera, 0);
    TMVSim_SetWireDelay(SimFixture::kPtzCamera, 0);
    // A session the device heard no logout of goes once the link is back.
    QTRY_COMPARE_WITH_TIMEOUT(SimFixture::sessionCount(SimFixture::kPtzCamera), 0, 10000);
    if (m_fixture)
        m_fixture->verifyClean();
    m_fixture.reset();
}

QWidget *TestSlowLink::page(const QString &type) const
{
    const QList<QWidget *> widgets = m_fixture->window()->findChildren<QWidget *>();
    for (QWidget *widget : widgets)
        if (QLatin1String(widget->metaObject()->className()) == type)
            return widget;
    return nullptr;
}

// One click on every page, in order on one window logged in over the slow
// link (the live picture opened by the first stays open until the last):
// the page, the button, and the call the click must have made.
void TestSlowLink::everyPageAnswersWithoutStalls()
{
    struct Click
    {
        const char *what;
        const char *page;
        const char *button;
        const char *call;
    };
    static const Click kClicks[] = {
        {"preview open", "PreviewPage", "previewBtn", "TMV_NET_StartPreview_V2"},
        {"frame temperature", "TempAlarmPage", "getFrameTempDataBtn", "TMV_NET_QueryFrameTemp"},
        {"rule list", "TempAlarmPage", "getAllRulesBtn", "TMV_NET_QueryTempRuleSize"},
        {"frame rate", "ConfigPage", "fameRateGetBtn", "TMV_NET_GetFrameRate"},
        {"imaging get", "ConfigPage", "thermalImageGetBtn", "TMV_NET_GetThermalImageLuminance"},
        {"imaging set", "ConfigPage", "thermalImageSetBtn", "TMV_NET_SetThermalImageLuminance"},
        {"network get", "ConfigPage", "ipConfigGetBtn", "TMV_NET_GetIpConfig"},
        {"preset list", "PTZPage", "presetGetAllBtn", "TMV_NET_QueryPtzPreset"},
        {"preset save", "PTZPage", "saveBtn", "TMV_NET_PtzPresetControl"},
        {"preset call", "PTZPage", "moveToBtn", "TMV_NET_PtzPresetControl"},
        {"head position", "PTZPage", "getCoordinatesBtn", "TMV_NET_GetCurrentPtz_V1"},
        {"linkage", "ControlPage", "gunBallGetBtn", "TMV_NET_GetGunBallTrackConfigInfo"},
        {"wiper", "PeripheralPage", "GetWiperBtn", "TMV_NET_GetWiperConfigInfo"},
        {"recognition", "Intelligent", "getTargetBtn", "TMV_NET_GetTargetRecognitionConfig"},
        {"SD card search", "MainWindow", "sdCardSearchBtn", "TMV_NET_QueryFile"},
        {"preview close", "PreviewPage", "previewBtn", "TMV_NET_StopPreview"},
    };

    m_fixture.reset(new PageFixture);
    QCOMPARE(TMVSim_SetWireDelay(SimFixture::kPtzCamera, kWireDelayMs), 0);
    {
        StallMeter meter;
        QElapsedTimer took;
        took.start();
        QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
        // The link is slow indeed: a login is several round trips.
        QVERIFY2(took.elapsed() >= 2 * kWireDelayMs, qPrintable(QString::number(took.elapsed())));
        QVERIFY2(meter.longestMs() < kLongestStallMs, qPrintable(stallText("login", meter.longestMs())));
    }

    for (const Click &click : kClicks) {
        const QString what = QString::fromLatin1(click.what);
        const bool onWindow = qstrcmp(click.page, "MainWindow") == 0;
        QWidget *target = onWindow ? m_fixture->window() : page(QString::fromLatin1(click.page));
        QVERIFY2(target, click.page);
        m_fixture->child<QTabWidget>("tabWidget_2")->setCurrentIndex(onWindow ? 1 : 0);
        if (!onWindow)
            m_fixture->child<QTabWidget>("tabWidget")->setCurrentWidget(target);
        QAbstractButton *button = PageFixture::button(target, QString::fromLatin1(click.button));
        QVERIFY2(button && button->isEnabled(), click.what);

        if (qstrcmp(click.button, "saveBtn") == 0)
            PageFixture::edit(target, QStringLiteral("presetNameEdit"))->setText(QStringLiteral("Gate"));

        // A call made on the loop's thread stalls it for the whole round
        // trip, every time; a machine busy with other work may hold the
        // thread back now and then. So a click that can be repeated gets
        // three tries to stay under the limit, which only the latter passes.
        const bool toggles = qstrcmp(click.button, "previewBtn") == 0;
        qint64 stall = 0;
        for (int attempt = 0; attempt < (toggles ? 1 : 3); ++attempt) {
            SimFixture::clearJournal();
            const int boxes = m_fixture->boxes().count();
            StallMeter meter;
            QElapsedTimer took;
            took.start();
            PageFixture::click(target, QString::fromLatin1(click.button));
            stall = meter.longestMs();
            qInfo("%-18s %4lld ms, longest stall %3lld ms", click.what, took.elapsed(), stall);
            QVERIFY2(SimFixture::countOf(click.call) >= 1, qPrintable(what + ": no " + click.call));
            // Over the link, not from a cache: the click took a round trip.
            QVERIFY2(took.elapsed() >= kWireDelayMs, qPrintable(what + ": " + QString::number(took.elapsed())));
            // The pages' own success boxes aside, nothing failed.
            for (int i = boxes; i < m_fixture->boxes().count(); ++i)
                QVERIFY2(m_fixture->boxes().boxes().at(i).title != QLatin1String("Error"),
                         qPrintable(what + ": " + m_fixture->boxes().boxes().at(i).text));
            if (stall < kLongestStallMs)
                break;
        }
        QVERIFY2(stall < kLongestStallMs, qPrintable(stallText(what, stall)));

        if (qstrcmp(click.button, "previewBtn") == 0) {
            const bool opened = qstrcmp(click.call, "TMV_NET_StartPreview_V2") == 0;
            QCOMPARE(button->text(), opened ? QStringLiteral("Close") : QStringLiteral("Open"));
            // The picture comes over the slow link.
            if (opened)
                QTRY_VERIFY_WITH_TIMEOUT(!qobject_cast<PreviewPage *>(target)->CurrentFrame().isNull(), 5000);
        }
        if (onWindow)
            QVERIFY(m_fixture->child<QTableWidget>("tableWidget")->rowCount() > 0);
    }

    // The logout too, with a live picture to stop first: both its round
    // trips wait with the loop turning, and it ends the login all the same.
    auto *preview = qobject_cast<PreviewPage *>(page(QStringLiteral("PreviewPage")));
    m_fixture->child<QTabWidget>("tabWidget_2")->setCurrentIndex(0);
    PageFixture::click(preview, QStringLiteral("previewBtn"));
    QVERIFY(preview->IsPreviewOpen());
    SimFixture::clearJournal();
    StallMeter meter;
    QElapsedTimer took;
    took.start();
    m_fixture->click("loginBtn");
    qInfo("%-18s %4lld ms, longest stall %3lld ms", "logout", took.elapsed(), meter.longestMs());
    QVERIFY(!m_fixture->loggedIn());
    QVERIFY(!preview->IsPreviewOpen());
    QCOMPARE(SimFixture::callsAmong({"TMV_NET_StopPreview", "TMV_NET_Logout"}),
             QStringList({"TMV_NET_StopPreview", "TMV_NET_Logout"}));
    QVERIFY2(took.elapsed() >= 2 * kWireDelayMs, qPrintable(QString::number(took.elapsed())));
    QVERIFY2(meter.longestMs() < kLongestStallMs, qPrintable(stallText("logout", meter.longestMs())));
    QTRY_COMPARE_WITH_TIMEOUT(SimFixture::sessionCount(SimFixture::kPtzCamera), 0, 5000);
}

// A download on a link that is then cut: the download window shows the row
// failed within the link timeout, the window turns its loop throughout,
// and with the link back a new login works.
void TestSlowLink::downloadOnACutLinkFails()
{
    m_fixture.reset(new PageFixture);
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    // A download that lasts.
    QCOMPARE(TMVSim_SetLinkSpeed(SimFixture::kPtzCamera, 8 * 1024), 0);
    m_fixture->child<QTabWidget>("tabWidget_2")->setCurrentIndex(1);
    m_fixture->click("sdCardSearchBtn");
    auto *files = m_fixture->child<QTableWidget>("tableWidget");
    QVERIFY(files->rowCount() > 0);
    files->setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 1), true);
    QTemporaryDir dir;
    {
        FileDialogAnswerer answer(dir.path());
        m_fixture->click("downloadBtn");
        QVERIFY(answer.answered());
    }
    m_fixture->click("downProgressBtn");
    DownloadPage *window = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *found = qobject_cast<DownloadPage *>(widget))
            window = found;
    QVERIFY(window && window->isVisible());
    const QAbstractItemModel *rows = PageFixture::child<QTableView>(window, "tableView")->model();
    QTRY_COMPARE(rows->rowCount(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(rows->index(0, 2).data(ProgressDelegate::PercentRole).toInt() > 0, 5000);
    QVERIFY(!rows->index(0, 2).data(ProgressDelegate::FailedRole).toBool());

    StallMeter meter;
    QElapsedTimer cut;
    QCOMPARE(TMVSim_CutWire(SimFixture::kPtzCamera, 1), 0);
    cut.start();
    QTRY_VERIFY_WITH_TIMEOUT(rows->index(0, 2).data(ProgressDelegate::FailedRole).toBool(), kLinkTimeoutMs + 3000);
    // Found out by the link timeout, shown by the next poll.
    QVERIFY2(cut.elapsed() <= kLinkTimeoutMs + 2500, qPrintable(QString::number(cut.elapsed())));
    QVERIFY2(meter.longestMs() < kLongestStallMs, qPrintable(stallText("cut link", meter.longestMs())));
    const int reached = rows->index(0, 2).data(ProgressDelegate::PercentRole).toInt();
    QVERIFY2(reached > 0 && reached < 100, qPrintable(QString::number(reached)));
    QCOMPARE(rows->index(0, 2).data().toString(), QStringLiteral("%1% failed").arg(reached));
    // The device's exception was shown as any other.
    QVERIFY(m_fixture->boxes().waitForCount(1, 1000));
    QCOMPARE(m_fixture->boxes().boxes().first().text, QStringLiteral("1001:dev offline."));

    QCOMPARE(TMVSim_CutWire(SimFixture::kPtzCamera, 0), 0);
    m_fixture->click("loginBtn");
    QVERIFY(!m_fixture->loggedIn());
    // The row stays as it was once the login is gone.
    QTest::qWait(1200);
    QCOMPARE(rows->index(0, 2).data().toString(), QStringLiteral("%1% failed").arg(reached));
    QTRY_COMPARE_WITH_TIMEOUT(SimFixture::sessionCount(SimFixture::kPtzCamera), 0, 10000);
    const int boxes = m_fixture->boxes().count();
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    QCOMPARE(m_fixture->boxes().count(), boxes);
    window->close();
}

int main(int argc, char **argv)
{
    // Only the library reads these; the fixture starts the service.
    setenv("TMVNET_DEVICES", "network", 1);
    setenv("TMVNET_LINK_TIMEOUT_MS", QByteArray::number(kLinkTimeoutMs).constData(), 1);
    QApplication app(argc, argv);
    TestSlowLink test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_slowlink.moc"
