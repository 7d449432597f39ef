#include <QtTest>

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>

#include <cstring>

#include "MainWindow.h"
#include "VideoLabel.h"
#include "MsgBox.h"
#include "TestSupport.h"

namespace {

const QStringList kSessionCalls = {
    "TMV_NET_Login", "TMV_NET_SetExceptionCallback", "TMV_NET_GetDevInfo",
    "TMV_NET_GetDevAbility", "TMV_NET_GetPtzAuxState", "TMV_NET_StopDownloadFile",
    "TMV_NET_Logout",
};

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

    void channelButtonsFollowChannelCount_data();
    void channelButtonsFollowChannelCount();
    void drawBarOnlyOnThermalChannelOfTempPage();

    void exceptionShowsItsText_data();
    void exceptionShowsItsText();

    void searchListsEveryAnswer();
    void searchFailureIsReported();

    void closingWhileLoggedInLogsOut();

private:
    template <typename T>
    T *child(const char *name) const
    {
        T *widget = m_window->findChild<T *>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    void fillLogin(const QString &ip, const QString &user = SimFixture::kUser,
                   const QString &password = SimFixture::kPassword);
    bool loggedIn() const;
    void login(const char *ip);

    MainWindow *m_window = nullptr;
    ModalCatcher *m_catcher = nullptr;
};

void TestMainWindow::initTestCase()
{
    WarningGuard::install();
    SimFixture::reset();
}

void TestMainWindow::init()
{
    SimFixture::reset();
    m_catcher = new ModalCatcher(this);
    m_window = new MainWindow;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestMainWindow::cleanup()
{
    delete m_window;
    m_window = nullptr;
    delete m_catcher;
    m_catcher = nullptr;
    // Nothing the window made may outlive it but the hidden message-box parent.
    const QWidgetList topLevels = QApplication::topLevelWidgets();
    for (QWidget *widget : topLevels)
        QVERIFY2(qobject_cast<MsgBox *>(widget), qPrintable(widget->objectName()));
    QCOMPARE(SimFixture::sessionCount(SimFixture::kPtzCamera), 0);
}

void TestMainWindow::fillLogin(const QString &ip, const QString &user, const QString &password)
{
    child<QComboBox>("IPcomboBox")->setEditText(ip);
    child<QLineEdit>("userEdit")->setText(user);
    child<QLineEdit>("passwordEdit")->setText(password);
}

bool TestMainWindow::loggedIn() const
{
    return child<QPushButton>("loginBtn")->text() == "Logout";
}

void TestMainWindow::login(const char *ip)
{
    fillLogin(QString::fromLatin1(ip));
    QTest::mouseClick(child<QPushButton>("loginBtn"), Qt::LeftButton);
    QVERIFY(loggedIn());
    QCOMPARE(m_catcher->count(), 0);
}

void TestMainWindow::initialState()
{
    QCOMPARE(m_window->windowTitle(), QString("SDKDemo"));
    QCOMPARE(m_window->size(), QSize(1366, 886));
    QCOMPARE(m_window->minimumSize(), QSize(1366, 886));
    QCOMPARE(m_window->maximumSize(), QSize(1366, 886));
    QVERIFY(!(m_window->windowFlags() & Qt::WindowMaximizeButtonHint));

    QTabWidget *pages = child<QTabWidget>("tabWidget");
    QStringList titles;
    for (int i = 0; i < pages->count(); ++i)
        titles << pages->tabText(i);
    QCOMPARE(titles, QStringList({"Preview", "Temp Alarm", "Config", "PTZ", "Swivel",
                                  "Peripherel", "Intelligent"}));
    QCOMPARE(pages->widget(1)->metaObject()->className(), "TempAlarmPage");
    QCOMPARE(pages->widget(4)->metaObject()->className(), "ControlPage");
    QCOMPARE(pages->currentIndex(), 0);

    QTabWidget *outer = child<QTabWidget>("tabWidget_2");
    QCOMPARE(outer->tabText(0), QString("Online"));
    QCOMPARE(outer->tabText(1), QString("Playback"));
    QCOMPARE(outer->currentIndex(), 0);
    QVERIFY(!outer->isEnabled());

    QCOMPARE(child<QPushButton>("ipSearchBtn")->text(), QString("Search"));
    QComboBox *ip = child<QComboBox>("IPcomboBox");
    QVERIFY(ip->isEditable());
    QCOMPARE(ip->count(), 0);
    QVERIFY(ip->minimumWidth() >= 160);
    QCOMPARE(child<QLineEdit>("portEdit")->text(), QString("80"));
    QCOMPARE(child<QLineEdit>("portEdit")->size(), QSize(80, 25));
    QCOMPARE(child<QLineEdit>("userEdit")->text(), QString("admin"));
    QCOMPARE(child<QLineEdit>("passwordEdit")->text(), QString("sensor852"));
    QCOMPARE(child<QLineEdit>("passwordEdit")->echoMode(), QLineEdit::Normal);
    QCOMPARE(child<QPushButton>("loginBtn")->text(), QString("Login"));

    QWidget *drawBar = child<QWidget>("drawWidget");
    QVERIFY(!drawBar->isVisible());
    QVERIFY(!drawBar->isEnabled());
    QVERIFY(child<QWidget>("videoLabel")->width() >= 512);
    QVERIFY(child<QWidget>("videoLabel")->height() >= 384);
    QVERIFY(pages->width() >= 450);

    for (const char *name : {"selectAllBtn", "downloadBtn", "backBtn", "nextBtn", "downProgressBtn"})
        QVERIFY2(!child<QPushButton>(name)->isEnabled(), name);
    QCOMPARE(child<QPushButton>("downProgressBtn")->text(), QString("Download progress"));
    QVERIFY(child<QRadioButton>("onlineChannel0RadioBtn")->isChecked());
    QVERIFY(child<QRadioButton>("playbackChannel0RadioBtn")->isChecked());
    QVERIFY(child<QRadioButton>("videoRadioBtn")->isChecked());

    QTableWidget *table = child<QTableWidget>("tableWidget");
    QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(table->verticalHeader()->isHidden());

    const QDateTime start = child<QDateTimeEdit>("startDateTimeEdit")->dateTime();
    const QDateTime end = child<QDateTimeEdit>("endDateTimeEdit")->dateTime();
    QVERIFY(qAbs(end.secsTo(QDateTime::currentDateTime())) < 60);
    QCOMPARE(start.date().daysTo(end.date()), qint64(1));
    QCOMPARE(start.time(), end.time());

    // The file-type choice must not take the playback channel's check away.
    child<QRadioButton>("imageRadioBtn")->setChecked(true);
    QVERIFY(!child<QRadioButton>("videoRadioBtn")->isChecked());
    QVERIFY(child<QRadioButton>("playbackChannel0RadioBtn")->isChecked());
    child<QRadioButton>("playbackChannel1RadioBtn")->setChecked(true);
    QVERIFY(child<QRadioButton>("imageRadioBtn")->isChecked());
    QVERIFY(child<QRadioButton>("onlineChannel0RadioBtn")->isChecked());

    QCOMPARE(m_catcher->count(), 0);
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

    QPushButton *button = child<QPushButton>(name.toLatin1().constData());
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
    QSignalSpy handles(m_window, SIGNAL(ChangeHandle(TMV_NET_HANDLE)));

    login(SimFixture::kPtzCamera);

    QCOMPARE(SimFixture::callsAmong(kSessionCalls),
             QStringList({"TMV_NET_Login", "TMV_NET_SetExceptionCallback", "TMV_NET_GetDevInfo",
                          "TMV_NET_GetDevAbility", "TMV_NET_GetPtzAuxState",
                          "TMV_NET_GetDevAbility", "TMV_NET_GetPtzAuxState"}));

    const QByteArray sent = SimFixture::lastInput("TMV_NET_Login");
    QVERIFY(sent.size() >= int(sizeof(TMV_NET_LOGIN_INFO)));
    TMV_NET_LOGIN_INFO info;
    std::memcpy(&info, sent.constData(), sizeof info);
    QCOMPARE(QByteArray(info.ip), QByteArray("127.0.0.11"));
    QCOMPARE(info.port, 80);
    QCOMPARE(QByteArray(info.userName), QByteArray("admin"));
    QCOMPARE(QByteArray(info.password), QByteArray("sensor852"));

    QCOMPARE(handles.count(), 1);
    const TMV_NET_HANDLE handle = handles.at(0).at(0).value<TMV_NET_HANDLE>();
    QVERIFY(handle);
    QCOMPARE(handle, m_window->Handle());
    QCOMPARE(SimFixture::sessionCount(SimFixture::kPtzCamera), 1);

    QCOMPARE(m_window->DevInfo().channelCount, 2);
    QVERIFY(m_window->Ability().panTilt);
    QCOMPARE(m_window->Channel(), 0);

    for (const char *name : {"ipSearchBtn", "IPcomboBox", "portEdit", "userEdit", "passwordEdit"})
        QVERIFY2(!child<QWidget>(name)->isEnabled(), name);
    QVERIFY(child<QTabWidget>("tabWidget_2")->isEnabled());
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

    QSignalSpy handles(m_window, SIGNAL(ChangeHandle(TMV_NET_HANDLE)));
    SimFixture::fail(function.toLatin1().constData(), status);
    fillLogin(SimFixture::kPtzCamera);
    QTest::mouseClick(child<QPushButton>("loginBtn"), Qt::LeftButton);

    QCOMPARE(m_catcher->count(), 1);
    QCOMPARE(m_catcher->last().title, QString("Error"));
    QCOMPARE(m_catcher->last().text, text);
    QCOMPARE(SimFixture::countOf("TMV_NET_Logout"), logouts);
    QCOMPARE(SimFixture::countOf("TMV_NET_GetDevAbility"), 0);
    QCOMPARE(SimFixture::sessionCount(SimFixture::kPtzCamera), 0);
    QVERIFY(!m_window->Handle());
    QCOMPARE(handles.count(), 0);
    QVERIFY(!loggedIn());
    QVERIFY(child<QLineEdit>("userEdit")->isEnabled());
    QVERIFY(!child<QTabWidget>("tabWidget_2")->isEnabled());

    // The bar is usable again at once.
    m_catcher->clear();
    login(SimFixture::kPtzCamera);
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

    fillLogin(SimFixture::kPtzCamera, user, password);
    QTest::mouseClick(child<QPushButton>("loginBtn"), Qt::LeftButton);

    QCOMPARE(m_catcher->count(), 1);
    QCOMPARE(m_catcher->last().title, QString("Error"));
    QCOMPARE(m_catcher->last().text, text);
    QCOMPARE(m_catcher->last().icon, QMessageBox::Critical);
    QVERIFY(!loggedIn());
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

    fillLogin(ip, user, password);
    QTest::mouseClick(child<QPushButton>("loginBtn"), Qt::LeftButton);

    QCOMPARE(m_catcher->count(), 1);
    QCOMPARE(m_catcher->last().title, QString("Error"));
    QVERIFY(!loggedIn());
    if (!refusal.isEmpty()) {
        QCOMPARE(m_catcher->last().text, refusal);
        QCOMPARE(SimFixture::calls(), QStringList());
        return;
    }
    QVERIFY(m_catcher->last().text.startsWith("Login "));
    const QByteArray sent = SimFixture::lastInput("TMV_NET_Login");
    QVERIFY(sent.size() >= int(sizeof(TMV_NET_LOGIN_INFO)));
    TMV_NET_LOGIN_INFO info;
    std::memcpy(&info, sent.constData(), sizeof info);
    QCOMPARE(QString::fromLatin1(info.ip, int(qstrnlen(info.ip, sizeof info.ip))), ip);
    QCOMPARE(QString::fromLatin1(info.userName, int(qstrnlen(info.userName, sizeof info.userName))), user);
    QCOMPARE(QString::fromLatin1(info.password, int(qstrnlen(info.password, sizeof info.password))),
             password);
}

void TestMainWindow::logoutRestoresTheBar()
{
    login(SimFixture::kPtzCamera);
    const TMV_NET_HANDLE handle = m_window->Handle();
    SimFixture::clearJournal();
    QSignalSpy handles(m_window, SIGNAL(ChangeHandle(TMV_NET_HANDLE)));

    QTest::mouseClick(child<QPushButton>("loginBtn"), Qt::LeftButton);

    QCOMPARE(SimFixture::callsAmong(kSessionCalls), QStringList({"TMV_NET_Logout"}));
    QCOMPARE(SimFixture::lastInput("TMV_NET_Logout"),
             QByteArray(reinterpret_cast<const char *>(&handle), sizeof handle));
    QCOMPARE(SimFixture::sessionCount(SimFixture::kPtzCamera), 0);
    QCOMPARE(handles.count(), 1);
    QVERIFY(!handles.at(0).at(0).value<TMV_NET_HANDLE>());
    QVERIFY(!m_window->Handle());
    QCOMPARE(child<QPushButton>("loginBtn")->text(), QString("Login"));
    for (const char *name : {"ipSearchBtn", "IPcomboBox", "portEdit", "userEdit", "passwordEdit"})
        QVERIFY2(child<QWidget>(name)->isEnabled(), name);
    QVERIFY(!child<QTabWidget>("tabWidget_2")->isEnabled());
    QCOMPARE(m_catcher->count(), 0);
}

void TestMainWindow::logoutClosesTheLivePreviewFirst()
{
    login(SimFixture::kPtzCamera);
    QPushButton *preview = child<QPushButton>("previewBtn");
    QTest::mouseClick(preview, Qt::LeftButton);
    QCOMPARE(SimFixture::countOf("TMV_NET_StartPreview_V2"), 1);
    QVERIFY(child<QWidget>("videoLabel")->isEnabled());
    QVERIFY(child<QWidget>("drawWidget")->isEnabled());
    // Frames reach the label through the main window.
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->GetVideoLabel()->Frame().isNull(), 5000);

    SimFixture::clearJournal();
    QTest::mouseClick(child<QPushButton>("loginBtn"), Qt::LeftButton);
    const QStringList order = SimFixture::callsAmong({"TMV_NET_StopPreview", "TMV_NET_Logout"});
    QCOMPARE(order, QStringList({"TMV_NET_StopPreview", "TMV_NET_Logout"}));
    QVERIFY(!child<QWidget>("videoLabel")->isEnabled());
    QVERIFY(!child<QWidget>("drawWidget")->isEnabled());
    QCOMPARE(m_catcher->count(), 0);
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

    login(ip.toLatin1().constData());
    QCOMPARE(child<QRadioButton>("onlineChannel1RadioBtn")->isEnabled(), secondChannel);
    QCOMPARE(child<QRadioButton>("playbackChannel1RadioBtn")->isEnabled(), secondChannel);

    // Logging in again on another device re-decides, whatever came before.
    QTest::mouseClick(child<QPushButton>("loginBtn"), Qt::LeftButton);
    login(secondChannel ? SimFixture::kFixedCamera : SimFixture::kPtzCamera);
    QCOMPARE(child<QRadioButton>("onlineChannel1RadioBtn")->isEnabled(), !secondChannel);
    QTest::mouseClick(child<QPushButton>("loginBtn"), Qt::LeftButton);
}

void TestMainWindow::drawBarOnlyOnThermalChannelOfTempPage()
{
    login(SimFixture::kPtzCamera);
    const int thermal = m_window->DevInfo().thermalChannel;
    QRadioButton *channelButton[2] = {child<QRadioButton>("onlineChannel0RadioBtn"),
                                      child<QRadioButton>("onlineChannel1RadioBtn")};
    QWidget *drawBar = child<QWidget>("drawWidget");
    QTabWidget *pages = child<QTabWidget>("tabWidget");

    QTest::mouseClick(channelButton[thermal], Qt::LeftButton);
    pages->setCurrentIndex(1);
    QVERIFY(drawBar->isVisible());
    pages->setCurrentIndex(2);
    QVERIFY(!drawBar->isVisible());
    pages->setCurrentIndex(1);
    QVERIFY(drawBar->isVisible());

    SimFixture::clearJournal();
    QTest::mouseClick(channelButton[1 - thermal], Qt::LeftButton);
    QCOMPARE(m_window->Channel(), 1 - thermal);
    QVERIFY(!drawBar->isVisible());
    // The ability is read for the channel now live.
    const QByteArray sent = SimFixture::lastInput("TMV_NET_GetDevAbility");
    QVERIFY(sent.size() >= int(sizeof(TMV_NET_HANDLE) + 2 * sizeof(int32_t)));
    int32_t channel = -1;
    std::memcpy(&channel, sent.constData() + sizeof(TMV_NET_HANDLE), sizeof channel);
    QCOMPARE(channel, 1 - thermal);
    QVERIFY(child<QGroupBox>("groupBox_2")->isEnabled());

    QTest::mouseClick(channelButton[thermal], Qt::LeftButton);
    QVERIFY(drawBar->isVisible());
    QVERIFY(!child<QGroupBox>("groupBox_2")->isEnabled());
    QCOMPARE(m_catcher->count(), 0);
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

    login(SimFixture::kPtzCamera);
    // Queued after the window's own slot, so it runs once that slot is done.
    int delivered = 0;
    connect(m_window, &MainWindow::Exception, this, [&delivered] { ++delivered; },
            Qt::QueuedConnection);

    QCOMPARE(TMVSim_RaiseException(SimFixture::kPtzCamera, type), 0);
    QTRY_COMPARE(delivered, 1);

    if (text.isEmpty()) {
        QCOMPARE(m_catcher->count(), 0);
    } else {
        QCOMPARE(m_catcher->count(), 1);
        QCOMPARE(m_catcher->last().title, QString("Exception"));
        QCOMPARE(m_catcher->last().text, text);
        QCOMPARE(m_catcher->last().icon, QMessageBox::Critical);
        QCOMPARE(m_catcher->last().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(m_catcher->last().parent, static_cast<QWidget *>(m_window));
    }
    QVERIFY(loggedIn());
    QCOMPARE(SimFixture::sessionCount(SimFixture::kPtzCamera), 1);
}

void TestMainWindow::searchListsEveryAnswer()
{
    QComboBox *ip = child<QComboBox>("IPcomboBox");
    ip->addItem("192.0.2.1");
    QCOMPARE(TMVSim_SetSearchRepeats(SimFixture::kFixedCamera, 2), 0);

    QTest::mouseClick(child<QPushButton>("ipSearchBtn"), Qt::LeftButton);

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
    QCOMPARE(SimFixture::lastInput("TMV_NET_SearchDev").right(4),
             QByteArray::fromHex("401f0000")); // 8000, little-endian
    QCOMPARE(m_catcher->count(), 0);
}

void TestMainWindow::searchFailureIsReported()
{
    SimFixture::fail("TMV_NET_SearchDev", 1);
    QTest::mouseClick(child<QPushButton>("ipSearchBtn"), Qt::LeftButton);
    QCOMPARE(m_catcher->count(), 1);
    QCOMPARE(m_catcher->last().text, QString("SearchDev Failed!"));
}

void TestMainWindow::closingWhileLoggedInLogsOut()
{
    login(SimFixture::kPtzCamera);
    child<QTabWidget>("tabWidget_2")->setCurrentIndex(1);
    QPushButton *progress = child<QPushButton>("downProgressBtn");
    progress->setEnabled(true);
    QTest::mouseClick(progress, Qt::LeftButton);
    QWidget *downloads = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->windowTitle() == "DownloadPage")
            downloads = widget;
    }
    QVERIFY(downloads);
    QVERIFY(downloads->isVisible());

    QVERIFY(m_window->close());
    QVERIFY(!downloads->isVisible());
    QCOMPARE(SimFixture::sessionCount(SimFixture::kPtzCamera), 1);

    SimFixture::clearJournal();
    delete m_window;
    m_window = nullptr;
    QCOMPARE(SimFixture::callsAmong(kSessionCalls), QStringList({"TMV_NET_Logout"}));
    QCOMPARE(SimFixture::sessionCount(SimFixture::kPtzCamera), 0);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
