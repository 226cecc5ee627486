#pragma once

#include "keycode.h"
#include "pickerfilter.h"
#include "store/recordset.h"

#include <QWidget>

#include <limits>
#include <memory>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QTableView;
class QToolButton;

// An editable drop-down whose list is a grid of a query's rows: one column per field, headed by
// the field names. The owner fills RowSource when asked (listRequested, at every opening, so the list
// always shows the table as it is now) and can read it back and move its current row.
//
// Keys reach the owner first (keyDown with a key code and shift state, then keyPress for typed
// characters); a key the owner handled itself is dropped with suppressKey() so the text box does not
// also act on it. F4 and Alt+Down open the list; Enter or a click in the list chooses a row.
// Typing while the list is open searches it: only the rows whose id or description contains what
// was typed stay, the first of them current; Backspace takes a character back, Escape closes the
// list and leaves the picker as it was. The owner hears none of those keys. The search gets ready
// while the list is open, a few milliseconds at a time between other events, so no key waits for
// a long list to be read (PickerFilter).
//
// An owner that can tell which items fit (setFitCheck, when it fills the list) gets a toggle
// "Fits" (chkfits, Ctrl+F while the list is open) that leaves only those in the list, whatever is
// typed; items it cannot tell about stay, dimmed. The toggle keeps its state from one opening to
// the next.
//
// Like a combo box, the picker shows its text to screen readers and UI tests as its accessible name
// and value, with an action that opens the list; the text is also its user property "text".
class GridCombo final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GridCombo)
    Q_PROPERTY(QString text READ Text WRITE setText NOTIFY textChanged USER true)

public:
    // Key codes as the notifications carry them: the keyboard's codes of the keys (keycode.h).
    enum KeyCode {
        KeyBack = KeyCodes::Back,
        KeyTab = KeyCodes::Tab,
        KeyReturn = KeyCodes::Return,
        KeyEscape = KeyCodes::Escape,
        KeyPageUp = KeyCodes::PageUp,
        KeyPageDown = KeyCodes::PageDown,
        KeyEnd = KeyCodes::End,
        KeyHome = KeyCodes::Home,
        KeyLeft = KeyCodes::Left,
        KeyUp = KeyCodes::Up,
        KeyRight = KeyCodes::Right,
        KeyDown = KeyCodes::Down,
        KeyDelete = KeyCodes::Delete,
        KeyF4 = KeyCodes::F4
    };
    // Shift state bits.
    enum ShiftBit { ShiftMask = 1, CtrlMask = 2, AltMask = 4 };

    explicit GridCombo(QWidget *parent = nullptr);
    ~GridCombo() override;

    void setRowSource(std::unique_ptr<RecordSet> rows);
    RecordSet *RowSource() const { return m_rows.get(); }

    QString Text() const;
    void setText(const QString &text);

    void SetFocus();
    // The longest text a person can type or paste; texts the program sets are never cut.
    void setMaxLength(int maxLength);
    void suppressKey() { m_suppress = true; }

    bool isListShown() const;
    void showList();
    void hideList();
    QTableView *listView();
    QLineEdit *lineEdit() const { return m_edit; }
    // What was typed into the open list; the empty text when it shows every row.
    QString searchText() const;
    // Whether every row of the list is ready to be searched.
    bool isSearchReady() const;
    // The most rows one step of getting the search ready takes (by default as many as a few
    // milliseconds allow); a test sets it to see a search typed before the list is ready.
    void setSearchStepRows(int rows) { m_stepRows = rows; }

    // How the items of the list set last fit: asked once per item while the list is open; none
    // says every item fits. Set after setRowSource(), which forgets it.
    void setFitCheck(FitCheck check);
    bool fitsOnly() const;
    void setFitsOnly(bool on);

    // Whether a key opens the list (F4, Alt+Down) rather than moving through it.
    static bool opensList(int keyCode, int shift);

Q_SIGNALS:
    void listRequested();
    void itemChosen();
    void keyDown(int keyCode, int shift);
    void keyPress(int charCode);
    void focusLost();
    void textChanged(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void chooseRow(int row);
    void chooseCurrentRow();
    bool handleEditKey(class QKeyEvent *event);
    bool handleListKey(const class QKeyEvent *event);
    void setSearch(const QString &search);
    void fitColumns();
    void startPreparing();
    void prepareSearch(qint64 budgetNs, int maxRows);
    void seekCurrentItem();
    void showFitting(bool on);

    QLineEdit *m_edit = nullptr;
    QToolButton *m_button = nullptr;
    QFrame *m_popup = nullptr;
    QTableView *m_view = nullptr;
    QLabel *m_searchLabel = nullptr;
    QCheckBox *m_fitsBox = nullptr;
    bool m_fitsOffered = false; // the owner has told how items fit
    bool m_fitsOn = false;
    class QTimer *m_preparing = nullptr;
    // The item the picker holds, when the rows read at the list's opening did not have it: it is
    // made current when it is read, unless the person has moved or typed by then.
    QString m_seek;
    int m_seekFrom = 0; // the rows looked at for it
    std::unique_ptr<RecordSet> m_rows;
    std::unique_ptr<PickerFilter> m_filter;
    bool m_suppress = false;
    int m_maxLength = 0;
    int m_stepRows = std::numeric_limits<int>::max();
};
