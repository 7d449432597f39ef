// The temperature page's streams, frame files, alarm subscription and alarm
// list: the library's part is played by calling the page's static callbacks
// on a thread of their own, as the library would.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>
#include <thread>
#include <type_traits>

#include "thermal/AlarmPage.h"
#include "thermal/TempAlarmPage.h"
#include "TestSupport.h"

namespace {

// Common fields of every alarm record, set where the record has them.
template <class T>
auto SetName(T &record, int) -> decltype(record.name, void())
{
    std::strcpy(record.name, "gate");
}
template <class T>
void SetName(T &, long)
{
}
template <class T>
auto SetRegion(T &record, int) -> decltype(record.regionId, void())
{
    record.regionId = 7;
}
template <class T>
void SetRegion(T &, long)
{
}
template <class T>
auto SetState(T &record, int) -> decltype(record.state, void())
{
    record.state = 1;
}
template <class T>
void SetState(T &, long)
{
}

template <class T>
QByteArray Record()
{
    T record;
    std::memset(&record, 0, sizeof record);
    record.channel = 2;
    record.time = 86400;
    SetName(record, 0);
    SetRegion(record, 0);
    SetState(record, 0);
    if constexpr (std::is_same<T, TMV_NET_TEMP_ALARM_INFO>::value) {
        record.ruleType = 3;
        record.ruleId = 4;
        record.alarmRule = 3;
        record.temp.maxTemp = 41.5f;
        record.unit = 0;
        record.threshold = 40.0f;
    }
    if constexpr (std::is_same<T, TMV_NET_TEMP_DIFF_ALARM_INFO>::value)
        record.threshold = 0.5f;
    return QByteArray(reinterpret_cast<const char *>(&record), int(sizeof record));
}

// A record of the type the code selects, filled as above (an unknown code
// gets the largest record, so nothing is read past it).
QByteArray RecordFor(int code)
{
    switch (code) {
    case 10001:
    case 10003:
        return Record<TMV_NET_TEMP_ALARM_INFO>();
    case 10002:
    case 10005:
        return Record<TMV_NET_FIRE_ALARM_INFO>();
    case 10004:
        return Record<TMV_NET_TEMP_DIFF_ALARM_INFO>();
    case 10006:
        return Record<TMV_NET_HIGH_LIGHT_ALARM_INFO>();
    case 20001:
        return Record<TMV_NET_REGION_INTRUSION_ALARM_INFO>();
    case 20002:
        return Record<TMV_NET_LINE_INTRUSION_ALARM_INFO>();
    case 20003:
        return Record<TMV_NET_OBJECT_PULSE_ALARM_INFO>();
    case 20004:
        return Record<TMV_NET_DYNAMIC_ALARM_INFO>();
    case 30001:
        return Record<TMV_NET_SMOKE_DETECT_ALARM_INFO>();
    case 40001:
        return Record<TMV_NET_LOCAL_ALARM_INFO>();
    case 50001:
        return Record<TMV_NET_TRACK_STATE_ALARM_INFO>();
    case 50002:
        return Record<TMV_NET_TRACK_OBJECT_ALARM_INFO>();
    case 60001:
        return Record<TMV_NET_LOGIN_EXCEPTION_ALARM_INFO>();
    case 70001:
        return Record<TMV_NET_SD_EXCEPTION_ALARM_INFO>();
    default:
        return QByteArray(2048, '\0');
    }
}

// Offset of the picture pair in the record of a code; -1 for none.
int PicturesOffset(int code)
{
    switch (code) {
    case 10001:
    case 10003:
        return int(offsetof(TMV_NET_TEMP_ALARM_INFO, pictures));
    case 10002:
    case 10005:
        return int(offsetof(TMV_NET_FIRE_ALARM_INFO, pictures));
    case 20004:
        return int(offsetof(TMV_NET_DYNAMIC_ALARM_INFO, pictures));
    case 40001:
        return int(offsetof(TMV_NET_LOCAL_ALARM_INFO, pictures));
    case 10006:
        return int(offsetof(TMV_NET_HIGH_LIGHT_ALARM_INFO, pictures));
    default:
        return -1;
    }
}

void SetPicture(QByteArray &record, int code, int index, const QByteArray *bytes, int32_t size)
{
    TMV_NET_ALARM_PICTURE picture;
    std::memset(&picture, 0, sizeof picture);
    picture.data = bytes ? reinterpret_cast<uint8_t *>(const_cast<char *>(bytes->constData())) : nullptr;
    picture.size = size;
    std::memcpy(record.data() + PicturesOffset(code) + index * int(sizeof picture), &picture, sizeof picture);
}

// The library's part: the callback on a thread that is not the caller's.
void DeliverAlarm(TempAlarmPage *page, int code, const QByteArray &record)
{
    std::thread([&] { TempAlarmPage::AlarmCallback(nullptr, code, record.constData(), page); }).join();
}

void DeliverFrame(TempAlarmPage *page, const uint16_t *values, int width, int height)
{
    TMV_NET_TEMP_FRAME frame;
    frame.data = const_cast<uint16_t *>(values);
    frame.width = width;
    frame.height = height;
    std::thread([&] { TempAlarmPage::TempStreamCallback(nullptr, &frame, 1, page); }).join();
}

void DeliverRawFrame(TempAlarmPage *page, const uint16_t *values, int width, int height)
{
    std::thread([&] { TempAlarmPage::RawStreamCallback(nullptr, values, width, height, page); }).join();
}

const uint16_t kFrame[] = {0x0001, 0xFFFE, 0x012C, 0xFFFF};

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void DummyAlarm(TMV_NET_HANDLE, int32_t, const void *, void *)
{
}

} // namespace

