#ifndef DEVICESERVICE_H
#define DEVICESERVICE_H

#include <QByteArray>
#include <QDateTime>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// The device service (sdkdemo-devices) as a child process of a test: a fleet
// file of the given devices on loopback addresses, all on one free high
// port (its search answering on the same number over UDP, its control port
// on 127.0.0.1 with the same number), the service started on it, stopped or
// killed on demand, its log kept.
class DeviceService
{
public:
    struct Device {
        QString kind;     // "ptz-dual", "fixed-thermal", "panoramic-thermal"
        QString address;  // 127.x.x.x
        QString password = QStringLiteral("sensor852");
    };

    explicit DeviceService(QList<Device> devices);
    ~DeviceService();

    // Starts the service, trying other ports while the chosen one is taken;
    // false (with the service's own words in log()) when it will not start.
    bool start();
    // Sets this process's TMVNET_SEARCH_PORT and TMVNET_CONTROL to the
    // service's: the library's search and control interface go to it.
    void pointLibraryAtIt() const;
    // SIGTERM and a wait: the service logs its sessions out.
    void stop();
    // SIGKILL: the connections drop as a pulled cable would drop them.
    void kill();
    bool running() const;
    // How the last run ended: its exit code, or -1 when a signal ended it.
    int exitCode() const;

    int port() const { return m_port; }
    // The service's process id (its /proc entries), or 0 when not started.
    qint64 pid() const { return m_process ? m_process->processId() : 0; }

    // Before start(): every device also serves RTSP, on port() + 1, and the
    // service gets `arguments` too (e.g. --paused-clock).
    void setRtsp(QStringList arguments = {})
    {
        m_rtsp = true;
        m_arguments = std::move(arguments);
    }
    int rtspPort() const { return m_rtsp ? m_port + 1 : 0; }
    QString log();

    // The SD card folder of the device at `address`, as the fleet file names it.
    QString cardFolder(const QString &address) const;
    // Puts a video recording of `size` random bytes on the device's card,
    // named as the device names one that started about three hours ago
    // (each call a new name: the card rescans on a new name only). Returns
    // its name, empty when it cannot be written; `start` gets its start.
    QString addCardRecording(const QString &address, qint64 size, QDateTime *start) const;

private:
    bool startOn(int port);
    QString logPath() const;

    QList<Device> m_devices;
    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_process;
    int m_port = 0;
    bool m_rtsp = false;
    QStringList m_arguments;
};

#endif
