#pragma once

// ImportWindow (frmimport): reads a supplier's CSV or TSV file into the price list. The person
// picks the file; its encoding, delimiter, decimal sign and columns are guessed (or taken as they
// were for the last file of that name) and can be changed; Preview reads the whole file and shows
// what would change; Apply writes it all in one transaction. Nothing is guessed that could be
// wrong without a word: prices that read two ways wait for the person to choose the decimal sign,
// and a category value that is no row's number or name waits for the person to choose its row.
// The import itself is its ImportSession's; the window shows it, asks and passes the answers on.

#include "core/supplierimport.h"
#include "store/importsession.h"

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

    const std::optional<ImportPreview> &preview() const { return m_session.preview(); }

private:
    std::function<QString()> m_askPath;
    std::function<void(const QString &message, bool failure)> m_tell;
    std::function<void(class AttributeGuessDialog &)> m_askGuesses;
    void buildFormatRow(class QFormLayout *form);
    void buildColumnRow(class QFormLayout *form, const QList<std::pair<QString, QString>> &categories);
    void buildPriceKindRow(class QFormLayout *form);
    void buildPreviewGrid();
    // The removal choice and the buttons under the grids.
    class QHBoxLayout *buildButtonRow();
    void showPriceKind();
    // The file's first records and the choices the session holds for them.
    void showFile();
    void formatChosen();
    // The attribute each other column holds (importwindowattributes.cpp).
    void buildAttributeGrid();
    void fillAttributeGrid();
    QString columnName(int column) const;
    void fillColumnChoices();
    void showColumns();
    SupplierFile::Format chosenFormat() const;
    void compareWithList();
    void showPreview();
    void showSummary();
    // The preview no longer holds: what the window shows of it goes too.
    void invalidate();

    // The decimal sign (importwindowchoices.cpp): guessed by the session, or asked for.
    void showDecimal();
    void decimalChosen();
    // The rows of the file's category values (importwindowchoices.cpp).
    void buildCategoryGrid();
    void fillCategoryGrid();

    ImportSession m_session;

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
