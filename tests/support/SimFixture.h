#ifndef SIMFIXTURE_H
#define SIMFIXTURE_H

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

#include "TMVNetSDK.h"
#include "TMVSimControl.h"

// The simulated fleet for a test: a fresh fleet, direct logins through the
// library, the call journal, fault injection and the simulation clock.
//
// Fleet: 127.0.0.11 two-channel PTZ camera, 127.0.0.12 fixed one-channel
// thermal camera, 127.0.0.13 panoramic camera; port 80, admin / sensor852.
class SimFixture
{
public:
    static const char *const kPtzCamera;
    static const char *const kFixedCamera;
    static const char *const kPanoramicCamera;
    static const char *const kUser;
    static const char *const kPassword;

    // TMV_NET_Init once per process (TMV_NET_Deinit follows when the
    // application object goes), then a factory fleet with an empty
    // journal, no faults and a running clock.
    static void reset();

    // Logs in directly through the library; 0 on failure (status in *status).
    static TMV_NET_HANDLE login(const char *ip = kPtzCamera, const char *user = kUser,
                                const char *password = kPassword, int port = 80,
                                int *status = nullptr);

    static void clearJournal() { TMVSim_JournalClear(); }
    static int countOf(const char *function) { return TMVSim_JournalCountOf(function); }
    // Input bytes of the last call of `function`; empty when it was not called.
    static QByteArray lastInput(const char *function);
    // Function names of the journal, oldest first.
    static QStringList calls();
    // `calls()` restricted to the given names, for checking an order.
    static QStringList callsAmong(const QStringList &functions);

    static void fail(const char *function, int status, int times = 1)
    {
        TMVSim_FailCall(function, status, times);
    }
    static void clearFaults() { TMVSim_ClearFaults(); }

    static void pauseClock() { TMVSim_ClockPause(); }
    static void stepClock(int64_t ms) { TMVSim_ClockStep(ms); }
    static void resumeClock() { TMVSim_ClockResume(); }

    static int sessionCount(const char *ip) { return TMVSim_SessionCount(ip); }
};

#endif // SIMFIXTURE_H
