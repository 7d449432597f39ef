#include "service/RtspServer.h"

#include "base/SimClock.h"
#include "camera/FrameProducer.h"
#include "device/Device.h"
#include "device/Fleet.h"
#include "service/DeviceServer.h"
#include "settings/Settings.h"
#include "streams/ChannelStream.h"

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <gst/rtsp-server/rtsp-server.h>
#include <gst/video/video-event.h>

#include <arpa/inet.h>
#include <cerrno>
#include <mutex>
#include <netinet/in.h>
#include <set>
#include <sys/socket.h>
#include <unistd.h>

namespace sim::service {

namespace {

// The role the device's user gets; the mounts let it watch.
constexpr const char *kViewerRole = "viewer";
// Where a GstRTSPMedia keeps its Media.
constexpr const char *kMediaKey = "sim-media";

// Feeds one channel's frames into its media's source.
class Feed : public ChannelStream {
public:
    Feed(std::shared_ptr<Device> device, int channel, GstElement *source)
        : ChannelStream(device->producer(channel)), device_(std::move(device)),
          source_(GST_ELEMENT(gst_object_ref(source)))
    {
    }
    ~Feed() override
    {
        stop();
        gst_object_unref(source_);
    }

    // A viewer starts playing: its first picture must be a key frame, and
    // comes at once even while the clock stands still (the frame the media
    // prerolled with went to nobody), as a new preview of the library gets
    // the present frame at once.
    void viewerStarted(GstElement *encoder)
    {
        GstPad *pad = gst_element_get_static_pad(encoder, "src");
        gst_pad_send_event(pad, gst_video_event_new_upstream_force_key_unit(GST_CLOCK_TIME_NONE, TRUE, 0));
        gst_object_unref(pad);
        if (!SimClock::instance().paused())
            return;  // the next tick is near
        std::lock_guard<std::mutex> lock(pushMutex_);
        if (last_)
            pushLocked(last_, runningTime());
    }

protected:
    void onFrame(const FramePtr &frame) override
    {
        std::lock_guard<std::mutex> lock(pushMutex_);
        if (firstUs_ < 0) {
            // The simulation's ticks from here on, placed at the pipeline's
            // present so the first frame is neither late nor early.
            firstUs_ = frame->timeUs;
            baseNs_ = runningTime();
        }
        last_ = frame;
        pushLocked(frame, baseNs_ + GstClockTime(frame->timeUs - firstUs_) * 1000);
    }

private:
    GstClockTime runningTime() const
    {
        const GstClockTime now = gst_element_get_current_running_time(source_);
        return GST_CLOCK_TIME_IS_VALID(now) ? now : 0;
    }
    // Zero-copy: the buffer holds the shared frame until the encoder is done.
    void pushLocked(const FramePtr &frame, GstClockTime pts)
    {
        // A repeated frame may have taken a tick's place: never go back.
        if (pushed_ && pts <= lastPtsNs_)
            pts = lastPtsNs_ + 1000;
        pushed_ = true;
        lastPtsNs_ = pts;
        auto *held = new FramePtr(frame);
        GstBuffer *buffer = gst_buffer_new_wrapped_full(
            GST_MEMORY_FLAG_READONLY, const_cast<uint8_t *>(frame->rgba.data()), frame->rgba.size(), 0,
            frame->rgba.size(), held, [](gpointer p) { delete static_cast<FramePtr *>(p); });
        GST_BUFFER_PTS(buffer) = pts;
        // Never blocks: a full queue drops its oldest frame.
        gst_app_src_push_buffer(GST_APP_SRC(source_), buffer);
    }

    const std::shared_ptr<Device> device_;  // the producer lives as long as the feed
    GstElement *const source_;
    std::mutex pushMutex_;  // protects the members below: the stream and viewers' starts push
    int64_t firstUs_ = -1;
    GstClockTime baseNs_ = 0;
    FramePtr last_;
    bool pushed_ = false;
    GstClockTime lastPtsNs_ = 0;
};

}  // namespace

// What the feeds' owner and the media share: which feeds run, and whether new
// ones may start. Outlives the server while media objects hold it.
struct FeedList {
    std::mutex mutex;  // protects the members below
    std::set<RtspServer::Media *> running;
    bool closed = false;
};

struct RtspServer::Mount {
    std::shared_ptr<FeedList> feeds;
    std::shared_ptr<Device> device;
    int channel = 0;
};

struct RtspServer::Media {
    std::shared_ptr<FeedList> feeds;  // its mutex protects feed
    Mount *mount = nullptr;           // the factory's, which outlives its media
    GstElement *source = nullptr;
    GstElement *encoder = nullptr;
    std::unique_ptr<Feed> feed;

