#pragma once
// The measurement rules and masks of a device, kept per preset id, and the
// frame alarm settings: what the operator drew on the picture, in the
// 0..8191 picture space. Their geometry and temperatures are pure functions
// (measure/Shapes.h, measure/Measure.h); this class keeps the lists and the
// shapes of what applies at one preset compiled to spans, because the alarm
// engine measures them on every frame and compiling costs more than reading.
//
// Presets are fixed slots listed in id order from 1, so the preset position
// that queries and deletions send is the preset id that creation sends; 0 is
// the whole frame.
//
// Two models: a standard device keeps TMV_NET_TEMP_RULE records with ids it
// hands out (1, 2, ... never reused until a reset or until the control
// interface sets the next one); a tiered device keeps
// TMV_NET_TEMP_RULE_G1 records for the whole frame only, whose id is their
// list position (0 first), renumbered when one is deleted, because the
// client updates a tiered rule by its list position. Each model answers the
// other's add, list and update with kNotSupported.
//
// Threading model: every member is safe from any thread; mutex_ guards all
// state. Readers get copies (or the shared, immutable compiled shapes), so a
// measurement never sees a list change half-way.

#include "TMVNetSDK.h"
#include "measure/Measure.h"
#include "measure/Shapes.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace sim {

struct CompiledRule {
    TMV_NET_TEMP_RULE rule;
    Target target;
};

struct CompiledRuleG1 {
    TMV_NET_TEMP_RULE_G1 rule;
    Target target;
};

// What applies at one preset with its shapes compiled for one frame size:
// the masked pixels and each active rule of the device's model with its
// target (masks taken out, no device environment applied).
struct CompiledRules {
    int32_t preset = 0;
    int width = 0;
    int height = 0;
    SpanList masked;
    std::vector<CompiledRule> rules;
    std::vector<CompiledRuleG1> rulesG1;
};

class RuleSet {
public:
    // The most rules (and masks) a preset holds; one more is refused with
    // the rule limit.
    static constexpr int kMaxRulesPerPreset = 16;
    static constexpr int kMaxMasksPerPreset = 8;

    explicit RuleSet(bool tiered = false);

    bool tiered() const { return tiered_; }
    void reset();

    // ---- Rules of either model; the key selects (-1: any type or id; a
    // tiered device ignores the preset, which its client leaves unset).
    int32_t ruleCount(const TMV_NET_TEMP_RULE_KEY &key) const;
    int32_t deleteRules(const TMV_NET_TEMP_RULE_KEY &key);
    int32_t deleteAllRules(int32_t preset);

    // ---- Standard rules. Add checks the shape, the preset and the
    // environment parameters, and gives the rule its id.
    int32_t addRule(const TMV_NET_TEMP_RULE &rule, int32_t *ruleId = nullptr);
    // The id the next standard rule gets; later ones count on from it. Ids
    // may then repeat, as on a device that numbers each shape on its own.
    void setNextRuleId(int32_t id);
    // Changes the settings of the rule with the record's preset and id (its
    // shape stays as drawn).
    int32_t updateRule(const TMV_NET_TEMP_RULE &rule);
    int32_t queryRules(const TMV_NET_TEMP_RULE_KEY &key, std::vector<TMV_NET_TEMP_RULE> *out) const;

    // ---- Tiered rules.
    int32_t addRuleG1(const TMV_NET_TEMP_RULE_G1 &rule);
    // Changes the alarm settings of the rule at position `ruleId`; the
    // record's shape fields are not read (the client leaves them unset).
    int32_t updateRuleG1(const TMV_NET_TEMP_RULE_G1 &rule);
    int32_t queryRulesG1(const TMV_NET_TEMP_RULE_KEY &key, std::vector<TMV_NET_TEMP_RULE_G1> *out) const;

    // ---- Masks: ids handed out by the device (the record's is ignored).
    int32_t addMask(const TMV_NET_TEMP_MASK &mask, int32_t *maskId = nullptr);
    std::vector<TMV_NET_TEMP_MASK> masks(const TMV_NET_TEMP_MASK_KEY &key) const;
    int32_t deleteMasks(const TMV_NET_TEMP_MASK_KEY &key);
    int32_t deleteAllMasks(int32_t preset);

    // ---- What applies while the head stands at `preset` (0: at none):
    // the whole frame's and that preset's.
    std::vector<TMV_NET_TEMP_RULE> activeRules(int32_t preset) const;
    std::vector<TMV_NET_TEMP_RULE_G1> activeRulesG1() const;
    std::vector<TMV_NET_TEMP_MASK> activeMasks(int32_t preset) const;
    // The same with the shapes compiled for a width x height frame. Kept
    // and shared until a rule or mask changes or another preset or frame
    // size is asked for; then compiled afresh.
    std::shared_ptr<const CompiledRules> compiled(int32_t preset, int width, int height) const;

    // ---- Frame alarm settings, stored as set; the alarm engine reads them.
    TMV_NET_FRAME_TEMP_ALARM_CONFIG frameAlarm() const;
    int32_t setFrameAlarm(const TMV_NET_FRAME_TEMP_ALARM_CONFIG &config);
    TMV_NET_TEMP_ALARM_G1 frameAlarmG1() const;
    int32_t setFrameAlarmG1(const TMV_NET_TEMP_ALARM_G1 &alarm);

private:
    // A rule or mask changed: the compiled shapes are stale.
    void changed() { compiled_.reset(); }

    const bool tiered_;
    mutable std::mutex mutex_;  // protects the members below
    std::map<int32_t, std::vector<TMV_NET_TEMP_RULE>> rules_;  // by preset id
    std::vector<TMV_NET_TEMP_RULE_G1> rulesG1_;
    std::map<int32_t, std::vector<TMV_NET_TEMP_MASK>> masks_;  // by preset id
    int32_t nextRuleId_ = 1;
    int32_t nextMaskId_ = 1;
    TMV_NET_FRAME_TEMP_ALARM_CONFIG frameAlarm_{};
    TMV_NET_TEMP_ALARM_G1 frameAlarmG1_{};
    mutable std::shared_ptr<const CompiledRules> compiled_;  // null when stale
};

}  // namespace sim
