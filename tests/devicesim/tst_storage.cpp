// The device's picture and video writers: snapshot JPEGs, IRG pairs, DLT664
// JPEGs with the temperature matrix inside, and .mp4/.pav recordings.

#include "storage/PictureFiles.h"
#include "storage/VideoRecorder.h"

#include <QtTest>

#include <turbojpeg.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cstring>
#include <thread>

using namespace sim;

namespace {

// Left half red, right half blue, with a vertical green ramp: a swapped
// channel order or a wrong stride shows up as a large colour error.
std::vector<uint8_t> makePicture(int width, int height, int shift = 0)
{
    std::vector<uint8_t> rgba(size_t(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t *p = &rgba[(size_t(y) * width + x) * 4];
            const bool left = ((x + shift) % width) < width / 2;
            p[0] = left ? 220 : 20;
            p[1] = uint8_t(y * 255 / std::max(1, height - 1));
            p[2] = left ? 20 : 220;
            p[3] = 255;
        }
    }
    return rgba;
}

// Every value differs from its neighbours, so a shifted or swapped chunk
// cannot go unnoticed.
std::vector<uint16_t> makeMatrix(int width, int height)
{
    std::vector<uint16_t> m(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            m[size_t(y) * width + x] = uint16_t(2731 + (x * 31 + y * 17) % 2000);
    m[0] = celsiusToDeciKelvin(-40.0);
    m.back() = celsiusToDeciKelvin(650.0);
    return m;
}

ThermalMeta sampleMeta()
{
    ThermalMeta meta;
    meta.emissivity = 0.87f;
    meta.distance = 12.5f;
    meta.reflectedTemp = 23.0f;
    meta.atmosphericTemp = -5.5f;
    meta.transmittance = 0.9f;
    meta.timestampMs = 1714567890123;
    return meta;
}

bool sameMeta(const ThermalMeta &a, const ThermalMeta &b)
{
    return a.emissivity == b.emissivity && a.distance == b.distance
           && a.reflectedTemp == b.reflectedTemp && a.atmosphericTemp == b.atmosphericTemp
           && a.transmittance == b.transmittance && a.timestampMs == b.timestampMs;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Decodes a JPEG to RGBA; false when turbojpeg cannot.
bool decodeJpeg(const QByteArray &jpeg, int &width, int &height, std::vector<uint8_t> *rgba = nullptr)
{
    tjhandle tj = tjInitDecompress();
    auto *src = reinterpret_cast<const unsigned char *>(jpeg.constData());
    int subsamp = 0, colorspace = 0;
    bool ok = tjDecompressHeader3(tj, src, jpeg.size(), &width, &height, &subsamp, &colorspace) == 0;
    if (ok && rgba) {
        rgba->resize(size_t(width) * height * 4);
        ok = tjDecompress2(tj, src, jpeg.size(), rgba->data(), width, 0, height, TJPF_RGBA, 0) == 0;
    }
    tjDestroy(tj);
    return ok;
}

double meanColourError(const std::vector<uint8_t> &a, const std::vector<uint8_t> &b)
{
    double sum = 0;
    size_t n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (i % 4 == 3)
            continue;
        sum += std::abs(int(a[i]) - int(b[i]));
        ++n;
    }
    return n ? sum / n : 1e9;
}

// Position and full size (marker included) of each matrix segment.
QVector<QPair<int, int>> matrixSegments(const QByteArray &jpeg)
{
    QVector<QPair<int, int>> found;
    int pos = 2;
    while (pos + 4 <= jpeg.size() && uint8_t(jpeg[pos]) == 0xFF) {
        const uint8_t marker = uint8_t(jpeg[pos + 1]);
        if (marker == 0xDA)
            break;
        const int length = (uint8_t(jpeg[pos + 2]) << 8) | uint8_t(jpeg[pos + 3]);
        if (marker == kDlt664Marker && std::memcmp(jpeg.constData() + pos + 4, kDlt664Magic, 8) == 0)
            found.append({pos, 2 + length});
        pos += 2 + length;
    }
    return found;
}

// One field of a stored file, read as docs/file-formats.md describes it:
// little-endian, except the big-endian JPEG segment length.
double fieldAt(const QByteArray &bytes, int at, const QString &type)
{
    const auto byte = [&](int i) { return uint64_t(uint8_t(bytes.at(at + i))); };
    const auto le = [&](int n) {
        uint64_t v = 0;
        for (int i = n - 1; i >= 0; --i)
            v = v << 8 | byte(i);
        return v;
    };
    if (type == "u16")
        return double(le(2));
    if (type == "be16")
        return double(byte(0) << 8 | byte(1));
    if (type == "u32")
        return double(le(4));
    if (type == "i64")
        return double(int64_t(le(8)));
    if (type == "f32") {
        const uint32_t v = uint32_t(le(4));
        float f;
        std::memcpy(&f, &v, sizeof f);
        return double(f);
    }
    qFatal("unknown field type %s", qPrintable(type));
    return 0;
}

// Columns and rows of a layout table: a field at an offset holds a number,
// or (type "bytes") exactly the bytes given.
void layoutColumns()
{
    QTest::addColumn<int>("segment");  // DLT664 segment; unused for IRG
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("type");
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("bytes");
}
void numberRow(const char *name, int segment, int offset, const char *type, double value)
{
    QTest::newRow(name) << segment << offset << QString(type) << value << QByteArray();
}
void bytesRow(const char *name, int segment, int offset, const QByteArray &bytes)
{
    QTest::newRow(name) << segment << offset << QString("bytes") << 0.0 << bytes;
}
// Checks the field of the current layout row, found at `at` in `file`.
void compareField(const QByteArray &file, int at)
{
    QFETCH(QString, type);
    QFETCH(double, value);
    QFETCH(QByteArray, bytes);
    if (type == "bytes")
        QCOMPARE(file.mid(at, bytes.size()), bytes);
    else
        QCOMPARE(fieldAt(file, at, type), value);
}

// The measurement block that both formats carry, from `at` on.
void measurementRows(int segment, int at)
{
    const ThermalMeta m = sampleMeta();
    numberRow("emissivity", segment, at, "f32", double(m.emissivity));
    numberRow("distance", segment, at + 4, "f32", double(m.distance));
    numberRow("reflected temperature", segment, at + 8, "f32", double(m.reflectedTemp));
    numberRow("atmospheric temperature", segment, at + 12, "f32", double(m.atmosphericTemp));
    numberRow("transmittance", segment, at + 16, "f32", double(m.transmittance));
    numberRow("timestamp", segment, at + 20, "i64", double(m.timestampMs));
}

// Matrix of the layout tests: three DLT664 segments, the last one short.
constexpr int kLayoutW = 300, kLayoutH = 250;

bool decodeDlt664Bytes(const QByteArray &bytes, ThermalMatrix &out)
{
    return decodeDlt664(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()), out);
}

// ffprobe's view of a recording: codec_name, width, height, format_name, duration.
QMap<QString, QString> probe(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("ffprobe"),
            {"-v", "error", "-show_entries",
             "stream=codec_name,width,height:format=duration,format_name", "-of",
             "default=nw=1", path});
    QMap<QString, QString> values;
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return values;
    for (const QByteArray &line : p.readAllStandardOutput().split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            values.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
    }
    return values;
}

