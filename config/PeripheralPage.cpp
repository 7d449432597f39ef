#include "PeripheralPage.h"
#include "ui_PeripheralPage.h"

#include "MainWindow.h"

PeripheralPage::PeripheralPage(MainWindow *parent)
    : QWidget(parent), ui(new Ui::PeripheralPage), m_mainWindow(parent), m_handle(nullptr)
{
    ui->setupUi(this);
    connect(m_mainWindow, SIGNAL(ChangeHandle(TMV_NET_HANDLE)), this, SLOT(OnChangeHandle(TMV_NET_HANDLE)));
}

PeripheralPage::~PeripheralPage() = default;

void PeripheralPage::OnChangeHandle(TMV_NET_HANDLE handle)
{
    m_handle = handle;
}

void PeripheralPage::EnableDayNight(bool enable)
{
    ui->groupBox_2->setEnabled(enable);
}