class TestTempStreamsAlarms : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    // Alarm list and dispatch.
    void alarmListForm();
    void alarmListColumnsFitTheirTexts();
    void alarmDispatchedToItsRow_data();
    void alarmDispatchedToItsRow();
    void rowsKeepArrivalOrder();
    void unknownCodeChangesNothing();
    void clearPageEmptiesTheList();
    void getAlarmDataShowsTheList_data();
    void getAlarmDataShowsTheList();

    // Alarm pictures.
    void picturesSavedOncePerType_data();
    void picturesSavedOncePerType();
    void alarmsOfOneTypeTogetherSaveOnce();

    // Subscription.
    void failedSubscriptionReported_data();
    void failedSubscriptionReported();
    void bothTabsSubscribe();
    void pageUnsubscribesWhenDestroyed();

    // Streams and frame files.
    void failedStreamStartReported_data();
    void failedStreamStartReported();
    void streamsOpenAndClose();
    void savedFrameWritten_data();
    void savedFrameWritten();
    void lastOfTwoRequestsWins();
    void bothTabsShareOneRequest();
    void cancelledDialogAsksNothing();
    void unwritableFrameFileShowsError();
    void pageStopsStreamsWhenDestroyed();

private:
    // Clicks a "Save One Frame" button and answers its dialog with `name`
    // in the test's folder. The button is enabled first: on a device
    // without streams it could not be reached otherwise.
    void RequestSave(const char *button, const QString &name);
    // What the device answers to a subscription or a stream start; tests of
    // the success path skip while it answers 2 (not supported yet).
    static int DeviceStatus(const char *what);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_oldDir;
    std::unique_ptr<ModalCatcher> m_boxes;
    TMV_NET_HANDLE m_handle = nullptr;
    TempAlarmPage *m_page = nullptr;
};

void TestTempStreamsAlarms::initTestCase()
{
    WarningGuard::install();
}

void TestTempStreamsAlarms::cleanupTestCase()
{
    TMV_NET_Deinit();
}

void TestTempStreamsAlarms::init()
{
    // Alarm pictures go to the working folder: a fresh one per test.
    m_dir.reset(new QTemporaryDir);
    m_oldDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    SimFixture::reset();
    m_boxes.reset(new ModalCatcher);
    m_handle = SimFixture::login();
    QVERIFY(m_handle);
    m_page = new TempAlarmPage(nullptr);
    m_page->OnChangeHandle(m_handle);
    SimFixture::clearJournal();
}

void TestTempStreamsAlarms::cleanup()
{
    delete m_page;
    m_page = nullptr;
    TMV_NET_Logout(m_handle);
    m_handle = nullptr;
    m_boxes.reset();
    SimFixture::clearFaults();
    QDir::setCurrent(m_oldDir);
    m_dir.reset();
}

