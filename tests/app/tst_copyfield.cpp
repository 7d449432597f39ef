#include <QtTest>

#include "common/CopyField.h"
#include "TMVNetSDK.h"

namespace {

const char kGuard = char(0x5a);
const int kGuardBytes = 8;

} // namespace

class TestCopyField : public QObject
{
    Q_OBJECT

private slots:
    void copy_data();
    void copy();
    void fixedFieldOfARecord();
};

void TestCopyField::copy_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("cut");       // FieldFit::CutAtCharacter, else Refuse
    QTest::addColumn<bool>("fits");      // the result
    QTest::addColumn<QByteArray>("kept"); // field text afterwards; "untouched" for a refusal

    const QByteArray untouched("untouched");
    const QByteArray e = QByteArray("\xc3\xa9");          // é, 2 bytes
    const QByteArray euro = QByteArray("\xe2\x82\xac");   // €, 3 bytes
    const QByteArray clef = QByteArray("\xf0\x9d\x84\x9e"); // 4 bytes

    QTest::newRow("fits") << 16 << QByteArray("127.0.0.1") << false << true << QByteArray("127.0.0.1");
    QTest::newRow("exact fit") << 16 << QByteArray("127.000.000.011") << false << true
                               << QByteArray("127.000.000.011");
    QTest::newRow("empty") << 4 << QByteArray() << false << true << QByteArray();
    QTest::newRow("one too long, refused") << 16 << QByteArray("127.000.000.0111") << false << false << untouched;
    QTest::newRow("far too long, refused") << 4 << QByteArray(300, 'x') << false << false << untouched;
    QTest::newRow("exact fit, cut allowed") << 4 << QByteArray("abc") << true << true << QByteArray("abc");
    QTest::newRow("too long, cut") << 4 << QByteArray("abcdef") << true << false << QByteArray("abc");
    QTest::newRow("multibyte exact fit") << 4 << "a" + e << true << true << "a" + e;
    QTest::newRow("cut before a 2-byte character") << 4 << "ab" + e << true << false << QByteArray("ab");
    QTest::newRow("cut before a 3-byte character") << 4 << "a" + euro << true << false << QByteArray("a");
    QTest::newRow("cut after a whole 3-byte character") << 4 << euro + "x" << true << false << euro;
    QTest::newRow("cut before a 4-byte character") << 6 << "ab" + clef << true << false << QByteArray("ab");
    QTest::newRow("nothing whole fits") << 3 << euro << true << false << QByteArray();
    QTest::newRow("stops at an embedded NUL") << 8 << QByteArray("ab\0cd", 5) << false << true << QByteArray("ab");
}

// Whatever the text, nothing is written past the field and the field holds
// a NUL; a refused text leaves the field as it was.
void TestCopyField::copy()
{
    QFETCH(int, size);
    QFETCH(QByteArray, text);
    QFETCH(bool, cut);
    QFETCH(bool, fits);
    QFETCH(QByteArray, kept);

    QByteArray buffer(size + kGuardBytes, kGuard);
    const QByteArray before("untouched");
    std::memcpy(buffer.data(), before.constData(), size_t(qMin(size, before.size() + 1)));
    buffer[size - 1] = '\0';
    const QByteArray field = buffer.left(size);

    const bool result = CopyText(buffer.data(), size_t(size), text, cut ? FieldFit::CutAtCharacter : FieldFit::Refuse);

    QCOMPARE(result, fits);
    QCOMPARE(buffer.mid(size), QByteArray(kGuardBytes, kGuard));
    QVERIFY(buffer.left(size).contains('\0'));
    if (kept == "untouched") {
        QCOMPARE(buffer.left(size), field);
        return;
    }
    QCOMPARE(QByteArray(buffer.constData()), kept);
    // The rest of the field is cleared: no stale bytes travel to the device.
    QCOMPARE(buffer.mid(kept.size(), size - kept.size()), QByteArray(size - kept.size(), '\0'));
}

// The template takes the field's size from the record.
void TestCopyField::fixedFieldOfARecord()
{
    TMV_NET_LOGIN_INFO info;
    std::memset(&info, 0x5a, sizeof info);
    QVERIFY(!CopyField(info.ip, QByteArray("127.000.000.0111")));
    QCOMPARE(info.port, int32_t(0x5a5a5a5a));
    QVERIFY(CopyField(info.ip, QByteArray("127.000.000.011")));
    QCOMPARE(QByteArray(info.ip), QByteArray("127.000.000.011"));
    QCOMPARE(info.port, int32_t(0x5a5a5a5a));
}

QTEST_APPLESS_MAIN(TestCopyField)
#include "tst_copyfield.moc"
