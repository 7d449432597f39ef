#include "AlarmPage.h"
#include "ui_AlarmPage.h"

AlarmPage::AlarmPage(QWidget *parent)
    : QWidget(parent), ui(new Ui::AlarmPage)
{
    ui->setupUi(this);
}

AlarmPage::~AlarmPage() = default;
