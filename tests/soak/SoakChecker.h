#pragma once

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

namespace platform::db {
class Connection;
}

// The checker of the soak: what must hold on the final database, whatever the terminals did and
// wherever they were killed, measured against a record of the seeded state.
namespace soak {

enum class ViolationKind {
    UnitsNotConserved,      // per product, in total, or per seeded item: units lost or created
    DuplicateItemKey,       // two item rows with one (CDFILIAL, NRCOMANDA, NRPRODCOMVEN)
    ItemOutsideOpenSale,    // an item row of a missing tab, or of a sale that is missing or closed
    NonPositiveQuantity,    // an item row holding zero or less
    ItemNotAsSeeded,        // an item row whose product or surcharge is not its seeded item's
    DependentsNotAsSeeded,  // an item row whose observations or components are not its seeded item's
    ComponentWithoutItem,   // a component row whose item row does not exist
    ObservationWithoutItem, // an observation row of an item that neither exists nor moved away
    GroupBroken,            // a seeded sequence group no longer together under one sequence of one tab
    SurchargeNotConserved,  // the tabs' surcharge totals together differ from the seeded sum
    TabSurchargeMismatch,   // a tab that only whole moves touched whose total is not its items' sum
    TabSurchargeNegative,   // a tab whose surcharge total went below zero: a part took more than its share
    TrackingBroken,         // a PEDIDOALT row whose chain ends at no item
    TrackingDuplicate,      // two PEDIDOALT rows for one old key
};

QString kindName(ViolationKind kind);

struct Violation {
    ViolationKind kind;
    QString detail;
};

// What one seeded item row was: every row descending from it (by its DSENDEVENDA marker) must still be
// this product, with this surcharge and exactly these dependents; together they hold its quantity.
struct SeededItem {
    QString product;
    double quantity = 0;
    double surcharge = 0;
    QStringList components;            // sorted "product|quantity|price|discount|typed"
    QStringList observations;          // sorted "group|code"
    QStringList componentObservations; // sorted "product|group|code"
    QString group;                     // "tab|sequence" of its seeded sequence group, or empty
};

struct SeedRecord {
    QString branch;
    QMap<QString, double> unitsByProduct;
    double totalUnits = 0;
    double surchargeTotal = 0;
    QMap<QString, SeededItem> items; // by marker
    double unmarkedUnits = 0;        // held by seeded rows without a marker
    bool tabDeletionLog = false;     // tabs deleted later are logged with their last total
};

// Logs every deleted tab with the total it had and the item rows it still held, in the deleting
// transaction: a freed tab takes its total with it, and only this log knows it. Call before seeding.
void installTabDeletionLog(platform::db::Connection& connection);

// Reads the seeded state; run checkDatabase on it too, since a seed that breaks an invariant voids the
// soak.
SeedRecord captureSeed(platform::db::Connection& connection, const QString& branch, bool tabDeletionLog);

// Every invariant on the database as it is now. `possiblySplitTabs` are the tabs that a committed
// split move, or a request whose outcome a kill hid, may have touched: their own totals may differ
// from their items' sum.
QList<Violation> checkDatabase(platform::db::Connection& connection, const SeedRecord& seed,
                               const QSet<QString>& possiblySplitTabs);

} // namespace soak
