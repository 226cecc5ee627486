#include "demodata.h"

#include "store/partattributetable.h"

#include "store/pricelistrepository.h"
#include "store/store.h"

#include <QDateTime>
#include <QLocale>

namespace
{

struct Item {
    int category;
    const char *id;
    const char *description;
    const char *price;
};

// A plausible counter price list; ids of one family share a prefix so the descending order matters.
const Item Items[] = {
    { 0, "I3-12100", "Intel Core i3-12100 3.3GHz 4C/8T", "4350" },
    { 0, "I5-12400", "Intel Core i5-12400 2.5GHz 6C/12T", "6900" },
    { 0, "I5-12400F", "Intel Core i5-12400F (no graphics)", "6250" },
    { 0, "I7-12700", "Intel Core i7-12700 2.1GHz 12C/20T", "11800" },
    { 0, "R5-5600", "AMD Ryzen 5 5600 3.5GHz 6C/12T", "5400" },
    { 0, "R5-5600G", "AMD Ryzen 5 5600G with Radeon graphics", "5950" },
    { 1, "B660M-DS3H", "Gigabyte B660M DS3H DDR4 mATX", "4200" },
    { 1, "B550M-PRO", "MSI B550M PRO-VDH WiFi", "3850" },
    { 1, "H610M-E", "ASUS Prime H610M-E D4", "2950" },
    { 1, "Z690-A", "ASUS Prime Z690-A ATX", "8700" },
    { 2, "D4-8G3200", "DDR4 8GB 3200MHz Kingston Fury", "850" },
    { 2, "D4-16G3200", "DDR4 16GB 3200MHz Kingston Fury", "1550" },
    { 2, "D4-16G3600", "DDR4 16GB 3600MHz Corsair Vengeance", "1750" },
    { 2, "D4-32G3200", "DDR4 32GB (2x16) 3200MHz", "3050" },
    { 3, "FDD-144", "Floppy drive 1.44MB 3.5\" internal", "150" },
    { 3, "FDD-USB", "USB floppy drive 1.44MB external", "325.50" },
    { 3, "CR-USB3", "USB 3.0 card reader, internal 3.5\" bay", "275" },
    { 4, "SSD-500", "SSD 500GB NVMe Samsung 980", "1650" },
    { 4, "SSD-1T", "SSD 1TB NVMe WD Blue SN570", "2450" },
    { 4, "SSD-1TP", "SSD 1TB NVMe Samsung 980 Pro", "3400" },
    { 4, "HDD-1T", "HDD 1TB 7200rpm Seagate Barracuda", "1150" },
    { 4, "HDD-2T", "HDD 2TB 7200rpm WD Blue", "1600" },
    { 5, "GT-1030", "NVIDIA GeForce GT 1030 2GB", "2100" },
    { 5, "RTX-3050", "NVIDIA GeForce RTX 3050 8GB", "8250" },
    { 5, "RTX-3060", "NVIDIA GeForce RTX 3060 12GB", "10900" },
    { 5, "RX-6600", "AMD Radeon RX 6600 8GB", "8600" },
    { 6, "MON-22", "Monitor 21.5\" IPS Full HD", "2650" },
    { 6, "MON-24", "Monitor 23.8\" IPS Full HD 75Hz", "3150" },
    { 6, "MON-24G", "Monitor 24\" 165Hz gaming", "4700" },
    { 6, "MON-27Q", "Monitor 27\" IPS QHD", "6850" },
    { 7, "DVD-RW", "DVD writer 24x SATA LG", "450" },
    { 7, "DVD-RWX", "External DVD writer USB slim", "620" },
    { 7, "BD-RW", "Blu-ray writer SATA Asus", "1850" },
    { 8, "SND-ONB", "On-board sound (no card)", "0" },
    { 8, "SND-SBA", "Creative Sound Blaster Audigy FX", "1250" },
    { 8, "SND-USB", "USB sound adapter 7.1", "175" },
    { 9, "SPK-20", "Speakers 2.0 USB 6W", "220" },
    { 9, "SPK-21", "Speakers 2.1 Microlab 40W", "890" },
    { 9, "SPK-21W", "Speakers 2.1 wooden Edifier 60W", "1750" },
    { 10, "KB-AR", "Keyboard USB Arabic/English", "165" },
    { 10, "KB-ARM", "Keyboard multimedia Arabic/English", "245" },
    { 10, "KB-MECH", "Mechanical keyboard RGB Arabic", "950" },
    { 11, "MS-OPT", "Optical mouse USB", "75" },
    { 11, "MS-OPTW", "Wireless optical mouse", "195" },
    { 11, "MS-GAME", "Gaming mouse 7200 DPI", "420" },
    { 12, "CASE-M", "mATX case with 450W power supply", "1150" },
    { 12, "CASE-ATX", "ATX mid tower case, 2 fans", "1450" },
    { 12, "CASE-ATXG", "ATX gaming case, glass side, 4 fans", "2350" },
    { 13, "FAX-56", "Fax modem 56K PCI", "380" },
    { 13, "FAX-56U", "Fax modem 56K USB external", "540" },
    { 13, "WIFI-AC", "Wi-Fi card AC1200 PCIe", "610" },
    { 14, "UPS-650", "UPS 650VA line interactive", "1250" },
    { 14, "UPS-1000", "UPS 1000VA line interactive", "2150" },
    { 14, "PSU-650B", "Power supply 650W 80+ Bronze", "1450" },
    { 15, "WEBCAM-HD", "Web camera 1080p with microphone", "650" },
    { 15, "HEADSET", "Headset with microphone USB", "380" },
    { 15, "WIN11-H", "Windows 11 Home licence", "2900" },
    { 16, "ASSEMBLY", "Assembly and testing", "150" },
    { 16, "CABLE-HDMI", "HDMI cable 1.5 m", "85" },
    { 16, "CABLE-HDMI3", "HDMI cable 3 m", "125" },
    { 16, "WARRANTY+1", "Extended warranty, one more year", "450" },
};

// What the demo list knows of its parts as parts, so an offer is checked for fit as it is built:
// "row id key=value,key=value" (values as a person types them).
const char *const Attributes[] = {
    "0 I5-12400 socket=LGA1700,memory_types=DDR4/DDR5,power=65",
    "0 R5-5600 socket=AM4,memory_types=DDR4,power=65",
    "0 R5-5600G socket=AM4,memory_types=DDR4,power=65",
    "1 B660M-DS3H socket=LGA1700,memory_type=DDR4,memory_slots=4,form_factor=mATX,m2_slots=2,sata_ports=4",
    "2 D4-8G3200 memory_type=DDR4,modules=1",
    "2 D4-16G3200 memory_type=DDR4,modules=1",
    "2 D4-16G3600 memory_type=DDR4,modules=1",
    "2 D4-32G3200 memory_type=DDR4,modules=2",
    "4 SSD-1T interface=NVMe",
    "5 RTX-3050 length=242,power=130",
    "5 RTX-3060 length=242,power=170",
    "12 CASE-M case_forms=mATX/Mini-ITX,card_clearance=300,case_supply=450",
    "12 CASE-ATX case_forms=ATX/mATX/Mini-ITX,card_clearance=330,case_supply=none",
    "14 PSU-650B supply_power=650",
};

bool fillAttributes(Store &store)
{
    for (const char *line : Attributes) {
        const QString text = QString::fromLatin1(line);
        PartAttributes attributes;
        for (const QString &pair : text.section(u' ', 2).split(u',')) {
            const auto attribute = attributeFromKey(pair.section(u'=', 0, 0));
            const auto value
                = attribute ? readAttribute(*attribute, pair.section(u'=', 1)).value : std::nullopt;
            if (value)
                attributes.set(*attribute, *value);
        }
        if (PartAttributeTable(&store)
                .write(text.section(u' ', 0, 0), text.section(u' ', 1, 1), attributes)
                .isValid())
            return false;
    }
    return true;
}

} // namespace

bool fillDemoPriceList(Store &store, QString *error)
{
    PriceListRepository priceList(&store);
    const bool ok = store.inTransaction([&] {
        for (const Item &item : Items) {
            if (priceList
                    .add({ QString::number(item.category), QString::fromUtf8(item.id),
                        QString::fromUtf8(item.description), QString::fromLatin1(item.price) })
                    .isValid())
                return false;
        }
        return true;
    });
    if (ok) {
        // The list stands without them: attributes only add the checks of fit.
        fillAttributes(store);
        priceList.rewriteSettings(
            { { QStringLiteral("company"), QStringLiteral("Delta Computers - Tel 02 2345 6789") } });
        priceList.rewriteSettings({ { QStringLiteral("sp"), QStringLiteral("Mona Adel") } });
        priceList.rewriteSettings({ { QStringLiteral("dt"),
            QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat) } });
    }
    if (!ok && error)
        *error = store.lastError().text();
    return ok;
}
