#include "thermal/recording/ThermalRecWindow.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cstring>

#include "app/MainWindow.h"
#include "common/DeviceCall.h"
#include "common/MsgBox.h"
#include "thermal/TempAlarmPage.h"
#include "thermal/recfile/RecPalette.h"
#include "thermal/recfile/RecRecorder.h"
#include "thermal/recording/ThermalReplayWindow.h"

namespace {

QString SizeText(qint64 bytes)
{
    if (bytes < 1024 * 1024)
        return QObject::tr("%1 KB").arg(QString::number(double(bytes) / 1024.0, 'f', 1));
    return QObject::tr("%1 MB").arg(QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1));
}

QString ElapsedText(qint64 ms)
{
    const qint64 s = ms / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

ThermalRecWindow::ThermalRecWindow(TempAlarmPage *page, MainWindow *mainWindow, QWidget *parent)
    : QWidget(parent, Qt::Window), m_page(page), m_mainWindow(mainWindow), m_folderEdit(new QLineEdit),
      m_startBtn(new QPushButton(tr("Start"))), m_elapsedLabel(new QLabel), m_framesLabel(new QLabel),
      m_sizeLabel(new QLabel), m_queueLabel(new QLabel), m_fileLabel(new QLabel), m_statusLabel(new QLabel),
      m_timer(new QTimer(this))
{
    setWindowTitle(tr("Thermal Recording"));
    setObjectName(QStringLiteral("thermalRecWindow"));

    m_folderEdit->setObjectName(QStringLiteral("thermalRecFolderEdit"));
    m_folderEdit->setText(QDir::toNativeSeparators(QDir::currentPath()));
    auto *browseBtn = new QPushButton(tr("Browse..."));
    browseBtn->setObjectName(QStringLiteral("thermalRecBrowseBtn"));
    m_startBtn->setObjectName(QStringLiteral("thermalRecStartBtn"));
    auto *openBtn = new QPushButton(tr("Open..."));
    openBtn->setObjectName(QStringLiteral("thermalRecOpenBtn"));
    m_elapsedLabel->setObjectName(QStringLiteral("thermalRecElapsedLabel"));
    m_framesLabel->setObjectName(QStringLiteral("thermalRecFramesLabel"));
    m_sizeLabel->setObjectName(QStringLiteral("thermalRecSizeLabel"));
    m_queueLabel->setObjectName(QStringLiteral("thermalRecQueueLabel"));
    m_fileLabel->setObjectName(QStringLiteral("thermalRecFileLabel"));
    m_statusLabel->setObjectName(QStringLiteral("thermalRecStatusLabel"));
    m_fileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_statusLabel->setWordWrap(true);

    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folderEdit, 1);
    folderRow->addWidget(browseBtn);
    auto *form = new QFormLayout;
    form->addRow(tr("Folder"), folderRow);
    form->addRow(tr("File"), m_fileLabel);
    form->addRow(tr("Elapsed"), m_elapsedLabel);
    form->addRow(tr("Frames written"), m_framesLabel);
    form->addRow(tr("File size"), m_sizeLabel);
    form->addRow(tr("Queue"), m_queueLabel);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_startBtn);
    buttons->addStretch(1);
    buttons->addWidget(openBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(m_statusLabel);
    resize(520, 240);

    connect(m_startBtn, SIGNAL(clicked()), this, SLOT(OnStartBtnClicked()));
    connect(browseBtn, SIGNAL(clicked()), this, SLOT(OnBrowseBtnClicked()));
    connect(openBtn, SIGNAL(clicked()), this, SLOT(OnOpenBtnClicked()));
    connect(m_timer, SIGNAL(timeout()), this, SLOT(OnTick()));
    if (m_mainWindow) {
        connect(m_mainWindow, SIGNAL(ChangeHandle(TMV_NET_HANDLE)), this, SLOT(OnChangeHandle(TMV_NET_HANDLE)));
        connect(m_mainWindow, SIGNAL(ChannelChanged(int)), this, SLOT(OnChannelChanged(int)));
    }
    m_timer->setInterval(250);
    ShowCounters();
}

