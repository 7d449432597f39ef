// The "Swivel" page driven through its widgets: the records the electronic
// PTZ buttons send on press and release, the linkage form read from and
// written to the device, texts that do not fit their fields, and failures
// reported with the operation's name.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QtTest>

#include <cstring>
#include <memory>

#include "ptz/ControlPage.h"
#include "app/MainWindow.h"
#include "TestSupport.h"

namespace {

TMV_NET_EPTZ_CONTROL Eptz(int channel, int command, int speed, int stop)
{
    TMV_NET_EPTZ_CONTROL c;
    std::memset(&c, 0, sizeof c);
    c.channel = channel;
    c.command = command;
    c.speed = speed;
    c.stop = stop;
    return c;
}

// A linkage record as a second client of the device would store it.
TMV_NET_GUN_BALL_TRACK_CONFIG_INFO Linkage(const QByteArray &user, const QByteArray &ip, int https)
{
    TMV_NET_GUN_BALL_TRACK_CONFIG_INFO c;
    std::memset(&c, 0, sizeof c);
    qstrncpy(c.userName, user.constData(), sizeof c.userName);
    qstrncpy(c.password, "s\xC3\xA9same 1", sizeof c.password);
    qstrncpy(c.ip, ip.constData(), sizeof c.ip);
    c.port = 8443;
    c.keepAlive = 17;
    c.enable = 1;
    c.https = uint8_t(https);
    return c;
}

} // namespace

class TestControlPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void formHoldsEveryControl_data();
    void formHoldsEveryControl();
    void pressAndReleaseRecords_data();
    void pressAndReleaseRecords();
    void keepAliveIsBounded_data();
    void keepAliveIsBounded();
    void setSendsTheForm();
    void getShowsTheDeviceRecord_data();
    void getShowsTheDeviceRecord();
    void textsThatDoNotFitAreRefused_data();
    void textsThatDoNotFitAreRefused();
    void failuresAreReported_data();
    void failuresAreReported();

private:
    void FillForm() const;

    std::unique_ptr<PageFixture> m_fixture;
    ControlPage *m_page = nullptr;
    ModalCatcher *m_boxes = nullptr;
};

void TestControlPage::initTestCase()
{
    WarningGuard::install();
}

void TestControlPage::cleanupTestCase()
{
    TMV_NET_Deinit();
}

void TestControlPage::init()
{
    m_fixture.reset(new PageFixture(false));
    m_page = m_fixture->window()->findChild<ControlPage *>();
    QVERIFY(m_page);
    m_boxes = &m_fixture->boxes();
}

void TestControlPage::cleanup()
{
    m_fixture->verifyClean();
    m_fixture.reset();
    m_page = nullptr;
    m_boxes = nullptr;
    SimFixture::clearFaults();
}

void TestControlPage::FillForm() const
{
    m_fixture->check(m_page, "EnableCheckBox")->setChecked(true);
    m_fixture->check(m_page, "httpsCheckBox")->setChecked(true);
    m_fixture->edit(m_page, "ipEdit")->setText(QStringLiteral("127.0.0.12"));
    m_fixture->edit(m_page, "portEdit")->setText(QStringLiteral("8080"));
    m_fixture->edit(m_page, "userNameEdit")->setText(QStringLiteral("operator"));
    m_fixture->edit(m_page, "passwordEdit")->setText(QStringLiteral("pa ss"));
    m_fixture->edit(m_page, "keepAliveEdit")->setText(QStringLiteral("30"));
}

void TestControlPage::formHoldsEveryControl_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    const struct
    {
        const char *name, *type, *text, *toolTip;
    } rows[] = {
        {"eptzUpLeftBtn", "QPushButton", "Up-left", ""},
        {"eptzUpBtn", "QPushButton", "Up", ""},
        {"eptzUpRightBtn", "QPushButton", "Up-right", ""},
        {"eptzLeftBtn", "QPushButton", "Left", ""},
        {"eptzRightBtn", "QPushButton", "Right", ""},
        {"eptzDownLeftBtn", "QPushButton", "Down-left", ""},
        {"eptzDownBtn", "QPushButton", "Down", ""},
        {"eptzDownRightBtn", "QPushButton", "Down-right", ""},
        {"eptzZoomInBtn", "QPushButton", "Zoom+", "ZoomIn"},
        {"eptzZoomOutBtn", "QPushButton", "Zoom-", "ZoomOut"},
        {"EnableCheckBox", "QCheckBox", "", ""},
        {"httpCheckBox", "QCheckBox", "HTTP", ""},
        {"httpsCheckBox", "QCheckBox", "HTTPS", ""},
        {"gunBallGetBtn", "QPushButton", "Get", ""},
        {"gunBallSetBtn", "QPushButton", "Set", ""},
        {"ipEdit", "QLineEdit", "", ""},
        {"portEdit", "QLineEdit", "", ""},
        {"userNameEdit", "QLineEdit", "", ""},
        {"passwordEdit", "QLineEdit", "", ""},
        {"keepAliveEdit", "QLineEdit", "", ""},
    };
    for (const auto &row : rows)
        QTest::newRow(row.name) << row.name << row.type << row.text << row.toolTip;
}

