#include <QtTest>

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include <cstring>

#include "app/MainWindow.h"
#include "liveview/VideoLabel.h"
#include "common/MsgBox.h"
#include "TestSupport.h"

#include <memory>

namespace {

const QStringList kSessionCalls = {
    "TMV_NET_Login", "TMV_NET_SetExceptionCallback", "TMV_NET_GetDevInfo",
    "TMV_NET_GetDevAbility", "TMV_NET_GetPtzAuxState", "TMV_NET_StopDownloadFile",
    "TMV_NET_Logout",
};

// The arguments of TMV_NET_GetDevAbility after the handle.
struct AbilityArgs
{
    int32_t channel;
    int32_t zero;
};

// Takes what the window's signals carry through queued connections.
class Receiver : public QObject
{
    Q_OBJECT

public:
    QMap<int, TMV_NET_FILE_DOWNLOAD_INFO> downloads;
    int received = 0;

public slots:
    void OnFile(QMap<int, TMV_NET_FILE_DOWNLOAD_INFO> files)
    {
        downloads = files;
        ++received;
    }
};

// Whether `rect` of `widget` is wholly on screen: the widget shown and no
// part of the rectangle cut off by a scroll area or another ancestor.
bool WhollyShown(const QWidget *widget, const QRect &rect)
{
    return widget->isVisible() && (QRegion(rect) - widget->visibleRegion()).isEmpty();
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void initialState();
    void initialDrawButtons_data();
    void initialDrawButtons();

    void loginReachesEveryPageInOrder();
    void loginFailureLeavesBarLoggedOut_data();
    void loginFailureLeavesBarLoggedOut();
    void loginRejectedByDevice_data();
    void loginRejectedByDevice();
    void overlongFieldIsRefusedBeforeTheLibrary_data();
    void overlongFieldIsRefusedBeforeTheLibrary();
    void logoutRestoresTheBar();
    void logoutClosesTheLivePreviewFirst();
    void logoutEndsThePreviewWhateverTheStopAnswered_data();
    void logoutEndsThePreviewWhateverTheStopAnswered();

    void channelButtonsFollowChannelCount_data();
    void channelButtonsFollowChannelCount();
    void drawBarOnlyOnThermalChannelOfTempPage();

    void exceptionShowsItsText_data();
    void exceptionShowsItsText();

    void searchListsEveryAnswer();
    void searchFailureIsReported();

    void searchAnswersReachOnlyLiveWindows();

    void closingWhileLoggedInLogsOut();
    void destroyingALoggedInWindowLogsOut_data();
    void destroyingALoggedInWindowLogsOut();

    void recordSignalsCanBeQueued();

    void textsReadWhole_data();
    void textsReadWhole();

private:
    std::unique_ptr<PageFixture> m_fixture;
};

void TestMainWindow::initTestCase()
{
    WarningGuard::install();
    SimFixture::reset();
}

void TestMainWindow::init()
{
    m_fixture.reset(new PageFixture);
}

void TestMainWindow::cleanup()
{
    m_fixture->verifyClean();
    m_fixture.reset();
}

void TestMainWindow::initialState()
{
    QCOMPARE(m_fixture->window()->windowTitle(), QString("SDKDemo"));
    QCOMPARE(m_fixture->window()->size(), QSize(1366, 886));
    QCOMPARE(m_fixture->window()->minimumSize(), QSize(1366, 886));
    QCOMPARE(m_fixture->window()->maximumSize(), QSize(1366, 886));
    QVERIFY(!(m_fixture->window()->windowFlags() & Qt::WindowMaximizeButtonHint));

    QTabWidget *pages = m_fixture->child<QTabWidget>("tabWidget");
    QStringList titles;
    for (int i = 0; i < pages->count(); ++i)
        titles << pages->tabText(i);
    QCOMPARE(titles, QStringList({"Preview", "Temp Alarm", "Config", "PTZ", "Swivel",
                                  "Peripherel", "Intelligent"}));
    QCOMPARE(pages->widget(1)->metaObject()->className(), "TempAlarmPage");
    QCOMPARE(pages->widget(4)->metaObject()->className(), "ControlPage");
    QCOMPARE(pages->currentIndex(), 0);

    QTabWidget *outer = m_fixture->child<QTabWidget>("tabWidget_2");
    QCOMPARE(outer->tabText(0), QString("Online"));
    QCOMPARE(outer->tabText(1), QString("Playback"));
    QCOMPARE(outer->currentIndex(), 0);
    QVERIFY(!outer->isEnabled());

    QCOMPARE(m_fixture->child<QPushButton>("ipSearchBtn")->text(), QString("Search"));
    QComboBox *ip = m_fixture->child<QComboBox>("IPcomboBox");
    QVERIFY(ip->isEditable());
    QCOMPARE(ip->count(), 0);
    QVERIFY(ip->minimumWidth() >= 160);
    QCOMPARE(m_fixture->child<QLineEdit>("portEdit")->text(), QString("80"));
    QCOMPARE(m_fixture->child<QLineEdit>("portEdit")->size(), QSize(80, 25));
    QCOMPARE(m_fixture->child<QLineEdit>("userEdit")->text(), QString("admin"));
    QCOMPARE(m_fixture->child<QLineEdit>("passwordEdit")->text(), QString("sensor852"));
    QCOMPARE(m_fixture->child<QLineEdit>("passwordEdit")->echoMode(), QLineEdit::Normal);
    QCOMPARE(m_fixture->child<QPushButton>("loginBtn")->text(), QString("Login"));

    QWidget *drawBar = m_fixture->child<QWidget>("drawWidget");
    QVERIFY(!drawBar->isVisible());
    QVERIFY(!drawBar->isEnabled());
    QVERIFY(m_fixture->child<QWidget>("videoLabel")->width() >= 512);
    QVERIFY(m_fixture->child<QWidget>("videoLabel")->height() >= 384);
    QVERIFY(pages->width() >= 450);

    for (const char *name : {"selectAllBtn", "downloadBtn", "backBtn", "nextBtn", "downProgressBtn"})
        QVERIFY2(!m_fixture->child<QPushButton>(name)->isEnabled(), name);
    QCOMPARE(m_fixture->child<QPushButton>("downProgressBtn")->text(), QString("Download progress"));
    QVERIFY(m_fixture->child<QRadioButton>("onlineChannel0RadioBtn")->isChecked());
    QVERIFY(m_fixture->child<QRadioButton>("playbackChannel0RadioBtn")->isChecked());
    QVERIFY(m_fixture->child<QRadioButton>("videoRadioBtn")->isChecked());

    QTableWidget *table = m_fixture->child<QTableWidget>("tableWidget");
    QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(table->verticalHeader()->isHidden());

    const QDateTime start = m_fixture->child<QDateTimeEdit>("startDateTimeEdit")->dateTime();
    const QDateTime end = m_fixture->child<QDateTimeEdit>("endDateTimeEdit")->dateTime();
    QVERIFY(qAbs(end.secsTo(QDateTime::currentDateTime())) < 60);
    QCOMPARE(start.date().daysTo(end.date()), qint64(1));
    QCOMPARE(start.time(), end.time());

    // The file-type choice must not take the playback channel's check away.
    m_fixture->child<QRadioButton>("imageRadioBtn")->setChecked(true);
    QVERIFY(!m_fixture->child<QRadioButton>("videoRadioBtn")->isChecked());
    QVERIFY(m_fixture->child<QRadioButton>("playbackChannel0RadioBtn")->isChecked());
    m_fixture->child<QRadioButton>("playbackChannel1RadioBtn")->setChecked(true);
    QVERIFY(m_fixture->child<QRadioButton>("imageRadioBtn")->isChecked());
    QVERIFY(m_fixture->child<QRadioButton>("onlineChannel0RadioBtn")->isChecked());

    QCOMPARE(m_fixture->boxes().count(), 0);
}

void TestMainWindow::initialDrawButtons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("icon");
    QTest::newRow("point") << "drawPointBtn" << "Point" << ":/res/res/tool_icon_point_sel.png";
    QTest::newRow("line") << "drawLineBtn" << "Line" << ":/res/res/tool_icon_line_sel.png";
    QTest::newRow("rectangle") << "drawAreaBtn" << "Rectangle" << ":/res/res/tool_icon_rectangle_sel.png";
    QTest::newRow("circle") << "drawCircleBtn" << "Circular" << ":/res/res/tool_icon_circle_sel.png";
    QTest::newRow("polygon") << "drawPolygonBtn" << "Polygon" << ":/res/res/tool_icon_polygon_sel.png";
    QTest::newRow("mask") << "shieldedAreaBtn" << "Mask" << ":/res/res/tool_icon_shielded_area.png";
}

