#ifndef TEMPALARMPAGE_H
#define TEMPALARMPAGE_H

#include <QList>
#include <QMap>
#include <QMutex>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "TMVNetSDK.h"

class AlarmPage;
class MainWindow;
class QCheckBox;
class QLineEdit;
class QPushButton;
class ThermalRecWindow;
class TrendWindow;

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
// TempAlarmPage_g1.cpp (tiered rules and thresholds), TempAlarmPage_streams.cpp
// (temperature and raw streams, frame files), TempAlarmPage_alarms.cpp (the
// alarm subscription, its pictures and the alarm list), TempAlarmPage_trend.cpp
// (the trend window), TempAlarmPage_recording.cpp (thermal recordings and
// the fan-out of the temperature stream).
//
// Threading model: every slot runs on the user-interface thread. The three
// static callbacks run on the library's threads: they only copy, write a file
// under a stream's mutex, or emit a queued signal. Before the page goes it
// stops its streams and unsubscribes, so no callback reaches a dead page.
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
    // The trend window, while open.
    TrendWindow *GetTrendWindow() const;
    // The thermal recording window, while open.
    ThermalRecWindow *GetThermalRecWindow() const;

    // The login's one temperature stream, shared: the page's own frame
    // saving and any number of sinks take the frames of one registration on
    // the library, whose callback stays the page's. A sink runs on the
    // stream's thread with values valid only during the call, and is never
    // called again once RemoveTempSink returns. Adding starts the stream
    // when nothing holds it (the library's status is returned); removing the
    // last sink stops it unless the page's own stream is open.
    using TempSink = std::function<void(const uint16_t *values, int width, int height)>;
    int AddTempSink(TempSink sink, int *id);
    void RemoveTempSink(int id);

    // Library callbacks; `user` is the page. Public so tests and tools can
    // play the library's part.
    static void TempStreamCallback(TMV_NET_HANDLE handle, const TMV_NET_TEMP_FRAME *frame, int32_t channel,
                                   void *user);
    static void RawStreamCallback(TMV_NET_HANDLE handle, const uint16_t *data, int32_t width, int32_t height,
                                  void *user);
    static void AlarmCallback(TMV_NET_HANDLE handle, int32_t alarmType, const void *alarmInfo, void *user);

    // The largest alarm picture saved. The record's size is the only bound
    // on the library's bytes; a device sends JPEGs of at most a few MB (a
    // 4K visible frame at top quality is under 8 MB), so a size beyond this
    // is a broken record and its picture is treated as absent.
    static constexpr int32_t kMaxAlarmPictureBytes = 16 * 1024 * 1024;

    // The preset that new rules and masks belong to (0: the whole frame).
    int CurrentPresetId() const;
    // Shows a one-point reading taken on the picture.
    void ShowOncePointTemp(float temp);

    // The lists as last fetched, for the main window's tools and for tests.
    const QMap<int, TMV_NET_TEMP_RULE_KEY> &RuleKeyMap() const { return ruleKeyMap; }
    const QMap<int, TMV_NET_TEMP_RULE> &RuleMap() const { return ruleMap; }
    const QMap<int, TMV_NET_TEMP_RULE_G1> &RuleG1Map() const { return ruleG1Map; }
    const QMap<QString, TMV_NET_TEMP_MASK> &MaskMap() const { return maskMap; }

