#include "WarningGuard.h"

#include <QCoreApplication>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QTest>
#include <QThread>

namespace {

QtMessageHandler previousHandler = nullptr;
QMutex expectedMutex; // Protects expectedPatterns and unexpected
QList<QRegularExpression> expectedPatterns;
int unexpected = 0;

// Offscreen-platform chatter about features it lacks; says nothing about the
// code under test.
const char *const kPlatformNoise[] = {
    "This plugin does not support",
    "QStandardPaths: XDG_RUNTIME_DIR not set",
};

bool isPlatformNoise(const QString &message)
{
    for (const char *noise : kPlatformNoise) {
        if (message.startsWith(QLatin1String(noise)))
            return true;
    }
    return false;
}

void failInTest(const QString &message)
{
    const QByteArray text = "Unexpected Qt message: " + message.toLocal8Bit();
    QTest::qFail(text.constData(), __FILE__, __LINE__);
}

void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg && isPlatformNoise(message))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;

    {
        QMutexLocker lock(&expectedMutex);
        for (int i = 0; i < expectedPatterns.size(); ++i) {
            if (expectedPatterns.at(i).match(message).hasMatch()) {
                expectedPatterns.removeAt(i);
                return;
            }
        }
        ++unexpected;
    }

    // Test results belong to the test thread; a library thread hands over.
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread())
        failInTest(message);
    else
        QMetaObject::invokeMethod(app, [message] { failInTest(message); }, Qt::QueuedConnection);
}

} // namespace

namespace WarningGuard {

void install()
{
    QMutexLocker lock(&expectedMutex);
    expectedPatterns.clear();
    unexpected = 0;
    const QtMessageHandler old = qInstallMessageHandler(handler);
    if (old != handler)
        previousHandler = old;
}

void expect(const QRegularExpression &pattern)
{
    QMutexLocker lock(&expectedMutex);
    expectedPatterns.append(pattern);
}

int unexpectedCount()
{
    QMutexLocker lock(&expectedMutex);
    return unexpected;
}

} // namespace WarningGuard
