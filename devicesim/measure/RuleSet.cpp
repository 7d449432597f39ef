#include "measure/RuleSet.h"

#include "base/Status.h"
#include "measure/Measure.h"
#include "measure/Shapes.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {

constexpr int32_t kAny = -1;
constexpr int32_t kMaxAlarmRule = 6;  // "Low Less Than"
constexpr int32_t kMaxAlarmSwitch = 3;

bool selects(int32_t wanted, int32_t value)
{
    return wanted == kAny || wanted == value;
}

bool validCondition(const TMV_NET_TEMP_ALARM_CONDITION &c)
{
    return c.alarmRule >= 0 && c.alarmRule <= kMaxAlarmRule;
}

bool validRuleSettings(const TMV_NET_TEMP_RULE &rule)
{
    return (!rule.envEnable || validEnv(rule.envParam)) && validCondition(rule.condition);
}

bool validShapeG1(const TMV_NET_TEMP_RULE_G1 &rule)
{
    const TMV_NET_POINT points[2] = {rule.startPoint, rule.endPoint};
    return validShape(rule.ruleType, points, rule.ruleType == kShapePoint ? 1 : 2);
}

bool validAlarmG1(const TMV_NET_TEMP_ALARM_G1 &alarm)
{
    return alarm.alarmSwitch >= 0 && alarm.alarmSwitch <= kMaxAlarmSwitch;
}

// The records of the whole frame and, when it is one, of `preset`.
template <class T>
std::vector<T> inScope(const std::map<int32_t, std::vector<T>> &lists, int32_t preset)
{
    std::vector<T> out;
    for (int32_t p : {0, preset}) {
        auto it = lists.find(p);
        if (it != lists.end())
            out.insert(out.end(), it->second.begin(), it->second.end());
        if (preset == 0)
            break;
    }
    return out;
}

}  // namespace

RuleSet::RuleSet(bool tiered) : tiered_(tiered) {}

void RuleSet::reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    rules_.clear();
    rulesG1_.clear();
    masks_.clear();
    nextRuleId_ = 1;
    nextMaskId_ = 1;
    frameAlarm_ = TMV_NET_FRAME_TEMP_ALARM_CONFIG{};
    frameAlarmG1_ = TMV_NET_TEMP_ALARM_G1{};
    changed();
}

// ---- Either model ----------------------------------------------------------

int32_t RuleSet::ruleCount(const TMV_NET_TEMP_RULE_KEY &key) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (tiered_) {
        return int32_t(std::count_if(rulesG1_.begin(), rulesG1_.end(), [&](const TMV_NET_TEMP_RULE_G1 &r) {
            return selects(key.ruleType, r.ruleType) && selects(key.ruleId, r.ruleId);
        }));
    }
    auto it = rules_.find(key.presetId);
    if (it == rules_.end())
        return 0;
    return int32_t(std::count_if(it->second.begin(), it->second.end(), [&](const TMV_NET_TEMP_RULE &r) {
        return selects(key.ruleType, r.ruleType) && selects(key.ruleId, r.ruleId);
    }));
}

int32_t RuleSet::deleteRules(const TMV_NET_TEMP_RULE_KEY &key)
{
    std::lock_guard<std::mutex> lock(mutex_);
    size_t removed = 0;
    if (tiered_) {
        const size_t before = rulesG1_.size();
        rulesG1_.erase(std::remove_if(rulesG1_.begin(), rulesG1_.end(),
                                      [&](const TMV_NET_TEMP_RULE_G1 &r) {
                                          return selects(key.ruleType, r.ruleType) && selects(key.ruleId, r.ruleId);
                                      }),
                       rulesG1_.end());
        removed = before - rulesG1_.size();
        for (size_t i = 0; i < rulesG1_.size(); ++i)
            rulesG1_[i].ruleId = int32_t(i);
    } else {
        auto it = rules_.find(key.presetId);
        if (it != rules_.end()) {
            auto &list = it->second;
            const size_t before = list.size();
            list.erase(std::remove_if(list.begin(), list.end(),
                                      [&](const TMV_NET_TEMP_RULE &r) {
                                          return selects(key.ruleType, r.ruleType) && selects(key.ruleId, r.ruleId);
                                      }),
                       list.end());
            removed = before - list.size();
        }
    }
    if (removed)
        changed();
    // Naming one rule that is not there is a wrong key; a selection that
    // happens to be empty is not.
    return removed == 0 && key.ruleId != kAny ? kWrongParam : kOk;
}

