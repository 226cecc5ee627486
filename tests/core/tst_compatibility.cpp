#include "core/compatibility.h"
#include "support/partattributetext.h"

#include <QTest>

// Whether chosen parts fit, from what is known about them: the rules as data, the spellings a
// person or a supplier may use, and what a description gives away.
class TestCompatibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsValues_data();
    void readsValues();
    void rules_data();
    void rules();
    void verdicts_data();
    void verdicts();
    void guesses_data();
    void guesses();
};

namespace
{

// "row:attributes | row:attributes" as an offer's chosen rows.
Compatibility::Parts parts(const QString &text)
{
    Compatibility::Parts out;
    for (const QString &row : text.split(QLatin1Char('|'), Qt::SkipEmptyParts))
        out[row.section(QLatin1Char(':'), 0, 0).trimmed().toInt()]
            = attributesFromText(row.section(QLatin1Char(':'), 1));
    return out;
}

} // namespace

void TestCompatibility::readsValues_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("value"); // empty: refused
    QTest::addColumn<bool>("newWord");
    QTest::newRow("socket, blanks and case") << "socket"
                                             << " lga 1700 "
                                             << "LGA1700" << false;
    QTest::newRow("socket, new") << "socket"
                                 << "lga-4677"
                                 << "LGA4677" << true;
    QTest::newRow("socket, plus") << "socket"
                                  << "am3+"
                                  << "AM3+" << false;
    QTest::newRow("form, mATX") << "form_factor"
                                << "mATX"
                                << "Micro-ATX" << false;
    QTest::newRow("form, micro atx") << "form_factor"
                                     << "micro atx"
                                     << "Micro-ATX" << false;
    QTest::newRow("form, unknown") << "form_factor"
                                   << "BTX-ish"
                                   << "" << false;
    QTest::newRow("case forms, a list") << "case_forms"
                                        << "ATX / mATX, itx, atx"
                                        << "ATX, Micro-ATX, Mini-ITX" << false;
    QTest::newRow("memory list") << "memory_types"
                                 << "ddr5;DDR4"
                                 << "DDR5, DDR4" << false;
    QTest::newRow("memory, not one") << "memory_type"
                                     << "SDRAM"
                                     << "" << false;
    QTest::newRow("watts with unit") << "power"
                                     << "65 w"
                                     << "65" << false;
    QTest::newRow("watts, zero") << "power"
                                 << "0"
                                 << "" << false;
    QTest::newRow("watts, negative") << "power"
                                     << "-65"
                                     << "" << false;
    QTest::newRow("watts, too many") << "power"
                                     << "99999"
                                     << "" << false;
    QTest::newRow("watts, a fraction") << "supply_power"
                                       << "650.5"
                                       << "" << false;
    QTest::newRow("length in mm") << "length"
                                  << "336mm"
                                  << "336" << false;
    QTest::newRow("case without supply") << "case_supply"
                                         << "None"
                                         << "none" << false;
    QTest::newRow("case supply") << "case_supply"
                                 << "500W"
                                 << "500" << false;
    QTest::newRow("interface nvme") << "interface"
                                    << "m.2 nvme"
                                    << "M.2 NVMe" << false;
    QTest::newRow("interface, empty") << "interface"
                                      << "  "
                                      << "" << false;
}

void TestCompatibility::readsValues()
{
    QFETCH(QString, key);
    QFETCH(QString, typed);
    QFETCH(QString, value);
    QFETCH(bool, newWord);
    const AttributeReading reading = readAttribute(*attributeFromKey(key), typed);
    QCOMPARE(reading.value.value_or(QString()), value);
    QCOMPARE(reading.reason.isEmpty(), !value.isEmpty());
    QCOMPARE(reading.newWord, newWord);
}

