// Thermal recordings as files: the writer and reader round trip, what
// ffprobe and ffmpeg make of them, a file cut by a crash or a full disk,
// files that are not recordings, and the bounded queue in front of the
// writer.
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "thermal/recfile/RecFile.h"
#include "thermal/recfile/RecMeasure.h"
#include "thermal/recfile/RecQueue.h"

namespace {

const int kWidth = 64;
const int kHeight = 48;
const int64_t kFrameUs = 40000;

// Frame `n`: a gradient that moves, a hot spot, and the extremes a matrix
// can hold (0: no reading; 65535) in fixed corners.
std::vector<uint16_t> Frame(int n, int width = kWidth, int height = kHeight)
{
    std::vector<uint16_t> values(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            values[size_t(y) * size_t(width) + size_t(x)] = uint16_t(2900 + (x * 7 + y * 3 + n * 11) % 400);
    values[size_t(height / 2) * size_t(width) + size_t(width / 2)] = uint16_t(3600 + n);
    values[0] = 0;
    values.back() = 65535;
    return values;
}

RecInfo Info()
{
    RecInfo info;
    info.deviceName = "North yard";
    info.deviceAddress = "127.0.0.11";
    info.channel = 1;
    info.unit = 1;
    info.env = TMV_NET_ENV_PARAM{77.0f, 12.5f, 0.95f, 68.0f, 0.9f};
    info.palette = 4;
    return info;
}

// Writes `frames` frames 40 ms apart and finishes.
bool WriteRecording(const QString &path, int frames, std::string *error, int width = kWidth,
                    int height = kHeight)
{
    RecWriter writer;
    if (!writer.Open(path.toStdString(), Info(), error))
        return false;
    writer.SetStartUtc(1796907600123LL);
    for (int n = 0; n < frames; ++n) {
        const std::vector<uint16_t> values = Frame(n, width, height);
        if (!writer.Write(values.data(), width, height, 5000000 + n * kFrameUs, error))
            return false;
    }
    return writer.Finish(7, 2, error);
}

QByteArray Run(const QString &program, const QStringList &arguments, int *exitCode = nullptr,
               QByteArray *errors = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    if (errors)
        *errors = process.readAllStandardError();
    return process.readAllStandardOutput();
}

void Patch(const QString &path, const QByteArray &from, const QByteArray &to)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const int at = bytes.indexOf(from);
    QVERIFY2(at >= 0, from.constData());
    bytes.replace(at, from.size(), to);
    file.seek(0);
    file.write(bytes);
}

} // namespace

class TestThermalRecFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTripKeepsEveryValueTimeAndTag();
    void commandLineToolsReadEveryTrack();
    void fileCutByACrashOpensUpToItsLastCluster();
    void fullDiskKeepsWhatWasWritten();
    void notARecording_data();
    void notARecording();
    void queueDropsWhenFullAndKeepsItsHighWater();
    void shapesReadAsTheDeviceReadsThem();
    void wholePassMatchesFrameByFrameAndStops();
    void otherLayoutsRead_data();
    void otherLayoutsRead();
    void damagedFastCopyFallsBackToTrackOne();
};