int TestTempStreamsAlarms::DeviceStatus(const char *what)
{
    TMV_NET_HANDLE handle = SimFixture::login();
    int status = 1;
    if (std::strcmp(what, "alarm") == 0) {
        status = TMV_NET_SubscribeAlarm(handle, &DummyAlarm, nullptr);
        TMV_NET_UnsubscribeAlarm(handle);
    } else if (std::strcmp(what, "temp") == 0) {
        status = TMV_NET_StartPullTemp_V2(handle, &TempAlarmPage::TempStreamCallback, nullptr);
        TMV_NET_StopPullTemp(handle);
    } else {
        status = TMV_NET_StartPullNucData(handle, &TempAlarmPage::RawStreamCallback, nullptr);
        TMV_NET_StopPullNucData(handle);
    }
    TMV_NET_Logout(handle);
    SimFixture::clearJournal();
    return status;
}

void TestTempStreamsAlarms::RequestSave(const char *button, const QString &name)
{
    PageFixture::button(m_page, button)->setEnabled(true);
    FileDialogAnswerer answer(m_dir->filePath(name));
    PageFixture::button(m_page, button)->click();
    QVERIFY(answer.answered());
}

// ---- Alarm list and dispatch ------------------------------------------------

void TestTempStreamsAlarms::alarmListForm()
{
    AlarmPage *list = m_page->GetAlarmPage();
    QVERIFY(!list->isVisible());
    QVERIFY(!list->parent());
    QCOMPARE(list->windowTitle(), QStringLiteral("AlarmPage"));
    QTableView *view = list->findChild<QTableView *>(QStringLiteral("tableView"));
    QVERIFY(view);
    QCOMPARE(view->model()->columnCount(), 8);
    QStringList headers;
    for (int column = 0; column < 8; ++column)
        headers << view->model()->headerData(column, Qt::Horizontal).toString();
    QCOMPARE(headers, (QStringList{"Channel", "Alarm Type", "Alarm Threshold", "Region ID", "Region Name",
                                   "Alarm Temp", "Alram State", "Datetime"}));
    QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(view->horizontalHeader()->stretchLastSection());
    QCOMPARE(view->verticalScrollMode(), QAbstractItemView::ScrollPerPixel);
    QCOMPARE(view->horizontalScrollMode(), QAbstractItemView::ScrollPerPixel);
}

// The list opens at its first size, each column as wide as its header and
// its texts (the last stretches to the edge); the window can be resized.
void TestTempStreamsAlarms::alarmListColumnsFitTheirTexts()
{
    AlarmPage *list = m_page->GetAlarmPage();
    TMV_NET_TEMP_ALARM_INFO info;
    std::memset(&info, 0, sizeof info);
    std::strcpy(info.name, "gate");
    info.alarmRule = 3;
    info.threshold = 123.5f;
    info.ruleType = 2;
    info.ruleId = 7;
    info.temp.maxTemp = 41.5f;
    info.state = 1;
    info.time = 1796907600;
    list->AddAlarmRow(TMV_NET_ALARM_TEMP, info);
    list->show();
    QVERIFY(QTest::qWaitForWindowExposed(list));
    QCOMPARE(list->size(), QSize(414, 467));

    QTableView *table = list->findChild<QTableView *>(QStringLiteral("tableView"));
    const QAbstractItemView *view = table;  // its size hints are public there
    QHeaderView *header = table->horizontalHeader();
    for (int column = 0; column < header->count() - 1; ++column) {
        QVERIFY2(header->sectionSize(column) >= header->sectionSizeHint(column), qPrintable(QString::number(column)));
        QVERIFY2(header->sectionSize(column) >= view->sizeHintForColumn(column), qPrintable(QString::number(column)));
    }
    list->resize(900, 500);
    QCOMPARE(list->size(), QSize(900, 500));
    list->hide();
}

