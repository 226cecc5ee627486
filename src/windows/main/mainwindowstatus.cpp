// The main window's status bar: the maker's notice, the version, the price list's date and today's
// date. The load sequence (mainwindow.cpp) fills the first three; the fourth keeps itself.
#include "mainwindow.h"

#include "store/store.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>

void MainWindow::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(bar);
        m_panels[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i + 1));
        m_panels[i]->setFrameShape(QFrame::StyledPanel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
        if (i == 0)
            bar->addWidget(m_panels[i], 1);
        else
            bar->addPermanentWidget(m_panels[i]);
    }
    // Counters sharing a server must see at a glance that they do; the panel stays empty until the
    // database is open.
    m_databasePanel = new QLabel(bar);
    m_databasePanel->setObjectName(QStringLiteral("DatabasePanel"));
    m_databasePanel->setFrameShape(QFrame::StyledPanel);
    m_databasePanel->setFrameShadow(QFrame::Sunken);
    m_databasePanel->hide();
    bar->addPermanentWidget(m_databasePanel);
    m_panels[2]->setText(QStringLiteral("DB Date"));
    m_panels[2]->setToolTip(QStringLiteral("Data Base Last modification date"));
    // Panel 4 keeps today's date by itself, also across midnight.
    m_todayTimer = new QTimer(this);
    m_todayTimer->setSingleShot(true);
    connect(m_todayTimer, &QTimer::timeout, this, &MainWindow::refreshTodayPanel);
    refreshTodayPanel();
}

void MainWindow::refreshTodayPanel()
{
    const QDateTime now = QDateTime::currentDateTime();
    m_panels[3]->setText(QLocale().toString(now.date(), QLocale::ShortFormat));
    const QDateTime nextMidnight(now.date().addDays(1), QTime(0, 0, 1));
    m_todayTimer->start(
        static_cast<int>(std::clamp<qint64>(now.msecsTo(nextMidnight), 1000, 24 * 3600 * 1000)));
}

void MainWindow::showDatabase()
{
    const QString name = m_store->isServer() ? m_store->shortName() : QFileInfo(m_store->path()).fileName();
    m_databasePanel->setText(name);
    m_databasePanel->setToolTip(QStringLiteral("Works on ") + QDir::toNativeSeparators(m_store->path()));
    m_databasePanel->show();
}

QString MainWindow::panelText(int panel) const
{
    return (panel >= 1 && panel <= 4) ? m_panels[panel - 1]->text() : QString();
}

QString MainWindow::panelToolTip(int panel) const
{
    return (panel >= 1 && panel <= 4) ? m_panels[panel - 1]->toolTip() : QString();
}
