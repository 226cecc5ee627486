#pragma once

// How the order window's bound fields and grid cells show a column and write it back. Every kind
// turns the person's text into the value the column stores (a number's exact digits, a date, a
// whole-number key) and refuses text that is not of that kind: the stored value then stays as it
// was and invalidInput() says which column and text, so the window can tell the person.
// A text left as it was shown writes nothing, so showing a record never marks it changed.

#include <QHash>
#include <QStyledItemDelegate>

class OrderFieldDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    enum class Kind {
        Text,
        Number, // exact decimal digits; blank is NULL
        Currency, // as Number, shown with the currency sign and two decimals
        Date, // shown "d/MM/yyyy"; blank is NULL
        Key, // a whole number
        ReadOnly, // shown, never edited
    };

    explicit OrderFieldDelegate(QObject *parent = nullptr);
    void setKind(int column, Kind kind) { m_kinds.insert(column, kind); }
    Kind kind(int column) const { return m_kinds.value(column, Kind::Text); }
    // The most characters a cell editor of the column takes (see WindowText::limitLength).
    void setLengthLimit(int column, int maxLength) { m_lengths.insert(column, maxLength); }

    // The text a column's value is shown as.
    QString textFor(int column, const QVariant &value) const;

    QString displayText(const QVariant &value, const QLocale &locale) const override;
    QWidget *createEditor(
        QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

Q_SIGNALS:
    void invalidInput(int column, const QString &text) const;

private:
    QHash<int, Kind> m_kinds;
    QHash<int, int> m_lengths;
};
