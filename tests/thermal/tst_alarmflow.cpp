// From the world to the alarm list: the operator subscribes on the PTZ
// camera, sets a frame alarm under the transformer's temperature and sees a
// start row, then raises the threshold above it and sees the end row.

#include "thermal/AlarmPage.h"
#include "app/MainWindow.h"
#include "PageFixture.h"
#include "thermal/TempAlarmPage.h"
#include "WarningGuard.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

namespace {

const int kStateColumn = 6;

QStringList states(const AlarmPage *list)
{
    QStringList out;
    for (int row = 0; row < list->RowCount(); ++row)
        out << list->RowTexts(row).value(kStateColumn);
    return out;
}

}  // namespace

class TestAlarmFlow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        WarningGuard::install();
        SimFixture::reset();
    }
    void init()
    {
        SimFixture::reset();
        m_fixture.reset(new PageFixture);
        QVERIFY(m_fixture->login());
        m_page = m_fixture->window()->findChild<TempAlarmPage *>();
        m_fixture->child<QTabWidget>("tabWidget")->setCurrentWidget(m_page);
        SimFixture::pauseClock();
    }
    void cleanup()
    {
        m_fixture->verifyClean();
        m_fixture.reset();
        SimFixture::resumeClock();
    }

    void startRowThenEndRow()
    {
        TMV_NET_TEMP_INFO frame{};
        QCOMPARE(TMV_NET_QueryFrameTemp(m_fixture->window()->Handle(), &frame), 0);
        m_fixture->click("openAlarmCallbackBtn");
        QCOMPARE(m_fixture->child<QPushButton>("openAlarmCallbackBtn")->text(), QString("Close"));
        setGreaterThan(frame.maxTemp - 10);
        SimFixture::stepClock(2000);
        const AlarmPage *list = m_page->GetAlarmPage();
        QTRY_VERIFY(list->RowCount() >= 1);
        QCOMPARE(states(list), QStringList{QString("Start Alarm")});

        setGreaterThan(frame.maxTemp + 40);
        SimFixture::stepClock(2000);
        QTRY_COMPARE(list->RowCount(), 2);
        QCOMPARE(states(list).last(), QString("End Alarm"));
        QCOMPARE(m_fixture->boxes().count(), 0);
    }

private:
    void setGreaterThan(float threshold)
    {
        m_fixture->child<QCheckBox>("greaterCheckBox")->setChecked(true);
        m_fixture->child<QLineEdit>("greaterThresholdTempEdit")->setText(QString::number(double(threshold), 'f', 1));
        m_fixture->child<QLineEdit>("toleranceTempEdit")->setText(QStringLiteral("2"));
        m_fixture->click("alarmSetBtn");
    }

    std::unique_ptr<PageFixture> m_fixture;
    TempAlarmPage *m_page = nullptr;
};

QTEST_MAIN(TestAlarmFlow)
#include "tst_alarmflow.moc"
