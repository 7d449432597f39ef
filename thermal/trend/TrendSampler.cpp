#include "thermal/trend/TrendSampler.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "common/DeviceCall.h"
#include "common/ListQuery.h"
#include "thermal/TempRuleText.h"

namespace {

const float kNone = std::numeric_limits<float>::quiet_NaN();

QString Failure(const QString &operation, int status)
{
    return TrendSampler::tr("%1 failed (status %2)").arg(operation).arg(status);
}

// The threshold a condition draws: 0 is no alarm.
float ThresholdOf(const TMV_NET_TEMP_ALARM_CONDITION &condition)
{
    return condition.alarmRule != 0 ? condition.threshold : kNone;
}

} // namespace

TrendSampler::TrendSampler(TMV_NET_HANDLE handle, int presetPosition, size_t capacity, QObject *parent)
    : QObject(parent), m_handle(handle), m_presetPosition(presetPosition), m_capacity(capacity),
      m_clock([] { return QDateTime::currentMSecsSinceEpoch(); })
{
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, SIGNAL(timeout()), this, SLOT(SampleNow()));
    m_series.push_back({kFrameMax, tr("Frame Max"), 0, 0, kNone, TrendRing(capacity)});
    m_series.push_back({kFrameMin, tr("Frame Min"), 0, 0, kNone, TrendRing(capacity)});
    m_series.push_back({kFrameAvg, tr("Frame Avg"), 0, 0, kNone, TrendRing(capacity)});
}

void TrendSampler::SetClock(std::function<int64_t()> clock)
{
    m_clock = std::move(clock);
    for (Series &series : m_series)
        series.ring.Clear();
}

void TrendSampler::SetStatus(const QString &status)
{
    if (status == m_status)
        return;
    m_status = status;
    emit StatusChanged(status);
}

void TrendSampler::Start()
{
    if (m_stopped || m_timer.isActive())
        return;
    if (!m_handle) {
        SetStatus(tr("Not logged in"));
        return;
    }
    m_channel = m_channelProbe ? m_channelProbe() : -1;
    QStringList failures;
    int32_t unit = 0;
    const int status = DeviceCall::run(TMV_NET_GetTempUnit, m_handle, &unit);
    if (status != 0)
        failures << Failure(tr("GetTempUnit"), status);
    m_unit = status == 0 ? unit : -1;
    ListRules();
    if (!m_status.isEmpty())
        failures << m_status;
    ReadFrameThresholds();
    if (!m_status.isEmpty() && !failures.contains(m_status))
        failures << m_status;
    m_setupFailures = failures;
    SetStatus(failures.join(QStringLiteral("; ")));
    emit SeriesChanged();
    SampleNow();
    if (m_handle)
        m_timer.start();
}

void TrendSampler::ListRules()
{
    m_status.clear();
    const TMV_NET_TEMP_RULE_KEY key = TempRuleText::AllRulesKey(m_presetPosition);
    int32_t count = 0;
    int status = DeviceCall::run(TMV_NET_QueryTempRuleSize, m_handle, &key, &count);
    if (status != 0) {
        m_status = Failure(tr("Get temp rule size"), status);
        return;
    }
    std::vector<TMV_NET_TEMP_RULE> rules(ListCapacity<TMV_NET_TEMP_RULE>(count));
    int32_t returned = 0;
    status = DeviceCall::run(TMV_NET_QueryTempRule, m_handle, &key, rules.data(), int32_t(rules.size()), &returned);
    if (status != 0) {
        m_status = Failure(tr("Get temp rule"), status);
        return;
    }
    rules.resize(size_t(TempRuleText::ClampCount(returned, int32_t(rules.size()))));
    for (const TMV_NET_TEMP_RULE &rule : rules) {
        const QString name = TempRuleText::RuleListText(rule.ruleType, rule.ruleId);
        if (name.isEmpty())
            continue;
        m_series.push_back(
            {kRuleMax, name, rule.ruleType, rule.ruleId, ThresholdOf(rule.condition), TrendRing(m_capacity)});
    }
    m_ruleTemps.assign(m_series.size() - 3, TMV_NET_RULE_TEMP());
}

