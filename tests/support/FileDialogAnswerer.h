#ifndef FILEDIALOGANSWERER_H
#define FILEDIALOGANSWERER_H

#include <QObject>
#include <QString>
#include <QTimer>

// Answers the next file dialog that opens: selects the given file (or folder)
// and accepts, or cancels. Without a native dialog on the offscreen platform,
// QFileDialog's static functions show a Qt dialog among the top-level widgets.
class FileDialogAnswerer : public QObject
{
    Q_OBJECT

public:
    // An empty path cancels the dialog.
    explicit FileDialogAnswerer(const QString &path, QObject *parent = nullptr);

    bool answered() const { return m_answered; }
    // Caption of the dialog answered.
    QString caption() const { return m_caption; }

private slots:
    void poll();

private:
    QTimer m_timer;
    QString m_path;
    bool m_answered;
    QString m_caption;
};

#endif // FILEDIALOGANSWERER_H
