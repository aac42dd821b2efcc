#include "TransferRecords.h"

#include "TransferMessages.h"
#include "schema/ItemRecord.h"

#include <QSet>

namespace Srv_Mvt04215 {
namespace {

// The smallest quantity the keypad can type.
constexpr double SmallestQuantity = 0.001;

const platform::FieldDef& fieldDef(const QString& name) {
    static const QHash<QString, platform::FieldDef> defs = [] {
        QHash<QString, platform::FieldDef> out;
        for (const platform::FieldDef& f : schema::destinationListFields())
            out.insert(f.name, f);
        return out;
    }();
    return *defs.constFind(name);
}

class RecordReader {
public:
    explicit RecordReader(platform::Dataset& request) : request_(request) {}

    // The current record's value of a field, as its destination-list field types it.
    QVariant value(const QString& name) {
        const int index = request_.fieldIndex(name);
        if (index < 0)
            throw platform::Error(
                QStringLiteral("A solicitação de transferência não tem o campo %1.").arg(name));
        try {
            return platform::coerceToField(fieldDef(name), request_.field(index).value());
        } catch (const platform::DatasetError&) {
            throw TransferRefused(transferText::unreadableValue(tab_, item_, name));
        }
    }
    QString text(const QString& name) { return value(name).toString(); }
    double number(const QString& name) { return value(name).toDouble(); }

    // The record's origin item names every later refusal.
    void startRecord() {
        auto raw = [&](const QString& name) {
            const int index = request_.fieldIndex(name);
            return index < 0 ? QString() : request_.field(index).asString();
        };
        tab_ = raw(QStringLiteral("NRCOMANDAORIG"));
        item_ = raw(QStringLiteral("NRPRODCOMVEN"));
    }

private:
    platform::Dataset& request_;
    QString tab_, item_;
};

} // namespace

const QStringList& copiedColumns() {
    static const QStringList columns = {
        QStringLiteral("CDPRODUTO"),      QStringLiteral("VRPRECCOMVEN"), QStringLiteral("VRPRECCLCOMVEN"),
        QStringLiteral("IDSTPRCOMVEN"),   QStringLiteral("VRDESCCOMVEN"), QStringLiteral("VRACRCOMVEN"),
        QStringLiteral("DTHRINCOMVEN"),   QStringLiteral("CDVENDEDOR"),   QStringLiteral("CDPRODPROMOCAO"),
        QStringLiteral("CDCAIXACOLETOR"), QStringLiteral("NRSEQPRODCOM"), QStringLiteral("NRSEQPRODCUP"),
        QStringLiteral("TXPRODCOMVEN"),   QStringLiteral("CDGRPOCOR"),    QStringLiteral("CDOCORR"),
        QStringLiteral("IDPRODIMPFIS"),   QStringLiteral("IDORIGPEDCMD"), QStringLiteral("DSOBSPEDDIGCMD"),
        QStringLiteral("NRATRAPRODCOVE"), QStringLiteral("NRPEDIDOZEL"),  QStringLiteral("CDSENHAPED"),
        QStringLiteral("IDDIVIDECONTA"),  QStringLiteral("NRPRODORIG"),   QStringLiteral("QTITEMREFIL"),
        QStringLiteral("IDPRODREFIL"),    QStringLiteral("NRINSCRCONS"),  QStringLiteral("NMCONSVEND"),
        QStringLiteral("DSENDEVENDA"),
    };
    return columns;
}

QStringList TransferRequestRecords::tables() const {
    QStringList out;
    for (const TransferRecord& r : records)
        if (!out.contains(r.originTable.toString()))
            out << r.originTable.toString();
    out << destination.table;
    return out;
}

TransferRequestRecords readRequest(platform::Dataset& request) {
    if (request.isEmpty())
        throw TransferRefused(transferText::emptyRequest());
    TransferRequestRecords out;
    RecordReader read(request);
    QSet<QString> seen;
    static const QStringList destinationFields = {QStringLiteral("CDFILIAL"), QStringLiteral("NRVENDAREST"),
                                                  QStringLiteral("NRCOMANDA"), QStringLiteral("CDLOJAABER"),
                                                  QStringLiteral("NRMESADES")};
    QStringList first;
    for (request.first(); !request.eof(); request.next()) {
        read.startRecord();
        TransferRecord r;
        r.originTab = read.text(QStringLiteral("NRCOMANDAORIG"));
        r.item = read.text(QStringLiteral("NRPRODCOMVEN"));

        QStringList destination;
        for (const QString& name : destinationFields)
            destination << read.text(name);
        if (first.isEmpty())
            first = destination;
        for (qsizetype i = 0; i < destinationFields.size(); ++i)
            if (destination[i] != first[i])
                throw TransferRefused(
                    transferText::otherDestination(r.originTab, r.item, destinationFields[i]));

        // a second record of the same item would move it twice
        const QString key = destination[0] + u'\x1f' + r.originTab + u'\x1f' + r.item;
        if (seen.contains(key))
            throw TransferRefused(transferText::duplicateItem(r.originTab, r.item));
        seen.insert(key);

        r.original = read.number(QStringLiteral("QTORIGINAL"));
        r.moved = read.number(QStringLiteral("QTPRODCOMVEN"));
        // what is left behind may be any size; what moves is at least what the keypad can type, give or
        // take the rounding of a difference of two typed quantities
        if (r.moved < SmallestQuantity - QuantityTolerance || r.moved > r.original)
            throw TransferRefused(transferText::quantityOutOfRange(r.originTab, r.item, r.moved, r.original));

        r.originTable = read.value(QStringLiteral("NRMESAORI"));
        r.seat = read.value(QStringLiteral("NRLUGARMESA"));
        for (const QString& column : copiedColumns())
            r.copied.insert(column, read.value(column));
        out.records.append(std::move(r));
    }
    out.destination = {first[0], first[1], first[2], first[3], first[4]};
    request.first();
    return out;
}

} // namespace Srv_Mvt04215
