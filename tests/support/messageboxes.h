#pragma once

// While it lives, closes every message box a window shows and keeps its text, for tests of what a
// window says.
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

class MessageBoxes
{
public:
    MessageBoxes()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                said << box->text();
                box->close();
            }
        });
        m_timer.start(5);
    }
    QString text() const { return said.join(QLatin1Char('\n')); }

    QStringList said;

private:
    QTimer m_timer;
};
