#ifndef MOUSESCRIPT_H
#define MOUSESCRIPT_H

#include <QString>

class QWidget;

// Plays a mouse script on a widget, token by token, separated by blanks:
// 'P'/'R' left press/release, 'p'/'r' right press/release, 'M' move with the
// left button held, 'm' with the right one, 'n' with none; each followed by
// the widget position "x,y" (for example "P10,20 M50,50 R110,90").
namespace MouseScript {

void Play(QWidget *widget, const QString &script);

} // namespace MouseScript

#endif // MOUSESCRIPT_H
