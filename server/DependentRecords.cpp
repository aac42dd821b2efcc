#include "DependentRecords.h"

#include <QSet>

namespace Srv_Mvt04215 {
namespace {

// Quantities and prices are copied as they are; an empty one stays empty.
QVariant asNumber(const QVariant& v) {
    return v.isNull() ? QVariant() : QVariant(v.toDouble());
}

} // namespace

void DependentRecords::copyObservations() {
    platform::Dataset& obs = dm_.cdsObsItens;
    obs.loadPacket(dm_.dspObsItens.data(
        {{"P_CDFILIAL", to_.branch}, {"P_NRCOMANDA", record_.originTab}, {"P_NRPRODCOMVEN", record_.item}}));
    for (obs.first(); !obs.eof(); obs.next())
        dm_.acmInsObsItComandaVen.execute({{"CDFILIAL", to_.branch},
                                           {"NRVENDAREST", to_.sale},
                                           {"NRCOMANDA", to_.tab},
                                           {"NRPRODCOMVEN", newItem_},
                                           {"CDGRPOCOR", obs.field(QStringLiteral("CDGRPOCOR")).value()},
                                           {"CDOCORR", obs.field(QStringLiteral("CDOCORR")).value()}});
}

void DependentRecords::copyComponents() {
    const platform::db::NamedValues originItem = {
        {"P_CDFILIAL", to_.branch}, {"P_NRCOMANDA", record_.originTab}, {"P_NRPRODCOMVEN", record_.item}};
    // read whole before writing: the inserts go to the table being read
    const platform::DataPacket rows = platform::db::packetOf(dm_.adqItComandaEst.run(originItem));
    platform::Dataset& obs = dm_.cdsObsItensEst;
    obs.loadPacket(dm_.dspObsItensEst.data(originItem));
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
              colPrice = column("VRPRECCOMEST"), colDiscount = column("VRDESITCOMEST"),
              colTyped = column("DSOBSPEDDIGEST");
    QSet<QString> productsWithObservations;

    for (const platform::Record& row : rows.rows) {
        const QString product = row[colProduct].toString();
        dm_.acmInsProdEst.execute({{"P_CDFILIAL", row[colBranch]},
                                   {"P_NRVENDAREST", to_.sale},
                                   {"P_NRCOMANDA", to_.tab},
                                   {"P_NRPRODCOMVEN", newItem_},
                                   {"P_CDPRODUTO", row[colProduct]},
                                   {"P_QTPROCOMEST", asNumber(row[colQty])},
                                   {"P_VRPRECCOMEST", asNumber(row[colPrice])},
                                   {"P_VRDESITCOMEST", asNumber(row[colDiscount])},
                                   {"P_DSOBSPEDDIGEST", row[colTyped]}});

        if (productsWithObservations.contains(product))
            continue;
        productsWithObservations.insert(product);
        const QString componentItem = row[colItem].toString();
        obs.setFilter([&](const platform::Dataset& ds, const platform::Record& r) {
            return r[ds.fieldIndex(QStringLiteral("NRSEQ"))].toString() == componentItem &&
                   r[ds.fieldIndex(QStringLiteral("CDPRODUTO"))].toString() == product;
        });
        for (obs.first(); !obs.eof(); obs.next())
            dm_.acmInsObsItComandaEst.execute({{"CDFILIAL", to_.branch},
                                               {"NRVENDAREST", to_.sale},
                                               {"NRCOMANDA", to_.tab},
                                               {"NRPRODCOMVEN", newItem_},
                                               {"CDPRODUTO", product},
                                               {"CDGRPOCOR", obs.field(QStringLiteral("CDGRPOCOR")).value()},
                                               {"CDOCORR", obs.field(QStringLiteral("CDOCORR")).value()}});
        obs.clearFilter();
    }
}

void DependentRecords::recordMove() {
    const QString& originSale = move_.originSale;
    const bool exists = !dm_.adqVerifPedidoAlt
                             .run({{"P_CDFILIALOLD", to_.branch},
                                   {"P_NRVENDARESTOLD", originSale},
                                   {"P_NRCOMANDAOLD", record_.originTab},
                                   {"P_NRPRODCOMVENOLD", record_.item}})
                             .isEmpty();
    platform::db::Statement& write = exists ? dm_.acmUpPedidoAlt : dm_.acmInsPedidoAlt;
    write.execute({{"CDFILIALOLD", to_.branch},
                   {"NRVENDARESTOLD", originSale},
                   {"NRCOMANDAOLD", record_.originTab},
                   {"NRPRODCOMVENOLD", record_.item},
                   {"NRVENDAREST", to_.sale},
                   {"NRCOMANDA", to_.tab},
                   {"NRPRODCOMVEN", newItem_},
                   {"NRMESA", to_.table},
                   {"NRSEQPRODCUP", move_.values.value(QStringLiteral("NRSEQPRODCUP"))},
                   {"NRLUGARMESAIT", record_.seat}});
}

} // namespace Srv_Mvt04215
