#include "PtzLoginFixture.h"

bool PtzLoginFixture::open(const char *ip)
{
    SimFixture::reset();
    SimFixture::pauseClock();
    m_handle = SimFixture::login(ip);
    return m_handle != nullptr;
}

void PtzLoginFixture::close()
{
    if (m_handle)
        TMV_NET_Logout(m_handle);
    m_handle = nullptr;
    SimFixture::clearFaults();
    SimFixture::resumeClock();
}

bool PtzLoginFixture::relogin(const char *ip)
{
    if (m_handle)
        TMV_NET_Logout(m_handle);
    m_handle = SimFixture::login(ip);
    return m_handle != nullptr;
}
