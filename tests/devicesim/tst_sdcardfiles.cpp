// The files of an SD card: names, the filled-in history, the index that
// follows the folder, the capacity, and which device paths name a card file.

#include "storage/CardNames.h"
#include "storage/SdCard.h"

#include <QtTest>

#include <unistd.h>

using sim::CardFile;
using sim::CardFileName;
using sim::CardFileType;
using sim::CardQuery;
using sim::SdCard;

namespace {

const char *const kAddress = "127.0.0.21";

int64_t civil(const char *text)
{
    int64_t value = 0;
    return sim::parseQueryTime(text, &value) ? value : -1;
}

int countOf(const std::vector<CardFile> &files, int channel, CardFileType type)
{
    return int(std::count_if(files.begin(), files.end(),
                             [&](const CardFile &f) { return f.channel == channel && f.type == type; }));
}

}  // namespace

class TestSdCardFiles : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { SdCard::setRoot(""); }

    void queryTimes_data();
    void queryTimes();
    void names_data();
    void names();

    void historyOnEveryChannel();
    void restartAddsNoDuplicates();
    void searchFiltersAndPages();
    void indexFollowsTheFolder();
    void capacityOverwritesOldest();
    void addFileTakesItsSlot();
    void devicePaths_data();
    void devicePaths();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<SdCard> card_;
};

void TestSdCardFiles::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    SdCard::setRoot(QFile::encodeName(dir_->path()).toStdString());
    card_ = std::make_unique<SdCard>(kAddress, 2);
}

void TestSdCardFiles::queryTimes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QByteArray>("back");
    QTest::newRow("plain") << QByteArray("2024-05-01+10:20:30") << true << QByteArray("2024-05-01+10:20:30");
    QTest::newRow("leap day") << QByteArray("2024-02-29+00:00:00") << true << QByteArray("2024-02-29+00:00:00");
    QTest::newRow("no leap day") << QByteArray("2023-02-29+00:00:00") << false << QByteArray();
    QTest::newRow("hour 24") << QByteArray("2024-05-01+24:00:00") << false << QByteArray();
    QTest::newRow("space") << QByteArray("2024-05-01 10:20:30") << false << QByteArray();
    QTest::newRow("short") << QByteArray("2024-5-1+10:20:30") << false << QByteArray();
    QTest::newRow("trailing") << QByteArray("2024-05-01+10:20:30Z") << false << QByteArray();
}

void TestSdCardFiles::queryTimes()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QFETCH(QByteArray, back);
    int64_t value = 0;
    QCOMPARE(sim::parseQueryTime(text.constData(), &value), valid);
    if (valid)
        QCOMPARE(QByteArray::fromStdString(sim::queryTime(value)), back);
}

void TestSdCardFiles::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("valid");
    QTest::newRow("video") << "ch0_video_20240501-102030_20240501-102033.mp4" << true;
    QTest::newRow("picture") << "ch1_image_20240501-102030_20240501-102030.jpg" << true;
    QTest::newRow("picture as mp4") << "ch1_image_20240501-102030_20240501-102030.mp4" << false;
    QTest::newRow("ends before start") << "ch0_video_20240501-102030_20240501-102029.mp4" << false;
    QTest::newRow("31 April") << "ch0_video_20240431-102030_20240431-102033.mp4" << false;
    QTest::newRow("temporary") << "ch0_video_20240501-102030_20240501-102033.mp4.part" << false;
    QTest::newRow("climbing") << "../ch0_video_20240501-102030_20240501-102033.mp4" << false;
    QTest::newRow("hidden") << ".templates" << false;
    QTest::newRow("NUL inside") << QString::fromLatin1("ch0_video_20240501-102030_20240501-102033.mp4\0x", 48)
                                << false;
}

void TestSdCardFiles::names()
{
    QFETCH(QString, name);
    QFETCH(bool, valid);
    CardFileName parsed;
    QCOMPARE(sim::parseCardFileName(name.toStdString(), &parsed), valid);
    if (valid)
        QCOMPARE(QString::fromStdString(sim::cardFileName(parsed)), name);
}