void TestTempStreamsAlarms::alarmDispatchedToItsRow_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("cells");
    // Every record: channel 2, one day after 1970, start; where present,
    // name "gate" and region 7. Temperature: circle 4, "High Greater Than",
    // max 41.5 C, threshold 40. Difference: threshold 0.5.
    const QString day = QStringLiteral("1970-01-02 00:00:00");
    const QString start = QStringLiteral("Start Alarm");
    auto region = [&](const char *type) { return QStringList{"2", type, "", "7", "gate", "", start, day}; };
    auto id = [&](const char *type) { return QStringList{"2", type, "", "7", "", "", start, day}; };
    auto plain = [&](const char *type) { return QStringList{"2", type, "", "", "", "", start, day}; };
    const QStringList temp{"2", "High Greater Than", "40", "4", "R4", "41.50C", start, day};

    QTest::newRow("10001 temp") << 10001 << temp;
    QTest::newRow("10002 fire") << 10002 << region("Fire");
    QTest::newRow("10003 temp rise") << 10003 << temp;
    QTest::newRow("10004 temp diff") << 10004 << QStringList{"2", "Temp Diff", "0.5", "", "gate", "", start, day};
    QTest::newRow("10005 fire pulse") << 10005 << region("Fire Pulse");
    QTest::newRow("10006 high light") << 10006 << QStringList{"2", "High Light", "", "", "", "", "", day};
    QTest::newRow("20001 region intrusion") << 20001 << region("Region Intrusion");
    QTest::newRow("20002 line intrusion") << 20002 << region("Line Intrusion");
    QTest::newRow("20003 object pulse") << 20003 << plain("Object Pulse");
    QTest::newRow("20004 dynamic") << 20004 << id("Dynamic");
    QTest::newRow("30001 smoke") << 30001 << region("Smoke Detect");
    QTest::newRow("40001 local") << 40001 << id("Local Alarm");
    QTest::newRow("50001 track state") << 50001 << plain("Track State");
    QTest::newRow("50002 track object") << 50002 << plain("Track Object");
    QTest::newRow("60001 login exception") << 60001 << plain("Login Exception");
    QTest::newRow("70001 sd exception") << 70001 << plain("SD Exception");
}

void TestTempStreamsAlarms::alarmDispatchedToItsRow()
{
    QFETCH(int, code);
    QFETCH(QStringList, cells);
    AlarmPage *list = m_page->GetAlarmPage();
    DeliverAlarm(m_page, code, RecordFor(code));
    QTRY_COMPARE(list->RowCount(), 1);
    QCOMPARE(list->RowTexts(0), cells);
    // No pictures in the record, so no file.
    QCOMPARE(QDir::current().entryList(QDir::Files), QStringList());
}

void TestTempStreamsAlarms::rowsKeepArrivalOrder()
{
    AlarmPage *list = m_page->GetAlarmPage();
    const int codes[] = {10002, 70001, 10001, 20004, 10006};
    std::thread library([&] {
        for (int code : codes) {
            const QByteArray record = RecordFor(code);
            TempAlarmPage::AlarmCallback(nullptr, code, record.constData(), m_page);
        }
    });
    library.join();
    QTRY_COMPARE(list->RowCount(), 5);
    const QStringList types{"Fire", "SD Exception", "High Greater Than", "Dynamic", "High Light"};
    for (int row = 0; row < 5; ++row)
        QCOMPARE(list->RowTexts(row).value(1), types.value(row));
}

void TestTempStreamsAlarms::unknownCodeChangesNothing()
{
    AlarmPage *list = m_page->GetAlarmPage();
    DeliverAlarm(m_page, 12345, RecordFor(12345));
    DeliverAlarm(m_page, 10001, RecordFor(10001));
    // Delivered in order: once the known alarm's row is there, the unknown
    // one has had its chance.
    QTRY_COMPARE(list->RowCount(), 1);
    QCOMPARE(list->RowTexts(0).value(1), QStringLiteral("High Greater Than"));
    QCOMPARE(QDir::current().entryList(QDir::Files), QStringList());

    // Null record or page: dropped as well.
    std::thread([&] { TempAlarmPage::AlarmCallback(nullptr, 10001, nullptr, m_page); }).join();
    const QByteArray record = RecordFor(10001);
    std::thread([&] { TempAlarmPage::AlarmCallback(nullptr, 10001, record.constData(), nullptr); }).join();
    QTest::qWait(20);
    QCOMPARE(list->RowCount(), 1);
}

void TestTempStreamsAlarms::clearPageEmptiesTheList()
{
    DeliverAlarm(m_page, 10002, RecordFor(10002));
    DeliverAlarm(m_page, 10002, RecordFor(10002));
    QTRY_COMPARE(m_page->GetAlarmPage()->RowCount(), 2);
    m_page->ClearPage();
    QCOMPARE(m_page->GetAlarmPage()->RowCount(), 0);
    QCOMPARE(m_page->GetAlarmPage()->RowTexts(-1).size(), 8);  // columns stay
}

void TestTempStreamsAlarms::getAlarmDataShowsTheList_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Standard") << "getAlarmDataBtn";
    QTest::newRow("G1") << "getAtrAlarmDataBtn";
}

