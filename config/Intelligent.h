#ifndef INTELLIGENT_H
#define INTELLIGENT_H

#include <QWidget>

#include <memory>

#include "TMVNetSDK.h"

class MainWindow;

namespace Ui {
class Intelligent;
}

// The "Intelligent" tab: target recognition settings.
class Intelligent : public QWidget
{
    Q_OBJECT

public:
    explicit Intelligent(MainWindow *parent);
    ~Intelligent() override;
public slots:
    void OnChangeHandle(TMV_NET_HANDLE handle);

private:
    std::unique_ptr<Ui::Intelligent> ui;
    MainWindow *m_mainWindow;
    TMV_NET_HANDLE m_handle;
};

#endif // INTELLIGENT_H
