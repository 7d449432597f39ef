// The "Peripherel" page driven through its widgets: what it sends to the
// device (journal bytes), what it shows and the message boxes it raises.
#include <QAbstractButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>

#include "app/MainWindow.h"
#include "config/PeripheralPage.h"
#include "TestSupport.h"

namespace {

// A record image written by offset, independent of the record's field names.
class Bytes
{
public:
    explicit Bytes(int size) : m_bytes(size, '\0') {}
    Bytes &put(int offset, int32_t value)
    {
        std::memcpy(m_bytes.data() + offset, &value, sizeof value);
        return *this;
    }
    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

QByteArray Int32(int32_t value)
{
    return SimFixture::bytesOf(value);
}

// Notes how the next file dialog is set up when it shows, before the
// answerer's poll accepts or cancels it.
class DialogWatch : public QObject
{
public:
    DialogWatch() { qApp->installEventFilter(this); }
    ~DialogWatch() override { qApp->removeEventFilter(this); }

    bool seen = false;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
    QStringList filters;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        QFileDialog *dialog = qobject_cast<QFileDialog *>(watched);
        if (dialog && event->type() == QEvent::Show && !seen) {
            seen = true;
            acceptMode = dialog->acceptMode();
            filters = dialog->nameFilters();
        }
        return false;
    }
};

} // namespace

class TestPeripheralPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void formHoldsEveryControl_data();
    void formHoldsEveryControl();
    void startState();
    void visibilityFollowsIndexChanges_data();
    void visibilityFollowsIndexChanges();

    void modeSetsSendComboText_data();
    void modeSetsSendComboText();
    void dayNightSetAfterFailedRead_data();
    void dayNightSetAfterFailedRead();
    void failuresNamedPerOperation_data();
    void failuresNamedPerOperation();

    void logoPassesTypeAndPath_data();
    void logoPassesTypeAndPath();
    void logoCancelSendsNothing_data();
    void logoCancelSendsNothing();

    // Against the simulated device.
    void modesComeBackFromDevice_data();
    void modesComeBackFromDevice();
    void fillLightSetKeepsWhatItDoesNotShow();
    void dayNightGetShowsDevice_data();
    void dayNightGetShowsDevice();
    void dayNightSetKeepsWhatItDoesNotEdit_data();
    void dayNightSetKeepsWhatItDoesNotEdit();
    void dayNightRoundTrip();
    void logoRoundTrip();
    void logoOutsideDeviceLimitsRefused_data();
    void logoOutsideDeviceLimitsRefused();

private:
    // Logs in and selects the visible channel, where day/night switching is
    // enabled; the journal starts empty.
    void Login();
    QStringList BoxTexts() const;
    // What the user sees of the form, to check that a failure changed nothing.
    QStringList FormState() const;
    // A second session on the device, to ask it what the page should show.
    TMV_NET_HANDLE Peer();
    TMV_NET_DAY_NIGHT_MODE_PARAM PeerDayNight();
    void SetPeerDayNight(int mode, int delay, int start, int end, int sensitivity);

    std::unique_ptr<PageFixture> m_fixture;
    PeripheralPage *m_page = nullptr;
    ModalCatcher *m_boxes = nullptr;
    std::unique_ptr<QTemporaryDir> m_dir;
    TMV_NET_HANDLE m_peer = nullptr;
};

void TestPeripheralPage::initTestCase()
{
    WarningGuard::install();
}

void TestPeripheralPage::cleanupTestCase()
{
    TMV_NET_Deinit();
}

void TestPeripheralPage::init()
{
    m_fixture.reset(new PageFixture);
    m_page = m_fixture->window()->findChild<PeripheralPage *>();
    QVERIFY(m_page);
    m_boxes = &m_fixture->boxes();
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
}

void TestPeripheralPage::cleanup()
{
    if (m_peer)
        TMV_NET_Logout(m_peer);
    m_fixture->verifyClean();
    m_fixture.reset();
    m_page = nullptr;
    m_boxes = nullptr;
    m_dir.reset();
    m_peer = nullptr;
    SimFixture::clearFaults();
}

void TestPeripheralPage::Login()
{
    QVERIFY(m_fixture->login());
    const int visible = 1 - m_fixture->window()->DevInfo().thermalChannel;
    QTest::mouseClick(m_fixture->child<QRadioButton>(visible ? "onlineChannel1RadioBtn" : "onlineChannel0RadioBtn"),
                      Qt::LeftButton);
    QCOMPARE(m_fixture->window()->Channel(), visible);
    QVERIFY(m_fixture->child<QGroupBox>(m_page, "groupBox_2")->isEnabled());
    m_boxes->clear();
    SimFixture::clearJournal();
}

TMV_NET_HANDLE TestPeripheralPage::Peer()
{
    if (!m_peer)
        m_peer = SimFixture::login(SimFixture::kPtzCamera);
    return m_peer;
}

