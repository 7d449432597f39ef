#ifndef TEMPALARMPAGE_H
#define TEMPALARMPAGE_H

#include <QList>
#include <QMap>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <memory>

#include "TMVNetSDK.h"

class AlarmPage;
class MainWindow;
class QCheckBox;
class QLineEdit;

namespace Ui {
class TempAlarmPage;
}

// The "Temp Alarm" tab: frame temperatures and alarms, measurement rules and
// masks, the tiered (G1) rules, temperature streams and the alarm
// subscription. Owns the alarm list window.
//
// The implementation is split by concern: TempAlarmPage.cpp (construction,
// handle, ability, clear), TempAlarmPage_frame.cpp (frame group, switch,
// point reading, presets), TempAlarmPage_rules.cpp (rules and masks),
// TempAlarmPage_g1.cpp (tiered rules and thresholds).
//
// Threading model: every slot runs on the user-interface thread; nothing
// here is called back by the library yet.
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

    // The lists as last fetched, for the main window's tools and for tests.
    const QMap<int, TMV_NET_TEMP_RULE_KEY> &RuleKeyMap() const { return ruleKeyMap; }
    const QMap<int, TMV_NET_TEMP_RULE> &RuleMap() const { return ruleMap; }
    const QMap<int, TMV_NET_TEMP_RULE_G1> &RuleG1Map() const { return ruleG1Map; }
    const QMap<QString, TMV_NET_TEMP_MASK> &MaskMap() const { return maskMap; }

public slots:
    void OnChangeHandle(TMV_NET_HANDLE handle);
    void OnShielded(int ruleType, QList<QPoint> points);

private slots:
    // Frame group, switch, point reading, presets (TempAlarmPage_frame.cpp).
    void OnGetFrameTempDataBtnClicked();
    void OnSetAlarmInfoBtnClicked();
    void OnGetTempEnableBtnClicked();
    void OnSetTempEnableBtnClicked();
    void OnpointOnceMeasureBtnClicked();
    void OnGetAllPreSetBtnClicked();
    void OnMoveToBtnClicked();

    // Rules and masks (TempAlarmPage_rules.cpp).
    void OnGetAllRulesBtnClicked();
    void OnDeleteAllRulesBtnClicked();
    void OnGetOneRuleInfoBtnClicked();
    void OnDeleteOneRuleInfoBtnClicked();
    void OnROISetBtnClicked();
    void OnShieldedGetAllBtnClicked();
    void OnShieldedDeleteAllBtnClicked();
    void OnShieldedDeleteBtnClicked();

    // Tiered rules (TempAlarmPage_g1.cpp).
    void OnGetAtrAllRulesBtnClicked();
    void OnDeleteAtrAllBtnClicked();
    void OngetAtrOneRuleInfoBtnClicked();
    void OnDeleteAtrOneRuleInfoBtnClicked();
    void OnGetAtrOneAlarmInfoBtnClicked();
    void OnSetAtrOneAlarmInfoBtnClicked();

private:
    // Seeds the lists as a device would have filled them.
    friend class TestTempAlarmPage;

    void ConnectFrameControls();
    void ConnectRuleControls();
    void ConnectG1Controls();
    void SetTempControlsEnabled(bool enabled);
    // Replace the standard or the G1 list with `count` records of a fetch.
    void FillRuleList(const TMV_NET_TEMP_RULE *rules, int count);
    void FillG1List(const TMV_NET_TEMP_RULE_G1 *rules, int count);
    void ClearRuleControls();
    void ClearG1Controls();
    // Shows the tiered settings of the frame or of a rule in the G1 controls.
    void ShowG1Alarm(const TMV_NET_TEMP_ALARM_G1 &alarm);
    // One linkage block (enable, channel 1, channel 2, delay) to its four
    // controls and back; shared by the frame alarm and the rules.
    static void ShowLinkage(const TMV_NET_ALARM_LINKAGE &linkage, QCheckBox *enable, QCheckBox *channel1,
                            QCheckBox *channel2, QLineEdit *delay);
    static void ReadLinkage(TMV_NET_ALARM_LINKAGE &linkage, const QCheckBox *enable, const QCheckBox *channel1,
                            const QCheckBox *channel2, const QLineEdit *delay);
    // The current position of the preset combo; -1 (and the "Please select the preset!"
    // box) when nothing is selected.
    int SelectedPresetPosition();

    std::unique_ptr<Ui::TempAlarmPage> ui;
    MainWindow *m_mainWindow;
    TMV_NET_HANDLE m_handle;
    AlarmPage *m_alarmPage;

    // Presets by position in presetCombo; position 0 ("Frame") has none.
    QMap<int, TMV_NET_PRESET_INFO> presetMap;
    // Rules by position in ruleCombo (standard list) or by list position
    // (G1 list); whichever list was fetched last owns ruleKeyMap.
    QMap<int, TMV_NET_TEMP_RULE_KEY> ruleKeyMap;
    QMap<int, TMV_NET_TEMP_RULE> ruleMap;
    QMap<int, TMV_NET_TEMP_RULE_G1> ruleG1Map;
    // Masks by their list text ("SR" + id).
    QMap<QString, TMV_NET_TEMP_MASK> maskMap;
};

#endif // TEMPALARMPAGE_H
