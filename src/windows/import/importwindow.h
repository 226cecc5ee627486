#pragma once

// ImportWindow (frmimport): reads a supplier's CSV or TSV file into the price list. The person
// picks the file; its encoding, delimiter, decimal sign and columns are guessed (or taken as they
// were for the last file of that name) and can be changed; Preview reads the whole file and shows
// what would change; Apply writes it all in one transaction. Nothing is guessed that could be
// wrong without a word: prices that read two ways wait for the person to choose the decimal sign,
// and a category value that is no row's number or name waits for the person to choose its row.

#include "core/supplierimport.h"
#include "store/priceimport.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <utility>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
class Store;

class ImportWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ImportWindow)

public:
    // categories: the rows' captions with their category texts, for files without a category column.
    ImportWindow(
        Store *store, const QList<std::pair<QString, QString>> &categories, QWidget *parent = nullptr);
    ~ImportWindow() override;

    // Replaceable for tests: the file chooser and the messages.
    void setAskPath(std::function<QString()> f) { m_askPath = std::move(f); }
    void setTell(std::function<void(const QString &message, bool failure)> f) { m_tell = std::move(f); }
    // Runs the guesses' dialog in place of exec() (tests tick and close it).
    void setAskGuesses(std::function<void(class AttributeGuessDialog &)> f) { m_askGuesses = std::move(f); }

    // Opens a file: guesses (or recalls) how it is written and shows its first lines' columns.
    bool setFile(const QString &path);
    void chooseFile();
    void readPreview();
    void applyImport();
    // Proposes the new items' attributes from their descriptions; those accepted are kept by Apply.
    void guessAttributes();

    const std::optional<ImportPreview> &preview() const { return m_preview; }

private:
    std::function<QString()> m_askPath;
    std::function<void(const QString &message, bool failure)> m_tell;
    std::function<void(class AttributeGuessDialog &)> m_askGuesses;
    void buildFormatRow(class QFormLayout *form);
    void buildColumnRow(class QFormLayout *form, const QList<std::pair<QString, QString>> &categories);
    void buildPriceKindRow(class QFormLayout *form);
    void buildPreviewGrid();
    void showPriceKind();
    // Whether a file that does not say what its prices are holds costs: it does for a shop that
    // prices by markup rules; one that never kept any imports list prices as it always did.
    bool pricesByMarkup();
    // The attribute each other column holds (importwindowattributes.cpp).
    void buildAttributeGrid();
    void fillAttributeGrid(const QMap<int, QString> &chosen);
    QMap<int, QString> chosenAttributeColumns() const;
    void fillColumnChoices();
    void showColumns(const SupplierImport::Columns &columns);
    SupplierImport::Columns chosenColumns() const;
    SupplierFile::Format chosenFormat() const;
    // What the items read would change in the list, priced by the markup when they are costs.
    void compareWithList(const SupplierImport::Columns &columns);
    void showPreview();
    QString categoryShown(const QString &category) const;
    void showSummary();
    void invalidate();

    // The decimal sign (importwindowchoices.cpp): guessed from the price column of the first
    // records, or asked for.
    void guessDecimal(const SupplierImport::Columns &remembered);
    void askDecimal(const QString &sample);
    void showDecimal(std::optional<SupplierImport::DecimalSign> sign);
    void decimalChosen();
    bool decimalKnown() const;
    // The rows of the file's category values (importwindowchoices.cpp).
    void buildCategoryGrid();
    void fillCategoryGrid(const QList<std::pair<QString, qint64>> &values);
    void fillCategoryGridFromFirst();
    void categoryRowChosen(const QString &value, const QString &row);

    Store *m_store;
    QString m_path;
    QList<QStringList> m_first; // the first records, for the column choices
    std::optional<ImportPreview> m_preview;
    SupplierImport::Reading m_reading;
    QStringList m_rowNames; // the rows' captions without their '&', by row
    QMap<QString, QString> m_categoryRows; // chosen by the person or remembered
    bool m_decimalChosen = false;
    qsizetype m_marked = 0; // prices of the preview that change tenfold or more

    QLineEdit *m_file = nullptr;
    QComboBox *m_encoding = nullptr;
    QComboBox *m_delimiter = nullptr;
    QComboBox *m_decimal = nullptr;
    QCheckBox *m_header = nullptr;
    static constexpr int ColumnCount = 5;
    QComboBox *m_columns[ColumnCount] = {}; // category, id, description, price, cost
    QComboBox *m_priceKind = nullptr;
    QCheckBox *m_repriceManual = nullptr;
    QComboBox *m_fixedCategory = nullptr;
    QLabel *m_summary = nullptr;
    QTableWidget *m_grid = nullptr;
    QListWidget *m_problems = nullptr;
    QCheckBox *m_remove = nullptr;
    QPushButton *m_previewButton = nullptr;
    QPushButton *m_apply = nullptr;
    QPushButton *m_guess = nullptr;
    QLabel *m_decimalReadings = nullptr;
    QTableWidget *m_categoryGrid = nullptr;
    QTableWidget *m_attributeGrid = nullptr;
};