TMV_NET_DAY_NIGHT_MODE_PARAM TestPeripheralPage::PeerDayNight()
{
    TMV_NET_DAY_NIGHT_MODE_PARAM param;
    std::memset(&param, 0, sizeof param);
    const int status = TMV_NET_GetDayNightModeParam(Peer(), &param);
    if (status != 0)
        qWarning("the device's day/night answers %d", status);
    return param;
}

void TestPeripheralPage::SetPeerDayNight(int mode, int delay, int start, int end, int sensitivity)
{
    TMV_NET_DAY_NIGHT_MODE_PARAM param;
    std::memset(&param, 0, sizeof param);
    param.mode = mode;
    param.switchDelay = delay;
    param.startTime = start;
    param.endTime = end;
    param.sensitivity = sensitivity;
    QCOMPARE(TMV_NET_SetDayNightModeParam(Peer(), &param), 0);
}

QStringList TestPeripheralPage::BoxTexts() const
{
    QStringList texts;
    for (const ModalCatcher::Box &box : m_boxes->boxes())
        texts << box.title + QStringLiteral(": ") + box.text;
    return texts;
}

QStringList TestPeripheralPage::FormState() const
{
    QStringList state;
    for (const char *combo : {"WiperCombox", "FillLightCombox", "DayNightCombox", "LogoCombox"})
        state << QString::number(m_fixture->combo(m_page, combo)->currentIndex());
    state << m_fixture->edit(m_page, "SensitivityEdit")->text()
          << m_fixture->child<QDateTimeEdit>(m_page, "startDateTimeEdit")->time().toString()
          << m_fixture->child<QDateTimeEdit>(m_page, "endDateTimeEdit")->time().toString();
    for (const char *control : {"SensitivityEdit", "startDateTimeEdit", "endDateTimeEdit"})
        state << QString::number(m_fixture->child<QWidget>(m_page, control)->isHidden());
    return state;
}

// ---- Form ----------------------------------------------------------------------------

void TestPeripheralPage::formHoldsEveryControl_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("items");

    const QStringList autoManual{"Auto", "Manual"};
    QTest::newRow("groupBox") << "groupBox" << "QGroupBox" << "Peripheral" << QStringList();
    QTest::newRow("WiperLabel") << "WiperLabel" << "QLabel" << "Wiper" << QStringList();
    QTest::newRow("WiperCombox") << "WiperCombox" << "QComboBox" << "" << autoManual;
    QTest::newRow("GetWiperBtn") << "GetWiperBtn" << "QPushButton" << "Get" << QStringList();
    QTest::newRow("SetWiperBtn") << "SetWiperBtn" << "QPushButton" << "Set" << QStringList();
    QTest::newRow("FillLightLabel") << "FillLightLabel" << "QLabel" << "Fill Light" << QStringList();
    QTest::newRow("FillLightCombox") << "FillLightCombox" << "QComboBox" << "" << autoManual;
    QTest::newRow("GetFillLightBtn") << "GetFillLightBtn" << "QPushButton" << "Get" << QStringList();
    QTest::newRow("SetFillLightBtn") << "SetFillLightBtn" << "QPushButton" << "Set" << QStringList();
    QTest::newRow("groupBox_2") << "groupBox_2" << "QGroupBox" << "Day/Night" << QStringList();
    QTest::newRow("DayNightLabel") << "DayNightLabel" << "QLabel" << "Mode" << QStringList();
    QTest::newRow("DayNightCombox") << "DayNightCombox" << "QComboBox" << ""
                                    << QStringList{"Auto", "Day", "Night", "Time"};
    QTest::newRow("GetDayNightParamBtn") << "GetDayNightParamBtn" << "QPushButton" << "Get" << QStringList();
    QTest::newRow("SetDayNightParamBtn") << "SetDayNightParamBtn" << "QPushButton" << "Set" << QStringList();
    QTest::newRow("SensitivityLabel") << "SensitivityLabel" << "QLabel" << "Sensitivity" << QStringList();
    QTest::newRow("SensitivityEdit") << "SensitivityEdit" << "QLineEdit" << "" << QStringList();
    QTest::newRow("StartTimeLabel") << "StartTimeLabel" << "QLabel" << "Start Time" << QStringList();
    QTest::newRow("startDateTimeEdit") << "startDateTimeEdit" << "QDateTimeEdit" << "" << QStringList();
    QTest::newRow("EndTimeLabel") << "EndTimeLabel" << "QLabel" << "End Time" << QStringList();
    QTest::newRow("endDateTimeEdit") << "endDateTimeEdit" << "QDateTimeEdit" << "" << QStringList();
    QTest::newRow("groupBox_3") << "groupBox_3" << "QGroupBox" << QString::fromUtf8("Logo设置") << QStringList();
    QTest::newRow("LogoLabel") << "LogoLabel" << "QLabel" << "Logo" << QStringList();
    QTest::newRow("LogoCombox") << "LogoCombox" << "QComboBox" << "" << QStringList{"Login Logo", "Main Logo"};
    QTest::newRow("GetLogoBtn") << "GetLogoBtn" << "QPushButton" << "Get" << QStringList();
    QTest::newRow("SetLogoBtn") << "SetLogoBtn" << "QPushButton" << "Set" << QStringList();
}

