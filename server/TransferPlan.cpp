#include "TransferPlan.h"

#include "platform/Text.h"

#include <algorithm>
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
    using Key = std::pair<QString, QString>;
    QHash<Key, qsizetype> lastOfItem;
    for (qsizetype i = 0; i < request.records.size(); ++i)
        lastOfItem[{request.records[i].originTab, request.records[i].item}] = i;

    TransferPlan plan;
    QString newItem = read.firstNewItem;
    int currentSequence = read.highestSequence;
    std::map<std::pair<QString, int>, int> newSequences;
    // per origin item: what its earlier records moved, and of its surcharge
    QHash<Key, std::pair<double, double>> taken;
    for (qsizetype i = 0; i < request.records.size(); ++i) {
        const TransferRecord& r = request.records[i];
        const Key key{r.originTab, r.item};
        const OriginItem& origin = read.originItems.value(key);
        PlannedMove move;
        move.newItem = newItem;
        move.whole = r.takesRest;
        move.originSale = origin.sale;
        move.originTable = origin.saleTable;
        move.values = origin.copied;
        move.tracks = lastOfItem.value(key) == i;
        move.lastPart = move.tracks && !move.whole;

        auto& [movedBefore, surchargeBefore] = taken[key];
        movedBefore += r.moved;
        move.remaining = origin.quantity - movedBefore;
        const double surcharge = origin.copied.value(QStringLiteral("VRACRCOMVEN")).toDouble();
        // a part's share follows its quantity, so that what stays and what went add up to the item's
        move.surcharge = move.whole ? surcharge - surchargeBefore
                                    : (origin.quantity > 0 ? surcharge * r.moved / origin.quantity : 0);
        surchargeBefore += move.surcharge;

        if (move.whole) {
            const QString source = origin.copied.value(QStringLiteral("NRSEQPRODCOM")).toString();
            if (source.isEmpty()) {
                move.sequence = QString();
            } else {
                const auto group = std::make_pair(r.originTab, readInteger(source, "NRSEQPRODCOM"));
                auto it = newSequences.find(group);
                if (it == newSequences.end())
                    it = newSequences.emplace(group, ++currentSequence).first;
                move.sequence = platform::Ajusta(QString::number(it->second), 3);
            }
        }
        plan.surchargeByOriginTab[r.originTab] += move.surcharge;
        plan.moves.append(move);
        // the numbering made sure the last number fits; there is no next one to make after it
        if (plan.moves.size() < request.records.size())
            newItem = platform::Ajusta(QString::number(readInteger(newItem, "NRPRODCOMVEN") + 1), 6);
    }
    // Both rows of an item split before carry the item's whole surcharge, so moving one of them whole
    // could take more than its tab still holds of it: a tab gives at most its total, never goes below zero.
    for (auto it = plan.surchargeByOriginTab.begin(); it != plan.surchargeByOriginTab.end(); ++it)
        if (it.value() > 0)
            it.value() = std::min(it.value(), std::max(0.0, read.tabSurcharges.value(it.key())));
    return plan;
}

} // namespace Srv_Mvt04215
