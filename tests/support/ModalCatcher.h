#ifndef MODALCATCHER_H
#define MODALCATCHER_H

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

// Records every message box that opens (title, text, icon) and closes it with
// its first button, so a test can assert exactly what the user was shown. Polls
// the active modal widget, like an exec-close helper, from the test's event
// loop: modal boxes run their own loop, in which the poll keeps firing.
class ModalCatcher : public QObject
{
    Q_OBJECT

public:
    struct Box
    {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QWidget *parent;
    };

    explicit ModalCatcher(QObject *parent = nullptr);

    const QList<Box> &boxes() const { return m_boxes; }
    int count() const { return m_boxes.size(); }
    // The last box caught; an empty one when none was.
    Box last() const;
    void clear() { m_boxes.clear(); }
    // Runs the event loop until `count` boxes were caught or the time is up.
    bool waitForCount(int count, int timeoutMs = 5000);

private slots:
    void poll();

private:
    QTimer m_timer;
    QList<Box> m_boxes;
};

#endif // MODALCATCHER_H
