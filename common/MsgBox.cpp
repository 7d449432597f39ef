#include "common/MsgBox.h"

#include <QMessageBox>

namespace {

struct ResultText
{
    int code;
    const char *suffix;
    const char *title;
};

const ResultText kResultTexts[] = {
    {0, " Success!", "OK"},
    {1, " Failed!", "Error"},
    {2, " Not Supported!", "Error"},
    {3, " Param Wrong!", "Error"},
    {4, "Temperature callback not enabled!", "Error"},
    {1001, " Black List!", "Error"},
    {1002, " None User!", "Error"},
    {1003, " Pwd Wrong!", "Error"},
    {1004, " Device Not Supported !", "Error"},
    {1005, " Account Lock!", "Error"},
    {1006, " User Limit!", "Error"},
    {1007, " System Exception!", "Error"},
    {1101, " Rule Limit!", "Error"},
};

} // namespace

MsgBox *MsgBox::Instance()
{
    static MsgBox instance;
    return &instance;
}

void MsgBox::ShowResult(const QString &operation, int code)
{
    const ResultText *row = nullptr;
    for (const ResultText &candidate : kResultTexts) {
        if (candidate.code == code) {
            row = &candidate;
            break;
        }
    }
    if (!row)
        return;

    // Code 4 is about the temperature stream as a whole, not the operation.
    const QString text = code == 4 ? QString::fromLatin1(row->suffix)
                                   : operation + QString::fromLatin1(row->suffix);
    QMessageBox::critical(this, tr(row->title), tr(text.toUtf8().constData()),
                          QMessageBox::Ok, QMessageBox::NoButton);
}