// Records `count` pictures 40 ms apart, none dropped; returns what stop() says.
bool recordClip(VideoRecorder &recorder, const QString &file, int count)
{
    const int w = 320, h = 240;
    if (!recorder.start(file.toStdString(), w, h, 25))
        return false;
    for (int i = 0; i < count; ++i) {
        while (recorder.queuedFrames() >= 6)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const auto rgba = makePicture(w, h, i * 8);
        recorder.pushFrame(rgba.data(), w, h, i * 40);
    }
    return recorder.stop();
}

// Opens a recording with libavformat and decodes every picture in it.
// Returns how many decoded, or -1 when the file does not open or a picture
// is damaged.
int decodedPictures(const QString &file, QSize *size = nullptr)
{
    AVFormatContext *format = nullptr;
    if (avformat_open_input(&format, QFile::encodeName(file).constData(), nullptr, nullptr) < 0)
        return -1;
    AVCodecContext *codec = nullptr;
    AVPacket *packet = av_packet_alloc();
    AVFrame *frame = av_frame_alloc();
    int pictures = 0;
    bool damaged = false;
    const AVCodec *decoder = nullptr;
    const int index = avformat_find_stream_info(format, nullptr) < 0
                          ? -1
                          : av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (index >= 0 && (codec = avcodec_alloc_context3(decoder))
        && avcodec_parameters_to_context(codec, format->streams[index]->codecpar) >= 0
        && avcodec_open2(codec, decoder, nullptr) >= 0) {
        const auto drain = [&] {
            while (avcodec_receive_frame(codec, frame) >= 0) {
                damaged = damaged || (frame->flags & AV_FRAME_FLAG_CORRUPT) || frame->decode_error_flags;
                if (size)
                    *size = QSize(frame->width, frame->height);
                ++pictures;
            }
        };
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == index) {
                damaged = damaged || avcodec_send_packet(codec, packet) < 0;
                drain();
            }
            av_packet_unref(packet);
        }
        avcodec_send_packet(codec, nullptr);
        drain();
    } else {
        damaged = true;
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
    return damaged ? -1 : pictures;
}

}  // namespace

