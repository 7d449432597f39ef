#ifndef TEMPALARMPAGE_H
#define TEMPALARMPAGE_H

#include <QWidget>

#include <memory>

#include "TMVNetSDK.h"

class AlarmPage;
class MainWindow;

namespace Ui {
class TempAlarmPage;
}

// The "Temp Alarm" tab: frame temperatures and alarms, measurement rules and
// masks, temperature streams and the alarm subscription. Owns the alarm list
// window.
class TempAlarmPage : public QWidget
{
    Q_OBJECT

public:
    explicit TempAlarmPage(MainWindow *parent);
    ~TempAlarmPage() override;

    // Follow the main window's ability record.
    void UpdateAbility();
    // Temperature work is possible only on the thermal channel.
    void EnableTempControls();
    void DisableTempControls();
    void ClearPage();

    AlarmPage *GetAlarmPage() const { return m_alarmPage; }

    // The preset that new rules and masks belong to (0: the whole frame).
    int CurrentPresetId() const;
    // Shows a one-point reading taken on the picture.
    void ShowOncePointTemp(float temp);

public slots:
    void OnChangeHandle(TMV_NET_HANDLE handle);

private:
    std::unique_ptr<Ui::TempAlarmPage> ui;
    MainWindow *m_mainWindow;
    TMV_NET_HANDLE m_handle;
    AlarmPage *m_alarmPage;
};

#endif // TEMPALARMPAGE_H