signals:
    // Emitted on the alarm thread, delivered queued (one per record type).
    void GetTempAlarm(int alarmType, TMV_NET_TEMP_ALARM_INFO alarmInfo);
    void GetFireAlarm(int alarmType, TMV_NET_FIRE_ALARM_INFO alarmInfo);
    void GetTempDiffAlarm(int alarmType, TMV_NET_TEMP_DIFF_ALARM_INFO alarmInfo);
    void GetHighLightAlarm(int alarmType, TMV_NET_HIGH_LIGHT_ALARM_INFO alarmInfo);
    void GetRegionIntrusionAlarm(int alarmType, TMV_NET_REGION_INTRUSION_ALARM_INFO alarmInfo);
    void GetLineIntrusionAlarm(int alarmType, TMV_NET_LINE_INTRUSION_ALARM_INFO alarmInfo);
    void GetObjectPulseAlarm(int alarmType, TMV_NET_OBJECT_PULSE_ALARM_INFO alarmInfo);
    void GetDynamicAlarm(int alarmType, TMV_NET_DYNAMIC_ALARM_INFO alarmInfo);
    void GetSmokeDetectAlarm(int alarmType, TMV_NET_SMOKE_DETECT_ALARM_INFO alarmInfo);
    void GetLocalAlarm(int alarmType, TMV_NET_LOCAL_ALARM_INFO alarmInfo);
    void GetTrackStateAlarm(int alarmType, TMV_NET_TRACK_STATE_ALARM_INFO alarmInfo);
    void GetTrackObjectAlarm(int alarmType, TMV_NET_TRACK_OBJECT_ALARM_INFO alarmInfo);
    void GetLoginExceptionAlarm(int alarmType, TMV_NET_LOGIN_EXCEPTION_ALARM_INFO alarmInfo);
    void GetSdExceptionAlarm(int alarmType, TMV_NET_SD_EXCEPTION_ALARM_INFO alarmInfo);
    // Emitted on a stream thread when a requested frame file could not be
    // written.
    void FrameFileFailed(QString fileName);

public slots:
    void OnChangeHandle(TMV_NET_HANDLE handle);
    void OnShielded(int ruleType, QList<QPoint> points);

private slots:
    // The "Standard" or "G1" tab was chosen (TempAlarmPage.cpp).
    void OnTabChanged(int index);

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

    // Streams (TempAlarmPage_streams.cpp).
    void OnOpenTempStreamBtnClicked();
    void OnOpenAtrTempStreamBtnClicked();
    void OnOpenRawStreamBtnClicked();
    void OnSaveOneFrameBtnClicked();
    void OnSaveRawOneFrameBtnClicked();
    void OnFrameFileFailed(QString fileName);

    // Subscription and the alarm list (TempAlarmPage_alarms.cpp).
    void OnOpenAlarmCallbackBtnClicked();
    void OnOpenAtrAlarmCallbackBtnClicked();
    void OnGetAlarmDataBtnClicked();
    void OnGetTempAlarm(int alarmType, TMV_NET_TEMP_ALARM_INFO alarmInfo);
    void OnGetFireAlarm(int alarmType, TMV_NET_FIRE_ALARM_INFO alarmInfo);
    void OnGetTempDiffAlarm(int alarmType, TMV_NET_TEMP_DIFF_ALARM_INFO alarmInfo);
    void OnGetHighLightAlarm(int alarmType, TMV_NET_HIGH_LIGHT_ALARM_INFO alarmInfo);
    void OnGetRegionIntrusionAlarm(int alarmType, TMV_NET_REGION_INTRUSION_ALARM_INFO alarmInfo);
    void OnGetLineIntrusionAlarm(int alarmType, TMV_NET_LINE_INTRUSION_ALARM_INFO alarmInfo);
    void OnGetObjectPulseAlarm(int alarmType, TMV_NET_OBJECT_PULSE_ALARM_INFO alarmInfo);
    void OnGetDynamicAlarm(int alarmType, TMV_NET_DYNAMIC_ALARM_INFO alarmInfo);
    void OnGetSmokeDetectAlarm(int alarmType, TMV_NET_SMOKE_DETECT_ALARM_INFO alarmInfo);
    void OnGetLocalAlarm(int alarmType, TMV_NET_LOCAL_ALARM_INFO alarmInfo);
    void OnGetTrackStateAlarm(int alarmType, TMV_NET_TRACK_STATE_ALARM_INFO alarmInfo);
    void OnGetTrackObjectAlarm(int alarmType, TMV_NET_TRACK_OBJECT_ALARM_INFO alarmInfo);
    void OnGetLoginExceptionAlarm(int alarmType, TMV_NET_LOGIN_EXCEPTION_ALARM_INFO alarmInfo);
    void OnGetSdExceptionAlarm(int alarmType, TMV_NET_SD_EXCEPTION_ALARM_INFO alarmInfo);

    // The trend window (TempAlarmPage_trend.cpp).
    void OnTrendBtnClicked();
    // The thermal recording window (TempAlarmPage_recording.cpp).
    void OnThermalRecBtnClicked();

