#include "fitwarnings.h"

#include "core/offermodel.h"
#include "store/partattributetable.h"
#include "store/store.h"

#include <QHash>
#include <QListWidget>
#include <QMessageBox>

#include <memory>

namespace
{

constexpr int UncheckedRole = Qt::UserRole + 1;

} // namespace

FitWarnings::FitWarnings(
    OfferModel *model, Store *store, QWidget *panelParent, MarkRow markRow, ShowPanel showPanel)
    : QObject(panelParent)
    , m_model(model)
    , m_store(store)
    , m_panel(new QListWidget(panelParent))
    , m_markRow(std::move(markRow))
    , m_showPanel(std::move(showPanel))
{
    m_panel->setObjectName(QStringLiteral("lstcompat"));
    m_panel->setAccessibleName(QStringLiteral("Parts that do not fit"));
    m_panel->hide();
    connect(m_model, &OfferModel::rowChanged, this, &FitWarnings::rowChanged);
    connect(m_panel, &QListWidget::itemActivated, this, &FitWarnings::nameUnchecked);
}

void FitWarnings::refresh()
{
    m_itemIds.fill(QString());
    for (auto &part : m_parts)
        part.reset();
    for (int row = 0; row < Compatibility::RowCount; ++row)
        rowChanged(row);
}

void FitWarnings::rowChanged(int row)
{
    if (row < 0 || row >= Compatibility::RowCount)
        return;
    const QString id = m_model->row(row).itemId;
    if (id == m_itemIds[static_cast<size_t>(row)] && (id.isEmpty() || m_parts[static_cast<size_t>(row)]))
        return recheck();
    m_itemIds[static_cast<size_t>(row)] = id;
    std::optional<PartAttributes> attributes;
    if (!id.isEmpty() && m_store->isOpen()) {
        // What cannot be read is not known: the row counts as chosen, its checks as not made.
        const auto read = PartAttributeTable(m_store).read(QString::number(row), id);
        attributes = read ? *read : PartAttributes();
    }
    if (id.isEmpty())
        m_parts[static_cast<size_t>(row)].reset();
    else
        m_parts[static_cast<size_t>(row)] = attributes.value_or(PartAttributes());
    recheck();
}

FitCheck FitWarnings::fitCheck(int row) const
{
    if (row < 0 || row >= Compatibility::RowCount || !m_store->isOpen())
        return {};
    // A list whose attributes cannot be read is one without: Fits is a help, never a hindrance.
    const auto known = PartAttributeTable(m_store).readCategory(QString::number(row));
    if (!known || known->isEmpty())
        return {};
    auto facts = std::make_shared<QHash<QString, Compatibility::Facts>>();
    facts->reserve(known->size());
    for (auto it = known->cbegin(); it != known->cend(); ++it)
        facts->insert(it.key(), Compatibility::Facts(it.value()));
    auto fitting = std::make_shared<const Compatibility::Fitting>(m_parts, row);
    return [facts, fitting](const QString &id) {
        static const Compatibility::Facts nothingKnown;
        const auto it = facts->constFind(id);
        switch (fitting->verdict(it == facts->cend() ? nothingKnown : *it)) {
        case Compatibility::Fitting::Verdict::Fits:
            return ItemFit::Fits;
        case Compatibility::Fitting::Verdict::Unsure:
            return ItemFit::Unsure;
        case Compatibility::Fitting::Verdict::DoesNotFit:
            break;
        }
        return ItemFit::DoesNotFit;
    };
}

QStringList FitWarnings::problems() const
{
    QStringList out;
    if (m_shown) {
        for (const Compatibility::Problem &problem : m_report.problems)
            out << problem.reason;
    }
    return out;
}

void FitWarnings::recheck()
{
    m_report = Compatibility::check(m_parts);
    bool anyKnown = false;
    for (const auto &part : m_parts) {
        for (const PartAttributes::Value &value :
            part ? part->values() : QMap<Attribute, PartAttributes::Value>())
            anyKnown = anyKnown || !value.guessed;
    }
    m_shown = anyKnown && (!m_report.problems.isEmpty() || !m_report.unchecked.isEmpty());
    // An amount typed changes no part: the marks and the panel stay as they are.
    QStringList said;
    for (const Compatibility::Problem &problem : m_report.problems)
        said << problem.reason;
    for (const Compatibility::Unchecked &unchecked : m_report.unchecked)
        said << unchecked.what;
    if (!m_shown)
        said.clear();
    if (m_said && *m_said == said)
        return;
    m_said = said;
    for (int row = 0; row < Compatibility::RowCount; ++row) {
        QStringList reasons;
        for (const Compatibility::Problem &problem : m_report.problems) {
            if (m_shown && problem.rows.contains(row))
                reasons << problem.reason;
        }
        m_markRow(row, reasons.join(QLatin1Char('\n')));
    }
    m_panel->clear();
    if (m_shown) {
        m_panel->addItems(problems());
        if (!m_report.unchecked.isEmpty()) {
            QStringList named;
            for (const Compatibility::Unchecked &unchecked : m_report.unchecked)
                named << unchecked.what;
            auto *line = new QListWidgetItem(m_report.uncheckedSummary(), m_panel);
            line->setData(UncheckedRole, named);
            line->setToolTip(named.join(QLatin1Char('\n')));
            line->setForeground(m_panel->palette().placeholderText());
        }
    }
    if (m_panel->isVisibleTo(m_panel->parentWidget()) != m_shown) {
        m_panel->setVisible(m_shown);
        m_showPanel(m_shown);
    }
}

void FitWarnings::nameUnchecked(QListWidgetItem *item)
{
    const QStringList named = item ? item->data(UncheckedRole).toStringList() : QStringList();
    if (named.isEmpty())
        return;
    QMessageBox::information(m_panel->window(), m_panel->window()->windowTitle(),
        QStringLiteral("These checks could not be made, because an attribute of a part is not known:\n\n%1")
            .arg(named.join(QLatin1Char('\n'))));
}
