// The transfer's set-based writer: every kind of row for all moved items in one statement, what each
// record chose bound as one JSON parameter (never pasted into the text), every other value read from
// the origin rows by the statements themselves.

#include "SurchargeAndTable.h"
#include "TransferWriters.h"
#include "platform/db/Batch.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace Srv_Mvt04215 {
namespace {

using platform::db::Dialect;

// A text value as the JSON the statements read; an empty one stays empty.
QJsonValue json(const QVariant& v) {
    const QString text = v.toString();
    return text.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

// One row of a JSON parameter in the shape the dialect's statements read.
QJsonValue row(const QStringList& columns, const QJsonArray& values, Dialect dialect) {
    if (dialect != Dialect::PostgreSQL)
        return values;
    QJsonObject object;
    for (qsizetype i = 0; i < columns.size(); ++i)
        object.insert(columns[i], values[i]);
    return object;
}

QString text(const QJsonArray& rows) {
    return QString::fromUtf8(QJsonDocument(rows).toJson(QJsonDocument::Compact));
}

// Per record, in the order of setKeyColumns(): its origin item's key and sale, its new number, whether
// it deletes its item, what the last part of an item leaves, whether it tracks its item, what it moves,
// its group, its origin table, and the values of its tracking row.
QString keys(const TransferRequestRecords& request, const TransferPlan& plan, Dialect dialect) {
    QJsonArray rows;
    for (qsizetype i = 0; i < request.records.size(); ++i) {
        const TransferRecord& r = request.records[i];
        const PlannedMove& move = plan.moves[i];
        const QJsonArray values{r.originTab,
                                r.item,
                                move.originSale,
                                move.newItem,
                                move.whole ? 1 : 0,
                                move.lastPart ? QJsonValue(move.remaining) : QJsonValue(QJsonValue::Null),
                                move.tracks ? 1 : 0,
                                r.moved,
                                json(move.sequence),
                                move.originTable,
                                json(move.values.value(QStringLiteral("NRSEQPRODCUP"))),
                                json(r.seat)};
        rows.append(row(setKeyColumns(), values, dialect));
    }
    return text(rows);
}

} // namespace

void writeSetBased(TrdmTrPosicao& dm, platform::db::Transaction& transaction,
                   const TransferRequestRecords& request, const TransferPlan& plan) {
    const TransferDestination& to = request.destination;
    const Dialect dialect = dm.adcTrPosicao.dialect();
    const QString moved = keys(request, plan, dialect);
    bool anyWhole = false, anyPart = false;
    for (const PlannedMove& move : plan.moves) {
        anyWhole = anyWhole || move.whole;
        anyPart = anyPart || move.lastPart;
    }

    platform::db::Batch batch(dm.adcTrPosicao);
    if (dialect == Dialect::PostgreSQL)
        batch.add(dm.adqPlanoLote);
    batch.add(dm.acmInsProdLote, {{"P_CDFILIAL", to.branch},
                                  {"P_NRVENDAREST", to.sale},
                                  {"P_NRCOMANDA", to.tab},
                                  {"P_CDLOJA", to.store},
                                  {"P_CHAVES", moved}});
    for (platform::db::Statement* copy :
         {&dm.acmInsObsItComandaVenLote, &dm.acmInsProdEstLote, &dm.acmInsObsItComandaEstLote})
        batch.add(*copy, {{"P_CDFILIAL", to.branch},
                          {"P_NRVENDAREST", to.sale},
                          {"P_NRCOMANDA", to.tab},
                          {"P_CHAVES", moved}});
    // an old key tracked before is pointed at its new item; only the others get a row of their own
    for (platform::db::Statement* track : {&dm.acmUpPedidoAltLote, &dm.acmInsPedidoAltLote})
        batch.add(*track, {{"P_CDFILIAL", to.branch},
                           {"P_NRVENDAREST", to.sale},
                           {"P_NRCOMANDA", to.tab},
                           {"P_NRMESA", to.table},
                           {"P_CHAVES", moved}});
    if (anyPart)
        batch.add(dm.acmAlterQuantLote, {{"P_CDFILIAL", to.branch}, {"P_CHAVES", moved}});
    // components go before their item, as they were copied before
    if (anyWhole)
        for (platform::db::Statement* del : {&dm.acmDelProdEstLote, &dm.acmDelProdLote})
            batch.add(*del, {{"P_CDFILIAL", to.branch}, {"P_CHAVES", moved}});

    writeSurchargesAndTable(dm, to, plan,
                            [&batch](platform::db::Statement& statement, platform::db::NamedValues values) {
                                batch.add(statement, values);
                            });
    transaction.commitWith(batch);
    batch.run();
}

} // namespace Srv_Mvt04215
