#include "config/Intelligent.h"
#include "ui_Intelligent.h"

#include <cstring>

#include "app/MainWindow.h"
#include "common/DeviceCall.h"
#include "common/MsgBox.h"
#include "config/RecognitionRecord.h"

Intelligent::Intelligent(MainWindow *parent)
    : QWidget(parent), ui(new Ui::IntelligentClass), m_mainWindow(parent), m_handle(nullptr)
{
    ui->setupUi(this);
    // Item index = target type the device uses.
    ui->targetTypeComboBox->addItems({tr("All"), tr("Man"), tr("Car"), tr("Object"), tr("Truck"), tr("Boat"),
                                      tr("Plane"), tr("Drone"), tr("Bird")});
    // Item index + 1 = tracking mode the device uses.
    ui->modeComboBox->addItems({QStringLiteral("Manual"), QStringLiteral("FOV"), QStringLiteral("Auto")});

    connect(m_mainWindow, SIGNAL(ChangeHandle(TMV_NET_HANDLE)), this, SLOT(OnChangeHandle(TMV_NET_HANDLE)));
    connect(ui->getTargetBtn, SIGNAL(clicked()), this, SLOT(OnGetTargetBtnClicked()));
    connect(ui->setTargetBtn, SIGNAL(clicked()), this, SLOT(OnSetTargetBtnClicked()));
}

Intelligent::~Intelligent() = default;

void Intelligent::OnChangeHandle(TMV_NET_HANDLE handle)
{
    m_handle = handle;
}

void Intelligent::OnGetTargetBtnClicked()
{
    TMV_NET_TARGET_RECOGNITION_CONFIG config;
    std::memset(&config, 0, sizeof config);
    const int status = DeviceCall::run(TMV_NET_GetTargetRecognitionConfig, m_handle, m_mainWindow->Channel(), &config);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("GetTargetRecognitionConfig"), status);
        return;
    }
    const RecognitionForm form =
        RecognitionFormFromRecord(config, ui->targetTypeComboBox->count(), ui->modeComboBox->count());
    ui->enableCheckBox->setChecked(form.enable);
    ui->targetTypeComboBox->setCurrentIndex(form.targetType);
    ui->sensitivityEdit->setText(form.sensitivity);
    ui->snapCheckBox->setChecked(form.snap);
    ui->snapCh1CheckBox->setChecked(form.snapCh1);
    ui->snapCh2CheckBox->setChecked(form.snapCh2);
    ui->snapDelayEdit->setText(form.snapDelay);
    ui->recordCheckBox->setChecked(form.record);
    ui->recordCh1CheckBox->setChecked(form.recordCh1);
    ui->recordCh2CheckBox->setChecked(form.recordCh2);
    ui->recordDelayEdit->setText(form.recordDelay);
    ui->trackCheckBox->setChecked(form.track);
    ui->trackTimeEdit->setText(form.trackTime);
    ui->lostTimeEdit->setText(form.lostTime);
    ui->modeComboBox->setCurrentIndex(form.mode);
    ui->lrfCheckBox->setChecked(form.lrf);
}

void Intelligent::OnSetTargetBtnClicked()
{
    RecognitionForm form;
    form.enable = ui->enableCheckBox->isChecked();
    form.targetType = ui->targetTypeComboBox->currentIndex();
    form.sensitivity = ui->sensitivityEdit->text();
    form.snap = ui->snapCheckBox->isChecked();
    form.snapCh1 = ui->snapCh1CheckBox->isChecked();
    form.snapCh2 = ui->snapCh2CheckBox->isChecked();
    form.snapDelay = ui->snapDelayEdit->text();
    form.record = ui->recordCheckBox->isChecked();
    form.recordCh1 = ui->recordCh1CheckBox->isChecked();
    form.recordCh2 = ui->recordCh2CheckBox->isChecked();
    form.recordDelay = ui->recordDelayEdit->text();
    form.track = ui->trackCheckBox->isChecked();
    form.trackTime = ui->trackTimeEdit->text();
    form.lostTime = ui->lostTimeEdit->text();
    form.mode = ui->modeComboBox->currentIndex();
    form.lrf = ui->lrfCheckBox->isChecked();

    const TMV_NET_TARGET_RECOGNITION_CONFIG config = RecognitionRecordFromForm(form);
    const int status = DeviceCall::run(TMV_NET_SetTargetRecognitionConfig, m_handle, m_mainWindow->Channel(), &config);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("SetTargetRecognitionConfig"), status);
}