void TestMainWindow::initialDrawButtons()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, icon);

    QPushButton *button = m_fixture->child<QPushButton>(name.toLatin1().constData());
    QCOMPARE(button->text(), text);
    QCOMPARE(button->toolTip(), text);
    QVERIFY(button->isCheckable());
    QVERIFY(!button->autoExclusive());
    QCOMPARE(button->minimumSize(), QSize(25, 25));
    QCOMPARE(button->maximumSize(), QSize(25, 25));
    QCOMPARE(button->font().family(), QString::fromUtf8("微软雅黑"));
    QCOMPARE(button->font().pointSize(), 10);
    QVERIFY(!button->icon().isNull());

    const QImage picture(icon);
    QCOMPARE(picture.size(), QSize(24, 24));
    // A drawn glyph, not an empty square.
    int inked = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            inked += qAlpha(picture.pixel(x, y)) > 128;
    QVERIFY(inked > 10);

    // One non-exclusive group holds all six.
    QButtonGroup *group = button->group();
    QVERIFY(group);
    QCOMPARE(group->buttons().size(), 6);
    QVERIFY(!group->exclusive());
}

void TestMainWindow::loginReachesEveryPageInOrder()
{
    QSignalSpy handles(m_fixture->window(), SIGNAL(ChangeHandle(TMV_NET_HANDLE)));

    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));

    QCOMPARE(SimFixture::callsAmong(kSessionCalls),
             QStringList({"TMV_NET_Login", "TMV_NET_SetExceptionCallback", "TMV_NET_GetDevInfo",
                          "TMV_NET_GetDevAbility", "TMV_NET_GetPtzAuxState",
                          "TMV_NET_GetDevAbility", "TMV_NET_GetPtzAuxState"}));

    const TMV_NET_LOGIN_INFO info = SimFixture::lastRecord<TMV_NET_LOGIN_INFO>("TMV_NET_Login", 0);
    QCOMPARE(QByteArray(info.ip), QByteArray("127.0.0.11"));
    QCOMPARE(info.port, 80);
    QCOMPARE(QByteArray(info.userName), QByteArray("admin"));
    QCOMPARE(QByteArray(info.password), QByteArray("sensor852"));

    QCOMPARE(handles.count(), 1);
    const TMV_NET_HANDLE handle = handles.at(0).at(0).value<TMV_NET_HANDLE>();
    QVERIFY(handle);
    QCOMPARE(handle, m_fixture->window()->Handle());
    QCOMPARE(SimFixture::sessionCount(SimFixture::kPtzCamera), 1);

    QCOMPARE(m_fixture->window()->DevInfo().channelCount, 2);
    QVERIFY(m_fixture->window()->Ability().panTilt);
    QCOMPARE(m_fixture->window()->Channel(), 0);

    for (const char *name : {"ipSearchBtn", "IPcomboBox", "portEdit", "userEdit", "passwordEdit"})
        QVERIFY2(!m_fixture->child<QWidget>(name)->isEnabled(), name);
    QVERIFY(m_fixture->child<QTabWidget>("tabWidget_2")->isEnabled());
}

