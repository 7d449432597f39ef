#include "alarms/AlarmEngine.h"

#include "alarms/AlarmSubscription.h"
#include "base/DeviceProfile.h"
#include "base/SimClock.h"
#include "camera/FrameProducer.h"
#include "camera/TempUnits.h"
#include "measure/Measure.h"
#include "measure/RuleSet.h"
#include "ptz/PtzHead.h"
#include "settings/Settings.h"
#include "storage/PictureFiles.h"
#include "storage/SdCard.h"
#include "storage/VideoRecorder.h"
#include "streams/ChannelStream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <set>

namespace sim {

namespace {

constexpr int kJpegQuality = 80;

float pick(const TMV_NET_TEMP_INFO &info, TempPick which)
{
    switch (which) {
    case TempPick::Avg:
        return info.avgTemp;
    case TempPick::Max:
        return info.maxTemp;
    case TempPick::Min:
        break;
    }
    return info.minTemp;
}

JpegBytes jpegOf(const Picture &picture)
{
    auto bytes = std::make_shared<std::vector<uint8_t>>();
    if (picture.rgba.empty() || !encodeJpeg(picture.rgba.data(), picture.width, picture.height, kJpegQuality, *bytes))
        return nullptr;
    return bytes;
}

// "20240131_235959" in UTC, for file names.
std::string stamp(int64_t timeS)
{
    const std::time_t t = std::time_t(timeS);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d_%H%M%S", &tm);
    return text;
}

}  // namespace

class AlarmEngine::Watcher : public ChannelStream {
public:
    Watcher(FrameProducer &producer, AlarmEngine &engine) : ChannelStream(producer), engine_(engine) {}
    ~Watcher() override { stop(); }

protected:
    void onFrame(const FramePtr &frame) override { engine_.evaluate(*frame, states_); }

private:
    AlarmEngine &engine_;
    States states_;  // the watcher thread's only
};

// One evaluated frame: what every record raised on it shares.
struct AlarmEngine::Moment {
    const Picture &frame;
    int channel;
    int64_t timeS;
    bool pictures;  // subscribers want them
    bool encoded = false;
    JpegBytes thermal, visible;
};

AlarmEngine::AlarmEngine(const DeviceProfile &profile, std::vector<FrameProducer *> producers,
                         const Settings &settings, const RuleSet &rules, const PtzHead &head, SdCard &card)
    : profile_(profile), producers_(std::move(producers)),
      thermal_(producers_.empty() ? nullptr : producers_[size_t(profile_.thermalChannel)]), settings_(settings),
      rules_(rules), head_(head), card_(card)
{
}

AlarmEngine::~AlarmEngine()
{
    setArmed(false);
}

void AlarmEngine::reset()
{
    {
        std::lock_guard<std::mutex> lock(subsMutex_);
        subscribers_.clear();  // their sessions are gone by now; they stop their own threads
    }
    setArmed(false);
}

void AlarmEngine::subscribe(const std::shared_ptr<AlarmSubscription> &subscription)
{
    {
        std::lock_guard<std::mutex> lock(subsMutex_);
        subscribers_.push_back(subscription);
    }
    setArmed(true);
}

void AlarmEngine::unsubscribe(const std::shared_ptr<AlarmSubscription> &subscription)
{
    bool none;
    {
        std::lock_guard<std::mutex> lock(subsMutex_);
        subscribers_.erase(std::remove(subscribers_.begin(), subscribers_.end(), subscription),
                           subscribers_.end());
        none = subscribers_.empty();
    }
    if (none)
        setArmed(false);
}

void AlarmEngine::setArmed(bool armed)
{
    std::unique_ptr<Watcher> retired;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!thermal_ || armed == bool(watcher_))
            return;
        if (armed) {
            watcher_.reset(new Watcher(*thermal_, *this));
            watcher_->start();
            return;
        }
        retired = std::move(watcher_);
    }
    retired.reset();  // joins the watcher
}

bool AlarmEngine::armed() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return bool(watcher_);
}

void AlarmEngine::publish(const AlarmEventPtr &event)
{
    std::lock_guard<std::mutex> lock(subsMutex_);
    for (const auto &s : subscribers_)
        s->post(event);
}

bool AlarmEngine::anyWantsPictures() const
{
    std::lock_guard<std::mutex> lock(subsMutex_);
    return std::any_of(subscribers_.begin(), subscribers_.end(), [](const auto &s) { return s->snapshots(); });
}