void TestPeripheralPage::formHoldsEveryControl()
{
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(QString, text);
    QFETCH(QStringList, items);

    QWidget *widget = m_fixture->child<QWidget>(m_page, name);
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), type);
    if (QGroupBox *box = qobject_cast<QGroupBox *>(widget))
        QCOMPARE(box->title(), text);
    else if (QLabel *label = qobject_cast<QLabel *>(widget))
        QCOMPARE(label->text(), text);
    else if (QAbstractButton *button = qobject_cast<QAbstractButton *>(widget))
        QCOMPARE(button->text(), text);
    else if (QLineEdit *edit = qobject_cast<QLineEdit *>(widget))
        QCOMPARE(edit->text(), text);
    if (QComboBox *combo = qobject_cast<QComboBox *>(widget)) {
        QCOMPARE(m_fixture->items(m_page, name), items);
        QCOMPARE(combo->currentIndex(), 0);
    }
    // Everything sits in the page's scroll area.
    QVERIFY(m_fixture->child<QScrollArea>(m_page, "scrollArea")->widget()->isAncestorOf(widget));
}

void TestPeripheralPage::startState()
{
    QVERIFY(m_fixture->child<QScrollArea>(m_page, "scrollArea")->widgetResizable());
    // "Auto" is shown, yet its sensitivity stays hidden until the mode changes.
    for (const char *hidden : {"SensitivityLabel", "SensitivityEdit", "StartTimeLabel", "startDateTimeEdit",
                               "EndTimeLabel", "endDateTimeEdit"})
        QVERIFY2(m_fixture->child<QWidget>(m_page, hidden)->isHidden(), hidden);
    for (const char *edit : {"startDateTimeEdit", "endDateTimeEdit"})
        QCOMPARE(m_fixture->child<QDateTimeEdit>(m_page, edit)->displayFormat(), QStringLiteral("HH:mm:ss"));
    const QTabWidget *tabs = m_fixture->child<QTabWidget>("tabWidget");
    QCOMPARE(tabs->tabText(tabs->indexOf(m_page)), QStringLiteral("Peripherel"));
    QCOMPARE(m_boxes->count(), 0);
}

void TestPeripheralPage::visibilityFollowsIndexChanges_data()
{
    QTest::addColumn<QList<int>>("indexes");
    QTest::addColumn<bool>("sensitivity");
    QTest::addColumn<bool>("schedule");
    QTest::newRow("Auto again is no change") << QList<int>{0} << false << false;
    QTest::newRow("Day then Auto") << QList<int>{1, 0} << true << false;
    QTest::newRow("Time") << QList<int>{3} << false << true;
    QTest::newRow("Time then Night") << QList<int>{3, 2} << false << false;
    QTest::newRow("Auto then Time") << QList<int>{1, 0, 3} << false << true;
    QTest::newRow("no item") << QList<int>{3, -1} << false << false;
}

void TestPeripheralPage::visibilityFollowsIndexChanges()
{
    QFETCH(QList<int>, indexes);
    QFETCH(bool, sensitivity);
    QFETCH(bool, schedule);

    // On screen (the tab change asks a null handle for abilities: a box).
    m_fixture->child<QTabWidget>("tabWidget")->setCurrentWidget(m_page);
    m_boxes->clear();
    SimFixture::clearJournal();
    for (int index : indexes)
        m_fixture->combo(m_page, "DayNightCombox")->setCurrentIndex(index);

    for (const char *control : {"SensitivityLabel", "SensitivityEdit"})
        QCOMPARE(!m_fixture->child<QWidget>(m_page, control)->isHidden(), sensitivity);
    for (const char *control : {"StartTimeLabel", "startDateTimeEdit", "EndTimeLabel", "endDateTimeEdit"})
        QCOMPARE(!m_fixture->child<QWidget>(m_page, control)->isHidden(), schedule);
    // Choosing a mode asks nothing of the device.
    QCOMPARE(TMVSim_JournalCount(), 0);

    // Whatever the mode shows, the mode row stands in line with the others:
    // its combo box and its buttons where the wiper's, fill light's and
    // logo's are, as wide.
    QTest::qWait(50);
    const auto span = [this](const char *name) {
        const QWidget *widget = m_fixture->child<QWidget>(m_page, name);
        return qMakePair(widget->mapTo(m_page, QPoint()).x(), widget->width());
    };
    const char *const rows[][3] = {{"DayNightCombox", "GetDayNightParamBtn", "SetDayNightParamBtn"},
                                   {"FillLightCombox", "GetFillLightBtn", "SetFillLightBtn"},
                                   {"LogoCombox", "GetLogoBtn", "SetLogoBtn"}};
    for (const auto &row : rows) {
        QCOMPARE(span(row[0]), span("WiperCombox"));
        QCOMPARE(span(row[1]), span("GetWiperBtn"));
        QCOMPARE(span(row[2]), span("SetWiperBtn"));
    }
}

