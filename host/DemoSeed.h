#pragma once

#include <QDateTime>
#include <QString>

namespace platform::db {
class Connection;
}

// The demo restaurant: branch 0001, store 01, till 001, operator 0007.
//
//   0045  open, 4 people, tabs 451 (Ricardo) and 452 (Fernanda): 13 transferable items on seats 1-4 -
//         observations, a burger with components, a combo whose three items move together, a weighed
//         item (0,850 kg), a refill item, seat 4 with its bill requested - plus the cover charge, which
//         the parameters keep off the screen. An earlier, closed sale of the same table stays behind.
//   0046  open, 3 people, tab 461 (Paulo) with three items: the destination.
//   0012  open, 2 people.   0027  bill requested.   0033  free.   0050  bill being received.
namespace host::demo {

inline const QString Branch = QStringLiteral("0001");
inline const QString Store = QStringLiteral("01");
inline const QString Till = QStringLiteral("001");
inline const QString IdEsquema = QStringLiteral("1");
inline const QString CoverChargeProduct = QStringLiteral("9001");
inline const QString MinimumConsumptionProduct = QStringLiteral("9002");
inline const QString FemaleMinimumConsumptionProduct = QStringLiteral("9003");
inline const QString OperatorCode = QStringLiteral("0007");
inline const QString OperatorName = QStringLiteral("Marcos Oliveira");

inline const QString OriginTable = QStringLiteral("0045");
inline const QString DestinationTable = QStringLiteral("0046");

// Items of 0045 the screenshot tour moves: one unit, three units (two of them move), a combo's first item.
inline const QString OneUnitItemName = QStringLiteral("Caipirinha de limão");
inline const QString ThreeUnitsItemName = QStringLiteral("Chope Pilsen 300 ml");
inline const QString ComboItemPrefix = QStringLiteral("Combo Executivo");

// What one seeding wrote.
struct SeededFolder {
    QString database;       // zel.db
    QString parametersFile; // PARAMETROSZEL.CDS
    QString accessFile;     // Dados/Cadastros/ControleAcess.cds
};

// Fills a database that holds the suite's tables and no rows with the demo restaurant; items are
// stamped as ordered during the hours before `now`. One transaction.
void seedSales(platform::db::Connection& connection, const QDateTime& now = QDateTime::currentDateTime());

// The two local files the screen reads beside the host program: the parameters of the till and the
// operator.
void writeParametersFile(const QString& folder, const QString& branch, const QString& till,
                         const QString& store, const QString& idEsquema, const QString& consum,
                         const QString& consuf, const QString& couver);
void writeAccessFile(const QString& folder, const QString& operatorCode, const QString& operatorName);
// Both, with the demo's values.
void writeLocalFiles(const QString& folder);

// Deletes what an earlier seeding left in `folder`, then writes the SQLite database zel.db (the
// suite's tables and the demo sales) and the two local files there.
SeededFolder seedFolder(const QString& folder);

} // namespace host::demo