    void play()
    {
        std::lock_guard<std::mutex> lock(feeds->mutex);
        if (feeds->closed || feed)
            return;
        feed.reset(new Feed(mount->device, mount->channel, source));
        feed->start();
        feeds->running.insert(this);
    }
    void halt()
    {
        std::unique_ptr<Feed> ending;
        {
            std::lock_guard<std::mutex> lock(feeds->mutex);
            feeds->running.erase(this);
            ending = std::move(feed);
        }
        ending.reset();  // joins the feed's thread, outside the lock
    }
    void viewerStarted()
    {
        std::lock_guard<std::mutex> lock(feeds->mutex);
        if (feed)
            feed->viewerStarted(encoder);
    }
    ~Media()
    {
        halt();
        if (source)
            gst_object_unref(source);
        if (encoder)
            gst_object_unref(encoder);
    }
};

struct RtspServer::State {
    GMainContext *context = nullptr;
    GMainLoop *loop = nullptr;
    std::vector<GstRTSPServer *> servers;
    std::vector<GSource *> sources;
    std::shared_ptr<FeedList> feeds = std::make_shared<FeedList>();
};

namespace {

// The encoder is tuned for the least CPU and no delay: no lookahead, no
// B-frames, one thread per channel (the machine is small, and channels are
// encoded side by side), a key frame every two seconds so a viewer joining a
// shared channel sees a picture soon.
std::string launchLine(int width, int height)
{
    const int kbps = width * height >= 1280 * 720 ? 6000 : 2500;
    return "( appsrc name=src is-live=true format=time max-buffers=2 leaky-type=downstream"
           " ! videoconvert ! video/x-raw,format=I420"
           " ! x264enc name=enc tune=zerolatency speed-preset=ultrafast threads=1 key-int-max=50 bitrate="
           + std::to_string(kbps) + " ! rtph264pay name=pay0 pt=96 config-interval=-1 )";
}

// The source wants frames: while the media prerolls (a live pipeline plays
// to learn its caps, which DESCRIBE needs) and whenever it plays.
void onNeedData(GstAppSrc *, guint, gpointer user)
{
    static_cast<RtspServer::Media *>(user)->play();
}

// Every client's PLAY, the first of a media's or one joining it: asks for a
// key frame so the new viewer's picture starts at once.
void onPlayRequest(GstRTSPClient *, GstRTSPContext *context, gpointer)
{
    if (!context->media)
        return;
    if (auto *media = static_cast<RtspServer::Media *>(g_object_get_data(G_OBJECT(context->media), kMediaKey)))
        media->viewerStarted();
}

void onClientConnected(GstRTSPServer *, GstRTSPClient *client, gpointer)
{
    g_signal_connect(client, "play-request", G_CALLBACK(onPlayRequest), nullptr);
}

void onUnprepared(GstRTSPMedia *, gpointer user)
{
    static_cast<RtspServer::Media *>(user)->halt();
}

void onMediaConfigure(GstRTSPMediaFactory *, GstRTSPMedia *rtspMedia, gpointer user)
{
    auto *mount = static_cast<RtspServer::Mount *>(user);
    GstElement *bin = gst_rtsp_media_get_element(rtspMedia);
    GstElement *source = gst_bin_get_by_name_recurse_up(GST_BIN(bin), "src");
    GstElement *encoder = gst_bin_get_by_name_recurse_up(GST_BIN(bin), "enc");
    gst_object_unref(bin);
    const ChannelProfile &channel = mount->device->profile().channels[size_t(mount->channel)];
    GstCaps *caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "RGBA", "width", G_TYPE_INT,
                                        channel.width, "height", G_TYPE_INT, channel.height, "framerate",
                                        GST_TYPE_FRACTION, mount->device->settings().frameRate(mount->channel), 1,
                                        nullptr);
    g_object_set(source, "caps", caps, nullptr);
    gst_caps_unref(caps);

    auto *media = new RtspServer::Media;
    media->feeds = mount->feeds;
    media->mount = mount;
    media->source = source;
    media->encoder = encoder;
    g_object_set_data_full(G_OBJECT(rtspMedia), kMediaKey, media,
                           [](gpointer p) { delete static_cast<RtspServer::Media *>(p); });
    g_signal_connect(source, "need-data", G_CALLBACK(onNeedData), media);
    g_signal_connect(rtspMedia, "unprepared", G_CALLBACK(onUnprepared), media);
}

GstRTSPFilterResult closeClient(GstRTSPServer *, GstRTSPClient *, gpointer)
{
    return GST_RTSP_FILTER_REMOVE;
}

}  // namespace

RtspServer::RtspServer(const std::vector<DeviceProfile> &devices, LogLine log)
    : devices_(devices), log_(std::move(log))
{
}

RtspServer::~RtspServer()
{
    stop();
    for (int fd : listeners_)
        ::close(fd);
}

bool RtspServer::bind(std::string *error)
{
    for (const DeviceProfile &d : devices_) {
        if (d.rtspPort <= 0)
            continue;
        const int fd = listenTcp(d.address, d.rtspPort, SOCK_NONBLOCK, 64, nullptr);
        if (fd < 0) {
            *error = bindError(d.address, d.rtspPort, errno);
            for (int open : listeners_)
                ::close(open);
            listeners_.clear();
            return false;
        }
        listeners_.push_back(fd);
    }
    return true;
}