// ---- What a set sends -------------------------------------------------------------------

void TestPeripheralPage::modeSetsSendComboText_data()
{
    QTest::addColumn<QString>("combo");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QByteArray>("sent");

    QTest::newRow("wiper Auto") << "WiperCombox" << 0 << "SetWiperBtn" << "TMV_NET_SetWiperConfigInfo" << Int32(0);
    QTest::newRow("wiper Manual") << "WiperCombox" << 1 << "SetWiperBtn" << "TMV_NET_SetWiperConfigInfo"
                                  << Int32(1);
    QTest::newRow("wiper without item") << "WiperCombox" << -1 << "SetWiperBtn" << "TMV_NET_SetWiperConfigInfo"
                                        << Int32(-1);
    // Before any get the rest of the record is zero.
    QTest::newRow("fill light Auto") << "FillLightCombox" << 0 << "SetFillLightBtn"
                                     << "TMV_NET_SetFillLightConfigInfo" << Bytes(24).put(0, 0).bytes();
    QTest::newRow("fill light Manual") << "FillLightCombox" << 1 << "SetFillLightBtn"
                                       << "TMV_NET_SetFillLightConfigInfo" << Bytes(24).put(0, 1).bytes();
    QTest::newRow("fill light without item") << "FillLightCombox" << -1 << "SetFillLightBtn"
                                             << "TMV_NET_SetFillLightConfigInfo" << Bytes(24).put(0, -1).bytes();
}

void TestPeripheralPage::modeSetsSendComboText()
{
    QFETCH(QString, combo);
    QFETCH(int, index);
    QFETCH(QString, button);
    QFETCH(QString, function);
    QFETCH(QByteArray, sent);

    Login();
    m_fixture->combo(m_page, combo)->setCurrentIndex(index);
    m_fixture->click(m_page, button);

    const QByteArray name = function.toLatin1();
    QCOMPARE(SimFixture::calls(), QStringList{function});
    QCOMPARE(SimFixture::argsOf(name.constData()).value(0).toHex(' '), sent.toHex(' '));
}

void TestPeripheralPage::dayNightSetAfterFailedRead_data()
{
    QTest::addColumn<QList<int>>("indexes");
    QTest::addColumn<QString>("sensitivity");
    QTest::addColumn<QTime>("start");
    QTest::addColumn<QTime>("end");
    QTest::addColumn<QByteArray>("sent");

    const QTime start(6, 30, 15);
    const QTime end(20, 0, 0);
    QTest::newRow("Day keeps the rest") << QList<int>{1} << "42" << start << end << Bytes(24).put(0, 1).bytes();
    QTest::newRow("Night") << QList<int>{2} << "42" << start << end << Bytes(24).put(0, 2).bytes();
    QTest::newRow("Time writes the schedule")
        << QList<int>{3} << "42" << start << end
        << Bytes(24).put(0, 3).put(8, 6 * 3600 + 30 * 60 + 15).put(12, 72000).bytes();
    QTest::newRow("Auto writes the sensitivity")
        << QList<int>{1, 0} << "42" << start << end << Bytes(24).put(0, 0).put(16, 42).bytes();
    // At start "Auto" shows without its sensitivity: what the operator
    // cannot see is not sent.
    QTest::newRow("Auto at start keeps the hidden sensitivity")
        << QList<int>() << "42" << start << end << Bytes(24).bytes();
    QTest::newRow("sensitivity that does not parse")
        << QList<int>{1, 0} << "4x" << start << end << Bytes(24).put(0, 0).bytes();
    QTest::newRow("no item") << QList<int>{-1} << "42" << start << end << Bytes(24).put(0, -1).bytes();
}