void TestMainWindow::loginFailureLeavesBarLoggedOut_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("logouts");

    QTest::newRow("Login") << "TMV_NET_Login" << 1006 << "Login User Limit!" << 0;
    // A session opened before the failing step is closed again.
    QTest::newRow("SetExceptionCallback") << "TMV_NET_SetExceptionCallback" << 1
                                          << "SetExceptionCallback Failed!" << 1;
    QTest::newRow("GetDevInfo") << "TMV_NET_GetDevInfo" << 2 << "GetDevInfo Not Supported!" << 1;
}

void TestMainWindow::loginFailureLeavesBarLoggedOut()
{
    QFETCH(QString, function);
    QFETCH(int, status);
    QFETCH(QString, text);
    QFETCH(int, logouts);

    QSignalSpy handles(m_fixture->window(), SIGNAL(ChangeHandle(TMV_NET_HANDLE)));
    SimFixture::fail(function.toLatin1().constData(), status);
    m_fixture->fillLogin(SimFixture::kPtzCamera);
    m_fixture->click("loginBtn");

    QCOMPARE(m_fixture->boxes().count(), 1);
    QCOMPARE(m_fixture->boxes().last().title, QString("Error"));
    QCOMPARE(m_fixture->boxes().last().text, text);
    QCOMPARE(SimFixture::countOf("TMV_NET_Logout"), logouts);
    QCOMPARE(SimFixture::countOf("TMV_NET_GetDevAbility"), 0);
    QCOMPARE(SimFixture::sessionCount(SimFixture::kPtzCamera), 0);
    QVERIFY(!m_fixture->window()->Handle());
    QCOMPARE(handles.count(), 0);
    QVERIFY(!m_fixture->loggedIn());
    QVERIFY(m_fixture->child<QLineEdit>("userEdit")->isEnabled());
    QVERIFY(!m_fixture->child<QTabWidget>("tabWidget_2")->isEnabled());

    // The bar is usable again at once.
    m_fixture->boxes().clear();
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
}

void TestMainWindow::loginRejectedByDevice_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("text");
    QTest::newRow("wrong password") << "admin" << "sensor853" << "Login Pwd Wrong!";
    QTest::newRow("unknown user") << "guest" << "sensor852" << "Login None User!";
}

