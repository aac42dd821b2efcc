#include "DependentRecords.h"

namespace Srv_Mvt04215 {
namespace {

// Quantities and prices are copied as they are; an empty one stays empty.
QVariant asNumber(const QVariant& v) {
    return v.isNull() ? QVariant() : QVariant(v.toDouble());
}

} // namespace

QString DependentRecords::request(const char* field) const {
    return dm_.cdsTransferencia.field(QString::fromLatin1(field)).asString();
}

void DependentRecords::copyObservations() {
    platform::db::Statement& q = dm_.adqObsItens;
    q.close();
    q.setParam(QStringLiteral("P_CDFILIAL"), request("CDFILIAL"));
    q.setParam(QStringLiteral("P_NRCOMANDA"), request("NRCOMANDAORIG"));
    q.setParam(QStringLiteral("P_NRPRODCOMVEN"), request("NRPRODCOMVEN"));
    dm_.cdsObsItens.loadPacket(dm_.dspObsItens.data());

    platform::db::Statement& ins = dm_.acmInsObsItComandaVen;
    platform::Dataset& obs = dm_.cdsObsItens;
    for (obs.first(); !obs.eof(); obs.next()) {
        ins.setParam(QStringLiteral("CDFILIAL"), request("CDFILIAL"));
        ins.setParam(QStringLiteral("NRVENDAREST"), request("NRVENDAREST"));
        ins.setParam(QStringLiteral("NRCOMANDA"), request("NRCOMANDA"));
        ins.setParam(QStringLiteral("NRPRODCOMVEN"), newItem_);
        ins.setParam(QStringLiteral("CDGRPOCOR"), obs.field(QStringLiteral("CDGRPOCOR")).value());
        ins.setParam(QStringLiteral("CDOCORR"), obs.field(QStringLiteral("CDOCORR")).value());
        ins.execute();
    }
}

void DependentRecords::copyComponents() {
    const QString branch = request("CDFILIAL");
    const QString originTab = request("NRCOMANDAORIG");
    const QString originItem = request("NRPRODCOMVEN");

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
        insComponent.setParam(QStringLiteral("P_NRVENDAREST"), request("NRVENDAREST"));
        insComponent.setParam(QStringLiteral("P_NRCOMANDA"), request("NRCOMANDA"));
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
            insObs.setParam(QStringLiteral("CDFILIAL"), request("CDFILIAL"));
            insObs.setParam(QStringLiteral("NRVENDAREST"), request("NRVENDAREST"));
            insObs.setParam(QStringLiteral("NRCOMANDA"), request("NRCOMANDA"));
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
    check.setParam(QStringLiteral("P_CDFILIALOLD"), request("CDFILIAL"));
    check.setParam(QStringLiteral("P_NRVENDARESTOLD"), originSale);
    check.setParam(QStringLiteral("P_NRCOMANDAOLD"), request("NRCOMANDAORIG"));
    check.setParam(QStringLiteral("P_NRPRODCOMVENOLD"), request("NRPRODCOMVEN"));
    check.open();
    const bool exists = !check.isEmpty();
    check.close();

    platform::db::Statement& write = exists ? dm_.acmUpPedidoAlt : dm_.acmInsPedidoAlt;
    write.setParam(QStringLiteral("CDFILIALOLD"), request("CDFILIAL"));
    write.setParam(QStringLiteral("NRVENDARESTOLD"), originSale);
    write.setParam(QStringLiteral("NRCOMANDAOLD"), request("NRCOMANDAORIG"));
    write.setParam(QStringLiteral("NRPRODCOMVENOLD"), request("NRPRODCOMVEN"));
    write.setParam(QStringLiteral("NRVENDAREST"), request("NRVENDAREST"));
    write.setParam(QStringLiteral("NRCOMANDA"), request("NRCOMANDA"));
    write.setParam(QStringLiteral("NRPRODCOMVEN"), newItem_);
    write.setParam(QStringLiteral("NRMESA"), request("NRMESADES"));
    write.setParam(QStringLiteral("NRSEQPRODCUP"), request("NRSEQPRODCUP"));
    write.setParam(QStringLiteral("NRLUGARMESAIT"), request("NRLUGARMESA"));
    write.execute();
}

} // namespace Srv_Mvt04215