// The read before the set fails: the set still goes, from a zeroed record.
void TestPeripheralPage::dayNightSetAfterFailedRead()
{
    QFETCH(QList<int>, indexes);
    QFETCH(QString, sensitivity);
    QFETCH(QTime, start);
    QFETCH(QTime, end);
    QFETCH(QByteArray, sent);

    Login();
    for (int index : indexes)
        m_fixture->combo(m_page, "DayNightCombox")->setCurrentIndex(index);
    m_fixture->edit(m_page, "SensitivityEdit")->setText(sensitivity);
    m_fixture->child<QDateTimeEdit>(m_page, "startDateTimeEdit")->setTime(start);
    m_fixture->child<QDateTimeEdit>(m_page, "endDateTimeEdit")->setTime(end);
    SimFixture::fail("TMV_NET_GetDayNightModeParam", 1);
    SimFixture::fail("TMV_NET_SetDayNightModeParam", 3);
    m_fixture->click(m_page, "SetDayNightParamBtn");

    QCOMPARE(SimFixture::calls(),
             (QStringList{"TMV_NET_GetDayNightModeParam", "TMV_NET_SetDayNightModeParam"}));
    QCOMPARE(SimFixture::argsOf("TMV_NET_SetDayNightModeParam").value(0).toHex(' '), sent.toHex(' '));
    QCOMPARE(BoxTexts(), (QStringList{"Error: GetDayNightModeParam Failed!",
                                      "Error: SetDayNightModeParam Param Wrong!"}));
}

// ---- Failures ----------------------------------------------------------------------------

void TestPeripheralPage::failuresNamedPerOperation_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("wiper get") << "GetWiperBtn" << QStringList{"TMV_NET_GetWiperConfigInfo=1"}
                               << QStringList{"GetWiperConfigInfo Failed!"};
    QTest::newRow("wiper set") << "SetWiperBtn" << QStringList{"TMV_NET_SetWiperConfigInfo=3"}
                               << QStringList{"SetWiperConfigInfo Param Wrong!"};
    QTest::newRow("fill light get") << "GetFillLightBtn" << QStringList{"TMV_NET_GetFillLightConfigInfo=2"}
                                    << QStringList{"GetFillLight Not Supported!"};
    QTest::newRow("fill light set") << "SetFillLightBtn" << QStringList{"TMV_NET_SetFillLightConfigInfo=1"}
                                    << QStringList{"SetFillLight Failed!"};
    QTest::newRow("day/night get") << "GetDayNightParamBtn" << QStringList{"TMV_NET_GetDayNightModeParam=1"}
                                   << QStringList{"GetDayNightModeParam Failed!"};
    QTest::newRow("day/night set")
        << "SetDayNightParamBtn"
        << QStringList{"TMV_NET_GetDayNightModeParam=2", "TMV_NET_SetDayNightModeParam=1"}
        << QStringList{"GetDayNightModeParam Not Supported!", "SetDayNightModeParam Failed!"};
    QTest::newRow("logo get") << "GetLogoBtn" << QStringList{"TMV_NET_GetLogoPicture=1"}
                              << QStringList{"GetLogoPicture Failed!"};
    QTest::newRow("logo set") << "SetLogoBtn" << QStringList{"TMV_NET_SetLogoPicture=3"}
                              << QStringList{"SetLogoPicture Param Wrong!"};
}

void TestPeripheralPage::failuresNamedPerOperation()
{
    QFETCH(QString, button);
    QFETCH(QStringList, faults);
    QFETCH(QStringList, texts);

    Login();
    // A form away from its start, so that a get that wrongly wrote to it shows.
    m_fixture->combo(m_page, "WiperCombox")->setCurrentIndex(1);
    m_fixture->combo(m_page, "FillLightCombox")->setCurrentIndex(1);
    m_fixture->combo(m_page, "DayNightCombox")->setCurrentIndex(3);
    m_fixture->combo(m_page, "LogoCombox")->setCurrentIndex(1);
    m_fixture->edit(m_page, "SensitivityEdit")->setText(QStringLiteral("17"));
    m_fixture->child<QDateTimeEdit>(m_page, "startDateTimeEdit")->setTime(QTime(1, 2, 3));
    m_fixture->child<QDateTimeEdit>(m_page, "endDateTimeEdit")->setTime(QTime(4, 5, 6));
    const QStringList before = FormState();

    for (const QString &fault : faults) {
        const QStringList parts = fault.split(QLatin1Char('='));
        SimFixture::fail(parts.at(0).toLatin1().constData(), parts.at(1).toInt());
    }
    // The logo buttons ask for a file first: an existing one for the set, a
    // new one for the get (an existing one would be asked about first).
    const QString file = m_dir->filePath(QStringLiteral("logo.png"));
    if (button == QLatin1String("SetLogoBtn")) {
        QFile png(file);
        QVERIFY(png.open(QIODevice::WriteOnly));
    }
    FileDialogAnswerer answer(file);
    m_fixture->click(m_page, button);

    QStringList expected;
    for (const QString &text : texts)
        expected << QStringLiteral("Error: ") + text;
    QCOMPARE(BoxTexts(), expected);
    QCOMPARE(FormState(), before);
}

// ---- Logo pictures -------------------------------------------------------------------------

