#include "importsession.h"

#include "core/price.h"
#include "importcolumns.h"
#include "markupruletable.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace
{

constexpr qint64 SampleBytes = 64 * 1024;
constexpr int FirstRecordCount = 20;

} // namespace

ImportSession::ImportSession(Store *store, const QList<std::pair<QString, QString>> &rows)
    : m_store(store)
{
    for (const auto &[caption, category] : rows) {
        m_rowNames << QString(caption).remove(u'&');
        m_rowCategories << category;
    }
    // A file without a category column goes to the first row until another is chosen.
    m_columns.fixedCategory = m_rowCategories.value(0);
}

QString ImportSession::fileName() const
{
    return QFileInfo(m_path).fileName();
}

ImportSession::Outcome ImportSession::open(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return { Failure::FileUnreadable, file.errorString() };
    QString why;
    const auto format = SupplierFile::detect(file.read(SampleBytes), &why);
    if (!format)
        return { Failure::FormatUnknown, why };
    m_path = path;
    m_format = *format;
    file.seek(0);
    m_first = SupplierImport::firstRecords(file, *format, FirstRecordCount);
    SupplierImport::Columns columns = SupplierImport::guessColumns(m_first.value(0));
    columns.header = columns.id >= 0 || columns.price >= 0;
    if (!columns.pricesAreCosts && columns.cost < 0)
        columns.pricesAreCosts = pricesByMarkup();
    if (columns.header)
        columns.attributeColumns = SupplierImport::guessAttributeColumns(m_first.value(0), columns);
    // The same supplier's file of last time: the columns chosen then (when they cannot be read,
    // the guess stands).
    const auto kept = ImportColumns(m_store).remembered(fileName());
    if (kept && *kept) {
        if (const auto recalled = SupplierImport::Columns::fromText(**kept))
            columns = *recalled;
    }
    // A category no row has leaves the one chosen before.
    if (!m_rowCategories.contains(columns.fixedCategory))
        columns.fixedCategory = m_columns.fixedCategory;
    m_columns = columns;
    fitColumns();
    countValuesOfFirst();
    // From this file's own prices, whatever was remembered, unless they read two ways.
    guessDecimal(columns);
    invalidate();
    return {};
}

SupplierImport::Columns ImportSession::columns() const
{
    SupplierImport::Columns c = m_columns;
    // With costs in the price column the list prices come from the markup, so no column gives them.
    if (c.pricesAreCosts)
        c.cost = -1;
    c.decimal = m_decimal.value_or(SupplierImport::DecimalSign::Point);
    return c;
}

QString ImportSession::categoryShown(const QString &category) const
{
    // By the name of its row, as the main window shows it; a category no row shows, by its code.
    const qsizetype row = m_rowCategories.indexOf(category);
    return row >= 0 ? m_rowNames.at(row) : category;
}

void ImportSession::readFirst()
{
    QFile file(m_path);
    if (file.open(QIODevice::ReadOnly))
        m_first = SupplierImport::firstRecords(file, m_format, FirstRecordCount);
}

void ImportSession::fitColumns()
{
    // Only the columns the first record has can be chosen.
    const int count = static_cast<int>(m_first.value(0).size());
    const auto fit = [count](int &column) {
        if (column < 0 || column >= count)
            column = -1;
    };
    for (int *column :
        { &m_columns.category, &m_columns.id, &m_columns.description, &m_columns.price, &m_columns.cost })
        fit(*column);
    // The other columns may hold attributes; a column taken for something else holds none.
    const SupplierImport::Columns main = columns();
    QMap<int, QString> attributes;
    for (auto a = m_columns.attributeColumns.cbegin(); a != m_columns.attributeColumns.cend(); ++a) {
        const int column = a.key();
        const bool taken = column == main.category || column == main.id || column == main.description
            || column == main.price || column == main.cost;
        const bool known = std::any_of(allAttributes().begin(), allAttributes().end(),
            [&](const AttributeInfo &info) { return QString::fromUtf8(info.key) == a.value(); });
        if (column >= 0 && column < count && !taken && known)
            attributes.insert(column, a.value());
    }
    m_columns.attributeColumns = attributes;
}