ThermalRecWindow::~ThermalRecWindow()
{
    DeviceCall::Direct direct;
    StopRecording(QString());
    for (const QPointer<ThermalReplayWindow> &replay : m_replays)
        delete replay;
}

bool ThermalRecWindow::Recording() const
{
    return m_recorder && m_recorder->Running();
}

QString ThermalRecWindow::Folder() const
{
    return QDir::fromNativeSeparators(m_folderEdit->text().trimmed());
}

void ThermalRecWindow::closeEvent(QCloseEvent *event)
{
    StopRecording(tr("Stopped: window closed"));
    QWidget::closeEvent(event);
}

void ThermalRecWindow::OnChangeHandle(TMV_NET_HANDLE)
{
    StopRecording(tr("Stopped: logged out"));
}

void ThermalRecWindow::OnChannelChanged(int)
{
    StopRecording(tr("Stopped: the channel changed"));
}

void ThermalRecWindow::OnStartBtnClicked()
{
    if (Recording())
        StopRecording(tr("Stopped"));
    else
        StartRecording();
}

void ThermalRecWindow::OnBrowseBtnClicked()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Recording folder"), Folder());
    if (!folder.isEmpty())
        m_folderEdit->setText(QDir::toNativeSeparators(folder));
}

RecInfo ThermalRecWindow::DeviceInfo() const
{
    RecInfo info;
    if (!m_mainWindow)
        return info;
    const TMV_NET_HANDLE handle = m_mainWindow->Handle();
    const TMV_NET_DEV_INFO &dev = m_mainWindow->DevInfo();
    info.channel = dev.thermalChannel;
    info.deviceAddress = m_mainWindow->Address().toStdString();
    // The channel's title names the place; the kind of camera otherwise.
    TMV_NET_OSD_CHANNEL_TITLE_INFO title;
    std::memset(&title, 0, sizeof title);
    if (DeviceCall::run(TMV_NET_GetOSDChannelTitleInfo, handle, dev.thermalChannel, &title) == 0)
        info.deviceName = std::string(title.title, qstrnlen(title.title, sizeof title.title));
    if (info.deviceName.empty()) {
        static const char *const kinds[] = {"PTZ thermal camera", "Fixed thermal camera", "Panoramic thermal camera"};
        info.deviceName = dev.deviceType >= 0 && dev.deviceType < 3 ? kinds[dev.deviceType] : "Thermal camera";
    }
    // What cannot be read keeps its neutral default: the temperatures are
    // recorded either way.
    int32_t value = 0;
    if (DeviceCall::run(TMV_NET_GetTempUnit, handle, &value) == 0 && value >= 0 && value <= 2)
        info.unit = value;
    TMV_NET_ENV_PARAM env;
    if (DeviceCall::run(TMV_NET_GetEnvParam, handle, &env) == 0)
        info.env = env;
    if (DeviceCall::run(TMV_NET_GetPalleteType, handle, &value) == 0 && RecPalette::Name(value))
        info.palette = value;
    // Frame times follow the device's rate (RecRecorder::OnFrame).
    if (DeviceCall::run(TMV_NET_GetFrameRate, handle, &value) == 0 && value >= 1 && value <= 240)
        info.frameRate = value;
    return info;
}