class TestStorage : public QObject {
    Q_OBJECT

private slots:
    void init();

    void jpegSnapshot();
    void irgPair();
    void irgLayout_data();
    void irgLayout();
    void irgRejectsDamage_data();
    void irgRejectsDamage();
    void dlt664RoundTrip();
    void dlt664Layout_data();
    void dlt664Layout();
    void dlt664RejectsDamage_data();
    void dlt664RejectsDamage();
    void pictureWritersFailCleanly();

    void recording_data();
    void recording();
    void recordingRefusesBadTargets_data();
    void recordingRefusesBadTargets();
    void frameTimesMustRise();
    void fullQueueDropsOldest();
    void fullDiskIsReported();
    void fullCardMidway_data();
    void fullCardMidway();

private:
    QString path(const QString &name) const { return dir_->filePath(name); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestStorage::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void TestStorage::jpegSnapshot()
{
    // Odd sizes on purpose: a writer that assumes even sizes shows it here.
    const int w = 641, h = 479;
    const auto rgba = makePicture(w, h);
    QVERIFY(writeJpegSnapshot(path("snap.jpg").toStdString(), rgba.data(), w, h));

    int dw = 0, dh = 0;
    std::vector<uint8_t> decoded;
    QVERIFY(decodeJpeg(readAll(path("snap.jpg")), dw, dh, &decoded));
    QCOMPARE(dw, w);
    QCOMPARE(dh, h);
    QVERIFY(meanColourError(rgba, decoded) < 6.0);
}

void TestStorage::irgPair()
{
    const int w = 384, h = 288;
    const auto rgba = makePicture(w, h);
    const auto temps = makeMatrix(w, h);
    const ThermalMeta meta = sampleMeta();
    QVERIFY(writeIrgPair(path("pair.irg").toStdString(), path("pair.jpg").toStdString(),
                         rgba.data(), temps.data(), w, h, meta));

    // The documented header, byte for byte where tools depend on it.
    const QByteArray irg = readAll(path("pair.irg"));
    QCOMPARE(irg.size(), int(kIrgHeaderSize) + w * h * 2);
    QCOMPARE(irg.left(4), QByteArray("IRG1"));
    auto le16 = [&](int at) { return uint8_t(irg[at]) | (uint8_t(irg[at + 1]) << 8); };
    QCOMPARE(le16(4), int(kIrgHeaderSize));
    QCOMPARE(le16(8), w);
    QCOMPARE(le16(12), h);
    QCOMPARE(le16(16), 16);
    QCOMPARE(le16(18), 10);
    QCOMPARE(le16(kIrgHeaderSize), int(temps[0]));

    ThermalMatrix back;
    QVERIFY(readIrgFile(path("pair.irg").toStdString(), back));
    QCOMPARE(back.width, w);
    QCOMPARE(back.height, h);
    QCOMPARE(back.scale, uint16_t(10));
    QVERIFY(back.values == temps);
    QVERIFY(sameMeta(back.meta, meta));
    QVERIFY(qAbs(deciKelvinToC(back.values.back()) - 650.0) < 0.06);

    int dw = 0, dh = 0;
    QVERIFY(decodeJpeg(readAll(path("pair.jpg")), dw, dh));
    QCOMPARE(QSize(dw, dh), QSize(w, h));
}

void TestStorage::irgLayout_data()
{
    // Offsets of docs/file-formats.md: a writer and reader that drift
    // together still round-trip, but no other tool could read the file.
    layoutColumns();
    const auto temps = makeMatrix(kLayoutW, kLayoutH);
    bytesRow("magic", 0, 0, "IRG1");
    numberRow("header size", 0, 4, "u16", 64);
    numberRow("version", 0, 6, "u16", 1);
    numberRow("width", 0, 8, "u32", kLayoutW);
    numberRow("height", 0, 12, "u32", kLayoutH);
    numberRow("bits per value", 0, 16, "u16", 16);
    numberRow("scale", 0, 18, "u16", 10);
    measurementRows(0, 20);
    bytesRow("reserved", 0, 48, QByteArray(16, '\0'));
    numberRow("first value", 0, 64, "u16", temps[0]);
    numberRow("second value", 0, 66, "u16", temps[1]);
    numberRow("second row", 0, 64 + 2 * kLayoutW, "u16", temps[kLayoutW]);
    numberRow("last value", 0, 64 + 2 * (kLayoutW * kLayoutH - 1), "u16", temps.back());
}

void TestStorage::irgLayout()
{
    QFETCH(int, offset);
    const auto rgba = makePicture(kLayoutW, kLayoutH);
    const auto temps = makeMatrix(kLayoutW, kLayoutH);
    QVERIFY(writeIrgPair(path("l.irg").toStdString(), path("l.jpg").toStdString(), rgba.data(),
                         temps.data(), kLayoutW, kLayoutH, sampleMeta()));
    const QByteArray irg = readAll(path("l.irg"));
    QCOMPARE(irg.size(), 64 + kLayoutW * kLayoutH * 2);
    compareField(irg, offset);
}

void TestStorage::irgRejectsDamage_data()
{
    QTest::addColumn<int>("offset");  // byte to change, or -1 to cut the file
    QTest::addColumn<int>("value");

    QTest::newRow("matrix cut short") << -1 << 0;
    QTest::newRow("wrong magic") << 0 << int('X');
    QTest::newRow("header size below the minimum") << 4 << 8;
    QTest::newRow("zero width") << 8 << 0;
    QTest::newRow("width beyond the file") << 10 << 0x7F;
    QTest::newRow("not 16-bit values") << 16 << 8;
}

void TestStorage::irgRejectsDamage()
{
    QFETCH(int, offset);
    QFETCH(int, value);
    const auto temps = makeMatrix(32, 24);
    std::vector<uint8_t> bytes = encodeIrg(temps.data(), 32, 24, ThermalMeta());
    ThermalMatrix m;
    QVERIFY(decodeIrg(bytes.data(), bytes.size(), m));
    if (offset < 0) {
        bytes.resize(bytes.size() - 1);
    } else {
        bytes[size_t(offset)] = uint8_t(value);
        if (offset == 8)
            bytes[9] = 0;
    }
    QVERIFY(!decodeIrg(bytes.data(), bytes.size(), m));
}

void TestStorage::dlt664RoundTrip()
{
    const int w = 640, h = 512;
    const auto rgba = makePicture(w, h);
    const auto temps = makeMatrix(w, h);
    const ThermalMeta meta = sampleMeta();
    QVERIFY(writeDlt664(path("dlt.jpg").toStdString(), rgba.data(), temps.data(), w, h, meta));
    const QByteArray bytes = readAll(path("dlt.jpg"));

    // 640 x 512 x 2 bytes do not fit one segment: several, each within the
    // 16-bit segment length.
    const auto segments = matrixSegments(bytes);
    const int expected = int((size_t(w) * h * 2 + kDlt664ChunkMax - 1) / kDlt664ChunkMax);
    QCOMPARE(segments.size(), expected);
    QVERIFY(expected > 1);
    for (const auto &s : segments)
        QVERIFY(s.second - 2 <= 65535);

    // Any JPEG reader still sees the picture.
    int dw = 0, dh = 0;
    std::vector<uint8_t> decoded;
    QVERIFY(decodeJpeg(bytes, dw, dh, &decoded));
    QCOMPARE(QSize(dw, dh), QSize(w, h));
    QVERIFY(meanColourError(rgba, decoded) < 6.0);

    ThermalMatrix back;
    QVERIFY(readDlt664File(path("dlt.jpg").toStdString(), back));
    QCOMPARE(back.width, w);
    QCOMPARE(back.height, h);
    QCOMPARE(back.scale, uint16_t(10));
    QVERIFY(back.values == temps);
    QVERIFY(sameMeta(back.meta, meta));
}

void TestStorage::dlt664Layout_data()
{
    // Offsets within a segment's payload (after marker and length) of
    // docs/file-formats.md; 150000 matrix bytes make chunks of 65468, 65468
    // and 19064.
    layoutColumns();
    const auto temps = makeMatrix(kLayoutW, kLayoutH);
    const int chunk = 65468, lastChunk = kLayoutW * kLayoutH * 2 - 2 * chunk;
    bytesRow("marker", 0, -4, QByteArray("\xFF\xE9"));
    numberRow("segment length", 0, -2, "be16", 2 + 64 + chunk);
    bytesRow("magic", 0, 0, QByteArray("DLT664T\0", 8));
    numberRow("header size", 0, 8, "u16", 64);
    numberRow("version", 0, 10, "u16", 1);
    numberRow("sequence", 0, 12, "u16", 0);
    numberRow("total", 0, 14, "u16", 3);
    numberRow("width", 0, 16, "u32", kLayoutW);
    numberRow("height", 0, 20, "u32", kLayoutH);
    numberRow("scale", 0, 24, "u16", 10);
    bytesRow("reserved", 0, 26, QByteArray(2, '\0'));
    numberRow("chunk offset", 0, 28, "u32", 0);
    numberRow("chunk bytes", 0, 32, "u32", chunk);
    measurementRows(0, 36);
    numberRow("first value", 0, 64, "u16", temps[0]);
    numberRow("second value", 0, 66, "u16", temps[1]);

    numberRow("last segment length", 2, -2, "be16", 2 + 64 + lastChunk);
    numberRow("last sequence", 2, 12, "u16", 2);
    numberRow("last total", 2, 14, "u16", 3);
    numberRow("last width", 2, 16, "u32", kLayoutW);
    numberRow("last height", 2, 20, "u32", kLayoutH);
    numberRow("last scale", 2, 24, "u16", 10);
    numberRow("last chunk offset", 2, 28, "u32", 2 * chunk);
    numberRow("last chunk bytes", 2, 32, "u32", lastChunk);
    numberRow("last chunk first value", 2, 64, "u16", temps[size_t(chunk)]);
    numberRow("last chunk last value", 2, 64 + lastChunk - 2, "u16", temps.back());
}

void TestStorage::dlt664Layout()
{
    QFETCH(int, segment);
    QFETCH(int, offset);
    const auto rgba = makePicture(kLayoutW, kLayoutH);
    const auto temps = makeMatrix(kLayoutW, kLayoutH);
    QVERIFY(writeDlt664(path("l.jpg").toStdString(), rgba.data(), temps.data(), kLayoutW,
                        kLayoutH, sampleMeta()));
    const QByteArray jpeg = readAll(path("l.jpg"));

    // The segments follow the JFIF APP0 segment, one after another.
    QCOMPARE(jpeg.left(4), QByteArray("\xFF\xD8\xFF\xE0"));
    const auto segments = matrixSegments(jpeg);
    QCOMPARE(segments.size(), 3);
    QCOMPARE(segments[0].first, 4 + int(fieldAt(jpeg, 4, "be16")));
    for (int i = 1; i < segments.size(); ++i)
        QCOMPARE(segments[i].first, segments[i - 1].first + segments[i - 1].second);

    compareField(jpeg, segments[segment].first + 4 + offset);
}

void TestStorage::dlt664RejectsDamage_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("segment missing") << "drop";
    QTest::newRow("segment repeated") << "repeat";
    QTest::newRow("segments swapped") << "swap";
    QTest::newRow("file cut inside a segment") << "cut";
    QTest::newRow("plain jpeg") << "plain";
    QTest::newRow("not a jpeg") << "garbage";
}

void TestStorage::dlt664RejectsDamage()
{
    QFETCH(QString, damage);
    const int w = 300, h = 250;  // three segments
    const auto rgba = makePicture(w, h);
    const auto temps = makeMatrix(w, h);
    std::vector<uint8_t> out;
    QVERIFY(encodeDlt664(rgba.data(), temps.data(), w, h, ThermalMeta(), 90, out));
    QByteArray bytes(reinterpret_cast<const char *>(out.data()), int(out.size()));
    const auto seg = matrixSegments(bytes);
    QCOMPARE(seg.size(), 3);
    const QByteArray first = bytes.mid(seg[0].first, seg[0].second);
    const QByteArray second = bytes.mid(seg[1].first, seg[1].second);

    if (damage == "drop") {
        bytes.remove(seg[1].first, seg[1].second);
    } else if (damage == "repeat") {
        bytes.insert(seg[1].first, second);
    } else if (damage == "swap") {
        bytes.replace(seg[0].first, seg[0].second + seg[1].second, second + first);
    } else if (damage == "cut") {
        bytes.truncate(seg[2].first + 100);
    } else if (damage == "plain") {
        std::vector<uint8_t> plain;
        QVERIFY(encodeJpeg(rgba.data(), w, h, 90, plain));
        bytes = QByteArray(reinterpret_cast<const char *>(plain.data()), int(plain.size()));
    } else {
        bytes = QByteArray(5000, '\xFF');
    }
    ThermalMatrix m;
    if (damage == "swap") {
        // Order in the file does not matter; the sequence numbers do.
        QVERIFY(decodeDlt664Bytes(bytes, m));
        QVERIFY(m.values == temps);
    } else {
        QVERIFY(!decodeDlt664Bytes(bytes, m));
    }
}

void TestStorage::pictureWritersFailCleanly()
{
    const auto rgba = makePicture(16, 16);
    const auto temps = makeMatrix(16, 16);
    const std::string missingDir = path("no/such/dir/x.jpg").toStdString();

    QVERIFY(!writeJpegSnapshot(missingDir, rgba.data(), 16, 16));
    QVERIFY(!writeJpegSnapshot(dir_->path().toStdString(), rgba.data(), 16, 16));
    QVERIFY(!writeJpegSnapshot("", rgba.data(), 16, 16));
    QVERIFY(!writeJpegSnapshot(path("null.jpg").toStdString(), nullptr, 16, 16));
    QVERIFY(!writeJpegSnapshot(path("empty.jpg").toStdString(), rgba.data(), 0, 16));
    QVERIFY(!writeDlt664(missingDir, rgba.data(), temps.data(), 16, 16, ThermalMeta()));

    // Half a pair is worse than none: the .irg goes when the .jpg cannot be written.
    QVERIFY(!writeIrgPair(path("half.irg").toStdString(), missingDir, rgba.data(),
                          temps.data(), 16, 16, ThermalMeta()));
    QVERIFY(!QFile::exists(path("half.irg")));
    QVERIFY(!QFile::exists(path("null.jpg")));
    QVERIFY(!QFile::exists(path("empty.jpg")));

    ThermalMatrix m;
    QVERIFY(!readIrgFile(path("missing.irg").toStdString(), m));
    QVERIFY(!readDlt664File(path("missing.jpg").toStdString(), m));
}

void TestStorage::recording_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("h264");
    QTest::addColumn<bool>("steady");  // 25 fps, or uneven gaps
    QTest::addColumn<QString>("codec");
    QTest::addColumn<QString>("format");