void TestThermalRecFile::roundTripKeepsEveryValueTimeAndTag()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("rec.mkv");
    std::string error;
    QVERIFY2(WriteRecording(path, 30, &error), error.c_str());

    RecReader reader;
    QVERIFY2(reader.Open(path.toStdString(), &error), error.c_str());
    const RecInfo &info = reader.Info();
    QCOMPARE(reader.FrameCount(), 30);
    QCOMPARE(info.width, kWidth);
    QCOMPARE(info.height, kHeight);
    QVERIFY(reader.HasPictureTrack());
    QVERIFY(reader.ReadsFastCopy());
    QVERIFY(!reader.Cut());
    QCOMPARE(info.deviceName, std::string("North yard"));
    QCOMPARE(info.deviceAddress, std::string("127.0.0.11"));
    QCOMPARE(info.channel, 1);
    QCOMPARE(info.startUtcMs, 1796907600123LL);
    QCOMPARE(info.unit, 1);
    QCOMPARE(info.env.emissivity, 0.95f);
    QCOMPARE(info.env.refTemp, 68.0f);
    QCOMPARE(info.env.atmosTemp, 77.0f);
    QCOMPARE(info.env.distance, 12.5f);
    QCOMPARE(info.env.atmosTrans, 0.9f);
    QCOMPARE(info.palette, 4);
    QCOMPARE(info.queueHighWater, 7LL);
    QCOMPARE(info.droppedFrames, 2LL);

    // Out of order on purpose: every read after a jump seeks.
    std::vector<uint16_t> values;
    for (int n : {0, 1, 2, 29, 13, 14, 3, 28, 0}) {
        QVERIFY2(reader.ReadFrame(n, &values, &error), error.c_str());
        QVERIFY2(values == Frame(n), qPrintable(QString("frame %1").arg(n)));
        QCOMPARE(reader.TimeMs(n), n * kFrameUs / 1000);
    }
    QVERIFY(!reader.ReadFrame(30, &values, &error));
}

