#include "FileDialogAnswerer.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

FileDialogAnswerer::FileDialogAnswerer(const QString &path, QObject *parent)
    : QObject(parent), m_path(path), m_answered(false)
{
    m_timer.setInterval(5);
    connect(&m_timer, SIGNAL(timeout()), this, SLOT(poll()));
    m_timer.start();
}

void FileDialogAnswerer::poll()
{
    QFileDialog *dialog = nullptr;
    const QWidgetList topLevels = QApplication::topLevelWidgets();
    for (QWidget *widget : topLevels) {
        QFileDialog *candidate = qobject_cast<QFileDialog *>(widget);
        if (candidate && candidate->isVisible()) {
            dialog = candidate;
            break;
        }
    }
    if (!dialog) {
        // Answered and closed: done.
        if (m_answered)
            m_timer.stop();
        return;
    }

    // The dialog's own accept() may turn an answer down while its file
    // system model is still being filled by its gatherer thread; the answer
    // is given again on each poll until the dialog has closed.
    m_answered = true;
    m_caption = dialog->windowTitle();
    if (m_path.isEmpty()) {
        dialog->reject();
        return;
    }
    // selectFile() leaves a name field that has the focus as it is, and the
    // dialog then accepts its folder in place of the file. Whether the field
    // has the focus yet depends on when the window got activated, so the
    // name is always written into the field itself.
    dialog->selectFile(m_path);
    if (QLineEdit *nameEdit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        nameEdit->setText(QFileInfo(m_path).fileName());
    // Through the base: the override that validates the name is protected.
    static_cast<QDialog *>(dialog)->accept();
}