    QTest::newRow("mp4") << "rec.mp4" << 640 << 512 << true << true << "h264" << "mov,mp4,m4a,3gp,3g2,mj2";
    QTest::newRow("pav") << "rec.pav" << 640 << 512 << true << true << "h264" << "mpegts";
    QTest::newRow("upper-case extension") << "REC.MP4" << 640 << 512 << true << true << "h264" << "mov,mp4,m4a,3gp,3g2,mj2";
    QTest::newRow("odd size cropped to even") << "odd.mp4" << 641 << 511 << true << true << "h264" << "mov,mp4,m4a,3gp,3g2,mj2";
    QTest::newRow("uneven frame times mp4") << "vfr.mp4" << 640 << 512 << true << false << "h264" << "mov,mp4,m4a,3gp,3g2,mj2";
    QTest::newRow("uneven frame times pav") << "vfr.pav" << 640 << 512 << true << false << "h264" << "mpegts";
    QTest::newRow("mpeg4 fallback mp4") << "m4.mp4" << 640 << 512 << false << true << "mpeg4" << "mov,mp4,m4a,3gp,3g2,mj2";
    QTest::newRow("mpeg4 fallback pav") << "m4.pav" << 640 << 512 << false << true << "mpeg4" << "mpegts";
}

void TestStorage::recording()
{
    QFETCH(QString, file);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, h264);
    QFETCH(bool, steady);
    QFETCH(QString, codec);
    QFETCH(QString, format);

    // About 3 s of pictures, every 40 ms, or at uneven gaps (a stalled
    // stream, then a burst) that end at the same time.
    QVector<int64_t> times;
    if (steady) {
        for (int64_t t = 0; t < 3000; t += 40)
            times.append(t);
    } else {
        times = {0, 40, 80, 700, 710, 720, 1500, 1540, 2200, 2900, 2960};
    }

    VideoRecorder recorder(8, h264);
    QVERIFY(recorder.start(path(file).toStdString(), width, height, 25));
    QVERIFY(recorder.isRecording());
    QCOMPARE(QString::fromStdString(recorder.codecName()), h264 ? QString("libx264") : QString("mpeg4"));
    for (int i = 0; i < times.size(); ++i) {
        // Keep the queue from overflowing: every frame must reach the file here.
        while (recorder.queuedFrames() >= 6)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const auto rgba = makePicture(width, height, i * 8);
        QVERIFY(recorder.pushFrame(rgba.data(), width, height, 5000 + times[i]));
    }
    QVERIFY(recorder.stop());
    QVERIFY(!recorder.isRecording());
    QCOMPARE(recorder.encodedFrames(), uint64_t(times.size()));
    QCOMPARE(recorder.droppedFrames(), uint64_t(0));

    const QMap<QString, QString> info = probe(path(file));
    QCOMPARE(info.value("codec_name"), codec);
    QCOMPARE(info.value("format_name"), format);
    QCOMPARE(info.value("width").toInt(), width & ~1);
    QCOMPARE(info.value("height").toInt(), height & ~1);
    const double duration = info.value("duration").toDouble();
    QVERIFY2(duration > 2.7 && duration < 3.3, qPrintable(info.value("duration")));
}

