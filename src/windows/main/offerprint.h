#pragma once

// Printing the offer: the main window dressed for paper, printed as one page, and put back exactly
// as it was. The main window is reached only through its controls' object names (cmdprint, Command2,
// Frame1, Frame2, Label1(i), Label2, Label4, Label5, GridCombo1(i), Check1, Image1(i), Image2(i)),
// so any window carrying those names can be printed this way. The client the job and the file are
// named after comes from the offer, given by the caller.

#include "widgets/windowprinter.h"

#include <QPointer>

#include <functional>
#include <vector>

class QColor;
class QLabel;
class QLineEdit;
class QWidget;

// While it lives, the main window wears its paper dress: print button, detail toggle and pickers
// hidden, white (the palette's highlighted-text colour) behind the window, its frames and labels,
// the category pictures according to "Print Images" (descriptions moved clear of the print copies),
// boxes and buttons drawn as plain outlines, boxes showing the beginning of their text. Whatever is changed
// is remembered and undone in reverse order by restore() or the destructor, so the window comes back exactly
// as it was however printing ends (failure or exception included). Controls that are missing are left out.
class OfferPaperDress final
{
    Q_DISABLE_COPY_MOVE(OfferPaperDress)

public:
    explicit OfferPaperDress(QWidget *imrForm);
    ~OfferPaperDress();
    void restore();

    // Rows whose screen picture has a white print copy.
    static bool hasPrintCopy(int row);

private:
    void hide(QWidget *widget);
    // The margins and the marks of rows below cost; the room they took is given back.
    void hideMargins(QWidget *imrForm);
    void narrow(QWidget *widget, int by);
    void show(QWidget *widget);
    void paper(QWidget *widget, const QColor &colour);
    void styleSheet(QWidget *widget, const QString &rules);
    void makeRoomForCopies(QWidget *imrForm);
    void showBeginning(QLineEdit *box);
    void plainLetters(QWidget *widget, bool plainText);
    void flatten(QLabel *picture, const QColor &colour);

    std::vector<std::function<void()>> m_undo;
};

class OfferPrint final
{
    Q_DISABLE_COPY_MOVE(OfferPrint)

public:
    using PrintFunction = std::function<PrintResult(QWidget *window, const QString &jobName)>;
    using PdfFunction = std::function<PrintResult(QWidget *window, const QString &pdfPath)>;
    // Told what went wrong, asks whether to keep the offer as a PDF file and where; the empty text
    // means no.
    using AskPdfPath = std::function<QString(const QString &problem, const QString &suggestedPath)>;

    OfferPrint(QWidget *imrForm, const QString &client);

    // The "Print" button: the dressed window goes silently to the default printer. When that
    // fails the person is told why and may save the page as a PDF file instead (asked again with
    // the reason when the file cannot be written). Returns true when the offer ended on paper or
    // in a file. The window is restored in every case.
    bool run();

    // One dressed print with the given print function; the window is restored before it returns.
    PrintResult printDressed(const PrintFunction &print);

    QString jobName() const;
    QString suggestedPdfPath() const;

    // Replaceable parts; by default the real printer, the real PDF writer and dialogs on the window.
    void setPrint(PrintFunction f) { m_print = std::move(f); }
    void setPrintToPdf(PdfFunction f) { m_printToPdf = std::move(f); }
    void setAskPdfPath(AskPdfPath f) { m_askPdfPath = std::move(f); }
    // Tells the person why printing failed and asks for a PDF file to write instead (empty: no).
    QString askPdfPath(const QString &problem, const QString &suggestedPath) const
    {
        return m_askPdfPath(problem, suggestedPath);
    }

private:
    PrintFunction m_print = printWindow;
    PdfFunction m_printToPdf = printWindowToPdf;
    AskPdfPath m_askPdfPath;
    QString askWithDialogs(const QString &problem, const QString &suggestedPath) const;

    QPointer<QWidget> m_form;
    QString m_client; // as names show it: blanks simplified
};