void ImportSession::setFormat(const SupplierFile::Format &format, bool header)
{
    m_format = format;
    m_columns.header = header;
    if (m_path.isEmpty())
        return;
    readFirst();
    const SupplierImport::Columns kept = columns();
    m_columns = kept;
    fitColumns();
    countValuesOfFirst();
    guessDecimal(kept);
    invalidate();
}

void ImportSession::setColumn(Role role, int column)
{
    int *chosen[]
        = { &m_columns.category, &m_columns.id, &m_columns.description, &m_columns.price, &m_columns.cost };
    *chosen[static_cast<int>(role)] = column;
    fitColumns();
    if (role == Role::Category)
        countValuesOfFirst();
    if (role == Role::Price) // another column of prices may be written otherwise
        guessDecimal({});
    invalidate();
}

void ImportSession::setFixedCategory(const QString &category)
{
    m_columns.fixedCategory = category;
    invalidate();
}

void ImportSession::setPricesAreCosts(bool costs)
{
    m_columns.pricesAreCosts = costs;
    fitColumns();
    invalidate();
}

void ImportSession::setRepriceHandSet(bool reprice)
{
    m_repriceHandSet = reprice;
    invalidate();
}

void ImportSession::setAttributeColumn(int column, const QString &key)
{
    if (key.isEmpty())
        m_columns.attributeColumns.remove(column);
    else
        m_columns.attributeColumns.insert(column, key);
    fitColumns();
    invalidate();
}

void ImportSession::chooseDecimal(SupplierImport::DecimalSign sign)
{
    m_columns.decimalChosen = true;
    m_decimal = sign;
    invalidate();
}

void ImportSession::chooseRow(const QString &value, const QString &row)
{
    m_columns.categoryRows.insert(value, row);
    invalidate();
}

std::optional<QString> ImportSession::rowOf(const QString &value) const
{
    return SupplierImport::rowFor(m_columns, value, m_rowNames);
}

void ImportSession::guessDecimal(const SupplierImport::Columns &remembered)
{
    QStringList prices;
    if (m_columns.price >= 0) {
        for (const QStringList &r : m_first.mid(m_columns.header ? 1 : 0))
            prices << r.value(m_columns.price);
    }
    const SupplierImport::DecimalGuess guess = SupplierImport::guessDecimal(prices);
    m_decimalSample.clear();
    if (guess.sign && !guess.wholeNumbers) {
        m_columns.decimalChosen = false;
        m_decimal = guess.sign;
    } else if (guess.sign || remembered.decimalChosen) {
        // Nothing in these lines tells the sign, or the person chose it for this supplier before.
        m_columns.decimalChosen = remembered.decimalChosen;
        m_decimal = remembered.decimal;
    } else {
        m_columns.decimalChosen = false;
        m_decimal.reset();
        m_decimalSample = guess.sample;
    }
}

void ImportSession::countValuesOfFirst()
{
    m_categoryValues.clear();
    if (m_columns.category < 0)
        return;
    for (const QStringList &r : m_first.mid(m_columns.header ? 1 : 0)) {
        const QString value = r.value(m_columns.category);
        const bool seen = std::any_of(m_categoryValues.cbegin(), m_categoryValues.cend(),
            [&](const auto &v) { return v.first == value; });
        if (!value.isEmpty() && !seen)
            m_categoryValues.push_back({ value, -1 }); // counted when the whole file is read
    }
}

bool ImportSession::pricesByMarkup()
{
    // A file that does not say what its prices are holds costs for a shop that prices by markup
    // rules; one that never kept any imports list prices as it always did.
    const auto rules = MarkupRuleTable(m_store).read();
    return rules && (!rules->owned().isEmpty() || rules->defaultRule != Markup::Rule());
}

ImportSession::Outcome ImportSession::read(const ReadProgress &keepGoing)
{
    invalidate();
    m_reading = {};
    const SupplierImport::Columns chosen = columns();
    if (m_path.isEmpty() || chosen.id < 0 || chosen.price < 0)
        return { Failure::ColumnsMissing, QString() };
    if (!m_decimal)
        return { Failure::DecimalUnknown, QString() };
    const Outcome once = readOnce(keepGoing);
    if (!once.ok() || m_columns.decimalChosen)
        return once;
    // The sign was guessed from the first lines; the rest of the file must not tell otherwise.
    const SupplierImport::DecimalGuess whole = m_reading.decimal;
    if (!whole.sign) {
        m_reading = {};
        m_decimal.reset();
        m_decimalSample = whole.sample;
        return { Failure::DecimalAsked, QString() };
    }
    if (!whole.wholeNumbers && *whole.sign != chosen.decimal) {
        m_decimal = whole.sign;
        return read(keepGoing);
    }
    return {};
}

