#ifndef RECFILE_H
#define RECFILE_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "TMVNetSDK.h"

// A thermal recording: one Matroska file holding the temperature stream
// exactly (track 1, FFV1 gray16le, each value the device's deci-kelvin), the
// same frames in a palette (track 2, MPEG-4 part 2) so any player shows it,
// and the temperatures again in a codec that decodes three times faster
// (track 3, PNG gray16be, the fast copy) for passes over a whole recording.
// The layout and its tags are described in docs/file-formats.md.

// What a recording says about itself, in its tags.
struct RecInfo
{
    std::string deviceName;
    std::string deviceAddress;
    int channel = 0;
    int64_t startUtcMs = 0;  // the first frame's arrival
    int unit = 0;            // 0 Celsius, 1 Fahrenheit, 2 Kelvin
    // As the device reported it: its two temperatures in `unit`.
    TMV_NET_ENV_PARAM env{1.0f, 0.0f, 1.0f, 0.0f, 1.0f};
    int palette = 4;
    int width = 0;
    int height = 0;
    int frameRate = 25;  // nominal; frame times are the real ones
    // Written when the recording ends; -1 in a file cut before its end.
    int64_t queueHighWater = -1;
    int64_t droppedFrames = -1;
};

namespace RecTags {
// The tag that marks a file as a thermal recording, and its version.
extern const char *const kFormat;
extern const char *const kFormatVersion;
// The scale of track 1's values.
extern const char *const kScale;
// The text of a unit code, and back (-1 for an unknown text).
const char *UnitName(int unit);
int UnitCode(const std::string &name);
} // namespace RecTags

// Writes one recording. Open creates the file at once, so a folder that
// cannot be written to fails at the start; the tracks are set up with the
// first frame, whose size they take.
//
// A failed write (a full disk) ends the writing: what reached the file
// stays playable up to its last whole cluster, as after a crash.
//
// Threading model: one thread at a time (the recorder's writer thread).
class RecWriter
{
public:
    RecWriter();
    ~RecWriter();
    RecWriter(const RecWriter &) = delete;
    RecWriter &operator=(const RecWriter &) = delete;

    // `info`'s size is ignored: the first frame's is used.
    bool Open(const std::string &path, const RecInfo &info, std::string *error);
    // `timeUs` from any origin, increasing; frames of another size than the
    // first are refused.
    bool Write(const uint16_t *values, int width, int height, int64_t timeUs, std::string *error);
    // The first frame's time in UTC, for the header; before the first Write.
    void SetStartUtc(int64_t ms);
    // Flushes the encoders, writes the index and the end tags, closes.
    bool Finish(int64_t queueHighWater, int64_t droppedFrames, std::string *error);

    bool IsOpen() const;
    int64_t Frames() const;
    int64_t Bytes() const;
    const std::string &Path() const;

    // Testing: the file takes at most this many bytes, then writes fail as
    // on a full disk.
    void SetSpaceLimit(uint64_t bytes);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Reads a recording: its tags, the time of every frame, any frame's
// temperature matrix.
//
// Threading model: one thread at a time.
class RecReader
{
public:
    RecReader();
    ~RecReader();
    RecReader(const RecReader &) = delete;
    RecReader &operator=(const RecReader &) = delete;

    // False, with a message naming what is missing or broken, for a file
    // that is not a readable recording.
    bool Open(const std::string &path, std::string *error);
    // The file `other` has open, read by a second reader for another thread:
    // the tags and the index come from `other` (not read again), and frames
    // are decoded on the calling thread alone.
    bool OpenAgain(const RecReader &other, std::string *error);

    const RecInfo &Info() const;
    int FrameCount() const;
    // Milliseconds since the first frame.
    int64_t TimeMs(int index) const;
    // The file was cut before its end was written (a crash, a full disk):
    // it holds the frames up to its last whole cluster.
    bool Cut() const;
    // A picture track a player can show is there.
    bool HasPictureTrack() const;
    // Frames come from the fast copy: the file has one, with track 1's
    // frames, times and size and its first frame's values, and none of it
    // failed to decode so far. Otherwise (older files, a damaged copy) they
    // come from track 1.
    bool ReadsFastCopy() const;
    // Frames read from now on need to hold rows 0..`row` only (-1: all).
    // The fast copy is then inflated no further: a pass over shapes in the
    // upper rows reads less. The other rows hold anything.
    void SetLastRowNeeded(int row);

    // The matrix of frame `index`, width * height values. Reading the frame
    // after the last one read is the cheap case (playing, whole passes).
    bool ReadFrame(int index, std::vector<uint16_t> *values, std::string *error);
    // The same without a copy: width * height values, valid until the next
    // read; null on failure.
    const uint16_t *ReadFrame(int index, std::string *error);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

#endif // RECFILE_H