void AlarmEngine::picturesOf(const Picture &frame, JpegBytes *thermal, JpegBytes *visible)
{
    *thermal = jpegOf(frame);
    *visible = *thermal;  // a device without a visible channel sends the thermal one twice
    const auto &channels = profile_.channels;
    for (size_t c = 0; c < channels.size(); ++c) {
        if (channels[c].thermal)
            continue;
        if (FramePtr now = producers_[c]->frameNow())
            if (JpegBytes jpeg = jpegOf(*now))
                *visible = std::move(jpeg);
        break;
    }
}

void AlarmEngine::injectPictures(JpegBytes *thermal, JpegBytes *visible)
{
    const int64_t now = SimClock::instance().nowUs();
    std::lock_guard<std::mutex> lock(injectMutex_);
    if (injectPicturesUs_ < 0 || now < injectPicturesUs_ || now - injectPicturesUs_ >= 100000 || !injectThermal_) {
        FramePtr frame = thermal_ ? thermal_->frameNow() : nullptr;
        if (!frame && !producers_.empty())
            frame = producers_[0]->frameNow();
        if (frame) {
            picturesOf(*frame, &injectThermal_, &injectVisible_);
            injectPicturesUs_ = now;
        }
    }
    *thermal = injectThermal_;
    *visible = injectVisible_;
}

void AlarmEngine::inject(int32_t type)
{
    JpegBytes thermal, visible;
    if (alarmLayout(type).pictures >= 0)
        injectPictures(&thermal, &visible);
    const int channel = thermal_ ? profile_.thermalChannel : 0;
    publish(sampleAlarm(type, channel, deviceTimeS(SimClock::instance().nowUs()), thermal, visible));
}

void AlarmEngine::injectRecord(int32_t type, const void *record, int size, const void *picture0, int size0,
                               const void *picture1, int size1)
{
    // Never shorter than the type's record (1 KB for an unknown code): a
    // client reads a record by its type and has no length to go by, so a
    // short injected record is padded with zeros.
    const AlarmLayout layout = alarmLayout(type);
    auto event = blankAlarm(type, std::max(size, layout.size));
    if (record && size > 0)
        std::memcpy(event->bytes(), record, size_t(size));
    if (layout.pictures >= 0 && size_t(layout.pictures) + 2 * sizeof(TMV_NET_ALARM_PICTURE) <= size_t(event->size)) {
        event->picturesOffset = layout.pictures;
        const void *data[2] = {picture0, picture1};
        const int sizes[2] = {size0, size1};
        for (int i = 0; i < 2; ++i)
            if (data[i] && sizes[i] > 0) {
                const auto *b = static_cast<const uint8_t *>(data[i]);
                event->pictures[i] = std::make_shared<const std::vector<uint8_t>>(b, b + sizes[i]);
            }
    }
    publish(event);
}

// Linkage files on the SD card, named so a search can sort and filter them:
//   <card>/<YYYYMMDD>_<hhmmss>_CH<n>_A<type>.jpg   snapshot of channel n
//   <card>/<YYYYMMDD>_<hhmmss>_CH<n>_A<type>.pav   one-second recording
// The time is the alarm's start on the device clock (UTC); n counts from 1
// as the linkage's channel flags do; type is the alarm type code. A second
// start of the same type and channel within one second replaces the file.
void AlarmEngine::runLinkages(const Moment &moment, const TMV_NET_ALARM_LINKAGE &snap,
                              const TMV_NET_ALARM_LINKAGE &record, int32_t type)
{
    if (!snap.enable && !record.enable)
        return;
    const std::string folder = card_.folder();
    if (folder.empty())
        return;
    auto channelsOf = [&](const TMV_NET_ALARM_LINKAGE &l) {
        std::vector<int> out;
        for (int c = 0; c < 2; ++c)
            if (l.channels[c] && size_t(c) < producers_.size())
                out.push_back(c);
        if (out.empty())
            out.push_back(moment.channel);  // no channel ticked: the alarm's own
        return out;
    };
    auto frameOf = [&](int c) -> FramePtr {
        if (c == moment.channel)
            return FramePtr(&moment.frame, [](const Picture *) {});
        return producers_[size_t(c)]->frameNow();
    };
    auto name = [&](int c, const char *extension) {
        return stamp(moment.timeS) + "_CH" + std::to_string(c + 1) + "_A" + std::to_string(type) + extension;
    };
    // Written under a hidden name and renamed when complete, so a search
    // never lists a file half-written.
    auto publishFile = [&](const std::string &file, const std::function<bool(const std::string &)> &write) {
        const std::string partial = folder + "/." + file;
        if (write(partial))
            std::rename(partial.c_str(), (folder + "/" + file).c_str());
        else
            removePartialFile(partial);
    };
    if (snap.enable)
        for (int c : channelsOf(snap))
            if (FramePtr f = frameOf(c))
                publishFile(name(c, ".jpg"), [&](const std::string &path) {
                    return writeJpegSnapshot(path, f->rgba.data(), f->width, f->height);
                });
    if (record.enable)
        for (int c : channelsOf(record))
            if (FramePtr f = frameOf(c))
                publishFile(name(c, ".pav"), [&](const std::string &path) {
                    VideoRecorder recorder;
                    return recorder.start(path, f->width, f->height) &&
                           recorder.pushFrame(f->rgba.data(), f->width, f->height, 0) &&
                           recorder.pushFrame(f->rgba.data(), f->width, f->height, 1000) && recorder.stop();
                });
}

