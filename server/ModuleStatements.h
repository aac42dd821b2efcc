#pragma once

#include "platform/db/Statement.h"

#include <QList>

namespace Srv_Mvt04215 {

// Every statement the module sends to a database, each once: the data module's catalogue, item
// numbering, the screen's check of a table, the set-based writes and the item trace. A statement
// without a text for a dialect never runs there.
QList<platform::db::StatementDef> moduleStatements();

} // namespace Srv_Mvt04215