// A fresh card holds the recent history of both channels and both types,
// up to now, all real files.
void TestSdCardFiles::historyOnEveryChannel()
{
    const int64_t now = sim::civilNow();
    const auto files = card_->files();
    const int perKind = int(SdCard::kHistorySeconds / SdCard::kSlotSeconds);
    for (int channel : {0, 1}) {
        for (CardFileType type : {CardFileType::Video, CardFileType::Image}) {
            const int n = countOf(files, channel, type);
            QVERIFY2(n >= perKind - 1 && n <= perKind + 1, qPrintable(QString::number(n)));
        }
    }
    for (const CardFile &f : files) {
        QVERIFY(f.end <= now + 1 && f.start >= now - SdCard::kHistorySeconds - 1);
        QVERIFY(f.size > 0);
        QVERIFY(QFileInfo(QString::fromStdString(card_->folder() + "/" + f.name)).isFile());
    }
    QVERIFY(std::is_sorted(files.begin(), files.end(),
                           [](const CardFile &a, const CardFile &b) { return a.start < b.start; }));
    QVERIFY(files.back().start >= now - SdCard::kSlotSeconds);
}

// The card of the next run continues the same folder without doubling it.
void TestSdCardFiles::restartAddsNoDuplicates()
{
    const auto first = card_->files();
    card_.reset();
    SdCard again(kAddress, 2);
    const auto second = again.files();
    QVERIFY(second.size() >= first.size() && second.size() <= first.size() + 4);
}

void TestSdCardFiles::searchFiltersAndPages()
{
    const auto all = card_->files();
    const int64_t now = sim::civilNow();
    const CardQuery query{1, CardFileType::Image, now - 86400, now};
    std::vector<CardFile> expected;
    for (const CardFile &f : all)
        if (f.channel == 1 && f.type == CardFileType::Image && f.end >= query.from && f.start <= query.to)
            expected.push_back(f);
    QVERIFY(expected.size() > 50);
    std::vector<CardFile> pages;
    for (int page = 0;; ++page) {
        const auto part = card_->search(query, page, 50);
        QVERIFY(part.size() <= 50);
        pages.insert(pages.end(), part.begin(), part.end());
        if (part.size() < 50)
            break;
    }
    QCOMPARE(pages.size(), expected.size());
    for (size_t i = 0; i < pages.size(); ++i)
        QCOMPARE(QString::fromStdString(pages[i].name), QString::fromStdString(expected[i].name));
    QVERIFY(card_->search(query, 1000, 50).empty());
}

// Files dropped into the folder by another part of the device are found;
// removed ones are gone; other names are ignored.
void TestSdCardFiles::indexFollowsTheFolder()
{
    const size_t before = card_->files().size();
    const QString folder = QString::fromStdString(card_->folder());
    const QString name = "ch0_image_20000101-120000_20000101-120000.jpg";
    for (const QString &n : {name, QString("notes.txt")}) {
        QFile f(folder + "/" + n);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("jpeg");
    }
    auto found = card_->search({0, CardFileType::Image, civil("2000-01-01+00:00:00"), civil("2000-01-02+00:00:00")}, 0, 50);
    QCOMPARE(found.size(), size_t(1));
    QCOMPARE(QString::fromStdString(found[0].name), name);
    QCOMPARE(found[0].size, uint64_t(4));
    QCOMPARE(card_->files().size(), before + 1);
    QVERIFY(QFile::remove(folder + "/" + name));
    QCOMPARE(card_->files().size(), before);
}