void TestControlPage::formHoldsEveryControl()
{
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QWidget *w = m_page->findChild<QWidget *>(name);
    QVERIFY(w);
    QCOMPARE(QString::fromLatin1(w->metaObject()->className()), type);
    QVERIFY(m_page->findChild<QScrollArea *>()->isAncestorOf(w));
    QCOMPARE(w->toolTip(), toolTip);
    if (auto *button = qobject_cast<QAbstractButton *>(w)) {
        QCOMPARE(button->text(), text);
        QVERIFY(!button->autoRepeat());
    }
    if (auto *edit = qobject_cast<QLineEdit *>(w)) {
        QCOMPARE(edit->text(), QString());
        QCOMPARE(edit->echoMode(), QLineEdit::Normal);  // the password too
    }
    if (name.startsWith(QLatin1String("eptz")))
        QCOMPARE(qobject_cast<QGroupBox *>(w->parentWidget())->title(), QStringLiteral("EPTZ"));
    else
        QCOMPARE(qobject_cast<QGroupBox *>(w->parentWidget())->title(), QStringLiteral("Linkage"));

    auto *speed = m_fixture->combo(m_page, "eptzSpeedCombo");
    QCOMPARE(speed->count(), 8);
    for (int i = 0; i < 8; ++i)
        QCOMPARE(speed->itemText(i), QString::number(i + 1));
    QCOMPARE(speed->currentIndex(), 0);
    QCOMPARE(m_page->windowTitle(), QStringLiteral("ControlPage"));
}

// Press sends the button's command at the listed speed; release sends
// command 0 (directions) or 8 (zoom) with stop 1 and no speed, on the live
// channel of the moment.
void TestControlPage::pressAndReleaseRecords_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("speedIndex");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("releaseCommand");
    QTest::newRow("up") << "eptzUpBtn" << 0 << 0 << 0 << 0;
    QTest::newRow("down") << "eptzDownBtn" << 1 << 7 << 1 << 0;
    QTest::newRow("left") << "eptzLeftBtn" << 0 << 2 << 2 << 0;
    QTest::newRow("right") << "eptzRightBtn" << 1 << 3 << 3 << 0;
    QTest::newRow("up-left") << "eptzUpLeftBtn" << 0 << 4 << 4 << 0;
    QTest::newRow("up-right") << "eptzUpRightBtn" << 1 << 5 << 5 << 0;
    QTest::newRow("down-left") << "eptzDownLeftBtn" << 0 << 6 << 6 << 0;
    QTest::newRow("down-right") << "eptzDownRightBtn" << 1 << 1 << 7 << 0;
    QTest::newRow("zoom out") << "eptzZoomOutBtn" << 0 << 5 << 8 << 8;
    QTest::newRow("zoom in") << "eptzZoomInBtn" << 1 << 2 << 9 << 8;
}

void TestControlPage::pressAndReleaseRecords()
{
    QFETCH(QString, button);
    QFETCH(int, channel);
    QFETCH(int, speedIndex);
    QFETCH(int, command);
    QFETCH(int, releaseCommand);
    QVERIFY(m_fixture->login());
    if (channel == 1)
        m_fixture->click("onlineChannel1RadioBtn");
    QCOMPARE(m_fixture->window()->Channel(), channel);
    m_fixture->combo(m_page, "eptzSpeedCombo")->setCurrentIndex(speedIndex);
    SimFixture::clearJournal();

    auto *b = m_fixture->child<QPushButton>(m_page, button);
    QTest::mousePress(b, Qt::LeftButton);
    m_fixture->combo(m_page, "eptzSpeedCombo")->setCurrentIndex(7 - speedIndex);  // read on press only
    QTest::mouseRelease(b, Qt::LeftButton);

    const QList<QByteArray> sent = SimFixture::argsOf("TMV_NET_ElectronicPtzControl");
    QCOMPARE(sent.size(), 2);
    QCOMPARE(sent[0], SimFixture::bytesOf(Eptz(channel, command, speedIndex + 1, 0)));
    QCOMPARE(sent[1], SimFixture::bytesOf(Eptz(channel, releaseCommand, 0, 1)));
    QCOMPARE(m_boxes->count(), 0);
}

