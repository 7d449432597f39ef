// Construction and connections, the login handle, abilities, the auxiliary
// state and the page reset.
#include "ptz/PTZPage.h"
#include "ui_PTZPage.h"

#include <QApplication>
#include <QHeaderView>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionFrame>

#include "app/MainWindow.h"
#include "ptz/PtzText.h"

namespace {

// The application's style with tabs padded a third as much, so the nine tab
// names fit the page's width at larger fonts too.
class CompactTabStyle : public QProxyStyle
{
public:
    explicit CompactTabStyle(QObject *owner) : QProxyStyle(QStyleFactory::create(QApplication::style()->objectName()))
    {
        setParent(owner);
    }
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        return metric == PM_TabBarTabHSpace ? value / 3 : value;
    }
};

// At least as wide as `widest` needs to be seen whole: its text, the two
// pixels the line edit keeps on either side, the cursor and the frame.
void FitWidth(QLineEdit *edit, const QString &widest)
{
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    const QMargins margins = edit->textMargins();
    const QSize text(edit->fontMetrics().horizontalAdvance(widest) + 5 + margins.left() + margins.right(),
                     edit->fontMetrics().height());
    edit->setMinimumWidth(edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, edit).width());
}

} // namespace

PTZPage::PTZPage(MainWindow *parent)
    : QWidget(parent), ui(new Ui::PTZPageClass), m_mainWindow(parent), m_handle(nullptr)
{
    ui->setupUi(this);

    for (int speed = 1; speed <= 8; ++speed)
        ui->speedCombo->addItem(QString::number(speed));
    ui->speedCombo->setCurrentIndex(0);

    // Indexed by the running status's `task` and `trigger` values.
    ui->taskCombo->addItems({QStringLiteral("Idle Task"), QStringLiteral("Cruise"), QStringLiteral("Track"),
                             QStringLiteral("Linear Scan"), QStringLiteral("Area Scan"),
                             QStringLiteral("Horizontal Rotation"), QStringLiteral("Single Target Tracking"),
                             QStringLiteral("Fire Point Tracking"), QStringLiteral("Smoke Tracking"),
                             QStringLiteral("Optoelectronic Linkage Tracking"),
                             QStringLiteral("Integrated Cruise to Preset")});
    ui->triggerCombo->addItems({QStringLiteral("Manual"), QStringLiteral("Alarm Triggered"),
                                QStringLiteral("Scheduled Task"), QStringLiteral("Startup Action"),
                                QStringLiteral("Idle Action"), QStringLiteral("Integrated Cruise")});

    ui->tableWidget->setColumnCount(2);
    ui->tableWidget->setHorizontalHeaderLabels({tr("Preset"), tr("residenceTime(s)")});
    ui->tableWidget->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ui->tableWidget->verticalHeader()->setVisible(false);
    ui->tableWidget->setRowCount(0);

    // Every tab name whole in one row where the width allows; where it does
    // not, the names are shortened rather than hidden behind scroll arrows.
    QTabBar *tabs = ui->tabWidget->tabBar();
    tabs->setStyle(new CompactTabStyle(this));
    tabs->setUsesScrollButtons(false);
    tabs->setElideMode(Qt::ElideRight);
    // Read-outs wide enough for their longest text (digits are equally wide).
    FitWidth(ui->visFovEdit, PtzFieldOfView(88.88f, 88.88f));
    FitWidth(ui->irFovEdit, PtzFieldOfView(88.88f, 88.88f));
    FitWidth(ui->startTimeEdit, PtzStartTime(0));

    ResetAreaScanFields();
    // Line scans are only shown as the device reports them, never offered.
    ui->bootLineScanRadioBtn->setEnabled(false);
    ui->parkLineScanRadioBtn->setEnabled(false);

    if (m_mainWindow)
        connect(m_mainWindow, SIGNAL(ChangeHandle(TMV_NET_HANDLE)), this, SLOT(OnChangeHandle(TMV_NET_HANDLE)));

    connect(ui->upBtn, SIGNAL(pressed()), this, SLOT(OnUpBtnPressed()));
    connect(ui->downBtn, SIGNAL(pressed()), this, SLOT(OnDownBtnPressed()));
    connect(ui->leftBtn, SIGNAL(pressed()), this, SLOT(OnLeftBtnPressed()));
    connect(ui->rightBtn, SIGNAL(pressed()), this, SLOT(OnRightBtnPressed()));
    connect(ui->upLeftBtn, SIGNAL(pressed()), this, SLOT(OnUpLeftBtnPressed()));
    connect(ui->upRightBtn, SIGNAL(pressed()), this, SLOT(OnUpRightBtnPressed()));
    connect(ui->downLeftBtn, SIGNAL(pressed()), this, SLOT(OnDownLeftBtnPressed()));
    connect(ui->downRightBtn, SIGNAL(pressed()), this, SLOT(OnDownRightBtnPressed()));
    for (QAbstractButton *button : {ui->upBtn, ui->downBtn, ui->leftBtn, ui->rightBtn, ui->upLeftBtn,
                                    ui->upRightBtn, ui->downLeftBtn, ui->downRightBtn})
        connect(button, SIGNAL(released()), this, SLOT(OnBtnReleased()));

    connect(ui->zoomInBtn, SIGNAL(pressed()), this, SLOT(OnZoomInBtnPressed()));
    connect(ui->zoomInBtn, SIGNAL(released()), this, SLOT(OnZoomInBtnReleased()));
    connect(ui->zoomOutBtn, SIGNAL(pressed()), this, SLOT(OnZoomOutBtnPressed()));
    connect(ui->zoomOutBtn, SIGNAL(released()), this, SLOT(OnZoomOutBtnReleased()));
    connect(ui->focusNearBtn, SIGNAL(pressed()), this, SLOT(OnFocusNearBtnPressed()));
    connect(ui->focusNearBtn, SIGNAL(released()), this, SLOT(OnFocusNearBtnReleased()));
    connect(ui->focusFarBtn, SIGNAL(pressed()), this, SLOT(OnFocusFarBtnPressed()));
    connect(ui->focusFarBtn, SIGNAL(released()), this, SLOT(OnFocusFarBtnReleased()));
    connect(ui->irisCloseBtn, SIGNAL(pressed()), this, SLOT(OnIrisCloseBtnPressed()));
    connect(ui->irisCloseBtn, SIGNAL(released()), this, SLOT(OnIrisCloseBtnRealeased()));
    connect(ui->irisOpenBtn, SIGNAL(pressed()), this, SLOT(OnIrisOpenBtnPressed()));
    connect(ui->irisOpenBtn, SIGNAL(released()), this, SLOT(OnIrisOpenBtnRealeased()));

    connect(ui->wiperBtn, SIGNAL(clicked()), this, SLOT(OnWiperBtnClicked()));
    connect(ui->lightBtn, SIGNAL(clicked()), this, SLOT(OnLightBtnClicked()));
    connect(ui->defrostBtn, SIGNAL(clicked()), this, SLOT(OnDefrostBtnClicked()));
    connect(ui->fogLampBtn, SIGNAL(clicked()), this, SLOT(OnFogLampBtnClicked()));
    connect(ui->heaterBtn, SIGNAL(clicked()), this, SLOT(OnHearterBtnClicked()));
    connect(ui->fanBtn, SIGNAL(clicked()), this, SLOT(OnFanBtnClicked()));
    connect(ui->threeDimensionalBtn, SIGNAL(clicked()), this, SLOT(OnThreeDimensionalBtnClicked()));
    connect(ui->regionFocusBtn, SIGNAL(clicked()), this, SLOT(OnRegionFocusBtnClicked()));
    connect(ui->manualTrackBtn, SIGNAL(clicked()), this, SLOT(OnManualTrackBtnClicked()));
    connect(ui->arrowsBtn, SIGNAL(clicked()), this, SLOT(OnArrowsBtnClicked()));
    connect(ui->autoMaticBtn, SIGNAL(clicked()), this, SLOT(OnAutoMaticBtnClicked()));

    // Presets, tours and patterns.
    connect(ui->presetCombo, SIGNAL(currentIndexChanged(int)), this, SLOT(OnPresetComboChanged(int)));
    connect(ui->presetGetAllBtn, SIGNAL(clicked()), this, SLOT(OnPresetGetAllButtonClicked()));
    connect(ui->presetDeleteAllBtn, SIGNAL(clicked()), this, SLOT(OnPresetDeleteAllButtonClicked()));
    connect(ui->presetGetCurrentBtn, SIGNAL(clicked()), this, SLOT(OnGetCurrentPresetBtnClicked()));
    connect(ui->saveBtn, SIGNAL(clicked()), this, SLOT(OnSaveButtonClicked()));
    connect(ui->moveToBtn, SIGNAL(clicked()), this, SLOT(OnMoveToButtonClicked()));
    connect(ui->deleteBtn, SIGNAL(clicked()), this, SLOT(OnDeleteButtonClicked()));
    connect(ui->cruiseCombo, SIGNAL(currentIndexChanged(int)), this, SLOT(OnCruiseComboChanged(int)));
    connect(ui->cruiseGetAllBtn, SIGNAL(clicked()), this, SLOT(OnCruiseGetAllButtonClicked()));
    connect(ui->cruiseDeleteAllBtn, SIGNAL(clicked()), this, SLOT(OnCruiseDeleteAllButtonClicked()));
    connect(ui->addPresetBtn, SIGNAL(clicked()), this, SLOT(OnAddPresetButtonClicked()));
    connect(ui->deletePresetBtn, SIGNAL(clicked()), this, SLOT(OnDeletePresetButtonClicked()));
    connect(ui->cruiseSaveBtn, SIGNAL(clicked()), this, SLOT(OnCruiseSaveButtonClicked()));
    connect(ui->cruiseDeleteBtn, SIGNAL(clicked()), this, SLOT(OnCruiseDeleteButtonClicked()));
    connect(ui->cruiseStartBtn, SIGNAL(clicked()), this, SLOT(OnCruiseStartButtonClicked()));
    connect(ui->patrolCombo, SIGNAL(currentIndexChanged(int)), this, SLOT(OnPatrolComboChanged(int)));
    connect(ui->patrolGetAllBtn, SIGNAL(clicked()), this, SLOT(OnPatrolGetAllButtonClicked()));
    connect(ui->patrolDeleteAllBtn, SIGNAL(clicked()), this, SLOT(OnPatrolDeleteAllButtonClicked()));
    connect(ui->startPatrolBtn, SIGNAL(clicked()), this, SLOT(OnStartPatrolButtonClicked()));
    connect(ui->startRecordBtn, SIGNAL(clicked()), this, SLOT(OnStartRecordButtonClicked()));

    // Area scans, boot and park actions.
    connect(ui->GetAllAreaScanBtn, SIGNAL(clicked()), this, SLOT(OnGetAllAreaScanInfoBtnClicked()));
    connect(ui->GetOneAreaScanBtn, SIGNAL(clicked()), this, SLOT(OnGetOneAreaScanBtnClicked()));
    connect(ui->SetAreaScanInfoBtn, SIGNAL(clicked()), this, SLOT(OnSetAreaScanInfoBtnClicked()));
    connect(ui->areaScanStartBtn, SIGNAL(clicked()), this, SLOT(OnAreaScanStartBtnClicked()));
    connect(ui->areaScanStopBtn, SIGNAL(clicked()), this, SLOT(OnAreaScanStopBtnClicked()));
    connect(ui->DeleteOneAreaScanBtn, SIGNAL(clicked()), this, SLOT(OnDeleteOneAreaScanBtnClicked()));
    connect(ui->DeleteAllAreaScanBtn, SIGNAL(clicked()), this, SLOT(OnDeleteAllAreaScanBtnClicked()));
    connect(ui->bootRefreshBtn, SIGNAL(clicked()), this, SLOT(OnBootRefreshBtnClicked()));
    connect(ui->bootConfirmBtn, SIGNAL(clicked()), this, SLOT(OnBootConfirmBtnClicked()));
    connect(ui->parkRefreshBtn, SIGNAL(clicked()), this, SLOT(OnParkRefreshBtnClicked()));
    connect(ui->parkConfirmBtn, SIGNAL(clicked()), this, SLOT(OnParkConfirmBtnClicked()));
    for (QAbstractButton *button : {ui->bootPresetRadioBtn, ui->parkPresetRadioBtn})
        connect(button, SIGNAL(clicked()), this, SLOT(OnBootPresetRadioBtnClicked()));
    for (QAbstractButton *button : {ui->bootTourRadioBtn, ui->parkTourRadioBtn})
        connect(button, SIGNAL(clicked()), this, SLOT(OnBootTourRadioBtnClicked()));
    for (QAbstractButton *button : {ui->bootPatternRadioBtn, ui->parkPatternRadioBtn})
        connect(button, SIGNAL(clicked()), this, SLOT(OnBootPatternRadioBtnClicked()));
    for (QAbstractButton *button : {ui->bootAreaScanRadioBtn, ui->parkAreaScanRadioBtn})
        connect(button, SIGNAL(clicked()), this, SLOT(OnBootAreaScanRadioBtnClicked()));
    for (QAbstractButton *button : {ui->bootLineScanRadioBtn, ui->parkLineScanRadioBtn})
        connect(button, SIGNAL(clicked()), this, SLOT(OnBootLineScanRadioBtnClicked()));
    connect(ui->bootAutoResetRadioBtn, SIGNAL(clicked()), this, SLOT(OnBootAutoResetRadioBtnClicked()));

    // Positioning, tracking and status.
    connect(ui->resetBtn, SIGNAL(clicked()), this, SLOT(OnResetBtnClicked()));
    connect(ui->lensInitBtn, SIGNAL(clicked()), this, SLOT(OnLensInitBtnClicked()));
    connect(ui->laserDistanceBtn, SIGNAL(clicked()), this, SLOT(OnLaserDistanceBtnClicked()));
    connect(ui->setBtn, SIGNAL(clicked()), this, SLOT(OnSetButtonClicked()));
    connect(ui->setATBtn, SIGNAL(clicked()), this, SLOT(OnSetATBtnClicked()));
    connect(ui->getCoordinatesBtn, SIGNAL(clicked()), this, SLOT(OnGetCoordinatesBtnClicked()));
    connect(ui->getZoomBtn, SIGNAL(clicked()), this, SLOT(OnGetZoomBtnClicked()));
    connect(ui->setZoomBtn, SIGNAL(clicked()), this, SLOT(OnSetZoomBtnClicked()));
    connect(ui->targetConfigGetBtn, SIGNAL(clicked()), this, SLOT(OnTargetConfigGetBtnClicked()));
    connect(ui->targetConfigSetBtn, SIGNAL(clicked()), this, SLOT(OnTargetConfigSetBtnClicked()));
    connect(ui->getBearingBtn, SIGNAL(clicked()), this, SLOT(OnGetBearingBtnClicked()));
    connect(ui->powerOffGetBtn, SIGNAL(clicked()), this, SLOT(OnGetPowerOffBtnClicked()));
    connect(ui->powerOffSetBtn, SIGNAL(clicked()), this, SLOT(OnSetPowerOffBtnClicked()));
    connect(ui->getPtzStatusBtn, SIGNAL(clicked()), this, SLOT(OnGetPtzStatusBtnClicked()));
}