void TrendSampler::ReadFrameThresholds()
{
    m_status.clear();
    TMV_NET_FRAME_TEMP_ALARM_CONFIG config;
    std::memset(&config, 0, sizeof config);
    const int status = DeviceCall::run(TMV_NET_QueryFrameTempAlarmConfig, m_handle, &config);
    if (status != 0) {
        m_status = Failure(tr("Query Frame Temp AlarmConfig"), status);
        return;
    }
    // The greater-than condition judges the maximum, the less-than one the
    // minimum.
    m_series[kFrameMax].threshold = ThresholdOf(config.conditions[0]);
    m_series[kFrameMin].threshold = ThresholdOf(config.conditions[1]);
}

void TrendSampler::Stop(const QString &why)
{
    m_timer.stop();
    m_stopped = true;
    if (!why.isEmpty())
        SetStatus(why);
}

void TrendSampler::OnChangeHandle(TMV_NET_HANDLE handle)
{
    if (handle == m_handle || !m_handle)
        return;
    m_handle = nullptr;
    Stop(tr("Stopped: logged out"));
}

void TrendSampler::SampleNow()
{
    // A tick that comes while another call waits is skipped, not nested
    // inside it: the next one samples.
    if (!m_handle || m_stopped || DeviceCall::Waiting())
        return;
    if (m_channelProbe && m_channelProbe() != m_channel) {
        Stop(tr("Stopped: the live channel changed"));
        return;
    }
    // The rings are searched by time: a wall clock set back (a time
    // service's correction) must not put a sample before the newest.
    const TrendRing &newest = m_series.front().ring;
    const int64_t now = newest.Empty() ? m_clock() : std::max(m_clock(), newest.TimeAt(newest.Size() - 1));
    QStringList failures = m_setupFailures;

    TMV_NET_TEMP_INFO frame;
    std::memset(&frame, 0, sizeof frame);
    int status = DeviceCall::run(TMV_NET_QueryFrameTemp, m_handle, &frame);
    if (status != 0)
        failures << Failure(tr("Query Frame Temp"), status);
    m_series[kFrameMax].ring.Push(now, status == 0 ? frame.maxTemp : kNone);
    m_series[kFrameMin].ring.Push(now, status == 0 ? frame.minTemp : kNone);
    m_series[kFrameAvg].ring.Push(now, status == 0 ? frame.avgTemp : kNone);

    // All rules of the preset in one call; each listed rule finds its own
    // answer by type and id, and a rule gone from the device is a gap.
    int32_t returned = 0;
    status = 0;
    if (!m_ruleTemps.empty()) {
        const TMV_NET_TEMP_RULE_KEY key = TempRuleText::AllRulesKey(m_presetPosition);
        std::memset(m_ruleTemps.data(), 0, m_ruleTemps.size() * sizeof(TMV_NET_RULE_TEMP));
        status = DeviceCall::run(TMV_NET_QueryRuleTemp, m_handle, &key, m_ruleTemps.data(), int32_t(m_ruleTemps.size()), &returned);
        if (status != 0)
            failures << Failure(tr("Get rule temp"), status);
        returned = status == 0 ? TempRuleText::ClampCount(returned, int32_t(m_ruleTemps.size())) : 0;
    }
    for (size_t s = 3; s < m_series.size(); ++s) {
        Series &series = m_series[s];
        float value = kNone;
        for (int32_t i = 0; i < returned; ++i) {
            const TMV_NET_RULE_TEMP &answer = m_ruleTemps[size_t(i)];
            if (answer.ruleId == series.ruleId && answer.ruleType == series.ruleType) {
                value = answer.temp.maxTemp;
                break;
            }
        }
        series.ring.Push(now, value);
    }
    SetStatus(failures.join(QStringLiteral("; ")));
    emit Sampled(now);
}