int32_t RuleSet::deleteAllRules(int32_t preset)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (tiered_)
        rulesG1_.clear();
    else
        rules_.erase(preset);
    changed();
    return kOk;
}

// ---- Standard rules --------------------------------------------------------

int32_t RuleSet::addRule(const TMV_NET_TEMP_RULE &rule, int32_t *ruleId)
{
    if (tiered_)
        return kNotSupported;
    if (rule.presetId < 0 || !validShape(rule.ruleType, rule.points, rule.pointCount) || !validRuleSettings(rule))
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    auto &list = rules_[rule.presetId];
    if (int(list.size()) >= kMaxRulesPerPreset)
        return kRuleLimit;
    TMV_NET_TEMP_RULE stored = rule;
    stored.ruleId = nextRuleId_++;
    // Unused points are not kept, so a listed rule carries no stray bytes.
    for (int i = rule.pointCount; i < kMaxShapePoints; ++i)
        stored.points[i] = TMV_NET_POINT{};
    list.push_back(stored);
    changed();
    if (ruleId)
        *ruleId = stored.ruleId;
    return kOk;
}

void RuleSet::setNextRuleId(int32_t id)
{
    std::lock_guard<std::mutex> lock(mutex_);
    nextRuleId_ = id;
}

int32_t RuleSet::updateRule(const TMV_NET_TEMP_RULE &rule)
{
    if (tiered_)
        return kNotSupported;
    if (!validRuleSettings(rule))
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = rules_.find(rule.presetId);
    if (it == rules_.end())
        return kWrongParam;
    for (TMV_NET_TEMP_RULE &r : it->second) {
        if (r.ruleId != rule.ruleId)
            continue;
        r.enable = rule.enable;
        std::memcpy(r.name, rule.name, sizeof r.name);
        r.envEnable = rule.envEnable;
        r.envParam = rule.envParam;
        r.condition = rule.condition;
        r.snapLinkage = rule.snapLinkage;
        r.recordLinkage = rule.recordLinkage;
        changed();
        return kOk;
    }
    return kWrongParam;
}

int32_t RuleSet::queryRules(const TMV_NET_TEMP_RULE_KEY &key, std::vector<TMV_NET_TEMP_RULE> *out) const
{
    if (tiered_)
        return kNotSupported;
    std::lock_guard<std::mutex> lock(mutex_);
    out->clear();
    auto it = rules_.find(key.presetId);
    if (it == rules_.end())
        return kOk;
    for (const TMV_NET_TEMP_RULE &r : it->second) {
        if (selects(key.ruleType, r.ruleType) && selects(key.ruleId, r.ruleId))
            out->push_back(r);
    }
    return kOk;
}

// ---- Tiered rules ----------------------------------------------------------

int32_t RuleSet::addRuleG1(const TMV_NET_TEMP_RULE_G1 &rule)
{
    if (!tiered_)
        return kNotSupported;
    if (!validShapeG1(rule) || !validAlarmG1(rule.alarm))
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    if (int(rulesG1_.size()) >= kMaxRulesPerPreset)
        return kRuleLimit;
    TMV_NET_TEMP_RULE_G1 stored = rule;
    stored.ruleId = int32_t(rulesG1_.size());
    rulesG1_.push_back(stored);
    changed();
    return kOk;
}

int32_t RuleSet::updateRuleG1(const TMV_NET_TEMP_RULE_G1 &rule)
{
    if (!tiered_)
        return kNotSupported;
    if (!validAlarmG1(rule.alarm))
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    if (rule.ruleId < 0 || size_t(rule.ruleId) >= rulesG1_.size())
        return kWrongParam;
    rulesG1_[size_t(rule.ruleId)].alarm = rule.alarm;
    changed();
    return kOk;
}

int32_t RuleSet::queryRulesG1(const TMV_NET_TEMP_RULE_KEY &key, std::vector<TMV_NET_TEMP_RULE_G1> *out) const
{
    if (!tiered_)
        return kNotSupported;
    std::lock_guard<std::mutex> lock(mutex_);
    out->clear();
    for (const TMV_NET_TEMP_RULE_G1 &r : rulesG1_) {
        if (selects(key.ruleType, r.ruleType) && selects(key.ruleId, r.ruleId))
            out->push_back(r);
    }
    return kOk;
}

