#include "ModuleStatements.h"

#include "ItemTrace.h"
#include "SetStatementCatalogue.h"
#include "Srv_Mvt04215.h"
#include "StatementCatalogue.h"
#include "platform/ItemNumbering.h"

namespace Srv_Mvt04215 {

QList<platform::db::StatementDef> moduleStatements() {
    QList<platform::db::StatementDef> all = statementCatalogue();
    all << platform::TdtmZelProxCodigo::statement() << mesaCadastradaStatement();
    all << setStatementCatalogue() << itemTraceStatements();
    return all;
}

} // namespace Srv_Mvt04215
