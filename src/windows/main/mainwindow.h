#pragma once

// MainWindow, the main window: the quotation workspace a salesperson builds an offer on.
//
// How the pieces meet: Main (startup.cpp) creates the Store (the one connection, con1) and this
// window, whose load opens the store and fills the window from the settings rows. The offer itself
// lives in an OfferModel (core/offermodel.h): the window is its view. What a person types goes into
// the model, and the seventeen configuration rows (configrow.h), the client data and the total show
// what it holds (mainwindowrows.cpp). This window owns the frame around them (title, menus, status
// bar, in mainwindow.cpp and mainwindowstatus.cpp); the "Offer" menu and the label with the offer's
// number are OfferActions' (offeractions.h), which work on the model alone. The shop name and sales
// executive boxes show the offer; what the settings are is kept apart (CounterSettings), changed
// only by a person's edit of those boxes. Secondary windows are opened modally through signals the
// application's wiring answers, so each stays in its own subsystem.

#include "configrow.h"
#include "core/offermodel.h"
#include "store/countersettings.h"
#include "store/pricelistrepository.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QDateTimeEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class FitWarnings;
class MarginView;
class OfferActions;
class QPixmap;
class QTimer;
class Store;

class MainWindow final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    explicit MainWindow(Store *store, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The load sequence. Returns false when the connection could not be opened; the window must
    // then not be shown, and connectionFailureMessage() holds the text to show.
    bool load();
    QString connectionFailureMessage() const;

    // What ends the program at once (File > Exit); tests replace it.
    void setEndProgram(std::function<void()> end) { m_endProgram = std::move(end); }
    // Asked when the settings could not be saved on closing: true closes anyway; tests replace it.
    void setCloseAfterFailure(std::function<bool(const QString &)> ask)
    {
        m_closeAfterFailure = std::move(ask);
    }

    const ConfigRow &row(int index) const { return *m_rows.at(static_cast<size_t>(index)); }
    // What a row is called, the category it picks from and its picture (null for the last row),
    // for the windows that work on one row's category.
    QString rowCaption(int index) const;
    QString rowCategory(int index) const;
    QPixmap rowPicture(int index) const;

    QString panelText(int panel) const;
    QString panelToolTip(int panel) const;

    // The window's outer width in twips, as the detail toggle sets it.
    int windowWidthTwips() const;

    Store *store() const { return m_store; }
    // The offer the window shows, and the one way to change it. The settings are not changed by
    // what it shows.
    OfferModel *offerModel() const { return m_model; }
    const Offer &offer() const { return m_model->offer(); }
    // The shop name and sales executive as the settings now stand, which a new offer starts from.
    const CounterSettings &counterSettings() const { return m_counterSettings; }
    // Why the offer has no total (an amount that cannot be added, named by its row); empty when
    // it has one.
    QString totalProblem() const;
    // The "Offer" menu: saving, opening and re-pricing kept offers.
    OfferActions *offerActions() const { return m_offerActions; }
    // Whether the chosen parts fit (their attributes are read again by refresh()).
    FitWarnings *fitWarnings() const { return m_fitWarnings; }
    // The offer's margins on screen (Offer > Show Margins).
    MarginView *marginView() const { return m_margins; }
    // "Row RAM is 150.00 below cost." for each row sold below its cost, for asking before the
    // offer is kept or printed.
    QStringList belowCostReasons() const;

public Q_SLOTS:
    void exitProgram();
    void shopNameChanged();

    // Configuration rows.
    void fillPicker(int index);
    void itemPicked(int index);
    void pickerKeyDown(int index, int keyCode, int shift);
    void amountLeft(int index);

    // Detail and price toggles.
    void toggleDetail();
    void togglePrices();

    void printOffer();
    // The "Total Price" button and File > Installments.
    void requestInstallments();

Q_SIGNALS:
    // Requests for the secondary windows, answered by whoever wires the program together (each
    // opens modally, so the main window takes no input meanwhile).
    void installmentsRequested();
    void aboutRequested();
    void ordersRequested();
    // The price-list editor for one row's category (its category button).
    void priceListRequested(int index);
    // The "Price List" menu: reading a supplier's file into the list, writing the list to a file.
    void priceListImportRequested();
    void priceListExportRequested();
    void priceListMarkupRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The close sequence; returns what could not be saved, empty when all went well.
    QString saveOnClosing();
    void buildMenus();
    void buildPriceListMenu();
    // Menus of their own go after the others, before Help.
    void addMenuBeforeHelp(QMenu *menu);
    void buildStatusBar();
    void buildClientArea();
    void buildClientData(QWidget *client);
    void buildTotalRow();
    void setWindowWidthTwips(int twips);
    // Sizes the window, the frame, the line and the total for the detail as the toggle shows it.
    void layOutDetail();
    void refreshTodayPanel();
    // Names the database the window works on, beside the other panels.
    void showDatabase();
    void buildRows();
    void buildTabOrder();
    void buildOfferActions();
    bool fillList(int index);
    // Tells that the row's price list could not be read, and why.
    void sayListUnread(int index, const StoreError &failure);
    // The id the picker shows is the row's id once the person acts on the row.
    void takePickerText(int index);
    void lookupItem(int index);
    // The views of the model.
    void showHeader();
    void showRow(int index);
    void showTotal();
    // Asks about an unsaved offer before the window closes or the program ends; false: stay.
    bool settleUnsavedOffer();
    // A warning shown as the window comes up, the window going on behind it.
    void warnSoon(const QString &name, const QString &text);

    Store *m_store;
    PriceListRepository m_priceList;
    CounterSettings m_counterSettings;
    OfferModel *m_model;
    std::function<void()> m_endProgram;
    std::function<bool(const QString &)> m_closeAfterFailure;
    bool m_loaded = false;
    int m_outerWidthTwips = 0;

    // Each control keeps the program's name as its object name, given beside it.
    QLineEdit *m_shopBox = nullptr; // Text3
    QLineEdit *m_sellerBox = nullptr; // Text5
    QLineEdit *m_clientBox = nullptr; // Text2
    QDateTimeEdit *m_dateBox = nullptr; // DTPicker1
    QGroupBox *m_configurationFrame = nullptr; // Frame1
    QGroupBox *m_clientFrame = nullptr; // Frame2
    QLabel *m_panels[4] = {}; // StatusBar1Panel1 to 4
    QLabel *m_databasePanel = nullptr;
    std::array<std::unique_ptr<ConfigRow>, ConfigRow::Count> m_rows;
    QFrame *m_totalLine = nullptr; // Line1
    QLineEdit *m_totalBox = nullptr; // txttotal
    QPushButton *m_installmentsButton = nullptr; // cmdinst(0)
    QPushButton *m_printButton = nullptr; // cmdprint
    QPushButton *m_detailToggle = nullptr; // Command2
    QPushButton *m_priceToggle = nullptr; // Command3
    QCheckBox *m_printImagesBox = nullptr; // Check1
    QTimer *m_todayTimer = nullptr;
    OfferActions *m_offerActions = nullptr;
    FitWarnings *m_fitWarnings = nullptr;
    MarginView *m_margins = nullptr;
};
