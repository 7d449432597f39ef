#include "app/MainWindow.h"
#include "ui_MainWindow.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QDateTime>

#include "common/DeviceCall.h"
#include "config/ConfigPage.h"
#include "config/Intelligent.h"
#include "config/PeripheralPage.h"
#include "liveview/PreviewPage.h"
#include "liveview/VideoLabel.h"
#include "playback/DownloadPage.h"
#include "ptz/ControlPage.h"
#include "ptz/PTZPage.h"
#include "thermal/AlarmPage.h"
#include "thermal/TempAlarmPage.h"

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent),
      m_devAbility(),
      m_auxState(),
      ui(new Ui::MainWindow),
      m_peripheralPage(nullptr),
      m_previewPage(nullptr),
      m_tempAlarmPage(nullptr),
      m_configPage(nullptr),
      m_ptzPage(nullptr),
      m_downloadPage(nullptr),
      m_controlPage(nullptr),
      m_intelligent(nullptr),
      m_handle(nullptr),
      m_channel(0),
      m_playbackChannel(0),
      m_fileType(1),
      m_pageNumber(0),
      m_devInfo(),
      m_drawGroup(nullptr)
{
    // The icons live in the static UI library, whose resource initialiser the
    // linker would otherwise drop.
    Q_INIT_RESOURCE(resources);
    RegisterSdkMetaTypes();

    ui->setupUi(this);
    m_downloadPage = new DownloadPage(this);
    m_drawGroup = new QButtonGroup(this);

    setWindowFlags(windowFlags() & ~Qt::WindowMaximizeButtonHint);
    setFixedSize(size());
    ui->tabWidget_2->setEnabled(false);
    ui->drawWidget->hide();
    ui->drawWidget->setEnabled(false);
    ui->IPcomboBox->setEditable(true);
    ui->selectAllBtn->setEnabled(false);
    ui->downloadBtn->setEnabled(false);
    ui->backBtn->setEnabled(false);
    ui->nextBtn->setEnabled(false);
    ui->downProgressBtn->setEnabled(false);
    ui->onlineChannel0RadioBtn->setChecked(true);
    ui->videoRadioBtn->setChecked(true);

    // The playback channel buttons share their tab with the file-type buttons;
    // a group of their own keeps the two choices apart.
    QButtonGroup *playbackChannelGroup = new QButtonGroup(this);
    playbackChannelGroup->addButton(ui->playbackChannel0RadioBtn);
    playbackChannelGroup->addButton(ui->playbackChannel1RadioBtn);
    ui->playbackChannel0RadioBtn->setChecked(true);

    const QDateTime now = QDateTime::currentDateTime();
    ui->endDateTimeEdit->setDateTime(now);
    ui->startDateTimeEdit->setDateTime(now.addDays(-1));

    m_drawGroup->addButton(ui->drawPointBtn);
    m_drawGroup->addButton(ui->drawLineBtn);
    m_drawGroup->addButton(ui->drawAreaBtn);
    m_drawGroup->addButton(ui->drawCircleBtn);
    m_drawGroup->addButton(ui->drawPolygonBtn);
    m_drawGroup->addButton(ui->shieldedAreaBtn);
    m_drawGroup->setExclusive(false);

    m_previewPage = new PreviewPage(this);
    ui->tabWidget->addTab(m_previewPage, tr("Preview"));
    m_tempAlarmPage = new TempAlarmPage(this);
    ui->tabWidget->addTab(m_tempAlarmPage, tr("Temp Alarm"));
    m_configPage = new ConfigPage(this);
    ui->tabWidget->addTab(m_configPage, tr("Config"));
    m_ptzPage = new PTZPage(this);
    ui->tabWidget->addTab(m_ptzPage, tr("PTZ"));
    m_controlPage = new ControlPage(this);
    ui->tabWidget->addTab(m_controlPage, tr("Swivel"));
    m_peripheralPage = new PeripheralPage(this);
    ui->tabWidget->addTab(m_peripheralPage, tr("Peripherel"));
    m_intelligent = new Intelligent(this);
    ui->tabWidget->addTab(m_intelligent, tr("Intelligent"));
    ui->tabWidget_2->setCurrentIndex(0);

    connect(this, SIGNAL(DevSearched(const QString &)), this, SLOT(OnDevSearched(const QString &)));
    connect(ui->loginBtn, SIGNAL(clicked()), this, SLOT(OnLoginBtnClicked()));
    connect(m_previewPage, SIGNAL(UpdateFrame()), this, SLOT(OnUpdateFrame()));
    connect(m_previewPage, SIGNAL(PreviewOpen(bool)), this, SLOT(OnPreviewOpen(bool)));
    connect(ui->tabWidget, SIGNAL(currentChanged(int)), this, SLOT(OnTabChanged(int)));
    connect(this, SIGNAL(Exception(int)), this, SLOT(OnException(int)));
    connect(ui->onlineChannel0RadioBtn, SIGNAL(clicked()), this, SLOT(OnChannelButtonClicked()));
    connect(ui->onlineChannel1RadioBtn, SIGNAL(clicked()), this, SLOT(OnChannelButtonClicked()));
    connect(ui->playbackChannel0RadioBtn, SIGNAL(clicked()), this, SLOT(OnChannelButtonClicked()));
    connect(ui->playbackChannel1RadioBtn, SIGNAL(clicked()), this, SLOT(OnChannelButtonClicked()));
    connect(ui->ipSearchBtn, SIGNAL(clicked()), this, SLOT(OnIPSearchButtonClicked()));
    connect(ui->videoRadioBtn, SIGNAL(clicked()), this, SLOT(OnFileTypeButtonClicked()));
    connect(ui->imageRadioBtn, SIGNAL(clicked()), this, SLOT(OnFileTypeButtonClicked()));
    connect(ui->sdCardSearchBtn, SIGNAL(clicked()), this, SLOT(OnSDcardSearchButtonClicked()));
    connect(ui->backBtn, SIGNAL(clicked()), this, SLOT(OnBackButtonClicked()));
    connect(ui->nextBtn, SIGNAL(clicked()), this, SLOT(OnNextButtonClicked()));
    connect(ui->selectAllBtn, SIGNAL(clicked()), this, SLOT(OnSellectAllButtonClicked()));
    connect(ui->downloadBtn, SIGNAL(clicked()), this, SLOT(OnDownloadButtonClicked()));
    connect(ui->downProgressBtn, SIGNAL(clicked()), this, SLOT(OnDownloadProgressButtonClicked()));
    connect(ui->drawPointBtn, SIGNAL(clicked()), this, SLOT(OnDrawPointBtnClicked()));
    connect(ui->drawLineBtn, SIGNAL(clicked()), this, SLOT(OnDrawLineBtnClicked()));
    connect(ui->drawAreaBtn, SIGNAL(clicked()), this, SLOT(OnDrawAreaBtnClicked()));
    connect(ui->drawCircleBtn, SIGNAL(clicked()), this, SLOT(OnDrawCircleBtnClicked()));
    connect(ui->drawPolygonBtn, SIGNAL(clicked()), this, SLOT(OnDrawPolygonBtnClicked()));
    connect(ui->shieldedAreaBtn, SIGNAL(clicked()), this, SLOT(OnShieldedAreaBtnClicked()));
    connect(ui->videoLabel, SIGNAL(AddRule(int, QList<QPoint>)), this, SLOT(OnAddRule(int, QList<QPoint>)));
    connect(ui->videoLabel, SIGNAL(AddShielded(int, QList<QPoint>)), this, SLOT(OnAddShielded(int, QList<QPoint>)));
    connect(ui->videoLabel, SIGNAL(GetOncePointTemp(QPoint)), this, SLOT(OnGetOncePointTemp(QPoint)));
    connect(ui->videoLabel, SIGNAL(Postion(int, QList<QPoint>)), this, SLOT(OnPostion(int, QList<QPoint>)));
    connect(ui->videoLabel, SIGNAL(RegionFocus(QList<QPoint>)), this, SLOT(OnRegionFocus(QList<QPoint>)));
    connect(ui->videoLabel, SIGNAL(ManualTrack(QList<QPoint>)), this, SLOT(OnManualTrack(QList<QPoint>)));
    connect(m_ptzPage, SIGNAL(Position3D(bool)), this, SLOT(OnPosition3D(bool)));
    connect(m_ptzPage, SIGNAL(PositionRegionFocus(bool)), this, SLOT(OnPositionRegionFocus(bool)));
    connect(m_ptzPage, SIGNAL(PositionManualTrack(bool)), this, SLOT(OnPositionManualTrack(bool)));

    RegisterForCallbacks(this);
}

MainWindow::~MainWindow()
{
    // Teardown turns no event loop: the pages go with the window.
    DeviceCall::Direct direct;
    // From here on the library's search and exception threads find no window.
    UnregisterForCallbacks(this);

    if (ui->loginBtn->text() == tr("Logout"))
        Logout();
    // A failed download stop leaves the login open in the slot; the window
    // must not go away with a session whose callbacks still point at it.
    if (m_handle) {
        DeviceCall::run(TMV_NET_Logout, m_handle);
        m_handle = nullptr;
    }
    delete m_downloadPage;
    delete ui;
}

VideoLabel *MainWindow::GetVideoLabel() const
{
    return ui->videoLabel;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A close from the window manager is no user input and may come while a
    // call waits: the window goes once the call has returned and the code
    // after it has run.
    if (DeviceCall::Waiting()) {
        event->ignore();
        DeviceCall::AfterWaits(this, [this] { close(); });
        return;
    }
    m_tempAlarmPage->GetAlarmPage()->close();
    m_downloadPage->close();
    event->accept();
}
