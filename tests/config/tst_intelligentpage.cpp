// The "Intelligent" page driven through its widgets: the target-recognition
// record it sends (journal bytes), the channel it asks for, what it shows and
// the message boxes it raises.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QtTest>

#include <cstring>
#include <memory>

#include "config/Intelligent.h"
#include "app/MainWindow.h"
#include "TestSupport.h"

namespace {

// A record image written by offset, independent of the record's field names.
class Bytes
{
public:
    Bytes() : m_bytes(80, '\0') {}
    template <class T>
    Bytes &put(int offset, T value)
    {
        std::memcpy(m_bytes.data() + offset, &value, sizeof value);
        return *this;
    }
    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

// What every set writes whatever the form holds.
Bytes Base()
{
    return Bytes().put<int32_t>(44, 1).put<int32_t>(48, 1);
}

const char *const kChecks[] = {"enableCheckBox",    "snapCheckBox",      "snapCh1CheckBox", "snapCh2CheckBox",
                               "recordCheckBox",    "recordCh1CheckBox", "recordCh2CheckBox",
                               "trackCheckBox",     "lrfCheckBox"};
const char *const kEdits[] = {"sensitivityEdit", "snapDelayEdit", "recordDelayEdit", "trackTimeEdit",
                              "lostTimeEdit"};

} // namespace

class TestIntelligentPage : public QObject
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

    void setSendsForm_data();
    void setSendsForm();
    void callsUseLiveChannel_data();
    void callsUseLiveChannel();
    void failuresKeepForm_data();
    void failuresKeepForm();

    // Against the simulated device.
    void roundTripPerChannel();
    void deviceRefusalReported();

private:
    void Login();
    // Fills the form from "name=value" steps: a check box takes 0 or 1, a
    // combo box an item text, a line edit its text.
    void Fill(const QStringList &steps) const;
    QStringList FormState() const;

    std::unique_ptr<PageFixture> m_fixture;
    Intelligent *m_page = nullptr;
    ModalCatcher *m_boxes = nullptr;
};

void TestIntelligentPage::initTestCase()
{
    WarningGuard::install();
}

void TestIntelligentPage::cleanupTestCase()
{
    TMV_NET_Deinit();
}

void TestIntelligentPage::init()
{
    m_fixture.reset(new PageFixture);
    m_page = m_fixture->window()->findChild<Intelligent *>();
    QVERIFY(m_page);
    m_boxes = &m_fixture->boxes();
}

void TestIntelligentPage::cleanup()
{
    m_fixture->verifyClean();
    m_fixture.reset();
    m_page = nullptr;
    m_boxes = nullptr;
    SimFixture::clearFaults();
}

void TestIntelligentPage::Login()
{
    QVERIFY(m_fixture->login());
    m_boxes->clear();
    SimFixture::clearJournal();
}

void TestIntelligentPage::Fill(const QStringList &steps) const
{
    for (const QString &step : steps) {
        const QString name = step.section(QLatin1Char('='), 0, 0);
        const QString value = step.section(QLatin1Char('='), 1);
        QWidget *widget = m_fixture->child<QWidget>(m_page, name);
        if (QCheckBox *check = qobject_cast<QCheckBox *>(widget)) {
            if (check->isChecked() != (value == QLatin1String("1")))
                QTest::mouseClick(check, Qt::LeftButton);
        } else if (QComboBox *combo = qobject_cast<QComboBox *>(widget)) {
            const int index = combo->findText(value);
            QVERIFY2(index >= 0, qPrintable(step));
            combo->setCurrentIndex(index);
        } else if (QLineEdit *edit = qobject_cast<QLineEdit *>(widget)) {
            edit->clear();
            QTest::keyClicks(edit, value);
        }
    }
}

QStringList TestIntelligentPage::FormState() const
{
    QStringList state;
    for (const char *check : kChecks)
        state << QString::number(m_fixture->check(m_page, check)->isChecked());
    for (const char *edit : kEdits)
        state << m_fixture->edit(m_page, edit)->text();
    state << QString::number(m_fixture->combo(m_page, "targetTypeComboBox")->currentIndex())
          << QString::number(m_fixture->combo(m_page, "modeComboBox")->currentIndex());
    return state;
}

