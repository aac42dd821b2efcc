#pragma once

#include "platform/Dataset.h"

#include <QHash>
#include <QList>
#include <QStringList>

namespace Srv_Mvt04215 {

// Above any rounding of a stored quantity, below any quantity a restaurant sells.
constexpr double QuantityTolerance = 1e-6;

// The columns a moved item takes unchanged from its origin item (the sequence group only as its
// source: a whole move renumbers it).
const QStringList& copiedColumns();

// Values of those columns, in that order.
struct CopiedValues {
    QList<QVariant> values;

    const QVariant& operator[](qsizetype index) const { return values.at(index); }
    // Throws Error for a column that is not copied.
    const QVariant& value(const QString& column) const;
};

// The one destination every record of a request names.
struct TransferDestination {
    QString branch; // CDFILIAL
    QString sale;   // NRVENDAREST
    QString tab;    // NRCOMANDA
    QString store;  // CDLOJAABER
    QString table;  // NRMESADES
};

// One record of a transfer request, every value read once with the type and width the destination list
// gives its field, as the data packet carries it.
struct TransferRecord {
    QString originTab;    // NRCOMANDAORIG
    QString item;         // NRPRODCOMVEN
    QVariant originTable; // NRMESAORI
    double original = 0;  // QTORIGINAL
    double moved = 0;     // QTPRODCOMVEN
    QVariant seat;        // NRLUGARMESA
    CopiedValues copied;
};

struct TransferRequestRecords {
    TransferDestination destination;
    QList<TransferRecord> records;

    // The tables the request touches, origin first: what a refusal for a busy table names.
    QStringList tables() const;
};

// Reads the request and refuses (TransferRefused) what it shows to be wrong without the database: no
// record, an item named twice, a record naming another destination than the first, a quantity below
// what the keypad can type (0.001) or above what the record says the origin holds, a value that does
// not read as its field's type.
TransferRequestRecords readRequest(platform::Dataset& request);

} // namespace Srv_Mvt04215