void TestStorage::recordingRefusesBadTargets_data()
{
    QTest::addColumn<QString>("target");  // %1 is the temporary directory
    QTest::addColumn<int>("width");

    QTest::newRow("unknown extension") << "%1/rec.avi" << 640;
    QTest::newRow("no extension") << "%1/rec" << 640;
    QTest::newRow("extension not last") << "%1/rec.mp4.txt" << 640;
    QTest::newRow("dot in the folder only") << "%1/x.mp4/rec" << 640;
    QTest::newRow("missing folder") << "%1/no/such/rec.mp4" << 640;
    QTest::newRow("folder as file") << "%1/folder.mp4" << 640;
    QTest::newRow("url is a file name, not a connection") << "tcp://127.0.0.1:9/rec.pav" << 640;
    QTest::newRow("picture too small") << "%1/small.mp4" << 1;
}

void TestStorage::recordingRefusesBadTargets()
{
    QFETCH(QString, target);
    QFETCH(int, width);
    QVERIFY(QDir(dir_->path()).mkdir("folder.mp4"));
    target.replace("%1", dir_->path());

    VideoRecorder recorder;
    QVERIFY(!recorder.start(target.toStdString(), width, 480));
    QVERIFY(!recorder.isRecording());
    const auto rgba = makePicture(16, 16);
    QVERIFY(!recorder.pushFrame(rgba.data(), 16, 16, 0));
    QVERIFY(!recorder.stop());
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files).size(), 0);

    // A refused start leaves the recorder usable.
    QVERIFY(recorder.start(path("after.mp4").toStdString(), 64, 48));
    QVERIFY(recorder.stop());
}

