#ifndef STALLMETER_H
#define STALLMETER_H

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// How long this thread's event loop went without turning: a fast timer
// notes the longest gap between two of its ticks. A window that freezes
// for a device call shows the call's length here.
class StallMeter : public QObject
{
    Q_OBJECT

public:
    explicit StallMeter(QObject *parent = nullptr);

    // Starts measuring afresh.
    void restart();
    // The longest gap since restart(), in milliseconds, the one still open
    // included.
    qint64 longestMs() const;
    int ticks() const { return m_ticks; }

private slots:
    void tick();

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    int m_ticks = 0;
};

#endif // STALLMETER_H