void TestMainWindow::loginRejectedByDevice()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, text);

    m_fixture->fillLogin(SimFixture::kPtzCamera, user, password);
    m_fixture->click("loginBtn");

    QCOMPARE(m_fixture->boxes().count(), 1);
    QCOMPARE(m_fixture->boxes().last().title, QString("Error"));
    QCOMPARE(m_fixture->boxes().last().text, text);
    QCOMPARE(m_fixture->boxes().last().icon, QMessageBox::Critical);
    QVERIFY(!m_fixture->loggedIn());
    QCOMPARE(SimFixture::sessionCount(SimFixture::kPtzCamera), 0);
}

void TestMainWindow::overlongFieldIsRefusedBeforeTheLibrary_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("refusal");

    const QString user(SimFixture::kUser);
    const QString password(SimFixture::kPassword);
    QTest::newRow("ip 16") << "127.000.000.0111" << user << password
                           << "The IP address is too long (at most 15 characters).";
    QTest::newRow("user 256") << "127.0.0.11" << QString(256, 'u') << password
                              << "The user name is too long (at most 255 bytes).";
    QTest::newRow("password 256") << "127.0.0.11" << user << QString(256, 'p')
                                  << "The password is too long (at most 255 bytes).";
    // At the limit the texts fit with their NUL and reach the library.
    QTest::newRow("ip 15") << "127.000.000.011" << user << password << "";
    QTest::newRow("user 255") << "127.0.0.11" << QString(255, 'u') << password << "";
    QTest::newRow("password 255") << "127.0.0.11" << user << QString(255, 'p') << "";
}

void TestMainWindow::overlongFieldIsRefusedBeforeTheLibrary()
{
    QFETCH(QString, ip);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, refusal);

    m_fixture->fillLogin(ip, user, password);
    m_fixture->click("loginBtn");

    QCOMPARE(m_fixture->boxes().count(), 1);
    QCOMPARE(m_fixture->boxes().last().title, QString("Error"));
    QVERIFY(!m_fixture->loggedIn());
    if (!refusal.isEmpty()) {
        QCOMPARE(m_fixture->boxes().last().text, refusal);
        QCOMPARE(SimFixture::calls(), QStringList());
        return;
    }
    QVERIFY(m_fixture->boxes().last().text.startsWith("Login "));
    const TMV_NET_LOGIN_INFO info = SimFixture::lastRecord<TMV_NET_LOGIN_INFO>("TMV_NET_Login", 0);
    QCOMPARE(QString::fromLatin1(info.ip, int(qstrnlen(info.ip, sizeof info.ip))), ip);
    QCOMPARE(QString::fromLatin1(info.userName, int(qstrnlen(info.userName, sizeof info.userName))), user);
    QCOMPARE(QString::fromLatin1(info.password, int(qstrnlen(info.password, sizeof info.password))),
             password);
}

void TestMainWindow::logoutRestoresTheBar()
{
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    const TMV_NET_HANDLE handle = m_fixture->window()->Handle();
    SimFixture::clearJournal();
    QSignalSpy handles(m_fixture->window(), SIGNAL(ChangeHandle(TMV_NET_HANDLE)));

    m_fixture->click("loginBtn");

    QCOMPARE(SimFixture::callsAmong(kSessionCalls), QStringList({"TMV_NET_Logout"}));
    QCOMPARE(SimFixture::lastRecord<TMV_NET_HANDLE>("TMV_NET_Logout", 0), handle);
    QCOMPARE(SimFixture::sessionCount(SimFixture::kPtzCamera), 0);
    QCOMPARE(handles.count(), 1);
    QVERIFY(!handles.at(0).at(0).value<TMV_NET_HANDLE>());
    QVERIFY(!m_fixture->window()->Handle());
    QCOMPARE(m_fixture->child<QPushButton>("loginBtn")->text(), QString("Login"));
    for (const char *name : {"ipSearchBtn", "IPcomboBox", "portEdit", "userEdit", "passwordEdit"})
        QVERIFY2(m_fixture->child<QWidget>(name)->isEnabled(), name);
    QVERIFY(!m_fixture->child<QTabWidget>("tabWidget_2")->isEnabled());
    QCOMPARE(m_fixture->boxes().count(), 0);
}

