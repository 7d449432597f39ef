#ifndef CONFIGPAGE_H
#define CONFIGPAGE_H

#include <QString>
#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "common/CopyField.h"
#include "TMVNetSDK.h"

class MainWindow;
class QLineEdit;

namespace Ui {
class ConfigPage;
}

// The "Config" tab: imaging and thermal settings, OSD titles, network, the
// serial transparent channel and maintenance of the logged-in device. Every
// button is one device call on the current handle; nothing is cached.
//
// The implementation is split by group family: ConfigPage.cpp (construction,
// connections, handle, clearing, the helpers shared by every group),
// ConfigPage_imaging.cpp (frame rate, time, shutter, environment, OSD switch,
// colour bar, palette, gain, unit, span, thermal image, detail enhancer),
// ConfigPage_osd.cpp (date/time title, channel title, laser OSD),
// ConfigPage_network.cpp (IP configuration, reboot, restart, factory reset)
// and ConfigPage_serial.cpp (serial transparent channel).
//
// Threading model: user-interface thread only. Every slot calls the library
// synchronously; the page has no timers, threads or locks.
class ConfigPage : public QWidget
{
    Q_OBJECT

public:
    explicit ConfigPage(MainWindow *parent);
    ~ConfigPage() override;

    // Empties the fields that belong to a login (called just before logout).
    // The laser OSD, IP configuration and serial fields keep their contents.
    void ClearPage();

public slots:
    void OnChangeHandle(TMV_NET_HANDLE handle);

private slots:
    // Imaging and thermal settings.
    void onFameRateGetBtnClicked();
    void onFameRateSetBtnClicked();
    void onSynTimeBtnClicked();
    void onShutterCorrectBtnClicked();
    void onEnvParaGetBtnClicked();
    void onEnvParaSetBtnClicked();
    void onOsdMasterGetBtnClicked();
    void onOsdMasterSetBtnClicked();
    void onPseudoColorGetBtnClicked();
    void onPseudoColorSetBtnClicked();
    void onPaletteGetBtnClicked();
    void onPaletteSetBtnClicked();
    void onGainSwitchGetBtnClicked();
    void onGainSwitchSetBtnClicked();
    void OnUnitGetBtnClicked();
    void OnUnitSetBtnClicked();
    void onTempSpanGetBtnClicked();
    void onTempSpanSetBtnClicked();
    void OnThermalImageGetBtnClicked();
    void OnThermalImageSetBtnClicked();
    void OnThermalVideoEnhanceGetBtnClicked();
    void OnThermalVideoEnhanceSetBtnClicked();

    // OSD titles (on the main window's live channel).
    void onDateTitleGetBtnClicked();
    void onDateTitleSetBtnClicked();
    void onChannelTitleGetBtnClicked();
    void onChannelTitleSetBtnClicked();
    void OnLaserOSDGetBtnClicked();
    void OnLaserOSDSetBtnClicked();

    // Network and maintenance.
    void onIPConfigGetBtnClicked();
    void onIPConfigSetBtnClicked();
    void OnDevRebootBtnClicked();
    void OnDevRestartBtnClicked();
    void OnDevFactoryBtnClicked();

    // Serial transparent channel.
    void OnCmdSendBtnClicked();

private:
    // The main window's live channel (0 or 1), read afresh for every
    // channel-bound call; 0 without a main window.
    int Channel() const;

    // Reports a non-zero status under `operation` (already translated) and
    // returns true when the status is 0, so a "Get" knows to show its values.
    bool Report(const QString &operation, int32_t status) const;

    // A fixed text field from the device, decoded as UTF-8 up to its NUL and
    // never read past the field, whether or not the device put a NUL in it.
    template <size_t N>
    static QString TextOf(const char (&field)[N])
    {
        return QString::fromUtf8(FieldText(field));
    }

    // Line edits: base-10 integer / decimal float, 0 for text that does not
    // convert; shown back in base 10 / with two decimals.
    static int32_t IntOf(const QLineEdit *edit);
    static float FloatOf(const QLineEdit *edit);
    static void ShowInt(QLineEdit *edit, int32_t value);
    static void ShowFloat(QLineEdit *edit, float value);

    std::unique_ptr<Ui::ConfigPage> ui;
    MainWindow *m_mainWindow;
    TMV_NET_HANDLE m_handle;
};

#endif // CONFIGPAGE_H
