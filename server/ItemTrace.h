#pragma once

#include "platform/db/Connection.h"
#include "platform/db/Statement.h"

#include <QList>
#include <optional>

namespace Srv_Mvt04215 {

// One place an ordered item has been: its key (tab and item number) and, as far as the database still
// knows them, its sale, table, seat and quantity.
struct TracedPlace {
    QString tab, item;              // NRCOMANDA, NRPRODCOMVEN
    QString sale, table, seat;      // NRVENDAREST, NRMESA, NRLUGARMESA; empty when no longer known
    std::optional<double> quantity; // of the item row at this key; none when no row is left there
};

// Where an item came from and where it went, as the move records (PEDIDOALT) chain its keys.
struct ItemTrace {
    QString branch;
    QList<TracedPlace> places; // from where it came first to where it is now; one move between two
    int queried = 0;           // index of the place that was asked about
    bool cycle = false;        // the moves led back to a place already seen; the trace stops there
};

// Follows the moves of the item (branch, tab, item number) backwards and forwards. Throws Error when
// the database knows neither the item nor a move of it.
ItemTrace traceItem(platform::db::Connection& connection, const QString& branch, const QString& tab,
                    const QString& item);

// The statements of the trace, for their tests.
const QList<platform::db::StatementDef>& itemTraceStatements();

} // namespace Srv_Mvt04215
