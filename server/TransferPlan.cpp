#include "TransferPlan.h"

#include "platform/Text.h"

#include <map>

namespace Srv_Mvt04215 {
namespace {

int readInteger(const QString& text, const char* what) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok)
        throw platform::Error(
            QStringLiteral("\"%1\" não é um número inteiro válido (%2).").arg(text, QLatin1String(what)));
    return n;
}

} // namespace

TransferPlan planTransfer(const TransferRequestRecords& request, const LockedRead& read) {
    TransferPlan plan;
    QString newItem = read.firstNewItem;
    int currentSequence = read.highestSequence;
    std::map<std::pair<QString, int>, int> newSequences;
    for (const TransferRecord& r : request.records) {
        PlannedMove move;
        move.newItem = newItem;
        // exact equality moves the item whole; any difference splits it
        move.whole = r.original - r.moved == 0;
        move.remaining = r.original - r.moved;
        move.originSale = read.originItems.value({r.originTab, r.item}).sale;
        if (move.whole) {
            const QString source = r.copied.value(QStringLiteral("NRSEQPRODCOM")).toString();
            if (source.isEmpty()) {
                move.sequence = QString();
            } else {
                const auto key = std::make_pair(r.originTab, readInteger(source, "NRSEQPRODCOM"));
                auto it = newSequences.find(key);
                if (it == newSequences.end())
                    it = newSequences.emplace(key, ++currentSequence).first;
                move.sequence = platform::Ajusta(QString::number(it->second), 3);
            }
        }
        plan.surchargeByOriginTab[r.originTab] += r.copied.value(QStringLiteral("VRACRCOMVEN")).toDouble();
        plan.moves.append(move);
        // the numbering made sure the last number fits; there is no next one to make after it
        if (plan.moves.size() < request.records.size())
            newItem = platform::Ajusta(QString::number(readInteger(newItem, "NRPRODCOMVEN") + 1), 6);
    }
    return plan;
}

} // namespace Srv_Mvt04215
