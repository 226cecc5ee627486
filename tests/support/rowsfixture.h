#pragma once

// The main window on a small price list, shown, for the tests of its configuration rows.
#include "app/windowwiring.h"
#include "support/testdb.h"
#include "support/typing.h"
#include "widgets/gridcombo.h"
#include "windows/main/mainwindow.h"

#include <QLineEdit>
#include <QTest>

#include <memory>

class RowsFixture
{
public:
    void setUp()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        m_db = std::make_unique<TestDb>(std::vector<TestRow> {
            { "2", "D4-16G", "DDR4 16GB", "1250" },
            { "2", "D4-8G", "DDR4 8GB", "850.5" },
            { "2", "D4-32G", "DDR4 32GB", "3050.00" },
            { "9", "SPK", "Speaker", "220" },
            { "90", "company", "Shop", "0.00" },
            { "16", "O'NEIL", "Quoted id", "10" },
            { "5", "BIG", "Priced in exponent form", "1.5e20" },
            { "5", "MID", "Cents", "0.1" },
        });
        m_store = std::make_unique<Store>(m_db->path, QStringLiteral("t-rows"));
        m_form = std::make_unique<MainWindow>(m_store.get());
        connectWindows(*m_form);
        QVERIFY(m_form->load());
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

    void tearDown()
    {
        m_form.reset();
        m_store.reset();
        m_db.reset();
    }

protected:
    std::unique_ptr<TestDb> m_db;
    std::unique_ptr<Store> m_store;
    std::unique_ptr<MainWindow> m_form;
    GridCombo *picker(int i) const { return m_form->row(i).picker(); }
    QLineEdit *amount(int i) const { return m_form->row(i).amountBox(); }
    QString total() const { return m_form->findChild<QLineEdit *>(QStringLiteral("txttotal"))->text(); }
};
