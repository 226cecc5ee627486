#include "mainwindow.h"

#include <QMenuBar>

void MainWindow::buildPriceListMenu()
{
    auto *menu = new QMenu(tr("&Price List"), menuBar());
    menu->setObjectName(QStringLiteral("mnupricelist"));
    QAction *import = menu->addAction(tr("&Import..."));
    import->setObjectName(QStringLiteral("mnupricelistimport"));
    connect(import, &QAction::triggered, this, [this] { Q_EMIT priceListImportRequested(); });
    QAction *exportList = menu->addAction(tr("&Export..."));
    exportList->setObjectName(QStringLiteral("mnupricelistexport"));
    connect(exportList, &QAction::triggered, this, [this] { Q_EMIT priceListExportRequested(); });
    QAction *markup = menu->addAction(tr("&Markup..."));
    markup->setObjectName(QStringLiteral("mnupricelistmarkup"));
    connect(markup, &QAction::triggered, this, [this] { Q_EMIT priceListMarkupRequested(); });
    // After the Offer menu, before Help.
    addMenuBeforeHelp(menu);
}

void MainWindow::addMenuBeforeHelp(QMenu *menu)
{
    const auto *help = menuBar()->findChild<QMenu *>(QStringLiteral("menuhelp"));
    if (help)
        menuBar()->insertMenu(help->menuAction(), menu);
    else
        menuBar()->addMenu(menu);
}