ImportSession::Outcome ImportSession::readOnce(const ReadProgress &keepGoing)
{
    const SupplierImport::Columns chosen = columns();
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return { Failure::FileUnreadable, file.errorString() };
    const qint64 size = std::max<qint64>(1, file.size());
    bool finished = false;
    QString why;
    m_reading = SupplierImport::readItems(
        file, m_format, chosen, m_rowNames,
        [&](qint64 bytes) { return !keepGoing || keepGoing(bytes, size); }, &finished, &why);
    if (!finished) {
        m_reading = {};
        return { Failure::ReadStopped, why };
    }
    if (chosen.category >= 0)
        m_categoryValues = m_reading.categoryValues;
    return {};
}

ImportSession::Outcome ImportSession::compare()
{
    const SupplierImport::Columns chosen = columns();
    PriceImport import(m_store);
    CostPricing pricing;
    if (chosen.pricesAreCosts) {
        auto rules = MarkupRuleTable(m_store).read();
        if (!rules)
            return { Failure::RulesUnreadable, rules.error().text() };
        pricing = { *std::move(rules), m_repriceHandSet };
    }
    auto previewed = chosen.pricesAreCosts ? import.preview(std::move(m_reading.items), pricing)
                                           : import.preview(std::move(m_reading.items));
    if (!previewed)
        return { Failure::ListUnreadable, previewed.error().text() };
    m_preview = *std::move(previewed);
    m_tenfold = 0;
    for (size_t i = 0; i < m_preview->changedCount(); ++i) {
        // A price ten times what it was is more often a misread sign than a new price.
        const ImportChange c = m_preview->changed(i);
        m_tenfold += !Price::tenfold(
            Price::fromStored(c.oldPrice.value_or(QString())), Price::fromStored(c.item.price))
                          .isEmpty();
    }
    return {};
}

bool ImportSession::changesNothing() const
{
    // Attributes the file gives are kept even when no price changes.
    return (!m_preview || m_preview->changesNothing(m_removeMissing)) && m_reading.attributes.isEmpty();
}

bool ImportSession::canApply() const
{
    return m_preview && m_reading.problemCount == 0 && !changesNothing() && m_decimal;
}

void ImportSession::invalidate()
{
    m_preview.reset();
    m_tenfold = 0;
}

QList<ImportSession::NewItem> ImportSession::describedNewItems() const
{
    // The new items: what the list holds already has the attributes it was given.
    QList<NewItem> items;
    for (size_t i = 0; m_preview && i < m_preview->addedCount(); ++i) {
        const SupplierImport::Item item = m_preview->added(i);
        if (item.description && !item.description->isEmpty())
            items.append({ item.category, item.id, *item.description });
    }
    return items;
}

void ImportSession::acceptGuesses(const QList<Accepted> &accepted)
{
    for (const Accepted &taken : accepted) {
        PartAttributes &kept = m_reading.attributes[{ taken.category, taken.id }];
        for (auto v = taken.attributes.values().cbegin(); v != taken.attributes.values().cend(); ++v) {
            if (!kept.value(v.key()))
                kept.set(v.key(), v->text);
        }
    }
}

ImportSession::Outcome ImportSession::apply(const QDateTime &when, const PriceImport::Progress &keepGoing)
{
    m_applyError = StoreError();
    m_conflicts.clear();
    if (!m_preview || m_reading.problemCount > 0 || !m_decimal)
        return { Failure::NothingToApply, QString() };
    PriceImport import(m_store);
    if (!m_reading.attributes.isEmpty())
        import.setAttributes(&m_reading.attributes);
    m_applyError = import.apply(*m_preview, m_removeMissing, fileName(), when, keepGoing);
    if (m_applyError.isValid()) {
        m_conflicts = import.changedMeanwhile();
        // What the preview saw is no longer so: it is to be made again.
        if (!m_conflicts.isEmpty())
            invalidate();
        return { Failure::ApplyRefused, m_applyError.text() };
    }
    // The list holds the file now; columns that could not be kept are guessed again next time.
    ImportColumns(m_store).remember(fileName(), columns().toText());
    return {};
}