// ---- Form ----------------------------------------------------------------------------

void TestIntelligentPage::formHoldsEveryControl_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("text");

    const struct
    {
        const char *name, *type, *text;
    } rows[] = {
        {"label", "QLabel", "Target Recognition"},
        {"groupBox", "QGroupBox", ""},
        {"enableCheckBox", "QCheckBox", "Enable"},
        {"typeLabel", "QLabel", "Type"},
        {"targetTypeComboBox", "QComboBox", ""},
        {"sensitivityLabel", "QLabel", "Sensitivity"},
        {"sensitivityEdit", "QLineEdit", ""},
        {"alarmLabel", "QLabel", "Alarm"},
        {"snapCheckBox", "QCheckBox", "SnapEnable"},
        {"snapCh1CheckBox", "QCheckBox", "CH1"},
        {"snapCh2CheckBox", "QCheckBox", "CH2"},
        {"snapDelayLabel", "QLabel", "delay"},
        {"snapDelayEdit", "QLineEdit", ""},
        {"recordCheckBox", "QCheckBox", "RecordEnable"},
        {"recordCh1CheckBox", "QCheckBox", "CH1"},
        {"recordCh2CheckBox", "QCheckBox", "CH2"},
        {"recordDelayLabel", "QLabel", "delay"},
        {"recordDelayEdit", "QLineEdit", ""},
        {"trackCheckBox", "QCheckBox", "TrackEnable"},
        {"lrfCheckBox", "QCheckBox", "OnLRF"},
        {"trackTimeLabel", "QLabel", "TrackTime"},
        {"trackTimeEdit", "QLineEdit", ""},
        {"lostTimeLabel", "QLabel", "LostTime"},
        {"lostTimeEdit", "QLineEdit", ""},
        {"modeLabel", "QLabel", "Mode"},
        {"modeComboBox", "QComboBox", ""},
        {"getTargetBtn", "QPushButton", "Get"},
        {"setTargetBtn", "QPushButton", "Set"},
    };
    for (const auto &row : rows)
        QTest::newRow(row.name) << row.name << row.type << row.text;
}

void TestIntelligentPage::formHoldsEveryControl()
{
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(QString, text);

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
    QVERIFY(m_fixture->child<QScrollArea>(m_page, "scrollArea")->widget()->isAncestorOf(widget));
    if (name != QLatin1String("label") && name != QLatin1String("groupBox"))
        QVERIFY(m_fixture->child<QGroupBox>(m_page, "groupBox")->isAncestorOf(widget));
}

void TestIntelligentPage::startState()
{
    QCOMPARE(m_fixture->items(m_page, "targetTypeComboBox"),
             (QStringList{"All", "Man", "Car", "Object", "Truck", "Boat", "Plane", "Drone", "Bird"}));
    QCOMPARE(m_fixture->items(m_page, "modeComboBox"), (QStringList{"Manual", "FOV", "Auto"}));

    QCOMPARE(FormState(), (QStringList{"0", "0", "0", "0", "0", "0", "0", "0", "0", "", "", "", "", "", "0", "0"}));
    QVERIFY(m_fixture->child<QScrollArea>(m_page, "scrollArea")->widgetResizable());
    const QTabWidget *tabs = m_fixture->child<QTabWidget>("tabWidget");
    QCOMPARE(tabs->tabText(tabs->indexOf(m_page)), QStringLiteral("Intelligent"));
}

// ---- Set --------------------------------------------------------------------------------