void TestThermalRecFile::commandLineToolsReadEveryTrack()
{
    const QString ffprobe = QStandardPaths::findExecutable("ffprobe");
    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    if (ffprobe.isEmpty() || ffmpeg.isEmpty())
        QSKIP("ffprobe and ffmpeg are not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath("rec.mkv");
    std::string error;
    QVERIFY2(WriteRecording(path, 25, &error), error.c_str());

    const QByteArray streams = Run(ffprobe, {"-v", "error", "-count_frames", "-show_entries",
                                             "stream=index,codec_name,pix_fmt,width,height,nb_read_frames",
                                             "-of", "csv=p=0", path});
    QCOMPARE(streams.trimmed(),
             QByteArray("0,ffv1,64,48,gray16le,25\n1,mpeg4,64,48,yuv420p,25\n2,png,64,48,gray16be,25"));
    // The fast copy is no player's choice.
    const QByteArray copy = Run(ffprobe, {"-v", "error", "-select_streams", "2", "-show_entries",
                                          "stream_disposition=default:stream_tags=title", "-of", "default=nw=1", path});
    QCOMPARE(copy.trimmed(), QByteArray("DISPOSITION:default=0\nTAG:title=temperatures (fast copy)"));
    const QByteArray tags =
        Run(ffprobe, {"-v", "error", "-show_entries", "format_tags", "-of", "default=nw=1", path});
    for (const char *tag : {"TAG:SCALE=deci-kelvin", "TAG:UNIT=Fahrenheit", "TAG:EMISSIVITY=0.95",
                            "TAG:START_TIME=2026-12-10T13:00:00.123Z", "TAG:DROPPED_FRAMES=2",
                            "TAG:TRACKS=1 temperatures (archive), 2 picture, 3 temperatures (fast copy)"})
        QVERIFY2(tags.contains(tag), tag);

    // Track 1 as raw values: frame for frame what was recorded.
    int code = 0;
    QByteArray errors;
    const QByteArray raw = Run(ffmpeg, {"-v", "error", "-i", path, "-map", "0:0", "-f", "rawvideo", "-pix_fmt",
                                        "gray16le", "-"}, &code, &errors);
    QCOMPARE(code, 0);
    const int frameBytes = kWidth * kHeight * 2;
    QCOMPARE(raw.size(), 25 * frameBytes);
    for (int n = 0; n < 25; ++n) {
        const std::vector<uint16_t> expected = Frame(n);
        QVERIFY2(std::memcmp(raw.constData() + n * frameBytes, expected.data(), size_t(frameBytes)) == 0,
                 qPrintable(QString("frame %1").arg(n)));
    }
    // The fast copy: track 1's values, frame for frame.
    const QByteArray fast = Run(ffmpeg, {"-v", "error", "-i", path, "-map", "0:2", "-f", "rawvideo", "-pix_fmt",
                                         "gray16le", "-"}, &code, &errors);
    QCOMPARE(code, 0);
    QVERIFY(fast == raw);
    // Track 2 decodes without a complaint.
    Run(ffmpeg, {"-v", "error", "-xerror", "-i", path, "-map", "0:1", "-f", "null", "-"}, &code, &errors);
    QCOMPARE(code, 0);
    QCOMPARE(errors, QByteArray());
}

void TestThermalRecFile::fileCutByACrashOpensUpToItsLastCluster()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("crash.mkv");
    // Eight seconds of frames, then the process dies without ending the
    // file: clusters hold a second each.
    const pid_t child = fork();
    if (child == 0) {
        RecWriter writer;
        std::string error;
        if (!writer.Open(path.toStdString(), Info(), &error))
            _exit(1);
        for (int n = 0; n < 200; ++n) {
            const std::vector<uint16_t> values = Frame(n);
            if (!writer.Write(values.data(), kWidth, kHeight, n * kFrameUs, &error))
                _exit(2);
        }
        _exit(0);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    // Then cut once more inside a cluster, as a crash mid-write would.
    QFile file(path);
    QVERIFY(file.resize(file.size() - 3000));

    RecReader reader;
    std::string error;
    QVERIFY2(reader.Open(path.toStdString(), &error), error.c_str());
    QVERIFY(reader.Cut());
    QCOMPARE(reader.Info().queueHighWater, -1LL);
    // The closed clusters, less the one the second cut went into.
    QVERIFY2(reader.FrameCount() >= 150 && reader.FrameCount() < 200, qPrintable(QString::number(reader.FrameCount())));
    std::vector<uint16_t> values;
    for (int n : {reader.FrameCount() - 1, 0, 100}) {
        QVERIFY2(reader.ReadFrame(n, &values, &error), error.c_str());
        QVERIFY(values == Frame(n));
    }

    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    if (!ffmpeg.isEmpty()) {
        int code = 0;
        const QByteArray raw = Run(ffmpeg, {"-v", "quiet", "-i", path, "-map", "0:0", "-f", "rawvideo", "-pix_fmt",
                                            "gray16le", "-"}, &code);
        QVERIFY(raw.size() >= reader.FrameCount() * kWidth * kHeight * 2);
    }
}

void TestThermalRecFile::fullDiskKeepsWhatWasWritten()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("full.mkv");
    RecWriter writer;
    writer.SetSpaceLimit(60 * 1024);
    std::string error;
    QVERIFY(writer.Open(path.toStdString(), Info(), &error));
    int written = 0;
    for (int n = 0; n < 400; ++n) {
        const std::vector<uint16_t> values = Frame(n);
        if (!writer.Write(values.data(), kWidth, kHeight, n * kFrameUs, &error))
            break;
        ++written;
    }
    QCOMPARE(error, std::string(std::strerror(ENOSPC)));
    QVERIFY(written > 25 && written < 400);
    QVERIFY(!writer.Finish(0, 0, &error));
    QVERIFY(QFileInfo(path).size() <= 60 * 1024);

    RecReader reader;
    QVERIFY2(reader.Open(path.toStdString(), &error), error.c_str());
    QVERIFY(reader.Cut());
    QVERIFY(reader.FrameCount() > 0 && reader.FrameCount() <= written);
    std::vector<uint16_t> values;
    QVERIFY2(reader.ReadFrame(reader.FrameCount() - 1, &values, &error), error.c_str());
    QVERIFY(values == Frame(reader.FrameCount() - 1));
}

void TestThermalRecFile::notARecording_data()
{
    QTest::addColumn<QString>("make");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << "none" << "No such file";
    QTest::newRow("empty file") << "empty" << "not a Matroska file";
    QTest::newRow("text") << "text" << "not a Matroska file";
    QTest::newRow("header only") << "header" << "no whole temperature frame";
    QTest::newRow("no format tag") << "THERMAL_RECORDING>XHERMAL_RECORDING" << "no THERMAL_RECORDING tag";
    QTest::newRow("no emissivity") << "EMISSIVITY>EMISSIVITZ" << "EMISSIVITY tag is missing or not a number";
    QTest::newRow("broken unit") << "Fahrenheit>Fahrenheix" << "UNIT tag is missing or unknown";
    QTest::newRow("other scale") << "deci-kelvin>centikelvin" << "SCALE tag is not deci-kelvin";
    QTest::newRow("no gray16 track") << "pictures" << "no gray16 temperature track";
    QTest::newRow("ffv1 in colour") << "colour" << "not a gray16le frame";
}

