// Drives the real main window into a state worth a picture (search, login,
// live preview) and then holds still, so scripts/screenshot.sh can take the
// screen with ImageMagick. Prints "READY" when the picture is live.

#include "app/MainWindow.h"
#include "TMVNetSDK.h"
#include "TMVSimControl.h"
#include "thermal/AlarmPage.h"
#include "config/ConfigPage.h"
#include "ptz/ControlPage.h"
#include "config/Intelligent.h"
#include "config/PeripheralPage.h"
#include "ptz/PTZPage.h"
#include "thermal/TempAlarmPage.h"
#include "thermal/recfile/RecRecorder.h"
#include "thermal/recording/ReplayPlotWindow.h"
#include "thermal/recording/ThermalRecWindow.h"
#include "thermal/recording/ThermalReplayWindow.h"
#include "thermal/trend/TrendSampler.h"
#include "thermal/trend/TrendWindow.h"
#include "liveview/VideoLabel.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <cstdio>

namespace {

template <typename T>
T *child(QWidget *root, const char *name)
{
    T *w = root->findChild<T *>(QString::fromLatin1(name));
    if (!w) {
        std::fprintf(stderr, "no widget named %s\n", name);
        std::exit(2);
    }
    return w;
}

QTableWidget *playbackTable(MainWindow &window);

bool waitFor(const std::function<bool()> &condition, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return false;
        QTest::qWait(20);
    }
    return true;
}

// A left-button drag on the label, as a hand would draw it.
void drag(QWidget *label, QPoint from, QPoint to)
{
    QTest::mousePress(label, Qt::LeftButton, Qt::NoModifier, from);
    for (int i = 1; i <= 8; ++i) {
        const QPoint at = from + (to - from) * i / 8;
        QMouseEvent move(QEvent::MouseMove, at, label->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(label, &move);
        QTest::qWait(15);
    }
    QTest::mouseRelease(label, Qt::LeftButton, Qt::NoModifier, to);
}

// Temperature page with two rectangle rules: one around the hottest spot of
// the picture, one over the sky; the list fetched and the first rule read.
void drawRules(MainWindow &window)
{
    auto *tabs = child<QTabWidget>(&window, "tabWidget");
    tabs->setCurrentWidget(window.findChild<TempAlarmPage *>());
    QTest::qWait(300);
    TMV_NET_TEMP_INFO frame{};
    TMV_NET_QueryFrameTemp(window.Handle(), &frame);
    VideoLabel *label = window.GetVideoLabel();
    const QPoint hot(frame.maxX * label->width() / 8191, frame.maxY * label->height() / 8191);
    QTest::mouseClick(child<QPushButton>(&window, "drawAreaBtn"), Qt::LeftButton);
    drag(label, hot - QPoint(30, 24), hot + QPoint(30, 24));
    drag(label, QPoint(label->width() / 10, label->height() / 20),
         QPoint(label->width() * 3 / 10, label->height() / 6));
    QTest::mouseClick(child<QPushButton>(&window, "drawAreaBtn"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(&window, "getFrameTempDataBtn"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(&window, "getAllRulesBtn"), Qt::LeftButton);
    child<QComboBox>(&window, "ruleCombo")->setCurrentIndex(0);
    QTest::mouseClick(child<QPushButton>(&window, "getOneRuleInfoBtn"), Qt::LeftButton);
    // Bring the rule's readings into view.
    auto *readings = child<QWidget>(&window, "ruleCenterTempEdit");
    for (QWidget *w = readings->parentWidget(); w; w = w->parentWidget())
        if (auto *scroll = qobject_cast<QScrollArea *>(w)) {
            scroll->ensureWidgetVisible(readings, 0, 120);
            break;
        }
    QTest::qWait(500);
}

// The alarm list after a frame alarm started and ended: subscribe, set a
// threshold under the transformer, wait for start rows, raise it above, wait
// for the end row. Returns the list window, brought to the front.
QWidget *raiseAlarms(MainWindow &window)
{
    auto *tabs = child<QTabWidget>(&window, "tabWidget");
    tabs->setCurrentWidget(window.findChild<TempAlarmPage *>());
    QTest::qWait(300);
    TMV_NET_TEMP_INFO frame{};
    TMV_NET_QueryFrameTemp(window.Handle(), &frame);
    QTest::mouseClick(child<QPushButton>(&window, "openAlarmCallbackBtn"), Qt::LeftButton);
    child<QCheckBox>(&window, "greaterCheckBox")->setChecked(true);
    auto *threshold = child<QLineEdit>(&window, "greaterThresholdTempEdit");
    threshold->setText(QString::number(int(frame.maxTemp) - 10));
    QTest::mouseClick(child<QPushButton>(&window, "alarmSetBtn"), Qt::LeftButton);
    QTest::qWait(3000);
    threshold->setText(QString::number(int(frame.maxTemp) + 40));
    QTest::mouseClick(child<QPushButton>(&window, "alarmSetBtn"), Qt::LeftButton);
    QTest::qWait(3000);
    QTest::mouseClick(child<QPushButton>(&window, "getAlarmDataBtn"), Qt::LeftButton);
    QTest::qWait(300);
    QWidget *list = window.findChild<TempAlarmPage *>()->GetAlarmPage();
    list->setGeometry(30, 40, 1300, 360);
    list->raise();
    list->activateWindow();
    return list;
}

// Answers the next folder dialog with `path`.
void answerFolderDialog(const QString &path)
{
    QTimer::singleShot(300, [path] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<QFileDialog *>(w); dialog && dialog->isVisible()) {
                dialog->selectFile(path);
                static_cast<QDialog *>(dialog)->accept();
                return;
            }
    });
}

// The playback tab with yesterday's recordings of channel 1 listed.
void searchCard(MainWindow &window)
{
    child<QTabWidget>(&window, "tabWidget_2")->setCurrentIndex(1);
    QTest::qWait(300);
    QTest::mouseClick(child<QPushButton>(&window, "sdCardSearchBtn"), Qt::LeftButton);
    QTest::qWait(500);
}

// Three recordings selected and downloading; the progress window in front.
QWidget *downloadThree(MainWindow &window, const QString &folder)
{
    auto *table = playbackTable(window);
    for (int row = 0; row < 3 && row < table->rowCount(); ++row)
        table->item(row, 1)->setSelected(true);
    // The card's recordings are short: slow the link so the bars stand mid-way.
    TMVSim_SetLinkSpeed("127.0.0.11", 48 * 1024);
    answerFolderDialog(folder);
    QTest::mouseClick(child<QPushButton>(&window, "downloadBtn"), Qt::LeftButton);
    QTest::qWait(500);
    QTest::mouseClick(child<QPushButton>(&window, "downProgressBtn"), Qt::LeftButton);
    QTest::qWait(1600);
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("DownloadPage") && w->isVisible()) {
            w->move(60, 60);
            w->raise();
            return w;
        }
    return nullptr;
}


