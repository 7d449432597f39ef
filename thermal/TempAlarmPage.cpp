// Construction, the login handle, abilities and the page reset.
#include "thermal/TempAlarmPage.h"
#include "ui_TempAlarmPage.h"

#include <QScrollBar>

#include "app/MainWindow.h"
#include "common/DeviceCall.h"
#include "common/SdkMetaTypes.h"
#include "thermal/AlarmPage.h"
#include "thermal/recording/ThermalRecWindow.h"
#include "thermal/trend/TrendWindow.h"

TempAlarmPage::TempAlarmPage(MainWindow *parent)
    : QWidget(parent),
      ui(new Ui::TempAlarmPage),
      m_mainWindow(parent),
      m_handle(nullptr),
      m_alarmPage(nullptr)
{
    ui->setupUi(this);
    // A top-level window of its own; this page decides when it goes.
    m_alarmPage = new AlarmPage;
    m_alarmPage->hide();
    RegisterSdkMetaTypes();
    for (std::atomic<bool> &flag : m_pictureFlags)
        flag.store(true);

    ui->saveOneFrameBtn->setEnabled(false);
    ui->saveAtrOneFrameBtn->setEnabled(false);
    ui->tabWidget->setCurrentIndex(0);
    OnTabChanged(0);
    connect(ui->tabWidget, SIGNAL(currentChanged(int)), this, SLOT(OnTabChanged(int)));
    ui->alarmSnapEnableCheckBox->setChecked(true);
    ui->correctionEnableBox->setChecked(true);
    ClearPage();

    if (m_mainWindow) {
        connect(m_mainWindow, SIGNAL(ChangeHandle(TMV_NET_HANDLE)), this, SLOT(OnChangeHandle(TMV_NET_HANDLE)));
        connect(m_mainWindow, SIGNAL(Shielded(int,QList<QPoint>)), this, SLOT(OnShielded(int,QList<QPoint>)));
    }
    ConnectFrameControls();
    ConnectRuleControls();
    ConnectG1Controls();
    ConnectStreamControls();
    ConnectAlarmControls();
    ConnectTrendControls();
    ConnectRecordingControls();
}

TempAlarmPage::~TempAlarmPage()
{
    DeviceCall::Direct direct;
    // No callback may reach the page once it is gone. A stop on a handle
    // already logged out answers 1 and does no harm.
    // The recording window leaves the stream it shares first.
    delete m_recWindow;
    if (m_tempStreamStarted || m_tempRegistered)
        DeviceCall::run(TMV_NET_StopPullTemp, m_handle);
    if (m_rawStreamStarted)
        DeviceCall::run(TMV_NET_StopPullNucData, m_handle);
    if (m_alarmSubscribed)
        DeviceCall::run(TMV_NET_UnsubscribeAlarm, m_handle);
    delete m_trendWindow;
    delete m_alarmPage;
}

void TempAlarmPage::OnTabChanged(int index)
{
    // The scroll area holds only the chosen tab's height, and shows its top:
    // the short "G1" tab would otherwise sit in the scroll position of the
    // tall "Standard" one, blank.
    for (int i = 0; i < ui->tabWidget->count(); ++i)
        ui->tabWidget->widget(i)->setSizePolicy(QSizePolicy::Preferred,
                                                i == index ? QSizePolicy::Preferred : QSizePolicy::Ignored);
    ui->scrollArea->verticalScrollBar()->setValue(0);
}

void TempAlarmPage::OnChangeHandle(TMV_NET_HANDLE handle)
{
    // A logout ended the login's streams with it.
    if (handle != m_handle)
        m_tempRegistered = false;
    m_handle = handle;
}

void TempAlarmPage::UpdateAbility()
{
    const bool panTilt = m_mainWindow && m_mainWindow->Ability().panTilt != 0;
    ui->getAllPresetBtn->setEnabled(panTilt);
    ui->moveToBtn->setEnabled(panTilt);
    ui->pointOnceMeasureBtn->setChecked(false);
}

void TempAlarmPage::EnableTempControls()
{
    SetTempControlsEnabled(true);
}

void TempAlarmPage::DisableTempControls()
{
    SetTempControlsEnabled(false);
}

void TempAlarmPage::SetTempControlsEnabled(bool enabled)
{
    // The alarm callback rows stay usable on any channel: alarms are not
    // bound to the thermal channel.
    for (QWidget *widget : {static_cast<QWidget *>(ui->frameTempTitleLabel), ui->tempStreamWidget,
                            static_cast<QWidget *>(ui->groupBox), ui->pointWidget, ui->presetWidget, ui->ruleWidget,
                            ui->atrTempWidget})
        widget->setEnabled(enabled);
}

