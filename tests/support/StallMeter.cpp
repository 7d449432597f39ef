#include "StallMeter.h"

#include <algorithm>

namespace {
// Fine enough to tell a 100 ms stall from a busy loop's ordinary gaps.
const int kTickMs = 5;
}

StallMeter::StallMeter(QObject *parent)
    : QObject(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kTickMs);
    connect(&m_timer, SIGNAL(timeout()), this, SLOT(tick()));
    restart();
    m_timer.start();
}

void StallMeter::restart()
{
    m_clock.start();
    m_last = 0;
    m_longest = 0;
    m_ticks = 0;
}

qint64 StallMeter::longestMs() const
{
    return std::max(m_longest, m_clock.elapsed() - m_last);
}

void StallMeter::tick()
{
    const qint64 now = m_clock.elapsed();
    m_longest = std::max(m_longest, now - m_last);
    m_last = now;
    ++m_ticks;
}
