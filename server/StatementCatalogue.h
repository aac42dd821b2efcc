#pragma once

#include "platform/db/SqlStore.h"
#include "platform/db/Statement.h"

namespace Srv_Mvt04215 {

// Every statement of the data module: its exact text (per dialect where the dialects differ), its
// parameters in order of occurrence with their declared types, its typed result fields and options.
const QList<platform::db::StatementDef>& statementCatalogue();
// A statement of this catalogue or of the set-based writes, by name.
const platform::db::StatementDef& statementDef(const QString& name);

// The per-dialect texts of the statements whose dialects differ.
const platform::db::SqlStore& assProdOrig();
const platform::db::SqlStore& assPesqSeqProdCom();
const platform::db::SqlStore& assDeleleItCmd();
const platform::db::SqlStore& assBloqComanda();
const platform::db::SqlStore& assVerifVendaAberta();
const platform::db::SqlStore& assItensOrigem();
const platform::db::SqlStore& assMesaDestino();
const platform::db::SqlStore& assBloqComandasVenda();

} // namespace Srv_Mvt04215