void ThermalRecWindow::StartRecording()
{
    if (!m_page || !m_mainWindow || !m_mainWindow->Handle()) {
        QMessageBox::critical(this, tr("Error"), tr("Log in to a device first."));
        return;
    }
    const RecInfo info = DeviceInfo();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString address = QString::fromStdString(info.deviceAddress).replace(QLatin1Char(':'), QLatin1Char('_'));
    const QString base = QDir(Folder()).filePath(QStringLiteral("thermal_%1_ch%2_%3").arg(address).arg(info.channel + 1).arg(stamp));
    // Two recordings within a second keep apart.
    m_path = base + QStringLiteral(".mkv");
    for (int n = 2; QFileInfo::exists(m_path); ++n)
        m_path = base + QStringLiteral("-%1.mkv").arg(n);

    m_recorder.reset(new RecRecorder);
    if (m_spaceLimit >= 0)
        m_recorder->SetSpaceLimit(uint64_t(m_spaceLimit));
    std::string error;
    if (!m_recorder->Start(QFile::encodeName(m_path).toStdString(), info, &error)) {
        QMessageBox::critical(this, tr("Error"),
                              tr("Cannot write %1: %2").arg(QDir::toNativeSeparators(m_path), QString::fromStdString(error)));
        m_statusLabel->setText(tr("Not recording"));
        return;
    }
    RecRecorder *recorder = m_recorder.get();
    const int status = m_page->AddTempSink(
        [recorder](const uint16_t *values, int width, int height) { recorder->OnFrame(values, width, height); },
        &m_sinkId);
    if (status != 0) {
        m_recorder->Stop(nullptr);
        QFile::remove(m_path);
        MsgBox::Instance()->ShowResult(tr("Open temp stream"), status);
        return;
    }
    m_elapsed.start();
    m_timer->start();
    m_startBtn->setText(tr("Stop"));
    m_fileLabel->setText(QDir::toNativeSeparators(m_path));
    m_statusLabel->setText(tr("Recording"));
    ShowCounters();
}

void ThermalRecWindow::StopRecording(const QString &why)
{
    if (!Recording())
        return;
    // No frame reaches the recorder once the sink is gone.
    if (m_page)
        m_page->RemoveTempSink(m_sinkId);
    m_sinkId = 0;
    m_timer->stop();
    std::string error;
    const bool ok = m_recorder->Stop(&error);
    m_startBtn->setText(tr("Start"));
    ShowCounters();
    if (!ok) {
        m_statusLabel->setText(tr("Stopped: %1").arg(QString::fromStdString(error)));
        if (!why.isNull())
            QMessageBox::critical(this, tr("Error"),
                                  tr("Cannot write %1: %2. What was written before stays playable.")
                                      .arg(QDir::toNativeSeparators(m_path), QString::fromStdString(error)));
        return;
    }
    m_statusLabel->setText(why);
}

void ThermalRecWindow::OnTick()
{
    ShowCounters();
    // A failed write ends the recording at once; the box names the file.
    // Not inside another call's wait: the stop may end the page's stream.
    if (m_recorder && m_recorder->Running() && m_recorder->Failed() && !DeviceCall::Waiting())
        StopRecording(tr("Stopped: write failed"));
}

void ThermalRecWindow::ShowCounters()
{
    const RecRecorder *r = m_recorder.get();
    const qint64 elapsed = r && r->Running() ? m_elapsed.elapsed() : 0;
    if (!r || r->Running())
        m_elapsedLabel->setText(ElapsedText(elapsed));
    m_framesLabel->setText(QString::number(r ? r->FramesWritten() : 0));
    m_sizeLabel->setText(SizeText(r ? r->BytesWritten() : 0));
    m_queueLabel->setText(tr("high water %1 of %2 frames, %3 dropped")
                              .arg(r ? r->HighWater() : 0)
                              .arg(RecRecorder::kQueueFrames)
                              .arg(r ? r->Dropped() : 0));
}

void ThermalRecWindow::OnOpenBtnClicked()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Open thermal recording"), Folder(),
                                                      tr("Thermal recordings (*.mkv);;All files (*)"));
    if (!path.isEmpty())
        OpenReplay(path);
}

ThermalReplayWindow *ThermalRecWindow::OpenReplay(const QString &path)
{
    QString error;
    ThermalReplayWindow *replay = ThermalReplayWindow::Open(path, &error);
    if (!replay) {
        QMessageBox::critical(this, tr("Error"), tr("Cannot open %1: %2").arg(QDir::toNativeSeparators(path), error));
        return nullptr;
    }
    replay->setAttribute(Qt::WA_DeleteOnClose);
    m_replays.append(replay);
    replay->show();
    return replay;
}

QList<ThermalReplayWindow *> ThermalRecWindow::ReplayWindows() const
{
    QList<ThermalReplayWindow *> out;
    for (const QPointer<ThermalReplayWindow> &replay : m_replays)
        if (replay)
            out << replay;
    return out;
}