void TestThermalRecFile::notARecording()
{
    QFETCH(QString, make);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath("file.mkv");
    std::string error;
    if (make == "empty" || make == "text") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (make == "text")
            file.write("time,max\n0,25.0\n");
    } else if (make == "header") {
        QVERIFY(WriteRecording(path, 10, &error));
        QFile file(path);
        QVERIFY(file.resize(900));
    } else if (make.contains('>')) {
        QVERIFY(WriteRecording(path, 3, &error));
        const QStringList parts = make.split('>');
        Patch(path, parts[0].toLatin1(), parts[1].toLatin1());
    } else if (make == "pictures" || make == "colour") {
        const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
        if (ffmpeg.isEmpty())
            QSKIP("ffmpeg is not installed");
        const QString codec = make == "pictures" ? "mpeg4" : "ffv1";
        int code = 0;
        Run(ffmpeg, {"-v", "error", "-f", "lavfi", "-i", "testsrc=size=64x48:rate=25:duration=0.2", "-c:v", codec,
                     "-pix_fmt", "yuv420p", "-metadata", "THERMAL_RECORDING=1", "-metadata", "SCALE=deci-kelvin",
                     "-metadata", "UNIT=Celsius", "-metadata", "EMISSIVITY=1", "-metadata",
                     "REFLECTED_TEMPERATURE=20", "-metadata", "ATMOSPHERIC_TEMPERATURE=20", "-metadata",
                     "DISTANCE=1", "-metadata", "TRANSMITTANCE=1", "-y", path},
            &code);
        QCOMPARE(code, 0);
    }
    RecReader reader;
    QVERIFY(!reader.Open(path.toStdString(), &error));
    QVERIFY2(QString::fromStdString(error).contains(message), error.c_str());
}

void TestThermalRecFile::queueDropsWhenFullAndKeepsItsHighWater()
{
    RecQueue queue(3);
    const std::vector<uint16_t> values = Frame(0);
    for (int n = 0; n < 5; ++n)
        queue.Push(values.data(), kWidth, kHeight, n);
    QCOMPARE(queue.HighWater(), size_t(3));
    QCOMPARE(queue.Dropped(), uint64_t(2));

    RecFrame frame;
    QVERIFY(queue.Pop(&frame));
    QCOMPARE(frame.timeUs, int64_t(0));
    QVERIFY(frame.values == values);
    QVERIFY(queue.Push(values.data(), kWidth, kHeight, 9));
    queue.Close();
    QVERIFY(!queue.Push(values.data(), kWidth, kHeight, 10));
    // What was queued before the close still comes out, oldest first.
    QList<int64_t> times;
    while (queue.Pop(&frame))
        times << frame.timeUs;
    QCOMPARE(times, (QList<int64_t>{1, 2, 9}));
    QCOMPARE(queue.Dropped(), uint64_t(2));
    QCOMPARE(queue.HighWater(), size_t(3));
}

void TestThermalRecFile::shapesReadAsTheDeviceReadsThem()
{
    // A recording in Celsius with a neutral environment: the readings are
    // the matrix's own values.
    RecInfo info;
    info.width = kWidth;
    info.height = kHeight;
    std::vector<uint16_t> values(size_t(kWidth * kHeight), 2931);  // 20.0 C
    values[size_t(10 * kWidth + 20)] = 3232;                        // 50.05 C
    values[size_t(12 * kWidth + 22)] = 2732;                        // 0.05 C
    RecMeasure::Shape box{2, {{2000, 1000}, {4000, 1000}, {4000, 3000}, {2000, 3000}}};
    const RecMeasure::Reading r = RecMeasure::Measure(RecMeasure::Compile(box, info), info, values.data());
    QVERIFY(r.valid);
    QVERIFY(qAbs(r.max - 50.05f) < 1e-3f);
    QVERIFY(qAbs(r.min - 0.05f) < 1e-3f);
    QVERIFY(qAbs(r.avg - 19.95f) < 0.05f);
    QVERIFY(qAbs(RecMeasure::PixelTemperature(3232, info) - 50.05f) < 1e-3f);
    // A shape the device would refuse reads nothing.
    RecMeasure::Shape broken{1, {{100, 100}}};
    QVERIFY(!RecMeasure::Measure(RecMeasure::Compile(broken, info), info, values.data()).valid);
}

