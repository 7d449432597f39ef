#ifndef PAGEFIXTURE_H
#define PAGEFIXTURE_H

#include <QString>
#include <QStringList>

#include "ModalCatcher.h"
#include "SimFixture.h"

class MainWindow;
class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

// One main window on a fresh fleet, with a modal catcher recording every
// message box it shows. Widgets are found by their object names, as the
// user would find them by their place on screen.
class PageFixture
{
public:
    // `show` puts the window on screen and waits until it is exposed.
    explicit PageFixture(bool show = true);
    ~PageFixture();
    PageFixture(const PageFixture &) = delete;
    PageFixture &operator=(const PageFixture &) = delete;

    MainWindow *window() const { return m_window; }
    ModalCatcher &boxes() { return m_boxes; }
    // Deletes the window now (its destructor is under test); the catcher
    // stays.
    void destroyWindow();

    // The window's child of that object name and type; aborts the test
    // program when there is none, since every later step would be wrong.
    template <class T>
    T *child(const char *name) const
    {
        return qobject_cast<T *>(findIn(m_window, QString::fromLatin1(name), &T::staticMetaObject));
    }
    // A left click on the named button.
    void click(const char *name) const;

    // The same inside `page` only: pages reuse names such as "tableWidget",
    // "ipEdit" and "groupBox", which the window-wide search would take from
    // the window or another page.
    template <class T>
    static T *child(QObject *page, const QString &name)
    {
        return qobject_cast<T *>(findIn(page, name, &T::staticMetaObject));
    }
    static QLineEdit *edit(QObject *page, const QString &name);
    static QComboBox *combo(QObject *page, const QString &name);
    static QCheckBox *check(QObject *page, const QString &name);
    static QAbstractButton *button(QObject *page, const QString &name);
    static void click(QObject *page, const QString &name);
    // The texts of the named combo box, in order.
    static QStringList items(QObject *page, const QString &combo);

    void fillLogin(const QString &ip, const QString &user = QString::fromLatin1(SimFixture::kUser),
                   const QString &password = QString::fromLatin1(SimFixture::kPassword)) const;
    bool loggedIn() const;
    // Logs in through the login bar; true when the bar reads "Logout"
    // afterwards and no message box was shown.
    bool login(const char *ip = SimFixture::kPtzCamera);

    // For a page suite's cleanup(): deletes the window (its teardown is
    // under test too), then fails the test when a top-level widget other
    // than the message boxes' hidden parent is left, or a session is still
    // open on the fleet. Either would carry over into the next test.
    void verifyClean();

private:
    static QObject *findIn(QObject *root, const QString &name, const QMetaObject *type);

    ModalCatcher m_boxes;
    MainWindow *m_window;
};

#endif // PAGEFIXTURE_H
