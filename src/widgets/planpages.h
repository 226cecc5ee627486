#pragma once

// An installment plan on paper: a table of every installment (number, due date, amount, balance)
// over as many pages as it needs, each page headed with the offer it belongs to and numbered.

#include "core/plan.h"
#include "windowprinter.h"

#include <QList>
#include <QString>

#include <utility>

class QPagedPaintDevice;
class QPainter;

struct PlanPrintout {
    QString client;
    // The figures the plan was made from, as caption and text ("Price", "10000.00").
    QList<std::pair<QString, QString>> figures;
    QStringList headers; // the four column headers
    Installments::Schedule schedule;
};

// Paints the plan on new pages after the one the painter is on; heading is the line every page
// carries (the offer's number and client). Page numbers count the plan's own pages.
PrintResult drawPlanPages(
    QPainter &painter, QPagedPaintDevice &device, const PlanPrintout &plan, const QString &heading);

// How many pages the plan takes on a page of this size.
int planPageCount(QPainter &painter, const PlanPrintout &plan);
