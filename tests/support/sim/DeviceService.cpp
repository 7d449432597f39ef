#include "DeviceService.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
    // The search answers on the same number, over UDP.
    file.write(QJsonDocument(QJsonObject{{"searchPort", port}, {"devices", list}}).toJson());
    file.close();

    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->start(QStringLiteral(SDKDEMO_DEVICES_PROGRAM), QStringList{"--fleet", fleet} + m_arguments);
    if (!m_process->waitForStarted(5000))
        return false;
    // Ready once every device listens; a port in use ends the process.
    const int earlier = m_log.size();
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        m_process->waitForReadyRead(100);
        m_log += m_process->readAll();
        if (m_log.mid(earlier).count("listening") >= m_devices.size()) {
            m_port = port;
            return true;
        }
        if (m_process->state() == QProcess::NotRunning)
            break;
    }
    m_process->kill();
    m_process->waitForFinished(5000);
    return false;
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
    m_log += m_process->readAll();
}

void DeviceService::kill()
{
    if (!m_process)
        return;
    m_process->kill();
    m_process->waitForFinished(5000);
    m_log += m_process->readAll();
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
    if (m_process)
        m_log += m_process->readAll();
    return QString::fromUtf8(m_log);
}

QString DeviceService::cardFolder(const QString &address) const
{
    return m_dir.filePath("card-" + address);
}
