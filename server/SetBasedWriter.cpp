// The transfer's set-based writer: every kind of row for all moved items in one statement, the values
// of each item bound as one JSON parameter, never pasted into the text.

#include "TransferWriters.h"
#include "platform/db/Batch.h"
#include "schema/CodeValues.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace Srv_Mvt04215 {
namespace {

using platform::db::Dialect;

// A value as the JSON the statement reads; a date-time in the form each database's driver sends it, so
// that the rows come out as the statement-by-statement writer leaves them.
QJsonValue json(const QVariant& v, Dialect dialect) {
    if (!v.isValid() || v.isNull())
        return QJsonValue::Null;
    switch (v.typeId()) {
    case QMetaType::QString: {
        const QString s = v.toString();
        return s.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(s);
    }
    case QMetaType::Double:
        return v.toDouble();
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        if (!dt.isValid())
            return QJsonValue::Null;
        if (dialect == Dialect::PostgreSQL)
            return dt.toOffsetFromUtc(dt.offsetFromUtc()).toString(Qt::ISODateWithMs);
        return dt.toString(Qt::ISODateWithMs);
    }
    default:
        return v.toString();
    }
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

// Every value of the new item rows, in the order of setItemColumns().
QString newRows(const TransferRequestRecords& request, const TransferPlan& plan, Dialect dialect) {
    QList<qsizetype> copied; // where each column comes from: a copied column, or -1
    for (const QString& column : setItemColumns())
        copied << copiedColumns().indexOf(column.toUpper());
    // the source sequence is not carried: a whole move renumbers it, a split leaves it empty
    copied[setItemColumns().indexOf(QStringLiteral("nrseqprodcom"))] = -1;

    QJsonArray rows;
    for (qsizetype i = 0; i < request.records.size(); ++i) {
        const TransferRecord& r = request.records[i];
        const PlannedMove& move = plan.moves[i];
        QJsonArray values;
        for (qsizetype c = 0; c < copied.size(); ++c) {
            if (copied[c] >= 0) {
                values.append(json(r.copied[copied[c]], dialect));
                continue;
            }
            const QString& column = setItemColumns()[c];
            if (column == QLatin1String("nrprodcomven"))
                values.append(move.newItem);
            else if (column == QLatin1String("qtprodcomven"))
                values.append(r.moved);
            else if (column == QLatin1String("nrseqprodcom"))
                values.append(json(move.sequence, dialect));
            else if (column == QLatin1String("nrmesadscomorit"))
                values.append(json(r.originTable, dialect));
            else if (column == QLatin1String("nrlugarmesa"))
                values.append(json(r.seat, dialect));
            else
                throw platform::Error(QStringLiteral("Sem valor para %1 do item transferido.").arg(column));
        }
        rows.append(row(setItemColumns(), values, dialect));
    }
    return text(rows);
}

// Per moved item, in the order of setKeyColumns(): its origin key, the sale it had, its new number,
// whether it moves whole and what a split leaves, and the values of its tracking row.
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
                                move.remaining,
                                json(r.copied.value(QStringLiteral("NRSEQPRODCUP")), dialect),
                                json(r.seat, dialect)};
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
    bool anyWhole = false, anySplit = false;
    for (const PlannedMove& move : plan.moves)
        (move.whole ? anyWhole : anySplit) = true;

    platform::db::Batch batch(dm.adcTrPosicao);
    if (dialect == Dialect::PostgreSQL)
        batch.add(dm.adqPlanoLote);
    batch.add(dm.acmInsProdLote, {{"P_CDFILIAL", to.branch},
                                  {"P_NRVENDAREST", to.sale},
                                  {"P_NRCOMANDA", to.tab},
                                  {"P_CDLOJA", to.store},
                                  {"P_ITENS", newRows(request, plan, dialect)}});
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
    if (anySplit)
        batch.add(dm.acmAlterQuantLote, {{"P_CDFILIAL", to.branch}, {"P_CHAVES", moved}});
    // components go before their item, as they were copied before
    if (anyWhole)
        for (platform::db::Statement* del : {&dm.acmDelProdEstLote, &dm.acmDelProdLote})
            batch.add(*del, {{"P_CDFILIAL", to.branch}, {"P_CHAVES", moved}});

    double total = 0;
    for (auto it = plan.surchargeByOriginTab.cbegin(); it != plan.surchargeByOriginTab.cend(); ++it)
        total += it.value();
    batch.add(dm.acmUpdComanda, {{"P_VRACRCOMANDA", total},
                                 {"P_CDFILIAL", to.branch},
                                 {"P_CDLOJA", to.store},
                                 {"P_NRCOMANDA", to.tab}});
    for (auto it = plan.surchargeByOriginTab.cbegin(); it != plan.surchargeByOriginTab.cend(); ++it)
        batch.add(dm.acmUpdComanda, {{"P_VRACRCOMANDA", it.value() * -1}, {"P_NRCOMANDA", it.key()}});
    batch.add(dm.acmUpdMesa, {{"P_IDSTMESAAUX", schema::codes::TableOccupied},
                              {"P_CDFILIAL", to.branch},
                              {"P_CDLOJA", to.store},
                              {"P_NRMESA", to.table}});
    transaction.commitWith(batch);
    batch.run();
}

} // namespace Srv_Mvt04215
