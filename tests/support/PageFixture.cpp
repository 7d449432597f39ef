#include "PageFixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "app/MainWindow.h"

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

QWidget *PageFixture::findChild(const char *name, const QMetaObject *type) const
{
    // Shallowest first, level by level: pages reuse names such as
    // "tableWidget" deep inside their own tabs, and QObject::findChild, depth
    // first, would hand out a page's widget in place of the window's own.
    const QString wanted = QString::fromLatin1(name);
    QWidget *widget = nullptr;
    QObjectList level;
    if (m_window)
        level.append(m_window);
    while (!widget && !level.isEmpty()) {
        QObjectList next;
        for (QObject *parent : qAsConst(level)) {
            for (QObject *object : parent->children()) {
                if (!widget && object->isWidgetType() && object->objectName() == wanted)
                    widget = static_cast<QWidget *>(object);
                next.append(object);
            }
        }
        level.swap(next);
    }
    if (!widget || !type->cast(widget))
        qFatal("PageFixture: no %s named %s", type->className(), name);
    return widget;
}

void PageFixture::click(const char *name) const
{
    QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton);
}

void PageFixture::fillLogin(const QString &ip, const QString &user, const QString &password) const
{
    child<QComboBox>("IPcomboBox")->setEditText(ip);
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
