#pragma once

#include <QString>
#include <QStringList>

// Writing comma-separated text the way spreadsheets read it: a field is quoted when it holds the
// delimiter, a quote, a line break or blanks at either end, and its quotes are doubled.
namespace CsvText
{

QString field(const QString &text, QChar delimiter = u',');
// The fields joined, ended by CR LF.
QString line(const QStringList &fields, QChar delimiter = u',');

} // namespace CsvText
