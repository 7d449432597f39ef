#include "measure/RuleSet.h"

namespace sim {

void RuleSet::reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    rules_.clear();
    masks_.clear();
}

std::vector<TMV_NET_TEMP_RULE> RuleSet::rules(int32_t preset) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = rules_.find(preset);
    return it == rules_.end() ? std::vector<TMV_NET_TEMP_RULE>{} : it->second;
}

std::vector<TMV_NET_TEMP_MASK> RuleSet::masks(int32_t preset) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = masks_.find(preset);
    return it == masks_.end() ? std::vector<TMV_NET_TEMP_MASK>{} : it->second;
}

std::map<int32_t, std::vector<TMV_NET_TEMP_RULE>> RuleSet::allRules() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return rules_;
}

}  // namespace sim
