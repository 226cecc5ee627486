#include "importcolumns.h"

#include "store.h"

namespace
{

const QString Table = QStringLiteral("import_columns");

} // namespace

ImportColumns::ImportColumns(Store *store)
    : m_store(store)
{
}

QSqlError ImportColumns::lastError() const
{
    return m_store->lastError();
}

std::optional<QString> ImportColumns::remembered(const QString &fileName)
{
    m_store->clearError();
    const auto present = m_store->hasTable(Table);
    if (!present || !*present)
        return std::nullopt;
    auto found = m_store->query(
        QStringLiteral("select columns from import_columns where file_name = ?"), { fileName });
    if (!found || !found->moveFirst())
        return std::nullopt;
    return found->text(QStringLiteral("columns"));
}

bool ImportColumns::remember(const QString &fileName, const QString &columns)
{
    return m_store->inTransaction([&] {
        return m_store->execute(
                   QStringLiteral("create table if not exists import_columns (file_name varchar(255)"
                                  " primary key, columns text not null)"),
                   {})
            && m_store->execute(
                QStringLiteral("delete from import_columns where file_name = ?"), { fileName })
            && m_store->execute(
                QStringLiteral("insert into import_columns (file_name, columns) values (?, ?)"),
                { fileName, columns });
    });
}