void TestStorage::frameTimesMustRise()
{
    VideoRecorder recorder;
    QVERIFY(recorder.start(path("t.mp4").toStdString(), 64, 48));
    QVERIFY(!recorder.start(path("second.pav").toStdString(), 64, 48));
    const auto rgba = makePicture(64, 48);
    QVERIFY(recorder.pushFrame(rgba.data(), 64, 48, 100));
    QVERIFY(!recorder.pushFrame(rgba.data(), 64, 48, 100));
    QVERIFY(!recorder.pushFrame(rgba.data(), 64, 48, 60));
    QVERIFY(!recorder.pushFrame(nullptr, 64, 48, 200));
    // Another size is scaled to the recording's.
    const auto big = makePicture(128, 96);
    QVERIFY(recorder.pushFrame(big.data(), 128, 96, 140));
    QVERIFY(recorder.stop());
    QCOMPARE(recorder.encodedFrames(), uint64_t(2));
    QVERIFY(!QFile::exists(path("second.pav")));
    QCOMPARE(probe(path("t.mp4")).value("width").toInt(), 64);
}

void TestStorage::fullQueueDropsOldest()
{
    // Noise pictures encode far slower than they copy, so pushing them back
    // to back overflows the queue: the caller must not wait, the oldest
    // frames go and are counted, and the file still closes cleanly.
    const int w = 1280, h = 720, capacity = 2;
    std::vector<uint8_t> noise(size_t(w) * h * 4);
    uint32_t seed = 12345;
    for (uint8_t &b : noise)
        b = uint8_t((seed = seed * 1664525u + 1013904223u) >> 24);

    VideoRecorder recorder(capacity);
    QVERIFY(recorder.start(path("burst.mp4").toStdString(), w, h));
    int pushed = 0;
    while (pushed < 400 && (pushed < 20 || recorder.droppedFrames() == 0)) {
        QVERIFY(recorder.pushFrame(noise.data(), w, h, pushed * 40));
        QVERIFY(recorder.queuedFrames() <= size_t(capacity));
        ++pushed;
    }
    QVERIFY(recorder.stop());
    QVERIFY(recorder.droppedFrames() > 0);
    QCOMPARE(recorder.encodedFrames() + recorder.droppedFrames(), uint64_t(pushed));
    QCOMPARE(probe(path("burst.mp4")).value("width").toInt(), w);
}

