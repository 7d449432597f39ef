#include <QtTest>

#include "common/MsgBox.h"
#include "TestSupport.h"

class TestMsgBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { WarningGuard::install(); }

    void showsRowOfCode_data();
    void showsRowOfCode();
    void codeWithoutRowShowsNothing_data();
    void codeWithoutRowShowsNothing();
    void oneHiddenInstanceParentsEveryBox();
};

void TestMsgBox::showsRowOfCode_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");

    QTest::newRow("0") << "Login" << 0 << "OK" << "Login Success!";
    QTest::newRow("1") << "Login" << 1 << "Error" << "Login Failed!";
    QTest::newRow("2") << "Login" << 2 << "Error" << "Login Not Supported!";
    QTest::newRow("3") << "Login" << 3 << "Error" << "Login Param Wrong!";
    QTest::newRow("4") << "Login" << 4 << "Error" << "Temperature callback not enabled!";
    QTest::newRow("4, other operation") << "QueryFrameTemp" << 4 << "Error"
                                        << "Temperature callback not enabled!";
    QTest::newRow("1001") << "Login" << 1001 << "Error" << "Login Black List!";
    QTest::newRow("1002") << "Login" << 1002 << "Error" << "Login None User!";
    QTest::newRow("1003") << "Login" << 1003 << "Error" << "Login Pwd Wrong!";
    QTest::newRow("1004") << "Login" << 1004 << "Error" << "Login Device Not Supported !";
    QTest::newRow("1005") << "Login" << 1005 << "Error" << "Login Account Lock!";
    QTest::newRow("1006") << "Login" << 1006 << "Error" << "Login User Limit!";
    QTest::newRow("1007") << "Login" << 1007 << "Error" << "Login System Exception!";
    QTest::newRow("1101") << "AddTempRule" << 1101 << "Error" << "AddTempRule Rule Limit!";
    QTest::newRow("empty operation") << "" << 1 << "Error" << " Failed!";
}

void TestMsgBox::showsRowOfCode()
{
    QFETCH(QString, operation);
    QFETCH(int, code);
    QFETCH(QString, title);
    QFETCH(QString, text);

    ModalCatcher catcher;
    MsgBox::Instance()->ShowResult(operation, code);

    // The box is modal: by the time ShowResult returns it was shown and closed.
    QCOMPARE(catcher.count(), 1);
    const ModalCatcher::Box box = catcher.last();
    QCOMPARE(box.title, title);
    QCOMPARE(box.text, text);
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestMsgBox::codeWithoutRowShowsNothing_data()
{
    QTest::addColumn<int>("code");
    QTest::newRow("1008") << 1008;
    QTest::newRow("1100") << 1100;
    QTest::newRow("5") << 5;
    QTest::newRow("-1") << -1;
}

void TestMsgBox::codeWithoutRowShowsNothing()
{
    QFETCH(int, code);
    ModalCatcher catcher;
    MsgBox::Instance()->ShowResult(QStringLiteral("Login"), code);
    QTest::qWait(20);
    QCOMPARE(catcher.count(), 0);
}

void TestMsgBox::oneHiddenInstanceParentsEveryBox()
{
    MsgBox *instance = MsgBox::Instance();
    QCOMPARE(MsgBox::Instance(), instance);
    QVERIFY(!instance->isVisible());
    QVERIFY(!instance->parentWidget());

    ModalCatcher catcher;
    instance->ShowResult(QStringLiteral("Logout"), 1);
    QCOMPARE(catcher.count(), 1);
    QCOMPARE(catcher.last().parent, static_cast<QWidget *>(instance));
    QVERIFY(!instance->isVisible());
}

QTEST_MAIN(TestMsgBox)
#include "tst_msgbox.moc"
