#ifndef CONTROLPAGE_H
#define CONTROLPAGE_H

#include <QWidget>

#include <memory>

#include "TMVNetSDK.h"

class MainWindow;

namespace Ui {
class ControlPage;
}

// The "Swivel" tab: electronic PTZ and the linkage with a second camera.
class ControlPage : public QWidget
{
    Q_OBJECT

public:
    explicit ControlPage(MainWindow *parent);
    ~ControlPage() override;
public slots:
    void OnChangeHandle(TMV_NET_HANDLE handle);

private:
    std::unique_ptr<Ui::ControlPage> ui;
    MainWindow *m_mainWindow;
    TMV_NET_HANDLE m_handle;
};

#endif // CONTROLPAGE_H