void TestMainWindow::logoutClosesTheLivePreviewFirst()
{
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    QPushButton *preview = m_fixture->child<QPushButton>("previewBtn");
    QTest::mouseClick(preview, Qt::LeftButton);
    QCOMPARE(SimFixture::countOf("TMV_NET_StartPreview_V2"), 1);
    QVERIFY(m_fixture->child<QWidget>("videoLabel")->isEnabled());
    QVERIFY(m_fixture->child<QWidget>("drawWidget")->isEnabled());
    // Frames reach the label through the main window.
    QTRY_VERIFY_WITH_TIMEOUT(!m_fixture->window()->GetVideoLabel()->Picture().isNull(), 5000);

    SimFixture::clearJournal();
    m_fixture->click("loginBtn");
    const QStringList order = SimFixture::callsAmong({"TMV_NET_StopPreview", "TMV_NET_Logout"});
    QCOMPARE(order, QStringList({"TMV_NET_StopPreview", "TMV_NET_Logout"}));
    QVERIFY(!m_fixture->child<QWidget>("videoLabel")->isEnabled());
    QVERIFY(!m_fixture->child<QWidget>("drawWidget")->isEnabled());
    QCOMPARE(m_fixture->boxes().count(), 0);
}

void TestMainWindow::logoutEndsThePreviewWhateverTheStopAnswered_data()
{
    QTest::addColumn<bool>("recording");
    QTest::newRow("preview") << false;
    QTest::newRow("preview and recording") << true;
}

void TestMainWindow::logoutEndsThePreviewWhateverTheStopAnswered()
{
    QFETCH(bool, recording);
    QTemporaryDir dir;
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    QPushButton *preview = m_fixture->child<QPushButton>("previewBtn");
    QPushButton *record = m_fixture->child<QPushButton>("recordBtn");
    m_fixture->click("previewBtn");
    QCOMPARE(preview->text(), QString("Close"));
    if (recording) {
        FileDialogAnswerer answer(dir.filePath("clip.mp4"));
        m_fixture->click("recordBtn");
        QCOMPARE(record->text(), QString("Stop"));
    }

    SimFixture::fail("TMV_NET_StopPreview", 1);
    m_fixture->click("loginBtn");

    // The failed stop is reported; the logout ended the stream anyway.
    QCOMPARE(m_fixture->boxes().count(), 1);
    QCOMPARE(m_fixture->boxes().last().text, QString("StopPreview Failed!"));
    QVERIFY(!m_fixture->loggedIn());
    QCOMPARE(SimFixture::sessionCount(SimFixture::kPtzCamera), 0);
    QCOMPARE(preview->text(), QString("Open"));
    QCOMPARE(record->text(), QString("Start"));
    QVERIFY(!m_fixture->child<QWidget>("videoLabel")->isEnabled());
    QVERIFY(!m_fixture->child<QWidget>("drawWidget")->isEnabled());

    // The next login starts from a closed page: nothing to stop, and the
    // preview opens and closes again.
    m_fixture->boxes().clear();
    SimFixture::clearJournal();
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    QCOMPARE(SimFixture::countOf("TMV_NET_StopPreview"), 0);
    m_fixture->click("previewBtn");
    QCOMPARE(preview->text(), QString("Close"));
    m_fixture->click("previewBtn");
    QCOMPARE(preview->text(), QString("Open"));
    QCOMPARE(m_fixture->boxes().count(), 0);
    m_fixture->click("loginBtn");
}

void TestMainWindow::channelButtonsFollowChannelCount_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<bool>("secondChannel");
    QTest::newRow("two channels") << "127.0.0.11" << true;
    QTest::newRow("one channel") << "127.0.0.12" << false;
}

void TestMainWindow::channelButtonsFollowChannelCount()
{
    QFETCH(QString, ip);
    QFETCH(bool, secondChannel);

    QVERIFY(m_fixture->login(ip.toLatin1().constData()));
    QCOMPARE(m_fixture->child<QRadioButton>("onlineChannel1RadioBtn")->isEnabled(), secondChannel);
    QCOMPARE(m_fixture->child<QRadioButton>("playbackChannel1RadioBtn")->isEnabled(), secondChannel);

    // Logging in again on another device re-decides, whatever came before.
    m_fixture->click("loginBtn");
    QVERIFY(m_fixture->login(secondChannel ? SimFixture::kFixedCamera : SimFixture::kPtzCamera));
    QCOMPARE(m_fixture->child<QRadioButton>("onlineChannel1RadioBtn")->isEnabled(), !secondChannel);
    m_fixture->click("loginBtn");
}

