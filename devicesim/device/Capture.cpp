#include "device/Capture.h"

#include "base/Status.h"
#include "camera/FrameProducer.h"
#include "device/Device.h"
#include "device/Session.h"
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

// The thermal channel's picture as it is now: the live frame when somebody
// reads the channel, so a radiometric picture matches what the viewer sees.
FramePtr thermalNow(Session &session)
{
    Device &device = session.device();
    FramePtr picture = device.producer(device.profile().thermalChannel).frameNow();
    return picture && picture->thermal() ? picture : nullptr;
}

}  // namespace

int32_t captureSnapshot(Session &session, const std::string &path)
{
    const int channel = session.previewChannel();
    if (channel < 0)
        return kFailed;  // a snapshot is of the live picture
    FramePtr picture = session.device().producer(channel).frameNow();
    return writeJpegSnapshot(path, picture->rgba.data(), picture->width, picture->height) ? kOk : kFailed;
}

int32_t captureIrg(Session &session, const std::string &irgPath, const std::string &jpgPath)
{
    FramePtr picture = thermalNow(session);
    if (!picture)
        return kNotSupported;
    return writeIrgPair(irgPath, jpgPath, picture->rgba.data(), picture->temperature.data(), picture->width,
                        picture->height, metaNow())
               ? kOk
               : kFailed;
}

int32_t captureDlt664(Session &session, const std::string &path)
{
    FramePtr picture = thermalNow(session);
    if (!picture)
        return kNotSupported;
    return writeDlt664(path, picture->rgba.data(), picture->temperature.data(), picture->width, picture->height,
                       metaNow())
               ? kOk
               : kFailed;
}

}  // namespace sim
