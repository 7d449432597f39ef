#ifndef PTZLOGINFIXTURE_H
#define PTZLOGINFIXTURE_H

#include "SimFixture.h"

// One session for the library's PTZ suites, on a fresh fleet whose clock
// stands still: the head turns only as far as a test steps it. open() in
// init(), close() in cleanup().
class PtzLoginFixture
{
public:
    // A fresh fleet, the clock paused and a session on `ip`; false when the
    // login failed.
    bool open(const char *ip = SimFixture::kPtzCamera);
    // Logs out, drops the faults a test left armed and lets the clock run.
    void close();
    // Ends the session and opens one on another device of the fleet.
    bool relogin(const char *ip);

    TMV_NET_HANDLE handle() const { return m_handle; }

private:
    TMV_NET_HANDLE m_handle = nullptr;
};

#endif // PTZLOGINFIXTURE_H