// Past its capacity the card drops its oldest files, and a new file on a
// full card pushes the oldest out.
void TestSdCardFiles::capacityOverwritesOldest()
{
    const auto all = card_->files();
    const uint64_t used = card_->usedBytes();
    card_->setCapacity(used / 2);
    const auto kept = card_->files();
    QVERIFY(card_->usedBytes() <= used / 2);
    QVERIFY(kept.size() < all.size());
    QCOMPARE(kept.back().name, all.back().name);
    for (const CardFile &gone : std::vector<CardFile>(all.begin(), all.begin() + ptrdiff_t(all.size() - kept.size()))) {
        QVERIFY(gone.start <= kept.front().start);
        QVERIFY(!QFileInfo::exists(QString::fromStdString(card_->folder() + "/" + gone.name)));
    }
    card_->setCapacity(card_->usedBytes());  // full to the byte
    const std::string written = card_->folder() + "/incoming";
    QFile f(QString::fromStdString(written));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(int(kept.front().size) + 1, 'x'));
    f.close();
    const int64_t epoch = int64_t(::time(nullptr));
    QVERIFY(!card_->addFile(0, CardFileType::Image, epoch, epoch, written).empty());
    QVERIFY(card_->usedBytes() <= used / 2);
    QVERIFY(!QFileInfo::exists(QString::fromStdString(card_->folder() + "/" + kept.front().name)));
    QCOMPARE(card_->files().back().start, sim::civilFromEpoch(epoch));
}

void TestSdCardFiles::addFileTakesItsSlot()
{
    const std::string written = card_->folder() + "/linkage.tmp";
    QFile f(QString::fromStdString(written));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("0123456789");
    f.close();
    const int64_t epoch = int64_t(::time(nullptr)) - 3600;
    const std::string path = card_->addFile(1, CardFileType::Video, epoch, epoch + 10, written);
    QVERIFY(!path.empty());
    QVERIFY(!QFileInfo::exists(QString::fromStdString(written)));
    const std::string host = card_->hostPath(path);
    QVERIFY(!host.empty());
    QCOMPARE(QFileInfo(QString::fromStdString(host)).size(), 10);
    const int64_t start = sim::civilFromEpoch(epoch);
    const auto found = card_->search({1, CardFileType::Video, start + 10, start + 10}, 0, 50);
    QVERIFY(std::any_of(found.begin(), found.end(), [&](const CardFile &c) { return SdCard::devicePath(c.name) == path; }));
    QVERIFY(card_->addFile(5, CardFileType::Video, epoch, epoch, written).empty());  // no such channel
}

void TestSdCardFiles::devicePaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("onCard");
    QTest::newRow("card file") << "@file" << true;
    QTest::newRow("host file") << "/etc/passwd" << false;
    QTest::newRow("dot dot") << "/mnt/sdcard/../../etc/passwd" << false;
    QTest::newRow("host path of a card file") << "@host" << false;
    QTest::newRow("link named like a card file") << "@symlink" << false;
    QTest::newRow("template") << "/mnt/sdcard/.templates/ch0.mp4" << false;
    QTest::newRow("no such file") << "/mnt/sdcard/ch0_video_20000101-000000_20000101-000003.mp4" << false;
}

// Only a plain file of the card resolves; nothing else on the host is ever
// handed out for reading.
void TestSdCardFiles::devicePaths()
{
    QFETCH(QString, path);
    QFETCH(bool, onCard);
    const auto files = card_->files();
    QVERIFY(!files.empty());
    if (path == "@file")
        path = QString::fromStdString(SdCard::devicePath(files.front().name));
    if (path == "@host")
        path = QString::fromStdString(card_->folder() + "/" + files.front().name);
    if (path == "@symlink") {
        const std::string name = "ch0_image_20000101-000000_20000101-000000.jpg";
        QVERIFY(::symlink("/etc/passwd", (card_->folder() + "/" + name).c_str()) == 0);
        path = QString::fromStdString(SdCard::devicePath(name));
    }
    QCOMPARE(!card_->hostPath(path.toStdString()).empty(), onCard);
}

QTEST_GUILESS_MAIN(TestSdCardFiles)
#include "tst_sdcardfiles.moc"