void TestTempStreamsAlarms::getAlarmDataShowsTheList()
{
    QFETCH(QString, button);
    DeliverAlarm(m_page, 10002, RecordFor(10002));
    QTRY_COMPARE(m_page->GetAlarmPage()->RowCount(), 1);
    PageFixture::button(m_page, button)->click();
    QVERIFY(m_page->GetAlarmPage()->isVisible());
    // Closing only hides; the rows stay.
    m_page->GetAlarmPage()->close();
    QVERIFY(!m_page->GetAlarmPage()->isVisible());
    QCOMPARE(m_page->GetAlarmPage()->RowCount(), 1);
    QCOMPARE(SimFixture::calls(), QStringList());
}

// ---- Alarm pictures ---------------------------------------------------------

void TestTempStreamsAlarms::picturesSavedOncePerType_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("firstSize");   // 0: absent; -1: beyond the bound
    QTest::addColumn<int>("secondSize");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("temp, both") << 10001 << "testPictureTemp_" << 3 << 4
                                << QStringList{"testPictureTemp_0.jpg", "testPictureTemp_1.jpg"};
    QTest::newRow("temp rise shares the temp prefix") << 10003 << "testPictureTemp_" << 3 << 4
                                                      << QStringList{"testPictureTemp_0.jpg", "testPictureTemp_1.jpg"};
    QTest::newRow("first absent, second present") << 10001 << "testPictureTemp_" << 0 << 4
                                                  << QStringList{"testPictureTemp_1.jpg"};
    QTest::newRow("fire pulse") << 10005 << "testPictureFire_" << 3 << 0 << QStringList{"testPictureFire_0.jpg"};
    QTest::newRow("dynamic") << 20004 << "testPictureDynamic_" << 3 << 4
                             << QStringList{"testPictureDynamic_0.jpg", "testPictureDynamic_1.jpg"};
    QTest::newRow("local") << 40001 << "testPictureLocal_" << 3 << 4
                           << QStringList{"testPictureLocal_0.jpg", "testPictureLocal_1.jpg"};
    QTest::newRow("high light") << 10006 << "testPictureHighLight_" << 3 << 4
                                << QStringList{"testPictureHighLight_0.jpg", "testPictureHighLight_1.jpg"};
    QTest::newRow("none: the next alarm saves") << 10001 << "testPictureTemp_" << 0 << 0 << QStringList();
    QTest::newRow("size beyond the bound: absent") << 10002 << "testPictureFire_" << -1 << 4
                                                   << QStringList{"testPictureFire_1.jpg"};
}

void TestTempStreamsAlarms::picturesSavedOncePerType()
{
    QFETCH(int, code);
    QFETCH(QString, prefix);
    QFETCH(int, firstSize);
    QFETCH(int, secondSize);
    QFETCH(QStringList, files);

    const QByteArray first("first"), second("second"), later0("later-0"), later1("later-1");
    QByteArray record = RecordFor(code);
    const int32_t beyond = TempAlarmPage::kMaxAlarmPictureBytes + 1;
    SetPicture(record, code, 0, firstSize ? &first : nullptr, firstSize < 0 ? beyond : firstSize);
    SetPicture(record, code, 1, secondSize ? &second : nullptr, secondSize);
    DeliverAlarm(m_page, code, record);
    QCOMPARE(QDir::current().entryList(QDir::Files), files);
    for (const QString &file : files)
        QCOMPARE(ReadAll(file), file.endsWith(QLatin1String("0.jpg")) ? first.left(firstSize)
                                                                       : second.left(secondSize));

    // The next alarm of the type brings both pictures: saved only when the
    // first one saved none.
    QByteArray next = RecordFor(code);
    SetPicture(next, code, 0, &later0, later0.size());
    SetPicture(next, code, 1, &later1, later1.size());
    DeliverAlarm(m_page, code, next);
    if (files.isEmpty()) {
        QCOMPARE(ReadAll(prefix + QLatin1String("0.jpg")), later0);
        QCOMPARE(ReadAll(prefix + QLatin1String("1.jpg")), later1);
    } else {
        QCOMPARE(QDir::current().entryList(QDir::Files), files);
    }
    QTRY_COMPARE(m_page->GetAlarmPage()->RowCount(), 2);
}

