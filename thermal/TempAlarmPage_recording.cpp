// The "Thermal Rec" button: recordings of the temperature stream and their
// replay; and the fan-out that lets them share the login's one stream with
// the page's own frame saving.
#include "thermal/TempAlarmPage.h"
#include "ui_TempAlarmPage.h"

#include <QMutexLocker>
#include <QPushButton>

#include <algorithm>

#include "app/MainWindow.h"
#include "common/DeviceCall.h"
#include "thermal/recording/ThermalRecWindow.h"

void TempAlarmPage::ConnectRecordingControls()
{
    // Beside "Trend", in the free end of the alarm buttons' row.
    m_thermalRecBtn = new QPushButton(tr("Thermal Rec"), this);
    m_thermalRecBtn->setObjectName(QStringLiteral("thermalRecBtn"));
    ui->horizontalLayout_5->insertWidget(ui->horizontalLayout_5->indexOf(m_trendBtn) + 1, m_thermalRecBtn);
    connect(m_thermalRecBtn, SIGNAL(clicked()), this, SLOT(OnThermalRecBtnClicked()));
}

ThermalRecWindow *TempAlarmPage::GetThermalRecWindow() const
{
    return m_recWindow;
}

void TempAlarmPage::OnThermalRecBtnClicked()
{
    // One window: it follows the login by itself.
    if (!m_recWindow) {
        m_recWindow = new ThermalRecWindow(this, m_mainWindow);
        m_recWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_recWindow->show();
    m_recWindow->raise();
    m_recWindow->activateWindow();
}

bool TempAlarmPage::HasTempSinks()
{
    QMutexLocker locker(&m_sinkMutex);
    return !m_sinks.empty();
}

int TempAlarmPage::AddTempSink(TempSink sink, int *id)
{
    // In place before the stream starts, so its first frame is not missed.
    const int added = m_nextSinkId++;
    {
        QMutexLocker locker(&m_sinkMutex);
        m_sinks.emplace_back(added, std::move(sink));
    }
    if (!m_tempRegistered) {
        const int status = DeviceCall::run(TMV_NET_StartPullTemp_V2, m_handle, &TempAlarmPage::TempStreamCallback, this);
        if (status != 0) {
            QMutexLocker locker(&m_sinkMutex);
            m_sinks.pop_back();
            return status;
        }
        m_tempRegistered = true;
    }
    *id = added;
    return 0;
}

void TempAlarmPage::RemoveTempSink(int id)
{
    bool last = false;
    {
        QMutexLocker locker(&m_sinkMutex);
        m_sinks.erase(std::remove_if(m_sinks.begin(), m_sinks.end(),
                                     [id](const std::pair<int, TempSink> &s) { return s.first == id; }),
                      m_sinks.end());
        last = m_sinks.empty();
    }
    if (last && m_tempRegistered && !m_tempStreamStarted) {
        DeviceCall::run(TMV_NET_StopPullTemp, m_handle);
        m_tempRegistered = false;
    }
}

void TempAlarmPage::FanOut(const uint16_t *values, int width, int height)
{
    const int64_t count = int64_t(width) * height;
    if (width <= 0 || height <= 0 || !values || count > int64_t(8192) * 8192)
        return;
    QMutexLocker locker(&m_sinkMutex);
    for (const std::pair<int, TempSink> &sink : m_sinks)
        sink.second(values, width, height);
}
