#include "DependentRecords.h"

namespace Srv_Mvt04215 {
namespace {

// Quantities and prices are copied as they are; an empty one stays empty.
QVariant asNumber(const QVariant& v) {
    return v.isNull() ? QVariant() : QVariant(v.toDouble());
}

} // namespace

void DependentRecords::copyObservations() {
    platform::db::Statement& q = dm_.adqObsItens;
    q.close();
    q.setParam(QStringLiteral("P_CDFILIAL"), to_.branch);
    q.setParam(QStringLiteral("P_NRCOMANDA"), record_.originTab);
    q.setParam(QStringLiteral("P_NRPRODCOMVEN"), record_.item);
    dm_.cdsObsItens.loadPacket(dm_.dspObsItens.data());

    platform::db::Statement& ins = dm_.acmInsObsItComandaVen;
    platform::Dataset& obs = dm_.cdsObsItens;
    for (obs.first(); !obs.eof(); obs.next()) {
        ins.setParam(QStringLiteral("CDFILIAL"), to_.branch);
        ins.setParam(QStringLiteral("NRVENDAREST"), to_.sale);
        ins.setParam(QStringLiteral("NRCOMANDA"), to_.tab);
        ins.setParam(QStringLiteral("NRPRODCOMVEN"), newItem_);
        ins.setParam(QStringLiteral("CDGRPOCOR"), obs.field(QStringLiteral("CDGRPOCOR")).value());
        ins.setParam(QStringLiteral("CDOCORR"), obs.field(QStringLiteral("CDOCORR")).value());
        ins.execute();
    }
}

void DependentRecords::copyComponents() {
    const QString branch = to_.branch;
    const QString originTab = record_.originTab;
    const QString originItem = record_.item;

    platform::db::Statement& components = dm_.adqItComandaEst;
    components.close();
    components.setParam(QStringLiteral("P_CDFILIAL"), branch);
    components.setParam(QStringLiteral("P_NRCOMANDA"), originTab);
    components.setParam(QStringLiteral("P_NRPRODCOMVEN"), originItem);
    // read whole before writing: the inserts go to the table being read
    const platform::DataPacket rows = components.packet();

    platform::db::Statement& obsQuery = dm_.adqObsItensEst;
    obsQuery.close();
    obsQuery.setParam(QStringLiteral("P_CDFILIAL"), branch);
    obsQuery.setParam(QStringLiteral("P_NRCOMANDA"), originTab);
    obsQuery.setParam(QStringLiteral("P_NRPRODCOMVEN"), originItem);
    platform::Dataset& obs = dm_.cdsObsItensEst;
    obs.loadPacket(dm_.dspObsItensEst.data());
    if (rows.rows.isEmpty())
        return;

    auto column = [&](const char* name) {
        for (int i = 0; i < rows.fields.size(); ++i)
            if (rows.fields[i].name == QLatin1String(name))
                return i;
        throw platform::Error(QStringLiteral("adqItComandaEst não devolveu %1.").arg(QLatin1String(name)));
    };
    const int colBranch = column("CDFILIAL"), colItem = column("NRPRODCOMVEN"),
              colProduct = column("CDPRODUTO"), colQty = column("QTPROCOMEST"),
              colPrice = column("VRPRECCOMEST"), colTyped = column("DSOBSPEDDIGEST");

    platform::db::Statement& insComponent = dm_.acmInsProdEst;
    platform::db::Statement& insObs = dm_.acmInsObsItComandaEst;
    for (const platform::Record& row : rows.rows) {
        const QString product = row[colProduct].toString();
        insComponent.setParam(QStringLiteral("P_CDFILIAL"), row[colBranch]);
        insComponent.setParam(QStringLiteral("P_NRVENDAREST"), to_.sale);
        insComponent.setParam(QStringLiteral("P_NRCOMANDA"), to_.tab);
        insComponent.setParam(QStringLiteral("P_NRPRODCOMVEN"), newItem_);
        insComponent.setParam(QStringLiteral("P_CDPRODUTO"), row[colProduct]);
        insComponent.setParam(QStringLiteral("P_QTPROCOMEST"), asNumber(row[colQty]));
        insComponent.setParam(QStringLiteral("P_VRPRECCOMEST"), asNumber(row[colPrice]));
        insComponent.setParam(QStringLiteral("P_DSOBSPEDDIGEST"), row[colTyped]);
        insComponent.execute();

        const QString componentItem = row[colItem].toString();
        obs.setFilter([&](const platform::Dataset& ds, const platform::Record& r) {
            return r[ds.fieldIndex(QStringLiteral("NRSEQ"))].toString() == componentItem &&
                   r[ds.fieldIndex(QStringLiteral("CDPRODUTO"))].toString() == product;
        });
        for (obs.first(); !obs.eof(); obs.next()) {
            insObs.setParam(QStringLiteral("CDFILIAL"), to_.branch);
            insObs.setParam(QStringLiteral("NRVENDAREST"), to_.sale);
            insObs.setParam(QStringLiteral("NRCOMANDA"), to_.tab);
            insObs.setParam(QStringLiteral("NRPRODCOMVEN"), newItem_);
            insObs.setParam(QStringLiteral("CDPRODUTO"), product);
            insObs.setParam(QStringLiteral("CDGRPOCOR"), obs.field(QStringLiteral("CDGRPOCOR")).value());
            insObs.setParam(QStringLiteral("CDOCORR"), obs.field(QStringLiteral("CDOCORR")).value());
            insObs.execute();
        }
        obs.clearFilter();
    }
}

void DependentRecords::recordMove(const QString& originSale) {
    platform::db::Statement& check = dm_.adqVerifPedidoAlt;
    check.close();
    check.setParam(QStringLiteral("P_CDFILIALOLD"), to_.branch);
    check.setParam(QStringLiteral("P_NRVENDARESTOLD"), originSale);
    check.setParam(QStringLiteral("P_NRCOMANDAOLD"), record_.originTab);
    check.setParam(QStringLiteral("P_NRPRODCOMVENOLD"), record_.item);
    check.open();
    const bool exists = !check.isEmpty();
    check.close();

    platform::db::Statement& write = exists ? dm_.acmUpPedidoAlt : dm_.acmInsPedidoAlt;
    write.setParam(QStringLiteral("CDFILIALOLD"), to_.branch);
    write.setParam(QStringLiteral("NRVENDARESTOLD"), originSale);
    write.setParam(QStringLiteral("NRCOMANDAOLD"), record_.originTab);
    write.setParam(QStringLiteral("NRPRODCOMVENOLD"), record_.item);
    write.setParam(QStringLiteral("NRVENDAREST"), to_.sale);
    write.setParam(QStringLiteral("NRCOMANDA"), to_.tab);
    write.setParam(QStringLiteral("NRPRODCOMVEN"), newItem_);
    write.setParam(QStringLiteral("NRMESA"), to_.table);
    write.setParam(QStringLiteral("NRSEQPRODCUP"), record_.copied.value(QStringLiteral("NRSEQPRODCUP")));
    write.setParam(QStringLiteral("NRLUGARMESAIT"), record_.seat);
    write.execute();
}

} // namespace Srv_Mvt04215