void TestTempStreamsAlarms::alarmsOfOneTypeTogetherSaveOnce()
{
    // Several sessions call back on threads of their own; every picture
    // file must come whole from one alarm.
    const QByteArray a(4096, 'a'), b(4096, 'b');
    QByteArray recordA = RecordFor(10002), recordB = RecordFor(10002);
    SetPicture(recordA, 10002, 0, &a, a.size());
    SetPicture(recordA, 10002, 1, &a, a.size());
    SetPicture(recordB, 10002, 0, &b, b.size());
    SetPicture(recordB, 10002, 1, &b, b.size());
    for (int round = 0; round < 20; ++round) {
        std::thread one([&] { TempAlarmPage::AlarmCallback(nullptr, 10002, recordA.constData(), m_page); });
        std::thread two([&] { TempAlarmPage::AlarmCallback(nullptr, 10002, recordB.constData(), m_page); });
        one.join();
        two.join();
    }
    const QByteArray zero = ReadAll(QStringLiteral("testPictureFire_0.jpg"));
    QVERIFY(zero == a || zero == b);
    QCOMPARE(ReadAll(QStringLiteral("testPictureFire_1.jpg")), zero);
    QTRY_COMPARE(m_page->GetAlarmPage()->RowCount(), 40);
}

// ---- Subscription -----------------------------------------------------------

void TestTempStreamsAlarms::failedSubscriptionReported_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("function");
    QTest::newRow("Standard") << "openAlarmCallbackBtn" << "TMV_NET_SubscribeAlarm_V2";
    QTest::newRow("G1") << "openAtrAlarmCallbackBtn" << "TMV_NET_SubscribeAlarm";
}

void TestTempStreamsAlarms::failedSubscriptionReported()
{
    QFETCH(QString, button);
    QFETCH(QString, function);
    SimFixture::fail(function.toLatin1().constData(), 1);
    PageFixture::button(m_page, button)->click();
    QVERIFY(m_boxes->waitForCount(1));
    QCOMPARE(m_boxes->last().title, QStringLiteral("Error"));
    QCOMPARE(m_boxes->last().text, QStringLiteral("Subscribe alarm Failed!"));
    QCOMPARE(PageFixture::button(m_page, button)->text(), QStringLiteral("Open"));
    QCOMPARE(SimFixture::countOf(function.toLatin1().constData()), 1);
}

void TestTempStreamsAlarms::bothTabsSubscribe()
{
    if (DeviceStatus("alarm") == 2)
        QSKIP("the device does not deliver alarms yet");
    PageFixture::button(m_page, "openAlarmCallbackBtn")->click();
    PageFixture::button(m_page, "openAtrAlarmCallbackBtn")->click();
    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(PageFixture::button(m_page, "openAlarmCallbackBtn")->text(), QStringLiteral("Close"));
    QCOMPARE(PageFixture::button(m_page, "openAtrAlarmCallbackBtn")->text(), QStringLiteral("Close"));
    QCOMPARE(SimFixture::callsAmong({"TMV_NET_SubscribeAlarm_V2", "TMV_NET_SubscribeAlarm"}),
             (QStringList{"TMV_NET_SubscribeAlarm_V2", "TMV_NET_SubscribeAlarm"}));
    // The snapshot flag follows its check box (checked at start).
    QCOMPARE(SimFixture::argsOf("TMV_NET_SubscribeAlarm_V2").value(0).left(1), QByteArray(1, '\1'));

    // Either button unsubscribes; the other keeps its text.
    PageFixture::button(m_page, "openAtrAlarmCallbackBtn")->click();
    QCOMPARE(PageFixture::button(m_page, "openAtrAlarmCallbackBtn")->text(), QStringLiteral("Open"));
    QCOMPARE(PageFixture::button(m_page, "openAlarmCallbackBtn")->text(), QStringLiteral("Close"));
    QCOMPARE(SimFixture::countOf("TMV_NET_UnsubscribeAlarm"), 1);
}

void TestTempStreamsAlarms::pageUnsubscribesWhenDestroyed()
{
    if (DeviceStatus("alarm") == 2)
        QSKIP("the device does not deliver alarms yet");
    PageFixture::button(m_page, "openAlarmCallbackBtn")->click();
    QCOMPARE(PageFixture::button(m_page, "openAlarmCallbackBtn")->text(), QStringLiteral("Close"));
    // ClearPage resets the text but not the subscription.
    m_page->ClearPage();
    delete m_page;
    m_page = nullptr;
    QCOMPARE(SimFixture::countOf("TMV_NET_UnsubscribeAlarm"), 1);
    // A device alarm after that reaches nothing.
    QCOMPARE(TMVSim_InjectAlarm(SimFixture::kPtzCamera, 10002), 0);
    QTest::qWait(100);
}

// ---- Streams and frame files ------------------------------------------------

