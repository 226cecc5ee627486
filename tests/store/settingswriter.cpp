// Another counter for the settings tests, as a process of its own: starts, its person types a shop
// name, and it closes, through the program's own CounterSettings.
//   settingswriter ADDRESS COUNTER_FILE SHOP_NAME
// Prints "saved", or "error TEXT" and exits with 1.
#include "store/countersettings.h"
#include "store/store.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    QTextStream out(stdout);
    Store store(args.at(1), QStringLiteral("settingswriter"));
    if (!store.open()) {
        out << "error " << store.lastError().text() << "\n";
        return 1;
    }
    CounterSettings settings(
        &store, QStringLiteral("Company Name and Tel"), QStringLiteral("Sales Executive"), args.at(2));
    settings.load();
    settings.changeCompany(args.at(3));
    if (const StoreError failure = settings.save(); failure.isValid()) {
        out << "error " << failure.text() << "\n";
        return 1;
    }
    out << "saved\n";
    return 0;
}