void TestThermalRecFile::wholePassMatchesFrameByFrameAndStops()
{
    // Frames in chunks on several readers: every reading must land on its
    // own frame. The hot spot in the middle rises a step a frame, so a
    // reading on the wrong frame shows.
    QTemporaryDir dir;
    const QString path = dir.filePath("rec.mkv");
    std::string error;
    const int frames = 130;
    QVERIFY2(WriteRecording(path, frames, &error), error.c_str());
    RecReader reader;
    QVERIFY2(reader.Open(path.toStdString(), &error), error.c_str());
    const RecInfo &info = reader.Info();
    const std::vector<sim::Target> targets{
        RecMeasure::Compile({2, {{2000, 2000}, {6000, 2000}, {6000, 6000}, {2000, 6000}}}, info),
        RecMeasure::Compile({1, {{0, 0}, {8191, 8191}}}, info)};

    std::vector<std::vector<RecMeasure::Reading>> out;
    QList<int> heard;
    const auto listen = [&heard](int done) {
        heard << done;
        return true;
    };
    QVERIFY2(RecMeasure::MeasureAll(reader, targets, &out, listen, &error), error.c_str());
    QCOMPARE(heard.size(), frames);
    QCOMPARE(heard.front(), 1);
    QCOMPARE(heard.back(), frames);
    std::vector<uint16_t> values;
    for (int f = 0; f < frames; ++f) {
        QVERIFY2(reader.ReadFrame(f, &values, &error), error.c_str());
        for (size_t s = 0; s < targets.size(); ++s) {
            const RecMeasure::Reading want = RecMeasure::Measure(targets[s], info, values.data());
            const RecMeasure::Reading &got = out[s][size_t(f)];
            QVERIFY(want.valid);
            QVERIFY2(got.valid && got.max == want.max && got.min == want.min && got.avg == want.avg,
                     qPrintable(QString("shape %1, frame %2").arg(s).arg(f)));
        }
    }

    // Stopped: nothing is heard after the stop, and the pass says so.
    heard.clear();
    const auto stopAt60 = [&heard](int done) {
        heard << done;
        return done < 60;
    };
    QVERIFY(!RecMeasure::MeasureAll(reader, targets, &out, stopAt60, &error));
    QCOMPARE(error, std::string("stopped"));
    QCOMPARE(heard.back(), 60);
    QCOMPARE(heard.size(), 60);
}

void TestThermalRecFile::otherLayoutsRead_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("fast");
    // Files made from a recording by ffmpeg. Without the fast copy (the
    // recordings made before it), or with one that is not track 1's frames,
    // frames come from track 1; the coder, table and slices of track 1 come
    // from the file.
    const QStringList noCopy{"-map", "0:0", "-map", "0:1", "-c:v:1", "copy", "-c:v:0", "ffv1", "-level", "3",
                             "-g", "1"};
    QTest::newRow("no copy; range coder, own table, 4 slices")
        << noCopy + QStringList{"-coder", "range_tab", "-slices", "4", "-slicecrc", "1"} << false;
    QTest::newRow("no copy; 16 slices without checksums")
        << noCopy + QStringList{"-slices", "16", "-slicecrc", "0"} << false;
    QTest::newRow("copy remuxed") << QStringList{"-map", "0", "-c", "copy"} << true;
    // The reader undoes every PNG row filter, not only the writer's.
    for (const char *filter : {"none", "sub", "avg", "paeth", "mixed"})
        QTest::newRow(qPrintable(QString("copy with the %1 filter").arg(filter)))
            << QStringList{"-map", "0", "-c:v:0", "copy", "-c:v:1", "copy", "-c:v:2", "png", "-pred", filter}
            << true;
    QTest::newRow("copy shorter than track 1")
        << QStringList{"-map", "0", "-c", "copy", "-frames:v:2", "40"} << false;
    QTest::newRow("copy of other values")
        << QStringList{"-map", "0", "-c:v:0", "copy", "-c:v:1", "copy", "-c:v:2", "png", "-filter:v:2", "vflip"}
        << false;
}

