#include "MouseScript.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStringList>
#include <QTest>
#include <QWidget>

namespace MouseScript {

void Play(QWidget *widget, const QString &script)
{
    for (const QString &token : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList xy = token.mid(1).split(QLatin1Char(','));
        const QPoint pos(xy.at(0).toInt(), xy.at(1).toInt());
        switch (token.at(0).toLatin1()) {
        case 'P': QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, pos); break;
        case 'R': QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, pos); break;
        case 'p': QTest::mousePress(widget, Qt::RightButton, Qt::NoModifier, pos); break;
        case 'r': QTest::mouseRelease(widget, Qt::RightButton, Qt::NoModifier, pos); break;
        case 'M':
        case 'm':
        case 'n': {
            // QTest::mouseMove carries no button state; a drag needs the held button.
            const QChar kind = token.at(0);
            const Qt::MouseButtons held = kind == QLatin1Char('M') ? Qt::LeftButton
                                          : kind == QLatin1Char('m') ? Qt::RightButton
                                                                     : Qt::NoButton;
            QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, held, Qt::NoModifier);
            QApplication::sendEvent(widget, &move);
            break;
        }
        default: QTest::qFail("bad mouse script step", __FILE__, __LINE__); return;
        }
    }
}

} // namespace MouseScript