private:
    // The save-one-frame request of one stream. Every member is read and
    // written only under `mutex`, which the stream callback also holds while
    // it writes the file.
    struct FrameSaveRequest
    {
        QMutex mutex;
        bool pending = false;
        QString fileName;
    };
    // Alarm pictures are saved once per kind (one kind per file prefix).
    enum PictureKind {
        kPictureTemp,
        kPictureFire,
        kPictureTempDiff,
        kPictureHighLight,
        kPictureRegion,
        kPictureLine,
        kPictureObject,
        kPictureDynamic,
        kPictureSmokeDetect,
        kPictureLocal,
        kPictureTrackState,
        kPictureTrackObject,
        kPictureLoginException,
        kPictureKinds,
        kNoPictures = -1
    };

    // Seeds the lists as a device would have filled them.
    friend class TestTempAlarmPage;

    void ConnectFrameControls();
    void ConnectRuleControls();
    void ConnectG1Controls();
    void ConnectStreamControls();
    void ConnectAlarmControls();
    void ConnectTrendControls();
    void ConnectRecordingControls();
    // Stream thread: hands the frame to every sink.
    void FanOut(const uint16_t *values, int width, int height);
    bool HasTempSinks();
    // Stream thread: writes the frame when a save was asked for.
    void ServeSaveRequest(FrameSaveRequest &request, const uint16_t *data, int width, int height);
    // Alarm thread: copies the record, emits it, saves its pictures.
    template <class Record>
    void DispatchAlarm(int alarmType, const void *alarmInfo, void (TempAlarmPage::*signal)(int, Record),
                       PictureKind pictures);
    void SavePictures(PictureKind kind, const TMV_NET_ALARM_PICTURE (&pictures)[2]);
    void ToggleTempStream(QPushButton *openButton, QPushButton *saveButton, bool sendCorrection);
    void ToggleSubscription(QPushButton *button, bool snapshotForm);
    // Asks for a file name and hands it to the request.
    void RequestFrameSave(FrameSaveRequest &request);
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
    QPushButton *m_trendBtn = nullptr;
    // Top-level and deleted on close; the page deletes it when it goes.
    QPointer<TrendWindow> m_trendWindow;
    QPushButton *m_thermalRecBtn = nullptr;
    QPointer<ThermalRecWindow> m_recWindow;

    // Presets by position in presetCombo; position 0 ("Frame") has none.
    QMap<int, TMV_NET_PRESET_INFO> presetMap;
    // Rules by position in ruleCombo (standard list) or by list position
    // (G1 list); whichever list was fetched last owns ruleKeyMap.
    QMap<int, TMV_NET_TEMP_RULE_KEY> ruleKeyMap;
    QMap<int, TMV_NET_TEMP_RULE> ruleMap;
    QMap<int, TMV_NET_TEMP_RULE_G1> ruleG1Map;
    // Masks by their list text ("SR" + id).
    QMap<QString, TMV_NET_TEMP_MASK> maskMap;

    // Temperature stream (both tabs) and raw stream.
    FrameSaveRequest m_tempSave;
    FrameSaveRequest m_rawSave;
    // What this page started and has not stopped, whatever the button texts
    // say after ClearPage; the destructor stops these. UI thread only.
    bool m_tempStreamStarted = false;
    // The library holds the page's temperature callback (for the page's
    // stream or for sinks). UI thread only.
    bool m_tempRegistered = false;
    // Sinks of the temperature stream; the callback holds the mutex while
    // it calls them, so a removal waits for a call in progress.
    QMutex m_sinkMutex;
    std::vector<std::pair<int, TempSink>> m_sinks;
    int m_nextSinkId = 1;
    bool m_rawStreamStarted = false;
    bool m_alarmSubscribed = false;
    // Set while a kind's pictures are still to be saved; claimed with an
    // exchange on the alarm thread, so two alarms together save them once.
    std::array<std::atomic<bool>, kPictureKinds> m_pictureFlags;
};

#endif // TEMPALARMPAGE_H
