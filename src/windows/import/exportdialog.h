#pragma once

// PriceListExportDialog (frmexport): writes the whole price list or one category to a CSV file
// that a spreadsheet opens and the import reads back.

#include <QDialog>

#include <functional>
#include <utility>

class QCheckBox;
class QComboBox;
class QLineEdit;
class Store;

class PriceListExportDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PriceListExportDialog)

public:
    // categories: the rows' captions (access-key ampersands allowed) with their category texts.
    PriceListExportDialog(
        Store *store, const QList<std::pair<QString, QString>> &categories, QWidget *parent = nullptr);

    // Replaceable for tests: the file chooser and the message shown after an export or a failure.
    void setAskPath(std::function<QString(const QString &suggested)> f) { m_askPath = std::move(f); }
    void setTell(std::function<void(const QString &message, bool failure)> f) { m_tell = std::move(f); }

    void chooseFile();
    void exportList();

private:
    std::function<QString(const QString &suggested)> m_askPath;
    std::function<void(const QString &message, bool failure)> m_tell;
    Store *m_store;
    QComboBox *m_category = nullptr;
    QCheckBox *m_costs = nullptr;
    QLineEdit *m_file = nullptr;
};