void TestThermalRecFile::otherLayoutsRead()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, fast);
    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    if (ffmpeg.isEmpty())
        QSKIP("ffmpeg is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath("rec.mkv");
    const QString other = dir.filePath("other.mkv");
    std::string error;
    QVERIFY2(WriteRecording(path, 60, &error), error.c_str());
    int code = 0;
    QByteArray errors;
    Run(ffmpeg, QStringList{"-v", "error", "-i", path, "-map_metadata", "0"} + arguments + QStringList{other},
        &code, &errors);
    QVERIFY2(code == 0, errors.constData());

    RecReader reader;
    QVERIFY2(reader.Open(other.toStdString(), &error), error.c_str());
    QCOMPARE(reader.ReadsFastCopy(), fast);
    QCOMPARE(reader.FrameCount(), 60);
    QCOMPARE(reader.Info().droppedFrames, 2LL);
    std::vector<uint16_t> values;
    for (int n : {0, 1, 59, 30, 31}) {
        QVERIFY2(reader.ReadFrame(n, &values, &error), error.c_str());
        QVERIFY2(values == Frame(n), qPrintable(QString("frame %1").arg(n)));
    }
    const sim::Target centre = RecMeasure::Compile({0, {{4096, 4096}}}, reader.Info());
    std::vector<std::vector<RecMeasure::Reading>> out;
    QVERIFY2(RecMeasure::MeasureAll(reader, {centre}, &out, nullptr, &error), error.c_str());
    for (int n = 0; n < 60; ++n)
        QCOMPARE(out[0][size_t(n)].max, RecMeasure::PixelTemperature(uint16_t(3600 + n), reader.Info()));
}

void TestThermalRecFile::damagedFastCopyFallsBackToTrackOne()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("rec.mkv");
    std::string error;
    QVERIFY2(WriteRecording(path, 60, &error), error.c_str());
    // A byte of frame 45's picture data in the fast copy changed, as a bad
    // sector would.
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        int at = -1;
        for (int n = 0; n <= 45; ++n) {
            at = bytes.indexOf("IDAT", at + 1);
            QVERIFY(at >= 0);
        }
        bytes[at + 12] = char(bytes[at + 12] ^ 0x5a);
        file.seek(0);
        file.write(bytes);
    }

    RecReader reader;
    QVERIFY2(reader.Open(path.toStdString(), &error), error.c_str());
    QVERIFY(reader.ReadsFastCopy());
    std::vector<uint16_t> values;
    for (int n : {44, 45, 46, 0}) {
        QVERIFY2(reader.ReadFrame(n, &values, &error), error.c_str());
        QVERIFY2(values == Frame(n), qPrintable(QString("frame %1").arg(n)));
    }
    QVERIFY(!reader.ReadsFastCopy());

    // A whole pass on readers of its own meets the damage too.
    RecReader fresh;
    QVERIFY2(fresh.Open(path.toStdString(), &error), error.c_str());
    const sim::Target centre = RecMeasure::Compile({0, {{4096, 4096}}}, fresh.Info());
    std::vector<std::vector<RecMeasure::Reading>> out;
    QVERIFY2(RecMeasure::MeasureAll(fresh, {centre}, &out, nullptr, &error), error.c_str());
    for (int n = 0; n < 60; ++n)
        QCOMPARE(out[0][size_t(n)].max, RecMeasure::PixelTemperature(uint16_t(3600 + n), fresh.Info()));
}

QTEST_GUILESS_MAIN(TestThermalRecFile)
#include "tst_thermalrecfile.moc"