void TestStorage::fullDiskIsReported()
{
    // Writes to /dev/full open fine and then fail: a writer that does not
    // check its writes and closes reports a lost file as saved.
    if (!QFileInfo::exists("/dev/full"))
        QSKIP("no /dev/full here");
    for (const char *name : {"full.jpg", "full.mp4", "full.pav"})
        QVERIFY(QFile::link("/dev/full", path(name)));
    const auto rgba = makePicture(64, 48);
    QVERIFY(!writeJpegSnapshot(path("full.jpg").toStdString(), rgba.data(), 64, 48));

    for (const char *name : {"full.mp4", "full.pav"}) {
        VideoRecorder recorder;
        if (!recorder.start(path(name).toStdString(), 64, 48))
            continue;  // refusing at once is as good
        for (int i = 0; i < 10; ++i)
            recorder.pushFrame(rgba.data(), 64, 48, i * 40);
        QVERIFY2(!recorder.stop(), name);
    }
    // Cleaning up after a failure never deletes what the name points at.
    QVERIFY(QFileInfo::exists("/dev/full"));
}

void TestStorage::fullCardMidway_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("room");      // free space, against the complete file
    QTest::addColumn<QString>("pictures");  // what the file keeps: all, one less, some, none

    QTest::newRow("pav with just enough room") << "c.pav" << "all" << "all";
    QTest::newRow("pav cut in its last picture") << "c.pav" << "all but one byte" << "one less";
    QTest::newRow("pav cut mid-way") << "c.pav" << "half" << "some";
    QTest::newRow("pav without room for a picture") << "c.pav" << "1000 bytes" << "none";
    QTest::newRow("mp4 with just enough room") << "c.mp4" << "all" << "all";
    QTest::newRow("mp4 without room for its index") << "c.mp4" << "all but one byte" << "none";
    QTest::newRow("mp4 cut mid-way") << "c.mp4" << "half" << "none";
}

