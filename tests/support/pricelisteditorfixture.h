#pragma once

// The price-list editor over a fresh test database, opened like the main window opens it, with
// catchers for its error reports and its refusals.

#include "app/windowwiring.h"
#include "support/testdb.h"
#include "widgets/gridcombo.h"
#include "widgets/numericedit.h"
#include "windows/errors/errorreport.h"
#include "windows/errors/showerrorreport.h"
#include "windows/pricelist/pricelisteditor.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include <memory>

namespace
{

struct Report {
    QString caption, description, source, screen, activeControl;
};

// Catches every error report while it lives, instead of showing it.
class Reports
{
public:
    Reports()
    {
        m_previous = ErrorReporting::setShowHook([this](ErrorReport &r) {
            auto line = [&](const char *name) { return r.findChild<QLineEdit *>(name)->text(); };
            list.push_back(
                { r.windowTitle(), line("txterr0"), r.findChild<QPlainTextEdit *>("txterr1")->toPlainText(),
                    line("dfScreenName"), line("dfActiveControl") });
        });
    }
    ~Reports() { ErrorReporting::setShowHook(m_previous); }
    std::vector<Report> list;

private:
    ErrorReporting::ShowHook m_previous;
};

const std::vector<TestRow> PriceList = {
    { "0", "I5", "Intel Core i5", "6900" },
    { "0", "R5", "AMD Ryzen 5", "5400.50" },
    { "15", "X1", "Extra one", "10" },
    { "15", "O'NEIL 15\"", "Intel's \"best\"", "99.99" },
    { "3", "ONLY3", "Floppy", "150" },
    { "90", "dt", "1/1/20 10:00:00 AM", "0.00" },
};

// The editor over a fresh database, opened like the main window opens it.
struct Fixture {
    explicit Fixture(const QString &caption = "&Processor", const QString &cat = "0",
        const std::vector<TestRow> &rows = PriceList)
        : db(rows)
        , store(db.path, QStringLiteral("con-%1").arg(++serial))
    {
        if (!store.open())
            qFatal("store did not open");
        open(caption, cat);
    }
    // A fresh editor on the same database, as the next opening from the main window.
    void open(const QString &caption, const QString &cat)
    {
        editor = std::make_unique<PriceListEditor>(&store, caption + " Data", cat, QPixmap());
        reportFailuresOf(*editor);
        editor->show();
        editor->activateWindow();
        if (!QTest::qWaitForWindowActive(editor.get()))
            qFatal("editor not shown");
    }
    template <typename T = QWidget> T *child(const char *name) const
    {
        return editor->findChild<T *>(QString::fromLatin1(name));
    }
    GridCombo *id() const { return child<GridCombo>("txtrid"); }
    QLineEdit *desc() const { return child<QLineEdit>("txtdesc"); }
    NumericEdit *price() const { return child<NumericEdit>("txtprice"); }
    QPushButton *button(const char *name) const { return child<QPushButton>(name); }
    QString buttonStates() const
    {
        QString s;
        for (const char *name : { "Command1", "Command2", "Command3" })
            s += button(name)->isEnabled() ? (button(name)->isDefault() ? 'D' : 'E') : '-';
        return s;
    }
    // Types nothing: sets the id and moves the focus on, as the operator leaving the field does.
    void leaveId(const QString &text) const
    {
        id()->SetFocus();
        id()->setText(text);
        desc()->setFocus(Qt::TabFocusReason);
    }
    QStringList prices(const QString &cat, const QString &itemId) const
    {
        QSqlQuery q(db.raw());
        q.prepare("select price from adt where category = ? and id = ?");
        q.addBindValue(cat);
        q.addBindValue(itemId);
        q.exec();
        QStringList out;
        while (q.next())
            out << q.value(0).toString();
        return out;
    }

    static inline int serial = 0;
    TestDb db;
    Store store;
    std::unique_ptr<PriceListEditor> editor;
};

// Catches every refusal message box of the editor while it lives: records its text and closes it.
class Refusals
{
public:
    Refusals()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box && box->objectName() == QLatin1String("frmadtRefusal")) {
                list << box->text();
                box->close();
            }
        });
        m_timer.start(5);
    }
    QStringList list;

private:
    QTimer m_timer;
};

} // namespace