void TestIntelligentPage::setSendsForm_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QByteArray>("sent");

    QTest::newRow("start form") << QStringList() << Base().put<int32_t>(56, 1).bytes();
    QTest::newRow("everything on, Bird, FOV")
        << QStringList{"enableCheckBox=1",  "targetTypeComboBox=Bird", "sensitivityEdit=55",
                       "snapCheckBox=1",    "snapCh1CheckBox=1",       "snapCh2CheckBox=1",
                       "snapDelayEdit=30",  "recordCheckBox=1",        "recordCh1CheckBox=1",
                       "recordCh2CheckBox=1", "recordDelayEdit=-7",    "trackCheckBox=1",
                       "trackTimeEdit=120", "lostTimeEdit=15",         "modeComboBox=FOV",
                       "lrfCheckBox=1"}
        << Base()
               .put<uint8_t>(0, 1)
               .put<int32_t>(4, 55)
               .put<uint8_t>(8, 1).put<uint8_t>(9, 1).put<uint8_t>(10, 1)
               .put<int64_t>(16, 30)
               .put<uint8_t>(24, 1).put<uint8_t>(25, 1).put<uint8_t>(26, 1)
               .put<int64_t>(32, -7)
               .put<uint8_t>(40, 1)
               .put<int32_t>(52, 120)
               .put<int32_t>(56, 2)
               .put<int32_t>(64, 15)
               .put<uint8_t>(68, 1)
               .put<int32_t>(72, 8)
               .bytes();
    QTest::newRow("CH1 boxes only, Auto")
        << QStringList{"snapCh1CheckBox=1", "recordCh1CheckBox=1", "modeComboBox=Auto", "targetTypeComboBox=Man"}
        << Base().put<uint8_t>(9, 1).put<uint8_t>(25, 1).put<int32_t>(56, 3).put<int32_t>(72, 1).bytes();
    QTest::newRow("delay past int32 gives 0")
        << QStringList{"snapDelayEdit=2147483648", "recordDelayEdit=9999999999"}
        << Base().put<int32_t>(56, 1).bytes();
    QTest::newRow("largest int32 delay")
        << QStringList{"snapDelayEdit=2147483647"} << Base().put<int64_t>(16, 2147483647).put<int32_t>(56, 1).bytes();
    QTest::newRow("text that does not parse gives 0")
        << QStringList{"sensitivityEdit=high", "trackTimeEdit=1.5", "lostTimeEdit=0x10"}
        << Base().put<int32_t>(56, 1).bytes();
}

void TestIntelligentPage::setSendsForm()
{
    QFETCH(QStringList, steps);
    QFETCH(QByteArray, sent);

    Login();
    Fill(steps);
    // Whatever the device answers, the journal keeps what was sent.
    SimFixture::fail("TMV_NET_SetTargetRecognitionConfig", 1);
    m_fixture->click(m_page, "setTargetBtn");

    QCOMPARE(SimFixture::calls(), QStringList{"TMV_NET_SetTargetRecognitionConfig"});
    const QByteArray args = SimFixture::argsOf("TMV_NET_SetTargetRecognitionConfig").value(0);
    QCOMPARE(args.size(), 4 + 80);
    QCOMPARE(args.mid(4).toHex(' '), sent.toHex(' '));
}

void TestIntelligentPage::callsUseLiveChannel_data()
{
    QTest::addColumn<QString>("radio");
    QTest::addColumn<int>("channel");
    QTest::newRow("channel1") << "onlineChannel0RadioBtn" << 0;
    QTest::newRow("channel2") << "onlineChannel1RadioBtn" << 1;
}

void TestIntelligentPage::callsUseLiveChannel()
{
    QFETCH(QString, radio);
    QFETCH(int, channel);

    Login();
    QTest::mouseClick(m_fixture->child<QRadioButton>(radio.toLatin1().constData()), Qt::LeftButton);
    QCOMPARE(m_fixture->window()->Channel(), channel);
    m_boxes->clear();
    SimFixture::clearJournal();
    SimFixture::fail("TMV_NET_GetTargetRecognitionConfig", 1);
    SimFixture::fail("TMV_NET_SetTargetRecognitionConfig", 1);
    m_fixture->click(m_page, "getTargetBtn");
    m_fixture->click(m_page, "setTargetBtn");

    QCOMPARE(SimFixture::argsOf("TMV_NET_GetTargetRecognitionConfig"), QList<QByteArray>{SimFixture::bytesOf(channel)});
    QCOMPARE(SimFixture::argsOf("TMV_NET_SetTargetRecognitionConfig").value(0).left(4), SimFixture::bytesOf(channel));
}

