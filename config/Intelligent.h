#ifndef INTELLIGENT_H
#define INTELLIGENT_H

#include <QWidget>

#include <memory>

#include "TMVNetSDK.h"

class MainWindow;

namespace Ui {
class IntelligentClass;
}

// The "Intelligent" tab: the target-recognition settings of the channel
// live in the main window. Its controls keep their contents across logout
// and login.
class Intelligent : public QWidget
{
    Q_OBJECT

public:
    explicit Intelligent(MainWindow *parent);
    ~Intelligent() override;

public slots:
    void OnChangeHandle(TMV_NET_HANDLE handle);

private slots:
    void OnGetTargetBtnClicked();
    void OnSetTargetBtnClicked();

private:
    std::unique_ptr<Ui::IntelligentClass> ui;
    MainWindow *m_mainWindow;
    TMV_NET_HANDLE m_handle;
};

#endif // INTELLIGENT_H
