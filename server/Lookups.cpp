// The two read-only lookups that feed the transfer screen.

#include "DataModuleAccess.h"
#include "Srv_Mvt04215.h"
#include "platform/Text.h"
#include "platform/db/Statement.h"

namespace Srv_Mvt04215 {

QVariant getProdOrig(const QString& mesa, const QString& filial, const QString& loja, const QString& couver,
                     const QString& consum, const QString& consfem) {
    try {
        TrdmTrPosicao& dm = dataModule();
        dm.adqProdOrig.setParam(QStringLiteral("P_NRMESA"), mesa);
        dm.adqProdOrig.setParam(QStringLiteral("P_CDFILIAL"), filial);
        dm.adqProdOrig.setParam(QStringLiteral("P_CDLOJA"), loja);
        // An empty product code would exclude nothing useful; "X" names no product.
        using platform::iif;
        dm.adqProdOrig.setParam(QStringLiteral("P_CDPRODCOUVER"), iif(couver.isEmpty(), "X", couver));
        dm.adqProdOrig.setParam(QStringLiteral("P_CDPRODCONSUM"), iif(consum.isEmpty(), "X", consum));
        dm.adqProdOrig.setParam(QStringLiteral("P_CDPRODCONSFEM"), iif(consfem.isEmpty(), "X", consfem));
        return dm.dspProdOrig.dataJson();
    } catch (const std::exception& e) {
        return failureText(e, mesa);
    }
}

QVariant getValidaMesaDes(const QString& filial, const QString& loja, const QString& mesa,
                          const QString& /*mesaOrig*/) {
    try {
        TrdmTrPosicao& dm = dataModule();
        dm.adqValMesaDest.close();
        dm.adqValMesaDest.setParam(QStringLiteral("P_CDFILIAL"), filial);
        dm.adqValMesaDest.setParam(QStringLiteral("P_CDLOJA"), loja);
        dm.adqValMesaDest.setParam(QStringLiteral("P_NRMESA"), mesa);
        dm.adqValMesaDest.open();
        return dm.dspValMesaDest.dataJson();
    } catch (const std::exception& e) {
        return failureText(e, mesa);
    }
}

bool mesaCadastrada(const QString& filial, const QString& loja, const QString& mesa) {
    static const platform::db::StatementDef def{
        .name = QStringLiteral("adqMesaCadastrada"),
        .kind = platform::db::StatementKind::Query,
        .sql = QStringLiteral("SELECT NRMESA FROM MESA\n"
                              " WHERE CDFILIAL = :P_CDFILIAL AND CDLOJA = :P_CDLOJA AND NRMESA = :P_NRMESA"),
        .params = {{QStringLiteral("P_CDFILIAL")},
                   {QStringLiteral("P_CDLOJA")},
                   {QStringLiteral("P_NRMESA")}},
        .readOnly = true,
    };
    platform::db::Statement& q = dataModule().adcTrPosicao.cachedStatement(def);
    q.close();
    q.setParam(QStringLiteral("P_CDFILIAL"), filial);
    q.setParam(QStringLiteral("P_CDLOJA"), loja);
    q.setParam(QStringLiteral("P_NRMESA"), mesa);
    q.open();
    const bool found = !q.isEmpty();
    q.close();
    return found;
}

} // namespace Srv_Mvt04215
