#include "ItemTraceOutput.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace cli {
namespace {

QString orUnknown(const QString& value) {
    return value.isEmpty() ? QStringLiteral("?") : value;
}

QJsonValue orNull(const QString& value) {
    return value.isEmpty() ? QJsonValue() : QJsonValue(value);
}

} // namespace

QByteArray traceText(const Srv_Mvt04215::ItemTrace& trace) {
    QStringList lines;
    for (qsizetype i = 0; i < trace.places.size(); ++i) {
        const Srv_Mvt04215::TracedPlace& p = trace.places[i];
        QString line = QStringLiteral("%1comanda %2 item %3, mesa %4, lugar %5, venda %6, ")
                           .arg(i == 0 ? QString() : QStringLiteral("-> "), p.tab, p.item, orUnknown(p.table),
                                orUnknown(p.seat), orUnknown(p.sale));
        line += p.quantity ? QStringLiteral("qtde %1").arg(QString::number(*p.quantity))
                           : QStringLiteral("não está mais aqui");
        if (i == trace.queried)
            line += QStringLiteral(" [consultado]");
        if (i == trace.places.size() - 1 && p.quantity && !trace.cycle)
            line += QStringLiteral(" [atual]");
        lines << line;
    }
    if (trace.cycle)
        lines << QStringLiteral("os registros de movimento voltam a um lugar já visto; o rastro para aqui");
    return (lines.join(u'\n')).toUtf8();
}

QByteArray traceJson(const Srv_Mvt04215::ItemTrace& trace) {
    QJsonArray places;
    for (const Srv_Mvt04215::TracedPlace& p : trace.places)
        places.append(QJsonObject{
            {QStringLiteral("NRCOMANDA"), p.tab},
            {QStringLiteral("NRPRODCOMVEN"), p.item},
            {QStringLiteral("NRVENDAREST"), orNull(p.sale)},
            {QStringLiteral("NRMESA"), orNull(p.table)},
            {QStringLiteral("NRLUGARMESA"), orNull(p.seat)},
            {QStringLiteral("QTPRODCOMVEN"), p.quantity ? QJsonValue(*p.quantity) : QJsonValue()},
        });
    const QJsonObject root{{QStringLiteral("CDFILIAL"), trace.branch},
                           {QStringLiteral("queried"), trace.queried},
                           {QStringLiteral("cycle"), trace.cycle},
                           {QStringLiteral("places"), places}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

} // namespace cli
