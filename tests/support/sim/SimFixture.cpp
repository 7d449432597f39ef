#include "SimFixture.h"

#include "DeviceService.h"

#include <QCoreApplication>

#include <cstring>
#include <memory>

namespace {

std::unique_ptr<DeviceService> g_service;

}  // namespace

const char *const SimFixture::kPtzCamera = "127.0.0.11";
const char *const SimFixture::kFixedCamera = "127.0.0.12";
const char *const SimFixture::kPanoramicCamera = "127.0.0.13";
const char *const SimFixture::kUser = "admin";
const char *const SimFixture::kPassword = "sensor852";

void SimFixture::reset()
{
    static bool registered = false;
    if (!registered) {
        registered = true;
        // Like the program: the library goes down before the application
        // object, and its threads with it; then the service.
        qAddPostRoutine([] {
            TMV_NET_Deinit();
            g_service.reset();
        });
    }
    if (network() && !service())
        qFatal("SimFixture: the device service would not start");
    TMV_NET_Init();
    TMVSim_ClockResume();
    TMVSim_ResetFleet();
    TMVSim_ClearFaults();
    TMVSim_JournalClear();
}

bool SimFixture::network()
{
    static const bool on = qgetenv("TMVNET_DEVICES") == "network";
    return on;
}

DeviceService *SimFixture::service()
{
    if (!network())
        return nullptr;
    if (!g_service) {
        g_service = std::make_unique<DeviceService>(QList<DeviceService::Device>{
            {QStringLiteral("ptz-dual"), QString::fromLatin1(kPtzCamera)},
            {QStringLiteral("fixed-thermal"), QString::fromLatin1(kFixedCamera)},
            {QStringLiteral("panoramic-thermal"), QString::fromLatin1(kPanoramicCamera)}});
        if (!restartService()) {
            qWarning("%s", qPrintable(g_service->log()));
            g_service.reset();
        }
    }
    return g_service.get();
}

bool SimFixture::restartService()
{
    if (!g_service || !g_service->start())
        return false;
    g_service->pointLibraryAtIt();
    return true;
}

bool SimFixture::carriesRecordings()
{
    // No handle: a library that carries them answers 1 without a device.
    return !network() || TMV_NET_StartPreviewRecord(nullptr, nullptr) != TMV_NET_NOT_SUPPORTED;
}

bool SimFixture::carriesDownloads()
{
    return !network() || TMV_NET_StartDownloadFile(nullptr, nullptr) != TMV_NET_NOT_SUPPORTED;
}

int SimFixture::port()
{
    DeviceService *s = service();
    return s ? s->port() : 80;
}

TMV_NET_LOGIN_INFO SimFixture::loginInfo(const char *ip, const char *user, const char *password, int port)
{
    TMV_NET_LOGIN_INFO info;
    std::memset(&info, 0, sizeof info);
    qstrncpy(info.ip, ip, sizeof info.ip);
    info.port = port < 0 ? SimFixture::port() : port;
    qstrncpy(info.userName, user, sizeof info.userName);
    qstrncpy(info.password, password, sizeof info.password);
    return info;
}

int32_t SimFixture::tryLogin(TMV_NET_HANDLE *handle, const char *ip, const char *user, const char *password,
                             int port)
{
    const TMV_NET_LOGIN_INFO info = loginInfo(ip, user, password, port);
    return TMV_NET_Login(&info, handle);
}

TMV_NET_HANDLE SimFixture::login(const char *ip)
{
    TMV_NET_HANDLE handle = nullptr;
    return tryLogin(&handle, ip) == 0 ? handle : nullptr;
}

QByteArray SimFixture::lastInput(const char *function)
{
    for (int i = TMVSim_JournalCount() - 1; i >= 0; --i) {
        char name[128] = {};
        int size = 0;
        if (TMVSim_JournalEntry(i, name, sizeof name, nullptr, 0, &size) != 0)
            continue;
        if (std::strcmp(name, function) != 0)
            continue;
        QByteArray bytes(size, '\0');
        TMVSim_JournalEntry(i, name, sizeof name, bytes.data(), size, &size);
        return bytes;
    }
    return QByteArray();
}

QList<QByteArray> SimFixture::argsOf(const char *function)
{
    QList<QByteArray> inputs;
    const int count = TMVSim_JournalCount();
    for (int i = 0; i < count; ++i) {
        char name[128] = {};
        int size = 0;
        if (TMVSim_JournalEntry(i, name, sizeof name, nullptr, 0, &size) != 0 || std::strcmp(name, function) != 0)
            continue;
        QByteArray bytes(size, '\0');
        TMVSim_JournalEntry(i, name, sizeof name, bytes.data(), size, &size);
        inputs.append(bytes.mid(int(sizeof(TMV_NET_HANDLE))));
    }
    return inputs;
}

QStringList SimFixture::calls()
{
    QStringList names;
    const int count = TMVSim_JournalCount();
    for (int i = 0; i < count; ++i) {
        char name[128] = {};
        int size = 0;
        if (TMVSim_JournalEntry(i, name, sizeof name, nullptr, 0, &size) == 0)
            names.append(QString::fromLatin1(name));
    }
    return names;
}

QStringList SimFixture::callsAmong(const QStringList &functions)
{
    QStringList names;
    const QStringList all = calls();
    for (const QString &name : all) {
        if (functions.contains(name))
            names.append(name);
    }
    return names;
}

QStringList SimFixture::openSessions()
{
    QStringList open;
    const int devices = TMVSim_DeviceCount();
    for (int i = 0; i < devices; ++i) {
        char address[32] = {};
        if (TMVSim_DeviceAddress(i, address, sizeof address) != 0)
            continue;
        if (const int count = sessionCount(address))
            open << QStringLiteral("%1: %2").arg(QLatin1String(address)).arg(count);
    }
    return open;
}
