#pragma once

// A record navigator: first, previous, next and last buttons around a caption saying where the
// current record stands ("3 / 10"). It only asks for moves; whoever owns the records decides
// whether they happen and then tells it the new position.

#include <QWidget>

class QLabel;

class RecordNavigator final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RecordNavigator)

public:
    // name becomes the objectName; the caption is named name + "Position" and the buttons
    // "first", "previous", "next" and "last".
    explicit RecordNavigator(const QString &name, QWidget *parent = nullptr);

    // row: the current record (0-based), or any row outside 0..count-1 when there is none.
    void setPosition(int row, int count);
    QString caption() const;

Q_SIGNALS:
    void firstRequested();
    void previousRequested();
    void nextRequested();
    void lastRequested();

private:
    QLabel *m_position = nullptr;
};
