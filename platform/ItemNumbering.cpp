#include "ItemNumbering.h"

#include "Errors.h"
#include "Text.h"
#include "db/Connection.h"
#include "db/Statement.h"

namespace platform {

const db::StatementDef& TdtmZelProxCodigo::statement() {
    // Item numbers are fixed-width texts, so the highest text is the highest number and an index finds
    // it without reading the tab's history. The numbers of items that moved away count as used: their
    // observations stay behind and their tracking rows are keyed by the old number, so a new item must
    // not take it over.
    static const db::StatementDef def{
        .name = QStringLiteral("adqPrxItemComanda"),
        .kind = db::StatementKind::Query,
        .sql = QStringLiteral("SELECT MAX(NRPRODCOMVEN) AS NRPRODCOMVEN FROM ITCOMANDAVEN\n"
                              "WHERE CDFILIAL = :P_CDFILIAL AND NRCOMANDA = :P_NRCOMANDA\n"
                              "UNION ALL\n"
                              "SELECT MAX(NRPRODCOMVENOLD) FROM PEDIDOALT\n"
                              "WHERE CDFILIALOLD = :P_CDFILIAL AND NRCOMANDAOLD = :P_NRCOMANDA"),
        .params = {{QStringLiteral("P_CDFILIAL")},
                   {QStringLiteral("P_NRCOMANDA")},
                   {QStringLiteral("P_CDFILIAL")},
                   {QStringLiteral("P_NRCOMANDA")}},
        .resultFields = {{QStringLiteral("NRPRODCOMVEN"), FieldType::String, 6}},
    };
    return def;
}

QString TdtmZelProxCodigo::PrxItemComanda(const QString& branch, const QString& tab, int count) {
    db::Statement& query = connection_.cachedStatement(statement());
    QStringList highest;
    for (auto rows = query.run({{"P_CDFILIAL", branch}, {"P_NRCOMANDA", tab}}); !rows.eof(); rows.next())
        highest << rows.asString(QStringLiteral("NRPRODCOMVEN"));
    return firstFree(highest, count);
}

QString TdtmZelProxCodigo::firstFree(const QStringList& highest, int count) {
    qulonglong top = 0;
    for (const QString& text : highest) {
        bool ok = false;
        const qulonglong n = text.trimmed().toULongLong(&ok);
        if (ok && n > top)
            top = n;
    }
    const qulonglong first = top + 1;
    // the last number handed out must fit as well
    Ajusta(QString::number(first + qulonglong(std::max(count, 1)) - 1), 6);
    return Ajusta(QString::number(first), 6);
}

} // namespace platform
