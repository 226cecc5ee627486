#include "windows/about/bitmapdisplayer.h"

#include <QSignalSpy>
#include <QTest>

// The picture effects: each is its own transition and each ends on the whole picture.
class TestBitmapDisplayer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void effect_data();
    void effect();
    void effectsDifferFromEachOther();
    void backgroundFollowsMember();
    void unknownNumbersChangeNothing();
    void playsAndFinishes();
};

namespace
{

QList<quint32> allEffects()
{
    QList<quint32> ids;
    for (quint32 id = BitmapDisplayer::EffectFadeIn; id <= BitmapDisplayer::EffectCheckerboard; ++id)
        ids << id;
    return ids;
}

QImage blank(const BitmapDisplayer &d)
{
    QImage image(d.picture().size(), d.picture().format());
    image.fill(Qt::white);
    return image;
}

} // namespace

void TestBitmapDisplayer::effect_data()
{
    QTest::addColumn<quint32>("id");
    QTest::addColumn<bool>("startsBlank");
    for (quint32 id : allEffects())
        QTest::newRow(qPrintable(QString::number(id, 16))) << id << (id != BitmapDisplayer::EffectMosaic);
}

void TestBitmapDisplayer::effect()
{
    QFETCH(quint32, id);
    QFETCH(bool, startsBlank);
    BitmapDisplayer d;
    d.setMember(BitmapDisplayer::MemberOverBlank, 1);
    d.setMember(BitmapDisplayer::MemberBlockSize, 10);
    QCOMPARE(d.frame(id, 1.0), d.picture());
    const QImage middle = d.frame(id, 0.5);
    QVERIFY(middle != d.picture());
    QVERIFY(middle != blank(d));
    if (startsBlank)
        QCOMPARE(d.frame(id, 0.0), blank(d));
    else
        QVERIFY(d.frame(id, 0.0) != d.picture());
    // Past the ends it holds the ends.
    QCOMPARE(d.frame(id, 7.0), d.picture());
}

void TestBitmapDisplayer::effectsDifferFromEachOther()
{
    BitmapDisplayer d;
    d.setMember(BitmapDisplayer::MemberOverBlank, 1);
    d.setMember(BitmapDisplayer::MemberBlockSize, 10);
    const QList<quint32> ids = allEffects();
    for (qreal progress : { 0.3, 0.5 }) {
        QList<QImage> frames;
        for (quint32 id : ids)
            frames << d.frame(id, progress);
        for (qsizetype a = 0; a < ids.size(); ++a) {
            for (qsizetype b = a + 1; b < ids.size(); ++b) {
                if (frames.at(a) == frames.at(b))
                    QFAIL(qPrintable(QString("effects %1 and %2 look the same at %3")
                                         .arg(ids.at(a), 0, 16)
                                         .arg(ids.at(b), 0, 16)
                                         .arg(progress)));
            }
        }
    }
}

void TestBitmapDisplayer::backgroundFollowsMember()
{
    BitmapDisplayer d;
    d.setMember(BitmapDisplayer::MemberOverBlank, 1);
    const QImage overBlank = d.frame(BitmapDisplayer::EffectWipeRight, 0.0);
    d.setMember(BitmapDisplayer::MemberOverBlank, 0);
    const QImage overNegative = d.frame(BitmapDisplayer::EffectWipeRight, 0.0);
    QCOMPARE(overBlank, blank(d));
    QVERIFY(overNegative != overBlank);
    QVERIFY(overNegative != d.picture());
    QCOMPARE(d.frame(BitmapDisplayer::EffectWipeRight, 1.0), d.picture());
}

void TestBitmapDisplayer::unknownNumbersChangeNothing()
{
    BitmapDisplayer d;
    QSignalSpy invoked(&d, &BitmapDisplayer::invoked);
    QSignalSpy set(&d, &BitmapDisplayer::memberSet);
    QVERIFY(!d.invoke(0x6003000B));
    QVERIFY(!d.invoke(0x6003001C));
    QVERIFY(!d.invoke(BitmapDisplayer::MemberSteps));
    QVERIFY(!d.setMember(0x68030003, 5));
    QVERIFY(!d.setMember(BitmapDisplayer::EffectFadeIn, 5));
    QCOMPARE(invoked.count(), 0);
    QCOMPARE(set.count(), 0);
    QVERIFY(!d.isPlaying());
    QCOMPARE(d.member(BitmapDisplayer::MemberSteps), 50);
}

void TestBitmapDisplayer::playsAndFinishes()
{
    BitmapDisplayer d;
    d.resize(d.sizeHint());
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QSignalSpy finished(&d, &BitmapDisplayer::effectFinished);
    d.setMember(BitmapDisplayer::MemberSteps, 5);
    QVERIFY(d.invoke(BitmapDisplayer::EffectIris));
    QVERIFY(d.isPlaying());
    // A new effect replaces the one playing.
    QVERIFY(d.invoke(BitmapDisplayer::EffectDissolve));
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.count(), 1);
    QVERIFY(!d.isPlaying());
    // Out-of-range members are held to sane bounds rather than freezing or failing.
    d.setMember(BitmapDisplayer::MemberSteps, -3);
    d.setMember(BitmapDisplayer::MemberBlockSize, 0);
    QVERIFY(d.invoke(BitmapDisplayer::EffectCheckerboard));
    QVERIFY(finished.wait(5000));
    QCOMPARE(d.grab().size(), d.size());
}

QTEST_MAIN(TestBitmapDisplayer)
#include "tst_bitmapdisplayer.moc"