void TestPeripheralPage::logoPassesTypeAndPath_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("logo");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("acceptMode");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("get login logo") << "GetLogoBtn" << 0 << "TMV_NET_GetLogoPicture" << "GetLogo"
                                    << int(QFileDialog::AcceptSave) << "login.png";
    QTest::newRow("get main logo, non-ASCII path")
        << "GetLogoBtn" << 1 << "TMV_NET_GetLogoPicture" << "GetLogo" << int(QFileDialog::AcceptSave)
        << QString::fromUtf8("標誌 été.png");
    QTest::newRow("set main logo") << "SetLogoBtn" << 1 << "TMV_NET_SetLogoPicture" << "SetLogo"
                                   << int(QFileDialog::AcceptOpen) << "main.png";
    QTest::newRow("set login logo, non-ASCII path")
        << "SetLogoBtn" << 0 << "TMV_NET_SetLogoPicture" << "SetLogo" << int(QFileDialog::AcceptOpen)
        << QString::fromUtf8("ロゴ ü.png");
}

void TestPeripheralPage::logoPassesTypeAndPath()
{
    QFETCH(QString, button);
    QFETCH(int, logo);
    QFETCH(QString, function);
    QFETCH(QString, caption);
    QFETCH(int, acceptMode);
    QFETCH(QString, fileName);

    Login();
    m_fixture->combo(m_page, "LogoCombox")->setCurrentIndex(logo);
    const QString path = m_dir->filePath(fileName);
    if (acceptMode == QFileDialog::AcceptOpen) {
        QFile png(path);
        QVERIFY(png.open(QIODevice::WriteOnly));
    }
    // Fails either way today or on a device that refuses the file; the
    // journal keeps what was asked.
    SimFixture::fail(function.toLatin1().constData(), 1);
    DialogWatch watch;
    FileDialogAnswerer answer(path);
    m_fixture->click(m_page, button);

    QVERIFY(answer.answered());
    QCOMPARE(answer.caption(), caption);
    QVERIFY(watch.seen);
    QCOMPARE(int(watch.acceptMode), acceptMode);
    QCOMPARE(watch.filters, QStringList{"*.png"});
    QCOMPARE(SimFixture::calls(), QStringList{function});
    const QByteArray expected = Int32(logo) + path.toUtf8() + QByteArray(1, '\0');
    QCOMPARE(SimFixture::argsOf(function.toLatin1().constData()).value(0), expected);
}

void TestPeripheralPage::logoCancelSendsNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("caption");
    QTest::newRow("get") << "GetLogoBtn" << "GetLogo";
    QTest::newRow("set") << "SetLogoBtn" << "SetLogo";
}

void TestPeripheralPage::logoCancelSendsNothing()
{
    QFETCH(QString, button);
    QFETCH(QString, caption);
    Login();
    FileDialogAnswerer cancel{QString()};
    m_fixture->click(m_page, button);

    QVERIFY(cancel.answered());
    QCOMPARE(cancel.caption(), caption);
    QCOMPARE(TMVSim_JournalCount(), 0);
    QCOMPARE(m_boxes->count(), 0);
}

// ---- Against the simulated device --------------------------------------------------------

void TestPeripheralPage::modesComeBackFromDevice_data()
{
    QTest::addColumn<QString>("combo");
    QTest::addColumn<QString>("setButton");
    QTest::addColumn<QString>("getButton");
    QTest::newRow("wiper") << "WiperCombox" << "SetWiperBtn" << "GetWiperBtn";
    QTest::newRow("fill light") << "FillLightCombox" << "SetFillLightBtn" << "GetFillLightBtn";
}

void TestPeripheralPage::modesComeBackFromDevice()
{
    QFETCH(QString, combo);
    QFETCH(QString, setButton);
    QFETCH(QString, getButton);
    const QByteArray comboName = combo.toLatin1();

    Login();
    m_fixture->combo(m_page, comboName.constData())->setCurrentIndex(1);
    m_fixture->click(m_page, setButton);
    m_fixture->combo(m_page, comboName.constData())->setCurrentIndex(0);
    m_fixture->click(m_page, getButton);
    QCOMPARE(m_fixture->combo(m_page, comboName.constData())->currentText(), QStringLiteral("Manual"));

    m_fixture->combo(m_page, comboName.constData())->setCurrentIndex(0);
    m_fixture->click(m_page, setButton);
    m_fixture->combo(m_page, comboName.constData())->setCurrentIndex(1);
    m_fixture->click(m_page, getButton);
    QCOMPARE(m_fixture->combo(m_page, comboName.constData())->currentText(), QStringLiteral("Auto"));
    QCOMPARE(m_boxes->count(), 0);
}

