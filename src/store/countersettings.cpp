#include "countersettings.h"

#include "core/offerstatus.h"
#include "pricelistrepository.h"
#include "store.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace
{

const QString Company = QStringLiteral("company");
const QString SalesExecutive = QStringLiteral("sp");
const QString ValidDays = QStringLiteral("validdays");

} // namespace

CounterSettings::CounterSettings(
    Store *store, const QString &unsetCompany, const QString &unsetSalesExecutive, const QString &localFile)
    : m_store(store)
    , m_localFile(localFile)
{
    m_company.unset = unsetCompany;
    m_salesExecutive.unset = unsetSalesExecutive;
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
    // A setting that cannot be read is taken as one not set: the counter goes on with what it types.
    const auto read = [&](const QString &id) {
        const auto value = settings.setting(id);
        return value ? *value : std::nullopt;
    };
    m_company.read = read(Company);
    bool whole = false;
    const int days = read(ValidDays).value_or(QString()).trimmed().toInt(&whole);
    m_validDays = whole && days > 0 ? days : OfferStatus::DefaultValidDays;
    m_company.typed.reset();
    m_salesExecutive.read = std::nullopt;
    m_salesExecutive.typed.reset();
    if (m_store->isServer()) {
        const QSettings local(m_localFile, QSettings::IniFormat);
        const QVariant own = local.value(localKey());
        if (own.isValid()) {
            m_salesExecutive.read = own.toString();
            return;
        }
    }
    m_salesExecutive.read = read(SalesExecutive);
}

StoreError CounterSettings::save()
{
    PriceListRepository settings(m_store);
    if (!m_store->isServer()) {
        // One program on the file: both rows are rewritten, a missing one made from its first text.
        StoreError failure
            = settings.rewriteSettings({ { Company, company() }, { SalesExecutive, salesExecutive() } });
        if (failure.isValid())
            return failure;
        m_company.kept();
        m_salesExecutive.kept();
        return {};
    }
    if (m_company.changed()) {
        StoreError failure = settings.rewriteSettings({ { Company, company() } });
        if (failure.isValid())
            return failure;
        m_company.kept();
    }
    if (!m_salesExecutive.changed())
        return {};
    QSettings local(m_localFile, QSettings::IniFormat);
    local.setValue(localKey(), salesExecutive());
    local.sync();
    if (local.status() != QSettings::NoError)
        return StoreError::failed(QStringLiteral("The sales executive could not be kept in %1.")
                                      .arg(QDir::toNativeSeparators(m_localFile)));
    m_salesExecutive.kept();
    return {};
}
