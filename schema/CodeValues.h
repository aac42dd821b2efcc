#pragma once

#include <QString>

// Code values the module tests or writes.
namespace schema::codes {

// IDSTPRCOMVEN: items in these states are not offered for transfer.
inline const QString ItemNotOffered6 = QStringLiteral("6");
inline const QString ItemNotOffered7 = QStringLiteral("7");

// IDSTMESAAUX
inline const QString TableFree = QStringLiteral("D");
inline const QString TableOccupied = QStringLiteral("O");
inline const QString TableBillRequested = QStringLiteral("S");
inline const QString TableBillReceiving = QStringLiteral("R");

// IDPRODREFIL
inline const QString RefillYes = QStringLiteral("S");
inline const QString RefillNo = QStringLiteral("N");

// IDSTLUGARMESA: the seat's bill is requested or being paid; its items may not move.
inline const QString SeatBlocked = QStringLiteral("S");

// IDPESAPROD: "N" is a product sold by unit; any other value is weighed.
inline const QString SoldByUnit = QStringLiteral("N");

// Result code of the clean-up service: the sum of the clean-ups that ran.
enum CleanupCode : int {
    CleanupOrphanItems = 1,    // item rows whose tab is gone
    CleanupOrphanTabItems = 2, // item rows of tabs whose sale is gone
    CleanupOrphanTabs = 4,     // tabs whose sale is gone
    CleanupTablelessSales = 8, // sales of the table without any tab
};

} // namespace schema::codes
