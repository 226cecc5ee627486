#include "attributegrid.h"

#include "store/partattributetable.h"

#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{

constexpr int ValueColumn = 1;

} // namespace

AttributeGrid::AttributeGrid(
    Store *store, const QString &category, std::function<QString()> description, QWidget *parent)
    : QGroupBox(QStringLiteral("Part attributes"), parent)
    , m_store(store)
    , m_category(category)
    , m_kind(partKindOfRow(category.toInt()))
    , m_attributes(attributesOf(m_kind))
    , m_description(std::move(description))
{
    setObjectName(QStringLiteral("fraattributes"));
    auto *layout = new QVBoxLayout(this);
    m_grid = new QTableWidget(static_cast<int>(m_attributes.size()), 2, this);
    m_grid->setObjectName(QStringLiteral("grdattributes"));
    m_grid->setHorizontalHeaderLabels({ QStringLiteral("Attribute"), QStringLiteral("Value") });
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < m_attributes.size(); ++row) {
        const AttributeInfo &info = attributeInfo(m_attributes.at(row));
        const QString unit = QString::fromLatin1(info.unit);
        auto *name = new QTableWidgetItem(QString::fromLatin1(info.label)
            + (unit.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(unit)));
        name->setFlags(Qt::ItemIsEnabled);
        m_grid->setItem(row, 0, name);
        m_grid->setItem(row, ValueColumn, new QTableWidgetItem());
    }
    m_grid->resizeColumnToContents(0);
    m_grid->setFixedHeight(m_grid->horizontalHeader()->height()
        + m_grid->verticalHeader()->defaultSectionSize() * static_cast<int>(m_attributes.size()) + 4);
    layout->addWidget(m_grid);
    auto *guessButton = new QPushButton(QStringLiteral("&Guess from description"), this);
    guessButton->setObjectName(QStringLiteral("cmdguessattributes"));
    guessButton->setAutoDefault(false);
    layout->addWidget(guessButton, 0, Qt::AlignLeft);
    connect(guessButton, &QPushButton::clicked, this, &AttributeGrid::guess);
    connect(m_grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (m_filling || item->column() != ValueColumn)
            return;
        m_modified = true;
        // Typing over a guess, or ticking it, makes it the person's own.
        if (item->data(Qt::CheckStateRole).isValid()
            && (item->checkState() == Qt::Checked || item->data(Qt::UserRole).toString() != item->text()))
            markGuess(item, false);
    });
    setVisible(hasAttributes());
}

void AttributeGrid::markGuess(QTableWidgetItem *value, bool guessed)
{
    const bool filling = m_filling;
    m_filling = true;
    QFont font = value->font();
    font.setItalic(guessed);
    value->setFont(font);
    if (guessed) {
        value->setData(Qt::UserRole, value->text());
        value->setCheckState(Qt::Unchecked);
        value->setToolTip(QStringLiteral("Guessed from the description: tick to keep it."));
    } else {
        value->setData(Qt::CheckStateRole, QVariant());
        value->setData(Qt::UserRole, QVariant());
        value->setToolTip(QString());
    }
    m_filling = filling;
}

void AttributeGrid::showAttributes(const PartAttributes &attributes)
{
    m_filling = true;
    for (int row = 0; row < m_attributes.size(); ++row) {
        QTableWidgetItem *value = m_grid->item(row, ValueColumn);
        const auto kept = attributes.value(m_attributes.at(row));
        value->setText(kept ? kept->text : QString());
        markGuess(value, kept && kept->guessed);
    }
    m_filling = false;
    m_modified = false;
}

void AttributeGrid::guess()
{
    const PartAttributes guessed = guessAttributes(m_kind, m_description ? m_description() : QString());
    for (int row = 0; row < m_attributes.size(); ++row) {
        QTableWidgetItem *value = m_grid->item(row, ValueColumn);
        const auto found = guessed.value(m_attributes.at(row));
        // What the person or the list already holds is never replaced by a guess.
        if (!value->text().trimmed().isEmpty() || !found)
            continue;
        m_filling = true;
        value->setText(found->text);
        m_filling = false;
        markGuess(value, true);
        m_modified = true;
    }
}

void AttributeGrid::load(const QString &id)
{
    if (!hasAttributes())
        return;
    const StoreResult<PartAttributes> kept = id.isEmpty() ? StoreResult<PartAttributes>(PartAttributes())
                                                          : PartAttributeTable(m_store).read(m_category, id);
    setEnabled(kept.ok());
    setToolTip(
        kept ? QString() : QStringLiteral("The attributes cannot be read: %1").arg(kept.error().text()));
    showAttributes(kept ? *kept : PartAttributes());
}

bool AttributeGrid::save(const QString &id)
{
    if (!m_modified || !isEnabled())
        return true;
    if (const StoreError failed = PartAttributeTable(m_store).write(m_category, id, m_checked);
        failed.isValid()) {
        QMessageBox::warning(this, window()->windowTitle(),
            QStringLiteral("The item was saved, but its part attributes were not: %1").arg(failed.text()));
        return false;
    }
    m_modified = false;
    return true;
}

bool AttributeGrid::check()
{
    if (!m_modified || !isEnabled())
        return true;
    PartAttributes out;
    for (int row = 0; row < m_attributes.size(); ++row) {
        QTableWidgetItem *value = m_grid->item(row, ValueColumn);
        const bool unaccepted
            = value->data(Qt::CheckStateRole).isValid() && value->checkState() != Qt::Checked;
        if (value->text().trimmed().isEmpty() || unaccepted)
            continue;
        const Attribute attribute = m_attributes.at(row);
        const AttributeReading reading = readAttribute(attribute, value->text());
        const bool refused = !reading.value;
        if (refused
            || (reading.newWord
                && QMessageBox::question(this, window()->windowTitle(),
                       QStringLiteral("%1 is not a %2 this program knows. Keep it as a new one?")
                           .arg(
                               *reading.value, QString::fromLatin1(attributeInfo(attribute).label).toLower()))
                    != QMessageBox::Yes)) {
            if (refused)
                QMessageBox::warning(this, window()->windowTitle(), reading.reason);
            m_grid->setCurrentCell(row, ValueColumn);
            m_grid->setFocus();
            return false;
        }
        out.set(attribute, *reading.value);
    }
    m_checked = out;
    return true;
}
