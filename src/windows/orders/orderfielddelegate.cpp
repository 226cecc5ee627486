#include "orderfielddelegate.h"

#include "core/amount.h"
#include "orders/orderdatacontrol.h"
#include "orders/orderdb.h"
#include "widgets/windowtext.h"

#include <QDate>
#include <QLineEdit>

namespace
{

const QString dateFormat = QStringLiteral("d/MM/yyyy");

QDate dateOf(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QDate || value.metaType().id() == QMetaType::QDateTime)
        return value.toDate();
    return QDate::fromString(value.toString().left(10), Qt::ISODate);
}

// A NULL of the column's own type, so the driver can bind it.
QVariant nullFor(const QAbstractItemModel *model, int column)
{
    if (const auto *control = qobject_cast<const OrderDataControl *>(model))
        return control->nullValue(column);
    return QVariant();
}

} // namespace

OrderFieldDelegate::OrderFieldDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

QString OrderFieldDelegate::textFor(int column, const QVariant &value) const
{
    if (value.isNull())
        return QString();
    switch (kind(column)) {
    case Kind::Number:
        if (const std::optional<Decimal> d = Decimal::fromPlain(value.toString().trimmed()))
            return d->plainText();
        return value.toString();
    case Kind::Currency:
        return OrderDb::currencyText(value.toString()).value_or(value.toString());
    case Kind::Date: {
        const QDate d = dateOf(value);
        return d.isValid() ? d.toString(dateFormat) : value.toString();
    }
    case Kind::Text:
    case Kind::Key:
    case Kind::ReadOnly:
        break;
    }
    return value.toString();
}

QString OrderFieldDelegate::displayText(const QVariant &value, const QLocale &locale) const
{
    // The grid asks without a column; its numbers are shown as stored, dates in the window's form.
    if (value.metaType().id() == QMetaType::QDate)
        return value.toDate().toString(dateFormat);
    return QStyledItemDelegate::displayText(value, locale);
}

QWidget *OrderFieldDelegate::createEditor(
    QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    Q_UNUSED(option)
    if (kind(index.column()) == Kind::ReadOnly)
        return nullptr;
    // Always a plain line: the stock editors pick spin boxes by the value's type, whose limits
    // and decimals would change what is typed.
    auto *line = new QLineEdit(parent);
    line->setFrame(false);
    if (const int limit = m_lengths.value(index.column()); limit > 0)
        WindowText::limitLength(line, limit);
    return line;
}

void OrderFieldDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        line->setText(textFor(index.column(), index.data(Qt::EditRole)));
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void OrderFieldDelegate::setModelData(
    QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (!line) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    const int column = index.column();
    const QString text = line->text();
    if (text == textFor(column, index.data(Qt::EditRole)))
        return;
    const bool blank = text.trimmed().isEmpty();
    QVariant value;
    switch (kind(column)) {
    case Kind::ReadOnly:
        return;
    case Kind::Text:
        value = text;
        break;
    case Kind::Number:
    case Kind::Currency: {
        if (blank) {
            value = nullFor(model, column);
            break;
        }
        const std::optional<Decimal> d
            = kind(column) == Kind::Currency ? OrderDb::currencyValue(text) : Amounts::localeNumber(text);
        if (!d) {
            Q_EMIT invalidInput(column, text);
            return;
        }
        value = d->exactText();
        break;
    }
    case Kind::Date: {
        if (blank) {
            value = nullFor(model, column);
            break;
        }
        const QDate d = QDate::fromString(text.trimmed(), QStringLiteral("d/M/yyyy"));
        if (!d.isValid()) {
            Q_EMIT invalidInput(column, text);
            return;
        }
        value = d;
        break;
    }
    case Kind::Key: {
        const std::optional<qint32> key = OrderDb::keyValue(text);
        if (!key) {
            Q_EMIT invalidInput(column, text);
            return;
        }
        value = *key;
        break;
    }
    }
    model->setData(index, value, Qt::EditRole);
}
