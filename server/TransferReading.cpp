#include "TransferReading.h"

#include "platform/ItemNumbering.h"
#include "platform/db/Batch.h"

#include <QSet>

namespace Srv_Mvt04215 {
namespace {

using platform::DataPacket;

int column(const DataPacket& rows, const char* name) {
    for (int i = 0; i < rows.fields.size(); ++i)
        if (rows.fields[i].name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return i;
    throw platform::Error(
        QStringLiteral("A leitura da transferência não trouxe %1.").arg(QLatin1String(name)));
}

QVariant first(const DataPacket& rows, const char* name) {
    return rows.rows.isEmpty() ? QVariant() : rows.rows.first().value(column(rows, name));
}

int readInteger(const QVariant& value, const char* what) {
    if (!value.isValid())
        return 0;
    const QString text =
        value.typeId() == QMetaType::Double ? QString::number(value.toDouble(), 'g', 15) : value.toString();
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok)
        throw platform::Error(QStringLiteral("\"%1\" não é um valor inteiro válido (%2).")
                                  .arg(text.trimmed(), QLatin1String(what)));
    return n;
}

} // namespace

LockedRead readUnderLock(TrdmTrPosicao& dm, platform::db::Transaction& transaction,
                         const TransferRequestRecords& request) {
    const TransferDestination& to = request.destination;
    QSet<QString> originSet;
    for (const TransferRecord& r : request.records)
        originSet.insert(r.originTab);
    QStringList origins(originSet.cbegin(), originSet.cend());
    origins.sort();
    QSet<QString> tabSet = originSet;
    tabSet.insert(to.tab);
    QStringList tabs(tabSet.cbegin(), tabSet.cend());
    tabs.sort();

    platform::db::Batch batch(dm.adcTrPosicao);
    transaction.beginWith(batch);
    int destinationLock = -1;
    QList<int> locks;
    for (const QString& tab : std::as_const(tabs)) {
        locks << batch.add(dm.adqBloqComanda, {{"P_CDFILIAL", to.branch}, {"P_NRCOMANDA", tab}});
        if (tab == to.tab)
            destinationLock = locks.last();
    }
    const int sale =
        batch.add(dm.adqVerifVendaAberta, {{"P_CDFILIAL", to.branch}, {"P_NRVENDAREST", to.sale}});
    const int table = batch.add(dm.adqMesaDestino, {{"P_CDFILIAL", to.branch}, {"P_NRVENDAREST", to.sale}});
    QList<int> items;
    for (const QString& tab : std::as_const(origins))
        items << batch.add(dm.adqItensOrigem, {{"P_CDFILIAL", to.branch}, {"P_NRCOMANDA", tab}});
    const int numbering = batch.add(dm.adcTrPosicao.cachedStatement(platform::TdtmZelProxCodigo::statement()),
                                    {{"P_CDFILIAL", to.branch}, {"P_NRCOMANDA", to.tab}});
    const int sequence =
        batch.add(dm.adqPesqSeqProdCom,
                  {{"P_CDFILIAL", to.branch}, {"P_NRVENDAREST", to.sale}, {"P_NRCOMANDA", to.tab}});
    batch.run();

    LockedRead read;
    for (qsizetype i = 0; i < tabs.size(); ++i)
        read.tabSurcharges.insert(tabs[i], first(batch.result(locks[i]).rows, "VRACRCOMANDA").toDouble());
    const DataPacket& destinationTab = batch.result(destinationLock).rows;
    read.destinationTabFound = !destinationTab.rows.isEmpty();
    read.destinationTabSale = first(destinationTab, "NRVENDAREST").toString();
    const DataPacket& openSale = batch.result(sale).rows;
    read.destinationSaleOpen = !openSale.rows.isEmpty();
    read.destinationSaleTable = first(openSale, "NRMESA").toString();
    const DataPacket& destinationTable = batch.result(table).rows;
    read.destinationSaleStore = first(destinationTable, "CDLOJA").toString();
    read.destinationTableStatus = first(destinationTable, "IDSTMESAAUX").toString();

    for (qsizetype i = 0; i < origins.size(); ++i) {
        const DataPacket& rows = batch.result(items[i]).rows;
        const int itemColumn = column(rows, "NRPRODCOMVEN"), quantityColumn = column(rows, "QTPRODCOMVEN"),
                  saleColumn = column(rows, "NRVENDAREST"), tableColumn = column(rows, "NRMESAVENDA"),
                  storeColumn = column(rows, "CDLOJAVENDA");
        QList<int> copied;
        for (const QString& name : copiedColumns())
            copied.append(column(rows, name.toLatin1().constData()));
        for (const platform::Record& row : rows.rows) {
            OriginItem item{row[saleColumn].toString(),
                            row[tableColumn].toString(),
                            row[storeColumn].toString(),
                            row[quantityColumn].toDouble(),
                            {}};
            item.copied.values.reserve(copied.size());
            for (int at : std::as_const(copied))
                item.copied.values << row[at];
            read.originItems.emplace(std::pair{origins[i], row[itemColumn].toString()}, std::move(item));
        }
    }

    QStringList highest;
    for (const platform::Record& row : batch.result(numbering).rows.rows)
        highest << row.value(0).toString();
    read.firstNewItem = platform::TdtmZelProxCodigo::firstFree(highest, int(request.records.size()));
    read.highestSequence = readInteger(first(batch.result(sequence).rows, "NRSEQPRODCOM"), "NRSEQPRODCOM");
    return read;
}

} // namespace Srv_Mvt04215
