#include "Intelligent.h"
#include "ui_Intelligent.h"

#include "MainWindow.h"

Intelligent::Intelligent(MainWindow *parent)
    : QWidget(parent), ui(new Ui::Intelligent), m_mainWindow(parent), m_handle(nullptr)
{
    ui->setupUi(this);
    connect(m_mainWindow, SIGNAL(ChangeHandle(TMV_NET_HANDLE)), this, SLOT(OnChangeHandle(TMV_NET_HANDLE)));
}

Intelligent::~Intelligent() = default;

void Intelligent::OnChangeHandle(TMV_NET_HANDLE handle)
{
    m_handle = handle;
}
