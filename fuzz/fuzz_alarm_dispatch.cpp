// The alarm callback fed as the library feeds it: any type code, a record of
// exactly its type's size whose bytes come from outside, pictures of every
// kind of size. Called from a thread of its own, then the queued rows built.
#include "FuzzCheck.h"
#include "thermal/AlarmPage.h"
#include "thermal/TempAlarmPage.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QApplication>
#include <QFile>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

namespace {

QApplication &App()
{
    static int argc = 1;
    static char name[] = "fuzz_alarm_dispatch";
    static char *argv[] = {name, nullptr};
    static QApplication *app = new QApplication(argc, argv);
    return *app;
}

// A picture entry and what the client must do with it.
struct PictureCase
{
    std::unique_ptr<char[]> bytes; // exactly `size` bytes when valid
    bool valid = false;
};

struct Code
{
    int32_t code;
    size_t size;
    const char *prefix; // nullptr: the record has no pictures
    size_t picturesAt;
};

#define CODE(value, Record, prefix) {value, sizeof(Record), prefix, offsetof(Record, pictures)}
const Code kCodes[] = {
    CODE(TMV_NET_ALARM_TEMP, TMV_NET_TEMP_ALARM_INFO, "testPictureTemp_"),
    CODE(TMV_NET_ALARM_TEMP_RISE, TMV_NET_TEMP_ALARM_INFO, "testPictureTemp_"),
    CODE(TMV_NET_ALARM_FIRE, TMV_NET_FIRE_ALARM_INFO, "testPictureFire_"),
    CODE(TMV_NET_ALARM_FIRE_PULSE, TMV_NET_FIRE_ALARM_INFO, "testPictureFire_"),
    CODE(TMV_NET_ALARM_TEMP_DIFF, TMV_NET_TEMP_DIFF_ALARM_INFO, "testPictureTempDiff_"),
    CODE(TMV_NET_ALARM_HIGH_LIGHT, TMV_NET_HIGH_LIGHT_ALARM_INFO, "testPictureHighLight_"),
    CODE(TMV_NET_ALARM_REGION_INTRUSION, TMV_NET_REGION_INTRUSION_ALARM_INFO, "testPictureRegion_"),
    CODE(TMV_NET_ALARM_LINE_INTRUSION, TMV_NET_LINE_INTRUSION_ALARM_INFO, "testPictureLine_"),
    CODE(TMV_NET_ALARM_OBJECT_PULSE, TMV_NET_OBJECT_PULSE_ALARM_INFO, "testPictureObject_"),
    CODE(TMV_NET_ALARM_DYNAMIC, TMV_NET_DYNAMIC_ALARM_INFO, "testPictureDynamic_"),
    CODE(TMV_NET_ALARM_SMOKE_DETECT, TMV_NET_SMOKE_DETECT_ALARM_INFO, "testPictureSmokeDetect_"),
    CODE(TMV_NET_ALARM_LOCAL, TMV_NET_LOCAL_ALARM_INFO, "testPictureLocal_"),
    CODE(TMV_NET_ALARM_TRACK_STATE, TMV_NET_TRACK_STATE_ALARM_INFO, "testPictureTrackState_"),
    CODE(TMV_NET_ALARM_TRACK_OBJECT, TMV_NET_TRACK_OBJECT_ALARM_INFO, "testPictureTrackObject_"),
    CODE(TMV_NET_ALARM_LOGIN_EXCEPTION, TMV_NET_LOGIN_EXCEPTION_ALARM_INFO, "testPictureLoginException_"),
    {TMV_NET_ALARM_SD_EXCEPTION, sizeof(TMV_NET_SD_EXCEPTION_ALARM_INFO), nullptr, 0},
};
#undef CODE

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    App();
    FuzzedDataProvider input(data, size);

    const Code *known = nullptr;
    int32_t code = 0;
    if (input.ConsumeIntegralInRange<int>(0, 7) != 0) {
        known = &kCodes[input.ConsumeIntegralInRange<size_t>(0, std::size(kCodes) - 1)];
        code = known->code;
    } else {
        code = input.ConsumeIntegral<int32_t>();
        for (const Code &c : kCodes) {
            if (c.code == code)
                known = &c;
        }
    }
    // Unknown codes are dropped unread: a small buffer shows any read.
    const size_t recordSize = known ? known->size : 8;
    std::unique_ptr<uint8_t[]> record(new uint8_t[recordSize]);
    std::memset(record.get(), 0, recordSize);
    const std::vector<uint8_t> bytes = input.ConsumeBytes<uint8_t>(recordSize);
    if (!bytes.empty())
        std::memcpy(record.get(), bytes.data(), bytes.size());

