#include "core/generaldate.h"

#include <QTest>

class TestGeneralDate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void text_data();
    void text();
};

void TestGeneralDate::text_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("expected");

    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    const QDate day(2026, 12, 8);
    QTest::newRow("us-morning") << us << QDateTime(day, QTime(5, 35, 8)) << "12/8/26 5:35:08 AM";
    QTest::newRow("us-afternoon") << us << QDateTime(day, QTime(17, 0, 0)) << "12/8/26 5:00:00 PM";
    QTest::newRow("us-midnight-date-only") << us << QDateTime(day, QTime(0, 0, 0)) << "12/8/26";
    QTest::newRow("us-one-second-past-midnight")
        << us << QDateTime(day, QTime(0, 0, 1)) << "12/8/26 12:00:01 AM";
    QTest::newRow("us-midnight-with-milliseconds") << us << QDateTime(day, QTime(0, 0, 0, 400)) << "12/8/26";
    QTest::newRow("de-24-hour") << de << QDateTime(day, QTime(17, 4, 9)) << "08.12.26 17:04:09";
    QTest::newRow("c-locale") << QLocale::c() << QDateTime(day, QTime(9, 1, 2)) << "8 Dec 2026 09:01:02";
}

void TestGeneralDate::text()
{
    QFETCH(QLocale, locale);
    QFETCH(QDateTime, when);
    QFETCH(QString, expected);
    QCOMPARE(GeneralDateText(when, locale), expected);
}

QTEST_GUILESS_MAIN(TestGeneralDate)
#include "tst_generaldate.moc"
