#pragma once
// Names and times of the files on a device's SD card.
//
// Times on the card are local wall-clock times, as the camera's clock shows
// them and as an operator types them: "civil seconds", the count of seconds
// from 1970-01-01 00:00:00 of the local calendar (no time zone, no daylight
// saving jumps), so a name, a query and a record compare directly.
//
// A card file is named after what it holds, so the folder alone is the
// truth and the index can always be rebuilt from it:
//   ch<channel>_<video|image>_<YYYYMMDD-HHMMSS>_<YYYYMMDD-HHMMSS>.<mp4|jpg>
// with its start and end time. Any other name in the folder is not a card
// file (temporary files, a template folder, someone's notes).

#include <cstdint>
#include <string>

namespace sim {

enum class CardFileType { Image = 0, Video = 1 };

struct CardFileName {
    int channel = 0;
    CardFileType type = CardFileType::Video;
    int64_t start = 0;  // civil seconds
    int64_t end = 0;
};

// Civil seconds of an epoch time (seconds since 1970 UTC), in local time.
int64_t civilFromEpoch(int64_t epochSeconds);
// Civil seconds of the system clock now.
int64_t civilNow();

// "yyyy-MM-dd+HH:mm:ss", exactly, with a real calendar date; false otherwise.
bool parseQueryTime(const char *text, int64_t *civil);
// The same form, for file records.
std::string queryTime(int64_t civil);

std::string cardFileName(const CardFileName &file);
// False for anything that is not a card file name.
bool parseCardFileName(const std::string &name, CardFileName *file);

}  // namespace sim
