#pragma once
// The devices' channels as RTSP with H.264: rtsp://<address>:<rtspPort>/ch1
// (channel 0) and /ch2 (channel 1), behind digest authentication with the
// device's user and password. A channel is encoded only while someone
// watches it: its media is shared by every client of the channel, and its
// feed attaches to the channel's frame producer when the media's pipeline
// first asks for frames (the first client's DESCRIBE: a live pipeline plays
// to learn the stream's parameters) and detaches when the media is released
// with its last client, so any number of viewers cost one synthesis and one
// encoding.
//
// Threading model: bind(), start() and stop() come from the main thread.
// Everything RTSP (the listening sockets, the clients, the media's state
// changes) runs on one GLib main loop on the server's own thread; the media
// pipelines run on GStreamer's streaming threads. A feed is a library stream
// (ChannelStream) that paces itself on the simulation clock and pushes each
// frame into its pipeline without waiting for the encoder. A source's
// streaming thread starts its feed, the media's thread stops it, and stop()
// stops any left after the loop ended.
// One mutex, shared with the media, guards the running feeds.

#include "base/DeviceProfile.h"
#include "service/DeviceConnection.h"

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace sim::service {

class RtspServer {
public:
    RtspServer(const std::vector<DeviceProfile> &devices, LogLine log);
    ~RtspServer();
    RtspServer(const RtspServer &) = delete;
    RtspServer &operator=(const RtspServer &) = delete;

    // Binds the RTSP port of every device that has one; on failure says why
    // in `error` and binds nothing.
    bool bind(std::string *error);
    // Mounts the channels and starts serving; after the fleet is up.
    void start();
    // Closes every client, ends the feeds and the loop.
    void stop();

    struct Mount;  // one channel of one device
    struct Media;  // one channel's shared media while it exists

private:
    void run();

    const std::vector<DeviceProfile> devices_;
    LogLine log_;
    std::vector<int> listeners_;  // the devices with a port, same order as servers_
    struct State;                 // the GLib and GStreamer objects
    std::unique_ptr<State> state_;
    std::thread thread_;
};

}  // namespace sim::service