void TestMainWindow::drawBarOnlyOnThermalChannelOfTempPage()
{
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    const int thermal = m_fixture->window()->DevInfo().thermalChannel;
    QRadioButton *channelButton[2] = {m_fixture->child<QRadioButton>("onlineChannel0RadioBtn"),
                                      m_fixture->child<QRadioButton>("onlineChannel1RadioBtn")};
    QWidget *drawBar = m_fixture->child<QWidget>("drawWidget");
    QTabWidget *pages = m_fixture->child<QTabWidget>("tabWidget");

    QTest::mouseClick(channelButton[thermal], Qt::LeftButton);
    pages->setCurrentIndex(1);
    QVERIFY(drawBar->isVisible());
    pages->setCurrentIndex(2);
    QVERIFY(!drawBar->isVisible());
    pages->setCurrentIndex(1);
    QVERIFY(drawBar->isVisible());

    SimFixture::clearJournal();
    QTest::mouseClick(channelButton[1 - thermal], Qt::LeftButton);
    QCOMPARE(m_fixture->window()->Channel(), 1 - thermal);
    QVERIFY(!drawBar->isVisible());
    // The ability is read for the channel now live.
    const AbilityArgs asked = SimFixture::lastRecord<AbilityArgs>("TMV_NET_GetDevAbility");
    QCOMPARE(asked.channel, 1 - thermal);
    QCOMPARE(asked.zero, 0);
    QVERIFY(m_fixture->child<QGroupBox>("groupBox_2")->isEnabled());

    QTest::mouseClick(channelButton[thermal], Qt::LeftButton);
    QVERIFY(drawBar->isVisible());
    QVERIFY(!m_fixture->child<QGroupBox>("groupBox_2")->isEnabled());
    QCOMPARE(m_fixture->boxes().count(), 0);
}

void TestMainWindow::exceptionShowsItsText_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    QTest::newRow("1001") << 1001 << "1001:dev offline.";
    QTest::newRow("1002") << 1002 << "1002:Preview offline.";
    QTest::newRow("1003") << 1003 << "1003:Alarm offline.";
    QTest::newRow("1004") << 1004 << "1004:temp offline.";
    QTest::newRow("1005") << 1005 << "";
}

void TestMainWindow::exceptionShowsItsText()
{
    QFETCH(int, type);
    QFETCH(QString, text);

    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    // Queued after the window's own slot, so it runs once that slot is done.
    int delivered = 0;
    connect(m_fixture->window(), &MainWindow::Exception, this, [&delivered] { ++delivered; },
            Qt::QueuedConnection);

    QCOMPARE(TMVSim_RaiseException(SimFixture::kPtzCamera, type), 0);
    QTRY_COMPARE(delivered, 1);

    if (text.isEmpty()) {
        QCOMPARE(m_fixture->boxes().count(), 0);
    } else {
        QCOMPARE(m_fixture->boxes().count(), 1);
        QCOMPARE(m_fixture->boxes().last().title, QString("Exception"));
        QCOMPARE(m_fixture->boxes().last().text, text);
        QCOMPARE(m_fixture->boxes().last().icon, QMessageBox::Critical);
        QCOMPARE(m_fixture->boxes().last().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(m_fixture->boxes().last().parent, static_cast<QWidget *>(m_fixture->window()));
    }
    QVERIFY(m_fixture->loggedIn());
    QCOMPARE(SimFixture::sessionCount(SimFixture::kPtzCamera), 1);
}

void TestMainWindow::searchListsEveryAnswer()
{
    QComboBox *ip = m_fixture->child<QComboBox>("IPcomboBox");
    ip->addItem("192.0.2.1");
    QCOMPARE(TMVSim_SetSearchRepeats(SimFixture::kFixedCamera, 2), 0);

    m_fixture->click("ipSearchBtn");

    const int devices = TMVSim_DeviceCount();
    QTRY_COMPARE_WITH_TIMEOUT(ip->count(), devices + 1, 10000);
    QStringList expected;
    for (int i = 0; i < devices; ++i) {
        char address[32] = {};
        QCOMPARE(TMVSim_DeviceAddress(i, address, sizeof address), 0);
        expected << QString::fromLatin1(address);
    }
    expected << SimFixture::kFixedCamera;
    QStringList listed;
    for (int i = 0; i < ip->count(); ++i)
        listed << ip->itemText(i);
    listed.sort();
    expected.sort();
    QCOMPARE(listed, expected);
    QCOMPARE(SimFixture::lastRecord<int32_t>("TMV_NET_SearchDev", 0), 8000);
    QCOMPARE(m_fixture->boxes().count(), 0);
}

void TestMainWindow::searchFailureIsReported()
{
    SimFixture::fail("TMV_NET_SearchDev", 1);
    m_fixture->click("ipSearchBtn");
    QCOMPARE(m_fixture->boxes().count(), 1);
    QCOMPARE(m_fixture->boxes().last().text, QString("SearchDev Failed!"));
}

// A search answered after its window is gone reaches no window: a window
// deleted with its answers still due, and one that lives on.
void TestMainWindow::searchAnswersReachOnlyLiveWindows()
{
    SimFixture::pauseClock();
    MainWindow *doomed = new MainWindow;
    QTest::mouseClick(doomed->findChild<QPushButton *>("ipSearchBtn"), Qt::LeftButton);
    m_fixture->click("ipSearchBtn");
    QCOMPARE(SimFixture::countOf("TMV_NET_SearchDev"), 2);
    delete doomed;

    SimFixture::stepClock(8000);  // every answer of both searches is delivered
    QComboBox *ip = m_fixture->child<QComboBox>("IPcomboBox");
    const int devices = TMVSim_DeviceCount();
    QTRY_COMPARE(ip->count(), devices);
    SimFixture::stepClock(8000);
    QCoreApplication::processEvents();
    QCOMPARE(ip->count(), devices);
    QCOMPARE(m_fixture->boxes().count(), 0);
}

void TestMainWindow::closingWhileLoggedInLogsOut()
{
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    m_fixture->child<QTabWidget>("tabWidget_2")->setCurrentIndex(1);
    QPushButton *progress = m_fixture->child<QPushButton>("downProgressBtn");
    progress->setEnabled(true);
    QTest::mouseClick(progress, Qt::LeftButton);
    QWidget *downloads = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->windowTitle() == "DownloadPage")
            downloads = widget;
    }
    QVERIFY(downloads);
    QVERIFY(downloads->isVisible());

    QVERIFY(m_fixture->window()->close());
    QVERIFY(!downloads->isVisible());
    QCOMPARE(SimFixture::sessionCount(SimFixture::kPtzCamera), 1);

    SimFixture::clearJournal();
    m_fixture->destroyWindow();
    QCOMPARE(SimFixture::callsAmong(kSessionCalls), QStringList({"TMV_NET_Logout"}));
    QCOMPARE(SimFixture::sessionCount(SimFixture::kPtzCamera), 0);
}

