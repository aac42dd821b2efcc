// The two read-only lookups that feed the transfer screen.

#include "MethodCall.h"
#include "Srv_Mvt04215.h"
#include "platform/Text.h"
#include "platform/db/Statement.h"

namespace Srv_Mvt04215 {

QVariant getProdOrig(const QString& mesa, const QString& filial, const QString& loja, const QString& couver,
                     const QString& consum, const QString& consfem) {
    const MethodCall call(rdmTrPosicao);
    try {
        TrdmTrPosicao& dm = call.dataModule();
        // An empty product code would exclude nothing useful; "X" names no product.
        using platform::iif;
        return dm.dspProdOrig.dataJson({{"P_NRMESA", mesa},
                                        {"P_CDFILIAL", filial},
                                        {"P_CDLOJA", loja},
                                        {"P_CDPRODCOUVER", iif(couver.isEmpty(), "X", couver)},
                                        {"P_CDPRODCONSUM", iif(consum.isEmpty(), "X", consum)},
                                        {"P_CDPRODCONSFEM", iif(consfem.isEmpty(), "X", consfem)}});
    } catch (const std::exception& e) {
        return call.failed(e, mesa);
    }
}

QVariant getValidaMesaDes(const QString& filial, const QString& loja, const QString& mesa,
                          const QString& /*mesaOrig*/) {
    const MethodCall call(rdmTrPosicao);
    try {
        TrdmTrPosicao& dm = call.dataModule();
        return dm.dspValMesaDest.dataJson({{"P_CDFILIAL", filial}, {"P_CDLOJA", loja}, {"P_NRMESA", mesa}});
    } catch (const std::exception& e) {
        return call.failed(e, mesa);
    }
}

const platform::db::StatementDef& mesaCadastradaStatement() {
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
    return def;
}

bool mesaCadastrada(const QString& filial, const QString& loja, const QString& mesa) {
    TrdmTrPosicao& dm = MethodCall(rdmTrPosicao).dataModule();
    return !dm.adcTrPosicao.cachedStatement(mesaCadastradaStatement())
                .run({{"P_CDFILIAL", filial}, {"P_CDLOJA", loja}, {"P_NRMESA", mesa}})
                .isEmpty();
}

} // namespace Srv_Mvt04215
