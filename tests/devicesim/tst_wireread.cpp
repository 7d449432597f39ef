// Reading the device protocol's messages off a TCP socket: a message is
// handed over as soon as its last byte is there, however it was cut on the
// way and whatever follows it (often nothing: the last frame of a stopped
// stream, the reply behind it).
#include <QtTest>

#include "service/DeviceServer.h"
#include "wire/Frame.h"

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace sim::wire;

namespace {

// Long enough that a read which sleeps through its message's end shows as a
// hang the test catches, not as a slow pass.
const int kLongPartMs = 60000;

// A connected pair on the loopback: the device's end and ours.
struct Pair {
    Socket writer;
    Socket reader;
};

Pair connectedPair()
{
    Pair pair;
    int port = 0;
    const int listener = sim::service::listenTcp("127.0.0.1", 0, 0, 1, &port);
    if (listener < 0)
        return pair;
    pair.reader = Socket::connectTo("127.0.0.1", port, 2000);
    pair.writer = Socket(::accept(listener, nullptr, nullptr));
    ::close(listener);
    return pair;
}

Buffer patternOf(size_t size)
{
    Buffer bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = uint8_t(i * 131 + (i >> 11));
    return bytes;
}

}  // namespace

class TestWireRead : public QObject
{
    Q_OBJECT

private slots:
    // Each message is followed by silence (the link stays open): the read
    // must not wait for more bytes than the message has.
    void messageFollowedBySilence_data()
    {
        QTest::addColumn<int>("payload");
        QTest::addColumn<QList<int>>("cuts");  // where the sender pauses
        QTest::addColumn<int>("messages");
        QTest::newRow("reply") << 4 << QList<int>{} << 1;
        QTest::newRow("one bulk piece") << (256 << 10) << QList<int>{} << 1;
        QTest::newRow("a byte past a bulk piece") << (256 << 10) + 1 << QList<int>{} << 1;
        QTest::newRow("frame, whole") << 1310744 << QList<int>{} << 1;
        // The reader is asleep on the first part when the rest comes, and
        // the rest is less than a bulk piece.
        QTest::newRow("frame, tail after a pause") << 1310744 << QList<int>{1310744 - 1000} << 1;
        QTest::newRow("frame, header alone first") << 1310744 << QList<int>{10} << 1;
        QTest::newRow("frame, in three parts") << 1310744 << QList<int>{300000, 1200000} << 1;
        QTest::newRow("frame, then a reply") << 1310744 << QList<int>{} << 2;
        QTest::newRow("largest message") << int(kMaxPayload) << QList<int>{} << 1;
    }
    void messageFollowedBySilence()
    {
        QFETCH(int, payload);
        QFETCH(QList<int>, cuts);
        QFETCH(int, messages);
        Pair pair = connectedPair();
        QVERIFY(pair.writer.valid() && pair.reader.valid());

        const Buffer body = patternOf(size_t(payload));
        std::atomic<int> read{0};
        std::atomic<bool> intact{true};
        std::thread reader([&] {
            for (int i = 0; i < messages; ++i) {
                Message message;
                if (pair.reader.read(&message, kLongPartMs, kLongPartMs) != ReadResult::Ok
                    || message.header.sequence != uint32_t(i + 1)
                    || message.payload != (i == 0 ? body : patternOf(4)))
                    intact = false;
                ++read;
            }
        });
        // A read still asleep when the check gives up is woken to end.
        auto joinReader = qScopeGuard([&] {
            pair.reader.shutdown();
            reader.join();
        });

        // The pauses let the reader go to sleep on a part of the message.
        const Buffer framed = Socket::frameOf(MessageType::Event, 1, body);
        size_t sent = 0;
        for (const int cut : cuts) {
            QVERIFY(pair.writer.sendBytes(framed.data() + sent, size_t(cut) - sent));
            sent = size_t(cut);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        QVERIFY(pair.writer.sendBytes(framed.data() + sent, framed.size() - sent));
        if (messages > 1)
            QVERIFY(pair.writer.send(MessageType::Reply, 2, patternOf(4)));

        QTRY_COMPARE_WITH_TIMEOUT(read.load(), messages, 10000);
        QVERIFY(intact);
    }

    // A message whose rest never comes, or whose sender goes, ends the read
    // with the reason.
    void incompleteMessage_data()
    {
        QTest::addColumn<bool>("senderCloses");
        QTest::addColumn<int>("expected");
        QTest::newRow("sender silent") << false << int(ReadResult::TimedOut);
        QTest::newRow("sender gone") << true << int(ReadResult::Closed);
    }
    void incompleteMessage()
    {
        QFETCH(bool, senderCloses);
        QFETCH(int, expected);
        Pair pair = connectedPair();
        QVERIFY(pair.writer.valid() && pair.reader.valid());
        // A part small enough for the socket's buffers: nobody reads yet.
        const Buffer framed = Socket::frameOf(MessageType::Event, 1, patternOf(1310744));
        QVERIFY(pair.writer.sendBytes(framed.data(), 50000));
        if (senderCloses)
            pair.writer = Socket();
        Message message;
        QCOMPARE(int(pair.reader.read(&message, 2000, senderCloses ? kLongPartMs : 300)), expected);
    }
};

QTEST_GUILESS_MAIN(TestWireRead)
#include "tst_wireread.moc"