    PictureCase pictures[2];
    if (known && known->prefix) {
        for (int index = 0; index < 2; ++index) {
            TMV_NET_ALARM_PICTURE picture;
            std::memset(&picture, 0, sizeof picture);
            PictureCase &pictureCase = pictures[index];
            switch (input.ConsumeIntegralInRange<int>(0, 5)) {
            case 0: { // a real picture
                const int32_t length = input.ConsumeIntegralInRange<int32_t>(1, 512);
                pictureCase.bytes.reset(new char[size_t(length)]);
                for (int32_t i = 0; i < length; ++i)
                    pictureCase.bytes[size_t(i)] = char(i * 7 + index);
                picture.data = reinterpret_cast<uint8_t *>(pictureCase.bytes.get());
                picture.size = length;
                pictureCase.valid = true;
                break;
            }
            case 1: // a size beyond the bound on a small buffer
                pictureCase.bytes.reset(new char[16]);
                picture.data = reinterpret_cast<uint8_t *>(pictureCase.bytes.get());
                picture.size = input.ConsumeIntegralInRange<int32_t>(TempAlarmPage::kMaxAlarmPictureBytes + 1,
                                                                     INT32_MAX);
                break;
            case 2: // negative
                pictureCase.bytes.reset(new char[16]);
                picture.data = reinterpret_cast<uint8_t *>(pictureCase.bytes.get());
                picture.size = input.ConsumeIntegralInRange<int32_t>(INT32_MIN, -1);
                break;
            case 3: // zero
                pictureCase.bytes.reset(new char[1]);
                picture.data = reinterpret_cast<uint8_t *>(pictureCase.bytes.get());
                picture.size = 0;
                break;
            case 4: // no data
                picture.data = nullptr;
                picture.size = input.ConsumeIntegral<int32_t>();
                break;
            default: // whatever the record's bytes said, pointer cleared
                picture.data = nullptr;
                break;
            }
            std::memcpy(record.get() + known->picturesAt + index * sizeof picture, &picture, sizeof picture);
        }
    }

    const bool nullUser = input.ConsumeIntegralInRange<int>(0, 31) == 0;
    // A page saves the pictures of the first alarm of each kind only: one
    // whose kind has saved already is replaced (building a page is slow).
    static TempAlarmPage *page = nullptr;
    static std::set<std::string> saved;
    if (!page || (known && known->prefix && saved.count(known->prefix))) {
        delete page;
        page = new TempAlarmPage(nullptr);
        saved.clear();
    }
    page->GetAlarmPage()->ClearAlarms();
    std::string names[2];
    if (known && known->prefix) {
        for (int index = 0; index < 2; ++index) {
            names[index] = std::string(known->prefix) + std::to_string(index) + ".jpg";
            QFile::remove(QString::fromStdString(names[index]));
        }
    }

    std::thread library(&TempAlarmPage::AlarmCallback, nullptr, code, record.get(),
                        nullUser ? nullptr : static_cast<void *>(page));
    library.join();
    QCoreApplication::processEvents();
    // Objects the widgets let go with deleteLater() go only when an event
    // loop turns, which a fuzz input never leaves room for.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    AlarmPage *list = page->GetAlarmPage();
    require(list->RowCount() == (known && !nullUser ? 1 : 0));
    if (list->RowCount() == 1)
        require(list->RowTexts(0).size() == 8);

    // The first alarm of a kind on a page saves its valid pictures; invalid
    // entries are never written.
    if (known && known->prefix && !nullUser) {
        for (int index = 0; index < 2; ++index) {
            QFile file(QString::fromStdString(names[index]));
            if (!pictures[index].valid) {
                require(!file.exists());
                continue;
            }
            require(file.open(QIODevice::ReadOnly));
            const QByteArray written = file.readAll();
            TMV_NET_ALARM_PICTURE picture;
            std::memcpy(&picture, record.get() + known->picturesAt + index * sizeof picture, sizeof picture);
            require(written == QByteArray(pictures[index].bytes.get(), picture.size));
            saved.insert(known->prefix);
        }
    }
    return 0;
}
