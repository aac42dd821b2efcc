// The transfer's writer statement by statement: per record the new item row, its dependent records and
// the origin's deletion or reduction, then the surcharges and the destination table.

#include "DependentRecords.h"
#include "TransferWriters.h"
#include "schema/CodeValues.h"

namespace Srv_Mvt04215 {
namespace {

using platform::db::Statement;

// A split row carries the record's values exactly as a whole row does; only its quantity differs and it
// joins no group.
void insertNewItem(TrdmTrPosicao& dm, const TransferDestination& to, const TransferRecord& r,
                   const PlannedMove& move) {
    Statement& ins = dm.acmInsProd;
    auto copied = [&](const char* param, const char* column) {
        ins.setParam(QString::fromLatin1(param), r.copied.value(QString::fromLatin1(column)));
    };
    ins.setParam(QStringLiteral("P_CDFILIAL"), to.branch);
    ins.setParam(QStringLiteral("P_NRVENDAREST"), to.sale);
    ins.setParam(QStringLiteral("P_NRCOMANDA"), to.tab);
    ins.setParam(QStringLiteral("P_NRPRODCOMVEN"), move.newItem);
    copied("P_CDPRODUTO", "CDPRODUTO");
    ins.setParam(QStringLiteral("P_QTPRODCOMVEN"), r.moved);
    copied("P_VRPRECCOMVEN", "VRPRECCOMVEN");
    copied("P_VRPRECCLCOMVEN", "VRPRECCLCOMVEN");
    copied("P_IDSTPRCOMVEN", "IDSTPRCOMVEN");
    copied("P_VRDESCCOMVEN", "VRDESCCOMVEN");
    copied("P_VRACRCOMVEN", "VRACRCOMVEN");
    copied("P_DTHRINCOMVEN", "DTHRINCOMVEN");
    ins.setParam(QStringLiteral("P_NRMESADSCOMORIT"), r.originTable);
    copied("P_CDVENDEDOR", "CDVENDEDOR");
    copied("P_CDPRODPROMOCAO", "CDPRODPROMOCAO");
    copied("P_CDCAIXACOLETOR", "CDCAIXACOLETOR");
    ins.setParam(QStringLiteral("P_CDLOJA"), to.store);
    copied("P_NRSEQPRODCUP", "NRSEQPRODCUP");
    ins.setParam(QStringLiteral("P_NRLUGARMESA"), r.seat);
    copied("P_TXPRODCOMVEN", "TXPRODCOMVEN");
    copied("P_CDGRPOCOR", "CDGRPOCOR");
    copied("P_CDOCORR", "CDOCORR");
    copied("P_IDPRODIMPFIS", "IDPRODIMPFIS");
    copied("P_IDORIGPEDCMD", "IDORIGPEDCMD");
    copied("P_DSOBSPEDDIGCMD", "DSOBSPEDDIGCMD");
    copied("P_NRPEDIDOZEL", "NRPEDIDOZEL");
    copied("P_NRATRAPRODCOVE", "NRATRAPRODCOVE");
    copied("P_CDSENHAPED", "CDSENHAPED");
    copied("P_IDDIVIDECONTA", "IDDIVIDECONTA");
    copied("P_NRPRODORIG", "NRPRODORIG");
    copied("P_QTITEMREFIL", "QTITEMREFIL");
    copied("P_IDPRODREFIL", "IDPRODREFIL");
    copied("P_NRINSCRCONS", "NRINSCRCONS");
    copied("P_NMCONSVEND", "NMCONSVEND");
    copied("P_DSENDEVENDA", "DSENDEVENDA");
    ins.setParam(QStringLiteral("P_NRSEQPRODCOM"), move.sequence);
    ins.execute();
}

void setOriginQuantity(TrdmTrPosicao& dm, const TransferDestination& to, const TransferRecord& r,
                       double remaining) {
    Statement& upd = dm.acmAlterQuant;
    upd.setParam(QStringLiteral("P_QTPRODCOMVEN"), remaining);
    upd.setParam(QStringLiteral("P_CDFILIAL"), to.branch);
    upd.setParam(QStringLiteral("P_NRCOMANDA"), r.originTab);
    upd.setParam(QStringLiteral("P_NRPRODCOMVEN"), r.item);
    upd.execute();
}

void deleteOriginItem(TrdmTrPosicao& dm, const TransferDestination& to, const TransferRecord& r) {
    for (Statement* del : {&dm.acmDelProdEst, &dm.acmDelProd}) {
        del->setParam(QStringLiteral("P_CDFILIAL"), to.branch);
        del->setParam(QStringLiteral("P_NRCOMANDA"), r.originTab);
        del->setParam(QStringLiteral("P_NRPRODCOMVEN"), r.item);
        del->execute();
    }
}

// Every moved item's surcharge leaves its own origin tab and reaches the destination tab.
void adjustSurchargesAndTable(TrdmTrPosicao& dm, const TransferDestination& to, const TransferPlan& plan) {
    Statement& upd = dm.acmUpdComanda;
    double total = 0;
    for (auto it = plan.surchargeByOriginTab.cbegin(); it != plan.surchargeByOriginTab.cend(); ++it)
        total += it.value();
    upd.setParam(QStringLiteral("P_CDFILIAL"), to.branch);
    upd.setParam(QStringLiteral("P_CDLOJA"), to.store);
    upd.setParam(QStringLiteral("P_VRACRCOMANDA"), total);
    upd.setParam(QStringLiteral("P_NRCOMANDA"), to.tab);
    upd.execute();
    for (auto it = plan.surchargeByOriginTab.cbegin(); it != plan.surchargeByOriginTab.cend(); ++it) {
        upd.setParam(QStringLiteral("P_VRACRCOMANDA"), it.value() * -1);
        upd.setParam(QStringLiteral("P_NRCOMANDA"), it.key());
        upd.execute();
    }

    Statement& table = dm.acmUpdMesa;
    table.setParam(QStringLiteral("P_IDSTMESAAUX"), schema::codes::TableOccupied);
    table.setParam(QStringLiteral("P_CDFILIAL"), to.branch);
    table.setParam(QStringLiteral("P_CDLOJA"), to.store);
    table.setParam(QStringLiteral("P_NRMESA"), to.table);
    table.execute();
}

} // namespace

void writeStatementByStatement(TrdmTrPosicao& dm, const TransferRequestRecords& request,
                               const TransferPlan& plan) {
    const TransferDestination& to = request.destination;
    for (qsizetype i = 0; i < request.records.size(); ++i) {
        const TransferRecord& r = request.records[i];
        const PlannedMove& move = plan.moves[i];
        insertNewItem(dm, to, r, move);
        DependentRecords dependents(dm, to, r, move.newItem);
        if (move.whole) {
            dependents.copyObservations();
            dependents.copyComponents();
            dependents.recordMove(move.originSale);
            deleteOriginItem(dm, to, r);
        } else {
            setOriginQuantity(dm, to, r, move.remaining);
            dependents.copyObservations();
            dependents.recordMove(move.originSale);
            dependents.copyComponents();
        }
    }
    adjustSurchargesAndTable(dm, to, plan);
}

} // namespace Srv_Mvt04215
