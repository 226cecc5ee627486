#include "markupwindow.h"

#include "core/amount.h"
#include "store/markupreprice.h"
#include "store/markupruletable.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{

enum Column { CategoryColumn, MarkupColumn, StepColumn, ExampleColumn, ColumnCount };
const Markup::Step Steps[] = { Markup::Step::Cent, Markup::Step::One, Markup::Step::Five, Markup::Step::Ten,
    Markup::Step::Fifty, Markup::Step::Hundred };
const Decimal ExampleCost = Decimal::fromInt(1000);

QString percentText(const Decimal &percent)
{
    return percent.plainText(QLocale());
}

} // namespace

MarkupWindow::MarkupWindow(
    Store *store, const QList<std::pair<QString, QString>> &categories, QWidget *parent)
    : QDialog(parent)
    , m_store(store)
    , m_categories(categories)
{
    setObjectName(QStringLiteral("frmmarkup"));
    setWindowTitle(QStringLiteral("Markup"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    const StoreResult<Markup::Rules> kept = MarkupRuleTable(m_store).read();
    if (kept)
        m_seen = *kept;
    auto *heading = new QLabel(m_seen
            ? QStringLiteral("A list price is the cost with the markup, rounded up to the "
                             "step. A category left empty follows the default.")
            : QStringLiteral("The markup rules could not be read: %1").arg(kept.error().text()),
        this);
    heading->setObjectName(QStringLiteral("lblmarkup"));
    heading->setWordWrap(true);
    layout->addWidget(heading);
    m_grid = new QTableWidget(static_cast<int>(m_categories.size()) + 1, ColumnCount, this);
    m_grid->setObjectName(QStringLiteral("grdmarkup"));
    m_grid->setHorizontalHeaderLabels({ QStringLiteral("Category"), QStringLiteral("Markup %"),
        QStringLiteral("Round up to"), QStringLiteral("A cost of 1,000 gives") });
    m_grid->verticalHeader()->hide();
    for (int row = 0; row < m_grid->rowCount(); ++row) {
        auto *caption = new QTableWidgetItem(
            row == 0 ? QStringLiteral("Default") : QString(m_categories.at(row - 1).first).remove(u'&'));
        caption->setFlags(Qt::ItemIsEnabled);
        m_grid->setItem(row, CategoryColumn, caption);
        m_grid->setItem(row, MarkupColumn, new QTableWidgetItem());
        auto *example = new QTableWidgetItem();
        example->setFlags(Qt::ItemIsEnabled);
        m_grid->setItem(row, ExampleColumn, example);
        auto *step = new QComboBox(m_grid);
        step->setObjectName(QStringLiteral("cbostep(%1)").arg(row));
        for (const Markup::Step s : Steps)
            step->addItem(Markup::stepText(s));
        m_grid->setCellWidget(row, StepColumn, step);
        connect(step, &QComboBox::currentIndexChanged, this, [this, row] { showExample(row); });
    }
    connect(m_grid, &QTableWidget::cellChanged, this, [this](int row, int column) {
        if (column == MarkupColumn)
            showExample(row);
    });
    showRules(m_seen.value_or(Markup::Rules()));
    m_grid->resizeColumnsToContents();
    m_grid->horizontalHeader()->setSectionResizeMode(ExampleColumn, QHeaderView::Stretch);
    layout->addWidget(m_grid);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdok"));
    ok->setEnabled(m_seen.has_value());
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cmdcancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(560, 700);
    m_askApply = [this](const QString &question, const QString &changes) {
        QMessageBox box(QMessageBox::Question, windowTitle(), question, QMessageBox::NoButton, this);
        box.setDetailedText(changes);
        QPushButton *apply = box.addButton(QStringLiteral("Apply to the &list now"), QMessageBox::AcceptRole);
        apply->setObjectName(QStringLiteral("cmdapplylist"));
        box.setDefaultButton(box.addButton(QStringLiteral("&Not now"), QMessageBox::RejectRole));
        box.exec();
        return box.clickedButton() == apply;
    };
}

MarkupWindow::~MarkupWindow() = default;

void MarkupWindow::showRules(const Markup::Rules &rules)
{
    for (int row = 0; row < m_grid->rowCount(); ++row) {
        const std::optional<Markup::Rule> rule = row == 0 ? std::optional<Markup::Rule>(rules.defaultRule)
                                                          : rules.own(m_categories.at(row - 1).second);
        m_grid->item(row, MarkupColumn)->setText(rule ? percentText(rule->percent) : QString());
        if (rule)
            qobject_cast<QComboBox *>(m_grid->cellWidget(row, StepColumn))
                ->setCurrentIndex(static_cast<int>(rule->step));
        showExample(row);
    }
}

std::optional<Markup::Rule> MarkupWindow::ruleOf(int row, bool *refused)
{
    *refused = false;
    const QString typed = m_grid->item(row, MarkupColumn)->text();
    if (typed.trimmed().isEmpty() && row > 0)
        return std::nullopt;
    const auto percent
        = Markup::readPercent(typed.trimmed().isEmpty() ? QStringLiteral("0") : typed, QLocale());
    if (!percent) {
        *refused = true;
        return std::nullopt;
    }
    const int step = qobject_cast<QComboBox *>(m_grid->cellWidget(row, StepColumn))->currentIndex();
    return Markup::Rule { *percent, Steps[std::max(0, step)] };
}

void MarkupWindow::showExample(int row)
{
    QTableWidgetItem *example = m_grid->item(row, ExampleColumn);
    if (!example || !m_grid->item(row, MarkupColumn))
        return;
    bool refused = false;
    std::optional<Markup::Rule> rule = ruleOf(row, &refused);
    if (!rule && !refused && row > 0) {
        bool defaultRefused = false;
        rule = ruleOf(0, &defaultRefused);
    }
    // A category that follows the default has no step of its own either.
    const bool own = row == 0 || !m_grid->item(row, MarkupColumn)->text().trimmed().isEmpty();
    if (QWidget *step = m_grid->cellWidget(row, StepColumn))
        step->setEnabled(own);
    example->setForeground(own ? m_grid->palette().text() : m_grid->palette().placeholderText());
    example->setText(refused ? QStringLiteral("not a markup")
            : rule           ? FormatAmount(Markup::listPrice(ExampleCost, *rule).plainText(QLocale()))
                             : QString());
    // The categories that follow the default change with it.
    if (row == 0) {
        for (int other = 1; other < m_grid->rowCount(); ++other) {
            if (m_grid->item(other, MarkupColumn)
                && m_grid->item(other, MarkupColumn)->text().trimmed().isEmpty())
                showExample(other);
        }
    }
}

void MarkupWindow::accept()
{
    if (!m_seen)
        return;
    Markup::Rules rules;
    for (int row = 0; row < m_grid->rowCount(); ++row) {
        bool refused = false;
        const auto rule = ruleOf(row, &refused);
        if (refused) {
            QMessageBox::warning(this, windowTitle(),
                QStringLiteral(
                    "The markup of %1 is not a number of percent from above -100 to 10000: \"%2\".")
                    .arg(m_grid->item(row, CategoryColumn)->text(), m_grid->item(row, MarkupColumn)->text()));
            m_grid->setCurrentCell(row, MarkupColumn);
            m_grid->editItem(m_grid->item(row, MarkupColumn));
            return;
        }
        if (row == 0)
            rules.defaultRule = *rule;
        else
            rules.setOwn(m_categories.at(row - 1).second, rule);
    }
    if (const StoreError failed = MarkupRuleTable(m_store).save(rules, *m_seen); failed.isValid()) {
        QMessageBox::warning(this, windowTitle(), failed.text());
        return;
    }
    offerToReprice(*m_seen, rules);
    QDialog::accept();
}

void MarkupWindow::offerToReprice(const Markup::Rules &was, const Markup::Rules &now)
{
    if (was.defaultRule == now.defaultRule && was.owned() == now.owned())
        return;
    // The rules are kept; the list follows them only when asked, having seen what it changes.
    MarkupReprice reprice(m_store);
    const auto preview = reprice.preview(was, now);
    if (!preview) {
        QMessageBox::warning(this, windowTitle(),
            QStringLiteral("The rules are kept, but the list cannot be read to re-price it: %1")
                .arg(preview.error().text()));
        return;
    }
    if (preview->changedCount() == 0)
        return;
    QStringList changes;
    for (size_t i = 0; i < preview->changedCount() && i < 200; ++i) {
        const ImportChange c = preview->changed(i);
        changes << QStringLiteral("%1 %2: %3")
                       .arg(categoryName(c.item.category), c.item.id,
                           Price::changeText(Price::fromStored(c.oldPrice.value_or(QString())),
                               Price::fromStored(c.item.price)));
    }
    const QString changed = preview->changedCount() == 1
        ? QStringLiteral("1 list price changes")
        : QStringLiteral("%1 list prices change").arg(preview->changedCount());
    const QString question = QStringLiteral("The rules are kept. With them %1 (prices set by hand stay as "
                                            "they are).\n\nApply to the list now?")
                                 .arg(changed);
    if (!m_askApply(question, changes.join(u'\n')))
        return;
    const StoreError failed = reprice.apply(*preview, QDateTime::currentDateTime());
    if (failed.isValid())
        QMessageBox::warning(
            this, windowTitle(), QStringLiteral("The list was not re-priced: %1").arg(failed.text()));
}

QString MarkupWindow::categoryName(const QString &category) const
{
    for (const auto &[caption, code] : m_categories) {
        if (code == category)
            return QString(caption).remove(u'&');
    }
    return category;
}
