#include "PTZPage.h"
#include "ui_PTZPage.h"

#include "MainWindow.h"

PTZPage::PTZPage(MainWindow *parent)
    : QWidget(parent), ui(new Ui::PTZPage), m_mainWindow(parent), m_handle(nullptr)
{
    ui->setupUi(this);
    connect(m_mainWindow, SIGNAL(ChangeHandle(TMV_NET_HANDLE)), this, SLOT(OnChangeHandle(TMV_NET_HANDLE)));
}

PTZPage::~PTZPage() = default;

void PTZPage::OnChangeHandle(TMV_NET_HANDLE handle)
{
    m_handle = handle;
}

void PTZPage::UpdateAbility()
{
}

void PTZPage::UpdateAuxState()
{
}

void PTZPage::ClearPage()
{
}
