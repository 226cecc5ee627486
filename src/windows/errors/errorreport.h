#pragma once

#include "widgets/windowprinter.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// ErrorReport, the error report window: a trapped error with its context (description, source, time,
// operator, window, active control) and three ways out: go on, print the window and go on, or
// print the window and stop the program on the spot. ShowErrorReport (errorreport.h) fills and
// shows it; the window keeps nothing beyond its texts.
class ErrorReport final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ErrorReport)

public:
    using Printer = std::function<PrintResult(QWidget *window, const QString &jobName)>;

    explicit ErrorReport(QWidget *parent = nullptr);
    ~ErrorReport() override;

    // Ends the program at once: by default the process exits on the spot, so no closing handler,
    // exit routine or pending event runs and nothing is written back. Tests put a recorder here.
    void setEndProgram(std::function<void()> end) { m_endProgram = std::move(end); }
    // Prints the window; by default on the system's default printer.
    void setPrinter(Printer print) { m_print = std::move(print); }

    void setDescription(const QString &text);
    void setSource(const QString &text);
    void setDateTimeLine(const QString &text);
    void setOperatorLine(const QString &text);
    void setScreenLine(const QString &text);
    void setActiveControlLine(const QString &text);

public Q_SLOTS:
    void halt();
    void printScreenAndHalt();
    void printMessageAndHalt();

private:
    void printSelf() noexcept;

    std::function<void()> m_endProgram;
    Printer m_print;

    QLineEdit *m_txterr0 = nullptr;
    QPlainTextEdit *m_txterr1 = nullptr;
    QLineEdit *m_dtDateTime = nullptr;
    QLineEdit *m_dfOperatorName = nullptr;
    QLineEdit *m_dfScreenName = nullptr;
    QLineEdit *m_dfActiveControl = nullptr;
    QPushButton *m_pbPrintMsgAndHalt = nullptr;
    QPushButton *m_pbPrintScreenAndHalt = nullptr;
    QPushButton *m_pbHalt = nullptr;
};
