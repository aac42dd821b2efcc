#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace platform::db {
class Connection;
}

// The restaurant the soak runs in: one branch and store, a dozen or more tables, most of them open.
namespace soak {

inline const QString Branch = QStringLiteral("0001");
inline const QString Store = QStringLiteral("01");
// Never offered by the transfer: their items stay where they were ordered.
inline const QString CoverProduct = QStringLiteral("CV");
inline const QString ConsumptionProduct = QStringLiteral("CS");
inline const QString FemaleConsumptionProduct = QStringLiteral("CF");

struct SeedOptions {
    int tables = 16;    // 12 to 20 in the soak
    int freeTables = 2; // the last tables start without a sale
    quint64 seed = 1;
};

// Builds the restaurant on a database that already has the suite's tables, in one transaction: every
// open table has one sale with 1 to 3 tabs; items carry observations, components with observations,
// sequence groups, weighed decimals and surcharges, each tab's total being the sum of its items'. Every
// item row carries a marker of its own in DSENDEVENDA, which every move copies, so that the checker can
// follow what became of it. Returns the table numbers.
QStringList seedRestaurant(platform::db::Connection& connection, const SeedOptions& options);

QString tableNumber(int n);

// Inserts one row by column name (plain SQL: the suite's other modules own these writes).
void insertRow(platform::db::Connection& connection, const QString& table, const QVariantMap& row);

} // namespace soak