// The page shows only the mode: a set after a get sends the rest back as read.
void TestPeripheralPage::fillLightSetKeepsWhatItDoesNotShow()
{
    Login();
    TMV_NET_FILL_LIGHT_CONFIG_INFO light;
    std::memset(&light, 0, sizeof light);
    light.mode = 0;
    light.brightness = 70;
    light.sensitivity = 30;
    QCOMPARE(TMV_NET_SetFillLightConfigInfo(Peer(), &light), 0);

    m_fixture->click(m_page, "GetFillLightBtn");
    m_fixture->combo(m_page, "FillLightCombox")->setCurrentIndex(1);
    m_fixture->click(m_page, "SetFillLightBtn");

    std::memset(&light, 0, sizeof light);
    QCOMPARE(TMV_NET_GetFillLightConfigInfo(Peer(), &light), 0);
    QCOMPARE(light.mode, 1);
    QCOMPARE(light.brightness, 70);
    QCOMPARE(light.sensitivity, 30);
    QCOMPARE(m_boxes->count(), 0);
}

void TestPeripheralPage::dayNightGetShowsDevice_data()
{
    QTest::addColumn<QList<int>>("indexes");
    QTest::addColumn<QList<int>>("device"); // mode, delay, start, end, sensitivity
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("sensitivity");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("sensitivityShown");
    QTest::addColumn<bool>("scheduleShown");

    QTest::newRow("timed") << QList<int>{} << QList<int>{3, 5, 28800, 20 * 3600, 50} << 3 << "" << "08:00:00"
                           << "20:00:00" << false << true;
    // No change of index, so the sensitivity arrives but stays hidden.
    QTest::newRow("automatic at start") << QList<int>{} << QList<int>{0, 5, 28800, 72000, 33} << 0 << "33"
                                        << "00:00:00" << "00:00:00" << false << false;
    QTest::newRow("automatic from Day") << QList<int>{1} << QList<int>{0, 5, 28800, 72000, 33} << 0 << "33"
                                        << "00:00:00" << "00:00:00" << true << false;
    QTest::newRow("night") << QList<int>{3} << QList<int>{2, 5, 28800, 72000, 33} << 2 << "" << "00:00:00"
                           << "00:00:00" << false << false;
}

void TestPeripheralPage::dayNightGetShowsDevice()
{
    QFETCH(QList<int>, indexes);
    QFETCH(QList<int>, device);
    QFETCH(int, index);
    QFETCH(QString, sensitivity);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(bool, sensitivityShown);
    QFETCH(bool, scheduleShown);

    Login();
    for (int i : indexes)
        m_fixture->combo(m_page, "DayNightCombox")->setCurrentIndex(i);
    SetPeerDayNight(device[0], device[1], device[2], device[3], device[4]);
    m_fixture->click(m_page, "GetDayNightParamBtn");

    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(m_fixture->combo(m_page, "DayNightCombox")->currentIndex(), index);
    QCOMPARE(m_fixture->edit(m_page, "SensitivityEdit")->text(), sensitivity);
    const QString seconds = QStringLiteral("HH:mm:ss");
    QCOMPARE(m_fixture->child<QDateTimeEdit>(m_page, "startDateTimeEdit")->time().toString(seconds), start);
    QCOMPARE(m_fixture->child<QDateTimeEdit>(m_page, "endDateTimeEdit")->time().toString(seconds), end);
    QCOMPARE(m_fixture->child<QDateTimeEdit>(m_page, "startDateTimeEdit")->displayFormat(), QStringLiteral("HH:mm:ss"));
    QCOMPARE(!m_fixture->child<QWidget>(m_page, "SensitivityEdit")->isHidden(), sensitivityShown);
    QCOMPARE(!m_fixture->child<QWidget>(m_page, "startDateTimeEdit")->isHidden(), scheduleShown);
}

void TestPeripheralPage::dayNightSetKeepsWhatItDoesNotEdit_data()
{
    QTest::addColumn<QList<int>>("indexes");
    QTest::addColumn<QList<int>>("stored"); // mode, delay, start, end, sensitivity

    QTest::newRow("Day") << QList<int>{1} << QList<int>{1, 7, 28800, 72000, 9};
    QTest::newRow("Night") << QList<int>{2} << QList<int>{2, 7, 28800, 72000, 9};
    QTest::newRow("Time") << QList<int>{3} << QList<int>{3, 7, 23415, 43200, 9};
    QTest::newRow("Auto") << QList<int>{1, 0} << QList<int>{0, 7, 28800, 72000, 60};
    QTest::newRow("Auto at start") << QList<int>{} << QList<int>{0, 7, 28800, 72000, 9};
}

void TestPeripheralPage::dayNightSetKeepsWhatItDoesNotEdit()
{
    QFETCH(QList<int>, indexes);
    QFETCH(QList<int>, stored);

    Login();
    SetPeerDayNight(3, 7, 28800, 72000, 9);
    SimFixture::clearJournal();
    for (int i : indexes)
        m_fixture->combo(m_page, "DayNightCombox")->setCurrentIndex(i);
    m_fixture->edit(m_page, "SensitivityEdit")->setText(QStringLiteral("60"));
    m_fixture->child<QDateTimeEdit>(m_page, "startDateTimeEdit")->setTime(QTime(6, 30, 15));
    m_fixture->child<QDateTimeEdit>(m_page, "endDateTimeEdit")->setTime(QTime(12, 0, 0));
    m_fixture->click(m_page, "SetDayNightParamBtn");

    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(SimFixture::calls(),
             (QStringList{"TMV_NET_GetDayNightModeParam", "TMV_NET_SetDayNightModeParam"}));
    const TMV_NET_DAY_NIGHT_MODE_PARAM param = PeerDayNight();
    QCOMPARE((QList<int>{param.mode, param.switchDelay, param.startTime, param.endTime, param.sensitivity}), stored);
}

