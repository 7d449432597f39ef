#include "PageFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "app/MainWindow.h"
#include "common/MsgBox.h"

PageFixture::PageFixture(bool show)
    : m_window(nullptr)
{
    SimFixture::reset();
    m_window = new MainWindow;
    if (show) {
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window))
            qWarning("PageFixture: the main window was never exposed");
    }
}

PageFixture::~PageFixture()
{
    destroyWindow();
}

void PageFixture::destroyWindow()
{
    delete m_window;
    m_window = nullptr;
}

QObject *PageFixture::findIn(QObject *root, const QString &name, const QMetaObject *type)
{
    // Shallowest first, level by level: pages reuse names such as
    // "tableWidget" deep inside their own tabs, and QObject::findChild, depth
    // first, could hand out a deeper one in place of the one nearest the root.
    QObjectList level;
    if (root)
        level.append(root);
    while (!level.isEmpty()) {
        QObjectList next;
        for (QObject *parent : qAsConst(level)) {
            for (QObject *object : parent->children()) {
                if (object->objectName() == name && type->cast(object))
                    return object;
                next.append(object);
            }
        }
        level.swap(next);
    }
    qFatal("PageFixture: no %s named %s in %s", type->className(), qPrintable(name),
           root ? root->metaObject()->className() : "a deleted window");
    return nullptr;
}

void PageFixture::click(const char *name) const
{
    click(m_window, QString::fromLatin1(name));
}

QLineEdit *PageFixture::edit(QObject *page, const QString &name)
{
    return child<QLineEdit>(page, name);
}

QComboBox *PageFixture::combo(QObject *page, const QString &name)
{
    return child<QComboBox>(page, name);
}

QCheckBox *PageFixture::check(QObject *page, const QString &name)
{
    return child<QCheckBox>(page, name);
}

QAbstractButton *PageFixture::button(QObject *page, const QString &name)
{
    return child<QAbstractButton>(page, name);
}

void PageFixture::click(QObject *page, const QString &name)
{
    QTest::mouseClick(button(page, name), Qt::LeftButton);
}

QStringList PageFixture::items(QObject *page, const QString &combo)
{
    QStringList texts;
    QComboBox *box = PageFixture::combo(page, combo);
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

void PageFixture::fillLogin(const QString &ip, const QString &user, const QString &password) const
{
    child<QComboBox>("IPcomboBox")->setEditText(ip);
    // 80 as the bar starts out, or the test's device service.
    child<QLineEdit>("portEdit")->setText(QString::number(SimFixture::port()));
    child<QLineEdit>("userEdit")->setText(user);
    child<QLineEdit>("passwordEdit")->setText(password);
}

bool PageFixture::loggedIn() const
{
    return child<QAbstractButton>("loginBtn")->text() == QLatin1String("Logout");
}

bool PageFixture::login(const char *ip)
{
    const int before = m_boxes.count();
    fillLogin(QString::fromLatin1(ip));
    click("loginBtn");
    return loggedIn() && m_boxes.count() == before;
}

void PageFixture::verifyClean()
{
    destroyWindow();
    QStringList left;
    const QWidgetList topLevels = QApplication::topLevelWidgets();
    for (QWidget *widget : topLevels) {
        if (qobject_cast<MsgBox *>(widget))
            continue;
        const QString name = widget->objectName().isEmpty() ? widget->windowTitle() : widget->objectName();
        left << QLatin1String(widget->metaObject()->className()) + QLatin1Char(' ') + name;
    }
    left << SimFixture::openSessions();
    QVERIFY2(left.isEmpty(), qPrintable(QStringLiteral("left open: ") + left.join(QStringLiteral(", "))));
}
