#include "TempAlarmPage.h"
#include "ui_TempAlarmPage.h"

#include "AlarmPage.h"
#include "MainWindow.h"

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
    ClearPage();
    connect(m_mainWindow, SIGNAL(ChangeHandle(TMV_NET_HANDLE)), this, SLOT(OnChangeHandle(TMV_NET_HANDLE)));
}

TempAlarmPage::~TempAlarmPage()
{
    delete m_alarmPage;
}

void TempAlarmPage::OnChangeHandle(TMV_NET_HANDLE handle)
{
    m_handle = handle;
}

void TempAlarmPage::UpdateAbility()
{
}

void TempAlarmPage::EnableTempControls()
{
}

void TempAlarmPage::DisableTempControls()
{
}

void TempAlarmPage::ClearPage()
{
}

int TempAlarmPage::CurrentPresetId() const
{
    return 0;
}

void TempAlarmPage::ShowOncePointTemp(float)
{
}