void TestMainWindow::destroyingALoggedInWindowLogsOut_data()
{
    QTest::addColumn<bool>("preview");
    QTest::addColumn<bool>("stopFails");
    QTest::newRow("logged in") << false << false;
    QTest::newRow("preview open") << true << false;
    QTest::newRow("preview stop fails") << true << true;
}

// Whatever the window was doing, it takes its session with it; the frames of
// an open preview end with the logout, before the page goes.
void TestMainWindow::destroyingALoggedInWindowLogsOut()
{
    QFETCH(bool, preview);
    QFETCH(bool, stopFails);
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    if (preview) {
        m_fixture->click("previewBtn");
        QTRY_VERIFY(!m_fixture->window()->GetVideoLabel()->Picture().isNull());
    }
    if (stopFails)
        SimFixture::fail("TMV_NET_StopPreview", 1);
    SimFixture::clearJournal();

    m_fixture->destroyWindow();

    QCOMPARE(SimFixture::sessionCount(SimFixture::kPtzCamera), 0);
    QCOMPARE(SimFixture::countOf("TMV_NET_Logout"), 1);
    QCOMPARE(m_fixture->boxes().count(), stopFails ? 1 : 0);
    // Nothing of the session is left to call back into the destroyed pages.
    QCoreApplication::processEvents();
}

// The window's constructor registers the records it sends: a queued
// connection carries them intact (unregistered, Qt would drop the call).
void TestMainWindow::recordSignalsCanBeQueued()
{
    Receiver receiver;
    MainWindow *window = m_fixture->window();
    QVERIFY(connect(window, SIGNAL(SendDownload(QMap<int, TMV_NET_FILE_DOWNLOAD_INFO>)), &receiver,
                    SLOT(OnFile(QMap<int, TMV_NET_FILE_DOWNLOAD_INFO>)), Qt::QueuedConnection));

    TMV_NET_FILE_DOWNLOAD_INFO info{};
    qstrncpy(info.localPath, "/tmp/a.mp4", sizeof info.localPath);
    QMap<int, TMV_NET_FILE_DOWNLOAD_INFO> downloads;
    downloads.insert(7, info);
    emit window->SendDownload(downloads);

    QTRY_COMPARE(receiver.received, 1);
    QCOMPARE(receiver.downloads.keys(), QList<int>({7}));
    QCOMPARE(QByteArray(receiver.downloads.value(7).localPath), QByteArray("/tmp/a.mp4"));
}

