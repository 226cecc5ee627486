#pragma once

// A supplier's file, given as its bytes, read as the import reads it: format detected, columns and
// decimal sign guessed (every test file writes its decimals plainly enough to be guessed).

#include "core/supplierfile.h"
#include "core/supplierimport.h"

#include <QBuffer>
#include <QByteArray>

inline SupplierImport::Reading readBytes(const QByteArray &bytes)
{
    QString why;
    const auto format = SupplierFile::detect(bytes, &why);
    if (!format)
        qFatal("%s", qPrintable(why));
    QBuffer header;
    header.setData(bytes);
    header.open(QIODevice::ReadOnly);
    const QList<QStringList> first = SupplierImport::firstRecords(header, *format, 20);
    SupplierImport::Columns columns = SupplierImport::guessColumns(first.value(0));
    QStringList prices;
    for (const QStringList &r : first.mid(1))
        prices << r.value(columns.price);
    // Every file here writes its decimals plainly enough to be guessed.
    const auto guess = SupplierImport::guessDecimal(prices).sign;
    if (!guess)
        qFatal("the decimal sign of these prices cannot be guessed: %s", qPrintable(prices.join(u' ')));
    columns.decimal = *guess;
    QBuffer all;
    all.setData(bytes);
    all.open(QIODevice::ReadOnly);
    bool finished = false;
    return SupplierImport::readItems(all, *format, columns, {}, {}, &finished, &why);
}