void RtspServer::start()
{
    if (listeners_.empty() || state_)
        return;
    gst_init(nullptr, nullptr);
    state_ = std::make_unique<State>();
    state_->context = g_main_context_new();
    state_->loop = g_main_loop_new(state_->context, FALSE);
    size_t next = 0;
    for (const DeviceProfile &d : devices_) {
        if (d.rtspPort <= 0)
            continue;
        const int fd = listeners_[next++];
        std::shared_ptr<Device> device = Fleet::instance().device(d.address);

        GstRTSPServer *server = gst_rtsp_server_new();
        GstRTSPAuth *auth = gst_rtsp_auth_new();
        gst_rtsp_auth_set_supported_methods(auth, GST_RTSP_AUTH_DIGEST);
        GstRTSPToken *token =
            gst_rtsp_token_new(GST_RTSP_TOKEN_MEDIA_FACTORY_ROLE, G_TYPE_STRING, kViewerRole, nullptr);
        gst_rtsp_auth_add_digest(auth, d.user.c_str(), d.password.c_str(), token);
        gst_rtsp_token_unref(token);
        gst_rtsp_server_set_auth(server, auth);
        g_object_unref(auth);
        g_signal_connect(server, "client-connected", G_CALLBACK(onClientConnected), nullptr);

        GstRTSPMountPoints *mounts = gst_rtsp_server_get_mount_points(server);
        for (int c = 0; c < int(d.channels.size()); ++c) {
            GstRTSPMediaFactory *factory = gst_rtsp_media_factory_new();
            gst_rtsp_media_factory_set_launch(factory,
                                              launchLine(d.channels[size_t(c)].width, d.channels[size_t(c)].height)
                                                  .c_str());
            gst_rtsp_media_factory_set_shared(factory, TRUE);
            // RTP inside the RTSP connection only: UDP would open ports on
            // every address, and the device binds its own alone.
            gst_rtsp_media_factory_set_protocols(factory, GST_RTSP_LOWER_TRANS_TCP);
            gst_rtsp_media_factory_add_role(factory, kViewerRole, GST_RTSP_PERM_MEDIA_FACTORY_ACCESS,
                                            G_TYPE_BOOLEAN, TRUE, GST_RTSP_PERM_MEDIA_FACTORY_CONSTRUCT,
                                            G_TYPE_BOOLEAN, TRUE, nullptr);
            const std::string path = "/ch" + std::to_string(c + 1);
            auto *mount = new Mount{state_->feeds, device, c};
            g_signal_connect_data(factory, "media-configure", G_CALLBACK(onMediaConfigure), mount,
                                  [](gpointer p, GClosure *) { delete static_cast<Mount *>(p); },
                                  GConnectFlags(0));
            gst_rtsp_mount_points_add_factory(mounts, path.c_str(), factory);
        }
        g_object_unref(mounts);

        GSocket *socket = g_socket_new_from_fd(fd, nullptr);
        GSource *source = g_socket_create_source(socket, G_IO_IN, nullptr);
        g_source_set_callback(source, G_SOURCE_FUNC(gst_rtsp_server_io_func), g_object_ref(server),
                              g_object_unref);
        g_source_attach(source, state_->context);
        g_object_unref(socket);
        state_->sources.push_back(source);
        state_->servers.push_back(server);
        log_("rtsp " + d.address + ":" + std::to_string(d.rtspPort) + " /ch1"
             + (d.channels.size() > 1 ? " /ch2" : ""));
    }
    // The sockets are the sources' now.
    listeners_.clear();
    thread_ = std::thread([this] { run(); });
}

void RtspServer::run()
{
    // Clients and their media attach to the loop thread's own context.
    g_main_context_push_thread_default(state_->context);
    g_main_loop_run(state_->loop);
    g_main_context_pop_thread_default(state_->context);
}

void RtspServer::stop()
{
    if (!state_)
        return;
    if (thread_.joinable()) {
        // On the loop, where the clients live: close them all, then end.
        g_main_context_invoke(
            state_->context,
            [](gpointer p) -> gboolean {
                auto *state = static_cast<State *>(p);
                for (GstRTSPServer *server : state->servers)
                    g_list_free_full(gst_rtsp_server_client_filter(server, closeClient, nullptr), g_object_unref);
                g_main_loop_quit(state->loop);
                return G_SOURCE_REMOVE;
            },
            state_.get());
        thread_.join();
    }
    // Media that outlive their clients stop reading frames now.
    std::vector<std::unique_ptr<Feed>> ending;
    {
        std::lock_guard<std::mutex> lock(state_->feeds->mutex);
        state_->feeds->closed = true;
        for (Media *media : state_->feeds->running)
            ending.push_back(std::move(media->feed));
        state_->feeds->running.clear();
    }
    ending.clear();
    for (GSource *source : state_->sources) {
        g_source_destroy(source);
        g_source_unref(source);
    }
    for (GstRTSPServer *server : state_->servers)
        g_object_unref(server);
    g_main_loop_unref(state_->loop);
    g_main_context_unref(state_->context);
    state_.reset();
}

}  // namespace sim::service
