#ifndef MSGBOX_H
#define MSGBOX_H

#include <QString>
#include <QWidget>

// Turns a device status code into a modal message box naming the operation.
// One hidden instance serves as the parent of every box it shows.
//
// Threading model: user-interface thread only (never from a device callback).
class MsgBox : public QWidget
{
    Q_OBJECT

public:
    // The single instance; a MsgBox is the QWidget every box is parented to.
    static MsgBox *Instance();

    // Shows nothing for a code without a text (negative ones included).
    void ShowResult(const QString &operation, int code);

private:
    MsgBox() = default;
};

#endif // MSGBOX_H
