// Head motion, lens and the auxiliary switches: every button of the control
// panel that goes through TMV_NET_PtzControl, driven by one command table.
#include "ptz/PTZPage.h"
#include "ui_PTZPage.h"

#include <cstring>

#include "app/MainWindow.h"
#include "common/DeviceCall.h"
#include "common/MsgBox.h"

namespace {

struct MotionCommand
{
    int command;
    // Direction commands carry the speed of speedCombo; the others leave it 0.
    bool withSpeed;
    // Operation names reported on failure: on start (press, switch on) and
    // on stop (release, switch off). The blanks are part of the names users
    // and their scripts know the failures by.
    const char *startName;
    const char *stopName;
};

// Indexed by PTZPage::MotionRow.
const MotionCommand kMotionTable[] = {
    {0, true, QT_TRANSLATE_NOOP("PTZPage", "PTZ control"), nullptr},                 // up
    {1, true, QT_TRANSLATE_NOOP("PTZPage", "PTZ control"), nullptr},                 // down
    {2, true, QT_TRANSLATE_NOOP("PTZPage", "PTZ control "), nullptr},                // left
    {3, true, QT_TRANSLATE_NOOP("PTZPage", "PTZ control "), nullptr},                // right
    {4, true, QT_TRANSLATE_NOOP("PTZPage", "PTZ control "), nullptr},                // up-left
    {5, true, QT_TRANSLATE_NOOP("PTZPage", "PTZ control "), nullptr},                // up-right
    {6, true, QT_TRANSLATE_NOOP("PTZPage", "PTZ control "), nullptr},                // down-left
    {7, true, QT_TRANSLATE_NOOP("PTZPage", "PTZ control "), nullptr},                // down-right
    // One stop for whichever direction is moving.
    {0, true, nullptr, QT_TRANSLATE_NOOP("PTZPage", "PTZ control  ")},
    {8, false, QT_TRANSLATE_NOOP("PTZPage", "PTZ control "), QT_TRANSLATE_NOOP("PTZPage", "PTZ control")},  // zoom out
    {9, false, QT_TRANSLATE_NOOP("PTZPage", "PTZ control "), QT_TRANSLATE_NOOP("PTZPage", "PTZ control")},  // zoom in
    {10, false, QT_TRANSLATE_NOOP("PTZPage", "PTZ control "), QT_TRANSLATE_NOOP("PTZPage", "PTZ control")}, // focus near
    {11, false, QT_TRANSLATE_NOOP("PTZPage", "PTZ control "), QT_TRANSLATE_NOOP("PTZPage", "PTZ control")}, // focus far
    {12, false, QT_TRANSLATE_NOOP("PTZPage", "PTZ control"), QT_TRANSLATE_NOOP("PTZPage", "PTZ control")},  // iris close
    {13, false, QT_TRANSLATE_NOOP("PTZPage", "PTZ control"), QT_TRANSLATE_NOOP("PTZPage", "PTZ control")},  // iris open
    {14, false, QT_TRANSLATE_NOOP("PTZPage", "PTZ Wiper control"), QT_TRANSLATE_NOOP("PTZPage", "PTZ Wiper control")},
    {15, false, QT_TRANSLATE_NOOP("PTZPage", "PTZ Light control"), QT_TRANSLATE_NOOP("PTZPage", "PTZ Light control")},
    {16, false, QT_TRANSLATE_NOOP("PTZPage", "PTZ Deforst control"),
     QT_TRANSLATE_NOOP("PTZPage", "PTZ Deforst control")},
    {17, false, QT_TRANSLATE_NOOP("PTZPage", "PTZ Defog control"), QT_TRANSLATE_NOOP("PTZPage", "PTZ Defog control")},
    {18, false, QT_TRANSLATE_NOOP("PTZPage", "PTZ Fan control"), QT_TRANSLATE_NOOP("PTZPage", "PTZ Fan control")},
    {19, false, QT_TRANSLATE_NOOP("PTZPage", "PTZ Hearter control"),
     QT_TRANSLATE_NOOP("PTZPage", "PTZ Hearter control")},
    {20, false, QT_TRANSLATE_NOOP("PTZPage", "PTZ AutoFocus control"),
     QT_TRANSLATE_NOOP("PTZPage", "PTZ AutoFocus control")},
    {21, false, QT_TRANSLATE_NOOP("PTZPage", "PTZ  arrow control"), QT_TRANSLATE_NOOP("PTZPage", "PTZ arrow control")},
};

} // namespace

