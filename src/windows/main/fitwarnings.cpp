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
    // The category's attributes are read when the first item is asked about, as the open list is
    // read, not before it shows. A category without any, or whose attributes cannot be read, has
    // every item fit: Fits is a help, never a hindrance.
    struct Known {
        Store *store;
        QString category;
        std::optional<QHash<QString, Compatibility::Facts>> facts;
        Compatibility::Fitting fitting;
    };
    auto known = std::make_shared<Known>(
        Known { m_store, QString::number(row), std::nullopt, Compatibility::Fitting(m_parts, row) });
    return [known](const QString &id) {
        if (!known->facts) {
            known->facts.emplace();
            if (const auto read = PartAttributeTable(known->store).readCategory(known->category)) {
                known->facts->reserve(read->size());
                for (auto it = read->cbegin(); it != read->cend(); ++it)
                    known->facts->insert(it.key(), Compatibility::Facts(it.value()));
            }
        }
        if (known->facts->isEmpty())
            return ItemFit::Fits;
        static const Compatibility::Facts nothingKnown;
        const auto it = known->facts->constFind(id);
        switch (known->fitting.verdict(it == known->facts->cend() ? nothingKnown : *it)) {
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
