#pragma once

// MarkupWindow (frmmarkup): the shop's markup rules, one grid row (grdmarkup) for the default and
// one for each of the seventeen rows' categories: a markup in percent and the step a list price is
// rounded up to. A category whose markup is left empty follows the default. Each row shows what a
// cost of 1,000 comes to, so a rule is checked as it is typed.

#include "core/markup.h"

#include <QDialog>
#include <QList>

#include <functional>
#include <optional>
#include <utility>

class MarkupRuleTable;
class QTableWidget;
class Store;

class MarkupWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MarkupWindow)

public:
    // categories: the rows' captions and categories, in the main window's order.
    MarkupWindow(
        Store *store, const QList<std::pair<QString, QString>> &categories, QWidget *parent = nullptr);
    ~MarkupWindow() override;

    void accept() override;
    // Replaceable for tests: whether to re-price the list now, shown the changes it makes.
    void setAskApply(std::function<bool(const QString &question, const QString &changes)> f)
    {
        m_askApply = std::move(f);
    }

private:
    void showRules(const Markup::Rules &rules);
    // The grid's row as a rule; nullopt when its markup is empty (a category then follows the
    // default) and when it does not read, which *refused says.
    std::optional<Markup::Rule> ruleOf(int row, bool *refused);
    void showExample(int row);
    void offerToReprice(const Markup::Rules &was, const Markup::Rules &now);
    QString categoryName(const QString &category) const;

    Store *m_store;
    QList<std::pair<QString, QString>> m_categories;
    std::optional<Markup::Rules> m_seen; // as read when the window opened
    QTableWidget *m_grid = nullptr;
    std::function<bool(const QString &question, const QString &changes)> m_askApply;
};