void TempAlarmPage::ClearPage()
{
    for (QLineEdit *edit : {ui->frameMaxTempEdit, ui->frameMaxLineEdit_X, ui->frameMaxLineEdit_Y,
                            ui->frameMinTempEdit, ui->frameMinLineEdit_X, ui->frameMinLineEdit_Y,
                            ui->frameAvgTempEdit, ui->frameCenterTempEdit})
        edit->clear();
    ui->openTempStreamBtn->setText(tr("Open"));
    ui->saveOneFrameBtn->setEnabled(false);
    ui->openRawStreamBtn->setText(tr("Open"));
    ui->saveRawOneFrameBtn->setEnabled(false);
    for (QCheckBox *box : {ui->frameSnapEnableCheckBox, ui->frameSnapChannel1CheckBox, ui->frameSnapChannel2CheckBox,
                           ui->frameRecordEnableCheckBox, ui->frameRecordChannel1CheckBox,
                           ui->frameRecordChannel2CheckBox})
        box->setChecked(false);
    ui->frameSnapDeplayEdit->clear();
    ui->frameRecordDeplayEdit->clear();
    ui->greaterCheckBox->setChecked(false);
    ui->lessCheckBox->setChecked(false);
    for (QLineEdit *edit :
         {ui->greaterThresholdTempEdit, ui->lessThresholdTempEdit, ui->debounceEdit, ui->toleranceTempEdit})
        edit->clear();

    ui->presetCombo->clear();
    presetMap.clear();
    ui->presetCombo->addItem(QStringLiteral("Frame"));
    ui->shieldedAreaCombo->clear();
    maskMap.clear();
    // ruleKeyMap and ruleMap stay: only the next fetch replaces them.
    ui->ruleCombo->clear();
    ClearRuleControls();
    ui->openAlarmCallbackBtn->setText(tr("Open"));
    ui->openAtrAlarmCallbackBtn->setText(tr("Open"));
    ClearG1Controls();
    ui->pointOnceMeasureBtn->setChecked(false);
    m_alarmPage->ClearAlarms();
}

void TempAlarmPage::ClearRuleControls()
{
    for (QLineEdit *edit : {ui->ruleMaxTempEdit, ui->ruleMaxLineEdit_X, ui->ruleMaxLineEdit_Y, ui->ruleMinTempEdit,
                            ui->ruleMinLineEdit_X, ui->ruleMinLineEdit_Y, ui->ruleAvgTempEdit,
                            ui->ruleCenterTempEdit, ui->emissivityEdit, ui->atmosTransEdit, ui->refTempEdit,
                            ui->atmosTempEdit, ui->distanceEdit, ui->thresholdTempEdit, ui->tempDebounceEdit,
                            ui->tempToleranceTempEdit, ui->ROISnapDeplayEdit, ui->ROIRecordDeplayEdit})
        edit->clear();
    ui->envEnableCheck->setChecked(false);
    ui->alarmRuleCombo->setCurrentIndex(0);
    for (QCheckBox *box : {ui->ROISnapEnableCheckBox, ui->ROISnapChannel1CheckBox, ui->ROISnapChannel2CheckBox,
                           ui->ROIRecordEnableCheckBox, ui->ROIRecordChannel1CheckBox, ui->ROIRecordChannel2CheckBox})
        box->setChecked(false);
}

void TempAlarmPage::ClearG1Controls()
{
    for (QLineEdit *edit : {ui->atrFrameMaxTempEdit, ui->atrFrameMinTempEdit, ui->atrFrameAvgTempEdit,
                            ui->atrFrameCenterTempEdit, ui->highTempEdit, ui->highLevelOneTempEdit,
                            ui->highLevelTwoTempEdit, ui->highLevelThreeTempEdit, ui->lowTempEdit,
                            ui->lowLevelOneTempEdit, ui->lowLevelTwoTempEdit, ui->lowLevelThreeTempEdit,
                            ui->atrDelayEdit})
        edit->clear();
    ui->atrRuleCombo->clear();
    ui->atrTypeCombo->clear();
    // No switch until one is chosen or read, so "Set" waits for a choice.
    ui->atrSwitchCombo->setCurrentIndex(-1);
    ui->lowEnableCheck->setChecked(false);
    ui->highEnableCheck->setChecked(false);
}

void TempAlarmPage::ShowLinkage(const TMV_NET_ALARM_LINKAGE &linkage, QCheckBox *enable, QCheckBox *channel1,
                                QCheckBox *channel2, QLineEdit *delay)
{
    enable->setChecked(linkage.enable != 0);
    channel1->setChecked(linkage.channels[0] != 0);
    channel2->setChecked(linkage.channels[1] != 0);
    delay->setText(QString::number(linkage.delay));
}

void TempAlarmPage::ReadLinkage(TMV_NET_ALARM_LINKAGE &linkage, const QCheckBox *enable, const QCheckBox *channel1,
                                const QCheckBox *channel2, const QLineEdit *delay)
{
    linkage.enable = enable->isChecked() ? 1 : 0;
    linkage.channels[0] = channel1->isChecked() ? 1 : 0;
    linkage.channels[1] = channel2->isChecked() ? 1 : 0;
    linkage.delay = int64_t(delay->text().toInt());  // sign-extended
}

int TempAlarmPage::CurrentPresetId() const
{
    const auto found = presetMap.constFind(ui->presetCombo->currentIndex());
    return found == presetMap.constEnd() ? 0 : found->id;
}

void TempAlarmPage::ShowOncePointTemp(float temp)
{
    ui->pointOnceEdit->setText(QString::number(temp, 'f', 2));
    ui->pointOnceMeasureBtn->setChecked(false);
}
