// The "Trend" button: a window plotting the frame's and the rules'
// temperatures of the logged-in device over time.
#include "thermal/TempAlarmPage.h"
#include "ui_TempAlarmPage.h"

#include <QPushButton>

#include "app/MainWindow.h"
#include "thermal/trend/TrendSampler.h"
#include "thermal/trend/TrendWindow.h"

void TempAlarmPage::ConnectTrendControls()
{
    // Added after the alarm buttons, in the free end of their row, so the
    // form's own controls keep their places.
    m_trendBtn = new QPushButton(tr("Trend"), this);
    m_trendBtn->setObjectName(QStringLiteral("trendBtn"));
    ui->horizontalLayout_5->insertWidget(ui->horizontalLayout_5->indexOf(ui->getAlarmDataBtn) + 1, m_trendBtn);
    connect(m_trendBtn, SIGNAL(clicked()), this, SLOT(OnTrendBtnClicked()));
}

TrendWindow *TempAlarmPage::GetTrendWindow() const
{
    return m_trendWindow;
}

void TempAlarmPage::OnTrendBtnClicked()
{
    // One window per login: a window still sampling this handle is raised,
    // one left from an earlier login (stopped, still showing its data for
    // export) makes way for a new one.
    if (m_trendWindow && m_trendWindow->Sampler()->Running() && m_trendWindow->Sampler()->Handle() == m_handle) {
        m_trendWindow->show();
        m_trendWindow->raise();
        m_trendWindow->activateWindow();
        return;
    }
    delete m_trendWindow;
    const int presetPosition = std::max(0, ui->presetCombo->currentIndex());
    m_trendWindow = new TrendWindow(m_handle, presetPosition);
    m_trendWindow->setAttribute(Qt::WA_DeleteOnClose);
    TrendSampler *sampler = m_trendWindow->Sampler();
    if (m_mainWindow) {
        MainWindow *mainWindow = m_mainWindow;
        sampler->SetChannelProbe([mainWindow] { return mainWindow->Channel(); });
        connect(m_mainWindow, SIGNAL(ChangeHandle(TMV_NET_HANDLE)), sampler, SLOT(OnChangeHandle(TMV_NET_HANDLE)));
    }
    connect(this, SIGNAL(GetTempAlarm(int,TMV_NET_TEMP_ALARM_INFO)), m_trendWindow,
            SLOT(OnGetTempAlarm(int,TMV_NET_TEMP_ALARM_INFO)));
    m_trendWindow->show();
    m_trendWindow->Start();
}