void PTZPage::SendMotion(MotionRow row, int stop)
{
    static_assert(sizeof kMotionTable / sizeof kMotionTable[0] == MotionRowCount, "one table row per MotionRow");
    const MotionCommand &entry = kMotionTable[row];
    TMV_NET_PTZ_CONTROL control;
    std::memset(&control, 0, sizeof control);
    control.channel = LiveChannel();
    control.command = entry.command;
    if (entry.withSpeed)
        control.speed = ui->speedCombo->currentText().toInt(nullptr, 10);
    control.stop = stop;

    const int32_t status = DeviceCall::run(TMV_NET_PtzControl, m_handle, &control);
    if (status != 0) {
        const char *name = stop == 0 ? entry.startName : entry.stopName;
        MsgBox::Instance()->ShowResult(tr(name), status);
    }
}

void PTZPage::SendSwitch(MotionRow row, const QAbstractButton *button)
{
    // clicked() comes after the toggle; a failure leaves the new state, so
    // the next click asks for the opposite again.
    SendMotion(row, button->isChecked() ? 0 : 1);
}

void PTZPage::OnUpBtnPressed() { SendMotion(MotionUp, 0); }
void PTZPage::OnDownBtnPressed() { SendMotion(MotionDown, 0); }
void PTZPage::OnLeftBtnPressed() { SendMotion(MotionLeft, 0); }
void PTZPage::OnRightBtnPressed() { SendMotion(MotionRight, 0); }
void PTZPage::OnUpLeftBtnPressed() { SendMotion(MotionUpLeft, 0); }
void PTZPage::OnUpRightBtnPressed() { SendMotion(MotionUpRight, 0); }
void PTZPage::OnDownLeftBtnPressed() { SendMotion(MotionDownLeft, 0); }
void PTZPage::OnDownRightBtnPressed() { SendMotion(MotionDownRight, 0); }
void PTZPage::OnBtnReleased() { SendMotion(MotionStopDirection, 1); }

void PTZPage::OnZoomInBtnPressed() { SendMotion(MotionZoomIn, 0); }
void PTZPage::OnZoomInBtnReleased() { SendMotion(MotionZoomIn, 1); }
void PTZPage::OnZoomOutBtnPressed() { SendMotion(MotionZoomOut, 0); }
void PTZPage::OnZoomOutBtnReleased() { SendMotion(MotionZoomOut, 1); }
void PTZPage::OnFocusNearBtnPressed() { SendMotion(MotionFocusNear, 0); }
void PTZPage::OnFocusNearBtnReleased() { SendMotion(MotionFocusNear, 1); }
void PTZPage::OnFocusFarBtnPressed() { SendMotion(MotionFocusFar, 0); }
void PTZPage::OnFocusFarBtnReleased() { SendMotion(MotionFocusFar, 1); }
void PTZPage::OnIrisCloseBtnPressed() { SendMotion(MotionIrisClose, 0); }
void PTZPage::OnIrisCloseBtnRealeased() { SendMotion(MotionIrisClose, 1); }
void PTZPage::OnIrisOpenBtnPressed() { SendMotion(MotionIrisOpen, 0); }
void PTZPage::OnIrisOpenBtnRealeased() { SendMotion(MotionIrisOpen, 1); }

void PTZPage::OnWiperBtnClicked() { SendSwitch(MotionWiper, ui->wiperBtn); }
void PTZPage::OnLightBtnClicked() { SendSwitch(MotionLight, ui->lightBtn); }
void PTZPage::OnDefrostBtnClicked() { SendSwitch(MotionDefrost, ui->defrostBtn); }
void PTZPage::OnFogLampBtnClicked() { SendSwitch(MotionDefog, ui->fogLampBtn); }
void PTZPage::OnHearterBtnClicked() { SendSwitch(MotionHeater, ui->heaterBtn); }
void PTZPage::OnFanBtnClicked() { SendSwitch(MotionFan, ui->fanBtn); }
void PTZPage::OnArrowsBtnClicked() { SendSwitch(MotionArrows, ui->arrowsBtn); }
void PTZPage::OnAutoMaticBtnClicked() { SendSwitch(MotionAutoFocus, ui->autoMaticBtn); }