void TestControlPage::keepAliveIsBounded_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("sent");
    QTest::newRow("3 raised") << "3" << 5;
    QTest::newRow("5") << "5" << 5;
    QTest::newRow("45") << "45" << 45;
    QTest::newRow("60 lowered") << "60" << 45;
    QTest::newRow("empty") << "" << 5;
    QTest::newRow("not a number") << "ten" << 5;
    QTest::newRow("negative") << "-20" << 5;
}

void TestControlPage::keepAliveIsBounded()
{
    QFETCH(QString, typed);
    QFETCH(int, sent);
    QVERIFY(m_fixture->login());
    FillForm();
    m_fixture->edit(m_page, "keepAliveEdit")->setText(typed);
    m_fixture->click("gunBallSetBtn");
    QCOMPARE(SimFixture::lastRecord<TMV_NET_GUN_BALL_TRACK_CONFIG_INFO>("TMV_NET_SetGunBallTrackConfigInfo").keepAlive,
             sent);
    QCOMPARE(m_boxes->count(), 0);
}

// The whole record, byte for byte: zero past each text and in the reserved
// bytes; HTTPS taken from its own box only; texts in their longest fitting
// form.
void TestControlPage::setSendsTheForm()
{
    QVERIFY(m_fixture->login());
    FillForm();
    m_fixture->check(m_page, "httpCheckBox")->setChecked(true);  // not read
    m_fixture->edit(m_page, "ipEdit")->setText(QStringLiteral("192.168.100.200"));  // 15 bytes: the most that fits
    const QString password = QString(127, QChar(0xE4)) + QLatin1Char('x');  // 255 bytes in UTF-8
    m_fixture->edit(m_page, "passwordEdit")->setText(password);
    m_fixture->click("gunBallSetBtn");
    QCOMPARE(m_boxes->count(), 0);

    TMV_NET_GUN_BALL_TRACK_CONFIG_INFO expected;
    std::memset(&expected, 0, sizeof expected);
    qstrncpy(expected.userName, "operator", sizeof expected.userName);
    std::memcpy(expected.password, password.toLocal8Bit().constData(), 255);
    std::memcpy(expected.ip, "192.168.100.200", 15);
    expected.port = 8080;
    expected.keepAlive = 30;
    expected.enable = 1;
    expected.https = 1;
    QCOMPARE(SimFixture::lastInput("TMV_NET_SetGunBallTrackConfigInfo").mid(sizeof(TMV_NET_HANDLE)),
             SimFixture::bytesOf(expected));

    m_fixture->check(m_page, "httpsCheckBox")->setChecked(false);
    m_fixture->check(m_page, "EnableCheckBox")->setChecked(false);
    m_fixture->click("gunBallSetBtn");
    const auto second = SimFixture::lastRecord<TMV_NET_GUN_BALL_TRACK_CONFIG_INFO>("TMV_NET_SetGunBallTrackConfigInfo");
    QCOMPARE(second.https, uint8_t(0));
    QCOMPARE(second.enable, uint8_t(0));
}

// "Get" shows the device's record; the protocol boxes show the one the
// device holds, so a "Set" right after sends back what was read.
void TestControlPage::getShowsTheDeviceRecord_data()
{
    QTest::addColumn<int>("https");
    QTest::addColumn<bool>("httpBefore");
    QTest::addColumn<bool>("httpsBefore");
    QTest::newRow("http over a checked HTTPS") << 0 << false << true;
    QTest::newRow("https over a checked HTTP") << 1 << true << false;
    QTest::newRow("http, both checked before") << 0 << true << true;
}

