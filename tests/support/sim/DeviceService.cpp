#include "DeviceService.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QThread>

DeviceService::DeviceService(QList<Device> devices) : m_devices(std::move(devices)) {}

DeviceService::~DeviceService()
{
    stop();
}

bool DeviceService::start()
{
    // A port the system is unlikely to hand out to anyone else right now.
    for (int attempt = 0; attempt < 8; ++attempt)
        if (startOn(int(QRandomGenerator::global()->bounded(20000, 32000))))
            return true;
    return false;
}

bool DeviceService::startOn(int port)
{
    QJsonArray list;
    for (const Device &d : m_devices)
        list.append(QJsonObject{{"kind", d.kind},
                                {"address", d.address},
                                {"port", port},
                                {"password", d.password},
                                {"sdcard", m_dir.filePath("card-" + d.address)}});
    for (int i = 0; m_rtsp && i < list.size(); ++i) {
        QJsonObject entry = list[i].toObject();
        entry["rtspPort"] = port + 1;
        list[i] = entry;
    }
    const QString fleet = m_dir.filePath("fleet.json");
    QFile file(fleet);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // The search answers on the same number over UDP, the control port on
    // 127.0.0.1.
    file.write(QJsonDocument(QJsonObject{{"searchPort", port},
                                         {"controlAddress", "127.0.0.1"},
                                         {"controlPort", port},
                                         {"devices", list}})
                   .toJson());
    file.close();

    // The log goes to a file: a pipe nobody reads while a test runs
    // without an event loop would fill up and stall the service.
    const qint64 earlier = QFileInfo(logPath()).size();
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setStandardOutputFile(logPath(), QIODevice::Append);
    if (m_rtsp && qEnvironmentVariableIsSet("ASAN_OPTIONS")) {
        // GLib drops its first quark table on purpose when the RTSP server's
        // types outgrow it; only a full stack shows the leak checker that it
        // was made while the library loaded (suppressed as "_dl_init").
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":fast_unwind_on_malloc=0");
        m_process->setProcessEnvironment(environment);
    }
    m_process->start(QStringLiteral(SDKDEMO_DEVICES_PROGRAM), QStringList{"--fleet", fleet} + m_arguments);
    if (!m_process->waitForStarted(5000))
        return false;
    // Ready once every device listens; a port in use ends the process.
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && !m_process->waitForFinished(50)) {
        if (log().toUtf8().mid(int(earlier)).count("listening") >= m_devices.size()) {
            m_port = port;
            return true;
        }
    }
    m_process->kill();
    m_process->waitForFinished(5000);
    return false;
}

void DeviceService::pointLibraryAtIt() const
{
    qputenv("TMVNET_SEARCH_PORT", QByteArray::number(m_port));
    qputenv("TMVNET_CONTROL", "127.0.0.1:" + QByteArray::number(m_port));
}

void DeviceService::stop()
{
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return;
    m_process->terminate();
    if (!m_process->waitForFinished(10000)) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
}

void DeviceService::kill()
{
    if (!m_process)
        return;
    m_process->kill();
    m_process->waitForFinished(5000);
}

bool DeviceService::running() const
{
    return m_process && m_process->state() == QProcess::Running;
}

int DeviceService::exitCode() const
{
    if (!m_process || m_process->state() != QProcess::NotRunning || m_process->exitStatus() != QProcess::NormalExit)
        return -1;
    return m_process->exitCode();
}

QString DeviceService::log()
{
    QFile file(logPath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString DeviceService::logPath() const
{
    return m_dir.filePath(QStringLiteral("service.log"));
}

QString DeviceService::cardFolder(const QString &address) const
{
    return m_dir.filePath("card-" + address);
}
