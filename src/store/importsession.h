#pragma once

// ImportSession: taking a supplier's file into the price list, without any widget. It opens the
// file (how it is written and which columns hold what: guessed, or recalled for the supplier),
// holds the person's choices (columns, decimal sign, rows of the file's categories, attribute
// columns, what the prices are), reads the whole file and compares it with the list, keeps the
// attribute guesses the person accepted, and applies the preview, remembering the columns.
//
// Whoever shows it asks what it holds after each step; the steps say what stopped them by a
// Failure and the reason in the words of the part that failed (a file's, the store's), never a
// sentence of its own to show.

#include "core/partattributes.h"
#include "core/supplierimport.h"
#include "priceimport.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

class Store;

class ImportSession final
{
public:
    enum class Failure {
        None,
        FileUnreadable, // the file cannot be opened (reason: the system's words)
        FormatUnknown, // nothing tells how the file is written (reason: why)
        ColumnsMissing, // no file, or no ID or Price column chosen
        DecimalUnknown, // the prices read two ways and the person has not chosen the sign
        ReadStopped, // reading stopped before the end (reason: why, empty when keepGoing stopped it)
        DecimalAsked, // the whole file's prices read two ways: the sign is to be chosen now
        RulesUnreadable, // the markup rules cannot be read (reason: the store's words)
        ListUnreadable, // the price list cannot be read (reason: the store's words)
        NothingToApply, // no preview, lines that cannot be read, or the sign unknown
        ApplyRefused, // nothing was written (error, and changedMeanwhile() when others changed items)
    };
    struct Outcome {
        Failure failure = Failure::None;
        QString reason;
        bool ok() const { return failure == Failure::None; }
    };

    // The columns a choice of the person sets.
    enum class Role { Category, Id, Description, Price, Cost };

    // An item the file adds with a description, for proposing its attributes.
    using NewItem = DescribedItem;
    // Attributes the person accepted for an item.
    using Accepted = ItemAttributes;

    // rows: the rows' captions (any '&' is left out) with their categories, for files without a
    // category column and for the names of the file's category values.
    ImportSession(Store *store, const QList<std::pair<QString, QString>> &rows);

    // Opens the file: how it is written, its first records, and its columns (the ones remembered
    // for this supplier, else guessed), the decimal sign from its prices.
    Outcome open(const QString &path);
    const QString &path() const { return m_path; }
    QString fileName() const;
    const SupplierFile::Format &format() const { return m_format; }
    // The first records, for choosing the columns; the first may name them (columns().header).
    const QList<QStringList> &firstRecords() const { return m_first; }
    // The columns as chosen; a cost column is left out while the prices are costs.
    SupplierImport::Columns columns() const;
    // The column of costs as chosen, whether the prices are costs or not.
    int costColumn() const { return m_columns.cost; }
    const QStringList &rowNames() const { return m_rowNames; }
    // A category by its row's name; one no row shows, as it stands.
    QString categoryShown(const QString &category) const;

    // The person's choices; each but the last makes the preview void.
    void setFormat(const SupplierFile::Format &format, bool header);
    void setColumn(Role role, int column);
    void setFixedCategory(const QString &category);
    void setPricesAreCosts(bool costs);
    void setRepriceHandSet(bool reprice);
    bool repriceHandSet() const { return m_repriceHandSet; }
    // key: the attribute the column holds; empty: none.
    void setAttributeColumn(int column, const QString &key);
    void chooseDecimal(SupplierImport::DecimalSign sign);
    // row: the category a value of the file goes to; empty: its lines are left out.
    void chooseRow(const QString &value, const QString &row);
    void setRemoveMissing(bool remove) { m_removeMissing = remove; }
    bool removeMissing() const { return m_removeMissing; }

    // The decimal sign; nullopt while the prices read two ways and the person has not chosen.
    std::optional<SupplierImport::DecimalSign> decimal() const { return m_decimal; }
    // A price that reads two ways, as the file writes it, while the sign is to be chosen.
    const QString &decimalSample() const { return m_decimalSample; }
    // The category column's values with their lines (-1: not counted yet, before reading).
    const QList<std::pair<QString, qint64>> &categoryValues() const { return m_categoryValues; }
    // The row a value goes to: chosen, remembered or named; empty: left out; nullopt: unknown.
    std::optional<QString> rowOf(const QString &value) const;

    // Reads the whole file; keepGoing is told how many of its bytes are read, and false stops.
    using ReadProgress = std::function<bool(qint64 bytes, qint64 size)>;
    Outcome read(const ReadProgress &keepGoing = {});
    // Compares what was read with the list, priced by the markup rules when the prices are costs.
    Outcome compare();
    const SupplierImport::Reading &reading() const { return m_reading; }
    const std::optional<ImportPreview> &preview() const { return m_preview; }
    // Prices of the preview that change tenfold or more.
    qsizetype tenfoldCount() const { return m_tenfold; }
    // The preview and what was read would change nothing (attributes count as a change).
    bool changesNothing() const;
    bool canApply() const;
    void invalidate();

    // The new items whose descriptions may give their attributes away.
    QList<NewItem> describedNewItems() const;
    // What the file's own columns say stands over what a description suggests.
    void acceptGuesses(const QList<Accepted> &accepted);

    // Writes the preview; on success the columns are remembered for the supplier's next file.
    Outcome apply(const QDateTime &when, const PriceImport::Progress &keepGoing = {});
    // After a refused Apply: why, and the items other counters changed since the preview.
    const StoreError &applyError() const { return m_applyError; }
    const QList<ImportConflict> &changedMeanwhile() const { return m_conflicts; }

private:
    bool pricesByMarkup();
    void readFirst();
    void fitColumns();
    void guessDecimal(const SupplierImport::Columns &remembered);
    void countValuesOfFirst();
    Outcome readOnce(const ReadProgress &keepGoing);

    Store *m_store;
    QStringList m_rowNames;
    QStringList m_rowCategories;
    QString m_path;
    SupplierFile::Format m_format;
    QList<QStringList> m_first;
    SupplierImport::Columns m_columns;
    std::optional<SupplierImport::DecimalSign> m_decimal;
    QString m_decimalSample;
    QList<std::pair<QString, qint64>> m_categoryValues;
    bool m_repriceHandSet = false;
    bool m_removeMissing = false;
    SupplierImport::Reading m_reading;
    std::optional<ImportPreview> m_preview;
    qsizetype m_tenfold = 0;
    StoreError m_applyError;
    QList<ImportConflict> m_conflicts;
};