void TestCompatibility::rules_data()
{
    QTest::addColumn<QString>("offer");
    QTest::addColumn<QString>("problems"); // joined by '\n'
    QTest::addColumn<int>("unchecked");
    QTest::newRow("nothing chosen") << ""
                                    << "" << 0;
    QTest::newRow("socket differs") << "0:socket=AM5 | 1:socket=LGA1700"
                                    << "Processor AM5 does not fit the board's LGA1700 socket" << 2;
    QTest::newRow("socket equal, spelt apart")
        << "0:socket=lga 1700,memory_types=DDR5 | 1:socket=LGA1700,memory_type=ddr5"
        << "" << 1;
    QTest::newRow("board socket unknown") << "0:socket=AM5 | 1:"
                                          << "" << 3;
    QTest::newRow("a guess is not used") << "0:socket=AM5 | 1:socket=?LGA1700"
                                         << "" << 3;
    QTest::newRow("board memory") << "0:socket=AM5,memory_types=DDR5 | 1:socket=AM5,memory_type=DDR4"
                                  << "Board DDR4 but the processor takes DDR5" << 1;
    QTest::newRow("processor takes both")
        << "0:socket=LGA1700,memory_types=DDR4+DDR5 | 1:socket=LGA1700,memory_type=DDR4"
        << "" << 1;
    QTest::newRow("memory kit")
        << "1:memory_type=DDR5,memory_slots=2 | 2:memory_type=DDR4,modules=4"
        << "Memory DDR4 but the board takes DDR5\nMemory of 4 modules, the board has 2 slots" << 0;
    QTest::newRow("memory without a board") << "0:memory_types=DDR5 | 2:memory_type=DDR4"
                                            << "Memory DDR4 but the processor takes DDR5" << 1;
    QTest::newRow("board too big") << "1:form_factor=ATX | 12:case_forms=mATX"
                                   << "Board ATX does not fit a Micro-ATX case" << 0;
    QTest::newRow("board fits one of several")
        << "1:form_factor=Mini-ITX | 12:case_forms=ATX+Micro-ATX+Mini-ITX"
        << "" << 0;
    QTest::newRow("card too long") << "5:length=336,power=200 | 12:card_clearance=320,case_supply=none"
                                   << "Graphics card 336 mm, the case takes 320 mm" << 1;
    QTest::newRow("supply too weak") << "0:power=125 | 5:power=320 | 12:case_supply=450W"
                                     << "Parts draw about 520 W; the 450 W supply should be at least 680 W "
                                        "(30% headroom)"
                                     << 1;
    QTest::newRow("a supply bought apart")
        << "0:power=125 | 5:power=320 | 12:case_supply=450 | 16:supply_power=750"
        << "" << 1;
    QTest::newRow("draw unknown") << "0:power=125 | 5: | 16:supply_power=300"
                                  << "" << 1;
    QTest::newRow("just enough") << "0:power=65 | 14:supply_power=182"
                                 << "" << 0;
    QTest::newRow("disks") << "1:m2_slots=1,sata_ports=0 | 4:interface=NVMe | 7:interface=NVMe"
                           << "2 M.2 disks, the board has 1 M.2 slot" << 0;
    QTest::newRow("one SATA disk, no port") << "1:sata_ports=0 | 4:interface=SATA"
                                            << "1 SATA drive, the board has 0 SATA ports" << 0;
}

void TestCompatibility::rules()
{
    QFETCH(QString, offer);
    QFETCH(QString, problems);
    QFETCH(int, unchecked);
    const Compatibility::Report report = Compatibility::check(parts(offer));
    QStringList found;
    for (const auto &problem : report.problems)
        found << problem.reason;
    QCOMPARE(found.join(QLatin1Char('\n')), problems);
    QStringList what;
    for (const auto &check : report.unchecked)
        what << check.what;
    QVERIFY2(report.unchecked.size() == unchecked, qPrintable(what.join(QLatin1String("; "))));
    // An item fits its row exactly when no rule it takes part in is broken.
    const Compatibility::Parts chosen = parts(offer);
    for (int row = 0; row < Compatibility::RowCount; ++row) {
        if (chosen[row])
            QCOMPARE(Compatibility::fits(chosen, row, *chosen[row]), !report.involves(row));
    }
}

