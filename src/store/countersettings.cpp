#include "countersettings.h"

#include "pricelistrepository.h"
#include "store.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace
{

const QString Company = QStringLiteral("company");
const QString SalesExecutive = QStringLiteral("sp");

} // namespace

CounterSettings::CounterSettings(Store *store, const QString &localFile)
    : m_store(store)
    , m_localFile(localFile)
{
}

QString CounterSettings::defaultLocalFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("brasko/counter.conf"));
}

QString CounterSettings::localKey() const
{
    // One value per server database: a counter may work for two shops.
    return QStringLiteral("salesExecutive/")
        + QString::fromLatin1(m_store->path().toUtf8().toPercentEncoding());
}

void CounterSettings::load()
{
    PriceListRepository settings(m_store);
    m_company = settings.setting(Company);
    m_salesExecutive = std::nullopt;
    if (m_store->isServer()) {
        const QSettings local(m_localFile, QSettings::IniFormat);
        const QVariant own = local.value(localKey());
        if (own.isValid()) {
            m_salesExecutive = own.toString();
            return;
        }
    }
    m_salesExecutive = settings.setting(SalesExecutive);
}

bool CounterSettings::save(const QString &company, const QString &salesExecutive)
{
    PriceListRepository settings(m_store);
    m_error.clear();
    if (!m_store->isServer()) {
        if (settings.rewriteSettings({ { Company, company }, { SalesExecutive, salesExecutive } }))
            return true;
        m_error = m_store->lastError().text();
        return false;
    }
    if (company != m_company && !settings.rewriteSettings({ { Company, company } })) {
        m_error = m_store->lastError().text();
        return false;
    }
    m_company = company;
    QSettings local(m_localFile, QSettings::IniFormat);
    local.setValue(localKey(), salesExecutive);
    local.sync();
    if (local.status() != QSettings::NoError) {
        m_error = QStringLiteral("The sales executive could not be kept in %1.")
                      .arg(QDir::toNativeSeparators(m_localFile));
        return false;
    }
    m_salesExecutive = salesExecutive;
    return true;
}
