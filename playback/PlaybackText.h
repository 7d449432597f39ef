#ifndef PLAYBACKTEXT_H
#define PLAYBACKTEXT_H

#include "common/CopyField.h"
#include "common/CountClamp.h"
#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QString>

#include <cstddef>
#include <cstdint>

// Pure conversions of the playback tab and the download window: the query
// time, the shown file name, the progress text and the local target of a
// download. No widgets, so each is a table of cases.
namespace PlaybackText {

// Files per search page.
const int kPageSize = 50;

// The device takes times as "yyyy-MM-dd+HH:mm:ss".
inline QByteArray QueryTime(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd+HH:mm:ss")).toLocal8Bit();
}

using ::FieldText;

// What follows the last "/"; the whole path when it has none.
inline QString LastPart(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

inline QByteArray LastPart(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

using ::ClampCount;

// Whole percent done; 0 without a total. Kept within 0..100, so a device
// that counts past its total cannot overflow the int or the bar.
inline int ProgressPercent(int64_t total, int64_t done)
{
    if (total <= 0 || done <= 0)
        return 0;
    const double percent = double(done) * 100.0 / double(total);
    return percent >= 100.0 ? 100 : int(percent);
}

inline QString ProgressText(int percent)
{
    return QString::number(percent) + QLatin1Char('%');
}

enum class TargetFault {
    None,
    // The name would not stay a plain file of the chosen directory.
    UnsafeName,
    // Directory, "/" and name do not fit the record's path field.
    TooLong,
};

struct DownloadTarget
{
    QByteArray path; // local 8-bit, without NUL; empty when refused
    TargetFault fault;
};

// The local file of a download: `directory`, "/" and the device path's last
// part. The device names the file, so a name that could leave the directory
// ("..", a backslash, control characters, nothing at all) is refused, and so
// is a path that does not fit `capacity` with its NUL: a cut path would name
// another file.
inline DownloadTarget TargetOf(const QString &directory, const QByteArray &devicePath, size_t capacity)
{
    const QByteArray name = LastPart(devicePath);
    bool safe = !name.isEmpty() && name != "." && name != ".." && !name.contains('\\');
    for (const char c : name)
        safe = safe && static_cast<unsigned char>(c) >= 0x20 && c != 0x7f;
    // A device path that climbs is not to be trusted for its last part either.
    for (const QByteArray &part : QByteArray(devicePath).replace('\\', '/').split('/'))
        safe = safe && part != "..";
    if (!safe)
        return {QByteArray(), TargetFault::UnsafeName};

    const QByteArray path = directory.toLocal8Bit() + '/' + name;
    if (size_t(path.size()) >= capacity)
        return {QByteArray(), TargetFault::TooLong};
    return {path, TargetFault::None};
}

// The device path as the user may read it in a message: control characters
// would garble the box.
inline QString Printable(const QByteArray &devicePath)
{
    QString text = QString::fromLocal8Bit(devicePath);
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    }
    return text;
}

// Why one file was not downloaded, naming it.
inline QString RefusalText(TargetFault fault, const QByteArray &devicePath)
{
    const QString name = Printable(devicePath);
    switch (fault) {
    case TargetFault::UnsafeName:
        return QCoreApplication::translate("MainWindow",
                                           "%1 was not downloaded: its name is not a plain file name "
                                           "inside the chosen directory.")
            .arg(name);
    case TargetFault::TooLong:
        return QCoreApplication::translate("MainWindow",
                                           "%1 was not downloaded: its target path is longer than 255 bytes.")
            .arg(name);
    case TargetFault::None:
        break;
    }
    return QString();
}

} // namespace PlaybackText

#endif // PLAYBACKTEXT_H
