// Many devices on one device service: a hundred on 127.0.1.1-100 start and
// each answers its own logins, and logins churned by several client
// processes leave no session, thread or descriptor of the service behind.
#include "DeviceService.h"
#include "TMVNetSDK.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include <cstdio>
#include <cstring>

namespace {

QString addressOf(int i)
{
    return QStringLiteral("127.0.1.%1").arg(i + 1);
}

QList<DeviceService::Device> fleetOf(int n)
{
    static const char *const kinds[] = {"ptz-dual", "fixed-thermal", "panoramic-thermal"};
    QList<DeviceService::Device> devices;
    for (int i = 0; i < n; ++i)
        devices.append({kinds[i % 3], addressOf(i)});
    return devices;
}

TMV_NET_HANDLE login(const QString &address, int port, int32_t *status = nullptr)
{
    TMV_NET_LOGIN_INFO info{};
    std::strncpy(info.ip, address.toLatin1().constData(), sizeof info.ip - 1);
    info.port = port;
    std::strcpy(info.userName, "admin");
    std::strcpy(info.password, "sensor852");
    TMV_NET_HANDLE h = nullptr;
    const int32_t s = TMV_NET_Login(&info, &h);
    if (status)
        *status = s;
    return s == TMV_NET_SUCCESS ? h : nullptr;
}

// A child process: `cycles` logins and logouts, device after device of the
// first `devices`; 0 when each went through.
int churn(int port, int devices, int cycles)
{
    TMV_NET_Init();
    for (int i = 0; i < cycles; ++i) {
        int32_t status = 0;
        TMV_NET_HANDLE h = login(addressOf(i % devices), port, &status);
        if (!h) {
            std::fprintf(stderr, "cycle %d: login to %s: status %d\n", i, qPrintable(addressOf(i % devices)), status);
            return 1;
        }
        if (TMV_NET_Logout(h) != TMV_NET_SUCCESS) {
            std::fprintf(stderr, "cycle %d: logout failed\n", i);
            return 1;
        }
    }
    TMV_NET_Deinit();
    return 0;
}

int entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size();
}

}  // namespace

class TestFleet : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(TMV_NET_Init(), TMV_NET_SUCCESS); }
    void cleanupTestCase() { TMV_NET_Deinit(); }

    // Each of a hundred devices listens on its own address of 127.0.1.0/24,
    // all on one port, and a login reaches the device it names.
    void hundredDevices()
    {
        DeviceService service(fleetOf(100));
        QElapsedTimer started;
        started.start();
        QVERIFY2(service.start(), qPrintable(service.log()));
        qInfo("100 devices listening after %lld ms", started.elapsed());
        for (int i : {0, 1, 2, 57, 99}) {
            TMV_NET_HANDLE h = login(addressOf(i), service.port());
            QVERIFY2(h, qPrintable(addressOf(i)));
            TMV_NET_DEV_INFO info{};
            QCOMPARE(TMV_NET_GetDevInfo(h, &info), TMV_NET_SUCCESS);
            QCOMPARE(info.deviceType, i % 3);  // the kinds in turn
            QCOMPARE(TMV_NET_Logout(h), TMV_NET_SUCCESS);
        }
    }

    // Four processes, a thousand logins and logouts each over ten devices:
    // every device then takes its four sessions again, and the service's
    // threads and descriptors are what they were before the first login.
    void churnAcrossProcesses()
    {
        constexpr int kDevices = 10, kProcesses = 4, kCycles = 1000;
        DeviceService service(fleetOf(kDevices));
        QVERIFY2(service.start(), qPrintable(service.log()));
        // Its threads all run once it says where the search answers.
        QTRY_VERIFY(service.log().contains("search answers"));
        const QString proc = QStringLiteral("/proc/%1/").arg(service.pid());
        const int threads = entries(proc + "task"), descriptors = entries(proc + "fd");
        QVERIFY(threads > 0 && descriptors > 0);

        QElapsedTimer took;
        took.start();
        std::vector<std::unique_ptr<QProcess>> clients;
        for (int i = 0; i < kProcesses; ++i) {
            clients.push_back(std::make_unique<QProcess>());
            clients.back()->setProcessChannelMode(QProcess::MergedChannels);
            clients.back()->start(QCoreApplication::applicationFilePath(),
                                  {"--churn", QString::number(service.port()), QString::number(kDevices),
                                   QString::number(kCycles)});
        }
        // The service's log is read meanwhile: a full pipe would stall its
        // connections on their log lines.
        const auto running = [&] {
            service.log();
            for (auto &c : clients)
                if (c->state() != QProcess::NotRunning)
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(!running(), 120000);
        for (auto &c : clients)
            QVERIFY2(c->exitStatus() == QProcess::NormalExit && c->exitCode() == 0, c->readAll().constData());
        qInfo("%d login/logout cycles in %lld ms", kProcesses * kCycles, took.elapsed());

        // Finished connections are joined within the accept loop's poll.
        QTRY_COMPARE_WITH_TIMEOUT(entries(proc + "task"), threads, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(entries(proc + "fd"), descriptors, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(service.log().count("logout of admin"), kProcesses * kCycles, 5000);
        QCOMPARE(service.log().count("login of admin"), kProcesses * kCycles);
        QVERIFY(!service.log().contains("lost connection"));

        // No session left: each device admits as many as it ever did.
        for (int d = 0; d < kDevices; ++d) {
            std::vector<TMV_NET_HANDLE> held;
            for (int s = 0; s < 4; ++s) {
                held.push_back(login(addressOf(d), service.port()));
                QVERIFY2(held.back(), qPrintable(addressOf(d)));
            }
            for (TMV_NET_HANDLE h : held)
                QCOMPARE(TMV_NET_Logout(h), TMV_NET_SUCCESS);
        }
    }
};

int main(int argc, char **argv)
{
    setenv("TMVNET_DEVICES", "network", 1);
    if (argc == 5 && std::strcmp(argv[1], "--churn") == 0)
        return churn(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    QCoreApplication app(argc, argv);
    TestFleet test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fleet.moc"
