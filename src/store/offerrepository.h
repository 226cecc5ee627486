#pragma once

#include "core/offer.h"
#include "recordset.h"
#include "storeerror.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class Store;

// Which saved offer: its number (given at the first save, never given again) and revision (1 for
// the first save, one more for every later save of the same offer).
struct OfferKey {
    int number = 0;
    int revision = 0;
    bool operator==(const OfferKey &) const = default;
};

// One revision of an offer as it was saved: the offer itself and where and when it was saved.
struct StoredOffer {
    OfferKey key;
    Offer offer;
    QString total; // the total as the window showed it when saved
    QDateTime savedAt;
    QString savedOn; // the computer's name
};

// Which revision was saved, when and on which computer.
struct SavedRevision {
    OfferKey key;
    QDateTime savedAt;
    QString savedOn;
};

// The offers kept in db.mdb, beside the price list. The tables are made (or brought up to date) by
// a numbered schema step the first time they are needed; adt and its settings rows are never
// touched here. A file whose offers were written by a newer program is read but never written.
// Every value is bound, and the SQL is the common subset of SQLite and PostgreSQL. Each call gives
// its failure back with its result, in words for the counter.
class OfferRepository final
{
public:
    // The schema this program writes.
    static constexpr int SchemaVersion = 3;

    explicit OfferRepository(Store *store);

    // The schema version the file holds: 0 when it has no offers yet.
    StoreResult<int> storedSchemaVersion();
    // Creates or upgrades the offer tables. Refuses a newer schema and a file that cannot be
    // written, saying why in words for the counter; an invalid error when the tables are ready.
    StoreError ensureSchema();
    // Whether saving is possible at all: the file can be written and its schema is not newer.
    bool canSave();
    // Why offers cannot be saved in this file, in words for the counter; empty when they can.
    QString writeProblem();

    // Saves the offer as a new one (no number: the next number, revision 1) or as the next
    // revision of the given number after the newest there is, all in one transaction. On failure
    // nothing was written and no number was used up.
    StoreResult<OfferKey> save(const Offer &offer, std::optional<int> number,
        const QDateTime &savedAt = QDateTime::currentDateTime(), const QString &savedOn = QString());
    // A person's work, which started from the revision follows (nullopt: a new offer): saved as the
    // revision after it, unless another counter saved a newer revision of that offer meanwhile.
    // Then nothing is written, and newerRevision() says which; to keep the work anyway, as the
    // newest revision, the person is asked and the save repeated following that one.
    StoreResult<OfferKey> saveFollowing(const Offer &offer, const std::optional<OfferKey> &follows,
        const QDateTime &savedAt = QDateTime::currentDateTime(), const QString &savedOn = QString());
    // What is kept with every revision saved from now on, written in the save's own transaction
    // after the offer: false undoes the whole save.
    void setAlongside(std::function<bool(const OfferKey &key)> write) { m_alongside = std::move(write); }
    // The newest revision that refused the last saveFollowing(); nullopt after any other outcome.
    std::optional<SavedRevision> newerRevision() const { return m_newer; }

    // A revision that is not in the file is a failure that says so.
    StoreResult<StoredOffer> load(const OfferKey &key);

    // Every saved revision, newest first, with the columns Number, Revision, Date, Client, Seller
    // and Total, then what its status is worked out from (OfferStatus): ValidUntil (ISO day, or
    // none for a revision saved before there was one), GivenAt (none when never given), OrderId
    // (none when it became no order) and LaterTaken (1 when a later revision was given or
    // ordered); narrowed to those whose client, number, item id or item description contains the
    // search text (any case) when it is not empty. Rows are fetched as they are shown.
    StoreResult<std::unique_ptr<RecordSet>> list(const QString &search = QString());
    // The same for the offers numbered from low to high only, so a long search can go through the
    // file a slice at a time, newest first.
    StoreResult<std::unique_ptr<RecordSet>> list(const QString &search, int low, int high);
    // The highest number given so far; 0 when there is none.
    StoreResult<int> highestNumber();

    // The newest revision of an offer; nullopt when it has none.
    StoreResult<std::optional<int>> latestRevision(int number);

    // What happened to a revision after it was saved, kept with it (OfferProgress tells the rest):
    // given to the client, the first time only (a reprint is the same offer given).
    StoreError markGiven(const OfferKey &key, const QDateTime &when = QDateTime::currentDateTime());
    // Every client name the saved offers hold, once each (trimmed; empty ones left out).
    StoreResult<QStringList> clients();

private:
    // Whether the offers hold what a status is worked out from (a file not yet brought up to the
    // newest step, read only, has none).
    bool hasStatusFacts();
    bool insertOffer(
        const OfferKey &key, const Offer &offer, const QDateTime &savedAt, const QString &savedOn);
    StoreResult<OfferKey> saveAs(const Offer &offer, std::optional<int> number,
        std::optional<int> followsRevision, const QDateTime &savedAt, const QString &savedOn);
    std::optional<SavedRevision> savedRevision(const OfferKey &key);

    Store *m_store;
    std::optional<SavedRevision> m_newer;
    std::function<bool(const OfferKey &key)> m_alongside;
};

// The text an offer is found by: its number, client and the rows' ids and descriptions, folded to
// one case.
QString offerSearchText(int number, const Offer &offer);
// The pattern for "contains" that treats every character of the search literally.
QString containsPattern(const QString &search);
