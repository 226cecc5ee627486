#pragma once

// The offer as a document: the page "Print" makes (the window dressed for paper), followed by the
// installment plan's pages when there is one, as one print job or one PDF file.

#include "widgets/planpages.h"
#include "widgets/windowprinter.h"

#include <optional>

class QWidget;

// What draws the whole document; the window is dressed for paper while it runs. The plan's pages
// carry the shop the offer's page shows.
PageDrawer offerDocument(
    QWidget *imrForm, const QString &shop, const std::optional<PlanPrintout> &plan, const QString &heading);
