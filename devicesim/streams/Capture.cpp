#include "streams/Capture.h"

#include "model/Device.h"
#include "model/Picture.h"
#include "model/Session.h"
#include "model/SimClock.h"
#include "storage/PictureFiles.h"

#include <chrono>

namespace sim {

namespace {

ThermalMeta metaNow()
{
    ThermalMeta meta;
    meta.timestampMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    return meta;
}

// The thermal channel's picture as it is now.
bool renderThermal(Session &session, Picture &picture)
{
    Device &device = session.device();
    device.renderChannel(device.profile().thermalChannel, SimClock::instance().nowUs(), picture);
    return picture.thermal();
}

}  // namespace

int32_t captureSnapshot(Session &session, const std::string &path)
{
    const int channel = session.previewChannel();
    if (channel < 0)
        return 1;  // a snapshot is of the live picture
    Picture picture;
    session.device().renderChannel(channel, SimClock::instance().nowUs(), picture);
    return writeJpegSnapshot(path, picture.rgba.data(), picture.width, picture.height) ? 0 : 1;
}

int32_t captureIrg(Session &session, const std::string &irgPath, const std::string &jpgPath)
{
    Picture picture;
    if (!renderThermal(session, picture))
        return 2;
    return writeIrgPair(irgPath, jpgPath, picture.rgba.data(), picture.temperature.data(), picture.width,
                        picture.height, metaNow())
               ? 0
               : 1;
}

int32_t captureDlt664(Session &session, const std::string &path)
{
    Picture picture;
    if (!renderThermal(session, picture))
        return 2;
    return writeDlt664(path, picture.rgba.data(), picture.temperature.data(), picture.width, picture.height,
                       metaNow())
               ? 0
               : 1;
}

}  // namespace sim
