#ifndef PTZPAGE_H
#define PTZPAGE_H

#include <QMap>
#include <QWidget>

#include <memory>

#include "TMVNetSDK.h"

class MainWindow;
class QAbstractButton;
class QComboBox;

namespace Ui {
class PTZPageClass;
}

// The "PTZ" tab: head motion, lens, auxiliary switches, presets, tours,
// patterns, scans, positioning and tracking.
//
// The implementation is split by concern: PTZPage.cpp (construction and
// connections, handle, ability, auxiliary state, clear), PTZPage_motion.cpp
// (directions, zoom, focus, iris and the switches, one command table),
// PTZPage_positioning.cpp (one-shot commands, absolute positioning and
// tracking, coordinates, zoom multiplier, bearing, target tracking, power-off
// memory, running status, the on-video toggles), PTZPage_presets.cpp
// (presets, tours, patterns) and PTZPage_scans.cpp (area scans, boot and park
// actions).
//
// Threading model: every slot runs on the user-interface thread and calls
// the library synchronously; the page has no callbacks.
class PTZPage : public QWidget
{
    Q_OBJECT

public:
    explicit PTZPage(MainWindow *parent);
    ~PTZPage() override;

    // Enables the controls after the main window's ability record.
    void UpdateAbility();
    // Checks the switch buttons after the main window's auxiliary state;
    // sends nothing.
    void UpdateAuxState();
    // Empties the list and read-out fields at logout.
    void ClearPage();

    // The lists as last fetched, for tests.
    const QMap<int, TMV_NET_PRESET_INFO> &PresetMap() const { return m_presetMap; }
    const QMap<int, TMV_NET_TOUR_INFO> &TourMap() const { return m_tourMap; }
    const QMap<int, TMV_NET_REGION_SCAN_INFO> &AreaScanMap() const { return m_areaScanMap; }

signals:
    // Arm (true) or disarm (false) the matching tool on the video label.
    void Position3D(bool state);
    void PositionRegionFocus(bool state);
    void PositionManualTrack(bool state);

public slots:
    void OnChangeHandle(TMV_NET_HANDLE handle);

private slots:
    // Motion and switches (PTZPage_motion.cpp).
    void OnUpBtnPressed();
    void OnDownBtnPressed();
    void OnLeftBtnPressed();
    void OnRightBtnPressed();
    void OnUpLeftBtnPressed();
    void OnUpRightBtnPressed();
    void OnDownLeftBtnPressed();
    void OnDownRightBtnPressed();
    void OnBtnReleased();
    void OnZoomInBtnPressed();
    void OnZoomInBtnReleased();
    void OnZoomOutBtnPressed();
    void OnZoomOutBtnReleased();
    void OnFocusNearBtnPressed();
    void OnFocusNearBtnReleased();
    void OnFocusFarBtnPressed();
    void OnFocusFarBtnReleased();
    void OnIrisCloseBtnPressed();
    void OnIrisCloseBtnRealeased();
    void OnIrisOpenBtnPressed();
    void OnIrisOpenBtnRealeased();
    void OnWiperBtnClicked();
    void OnLightBtnClicked();
    void OnDefrostBtnClicked();
    void OnFogLampBtnClicked();
    void OnHearterBtnClicked();
    void OnFanBtnClicked();
    void OnArrowsBtnClicked();
    void OnAutoMaticBtnClicked();

    // Positioning, tracking and status (PTZPage_positioning.cpp).
    void OnThreeDimensionalBtnClicked();
    void OnRegionFocusBtnClicked();
    void OnManualTrackBtnClicked();
    void OnResetBtnClicked();
    void OnLensInitBtnClicked();
    void OnLaserDistanceBtnClicked();
    void OnSetButtonClicked();
    void OnSetATBtnClicked();
    void OnGetCoordinatesBtnClicked();
    void OnGetZoomBtnClicked();
    void OnSetZoomBtnClicked();
    void OnTargetConfigGetBtnClicked();
    void OnTargetConfigSetBtnClicked();
    void OnGetBearingBtnClicked();
    void OnGetPowerOffBtnClicked();
    void OnSetPowerOffBtnClicked();
    void OnGetPtzStatusBtnClicked();