void TestControlPage::getShowsTheDeviceRecord()
{
    QFETCH(int, https);
    QFETCH(bool, httpBefore);
    QFETCH(bool, httpsBefore);
    QVERIFY(m_fixture->login());
    TMV_NET_HANDLE other = SimFixture::login();
    QVERIFY(other);
    const QByteArray user = QStringLiteral("b\u00fcro").toUtf8();
    const TMV_NET_GUN_BALL_TRACK_CONFIG_INFO stored = Linkage(user, "192.168.100.200", https);
    QCOMPARE(TMV_NET_SetGunBallTrackConfigInfo(other, &stored), 0);
    TMV_NET_Logout(other);
    m_fixture->check(m_page, "httpCheckBox")->setChecked(httpBefore);
    m_fixture->check(m_page, "httpsCheckBox")->setChecked(httpsBefore);

    m_fixture->click("gunBallGetBtn");
    QCOMPARE(m_boxes->count(), 0);
    QVERIFY(m_fixture->check(m_page, "EnableCheckBox")->isChecked());
    QCOMPARE(m_fixture->check(m_page, "httpsCheckBox")->isChecked(), https != 0);
    QCOMPARE(m_fixture->check(m_page, "httpCheckBox")->isChecked(), https == 0);
    QCOMPARE(m_fixture->edit(m_page, "ipEdit")->text(), QStringLiteral("192.168.100.200"));
    QCOMPARE(m_fixture->edit(m_page, "portEdit")->text(), QStringLiteral("8443"));
    QCOMPARE(m_fixture->edit(m_page, "userNameEdit")->text(), QStringLiteral("b\u00fcro"));
    QCOMPARE(m_fixture->edit(m_page, "passwordEdit")->text(), QStringLiteral("s\u00e9same 1"));
    QCOMPARE(m_fixture->edit(m_page, "keepAliveEdit")->text(), QStringLiteral("17"));

    m_fixture->click("gunBallSetBtn");
    QCOMPARE(SimFixture::lastInput("TMV_NET_SetGunBallTrackConfigInfo").mid(sizeof(TMV_NET_HANDLE)),
             SimFixture::bytesOf(stored));
}

// A cut address or password would be another one: texts that do not fit
// are refused with a message and nothing is sent.
void TestControlPage::textsThatDoNotFitAreRefused_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("ip of 16") << "ipEdit" << "192.168.100.2001" << "The IP address is too long (at most 15 characters).";
    QTest::newRow("user name of 256") << "userNameEdit" << QString(256, QLatin1Char('u'))
                                      << "The user name is too long (at most 255 bytes).";
    QTest::newRow("password of 256") << "passwordEdit" << QString(256, QLatin1Char('p'))
                                     << "The password is too long (at most 255 bytes).";
    QTest::newRow("password of 128 two-byte characters")
        << "passwordEdit" << QString(128, QChar(0xE4)) << "The password is too long (at most 255 bytes).";
}

void TestControlPage::textsThatDoNotFitAreRefused()
{
    QFETCH(QString, edit);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QVERIFY(m_fixture->login());
    FillForm();
    m_fixture->edit(m_page, edit)->setText(text);
    SimFixture::clearJournal();
    m_fixture->click("gunBallSetBtn");
    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().title, QStringLiteral("Error"));
    QCOMPARE(m_boxes->last().text, message);
    QCOMPARE(m_boxes->last().icon, QMessageBox::Critical);
    QCOMPARE(SimFixture::countOf("TMV_NET_SetGunBallTrackConfigInfo"), 0);
}

void TestControlPage::failuresAreReported_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("release");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("text");
    QTest::newRow("direction press") << "eptzLeftBtn" << false << "TMV_NET_ElectronicPtzControl"
                                     << "EPTZ control Failed!";
    QTest::newRow("direction release") << "eptzLeftBtn" << true << "TMV_NET_ElectronicPtzControl"
                                       << "EPTZ control stop Failed!";
    QTest::newRow("zoom press") << "eptzZoomInBtn" << false << "TMV_NET_ElectronicPtzControl"
                                << "EPTZ control Failed!";
    QTest::newRow("zoom release") << "eptzZoomOutBtn" << true << "TMV_NET_ElectronicPtzControl"
                                  << "EPTZ control stop Failed!";
    QTest::newRow("get") << "gunBallGetBtn" << false << "TMV_NET_GetGunBallTrackConfigInfo"
                         << "GetGunBallTrackConfigInfo Failed!";
    QTest::newRow("set") << "gunBallSetBtn" << false << "TMV_NET_SetGunBallTrackConfigInfo"
                         << "SetGunBallTrackConfigInfo Failed!";
}

void TestControlPage::failuresAreReported()
{
    QFETCH(QString, button);
    QFETCH(bool, release);
    QFETCH(QString, function);
    QFETCH(QString, text);
    QVERIFY(m_fixture->login());
    FillForm();
    auto *b = m_fixture->child<QPushButton>(m_page, button);
    if (release) {
        QTest::mousePress(b, Qt::LeftButton);
        SimFixture::fail(function.toLatin1().constData(), 1);
        QTest::mouseRelease(b, Qt::LeftButton);
    } else {
        SimFixture::fail(function.toLatin1().constData(), 1);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().title, QStringLiteral("Error"));
    QCOMPARE(m_boxes->last().text, text);
    // A failed read leaves the form as it was.
    QCOMPARE(m_fixture->edit(m_page, "ipEdit")->text(), QStringLiteral("127.0.0.12"));
    QCOMPARE(m_fixture->edit(m_page, "keepAliveEdit")->text(), QStringLiteral("30"));
}

QTEST_MAIN(TestControlPage)
#include "tst_controlpage.moc"