// ---- Masks -----------------------------------------------------------------

int32_t RuleSet::addMask(const TMV_NET_TEMP_MASK &mask, int32_t *maskId)
{
    if (mask.presetId < 0)
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    auto &list = masks_[mask.presetId];
    if (int(list.size()) >= kMaxMasksPerPreset)
        return kRuleLimit;
    TMV_NET_TEMP_MASK stored = mask;
    stored.maskId = nextMaskId_++;
    list.push_back(stored);
    changed();
    if (maskId)
        *maskId = stored.maskId;
    return kOk;
}

std::vector<TMV_NET_TEMP_MASK> RuleSet::masks(const TMV_NET_TEMP_MASK_KEY &key) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<TMV_NET_TEMP_MASK> out;
    auto it = masks_.find(key.presetId);
    if (it == masks_.end())
        return out;
    for (const TMV_NET_TEMP_MASK &m : it->second) {
        if (selects(key.maskId, m.maskId))
            out.push_back(m);
    }
    return out;
}

int32_t RuleSet::deleteMasks(const TMV_NET_TEMP_MASK_KEY &key)
{
    std::lock_guard<std::mutex> lock(mutex_);
    size_t removed = 0;
    auto it = masks_.find(key.presetId);
    if (it != masks_.end()) {
        auto &list = it->second;
        const size_t before = list.size();
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [&](const TMV_NET_TEMP_MASK &m) { return selects(key.maskId, m.maskId); }),
                   list.end());
        removed = before - list.size();
    }
    if (removed)
        changed();
    return removed == 0 && key.maskId != kAny ? kWrongParam : kOk;
}

int32_t RuleSet::deleteAllMasks(int32_t preset)
{
    std::lock_guard<std::mutex> lock(mutex_);
    masks_.erase(preset);
    changed();
    return kOk;
}

// ---- What applies ----------------------------------------------------------

std::vector<TMV_NET_TEMP_RULE> RuleSet::activeRules(int32_t preset) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return inScope(rules_, preset);
}

std::vector<TMV_NET_TEMP_RULE_G1> RuleSet::activeRulesG1() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return rulesG1_;
}

std::vector<TMV_NET_TEMP_MASK> RuleSet::activeMasks(int32_t preset) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return inScope(masks_, preset);
}

std::shared_ptr<const CompiledRules> RuleSet::compiled(int32_t preset, int width, int height) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (compiled_ && compiled_->preset == preset && compiled_->width == width && compiled_->height == height)
        return compiled_;
    auto fresh = std::make_shared<CompiledRules>();
    fresh->preset = preset;
    fresh->width = width;
    fresh->height = height;
    fresh->masked = maskSpans(inScope(masks_, preset), width, height);
    if (tiered_) {
        for (const TMV_NET_TEMP_RULE_G1 &r : rulesG1_)
            fresh->rulesG1.push_back({r, compileRuleG1(r, fresh->masked, width, height)});
    } else {
        for (const TMV_NET_TEMP_RULE &r : inScope(rules_, preset))
            fresh->rules.push_back({r, compileRule(r, fresh->masked, width, height)});
    }
    compiled_ = fresh;
    return compiled_;
}

// ---- Frame alarm settings --------------------------------------------------

TMV_NET_FRAME_TEMP_ALARM_CONFIG RuleSet::frameAlarm() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return frameAlarm_;
}

int32_t RuleSet::setFrameAlarm(const TMV_NET_FRAME_TEMP_ALARM_CONFIG &config)
{
    if (!validCondition(config.conditions[0]) || !validCondition(config.conditions[1]))
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    frameAlarm_ = config;
    return kOk;
}

TMV_NET_TEMP_ALARM_G1 RuleSet::frameAlarmG1() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return frameAlarmG1_;
}

int32_t RuleSet::setFrameAlarmG1(const TMV_NET_TEMP_ALARM_G1 &alarm)
{
    if (!validAlarmG1(alarm))
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    frameAlarmG1_ = alarm;
    return kOk;
}

}  // namespace sim
