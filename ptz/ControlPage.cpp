#include "ControlPage.h"
#include "ui_ControlPage.h"

#include "MainWindow.h"

ControlPage::ControlPage(MainWindow *parent)
    : QWidget(parent), ui(new Ui::ControlPage), m_mainWindow(parent), m_handle(nullptr)
{
    ui->setupUi(this);
    connect(m_mainWindow, SIGNAL(ChangeHandle(TMV_NET_HANDLE)), this, SLOT(OnChangeHandle(TMV_NET_HANDLE)));
}

ControlPage::~ControlPage() = default;

void ControlPage::OnChangeHandle(TMV_NET_HANDLE handle)
{
    m_handle = handle;
}
