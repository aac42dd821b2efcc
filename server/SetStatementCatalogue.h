#pragma once

#include "platform/db/SqlStore.h"
#include "platform/db/Statement.h"

namespace Srv_Mvt04215 {

// The transfer's set-based writes, for the databases that read a JSON parameter as rows (SQLite and
// PostgreSQL): each statement writes for every moved item at once. P_CHAVES carries per item its origin
// tab and item, the sale it had, its new item number, whether it moves whole and what a split leaves,
// and its tracking values; P_ITENS carries every value of the new item rows. A row is an object on
// PostgreSQL (json_to_recordset reads it by name) and an array on SQLite (json_extract finds a value by
// position without reading the names); setKeyColumns() and setItemColumns() give both orders.
const QStringList& setKeyColumns();
const QStringList& setItemColumns();
const QList<platform::db::StatementDef>& setStatementCatalogue();
const platform::db::StatementDef& setStatementDef(const QString& name);

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