void TestTempStreamsAlarms::failedStreamStartReported_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("saveButton");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("text");
    QTest::newRow("Standard temp") << "openTempStreamBtn" << "saveOneFrameBtn" << "TMV_NET_StartPullTemp_V2"
                                   << "Open temp stream Failed!";
    QTest::newRow("G1 temp") << "openAtrTempStreamBtn" << "saveAtrOneFrameBtn" << "TMV_NET_StartPullTemp_V2"
                             << "Open temp stream Failed!";
    QTest::newRow("raw") << "openRawStreamBtn" << "saveRawOneFrameBtn" << "TMV_NET_StartPullNucData"
                         << "Open raw stream Failed!";
}

void TestTempStreamsAlarms::failedStreamStartReported()
{
    QFETCH(QString, button);
    QFETCH(QString, saveButton);
    QFETCH(QString, function);
    QFETCH(QString, text);
    SimFixture::fail(function.toLatin1().constData(), 1);
    PageFixture::button(m_page, button)->click();
    QVERIFY(m_boxes->waitForCount(1));
    QCOMPARE(m_boxes->last().text, text);
    QCOMPARE(PageFixture::button(m_page, button)->text(), QStringLiteral("Open"));
    QVERIFY(!PageFixture::button(m_page, saveButton)->isEnabled());
    // The correction setting goes only with the Standard temperature stream.
    QCOMPARE(SimFixture::countOf("TMV_NET_SetPullTempExecParam"), button == QLatin1String("openTempStreamBtn") ? 1 : 0);
}

void TestTempStreamsAlarms::streamsOpenAndClose()
{
    if (DeviceStatus("temp") == 2 || DeviceStatus("raw") == 2)
        QSKIP("the device has no temperature or raw stream yet");
    PageFixture::check(m_page, "correctionEnableBox")->setChecked(false);
    PageFixture::button(m_page, "openTempStreamBtn")->click();
    PageFixture::button(m_page, "openAtrTempStreamBtn")->click();
    PageFixture::button(m_page, "openRawStreamBtn")->click();
    QCOMPARE(m_boxes->count(), 0);
    for (const char *name : {"openTempStreamBtn", "openAtrTempStreamBtn", "openRawStreamBtn"})
        QCOMPARE(PageFixture::button(m_page, name)->text(), QStringLiteral("Close"));
    for (const char *name : {"saveOneFrameBtn", "saveAtrOneFrameBtn", "saveRawOneFrameBtn"})
        QVERIFY2(PageFixture::button(m_page, name)->isEnabled(), name);
    QCOMPARE(SimFixture::argsOf("TMV_NET_SetPullTempExecParam"), QList<QByteArray>{QByteArray(4, '\0')});
    QCOMPARE(SimFixture::countOf("TMV_NET_StartPullTemp_V2"), 2);

    for (const char *name : {"openTempStreamBtn", "openAtrTempStreamBtn", "openRawStreamBtn"})
        PageFixture::button(m_page, name)->click();
    for (const char *name : {"saveOneFrameBtn", "saveAtrOneFrameBtn", "saveRawOneFrameBtn"})
        QVERIFY2(!PageFixture::button(m_page, name)->isEnabled(), name);
    QCOMPARE(SimFixture::countOf("TMV_NET_StopPullTemp"), 2);
    QCOMPARE(SimFixture::countOf("TMV_NET_StopPullNucData"), 1);
}

void TestTempStreamsAlarms::savedFrameWritten_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("raw");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray text("1, -2, 300, -1, ");
    const QByteArray binary = QByteArray::fromHex("0100FEFF2C01FFFF");
    QTest::newRow("temp, .dat") << "saveOneFrameBtn" << false << "frame.dat" << binary;
    QTest::newRow("temp, .txt") << "saveOneFrameBtn" << false << "frame.txt" << text;
    QTest::newRow("temp, .DAT is text") << "saveOneFrameBtn" << false << "frame.DAT" << text;
    QTest::newRow("raw, .dat") << "saveRawOneFrameBtn" << true << "raw.dat" << binary;
    QTest::newRow("raw, .txt") << "saveRawOneFrameBtn" << true << "raw.txt" << text;
}

