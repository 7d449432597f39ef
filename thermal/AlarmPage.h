#ifndef ALARMPAGE_H
#define ALARMPAGE_H

#include <QStringList>
#include <QWidget>

#include <memory>

#include "TMVNetSDK.h"

class QStandardItemModel;

namespace Ui {
class AlarmPage;
}

// The alarm list: a top-level window with one row per alarm received while
// the application runs, newest at the bottom. Closing it only hides it.
//
// Threading model: user-interface thread only; rows come from the queued
// alarm slots of the temperature page.
class AlarmPage : public QWidget
{
    Q_OBJECT

public:
    explicit AlarmPage(QWidget *parent = nullptr);
    ~AlarmPage() override;

    // One row per alarm; the cells follow AlarmText::Cells of the record.
    void AddAlarmRow(int alarmType, const TMV_NET_TEMP_ALARM_INFO &info);
    void AddAlarmRow(int alarmType, const TMV_NET_FIRE_ALARM_INFO &info);
    void AddAlarmRow(int alarmType, const TMV_NET_REGION_INTRUSION_ALARM_INFO &info);
    void AddAlarmRow(int alarmType, const TMV_NET_LINE_INTRUSION_ALARM_INFO &info);
    void AddAlarmRow(int alarmType, const TMV_NET_SMOKE_DETECT_ALARM_INFO &info);
    void AddAlarmRow(int alarmType, const TMV_NET_TEMP_DIFF_ALARM_INFO &info);
    void AddAlarmRow(int alarmType, const TMV_NET_DYNAMIC_ALARM_INFO &info);
    void AddAlarmRow(int alarmType, const TMV_NET_LOCAL_ALARM_INFO &info);
    void AddAlarmRow(int alarmType, const TMV_NET_HIGH_LIGHT_ALARM_INFO &info);
    void AddAlarmRow(int alarmType, const TMV_NET_OBJECT_PULSE_ALARM_INFO &info);
    void AddAlarmRow(int alarmType, const TMV_NET_TRACK_STATE_ALARM_INFO &info);
    void AddAlarmRow(int alarmType, const TMV_NET_TRACK_OBJECT_ALARM_INFO &info);
    void AddAlarmRow(int alarmType, const TMV_NET_LOGIN_EXCEPTION_ALARM_INFO &info);
    void AddAlarmRow(int alarmType, const TMV_NET_SD_EXCEPTION_ALARM_INFO &info);
    void ClearAlarms();

    int RowCount() const;
    // The eight texts of a row, for tests and tools.
    QStringList RowTexts(int row) const;

private:
    void AppendRow(const QStringList &cells);

    std::unique_ptr<Ui::AlarmPage> ui;
    QStandardItemModel *m_model; // owned by the table view
};

#endif // ALARMPAGE_H
