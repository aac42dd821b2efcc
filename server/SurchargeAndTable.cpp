#include "SurchargeAndTable.h"

#include "schema/CodeValues.h"

namespace Srv_Mvt04215 {

void writeSurchargesAndTable(TrdmTrPosicao& dm, const TransferDestination& to, const TransferPlan& plan,
                             const StatementRun& run) {
    double total = 0;
    for (auto it = plan.surchargeByOriginTab.cbegin(); it != plan.surchargeByOriginTab.cend(); ++it)
        total += it.value();
    run(dm.acmUpdComanda, {{"P_VRACRCOMANDA", total},
                           {"P_CDFILIAL", to.branch},
                           {"P_CDLOJA", to.store},
                           {"P_NRCOMANDA", to.tab}});
    // the request names one store (CDLOJAABER) for the destination and every origin tab
    for (auto it = plan.surchargeByOriginTab.cbegin(); it != plan.surchargeByOriginTab.cend(); ++it)
        run(dm.acmUpdComanda, {{"P_VRACRCOMANDA", it.value() * -1},
                               {"P_CDFILIAL", to.branch},
                               {"P_CDLOJA", to.store},
                               {"P_NRCOMANDA", it.key()}});
    run(dm.acmUpdMesa, {{"P_IDSTMESAAUX", schema::codes::TableOccupied},
                        {"P_CDFILIAL", to.branch},
                        {"P_CDLOJA", to.store},
                        {"P_NRMESA", to.table}});
}

} // namespace Srv_Mvt04215