void AlarmEngine::evaluate(const Picture &frame, States &states)
{
    ++framesSeen_;
    if (!frame.thermal())
        return;
    const int64_t t = frame.timeUs;
    Moment moment{frame, profile_.thermalChannel, deviceTimeS(t), anyWantsPictures(), false, nullptr, nullptr};
    auto pictures = [&](JpegBytes *thermal, JpegBytes *visible) {
        if (!moment.encoded) {
            picturesOf(frame, &moment.thermal, &moment.visible);
            moment.encoded = true;
        }
        *thermal = moment.thermal;
        *visible = moment.visible;
    };
    auto newRecord = [&](int32_t type, AlarmEdge edge) {
        JpegBytes thermal, visible;
        if (moment.pictures)
            pictures(&thermal, &visible);
        return newAlarm(type, moment.channel, moment.timeS, edge == AlarmEdge::Start ? 1 : 2, thermal, visible);
    };
    std::set<std::string> seen;
    // One threshold: steps its state, raises its record on an edge.
    auto watch = [&](const std::string &key, bool on, const AlarmThreshold &limit, double value,
                     const auto &fill) -> AlarmEdge {
        seen.insert(key);
        ThresholdState &state = states[key];
        const AlarmEdge edge = on ? state.step(limit, value, t) : state.off();
        if (edge != AlarmEdge::None) {
            auto event = newRecord(TMV_NET_ALARM_TEMP, edge);
            fill(*static_cast<TMV_NET_TEMP_ALARM_INFO *>(event->bytes()));
            publish(event);
        }
        return edge;
    };

    // Fire: the hottest pixel, whatever the measurement settings.
    {
        const uint16_t hottest = *std::max_element(frame.temperature.begin(), frame.temperature.end());
        const AlarmThreshold limit{true, kFireStartC, kFireToleranceC, kFireDebounceUs};
        const AlarmEdge edge = states["fire"].step(limit, deciKelvinToC(hottest), t);
        seen.insert("fire");
        if (edge != AlarmEdge::None) {
            auto event = newRecord(TMV_NET_ALARM_FIRE, edge);
            auto *r = static_cast<TMV_NET_FIRE_ALARM_INFO *>(event->bytes());
            copyName(r->name, sizeof r->name, "Fire");
            r->regionId = 0;
            const size_t at = size_t(std::max_element(frame.temperature.begin(), frame.temperature.end()) -
                                     frame.temperature.begin());
            r->firePoint.x = int32_t(((at % size_t(frame.width)) * 8191 + size_t(frame.width) / 2) / size_t(frame.width));
            r->firePoint.y = int32_t(((at / size_t(frame.width)) * 8191 + size_t(frame.height) / 2) / size_t(frame.height));
            r->fireTemp = float(celsiusToUnit(deciKelvinToC(hottest), settings_.tempUnit()));
            publish(event);
        }
    }

    if (settings_.measuring()) {
        const TempUnit unit = settings_.tempUnit();
        const int w = frame.width, h = frame.height;
        const int32_t preset = rules_.tiered() ? 0 : head_.currentPreset();
        // Compiled once per change of rules, masks or preset, not per frame.
        const std::shared_ptr<const CompiledRules> shapes = rules_.compiled(preset, w, h);
        // The same temperatures the queries give: in the device's
        // environment.
        const TMV_NET_ENV_PARAM env = settings_.env();
        const TMV_NET_TEMP_INFO frameInfo =
            measureFrameInEnvironment(frame.temperature.data(), w, h, shapes->masked, unit, env);

        auto conditionAlarm = [&](const std::string &key, bool enabled, const TMV_NET_TEMP_ALARM_CONDITION &c,
                                  const TMV_NET_TEMP_INFO &info, const char *name, int32_t ruleType, int32_t ruleId) {
            TempPick which = TempPick::Max;
            bool greater = true;
            const bool on = enabled && alarmRuleMeaning(c.alarmRule, &which, &greater);
            const AlarmThreshold limit{greater, c.threshold, c.tolerance, AlarmThreshold::debounceFromSeconds(c.debounce)};
            return watch(key, on, limit, pick(info, which), [&](TMV_NET_TEMP_ALARM_INFO &r) {
                copyName(r.name, sizeof r.name, name);
                r.ruleType = ruleType;
                r.ruleId = ruleId;
                r.temp = info;
                r.unit = int32_t(unit);
                r.alarmRule = c.alarmRule;
                r.threshold = c.threshold;
            });
        };
        // The tiered alarm of one target: base thresholds and, when enabled,
        // the three levels of each side.
        auto tieredAlarm = [&](const std::string &key, const TMV_NET_TEMP_ALARM_G1 &a, const TMV_NET_TEMP_INFO &info,
                               const char *name, int32_t ruleType, int32_t ruleId) {
            const int64_t debounce = AlarmThreshold::debounceFromSeconds(a.delay);
            const bool high = a.alarmSwitch == 1 || a.alarmSwitch == 3;
            const bool low = a.alarmSwitch == 2 || a.alarmSwitch == 3;
            const float highs[4] = {a.highTemp, a.highLevels[0], a.highLevels[1], a.highLevels[2]};
            const float lows[4] = {a.lowTemp, a.lowLevels[0], a.lowLevels[1], a.lowLevels[2]};
            for (int level = 0; level < 4; ++level) {
                for (int side = 0; side < 2; ++side) {
                    const bool greater = side == 0;
                    const float threshold = greater ? highs[level] : lows[level];
                    const bool on = (greater ? high : low) && (level == 0 || (greater ? a.highEnable : a.lowEnable));
                    const AlarmThreshold limit{greater, threshold, kTieredTolerance, debounce};
                    const std::string k = key + (greater ? ":h" : ":l") + std::to_string(level);
                    watch(k, on, limit, greater ? info.maxTemp : info.minTemp, [&](TMV_NET_TEMP_ALARM_INFO &r) {
                        copyName(r.name, sizeof r.name, name);
                        r.ruleType = ruleType;
                        r.ruleId = ruleId;
                        r.temp = info;
                        r.unit = int32_t(unit);
                        r.alarmRule = greater ? 3 : 6;
                        r.threshold = threshold;
                    });
                }
            }
        };

        if (rules_.tiered()) {
            tieredAlarm("g1:frame", rules_.frameAlarmG1(), frameInfo, "Frame", 2, 0);
            for (const CompiledRuleG1 &compiled : shapes->rulesG1) {
                const TMV_NET_TEMP_RULE_G1 &r = compiled.rule;
                TMV_NET_TEMP_INFO info{};
                if (!measureTargetInEnvironment(compiled.target, env, frame.temperature.data(), w, h, unit, &info))
                    continue;
                const std::string name = (r.ruleType == 0 ? "P" : r.ruleType == 1 ? "L" : "R") + std::to_string(r.ruleId);
                tieredAlarm("g1:" + std::to_string(r.ruleId), r.alarm, info, name.c_str(), r.ruleType, r.ruleId);
            }
        } else {
            const TMV_NET_FRAME_TEMP_ALARM_CONFIG cfg = rules_.frameAlarm();
            for (int c = 0; c < 2; ++c) {
                const AlarmEdge edge = conditionAlarm("frame:" + std::to_string(c), cfg.enable != 0, cfg.conditions[c],
                                                      frameInfo, "Frame", 2, 0);
                if (edge == AlarmEdge::Start)
                    runLinkages(moment, cfg.snapLinkage, cfg.recordLinkage, TMV_NET_ALARM_TEMP);
            }
            for (const CompiledRule &compiled : shapes->rules) {
                const TMV_NET_TEMP_RULE &r = compiled.rule;
                TMV_NET_TEMP_INFO info{};
                if (!measureTargetInEnvironment(compiled.target, env, frame.temperature.data(), w, h, unit, &info))
                    continue;
                const std::string key = "rule:" + std::to_string(r.presetId) + ":" + std::to_string(r.ruleId);
                char name[sizeof r.name];
                copyName(name, sizeof name, std::string(r.name, strnlen(r.name, sizeof r.name)));
                const AlarmEdge edge = conditionAlarm(key, r.enable != 0, r.condition, info, name, r.ruleType, r.ruleId);
                if (edge == AlarmEdge::Start)
                    runLinkages(moment, r.snapLinkage, r.recordLinkage, TMV_NET_ALARM_TEMP);
            }
        }
    }
    // Thresholds that went away (rule deleted, head left the preset) are
    // forgotten; a later one of the same name starts afresh.
    for (auto it = states.begin(); it != states.end();)
        it = seen.count(it->first) ? std::next(it) : states.erase(it);
}

}  // namespace sim
