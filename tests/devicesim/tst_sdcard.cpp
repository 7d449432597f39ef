// Where a device's SD card lives: the root chosen by override, environment
// or the user's cache directory, created private, never shared between roots.

#include "storage/SdCard.h"

#include <QtTest>

#include <sys/stat.h>

#include <atomic>
#include <thread>
#include <vector>

using sim::SdCard;

namespace {

const char *const kAddress = "127.0.0.11";

int modeOf(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

}  // namespace

class TestSdCard : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rootChoice_data();
    void rootChoice();
    void foldersArePrivate();
    void rootsDoNotShare();
    void concurrentFirstUse();
    void addressMustBeAFileName_data();
    void addressMustBeAFileName();

private:
    QString tmp(const QString &name) const { return dir_->filePath(name); }
    std::unique_ptr<QTemporaryDir> dir_;
    QByteArray savedHome_, savedCache_, savedRoot_;
    bool hadCache_ = false, hadRoot_ = false;
};

void TestSdCard::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    savedHome_ = qgetenv("HOME");
    hadCache_ = qEnvironmentVariableIsSet("XDG_CACHE_HOME");
    savedCache_ = qgetenv("XDG_CACHE_HOME");
    hadRoot_ = qEnvironmentVariableIsSet(SdCard::kRootVariable);
    savedRoot_ = qgetenv(SdCard::kRootVariable);
    // Nothing here may touch the real cache of whoever runs the tests.
    qputenv("HOME", QFile::encodeName(tmp("home")));
    qunsetenv("XDG_CACHE_HOME");
    qunsetenv(SdCard::kRootVariable);
    SdCard::setRoot("");
}

void TestSdCard::cleanup()
{
    SdCard::setRoot("");
    qputenv("HOME", savedHome_);
    if (hadCache_)
        qputenv("XDG_CACHE_HOME", savedCache_);
    else
        qunsetenv("XDG_CACHE_HOME");
    if (hadRoot_)
        qputenv(SdCard::kRootVariable, savedRoot_);
    else
        qunsetenv(SdCard::kRootVariable);
}

void TestSdCard::rootChoice_data()
{
    // Paths are relative to a fresh temporary folder; "" leaves a variable
    // unset. HOME is always set.
    QTest::addColumn<QString>("cache");     // XDG_CACHE_HOME
    QTest::addColumn<QString>("variable");  // TMVSIM_SDCARD_ROOT
    QTest::addColumn<QString>("override");  // SdCard::setRoot
    QTest::addColumn<QString>("expected");

    QTest::newRow("home cache") << "" << "" << "" << "home/.cache/sdkdemo/sdcard";
    QTest::newRow("cache directory") << "%/xdg" << "" << "" << "xdg/sdkdemo/sdcard";
    QTest::newRow("relative cache directory is ignored") << "xdg" << "" << "" << "home/.cache/sdkdemo/sdcard";
    QTest::newRow("variable beats the cache") << "%/xdg" << "%/env" << "" << "env";
    QTest::newRow("trailing slash") << "" << "%/env/" << "" << "env";
    QTest::newRow("override beats the variable") << "%/xdg" << "%/env" << "%/set" << "set";
}

void TestSdCard::rootChoice()
{
    QFETCH(QString, cache);
    QFETCH(QString, variable);
    QFETCH(QString, override);
    QFETCH(QString, expected);
    const auto place = [this](QString s) { return s.replace("%", dir_->path()); };
    if (!cache.isEmpty())
        qputenv("XDG_CACHE_HOME", QFile::encodeName(place(cache)));
    if (!variable.isEmpty())
        qputenv(SdCard::kRootVariable, QFile::encodeName(place(variable)));
    if (!override.isEmpty())
        SdCard::setRoot(place(override).toStdString());

    const QString root = tmp(expected);
    QCOMPARE(QString::fromStdString(SdCard::root()), root);
    SdCard card(kAddress);
    QCOMPARE(QString::fromStdString(card.folder()), root + "/" + kAddress);
    QVERIFY(QFileInfo(root + "/" + kAddress).isDir());

    // Clearing the override falls back to what the environment says.
    SdCard::setRoot("");
    if (!override.isEmpty())
        QCOMPARE(QString::fromStdString(SdCard::root()), tmp("env"));
}

void TestSdCard::foldersArePrivate()
{
    // Every folder the card had to create is the user's alone, whatever the
    // umask would let through; a folder that existed keeps its mode.
    QVERIFY(QDir().mkpath(tmp("open")));
    QVERIFY(::chmod(QFile::encodeName(tmp("open")).constData(), 0755) == 0);
    SdCard::setRoot(tmp("open/a/b").toStdString());
    const mode_t previous = ::umask(0);
    const std::string folder = SdCard(kAddress).folder();
    ::umask(previous);
    QCOMPARE(QString::fromStdString(folder), tmp("open/a/b/") + kAddress);
    QCOMPARE(modeOf(tmp("open/a")), 0700);
    QCOMPARE(modeOf(tmp("open/a/b")), 0700);
    QCOMPARE(modeOf(QString::fromStdString(folder)), 0700);
    QCOMPARE(modeOf(tmp("open")), 0755);
}

void TestSdCard::rootsDoNotShare()
{
    SdCard first(kAddress), second("127.0.0.12");
    SdCard::setRoot(tmp("one").toStdString());
    const QString oneFirst = QString::fromStdString(first.folder());
    QVERIFY(!oneFirst.isEmpty());
    QCOMPARE(QString::fromStdString(second.folder()), tmp("one/127.0.0.12"));
    QFile file(oneFirst + "/clip.pav");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    // The same device under another root (another test process) sees an
    // empty card; back under the first root its file is still there.
    SdCard::setRoot(tmp("two").toStdString());
    const QString twoFirst = QString::fromStdString(first.folder());
    QCOMPARE(twoFirst, tmp("two/") + kAddress);
    QVERIFY(QDir(twoFirst).entryList(QDir::Files).isEmpty());

    SdCard::setRoot(tmp("one").toStdString());
    QCOMPARE(QDir(QString::fromStdString(SdCard(kAddress).folder())).entryList(QDir::Files),
             QStringList{"clip.pav"});
}

void TestSdCard::concurrentFirstUse()
{
    // Streams of several devices may create their cards at the same moment;
    // a folder another thread just made is no failure.
    SdCard::setRoot(tmp("deep/er/root").toStdString());
    std::vector<std::unique_ptr<SdCard>> cards;
    for (int i = 0; i < 8; ++i)
        cards.push_back(std::make_unique<SdCard>("127.0.0." + std::to_string(11 + i % 2)));
    std::atomic<int> failures{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (auto &card : cards)
        threads.emplace_back([&, c = card.get()] {
            while (!go)
                std::this_thread::yield();
            failures += c->folder().empty();
        });
    go = true;
    for (auto &t : threads)
        t.join();
    QCOMPARE(failures.load(), 0);
    QCOMPARE(QDir(tmp("deep/er/root")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 2);
}

void TestSdCard::addressMustBeAFileName_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("empty") << "";
    QTest::newRow("dot") << ".";
    QTest::newRow("parent") << "..";
    QTest::newRow("path") << "../escaped";
}

void TestSdCard::addressMustBeAFileName()
{
    QFETCH(QString, address);
    SdCard::setRoot(tmp("root").toStdString());
    QVERIFY(SdCard(address.toStdString()).folder().empty());
    QVERIFY(!QFileInfo::exists(tmp("escaped")));
}

QTEST_GUILESS_MAIN(TestSdCard)
#include "tst_sdcard.moc"