// Texts a person reads, each wholly on screen where its page shows it: the
// PTZ page's tab names (whichever tab is chosen) and read-outs as the device
// fills them, and the top of the temperature page's "G1" tab when chosen
// from far down its "Standard" tab. `text` is a pattern of what is shown.
void TestMainWindow::textsReadWhole_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QString>("text");

    for (const char *tab : {"Preset", "Cruise group", "Patrol", "Other", "Area scan", "Boot action", "Park action",
                            "Track", "Maintenance"})
        QTest::addRow("PTZ tab %s", tab) << "PTZ" << "tabWidget" << QRegularExpression::escape(tab);
    QTest::newRow("PTZ VIS FOVs") << "PTZ" << "visFovEdit" << "H 60\\.00 V 33\\.75";
    QTest::newRow("PTZ IR FOVs") << "PTZ" << "irFovEdit" << "H 50\\.00 V 40\\.00";
    QTest::newRow("PTZ StartTime") << "PTZ" << "startTimeEdit"
                                   << "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}";
    QTest::newRow("Temp Alarm G1 top") << "Temp Alarm" << "label_54" << "Temp Stream";
}

void TestMainWindow::textsReadWhole()
{
    QFETCH(QString, page);
    QFETCH(QString, widget);
    QFETCH(QString, text);
    const QRegularExpression pattern(QRegularExpression::anchoredPattern(text));

    QVERIFY(m_fixture->login());
    QTabWidget *pages = m_fixture->child<QTabWidget>("tabWidget");
    int pageIndex = 0;
    while (pageIndex < pages->count() && pages->tabText(pageIndex) != page)
        ++pageIndex;
    QTest::mouseClick(pages->tabBar(), Qt::LeftButton, Qt::NoModifier, pages->tabBar()->tabRect(pageIndex).center());
    QWidget *shown = pages->currentWidget();
    QCOMPARE(pages->tabText(pages->indexOf(shown)), page);
    if (page == QLatin1String("PTZ")) {
        PageFixture::click(shown, "getPtzStatusBtn");
        PageFixture::click(shown, "getCoordinatesBtn");
    } else {
        QScrollBar *scroll = PageFixture::child<QScrollArea>(shown, "scrollArea")->verticalScrollBar();
        scroll->setValue(scroll->maximum());
        QTabBar *bar = PageFixture::child<QTabWidget>(shown, "tabWidget")->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(1).center());
    }
    QTest::qWait(50);  // the layouts settle
    QCOMPARE(m_fixture->boxes().count(), 0);

    QWidget *target = PageFixture::child<QWidget>(shown, widget);
    if (auto *tabs = qobject_cast<QTabWidget *>(target)) {
        QTabBar *bar = tabs->tabBar();
        int tab = 0;
        while (tab < bar->count() && !pattern.match(bar->tabText(tab)).hasMatch())
            ++tab;
        QVERIFY(tab < bar->count());
        // As first shown, then with each tab chosen in turn.
        for (int chosen = -1; chosen < bar->count(); ++chosen) {
            if (chosen >= 0) {
                QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(chosen).center());
                QCOMPARE(bar->currentIndex(), chosen);
            }
            const QRect rect = bar->tabRect(tab);
            const QString where = QStringLiteral("with tab %1 chosen: %2,%3 %4 wide")
                                      .arg(bar->currentIndex()).arg(rect.x()).arg(rect.y()).arg(rect.width());
            // Not elided: as wide as its name and the style's padding.
            const int wanted = bar->fontMetrics().size(Qt::TextShowMnemonic, bar->tabText(tab)).width()
                               + bar->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, bar);
            QVERIFY2(rect.width() >= wanted, qPrintable(where));
            QVERIFY2(WhollyShown(bar, rect), qPrintable(where));
            for (const QToolButton *arrow : bar->findChildren<QToolButton *>())
                QVERIFY2(!arrow->isVisible() || !arrow->geometry().intersects(rect), qPrintable(where));
        }
    } else if (auto *edit = qobject_cast<QLineEdit *>(target)) {
        QVERIFY2(pattern.match(edit->text()).hasMatch(), qPrintable(edit->text()));
        QVERIFY(WhollyShown(edit, edit->rect()));
        // The text fits when putting the cursor at either end scrolls
        // nothing: the cursor then travels the text's whole width.
        edit->setCursorPosition(edit->text().size());
        edit->grab();
        const int end = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
        edit->setCursorPosition(0);
        edit->grab();
        const int start = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
        const int width = edit->fontMetrics().horizontalAdvance(edit->text());
        QVERIFY2(end - start >= width - 1, qPrintable(QStringLiteral("%1 of %2 pixels").arg(end - start).arg(width)));
    } else {
        auto *label = qobject_cast<QLabel *>(target);
        QVERIFY(label);
        QVERIFY2(pattern.match(label->text()).hasMatch(), qPrintable(label->text()));
        QVERIFY(WhollyShown(label, label->rect()));
    }
    m_fixture->click("loginBtn");
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
