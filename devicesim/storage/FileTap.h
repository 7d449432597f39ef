#pragma once
// A file the device writes over a long time (a recording, a download) whose
// bytes also go somewhere else as they are written: the device service taps
// the files its peers' calls write, so each peer gets the bytes on its own
// machine. A writer looks its path up when it opens the file, then reports
// every write and the end; an untapped file is written as always.
//
// Threading model: the registry is safe from any thread (one mutex, held
// only to look up). A tap is called from the writer's own thread only.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace sim {

class FileTap {
public:
    virtual ~FileTap() = default;
    // `size` bytes went to the file at `offset`. False when nobody takes
    // them any more: the writer then fails as on a failed write.
    virtual bool wrote(int64_t offset, const uint8_t *data, size_t size) = 0;
    // The file is finished: kept at `size` bytes, or gone.
    virtual void finished(bool kept, int64_t size) = 0;
};

namespace fileTaps {

// Taps the file at `path` (as the writer will name it) until remove().
void add(const std::string &path, std::shared_ptr<FileTap> tap);
void remove(const std::string &path);
// The tap of `path`, or null.
std::shared_ptr<FileTap> find(const std::string &path);

}  // namespace fileTaps

}  // namespace sim