    // Presets, tours and patterns (PTZPage_presets.cpp).
    void OnPresetComboChanged(int row);
    void OnPresetGetAllButtonClicked();
    void OnPresetDeleteAllButtonClicked();
    void OnGetCurrentPresetBtnClicked();
    void OnSaveButtonClicked();
    void OnMoveToButtonClicked();
    void OnDeleteButtonClicked();
    void OnCruiseComboChanged(int row);
    void OnCruiseGetAllButtonClicked();
    void OnCruiseDeleteAllButtonClicked();
    void OnAddPresetButtonClicked();
    void OnDeletePresetButtonClicked();
    void OnCruiseSaveButtonClicked();
    void OnCruiseDeleteButtonClicked();
    void OnCruiseStartButtonClicked();
    void OnPatrolComboChanged(int row);
    void OnPatrolGetAllButtonClicked();
    void OnPatrolDeleteAllButtonClicked();
    void OnStartPatrolButtonClicked();
    void OnStartRecordButtonClicked();

    // Area scans, boot and park actions (PTZPage_scans.cpp).
    void OnGetAllAreaScanInfoBtnClicked();
    void OnGetOneAreaScanBtnClicked();
    void OnSetAreaScanInfoBtnClicked();
    void OnAreaScanStartBtnClicked();
    void OnAreaScanStopBtnClicked();
    void OnDeleteOneAreaScanBtnClicked();
    void OnDeleteAllAreaScanBtnClicked();
    void OnBootRefreshBtnClicked();
    void OnBootConfirmBtnClicked();
    void OnParkRefreshBtnClicked();
    void OnParkConfirmBtnClicked();
    // The list slots of the radio buttons, shared by the boot and park tabs.
    void OnBootPresetRadioBtnClicked();
    void OnBootTourRadioBtnClicked();
    void OnBootPatternRadioBtnClicked();
    void OnBootAreaScanRadioBtnClicked();
    void OnBootLineScanRadioBtnClicked();
    void OnBootAutoResetRadioBtnClicked();

private:
    // Rows of the motion command table (PTZPage_motion.cpp): what each
    // button sends and under which operation name a failure is reported.
    enum MotionRow {
        MotionUp,
        MotionDown,
        MotionLeft,
        MotionRight,
        MotionUpLeft,
        MotionUpRight,
        MotionDownLeft,
        MotionDownRight,
        MotionStopDirection,
        MotionZoomOut,
        MotionZoomIn,
        MotionFocusNear,
        MotionFocusFar,
        MotionIrisClose,
        MotionIrisOpen,
        MotionWiper,
        MotionLight,
        MotionDefrost,
        MotionDefog,
        MotionFan,
        MotionHeater,
        MotionAutoFocus,
        MotionArrows,
        MotionRowCount
    };

    // The main window's live channel, for channel-bound calls.
    int LiveChannel() const;

    // One TMV_NET_PtzControl for `row`: `stop` 0 starts or switches on, 1
    // stops or switches off. Reports a failure with the row's name.
    void SendMotion(MotionRow row, int stop);
    // A switch button was clicked and has toggled: on when it is now checked.
    void SendSwitch(MotionRow row, const QAbstractButton *button);

    // Preset query (PTZPage_presets.cpp): size, then list into the preset
    // map under keys 0.. (overwriting, not clearing). Reports a failure and
    // returns false.
    bool QueryPresets();
    // Tour query: the same for tours into the tour map.
    bool QueryTours();
    // Pattern refresh: lists the device's patterns in `patrolCombo`.
    void RefreshPatterns();
    // Area-scan listing (PTZPage_scans.cpp): the area-scan map, the number
    // list and the start and stop preset lists.
    void ListAreaScans();
    // Area-scan defaults: clockwise, speed and gradient empty.
    void ResetAreaScanFields();
    // Selects `number` in `combo` (the boot or park list); a number of 0 or
    // less clears the selection of both lists.
    void SelectListNumber(QComboBox *combo, int number);

    std::unique_ptr<Ui::PTZPageClass> ui;
    MainWindow *m_mainWindow;
    TMV_NET_HANDLE m_handle;
    // Presets and tours by list row, area scans by their number.
    QMap<int, TMV_NET_PRESET_INFO> m_presetMap;
    QMap<int, TMV_NET_TOUR_INFO> m_tourMap;
    QMap<int, TMV_NET_REGION_SCAN_INFO> m_areaScanMap;
};

#endif // PTZPAGE_H
