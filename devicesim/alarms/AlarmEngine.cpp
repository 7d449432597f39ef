#include "alarms/AlarmEngine.h"

#include "camera/FrameProducer.h"
#include "streams/ChannelStream.h"

namespace sim {

class AlarmEngine::Watcher : public ChannelStream {
public:
    Watcher(FrameProducer &producer, AlarmEngine &engine) : ChannelStream(producer), engine_(engine) {}
    ~Watcher() override { stop(); }

protected:
    void onFrame(const FramePtr &frame) override { engine_.evaluate(*frame); }

private:
    AlarmEngine &engine_;
};

AlarmEngine::AlarmEngine(FrameProducer *thermal) : thermal_(thermal) {}

AlarmEngine::~AlarmEngine()
{
    setArmed(false);
}

void AlarmEngine::reset()
{
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

void AlarmEngine::evaluate(const Picture &)
{
    ++framesSeen_;
}

}  // namespace sim