void TestTempStreamsAlarms::savedFrameWritten()
{
    QFETCH(QString, button);
    QFETCH(bool, raw);
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    // Frames before a request are not kept.
    raw ? DeliverRawFrame(m_page, kFrame, 2, 2) : DeliverFrame(m_page, kFrame, 2, 2);
    QCOMPARE(QDir::current().entryList(QDir::Files), QStringList());

    RequestSave(button.toLatin1().constData(), name);
    // The other stream's frame does not serve this request.
    raw ? DeliverFrame(m_page, kFrame, 2, 2) : DeliverRawFrame(m_page, kFrame, 2, 2);
    QVERIFY(!QFile::exists(name));
    raw ? DeliverRawFrame(m_page, kFrame, 2, 2) : DeliverFrame(m_page, kFrame, 2, 2);
    QCOMPARE(ReadAll(name), bytes);

    // One frame only: the next one leaves the file as it is.
    const uint16_t other[] = {7, 7, 7, 7};
    raw ? DeliverRawFrame(m_page, other, 2, 2) : DeliverFrame(m_page, other, 2, 2);
    QCOMPARE(ReadAll(name), bytes);
}

void TestTempStreamsAlarms::lastOfTwoRequestsWins()
{
    RequestSave("saveOneFrameBtn", QStringLiteral("first.txt"));
    RequestSave("saveOneFrameBtn", QStringLiteral("second.dat"));
    DeliverFrame(m_page, kFrame, 2, 2);
    QCOMPARE(QDir::current().entryList(QDir::Files), QStringList{"second.dat"});
    QCOMPARE(ReadAll(QStringLiteral("second.dat")).size(), 8);
}

void TestTempStreamsAlarms::bothTabsShareOneRequest()
{
    RequestSave("saveOneFrameBtn", QStringLiteral("standard.txt"));
    RequestSave("saveAtrOneFrameBtn", QStringLiteral("g1.txt"));
    DeliverFrame(m_page, kFrame, 2, 2);
    DeliverFrame(m_page, kFrame, 2, 2);
    QCOMPARE(QDir::current().entryList(QDir::Files), QStringList{"g1.txt"});
}

void TestTempStreamsAlarms::cancelledDialogAsksNothing()
{
    PageFixture::button(m_page, "saveOneFrameBtn")->setEnabled(true);
    FileDialogAnswerer cancel{QString()};
    PageFixture::button(m_page, "saveOneFrameBtn")->click();
    QVERIFY(cancel.answered());
    QCOMPARE(cancel.caption(), QStringLiteral("Save File"));
    DeliverFrame(m_page, kFrame, 2, 2);
    QCOMPARE(QDir::current().entryList(QDir::Files), QStringList());
}

void TestTempStreamsAlarms::unwritableFrameFileShowsError()
{
    // Chosen, then its folder went away before the frame came.
    QVERIFY(QDir::current().mkdir(QStringLiteral("gone")));
    RequestSave("saveRawOneFrameBtn", QStringLiteral("gone/raw.txt"));
    QVERIFY(QDir::current().rmdir(QStringLiteral("gone")));
    DeliverRawFrame(m_page, kFrame, 2, 2);
    QVERIFY(m_boxes->waitForCount(1));
    QCOMPARE(m_boxes->last().title, QStringLiteral("Error"));
    QVERIFY2(m_boxes->last().text.contains(QDir::toNativeSeparators(m_dir->filePath(QStringLiteral("gone/raw.txt")))),
             qPrintable(m_boxes->last().text));
    QCOMPARE(m_boxes->last().icon, QMessageBox::Critical);

    // The request was consumed: the folder back, the next frame writes
    // nothing and shows nothing.
    QVERIFY(QDir::current().mkdir(QStringLiteral("gone")));
    DeliverRawFrame(m_page, kFrame, 2, 2);
    QTest::qWait(20);
    QVERIFY(!QFile::exists(QStringLiteral("gone/raw.txt")));
    QCOMPARE(m_boxes->count(), 1);
}

void TestTempStreamsAlarms::pageStopsStreamsWhenDestroyed()
{
    if (DeviceStatus("temp") == 2 || DeviceStatus("raw") == 2)
        QSKIP("the device has no temperature or raw stream yet");
    PageFixture::button(m_page, "openAtrTempStreamBtn")->click();
    PageFixture::button(m_page, "openRawStreamBtn")->click();
    QCOMPARE(m_boxes->count(), 0);
    delete m_page;
    m_page = nullptr;
    QCOMPARE(SimFixture::countOf("TMV_NET_StopPullTemp"), 1);
    QCOMPARE(SimFixture::countOf("TMV_NET_StopPullNucData"), 1);
}

QTEST_MAIN(TestTempStreamsAlarms)
#include "tst_tempstreamsalarms.moc"