// What a set stores, a get on a fresh page shows.
void TestPeripheralPage::dayNightRoundTrip()
{
    Login();
    m_fixture->combo(m_page, "DayNightCombox")->setCurrentIndex(3);
    m_fixture->child<QDateTimeEdit>(m_page, "startDateTimeEdit")->setTime(QTime(6, 30, 15));
    m_fixture->child<QDateTimeEdit>(m_page, "endDateTimeEdit")->setTime(QTime(21, 45, 0));
    m_fixture->click(m_page, "SetDayNightParamBtn");

    m_fixture->combo(m_page, "DayNightCombox")->setCurrentIndex(1);
    m_fixture->child<QDateTimeEdit>(m_page, "startDateTimeEdit")->setTime(QTime(0, 0, 0));
    m_fixture->child<QDateTimeEdit>(m_page, "endDateTimeEdit")->setTime(QTime(0, 0, 0));
    m_fixture->click(m_page, "GetDayNightParamBtn");

    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(m_fixture->combo(m_page, "DayNightCombox")->currentText(), QStringLiteral("Time"));
    QCOMPARE(m_fixture->child<QDateTimeEdit>(m_page, "startDateTimeEdit")->time(), QTime(6, 30, 15));
    QCOMPARE(m_fixture->child<QDateTimeEdit>(m_page, "endDateTimeEdit")->time(), QTime(21, 45, 0));
    QVERIFY(!m_fixture->child<QWidget>(m_page, "startDateTimeEdit")->isHidden());
}

// A logo set from a PNG comes back, as a PNG written to the chosen file.
void TestPeripheralPage::logoRoundTrip()
{
    Login();
    QImage picture(64, 32, QImage::Format_ARGB32);
    picture.fill(QColor(200, 40, 10));
    for (int x = 0; x < 64; ++x)
        picture.setPixelColor(x, x / 2, Qt::white);
    const QString source = m_dir->filePath(QStringLiteral("source.png"));
    QVERIFY(picture.save(source, "PNG"));

    m_fixture->combo(m_page, "LogoCombox")->setCurrentIndex(1);
    {
        FileDialogAnswerer answer(source);
        m_fixture->click(m_page, "SetLogoBtn");
        QVERIFY(answer.answered());
    }
    const QString copy = m_dir->filePath(QString::fromUtf8("main logo é.png"));
    {
        FileDialogAnswerer answer(copy);
        m_fixture->click(m_page, "GetLogoBtn");
        QVERIFY(answer.answered());
    }
    QCOMPARE(m_boxes->count(), 0);

    QFile written(copy);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.read(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
    written.close();
    QImage back;
    QVERIFY(back.load(copy, "PNG"));
    QCOMPARE(back.convertToFormat(QImage::Format_ARGB32), picture);

    // The login logo is a picture of its own.
    m_fixture->combo(m_page, "LogoCombox")->setCurrentIndex(0);
    const QString login = m_dir->filePath(QStringLiteral("login.png"));
    {
        FileDialogAnswerer answer(login);
        m_fixture->click(m_page, "GetLogoBtn");
    }
    QImage loginLogo;
    QVERIFY(loginLogo.load(login, "PNG"));
    QVERIFY(loginLogo.convertToFormat(QImage::Format_ARGB32) != picture);
    QCOMPARE(m_boxes->count(), 0);
}

void TestPeripheralPage::logoOutsideDeviceLimitsRefused_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("too wide") << QSize(300, 10) << QByteArray("PNG");
    QTest::newRow("not a PNG") << QSize(16, 16) << QByteArray("BMP");
}

void TestPeripheralPage::logoOutsideDeviceLimitsRefused()
{
    QFETCH(QSize, size);
    QFETCH(QByteArray, format);

    Login();
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    // Named .png either way: the device, not the name, decides.
    const QString file = m_dir->filePath(QStringLiteral("logo.png"));
    QVERIFY(picture.save(file, format.constData()));
    FileDialogAnswerer answer(file);
    m_fixture->click(m_page, "SetLogoBtn");

    QCOMPARE(BoxTexts(), QStringList{"Error: SetLogoPicture Param Wrong!"});
}

QTEST_MAIN(TestPeripheralPage)
#include "tst_peripheralpage.moc"
