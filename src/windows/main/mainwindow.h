#pragma once

// MainWindow, the main window: the quotation workspace a salesperson builds an offer on.
//
// How the pieces meet: Main (startup.cpp) creates the Store (the one connection, con1) and this
// window, whose load opens the store and fills the window from the settings rows. The
// seventeen configuration rows (configrow.h) each own their picker, picture, description and
// amount; this window owns the frame around them (title, menus, status bar, client data, total,
// in mainwindow.cpp and mainwindowstatus.cpp) and handles their notifications (mainwindowrows.cpp).
// The shop name and sales executive boxes show the offer; what the settings are is kept apart
// (CounterSettings), changed only by a person's edit of those boxes. Secondary windows are opened
// modally through signals the application's wiring answers, so each stays in its own subsystem.

#include "configrow.h"
#include "core/offer.h"
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
class QPushButton;
class OfferActions;
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

    QString panelText(int panel) const;
    QString panelToolTip(int panel) const;

    // The window's outer width in twips, as the detail toggle sets it.
    int windowWidthTwips() const;

    Store *store() const { return m_store; }
    // The offer as the window shows it.
    const Offer &offer() const { return m_offer; }
    // Shows the offer: fills every box, picker, description and amount (and so the model). The
    // settings are not changed by what it shows.
    void setOffer(const Offer &offer);
    // The shop name and sales executive as the settings now stand, which a new offer starts from.
    const CounterSettings &counterSettings() const { return m_counterSettings; }
    // Why the offer has no total (an amount that cannot be added, named by its row); empty when
    // it has one.
    QString totalProblem() const;
    // The "Offer" menu: saving, opening and re-pricing kept offers.
    OfferActions *offerActions() const { return m_offerActions; }

public Q_SLOTS:
    void exitProgram();
    void shopNameChanged();

    // Configuration rows.
    void fillPicker(int index);
    void itemPicked(int index);
    void pickerKeyDown(int index, int keyCode, int shift);
    void amountChanged(int index);
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

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The close sequence; returns what could not be saved, empty when all went well.
    QString saveOnClosing();
    void buildMenus();
    void buildPriceListMenu();
    void buildStatusBar();
    void buildClientArea();
    void buildClientData(QWidget *client);
    void buildTotalRow();
    void setWindowWidthTwips(int twips);
    void refreshTodayPanel();
    // Names the database the window works on, beside the other panels.
    void showDatabase();
    void buildRows();
    void buildTabOrder();
    bool fillList(int index);
    void lookupItem(int index);
    void computeTotal();
    QString rowName(int index) const;
    static void markAmount(QLineEdit *box, const QString &problem);
    // Asks about an unsaved offer before the window closes or the program ends; false: stay.
    bool settleUnsavedOffer();

    // Set on an amount box whose amount cannot be added; the window's style sheet colours it.
    static constexpr const char *OutOfRangeProperty = "outOfRange";

    Store *m_store;
    PriceListRepository m_priceList;
    CounterSettings m_counterSettings;
    Offer m_offer;
    std::function<void()> m_endProgram;
    std::function<bool(const QString &)> m_closeAfterFailure;
    bool m_loaded = false;
    int m_outerWidthTwips = 0;

    QLineEdit *m_text3 = nullptr;
    QLineEdit *m_text5 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QDateTimeEdit *m_dtPicker1 = nullptr;
    QGroupBox *m_frame1 = nullptr;
    QGroupBox *m_frame2 = nullptr;
    QLabel *m_panels[4] = {};
    QLabel *m_databasePanel = nullptr;
    std::array<std::unique_ptr<ConfigRow>, ConfigRow::Count> m_rows;
    QFrame *m_line1 = nullptr;
    QLineEdit *m_txttotal = nullptr;
    QPushButton *m_cmdinst = nullptr;
    QPushButton *m_cmdprint = nullptr;
    QPushButton *m_command2 = nullptr;
    QPushButton *m_command3 = nullptr;
    QCheckBox *m_check1 = nullptr;
    QTimer *m_todayTimer = nullptr;
    OfferActions *m_offerActions = nullptr;
};
