// The record navigator: which button asks for which move, and the caption for a position.
#include "widgets/recordnavigator.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

class TestRecordNavigator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buttonAsksForItsMove_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("move"); // 0 first, 1 previous, 2 next, 3 last
        QTest::newRow("first") << "first" << 0;
        QTest::newRow("previous") << "previous" << 1;
        QTest::newRow("next") << "next" << 2;
        QTest::newRow("last") << "last" << 3;
    }

    void buttonAsksForItsMove()
    {
        QFETCH(QString, button);
        RecordNavigator navigator(QStringLiteral("RSORDER"));
        QSignalSpy spies[4] = { { &navigator, &RecordNavigator::firstRequested },
            { &navigator, &RecordNavigator::previousRequested },
            { &navigator, &RecordNavigator::nextRequested },
            { &navigator, &RecordNavigator::lastRequested } };
        auto *b = navigator.findChild<QToolButton *>(button);
        QVERIFY(b);
        b->click();
        QFETCH(int, move);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(spies[i].count(), i == move ? 1 : 0);
    }

    void caption_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("caption");
        QTest::newRow("first of three") << 0 << 3 << "1 / 3";
        QTest::newRow("last of three") << 2 << 3 << "3 / 3";
        QTest::newRow("none of three") << -1 << 3 << "0 / 3";
        QTest::newRow("past the end") << 3 << 3 << "0 / 3";
        QTest::newRow("empty") << -1 << 0 << "0 / 0";
    }

    void caption()
    {
        QFETCH(int, row);
        QFETCH(int, count);
        RecordNavigator navigator(QStringLiteral("RSMain"));
        navigator.setPosition(row, count);
        QTEST(navigator.caption(), "caption");
        auto *label = navigator.findChild<QLabel *>(QStringLiteral("RSMainPosition"));
        QVERIFY(label);
        QCOMPARE(label->text(), navigator.caption());
    }
};

QTEST_MAIN(TestRecordNavigator)
#include "tst_recordnavigator.moc"
