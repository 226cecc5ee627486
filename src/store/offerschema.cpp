#include "offerschema.h"

const QList<Store::SchemaStep> &offerSchemaSteps()
{
    // offer_counter holds the next number to give; taking a number and saving the offer happen in
    // one transaction, so a number is either used by a saved offer or was never handed out.
    static const QList<Store::SchemaStep> steps {
        { {
            QStringLiteral(
                "create table offer_counter (id integer primary key, next_number integer not null)"),
            QStringLiteral(
                "create table offers (number integer not null, revision integer not null, shop text not null,"
                " client text not null, seller text not null, offer_date varchar(32) not null,"
                " total varchar(64) not null, saved_at varchar(32) not null, saved_on text not null,"
                " search_text text not null, primary key (number, revision))"),
            QStringLiteral("create table offer_rows (number integer not null, revision integer not null,"
                           " row_index integer not null, category varchar(8) not null, item_id text not null,"
                           " description text not null, amount_text text not null, list_price text,"
                           " primary key (number, revision, row_index))"),
            QStringLiteral("insert into offer_counter (id, next_number) values (1, 1)"),
        } },
        // Revisions saved before this step have no valid-until day: they hold for the default
        // number of days from their date. A revision becomes one order at most (the key), and is
        // given when it first goes to paper or into a file.
        { {
            QStringLiteral("alter table offers add column valid_until varchar(10)"),
            QStringLiteral("alter table offers add column given_at varchar(32)"),
            QStringLiteral("create table offer_orders (number integer not null, revision integer not null,"
                           " order_id integer not null, ordered_at varchar(32) not null,"
                           " primary key (number, revision))"),
        } },
        // What the shop paid for each row's item when the offer was kept, so its margin reads as
        // it was; rows kept before this step have none (not known).
        // The offer's margin as it was then is kept beside its total, for the list of kept offers.
        { {
            QStringLiteral("alter table offer_rows add column cost text"),
            QStringLiteral("alter table offers add column margin text"),
        } },
    };
    return steps;
}
