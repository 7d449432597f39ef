// From the world to the alarm list: the operator subscribes on the PTZ
// camera, sets a frame alarm under the transformer's temperature and sees a
// start row, then raises the threshold above it and sees the end row; on the
// panoramic camera a tiered rule raises the levels its switch names.

#include "thermal/AlarmPage.h"
#include "app/MainWindow.h"
#include "PageFixture.h"
#include "thermal/TempAlarmPage.h"
#include "WarningGuard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include <cmath>
#include <cstring>

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

    // A tiered rule raises the levels of the sides its switch names: every
    // threshold of a side lies inside what the rule sees, so each raises.
    void tieredSwitchRaisesItsSides_data()
    {
        QTest::addColumn<QString>("alarmSwitch");
        QTest::addColumn<bool>("high");
        QTest::addColumn<bool>("low");
        QTest::newRow("High Temp") << "High Temp" << true << false;
        QTest::newRow("Low Temp") << "Low Temp" << false << true;
        QTest::newRow("High&Low Temp") << "High&Low Temp" << true << true;
    }
    void tieredSwitchRaisesItsSides()
    {
        QFETCH(QString, alarmSwitch);
        QFETCH(bool, high);
        QFETCH(bool, low);
        // The panoramic camera keeps tiered rules: one over the whole strip.
        m_fixture->click("loginBtn");
        QVERIFY(m_fixture->login(SimFixture::kPanoramicCamera));
        const TMV_NET_HANDLE handle = m_fixture->window()->Handle();
        TMV_NET_TEMP_RULE_G1 rule;
        std::memset(&rule, 0, sizeof rule);
        rule.ruleType = 2;
        rule.endPoint = {8191, 8191};
        QCOMPARE(TMV_NET_AddTempRule_G1(handle, &rule), 0);
        TMV_NET_TEMP_RULE_KEY key{0, 0, -1, 0};
        TMV_NET_RULE_TEMP seen{};
        int32_t returned = 0;
        QCOMPARE(TMV_NET_QueryRuleTemp(handle, &key, &seen, 1, &returned), 0);
        const int lowest = int(std::floor(seen.temp.minTemp)), highest = int(std::ceil(seen.temp.maxTemp));
        QVERIFY2(highest - lowest > 12, qPrintable(QString("%1..%2").arg(lowest).arg(highest)));

        // Low, its three levels, high, its three levels: a degree apart,
        // three to six inside either end of the rule's span, clear of the
        // picture's noise.
        m_fixture->click(m_page, "getAtrAllRulesBtn");
        m_fixture->combo(m_page, "atrTypeCombo")->setCurrentIndex(1);
        const QStringList lows{QString::number(lowest + 6), QString::number(lowest + 5), QString::number(lowest + 4),
                               QString::number(lowest + 3)};
        const QStringList highs{QString::number(highest - 6), QString::number(highest - 5),
                                QString::number(highest - 4), QString::number(highest - 3)};
        const char *lowEdits[] = {"lowTempEdit", "lowLevelOneTempEdit", "lowLevelTwoTempEdit", "lowLevelThreeTempEdit"};
        const char *highEdits[] = {"highTempEdit", "highLevelOneTempEdit", "highLevelTwoTempEdit",
                                   "highLevelThreeTempEdit"};
        for (int i = 0; i < 4; ++i) {
            m_fixture->edit(m_page, lowEdits[i])->setText(lows[i]);
            m_fixture->edit(m_page, highEdits[i])->setText(highs[i]);
        }
        m_fixture->edit(m_page, "atrDelayEdit")->setText(QStringLiteral("0"));
        m_fixture->check(m_page, "highEnableCheck")->setChecked(true);
        m_fixture->check(m_page, "lowEnableCheck")->setChecked(true);
        QComboBox *switches = m_fixture->combo(m_page, "atrSwitchCombo");
        switches->setCurrentIndex(switches->findText(alarmSwitch));
        m_fixture->click(m_page, "setAtrOneAlarmInfoBtn");
        m_fixture->click(m_page, "openAtrAlarmCallbackBtn");
        QCOMPARE(m_fixture->boxes().count(), 0);

        QStringList expected;
        for (const QString &threshold : highs)
            if (high)
                expected << "High Greater Than " + threshold;
        for (const QString &threshold : lows)
            if (low)
                expected << "Low Less Than " + threshold;
        expected.sort();
        const AlarmPage *list = m_page->GetAlarmPage();
        const auto raised = [list] {
            QStringList out;
            for (int row = 0; row < list->RowCount(); ++row) {
                const QStringList cells = list->RowTexts(row);
                if (cells.value(4) == QLatin1String("R0") && cells.value(kStateColumn) == QLatin1String("Start Alarm"))
                    out << cells.value(1) + ' ' + cells.value(2);
            }
            out.removeDuplicates();
            out.sort();
            return out;
        };
        SimFixture::stepClock(2000);
        QTRY_COMPARE(raised(), expected);
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
