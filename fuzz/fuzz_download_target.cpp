// The local target of a download: a device path of any bytes must give a
// plain file directly inside the chosen directory, or be refused.
#include "FuzzCheck.h"
#include "playback/PlaybackText.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    static const QString work = QDir::currentPath();
    // The root is the one directory a folder dialog gives with its slash.
    const QString directories[] = {work, work + QStringLiteral("/downloads"), QStringLiteral("/tmp"),
                                   work + QStringLiteral("/a b/\u00e9t\u00e9"), QStringLiteral("/")};
    const QString &directory = directories[input.ConsumeIntegralInRange<int>(0, 4)];
    // A directory the local 8-bit encoding cannot hold is chosen by no user.
    if (QString::fromLocal8Bit(directory.toLocal8Bit()) != directory)
        return 0;

    size_t capacity = 0;
    switch (input.ConsumeIntegralInRange<int>(0, 2)) {
    case 0:
        capacity = 256; // the record's path field
        break;
    case 1:
        capacity = input.ConsumeIntegralInRange<size_t>(0, 600);
        break;
    default:
        capacity = input.ConsumeIntegral<size_t>();
        break;
    }

    // The device's path field: without a NUL half the time, read as the
    // page reads it.
    const size_t fieldSize = input.ConsumeIntegralInRange<size_t>(0, 300);
    std::unique_ptr<char[]> field(new char[fieldSize ? fieldSize : 1]);
    std::memset(field.get(), 'a', fieldSize);
    const std::vector<char> bytes = input.ConsumeBytes<char>(fieldSize);
    if (!bytes.empty())
        std::memcpy(field.get(), bytes.data(), bytes.size());
    const QByteArray devicePath = PlaybackText::FieldText(field.get(), fieldSize);
    require(size_t(devicePath.size()) <= fieldSize && !devicePath.contains('\0'));

    const PlaybackText::DownloadTarget target = PlaybackText::TargetOf(directory, devicePath, capacity);
    if (target.fault != PlaybackText::TargetFault::None) {
        require(target.path.isEmpty());
        (void)PlaybackText::RefusalText(target.fault, devicePath);
        return 0;
    }
    const QByteArray name = PlaybackText::LastPart(devicePath);
    require(target.path == directory.toLocal8Bit() + '/' + name);
    require(size_t(target.path.size()) + 1 <= capacity);
    const QString local = QString::fromLocal8Bit(target.path);
    const QString cleaned = QDir::cleanPath(local);
    const QFileInfo file(cleaned);
    require(file.absolutePath() == QDir::cleanPath(directory));
    require(!file.fileName().isEmpty() && file.fileName() != QLatin1String(".") &&
            file.fileName() != QLatin1String(".."));
    // Spelt out: QDir::filePath takes a name starting with ':' as a resource.
    const QString base = QDir::cleanPath(directory);
    require(cleaned == (base.endsWith(QLatin1Char('/')) ? base : base + QLatin1Char('/')) + file.fileName());
    return 0;
}
