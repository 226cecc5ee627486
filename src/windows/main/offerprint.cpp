#include "offerprint.h"

#include "configrow.h"
#include "marginview.h"
#include "widgets/twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <array>

namespace
{

constexpr int RowCount = 17;
constexpr int PictureRows = 16; // the last row has no picture
constexpr std::array<int, 10> PrintCopyRows = { 1, 2, 3, 5, 7, 8, 9, 13, 14, 15 };
const QString Title = QStringLiteral("Velmont Brasko");

// On paper the boxes and buttons are drawn as plain outlines. The desktop style paints their bevels
// and shadows with translucent colours, and a print system that turns the page into PostScript
// (most printer drivers, the cups-pdf queue) can only make a bitmap of such a spot - taking the
// captions, names and amounts on it along - so they would print blurred and be lost as text.
const QString PaperStyle = QStringLiteral("QPushButton { border: 1px solid palette(dark); border-radius: "
                                          "2px; background: palette(button); padding: 0px; }"
                                          "QLineEdit, QDateTimeEdit { border: 1px solid palette(mid); "
                                          "background: palette(base); padding: 0px 1px; }"
                                          "QDateTimeEdit::drop-down { width: 0px; border: none; }");

QString indexed(const char *name, int index)
{
    return QString::fromLatin1(name) + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

QWidget *control(QWidget *form, const QString &name)
{
    return form->findChild<QWidget *>(name);
}

QWidget *control(QWidget *form, const char *name)
{
    return control(form, QString::fromLatin1(name));
}

bool isChecked(QWidget *form, const char *name)
{
    const auto *box = form->findChild<QCheckBox *>(QString::fromLatin1(name));
    return box && box->checkState() == Qt::Checked;
}

} // namespace

bool OfferPaperDress::hasPrintCopy(int row)
{
    return std::find(PrintCopyRows.begin(), PrintCopyRows.end(), row) != PrintCopyRows.end();
}

OfferPaperDress::OfferPaperDress(QWidget *imrForm)
{
    if (!imrForm)
        return;
    // The focus is parked first and comes back last: a hidden focus widget would otherwise send the
    // focus wandering through the rows, and a focused box prints its text cursor.
    if (QWidget *focus = QApplication::focusWidget(); focus && imrForm->isAncestorOf(focus)) {
        focus->clearFocus();
        m_undo.emplace_back([focus = QPointer<QWidget>(focus)] {
            if (focus && focus->isVisible())
                focus->setFocus(Qt::OtherFocusReason);
        });
    }

    hide(control(imrForm, "cmdprint"));
    hide(control(imrForm, "Command2"));
    // Whether the parts fit is the counter's business, not the customer's.
    hide(control(imrForm, "lstcompat"));
    // So is what the offer earns, and where it stands with the shop (ordered, superseded).
    hideMargins(imrForm);
    hide(control(imrForm, "lblstatus"));
    styleSheet(imrForm, PaperStyle);
    plainLetters(imrForm, true);
    for (QWidget *child : imrForm->findChildren<QWidget *>())
        plainLetters(child, !qobject_cast<QAbstractButton *>(child));
    // A box too narrow for its text shows the end of it after typing; paper shows the beginning.
    const QList<QLineEdit *> boxes = imrForm->findChildren<QLineEdit *>();
    for (QLineEdit *box : boxes)
        showBeginning(box);

    // The paper colour is the palette's highlighted-text colour: white in the usual schemes.
    const QColor paperColour = imrForm->palette().color(QPalette::Active, QPalette::HighlightedText);
    paper(imrForm, paperColour);
    paper(control(imrForm, "Frame1"), paperColour);
    paper(control(imrForm, "Frame2"), paperColour);
    for (int row = 0; row < RowCount; ++row) {
        paper(control(imrForm, indexed("Label1", row)), paperColour);
        hide(control(imrForm, indexed("GridCombo1", row)));
        hide(control(imrForm, indexed("imgcompat", row)));
    }
    paper(control(imrForm, "Label4"), paperColour);
    paper(control(imrForm, "Label2"), paperColour);
    paper(control(imrForm, "Label5"), paperColour);

    if (isChecked(imrForm, "Check1")) {
        // Pictures with the window's grey behind them give way to their white copies.
        for (int row : PrintCopyRows) {
            hide(control(imrForm, indexed("Image1", row)));
            show(control(imrForm, indexed("Image2", row)));
        }
        makeRoomForCopies(imrForm);
        for (int row = 0; row < PictureRows; ++row) {
            flatten(imrForm->findChild<QLabel *>(indexed("Image1", row)), paperColour);
            flatten(imrForm->findChild<QLabel *>(indexed("Image2", row)), paperColour);
        }
    } else {
        for (int row = 0; row < PictureRows; ++row)
            hide(control(imrForm, indexed("Image1", row)));
    }
}

void OfferPaperDress::flatten(QLabel *picture, const QColor &colour)
{
    // Icons with a see-through background are laid on the paper colour: the only translucency
    // left on the page would otherwise turn the whole page into a bitmap on a PostScript printer.
    if (!picture || picture->isHidden())
        return;
    const QPixmap was = picture->pixmap();
    if (was.isNull() || !was.hasAlphaChannel())
        return;
    QPixmap flat(was.size());
    flat.setDevicePixelRatio(was.devicePixelRatio());
    flat.fill(colour);
    {
        QPainter painter(&flat);
        painter.drawPixmap(0, 0, was);
    }
    picture->setPixmap(flat);
    m_undo.emplace_back([picture = QPointer<QLabel>(picture), was] {
        if (picture)
            picture->setPixmap(was);
    });
}

void OfferPaperDress::makeRoomForCopies(QWidget *imrForm)
{
    // The print copies stand over the first letters of the descriptions. The descriptions then
    // start after the rightmost copy, all in one column, and may use the room up to the amounts.
    int copiesRight = -1;
    for (int row : PrintCopyRows) {
        if (const QWidget *copy = control(imrForm, indexed("Image2", row)); copy && !copy->isHidden())
            copiesRight = std::max(copiesRight, copy->geometry().right());
    }
    if (copiesRight < 0)
        return;
    for (int row = 0; row < RowCount; ++row) {
        QWidget *label = control(imrForm, indexed("Label1", row));
        if (!label || !label->parentWidget())
            continue;
        const int gap = label->logicalDpiX() / 16;
        const QRect was = label->geometry();
        const int left = copiesRight + 1 + gap;
        if (left <= was.left())
            continue;
        int limit = label->parentWidget()->width();
        if (const QWidget *amount = control(imrForm, indexed("text1", row));
            amount && amount->parentWidget() == label->parentWidget())
            limit = std::min(limit, amount->x());
        const int right = std::max(was.right(), limit - 1 - gap);
        label->setGeometry(QRect(QPoint(left, was.top()), QPoint(right, was.bottom())));
        m_undo.emplace_back([label = QPointer<QWidget>(label), was] {
            if (label)
                label->setGeometry(was);
        });
    }
}

void OfferPaperDress::plainLetters(QWidget *widget, bool plainText)
{
    // Names, descriptions and headings are drawn without ligatures on paper: a PDF then holds "fi"
    // as the two letters it is, so searching the page finds the words. Scripts that need shaping
    // keep it. Button captions keep their exact widths (they fill their buttons and hold no such
    // pairs), so they are pinned to shaping rather than taking it from their parent.
    const bool ownFont = widget->testAttribute(Qt::WA_SetFont);
    const QFont was = widget->font();
    QFont plain = was;
    const int strategy = plainText ? (plain.styleStrategy() | QFont::PreferNoShaping)
                                   : (plain.styleStrategy() & ~QFont::PreferNoShaping);
    plain.setStyleStrategy(QFont::StyleStrategy(strategy));
    widget->setFont(plain);
    m_undo.emplace_back([widget = QPointer<QWidget>(widget), ownFont, was] {
        if (widget)
            widget->setFont(ownFont ? was : QFont());
    });
}

void OfferPaperDress::showBeginning(QLineEdit *box)
{
    if (box->hasSelectedText() || box->cursorPosition() == 0)
        return;
    const int was = box->cursorPosition();
    box->setCursorPosition(0);
    m_undo.emplace_back([box = QPointer<QLineEdit>(box), was] {
        if (box)
            box->setCursorPosition(was);
    });
}

void OfferPaperDress::styleSheet(QWidget *widget, const QString &rules)
{
    const QString was = widget->styleSheet();
    widget->setStyleSheet(was + rules);
    m_undo.emplace_back([widget = QPointer<QWidget>(widget), was] {
        if (widget)
            widget->setStyleSheet(was);
    });
}

OfferPaperDress::~OfferPaperDress()
{
    restore();
}

void OfferPaperDress::restore()
{
    while (!m_undo.empty()) {
        const std::function<void()> undo = std::move(m_undo.back());
        m_undo.pop_back();
        undo();
    }
}

void OfferPaperDress::hideMargins(QWidget *imrForm)
{
    QWidget *total = control(imrForm, "lblmargintotal");
    // The window makes room for the margins only while it shows the detail; collapsed, they stand
    // outside the frame and there is nothing to give back.
    QWidget *frame = control(imrForm, "Frame1");
    if (total && !total->isHidden() && frame && total->x() < frame->width()) {
        // The column the margins stand in is given back, so the page is laid out as without it.
        const int column = Twips::toX(imrForm, MarginView::ColumnTwips);
        narrow(imrForm, column);
        narrow(frame, column);
    }
    hide(total);
    for (int row = 0; row < RowCount; ++row) {
        hide(control(imrForm, indexed("lblmargin", row)));
        auto *amount = qobject_cast<QLineEdit *>(control(imrForm, indexed("text1", row)));
        if (!amount || !amount->property(ConfigRow::BelowCostProperty).toBool())
            continue;
        const auto mark = [](QWidget *box, bool marked) {
            box->setProperty(ConfigRow::BelowCostProperty, marked);
            box->style()->unpolish(box);
            box->style()->polish(box);
        };
        mark(amount, false);
        m_undo.emplace_back([amount = QPointer<QWidget>(amount), mark] {
            if (amount)
                mark(amount, true);
        });
    }
}

void OfferPaperDress::narrow(QWidget *widget, int by)
{
    if (!widget)
        return;
    const QSize minimum = widget->minimumSize();
    const QSize maximum = widget->maximumSize();
    const QSize size = widget->size();
    if (minimum.width() == maximum.width())
        widget->setFixedWidth(size.width() - by);
    else
        widget->resize(size.width() - by, size.height());
    m_undo.emplace_back([widget = QPointer<QWidget>(widget), minimum, maximum, size] {
        if (!widget)
            return;
        widget->setMinimumSize(minimum);
        widget->setMaximumSize(maximum);
        widget->resize(size);
    });
}

void OfferPaperDress::hide(QWidget *widget)
{
    if (!widget || widget->isHidden())
        return;
    widget->hide();
    m_undo.emplace_back([widget = QPointer<QWidget>(widget)] {
        if (widget)
            widget->show();
    });
}

void OfferPaperDress::show(QWidget *widget)
{
    if (!widget || !widget->isHidden())
        return;
    widget->show();
    m_undo.emplace_back([widget = QPointer<QWidget>(widget)] {
        if (widget)
            widget->hide();
    });
}

void OfferPaperDress::paper(QWidget *widget, const QColor &colour)
{
    if (!widget)
        return;
    // Put back exactly what was there: a palette of its own, or none (so the window's palette and
    // the user's colour scheme reach it again), and whether it fills its background at all.
    const bool ownPalette = widget->testAttribute(Qt::WA_SetPalette);
    const QPalette palette = widget->palette();
    const bool autoFill = widget->autoFillBackground();
    QPalette dressed = palette;
    dressed.setColor(QPalette::Window, colour);
    widget->setPalette(dressed);
    widget->setAutoFillBackground(true);
    m_undo.emplace_back([widget = QPointer<QWidget>(widget), ownPalette, palette, autoFill] {
        if (!widget)
            return;
        widget->setAutoFillBackground(autoFill);
        widget->setPalette(ownPalette ? palette : QPalette());
    });
}

OfferPrint::OfferPrint(QWidget *imrForm, const QString &client)
    : m_form(imrForm)
    , m_client(client.simplified())
{
    m_askPdfPath = [this](const QString &problem, const QString &suggestedPath) {
        return askWithDialogs(problem, suggestedPath);
    };
}

PrintResult OfferPrint::printDressed(const PrintFunction &printer)
{
    if (!m_form)
        return { false, QStringLiteral("There is no offer window to print.") };
    OfferPaperDress dress(m_form);
    return printer(m_form, jobName());
}

bool OfferPrint::run()
{
    const PrintResult printed = printDressed(m_print);
    if (printed.ok)
        return true;
    QString problem = QStringLiteral("The offer was not printed.\n\n") + printed.error;
    for (;;) {
        const QString path = m_askPdfPath ? m_askPdfPath(problem, suggestedPdfPath()) : QString();
        if (path.isEmpty() || !m_form)
            return false;
        const PrintResult saved = printDressed(
            [this, &path](QWidget *window, const QString &) { return m_printToPdf(window, path); });
        if (saved.ok)
            return true;
        problem = QStringLiteral("The offer was not saved.\n\n") + saved.error;
    }
}

QString OfferPrint::jobName() const
{
    return m_client.isEmpty() ? QStringLiteral("Velmont Brasko offer")
                              : QStringLiteral("Velmont Brasko offer - ") + m_client;
}

QString OfferPrint::suggestedPdfPath() const
{
    QString name = QStringLiteral("Offer");
    if (!m_client.isEmpty())
        name += QLatin1Char(' ') + m_client;
    name += QLatin1Char(' ') + QDate::currentDate().toString(Qt::ISODate);
    // Characters no file system on the counter's computer would take in a name.
    for (QChar &c : name) {
        if (c.unicode() < 32 || QStringView(u"/\\:*?\"<>|").contains(c))
            c = u'_';
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir(folder).filePath(name + QStringLiteral(".pdf"));
}

QString OfferPrint::askWithDialogs(const QString &problem, const QString &suggestedPath) const
{
    QMessageBox box(QMessageBox::Warning, Title,
        problem + QStringLiteral("\n\nYou can keep the offer as a PDF file instead."), QMessageBox::NoButton,
        m_form);
    QPushButton *save = box.addButton(QStringLiteral("Save as &PDF..."), QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(save);
    box.exec();
    if (box.clickedButton() != save || !m_form)
        return {};
    // A dialog of our own rather than getSaveFileName: with a default suffix the overwrite question
    // is asked about the file really written, also when the name is typed without ".pdf".
    QFileDialog files(m_form, QStringLiteral("Save the offer as PDF"), QFileInfo(suggestedPath).path(),
        QStringLiteral("PDF files (*.pdf)"));
    files.setAcceptMode(QFileDialog::AcceptSave);
    files.setDefaultSuffix(QStringLiteral("pdf"));
    files.selectFile(QFileInfo(suggestedPath).fileName());
    if (files.exec() != QDialog::Accepted || !m_form)
        return {};
    return files.selectedFiles().value(0);
}