void TestCompatibility::verdicts_data()
{
    QTest::addColumn<QString>("offer"); // the other rows
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("candidate");
    QTest::addColumn<QString>("verdict"); // fits, unsure or no
    QTest::newRow("nothing else chosen") << "" << 0 << ""
                                         << "fits";
    QTest::newRow("socket fits") << "1:socket=AM5,memory_type=DDR5" << 0 << "socket=AM5,memory_types=DDR5"
                                 << "fits";
    QTest::newRow("socket differs") << "1:socket=LGA1700" << 0 << "socket=AM5"
                                    << "no";
    QTest::newRow("its own socket unknown") << "1:socket=AM5" << 0 << "power=65"
                                            << "unsure";
    QTest::newRow("its own socket only guessed") << "1:socket=AM5" << 0 << "socket=?AM5"
                                                 << "unsure";
    // What is not known of the board is the same for every processor: none is told apart by it.
    QTest::newRow("the board's socket unknown") << "1:memory_type=DDR5" << 0 << "socket=AM5,memory_types=DDR5"
                                                << "fits";
    QTest::newRow("a mouse in an extra row") << "0:power=65 | 12:case_supply=450" << 15 << ""
                                             << "fits";
    QTest::newRow("a supply too weak") << "0:power=125 | 5:power=320" << 16 << "supply_power=450"
                                       << "no";
    QTest::newRow("its own draw unknown") << "16:supply_power=650" << 0 << "socket=AM5"
                                          << "unsure";
    QTest::newRow("a disk without its interface") << "1:m2_slots=1,sata_ports=4" << 4 << ""
                                                  << "unsure";
}

void TestCompatibility::verdicts()
{
    QFETCH(QString, offer);
    QFETCH(int, row);
    QFETCH(QString, candidate);
    QFETCH(QString, verdict);
    const Compatibility::Parts others = parts(offer);
    const Compatibility::Facts facts(attributesFromText(candidate));
    const Compatibility::Fitting fitting(others, row);
    const auto found = fitting.verdict(facts);
    using V = Compatibility::Fitting::Verdict;
    QCOMPARE(found == V::Fits ? "fits" : found == V::Unsure ? "unsure" : "no", verdict);
    QCOMPARE(fitting.fits(facts), found != V::DoesNotFit);
}

void TestCompatibility::guesses_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("guessed");
    QTest::newRow("processor, named socket") << 0 << "AMD Ryzen 5 7600 AM5 65W DDR5 boxed"
                                             << "socket=AM5; memory_types=DDR5; power=65";
    QTest::newRow("processor, from its model") << 0 << "Intel Core i5-13400F 2.5GHz"
                                               << "socket=LGA1700";
    QTest::newRow("processor, older Ryzen") << 0 << "Ryzen 7 5700X tray"
                                            << "socket=AM4";
    QTest::newRow("board, chipset and size") << 1 << "MSI PRO B650M-A WIFI DDR5"
                                             << "socket=AM5; memory_type=DDR5; form_factor=Micro-ATX";
    QTest::newRow("board, named") << 1 << "ASUS TUF Z790-PLUS LGA 1700 ATX DDR4"
                                  << "socket=LGA1700; memory_type=DDR4; form_factor=ATX";
    QTest::newRow("board, mini") << 1 << "Gigabyte B760I AORUS PRO"
                                 << "socket=LGA1700; form_factor=Mini-ITX";
    QTest::newRow("memory kit") << 2 << "Corsair Vengeance 2x16GB DDR5 6000"
                                << "memory_type=DDR5; modules=2";
    QTest::newRow("nvme disk") << 4 << "Samsung 980 1TB M.2 NVMe"
                               << "interface=M.2 NVMe";
    QTest::newRow("sata disk") << 4 << "WD Blue 1TB 3.5\" HDD SATA"
                               << "interface=SATA";
    QTest::newRow("graphics") << 5 << "RTX 4070 SUPER 2X 267mm 220W"
                              << "power=220; length=267";
    QTest::newRow("case") << 12 << "Cooler Master Q300L mATX Mini-ITX 360mm no PSU"
                          << "case_forms=Micro-ATX, Mini-ITX; card_clearance=360";
    QTest::newRow("supply") << 14 << "Corsair CV650 650W 80 Plus Bronze PSU"
                            << "supply_power=650";
    QTest::newRow("speaker in an extra row") << 15 << "Creative speakers 40W"
                                             << "";
    QTest::newRow("nothing to read") << 0 << "Processor, boxed"
                                     << "";
    QTest::newRow("Arabic description")
        << 16 << QString::fromUtf16(u"\u0645\u0632\u0648\u062f \u0637\u0627\u0642\u0629 550W")
        << "supply_power=550";
}

void TestCompatibility::guesses()
{
    QFETCH(int, row);
    QFETCH(QString, description);
    QFETCH(QString, guessed);
    const PartAttributes found = guessAttributes(partKindOfRow(row), description);
    QCOMPARE(attributesText(found), guessed);
    for (const auto &value : found.values())
        QVERIFY(value.guessed);
}

QTEST_APPLESS_MAIN(TestCompatibility)
#include "tst_compatibility.moc"
