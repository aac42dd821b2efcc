#pragma once

#include "platform/db/SqlStore.h"
#include "platform/db/Statement.h"

namespace Srv_Mvt04215 {

// The transfer's set-based writes, for the databases that read a JSON parameter as rows (SQLite and
// PostgreSQL): each statement writes for every moved item at once. P_CHAVES carries per record the
// origin item's key and sale, its new item number, what the record moves, its renumbered group, its
// seat and origin table, and the flags that say which record deletes, reduces or tracks its item.
// Every other value of a new row is read from the origin row itself. A row is an object on PostgreSQL
// (json_to_recordset reads it by name) and an array on SQLite (json_extract finds a value by position
// without reading the names); setKeyColumns() gives both orders.
const QStringList& setKeyColumns();
const QList<platform::db::StatementDef>& setStatementCatalogue();

const platform::db::SqlStore& assPlanoLote(); // PostgreSQL only
const platform::db::SqlStore& assInsProdLote();
const platform::db::SqlStore& assInsObsItComandaVenLote();
const platform::db::SqlStore& assInsProdEstLote();
const platform::db::SqlStore& assInsObsItComandaEstLote();
const platform::db::SqlStore& assUpPedidoAltLote();
const platform::db::SqlStore& assInsPedidoAltLote();
const platform::db::SqlStore& assAlterQuantLote();
const platform::db::SqlStore& assDelProdEstLote();
const platform::db::SqlStore& assDelProdLote();

} // namespace Srv_Mvt04215