// The playback table; the PTZ page's tour table carries the same name.
QTableWidget *playbackTable(MainWindow &window)
{
    QWidget *ptz = window.findChild<PTZPage *>();
    for (QTableWidget *table : window.findChildren<QTableWidget *>(QStringLiteral("tableWidget")))
        if (!ptz || !ptz->isAncestorOf(table))
            return table;
    std::fprintf(stderr, "no playback table\n");
    std::exit(2);
}

// Holds a PTZ button for `ms` of real time, as a hand would.
void hold(QWidget *page, const char *button, int ms)
{
    auto *b = child<QPushButton>(page, button);
    QTest::mousePress(b, Qt::LeftButton);
    QTest::qWait(ms);
    QTest::mouseRelease(b, Qt::LeftButton);
}

// The PTZ page with two named presets stored at two views, a tour between
// them running, and the status and coordinates read while it runs.
void runTour(MainWindow &window)
{
    auto *page = window.findChild<PTZPage *>();
    child<QTabWidget>(&window, "tabWidget")->setCurrentWidget(page);
    auto *tabs = child<QTabWidget>(page, "tabWidget");
    tabs->setCurrentIndex(0);
    QTest::mouseClick(child<QPushButton>(page, "presetGetAllBtn"), Qt::LeftButton);
    const char *names[] = {"Gate", "Transformer"};
    for (int i = 0; i < 2; ++i) {
        child<QComboBox>(page, "presetCombo")->setCurrentIndex(i);
        child<QLineEdit>(page, "presetNameEdit")->setText(QString::fromLatin1(names[i]));
        QTest::mouseClick(child<QPushButton>(page, "saveBtn"), Qt::LeftButton);
        child<QComboBox>(page, "speedCombo")->setCurrentIndex(7);
        hold(page, "rightBtn", 1500);
    }
    tabs->setCurrentIndex(1);
    QTest::mouseClick(child<QPushButton>(page, "cruiseGetAllBtn"), Qt::LeftButton);
    child<QLineEdit>(page, "cruiseNameEdit")->setText(QStringLiteral("Yard round"));
    QTest::mouseClick(child<QPushButton>(page, "addPresetBtn"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(page, "addPresetBtn"), Qt::LeftButton);
    auto *table = child<QTableWidget>(page, "tableWidget");
    if (auto *second = qobject_cast<QComboBox *>(table->cellWidget(1, 0)))
        second->setCurrentIndex(1);
    table->item(0, 1)->setText(QStringLiteral("4"));
    table->item(1, 1)->setText(QStringLiteral("4"));
    QTest::mouseClick(child<QPushButton>(page, "cruiseSaveBtn"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(page, "cruiseStartBtn"), Qt::LeftButton);
    QTest::qWait(2500);
    QTest::mouseClick(child<QPushButton>(page, "getPtzStatusBtn"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(page, "getCoordinatesBtn"), Qt::LeftButton);
    QTest::qWait(300);
}

// The Swivel page with the digital window zoomed in and moved, and the
// linkage read from the device.
void driveSwivel(MainWindow &window)
{
    auto *page = window.findChild<ControlPage *>();
    child<QTabWidget>(&window, "tabWidget")->setCurrentWidget(page);
    child<QComboBox>(page, "eptzSpeedCombo")->setCurrentIndex(7);
    hold(page, "eptzZoomInBtn", 1200);
    hold(page, "eptzRightBtn", 600);
    QTest::mouseClick(child<QPushButton>(page, "gunBallGetBtn"), Qt::LeftButton);
    QTest::qWait(500);
}

void setText(QWidget *page, const char *name, const QString &text)
{
    child<QLineEdit>(page, name)->setText(text);
}

// The Config page after "Iron" and "Set", the OSD on with a channel title,
// the date/time title and the colour bar drawn into the live picture, and
// the other settings read from the device.
void configure(MainWindow &window)
{
    auto *page = window.findChild<ConfigPage *>();
    child<QTabWidget>(&window, "tabWidget")->setCurrentWidget(page);
    const auto click = [page](const char *name) { QTest::mouseClick(child<QPushButton>(page, name), Qt::LeftButton); };
    for (const char *get : {"fameRateGetBtn", "envParaGetBtn", "gainSwitchGetBtn", "unitGetBtn", "tempSpanGetBtn",
                            "thermalImageGetBtn", "thermalVideoEnhanceGetBtn"})
        click(get);
    child<QComboBox>(page, "paletteCombo")->setCurrentText(QStringLiteral("Iron"));
    click("paletteSetBtn");
    child<QCheckBox>(page, "osdMasterCheck")->setChecked(true);
    click("osdMasterSetBtn");
    child<QCheckBox>(page, "pseudoColorCheck")->setChecked(true);
    click("pseudoColorSetBtn");
    child<QCheckBox>(page, "dateTimeCheck")->setChecked(true);
    setText(page, "dateTimeLeftEdit", QStringLiteral("16"));
    setText(page, "dateTimeTopEdit", QStringLiteral("16"));
    setText(page, "dateTimeRightEdit", QStringLiteral("300"));
    setText(page, "dateTimeBottonEdit", QStringLiteral("48"));
    click("dateTitleSetBtn");
    child<QCheckBox>(page, "channelTitleCheck")->setChecked(true);
    setText(page, "channelTitleNameEdit", QStringLiteral("North yard"));
    setText(page, "channelTitleLeftEdit", QStringLiteral("16"));
    setText(page, "channelTitleTopEdit", QStringLiteral("450"));
    setText(page, "channelTitleRightEdit", QStringLiteral("300"));
    setText(page, "channelTitleBottonEdit", QStringLiteral("490"));
    click("channelTitleSetBtn");
    click("paletteGetBtn");
    QTest::qWait(1500);
}

// The Peripherel and Intelligent pages as read from the device.
void readPeripherals(MainWindow &window)
{
    auto *page = window.findChild<PeripheralPage *>();
    // Day/night belongs to the visible channel.
    QTest::mouseClick(child<QRadioButton>(&window, "onlineChannel1RadioBtn"), Qt::LeftButton);
    QTest::qWait(800);
    child<QTabWidget>(&window, "tabWidget")->setCurrentWidget(page);
    // Coming from "Day", the device's "Auto" brings up its sensitivity row.
    child<QComboBox>(page, "DayNightCombox")->setCurrentIndex(1);
    for (const char *get : {"GetWiperBtn", "GetFillLightBtn", "GetDayNightParamBtn"})
        QTest::mouseClick(child<QPushButton>(page, get), Qt::LeftButton);
    QTest::qWait(300);
}

void readRecognition(MainWindow &window)
{
    auto *page = window.findChild<Intelligent *>();
    child<QTabWidget>(&window, "tabWidget")->setCurrentWidget(page);
    QTest::mouseClick(child<QPushButton>(page, "getTargetBtn"), Qt::LeftButton);
    QTest::qWait(300);
}

// The trend window after four simulated minutes: the two rules of "rules",
// a frame alarm a little over the transformer's mean (its dashed line, and
// the start and end moments as the load swings across it), sampled once a
// simulated second on a paused, stepped clock.
void recordTrend(MainWindow &window)
{
    drawRules(window);
    TMV_NET_TEMP_INFO frame{};
    TMV_NET_QueryFrameTemp(window.Handle(), &frame);
    QTest::mouseClick(child<QPushButton>(&window, "openAlarmCallbackBtn"), Qt::LeftButton);
    child<QCheckBox>(&window, "greaterCheckBox")->setChecked(true);
    child<QLineEdit>(&window, "greaterThresholdTempEdit")->setText(QString::number(int(frame.maxTemp) + 2));
    child<QLineEdit>(&window, "toleranceTempEdit")->setText(QStringLiteral("1"));
    QTest::mouseClick(child<QPushButton>(&window, "alarmSetBtn"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(&window, "trendBtn"), Qt::LeftButton);
    TrendWindow *trend = window.findChild<TempAlarmPage *>()->GetTrendWindow();
    if (!trend) {
        std::fprintf(stderr, "no trend window\n");
        std::exit(2);
    }
    TMVSim_ClockPause();
    // Wall-clock times that move with the simulation.
    const qint64 wallStart = QDateTime::currentMSecsSinceEpoch();
    const int64_t simStart = TMVSim_ClockNowMs();
    trend->Sampler()->SetClock([=] { return wallStart + (TMVSim_ClockNowMs() - simStart); });
    for (int i = 0; i < 240; ++i) {
        TMVSim_ClockStep(1000);
        trend->Sampler()->SampleNow();
        QCoreApplication::processEvents();
    }
    TMVSim_ClockResume();
    trend->setGeometry(40, 40, 1100, 620);
    trend->raise();
    trend->activateWindow();
    QTest::qWait(500);
}

// The "Thermal Rec" window a few seconds into a recording of the PTZ
// camera's thermal stream, into the working folder, with the Iron palette
// so the picture track (and the replay) show colours.
ThermalRecWindow *recordThermal(MainWindow &window, int seconds)
{
    TMV_NET_SetPalleteType(window.Handle(), 4);
    auto *page = window.findChild<TempAlarmPage *>();
    child<QTabWidget>(&window, "tabWidget")->setCurrentWidget(page);
    QTest::qWait(300);
    QTest::mouseClick(child<QPushButton>(page, "thermalRecBtn"), Qt::LeftButton);
    ThermalRecWindow *rec = page->GetThermalRecWindow();
    if (!rec) {
        std::fprintf(stderr, "no recording window\n");
        std::exit(2);
    }
    child<QLineEdit>(rec, "thermalRecFolderEdit")->setText(QDir::currentPath());
    rec->setGeometry(760, 120, 560, 250);
    QTest::mouseClick(child<QPushButton>(rec, "thermalRecStartBtn"), Qt::LeftButton);
    QTest::qWait(seconds * 1000);
    rec->raise();
    rec->activateWindow();
    return rec;
}

// A recording replayed: two shapes drawn on the picture (a rectangle over
// the transformer, a line across the yard), the mouse over the hot spot, a
// threshold on the rectangle and the plot of the whole recording.
void replayThermal(MainWindow &window)
{
    TMV_NET_TEMP_INFO frame{};
    TMV_NET_QueryFrameTemp(window.Handle(), &frame);
    ThermalRecWindow *rec = recordThermal(window, 8);
    QTest::mouseClick(child<QPushButton>(rec, "thermalRecStartBtn"), Qt::LeftButton);
    ThermalReplayWindow *replay = rec->OpenReplay(rec->FilePath());
    if (!replay) {
        std::fprintf(stderr, "the recording does not open\n");
        std::exit(2);
    }
    replay->setGeometry(10, 10, 780, 860);
    child<QSlider>(replay, "replaySlider")->setValue(replay->Reader().FrameCount() / 2);
    QTest::qWait(500);
    // The hottest pixel of the shown frame, on the label.
    VideoLabel *label = replay->Picture();
    const std::vector<uint16_t> &matrix = replay->Matrix();
    const int width = replay->Reader().Info().width, height = replay->Reader().Info().height;
    const size_t at = size_t(std::max_element(matrix.begin(), matrix.end()) - matrix.begin());
    const QPoint hot(int(at % size_t(width)) * label->width() / width + 1,
                     int(at / size_t(width)) * label->height() / height + 1);
    QTest::mouseClick(child<QToolButton>(replay, "replayRectangleBtn"), Qt::LeftButton);
    drag(label, hot - QPoint(45, 25), hot + QPoint(45, 75));
    QTest::mouseClick(child<QToolButton>(replay, "replayLineBtn"), Qt::LeftButton);
    drag(label, QPoint(label->width() / 12, label->height() * 3 / 4),
         QPoint(label->width() * 11 / 12, label->height() * 2 / 3));
    QTest::mouseClick(child<QToolButton>(replay, "replayLineBtn"), Qt::LeftButton);
    auto *table = child<QTableWidget>(replay, "replayShapeTable");
    if (table->rowCount() > 0 && table->item(0, 5))
        table->item(0, 5)->setText(QString::number(int(frame.maxTemp)));
    QTest::mouseClick(child<QPushButton>(replay, "replayPlotBtn"), Qt::LeftButton);
    if (ReplayPlotWindow *plot = replay->PlotWindow()) {
        plot->setGeometry(796, 300, 566, 500);
        plot->raise();
    }
    rec->hide();
    QTest::qWait(500);
    // The mouse over the hottest pixel, placed on the label as it is now.
    // (The first label position whose reading falls on that pixel.)
    const auto onLabel = [](int pixel, int frame, int extent) {
        for (int v = 0; v < extent; ++v)
            if (int(int64_t(v) * 8191 / extent * frame / 8192) == pixel)
                return v;
        return 0;
    };
    const QPoint over(onLabel(int(at % size_t(width)), width, label->width()),
                      onLabel(int(at / size_t(width)), height, label->height()));
    QMouseEvent move(QEvent::MouseMove, over, label->mapToGlobal(over), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(label, &move);
    QTest::qWait(300);
}

// The PTZ page as it first opens, with the head's coordinates and running
// status read.
void openPtz(MainWindow &window)
{
    auto *page = window.findChild<PTZPage *>();
    child<QTabWidget>(&window, "tabWidget")->setCurrentWidget(page);
    QTest::qWait(300);
    QTest::mouseClick(child<QPushButton>(page, "getPtzStatusBtn"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(page, "getCoordinatesBtn"), Qt::LeftButton);
    QTest::qWait(300);
}

// The temperature page scrolled down to "Alarm Callback" on its "Standard"
// tab, then its "G1" tab chosen.
void openG1(MainWindow &window)
{
    auto *page = window.findChild<TempAlarmPage *>();
    child<QTabWidget>(&window, "tabWidget")->setCurrentWidget(page);
    QTest::qWait(300);
    auto *callback = child<QWidget>(page, "openAlarmCallbackBtn");
    for (QWidget *w = callback->parentWidget(); w; w = w->parentWidget())
        if (auto *scroll = qobject_cast<QScrollArea *>(w)) {
            scroll->ensureWidgetVisible(callback);
            break;
        }
    QTest::qWait(300);
    QTabBar *bar = child<QTabWidget>(page, "tabWidget")->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(1).center());
    QTest::qWait(300);
}

// One recording downloaded at full speed, three more on their way over a
// slow link, then a logout and a login again: the download window as the
// next "Download progress" shows it.
void downloadsAfterLogout(MainWindow &window, const QString &folder)
{
    auto *table = playbackTable(window);
    table->item(3, 1)->setSelected(true);
    answerFolderDialog(folder);
    QTest::mouseClick(child<QPushButton>(&window, "downloadBtn"), Qt::LeftButton);
    QTest::qWait(1500);
    table->clearSelection();
    downloadThree(window, folder);
    QTest::mouseClick(child<QPushButton>(&window, "loginBtn"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(&window, "loginBtn"), Qt::LeftButton);
    searchCard(window);
    QTest::mouseClick(child<QPushButton>(&window, "downProgressBtn"), Qt::LeftButton);
    QTest::qWait(1500);
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("DownloadPage") && w->isVisible()) {
            w->move(60, 60);
            w->raise();
        }
}

// The trend of "trend" paused, then the frame's average unchecked.
void pauseTrend(MainWindow &window)
{
    recordTrend(window);
    TrendWindow *trend = window.findChild<TempAlarmPage *>()->GetTrendWindow();
    QTest::mouseClick(child<QPushButton>(trend, "trendPauseBtn"), Qt::LeftButton);
    child<QCheckBox>(trend, "trendSeriesCheck_Frame Avg")->click();
    QTest::qWait(500);
}

// "Set" of the laser-distance OSD while the device cannot be read: what the
// operator is told. The report is modal, so READY comes from a timer.
void failLaserOsd(MainWindow &window)
{
    auto *page = window.findChild<ConfigPage *>();
    child<QTabWidget>(&window, "tabWidget")->setCurrentWidget(page);
    auto *laser = child<QWidget>(page, "laserOSDSetBtn");
    for (QWidget *w = laser->parentWidget(); w; w = w->parentWidget())
        if (auto *scroll = qobject_cast<QScrollArea *>(w)) {
            scroll->ensureWidgetVisible(laser);
            break;
        }
    QTest::qWait(300);
    TMVSim_FailCall("TMV_NET_GetLaserDistanceOsdParam", 1, 1);
    QTimer::singleShot(800, [] {
        std::printf("READY\n");
        std::fflush(stdout);
    });
    QTest::mouseClick(child<QPushButton>(page, "laserOSDSetBtn"), Qt::LeftButton);
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString state = argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("live");
    const int holdMs = argc > 2 ? atoi(argv[2]) : 8000;
    TMV_NET_Init();
    int code = 0;
    // States that start on the playback tab's card search.
    const bool card = state == QLatin1String("playback") || state == QLatin1String("downloads")
                      || state == QLatin1String("downloads-logout");
    {
        MainWindow window;
        window.show();
        QTest::qWait(300);
        if (state != QLatin1String("idle") && !card) {
            QTest::mouseClick(child<QPushButton>(&window, "ipSearchBtn"), Qt::LeftButton);
            auto *ips = child<QComboBox>(&window, "IPcomboBox");
            waitFor([&] { return ips->count() >= 3; }, 5000);
            ips->setCurrentIndex(ips->findText(QStringLiteral("127.0.0.11")));
            QTest::mouseClick(child<QPushButton>(&window, "loginBtn"), Qt::LeftButton);
            child<QTabWidget>(&window, "tabWidget")->setCurrentIndex(0);
            QTest::mouseClick(child<QPushButton>(&window, "previewBtn"), Qt::LeftButton);
            QTest::qWait(2500);
        }
        if (state == QLatin1String("rules"))
            drawRules(window);
        if (state == QLatin1String("alarms"))
            raiseAlarms(window);
        if (state == QLatin1String("ptz"))
            runTour(window);
        if (state == QLatin1String("swivel"))
            driveSwivel(window);
        if (state == QLatin1String("config"))
            configure(window);
        if (state == QLatin1String("peripheral"))
            readPeripherals(window);
        if (state == QLatin1String("intelligent"))
            readRecognition(window);
        if (state == QLatin1String("trend"))
            recordTrend(window);
        if (state == QLatin1String("thermal-rec"))
            recordThermal(window, 4);
        if (state == QLatin1String("thermal-replay"))
            replayThermal(window);
        if (state == QLatin1String("ptz-start"))
            openPtz(window);
        if (state == QLatin1String("g1"))
            openG1(window);
        if (state == QLatin1String("trend-paused"))
            pauseTrend(window);
        const bool readyByTimer = state == QLatin1String("laser-fail");
        if (readyByTimer)
            failLaserOsd(window);
        QTemporaryDir downloads;
        if (card) {
            QTest::mouseClick(child<QPushButton>(&window, "ipSearchBtn"), Qt::LeftButton);
            auto *ips = child<QComboBox>(&window, "IPcomboBox");
            waitFor([&] { return ips->count() >= 3; }, 5000);
            ips->setCurrentIndex(ips->findText(QStringLiteral("127.0.0.11")));
            QTest::mouseClick(child<QPushButton>(&window, "loginBtn"), Qt::LeftButton);
            searchCard(window);
            if (state == QLatin1String("downloads"))
                downloadThree(window, downloads.path());
            if (state == QLatin1String("downloads-logout"))
                downloadsAfterLogout(window, downloads.path());
        }
        if (!readyByTimer) {
            std::printf("READY\n");
            std::fflush(stdout);
        }
        QTest::qWait(holdMs);
        window.close();
    }
    TMV_NET_Deinit();
    return code;
}
