#pragma once

// IMRForm, the main window: the quotation workspace a salesperson builds an offer on.
//
// How the pieces meet: Main (startup.cpp) creates the Store (the one connection, con1) and this
// window, whose Form_Load opens the store and fills the window from the settings rows. The
// seventeen configuration rows (quote/configrow.h) each own their picker, picture, description and
// amount; this window owns the frame around them (title, menus, status bar, client data, total) and
// handles their notifications. Secondary windows are opened modally through the opener functions,
// so each stays in its own subsystem.

#include <QMainWindow>

#include <functional>

class QAction;
class QCheckBox;
class QDateTimeEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class Store;

class IMRForm final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IMRForm)

public:
    explicit IMRForm(Store *store, QWidget *parent = nullptr);
    ~IMRForm() override;

    // The load sequence. Returns false when the connection could not be opened; the window must
    // then not be shown, and connectionFailureMessage() holds the text to show.
    bool Form_Load();
    QString connectionFailureMessage() const;

    // What ends the program at once (File > Exit); tests replace it.
    void setEndProgram(std::function<void()> end) { m_endProgram = std::move(end); }

    // Secondary windows, opened modally; unset ones do nothing.
    std::function<void()> openInstallments;
    std::function<void()> openAbout;
    std::function<void()> openOrders;

    QString panelText(int panel) const;
    QString panelToolTip(int panel) const;

    // The window's outer width in twips, as the detail toggle sets it.
    int windowWidthTwips() const;

    Store *store() const { return m_store; }

public Q_SLOTS:
    void cmdinst_Click(int index = 0);
    void mnufileinstallments_Click();
    void mnufileexit_Click();
    void menuhelpabout_Click();
    void Text3_Change();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_QueryUnload();
    void buildMenus();
    void buildStatusBar();
    void buildClientArea();
    void setWindowWidthTwips(int twips);
    void refreshTodayPanel();

    Store *m_store;
    std::function<void()> m_endProgram;
    bool m_loaded = false;

    QLineEdit *m_text3 = nullptr;
    QLineEdit *m_text5 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QDateTimeEdit *m_dtPicker1 = nullptr;
    QGroupBox *m_frame1 = nullptr;
    QGroupBox *m_frame2 = nullptr;
    QLabel *m_panels[4] = {};
    QTimer *m_todayTimer = nullptr;
};
