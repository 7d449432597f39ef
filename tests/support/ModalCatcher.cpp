#include "ModalCatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

ModalCatcher::ModalCatcher(QObject *parent)
    : QObject(parent)
{
    m_timer.setInterval(5);
    connect(&m_timer, SIGNAL(timeout()), this, SLOT(poll()));
    m_timer.start();
}

ModalCatcher::Box ModalCatcher::last() const
{
    return m_boxes.isEmpty() ? Box{QString(), QString(), QMessageBox::NoIcon, QMessageBox::NoButton, nullptr} : m_boxes.last();
}

bool ModalCatcher::waitForCount(int count, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (m_boxes.size() < count && clock.elapsed() < timeoutMs)
        QTest::qWait(5);
    return m_boxes.size() >= count;
}

void ModalCatcher::poll()
{
    QMessageBox *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box) {
        // A box whose modality the platform did not register still counts.
        const QWidgetList topLevels = QApplication::topLevelWidgets();
        for (QWidget *widget : topLevels) {
            box = qobject_cast<QMessageBox *>(widget);
            if (box && box->isVisible())
                break;
            box = nullptr;
        }
    }
    if (!box || box->property("modalCatcherSeen").toBool())
        return;
    box->setProperty("modalCatcherSeen", true);
    m_boxes.append(Box{box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                      box->parentWidget()});

    const QList<QAbstractButton *> buttons = box->buttons();
    if (!buttons.isEmpty())
        buttons.first()->click();
    else
        box->done(0);
}
