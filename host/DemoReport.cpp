#include "DemoReport.h"

#include "platform/AuditLog.h"
#include "platform/db/Connection.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlQuery>
#include <QSqlRecord>

namespace host::demo {
namespace {

// Every row of a query, each as its columns' values.
QList<QVariantList> rowsOf(platform::db::Connection& connection, const QString& sql) {
    QSqlQuery q(connection.database());
    q.setForwardOnly(true);
    if (!q.exec(sql))
        throw connection.error(q.lastError(), QStringLiteral("ler o restaurante de demonstração"));
    QList<QVariantList> rows;
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < q.record().count(); ++i)
            row << q.value(i);
        rows << row;
    }
    return rows;
}

QStringList auditLogLines() {
    QFile log(platform::auditLogPath());
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

QString quantity(const QVariant& value) {
    return QString::number(value.toDouble(), 'g', 15);
}

} // namespace

QJsonObject DemoState::toJson() const {
    QJsonObject tablesJson;
    for (auto it = tables.cbegin(); it != tables.cend(); ++it)
        tablesJson.insert(it.key(), QJsonObject{{QStringLiteral("status"), it->status},
                                                {QStringLiteral("items"), it->items}});
    return {{QStringLiteral("tables"), tablesJson},
            {QStringLiteral("moves"), QJsonArray::fromStringList(moves)},
            {QStringLiteral("auditLines"), auditLines}};
}

DemoState DemoState::fromJson(const QJsonObject& json) {
    DemoState state;
    const QJsonObject tablesJson = json.value(QStringLiteral("tables")).toObject();
    for (auto it = tablesJson.constBegin(); it != tablesJson.constEnd(); ++it) {
        const QJsonObject table = it->toObject();
        state.tables.insert(it.key(), {table.value(QStringLiteral("status")).toString(),
                                       table.value(QStringLiteral("items")).toInt()});
    }
    for (const auto& move : json.value(QStringLiteral("moves")).toArray())
        state.moves << move.toString();
    state.auditLines = json.value(QStringLiteral("auditLines")).toInt();
    return state;
}

DemoState readState(platform::db::Connection& connection) {
    DemoState state;
    const auto tables =
        rowsOf(connection, QStringLiteral("SELECT M.NRMESA, COALESCE(M.IDSTMESAAUX, ''), "
                                          "(SELECT COUNT(*) FROM VENDAREST V JOIN COMANDAVEN CO ON "
                                          "CO.CDFILIAL = V.CDFILIAL AND CO.NRVENDAREST = V.NRVENDAREST "
                                          "JOIN ITCOMANDAVEN IT ON IT.CDFILIAL = CO.CDFILIAL AND "
                                          "IT.NRCOMANDA = CO.NRCOMANDA WHERE V.CDFILIAL = M.CDFILIAL "
                                          "AND V.CDLOJA = M.CDLOJA AND V.NRMESA = M.NRMESA AND "
                                          "V.DTHRFECHMESA IS NULL) FROM MESA M"));
    for (const QVariantList& row : tables)
        state.tables.insert(row[0].toString(), {row[1].toString(), row[2].toInt()});
    const auto moves = rowsOf(connection, QStringLiteral("SELECT CDFILIALOLD, NRVENDARESTOLD, NRCOMANDAOLD, "
                                                         "NRPRODCOMVENOLD FROM PEDIDOALT"));
    for (const QVariantList& row : moves)
        state.moves << row[0].toString() + u'/' + row[1].toString() + u'/' + row[2].toString() + u'/' +
                           row[3].toString();
    state.auditLines = int(auditLogLines().size());
    return state;
}

QStringList describeChanges(platform::db::Connection& connection, const DemoState& before) {
    QStringList out;
    // where each moved item is now, and what stayed behind of a split one
    const auto moves = rowsOf(
        connection,
        QStringLiteral(
            "SELECT PA.CDFILIALOLD, PA.NRVENDARESTOLD, PA.NRCOMANDAOLD, PA.NRPRODCOMVENOLD, PA.NRCOMANDA, "
            "PA.NRPRODCOMVEN, PA.NRMESA, PA.NRLUGARMESAIT, IT.QTPRODCOMVEN, PO.NMPRODUTO, "
            "IT.NRMESADSCOMORIT, "
            "OLD.QTPRODCOMVEN FROM PEDIDOALT PA "
            "LEFT JOIN ITCOMANDAVEN IT ON IT.CDFILIAL = PA.CDFILIALOLD AND IT.NRCOMANDA = PA.NRCOMANDA AND "
            "IT.NRPRODCOMVEN = PA.NRPRODCOMVEN "
            "LEFT JOIN PRODUTO PO ON PO.CDPRODUTO = IT.CDPRODUTO "
            "LEFT JOIN ITCOMANDAVEN OLD ON OLD.CDFILIAL = PA.CDFILIALOLD AND OLD.NRCOMANDA = PA.NRCOMANDAOLD "
            "AND OLD.NRPRODCOMVEN = PA.NRPRODCOMVENOLD ORDER BY PA.NRCOMANDA, PA.NRPRODCOMVEN"));
    QStringList moved;
    for (const QVariantList& r : moves) {
        const QString key =
            r[0].toString() + u'/' + r[1].toString() + u'/' + r[2].toString() + u'/' + r[3].toString();
        if (before.moves.contains(key))
            continue;
        QString line =
            QStringLiteral("    %1 x %2: table %3 tab %4 item %5 -> table %6 seat %7, tab %8 item %9")
                .arg(quantity(r[8]), r[9].toString(), r[10].toString(), r[2].toString(), r[3].toString(),
                     r[6].toString(), r[7].toString(), r[4].toString(), r[5].toString());
        if (!r[11].isNull())
            line += QStringLiteral(" (%1 left at table %2)").arg(quantity(r[11]), r[10].toString());
        moved << line;
    }
    out << QStringLiteral("  items moved: %1").arg(moved.size()) << moved;

    const DemoState now = readState(connection);
    QStringList tables;
    for (auto it = now.tables.cbegin(); it != now.tables.cend(); ++it) {
        const DemoState::Table was = before.tables.value(it.key());
        if (was == *it)
            continue;
        tables << QStringLiteral("    %1: status %2 -> %3, items %4 -> %5")
                      .arg(it.key(), was.status, it->status)
                      .arg(was.items)
                      .arg(it->items);
    }
    out << QStringLiteral("  tables changed: %1").arg(tables.size()) << tables;

    const QStringList lines = auditLogLines();
    out << QStringLiteral("  audit log %1: %2 new line(s)")
               .arg(platform::auditLogPath())
               .arg(std::max(0, int(lines.size()) - before.auditLines));
    for (qsizetype i = before.auditLines; i < lines.size(); ++i) {
        const QJsonObject entry = QJsonDocument::fromJson(lines[i].toUtf8()).object();
        out << (entry.isEmpty() ? QStringLiteral("    ") + lines[i]
                                : QStringLiteral("    %1  %2")
                                      .arg(entry.value(QStringLiteral("action")).toString(),
                                           entry.value(QStringLiteral("text")).toString()));
    }
    return out;
}

} // namespace host::demo