PTZPage::~PTZPage() = default;

void PTZPage::OnChangeHandle(TMV_NET_HANDLE handle)
{
    m_handle = handle;
}

void PTZPage::UpdateAbility()
{
    if (!m_mainWindow)
        return;
    const TMV_NET_DEV_ABILITY &ability = m_mainWindow->Ability();

    ui->zoomInBtn->setEnabled(ability.zoom != 0);
    ui->zoomOutBtn->setEnabled(ability.zoom != 0);
    ui->focusFarBtn->setEnabled(ability.focus != 0);
    ui->focusNearBtn->setEnabled(ability.focus != 0);
    ui->irisCloseBtn->setEnabled(ability.iris != 0);
    ui->irisOpenBtn->setEnabled(ability.iris != 0);

    // Without pan and tilt the whole page is grey. It follows the flag both
    // ways: a later login to a device with a head must find it usable again.
    const bool panTilt = ability.panTilt != 0;
    for (QWidget *child : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        child->setEnabled(panTilt);

    ui->wiperBtn->setEnabled(ability.wiper != 0);
    ui->lightBtn->setEnabled(ability.light != 0);
    ui->defrostBtn->setEnabled(ability.defrost != 0);
    ui->fogLampBtn->setEnabled(ability.defog != 0);
    ui->fanBtn->setEnabled(ability.fan != 0);
    ui->heaterBtn->setEnabled(ability.heater != 0);
    ui->autoMaticBtn->setEnabled(ability.autoFocus != 0);
    ui->arrowsBtn->setEnabled(ability.arrows != 0);

    ui->setBtn->setEnabled(ability.accuratePosition != 0);
    ui->threeDimensionalBtn->setEnabled(ability.position3D != 0);
    ui->regionFocusBtn->setEnabled(ability.regionFocus != 0);
    ui->manualTrackBtn->setEnabled(ability.manualTrack != 0);
    ui->lensInitBtn->setEnabled(ability.lensInit != 0);
    ui->laserDistanceBtn->setEnabled(ability.laserDistance != 0);

    for (QWidget *button : {ui->upBtn, ui->downBtn, ui->leftBtn, ui->rightBtn, ui->upLeftBtn, ui->upRightBtn,
                            ui->downLeftBtn, ui->downRightBtn})
        button->setEnabled(panTilt);
    ui->resetBtn->setEnabled(ability.reset != 0);
    ui->speedCombo->setEnabled(panTilt);
    ui->widget_2->setEnabled(panTilt);

    ui->powerOffCheckBoxEnable->setChecked(false);
    ui->powerOffIntervalEdit->setText(QString());
}

void PTZPage::UpdateAuxState()
{
    if (!m_mainWindow)
        return;
    // setChecked does not emit clicked(): nothing goes to the device.
    const TMV_NET_PTZ_AUX_STATE &state = m_mainWindow->AuxState();
    ui->wiperBtn->setChecked(state.wiper != 0);
    ui->lightBtn->setChecked(state.light != 0);
    ui->defrostBtn->setChecked(state.defrost != 0);
    ui->fogLampBtn->setChecked(state.defog != 0);
    ui->fanBtn->setChecked(state.fan != 0);
    ui->heaterBtn->setChecked(state.heater != 0);
    ui->autoMaticBtn->setChecked(state.autoFocus != 0);
    ui->arrowsBtn->setChecked(state.arrows != 0);
}

void PTZPage::ClearPage()
{
    ui->presetCombo->clear();
    ui->presetNameEdit->setText(QString());
    ui->cruiseCombo->clear();
    ui->cruiseNameEdit->setText(QString());
    ui->tableWidget->setRowCount(0);
    ui->patrolCombo->clear();
    ui->pSpinBox->setValue(0);
    ui->tSpinBox->setValue(0);
    ui->zSpinBox->setValue(0);
    for (QLineEdit *edit : {ui->panEdit, ui->tiltEdit, ui->visZoomEdit, ui->irZoomEdit, ui->visFovEdit, ui->irFovEdit,
                            ui->zoomMultEdit, ui->angleXEdit, ui->angleYEdit, ui->angleZEdit, ui->anglePEdit,
                            ui->angleTEdit, ui->angleRTEdit, ui->accelerationXEdit, ui->accelerationYEdit,
                            ui->accelerationZEdit, ui->rotationXEdit, ui->rotationYEdit, ui->rotationZEdit})
        edit->setText(QString());
}
