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

StoreError CounterSettings::load()
{
    PriceListRepository settings(m_store);
    StoreError failure;
    // A setting that cannot be read shows its first text, and is marked so it is not written.
    const auto read = [&](const QString &id, Setting *into) {
        into->typed.reset();
        const auto value = settings.setting(id);
        into->unreadable = !value;
        into->read = value ? *value : std::nullopt;
        if (!value && !failure.isValid())
            failure = value.error();
    };
    read(Company, &m_company);
    // How long offers hold falls back to its default when unread (it is never written here), and
    // the window says so.
    const auto validDays = settings.setting(ValidDays);
    m_validDaysError = validDays ? StoreError() : validDays.error();
    bool whole = false;
    const int days = validDays && *validDays ? (*validDays)->trimmed().toInt(&whole) : 0;
    m_validDays = whole && days > 0 ? days : OfferStatus::DefaultValidDays;
    if (m_store->isServer()) {
        const QSettings local(m_localFile, QSettings::IniFormat);
        const QVariant own = local.value(localKey());
        if (own.isValid()) {
            m_salesExecutive.typed.reset();
            m_salesExecutive.unreadable = false;
            m_salesExecutive.read = own.toString();
            return failure;
        }
    }
    read(SalesExecutive, &m_salesExecutive);
    return failure;
}

StoreError CounterSettings::save()
{
    PriceListRepository settings(m_store);
    if (!m_store->isServer()) {
        // One program on the file: both rows are rewritten, a missing one made from its first text;
        // one that could not be read only when its person typed a value for it.
        QList<std::pair<QString, QString>> rows;
        if (m_company.mayBeWritten())
            rows.append({ Company, company() });
        if (m_salesExecutive.mayBeWritten())
            rows.append({ SalesExecutive, salesExecutive() });
        if (rows.isEmpty())
            return {};
        StoreError failure = settings.rewriteSettings(rows);
        if (failure.isValid())
            return failure;
        if (m_company.mayBeWritten())
            m_company.kept();
        if (m_salesExecutive.mayBeWritten())
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
