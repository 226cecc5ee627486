#pragma once

// An installment plan on paper: a table of every installment (number, due date, amount, balance)
// over as many pages as it needs, each page headed with the shop and the offer it belongs to and
// numbered within the whole document it is part of.

#include "core/plan.h"
#include "windowprinter.h"

#include <QList>
#include <QString>

#include <utility>

class QPagedPaintDevice;
class QPainter;

struct PlanPrintout {
    QString shop; // the shop's name and telephone, as the offer carries them
    QString client;
    // The figures the plan was made from, as caption and text ("Price", "10000.00"), written as they
    // are to go on paper.
    QList<std::pair<QString, QString>> figures;
    QStringList headers; // the four column headers
    Installments::Schedule schedule;
};

// Paints the plan on new pages after the one the painter is on; heading is the line every page
// carries (the offer's number and client). Page numbers count the whole document: pagesBefore
// pages come before the plan's (the offer's page), none after.
PrintResult drawPlanPages(QPainter &painter, QPagedPaintDevice &device, const PlanPrintout &plan,
    const QString &heading, int pagesBefore);

// How many pages the plan takes on a page of this size.
int planPageCount(QPainter &painter, const PlanPrintout &plan);
