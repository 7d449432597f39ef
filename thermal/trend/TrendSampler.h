#ifndef TRENDSAMPLER_H
#define TRENDSAMPLER_H

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <vector>

#include "thermal/trend/TrendRing.h"
#include "TMVNetSDK.h"

// Samples the frame's maximum, minimum and average and each listed rule's
// maximum once a second into one ring per series.
//
// Threading model: user-interface thread only. The samples come from a
// QTimer of this thread through the synchronous query functions; no library
// thread is involved. Once stopped (logout, another handle, another live
// channel, the window closing) it never queries again.
class TrendSampler : public QObject
{
    Q_OBJECT

public:
    enum SeriesKind { kFrameMax, kFrameMin, kFrameAvg, kRuleMax };
    struct Series
    {
        SeriesKind kind;
        QString name;
        // Which rule (kRuleMax only).
        int32_t ruleType = 0;
        int32_t ruleId = 0;
        // The alarm threshold drawn with the series; NaN when it has none.
        float threshold;
        TrendRing ring;
    };

    static constexpr int kIntervalMs = 1000;

    // `presetPosition` selects the rules, as on the temperature page (0: the
    // rules of the whole frame).
    TrendSampler(TMV_NET_HANDLE handle, int presetPosition, size_t capacity = TrendRing::kDayAtOnePerSecond,
                 QObject *parent = nullptr);

    // Where sample times come from (UTC milliseconds); the wall clock by
    // default. Tests hand in the device's clock. Samples of the former clock
    // cannot be ordered with the new one's, so they are dropped.
    void SetClock(std::function<int64_t()> clock);
    // The live channel as the main window has it; sampling stops when it
    // differs from the one seen at Start.
    void SetChannelProbe(std::function<int()> probe) { m_channelProbe = std::move(probe); }

    // Reads the unit, the rule list and the thresholds, then samples once and
    // starts the timer. Failures of the first three are shown in the status
    // and leave what they would have given out.
    void Start();
    void Stop(const QString &why);
    bool Running() const { return m_timer.isActive(); }

    TMV_NET_HANDLE Handle() const { return m_handle; }
    int Unit() const { return m_unit; }
    const std::vector<Series> &AllSeries() const { return m_series; }
    QString Status() const { return m_status; }

public slots:
    // One sample of every series, as the timer takes it.
    void SampleNow();
    // The main window's handle: anything but the handle sampled stops.
    void OnChangeHandle(TMV_NET_HANDLE handle);

signals:
    void Sampled(qint64 timeMs);
    void StatusChanged(QString status);
    void SeriesChanged();

private:
    void SetStatus(const QString &status);
    void ListRules();
    void ReadFrameThresholds();

    TMV_NET_HANDLE m_handle;
    int m_presetPosition;
    size_t m_capacity;
    int m_unit = -1;
    int m_channel = -1;
    // Set by Stop for good: a stopped sampler queries nothing more.
    bool m_stopped = false;
    QTimer m_timer;
    std::function<int64_t()> m_clock;
    std::function<int()> m_channelProbe;
    std::vector<Series> m_series;
    // Reused answer array of the rule query: one per listed rule.
    std::vector<TMV_NET_RULE_TEMP> m_ruleTemps;
    QString m_status;
    // What Start could not read; stays in the status while sampling.
    QStringList m_setupFailures;
};

#endif // TRENDSAMPLER_H
