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

// One record of a transfer request: what the operator chose. Every value the moved item carries comes
// from its origin item as read under the locks, never from the record.
struct TransferRecord {
    QString originTab;    // NRCOMANDAORIG
    QString item;         // NRPRODCOMVEN
    QString product;      // CDPRODUTO: the item the operator saw
    QVariant originTable; // NRMESAORI
    double original = 0;  // QTORIGINAL
    double moved = 0;     // QTPRODCOMVEN
    QVariant seat;        // NRLUGARMESA
    // What the request says its item holds: the largest QTORIGINAL of the item's records (a later
    // record of an item may say what its earlier ones left).
    double itemHeld = 0;
    // This record takes what the item's records before it left: the item moves whole. Only the last
    // record of an item can, and only when the item's records together move all it holds.
    bool takesRest = false;
};

struct TransferRequestRecords {
    TransferDestination destination;
    QList<TransferRecord> records;

    // The tables the request touches, origin first: what a refusal for a busy table names.
    QStringList tables() const;
};

// Reads the request and refuses (TransferRefused) what it shows to be wrong without the database: no
// record, a record naming another destination than the first, a quantity of nothing, records of one
// item that together move more than it holds, a part of an item below what the keypad can type
// (0.001; an item moved whole may hold less), a value that does not read as its field's type.
TransferRequestRecords readRequest(platform::Dataset& request);

} // namespace Srv_Mvt04215
