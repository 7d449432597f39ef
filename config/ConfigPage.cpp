#include "ConfigPage.h"
#include "ui_ConfigPage.h"

#include "MainWindow.h"

ConfigPage::ConfigPage(MainWindow *parent)
    : QWidget(parent), ui(new Ui::ConfigPage), m_mainWindow(parent), m_handle(nullptr)
{
    ui->setupUi(this);
    connect(m_mainWindow, SIGNAL(ChangeHandle(TMV_NET_HANDLE)), this, SLOT(OnChangeHandle(TMV_NET_HANDLE)));
}

ConfigPage::~ConfigPage() = default;

void ConfigPage::OnChangeHandle(TMV_NET_HANDLE handle)
{
    m_handle = handle;
}

void ConfigPage::ClearPage()
{
}