void TestStorage::fullCardMidway()
{
    QFETCH(QString, file);
    QFETCH(QString, room);
    QFETCH(QString, pictures);
    const int count = 30;

    // The same pictures encode to the same bytes, so the complete file says
    // where each cut falls.
    const QString complete = path("complete." + QFileInfo(file).suffix());
    VideoRecorder reference;
    QVERIFY(recordClip(reference, complete, count));
    QCOMPARE(decodedPictures(complete), count);
    const qint64 size = QFileInfo(complete).size();

    const qint64 space = room == "all"    ? size
                         : room == "half" ? size / 2
                         : room == "all but one byte" ? size - 1
                                                      : 1000;
    VideoRecorder recorder;
    recorder.setFreeSpace(uint64_t(space));
    const bool stopped = recordClip(recorder, path(file), count);
    QCOMPARE(stopped, pictures == "all");

    if (pictures == "none") {
        QVERIFY(!QFile::exists(path(file)));
        return;
    }
    QVERIFY(QFile::exists(path(file)));
    const qint64 kept = QFileInfo(path(file)).size();
    QVERIFY(kept <= space);
    if (file.endsWith(".pav"))
        QCOMPARE(kept % 188, qint64(0));  // whole transport packets
    QSize pictureSize;
    const int decoded = decodedPictures(path(file), &pictureSize);
    QCOMPARE(pictureSize, QSize(320, 240));
    if (pictures == "all")
        QCOMPARE(decoded, count);
    else if (pictures == "one less")
        QCOMPARE(decoded, count - 1);
    else
        QVERIFY2(decoded > 0 && decoded < count - 1, qPrintable(QString::number(decoded)));
}

QTEST_GUILESS_MAIN(TestStorage)
#include "tst_storage.moc"
