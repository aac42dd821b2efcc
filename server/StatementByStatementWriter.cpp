// The transfer's writer statement by statement: per record the new item row, its dependent records and
// the origin's deletion or reduction, then the surcharges and the destination table, and the commit.

#include "DependentRecords.h"
#include "SurchargeAndTable.h"
#include "TransferWriters.h"

namespace Srv_Mvt04215 {
namespace {

// A part carries the origin item's values exactly as a whole move does; only its quantity differs and
// it joins no group.
void insertNewItem(TrdmTrPosicao& dm, const TransferDestination& to, const TransferRecord& r,
                   const PlannedMove& move) {
    auto copied = [&](const char* column) {
        return move.values.value(QString::fromLatin1(column));
    };
    dm.acmInsProd.execute({{"P_CDFILIAL", to.branch},
                           {"P_NRVENDAREST", to.sale},
                           {"P_NRCOMANDA", to.tab},
                           {"P_NRPRODCOMVEN", move.newItem},
                           {"P_CDPRODUTO", copied("CDPRODUTO")},
                           {"P_QTPRODCOMVEN", r.moved},
                           {"P_VRPRECCOMVEN", copied("VRPRECCOMVEN")},
                           {"P_VRPRECCLCOMVEN", copied("VRPRECCLCOMVEN")},
                           {"P_IDSTPRCOMVEN", copied("IDSTPRCOMVEN")},
                           {"P_VRDESCCOMVEN", copied("VRDESCCOMVEN")},
                           {"P_VRACRCOMVEN", copied("VRACRCOMVEN")},
                           {"P_DTHRINCOMVEN", copied("DTHRINCOMVEN")},
                           {"P_NRMESADSCOMORIT", move.originTable},
                           {"P_CDVENDEDOR", copied("CDVENDEDOR")},
                           {"P_CDPRODPROMOCAO", copied("CDPRODPROMOCAO")},
                           {"P_CDCAIXACOLETOR", copied("CDCAIXACOLETOR")},
                           {"P_CDLOJA", to.store},
                           {"P_NRSEQPRODCUP", copied("NRSEQPRODCUP")},
                           {"P_NRLUGARMESA", r.seat},
                           {"P_TXPRODCOMVEN", copied("TXPRODCOMVEN")},
                           {"P_CDGRPOCOR", copied("CDGRPOCOR")},
                           {"P_CDOCORR", copied("CDOCORR")},
                           {"P_IDPRODIMPFIS", copied("IDPRODIMPFIS")},
                           {"P_IDORIGPEDCMD", copied("IDORIGPEDCMD")},
                           {"P_DSOBSPEDDIGCMD", copied("DSOBSPEDDIGCMD")},
                           {"P_NRPEDIDOZEL", copied("NRPEDIDOZEL")},
                           {"P_NRATRAPRODCOVE", copied("NRATRAPRODCOVE")},
                           {"P_CDSENHAPED", copied("CDSENHAPED")},
                           {"P_IDDIVIDECONTA", copied("IDDIVIDECONTA")},
                           {"P_NRPRODORIG", copied("NRPRODORIG")},
                           {"P_QTITEMREFIL", copied("QTITEMREFIL")},
                           {"P_IDPRODREFIL", copied("IDPRODREFIL")},
                           {"P_NRINSCRCONS", copied("NRINSCRCONS")},
                           {"P_NMCONSVEND", copied("NMCONSVEND")},
                           {"P_DSENDEVENDA", copied("DSENDEVENDA")},
                           {"P_NRSEQPRODCOM", move.sequence}});
}

void setOriginQuantity(TrdmTrPosicao& dm, const TransferDestination& to, const TransferRecord& r,
                       double remaining) {
    dm.acmAlterQuant.execute({{"P_QTPRODCOMVEN", remaining},
                              {"P_CDFILIAL", to.branch},
                              {"P_NRCOMANDA", r.originTab},
                              {"P_NRPRODCOMVEN", r.item}});
}

void deleteOriginItem(TrdmTrPosicao& dm, const TransferDestination& to, const TransferRecord& r) {
    for (platform::db::Statement* del : {&dm.acmDelProdEst, &dm.acmDelProd})
        del->execute({{"P_CDFILIAL", to.branch}, {"P_NRCOMANDA", r.originTab}, {"P_NRPRODCOMVEN", r.item}});
}

} // namespace

void writeStatementByStatement(TrdmTrPosicao& dm, platform::db::Transaction& transaction,
                               const TransferRequestRecords& request, const TransferPlan& plan) {
    const TransferDestination& to = request.destination;
    for (qsizetype i = 0; i < request.records.size(); ++i) {
        const TransferRecord& r = request.records[i];
        const PlannedMove& move = plan.moves[i];
        insertNewItem(dm, to, r, move);
        DependentRecords dependents(dm, to, r, move);
        if (move.whole) {
            dependents.copyObservations();
            dependents.copyComponents();
            dependents.recordMove();
            deleteOriginItem(dm, to, r);
        } else {
            // each part leaves what the item's records so far left; the last one's stays
            setOriginQuantity(dm, to, r, move.remaining);
            dependents.copyObservations();
            dependents.recordMove();
            dependents.copyComponents();
        }
    }
    writeSurchargesAndTable(dm, to, plan,
                            [](platform::db::Statement& statement, platform::db::NamedValues values) {
                                statement.execute(values);
                            });
    transaction.commit();
}

} // namespace Srv_Mvt04215
