#pragma once

#include "platform/Export.h"

#include <QString>
#include <QVariant>
#include <string>

namespace platform::db {
struct StatementDef;
}

// The server methods of the transfer module. Each runs on the one data module in rdmTrPosicao and
// catches its own failures: a data packet travels in the variant as its bytes, a failure as a text.
namespace Srv_Mvt04215 {

// The origin table's transferable items (arguments: table, branch, store, and the cover-charge,
// minimum-consumption and female minimum-consumption products, which are never offered).
MVT_EXPORT QVariant getProdOrig(const QString& mesa, const QString& filial, const QString& loja,
                                const QString& couver, const QString& consum, const QString& consfem);

// The destination table's open sale and tabs (the fourth argument is not used).
MVT_EXPORT QVariant getValidaMesaDes(const QString& filial, const QString& loja, const QString& mesa,
                                     const QString& mesaOrig);

// Moves the items of the request (the destination list's data packet) in one transaction. Empty on
// success, the failure text after a rollback.
MVT_EXPORT QVariant setTransferencia(const QVariant& request);

// True when the table's open sale has no item rows left (of any status); false as well after a failure,
// whose text the data module keeps in lastFailure.
MVT_EXPORT bool setVerificaMesaVazia(const QString& filial, const QString& loja, const QString& mesa);

// Frees an empty table: deletes its open sale and tabs, marks it free and hands its join to mesaDes,
// in one transaction. False when the sale still has items or anything failed (the failure text is then
// the data module's lastFailure).
MVT_EXPORT bool setLiberamesa(const QString& filial, const QString& loja, const QString& mesa,
                              const QString& mesaDes);

// Removes the branch's orphan items and tabs and the table's sales without tabs; the result is the sum
// of the clean-ups that ran (1, 2, 4, 8), or the failure text.
MVT_EXPORT QVariant setDeletaVendaRest(const std::string& mesa, const std::string& filial,
                                       const std::string& loja);

// True when the table is registered in the branch and store (not a server method: the screen asks it
// to tell an unknown branch or table from a table without items). Throws on a database failure.
bool mesaCadastrada(const QString& filial, const QString& loja, const QString& mesa);
// The statement it runs.
const platform::db::StatementDef& mesaCadastradaStatement();

// The unit's initialisation and finalisation: loading the package creates no data module.
void initializeUnit();
void finalizeUnit();

// The data module the methods run on (rdmTrPosicao): the screen, when it opens, makes it unless one is
// there (a test's, on its database) and connects it; CriaTrPosicao frees it when its screen is done.
void connectDataModule();
void freeDataModule();

} // namespace Srv_Mvt04215
