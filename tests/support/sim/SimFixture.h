#ifndef SIMFIXTURE_H
#define SIMFIXTURE_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTest>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "TMVNetSDK.h"
#include "TMVSimControl.h"

class DeviceService;

// The simulated fleet for a test: a fresh fleet, logins straight through the
// library, the call journal, fault injection and the simulation clock. Needs
// only QtCore and QtTest, so the library's own tests use it as well as the
// page tests.
//
// Fleet: 127.0.0.11 two-channel PTZ camera, 127.0.0.12 fixed one-channel
// thermal camera, 127.0.0.13 panoramic camera; port 80, admin / sensor852.
//
// With TMVNET_DEVICES=network (the suites' *_network runs) the same fleet is
// a device service of the test's own, on those addresses and a free high
// port() (started by the first reset()), and the control interface acts on
// it.
class SimFixture
{
public:
    static const char *const kPtzCamera;
    static const char *const kFixedCamera;
    static const char *const kPanoramicCamera;
    static const char *const kUser;
    static const char *const kPassword;

    // TMV_NET_Init (again, should a test have deinitialised), with a
    // TMV_NET_Deinit when the application object goes; then a factory fleet
    // with an empty journal, no faults and a running clock.
    static void reset();

    // Whether the library runs in network mode (TMVNET_DEVICES=network).
    static bool network();
    // The port the fleet's devices take logins on: 80, or the service's.
    static int port();
    // The device service of a network run (started on first use), else null.
    static DeviceService *service();
    // Starts the service again after a test stopped or killed it, on a port
    // of its own, and points the library at it; false when it would not start.
    static bool restartService();
    // Whether the library carries recordings and SD card downloads: always
    // in embedded mode; in network mode not while it answers them 2 (not
    // supported) before reaching any device.
    static bool carriesRecordings();
    static bool carriesDownloads();

    // A zeroed login record holding the texts (cut to their fields); port -1
    // is the fleet's.
    static TMV_NET_LOGIN_INFO loginInfo(const char *ip = kPtzCamera, const char *user = kUser,
                                        const char *password = kPassword, int port = -1);
    // Logs in through the library; returns its status. `*handle` is what the
    // library left there.
    static int32_t tryLogin(TMV_NET_HANDLE *handle, const char *ip = kPtzCamera, const char *user = kUser,
                            const char *password = kPassword, int port = -1);
    // A login with the fleet's credentials; null on failure.
    static TMV_NET_HANDLE login(const char *ip = kPtzCamera);

    static void clearJournal() { TMVSim_JournalClear(); }
    static int countOf(const char *function) { return TMVSim_JournalCountOf(function); }
    // Input bytes of the last call of `function`, as journalled; empty when
    // it was not called.
    static QByteArray lastInput(const char *function);
    // Inputs of every call of `function`, oldest first, with the leading
    // handle dropped: what the call was asked to do.
    static QList<QByteArray> argsOf(const char *function);
    // Function names of the journal, oldest first.
    static QStringList calls();
    // `calls()` restricted to the given names, for checking an order.
    static QStringList callsAmong(const QStringList &functions);

    // The record of type T that the last call of `function` sent, found at
    // `offset` in its inputs (after the handle by default). The inputs must
    // end with the record: a size that does not match fails the test, and a
    // zeroed record is returned.
    template <class T>
    static T lastRecord(const char *function, size_t offset = sizeof(TMV_NET_HANDLE))
    {
        T record;
        std::memset(&record, 0, sizeof record);
        const QByteArray input = lastInput(function);
        const bool matches = size_t(input.size()) == offset + sizeof(T);
        if (!QTest::qVerify(matches, "lastRecord",
                            qPrintable(QStringLiteral("%1 sent %2 bytes, expected %3 + %4")
                                           .arg(QLatin1String(function))
                                           .arg(input.size())
                                           .arg(offset)
                                           .arg(sizeof(T))),
                            __FILE__, __LINE__))
            return record;
        std::memcpy(&record, input.constData() + offset, sizeof record);
        return record;
    }

    // The bytes of a record, to compare with journalled inputs.
    template <class T>
    static QByteArray bytesOf(const T &record)
    {
        return QByteArray(reinterpret_cast<const char *>(&record), int(sizeof record));
    }

    static void fail(const char *function, int status, int times = 1)
    {
        TMVSim_FailCall(function, status, times);
    }
    static void clearFaults() { TMVSim_ClearFaults(); }

    static void pauseClock() { TMVSim_ClockPause(); }
    static void stepClock(int64_t ms) { TMVSim_ClockStep(ms); }
    static void resumeClock() { TMVSim_ClockResume(); }

    static int sessionCount(const char *ip) { return TMVSim_SessionCount(ip); }
    // "address: count" for every device of the fleet with a session open.
    static QStringList openSessions();
};

// A test of recordings or SD card downloads skips itself where the library
// does not carry them over the network yet.
#define SIM_REQUIRE_RECORDINGS()                                                           \
    do {                                                                                   \
        if (!SimFixture::carriesRecordings())                                              \
            QSKIP("recordings are not carried over the network yet");                      \
    } while (0)
#define SIM_REQUIRE_DOWNLOADS()                                                            \
    do {                                                                                   \
        if (!SimFixture::carriesDownloads())                                               \
            QSKIP("SD card downloads are not carried over the network yet");               \
    } while (0)

#endif // SIMFIXTURE_H