// ---- Failures ----------------------------------------------------------------------------

void TestIntelligentPage::failuresKeepForm_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("function");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("get failed") << "getTargetBtn" << "TMV_NET_GetTargetRecognitionConfig" << 1
                                << "GetTargetRecognitionConfig Failed!";
    QTest::newRow("get not supported") << "getTargetBtn" << "TMV_NET_GetTargetRecognitionConfig" << 2
                                       << "GetTargetRecognitionConfig Not Supported!";
    QTest::newRow("set param wrong") << "setTargetBtn" << "TMV_NET_SetTargetRecognitionConfig" << 3
                                     << "SetTargetRecognitionConfig Param Wrong!";
}

void TestIntelligentPage::failuresKeepForm()
{
    QFETCH(QString, button);
    QFETCH(QString, function);
    QFETCH(int, status);
    QFETCH(QString, text);

    Login();
    Fill({"enableCheckBox=1", "targetTypeComboBox=Drone", "sensitivityEdit=3", "snapDelayEdit=4",
          "recordCh2CheckBox=1", "modeComboBox=Auto", "lostTimeEdit=9"});
    const QStringList before = FormState();
    SimFixture::fail(function.toLatin1().constData(), status);
    m_fixture->click(m_page, button);

    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().title, QStringLiteral("Error"));
    QCOMPARE(m_boxes->last().text, text);
    QCOMPARE(FormState(), before);
}

// ---- Against the simulated device --------------------------------------------------------

// What a set stores for one channel, a get shows again; the other channel
// keeps its own settings.
void TestIntelligentPage::roundTripPerChannel()
{
    Login();
    QTest::mouseClick(m_fixture->child<QRadioButton>("onlineChannel1RadioBtn"), Qt::LeftButton);
    m_boxes->clear();
    m_fixture->click(m_page, "getTargetBtn");
    const QStringList factory = FormState();

    const QStringList form{"enableCheckBox=1",    "targetTypeComboBox=Bird", "sensitivityEdit=55",
                           "snapCheckBox=1",      "snapCh1CheckBox=1",       "snapCh2CheckBox=0",
                           "snapDelayEdit=30",    "recordCheckBox=1",        "recordCh1CheckBox=0",
                           "recordCh2CheckBox=1", "recordDelayEdit=600",     "trackCheckBox=1",
                           "trackTimeEdit=120",   "lostTimeEdit=15",         "modeComboBox=FOV",
                           "lrfCheckBox=1"};
    Fill(form);
    const QStringList stored = FormState();
    QVERIFY(stored != factory);
    m_fixture->click(m_page, "setTargetBtn");

    // Another form on screen, then the device's answer over it.
    Fill({"enableCheckBox=0", "targetTypeComboBox=Car", "sensitivityEdit=1", "snapCh1CheckBox=0",
          "recordDelayEdit=2", "lrfCheckBox=0", "modeComboBox=Manual"});
    m_fixture->click(m_page, "getTargetBtn");
    QCOMPARE(FormState(), stored);
    QCOMPARE(m_fixture->combo(m_page, "modeComboBox")->currentText(), QStringLiteral("FOV"));
    QCOMPARE(m_fixture->combo(m_page, "targetTypeComboBox")->currentText(), QStringLiteral("Bird"));

    QTest::mouseClick(m_fixture->child<QRadioButton>("onlineChannel0RadioBtn"), Qt::LeftButton);
    m_boxes->clear();
    m_fixture->click(m_page, "getTargetBtn");
    QCOMPARE(FormState(), factory);
    QCOMPARE(m_boxes->count(), 0);
}

// The page checks nothing; the device's refusal of a value is reported.
void TestIntelligentPage::deviceRefusalReported()
{
    Login();
    Fill({"sensitivityEdit=101"});
    m_fixture->click(m_page, "setTargetBtn");

    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().text, QStringLiteral("SetTargetRecognitionConfig Param Wrong!"));
}

QTEST_MAIN(TestIntelligentPage)
#include "tst_intelligentpage.moc"
