#ifndef ALARMPAGE_H
#define ALARMPAGE_H

#include <QWidget>

#include <memory>

namespace Ui {
class AlarmPage;
}

// The alarm list: a top-level window with one row per alarm received while
// the application runs. Closing it only hides it.
class AlarmPage : public QWidget
{
    Q_OBJECT

public:
    explicit AlarmPage(QWidget *parent = nullptr);
    ~AlarmPage() override;

private:
    std::unique_ptr<Ui::AlarmPage> ui;
};

#endif // ALARMPAGE_H
