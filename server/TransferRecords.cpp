#include "TransferRecords.h"

#include "TransferMessages.h"
#include "schema/ItemRecord.h"

#include <algorithm>
#include <cmath>

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

// Reads fields of the request's current record; each field is looked up once per request.
class RecordReader {
public:
    explicit RecordReader(platform::Dataset& request) : request_(request) {}

    // A field of the request, with the type and width its destination-list field gives it.
    struct Field {
        QString name;
        int index;
        platform::FieldDef def;
    };
    Field field(const QString& name) const {
        const int index = request_.fieldIndex(name);
        if (index < 0)
            throw platform::Error(
                QStringLiteral("A solicitação de transferência não tem o campo %1.").arg(name));
        return {name, index, fieldDef(name)};
    }

    QVariant value(const Field& f) const {
        try {
            return platform::coerceToField(f.def, request_.field(f.index).value());
        } catch (const platform::DatasetError&) {
            throw TransferRefused(transferText::unreadableValue(tab_, item_, f.name));
        }
    }
    QString text(const Field& f) const { return value(f).toString(); }
    double number(const Field& f) const { return value(f).toDouble(); }

    // The record's origin item names every later refusal.
    void startRecord(const Field& tab, const Field& item) {
        tab_ = request_.field(tab.index).asString();
        item_ = request_.field(item.index).asString();
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

const QVariant& CopiedValues::value(const QString& column) const {
    static const QHash<QString, qsizetype> index = [] {
        QHash<QString, qsizetype> out;
        for (qsizetype i = 0; i < copiedColumns().size(); ++i)
            out.insert(copiedColumns()[i], i);
        return out;
    }();
    const auto it = index.constFind(column);
    if (it == index.cend())
        throw platform::Error(QStringLiteral("%1 não é levado do item de origem.").arg(column));
    return values.at(*it);
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
    RecordReader read(request);
    using Field = RecordReader::Field;
    const Field originTab = read.field(QStringLiteral("NRCOMANDAORIG"));
    const Field item = read.field(QStringLiteral("NRPRODCOMVEN"));
    const Field product = read.field(QStringLiteral("CDPRODUTO"));
    const Field original = read.field(QStringLiteral("QTORIGINAL"));
    const Field moved = read.field(QStringLiteral("QTPRODCOMVEN"));
    const Field originTable = read.field(QStringLiteral("NRMESAORI"));
    const Field seat = read.field(QStringLiteral("NRLUGARMESA"));
    QList<Field> destinationFields;
    for (const char* name : {"CDFILIAL", "NRVENDAREST", "NRCOMANDA", "CDLOJAABER", "NRMESADES"})
        destinationFields << read.field(QString::fromLatin1(name));

    TransferRequestRecords out;
    // the records of each origin item, in the request's order
    QHash<std::pair<QString, QString>, QList<qsizetype>> byItem;
    QList<std::pair<QString, QString>> itemOrder;
    QStringList first;
    for (request.first(); !request.eof(); request.next()) {
        read.startRecord(originTab, item);
        TransferRecord r;
        r.originTab = read.text(originTab);
        r.item = read.text(item);

        QStringList destination;
        for (const Field& f : std::as_const(destinationFields))
            destination << read.text(f);
        if (first.isEmpty())
            first = destination;
        for (qsizetype i = 0; i < destinationFields.size(); ++i)
            if (destination[i] != first[i])
                throw TransferRefused(
                    transferText::otherDestination(r.originTab, r.item, destinationFields[i].name));

        r.product = read.text(product);
        r.original = read.number(original);
        r.moved = read.number(moved);
        if (!(r.moved > 0) || r.moved > r.original)
            throw TransferRefused(transferText::quantityOutOfRange(r.originTab, r.item, r.moved, r.original));
        r.originTable = read.value(originTable);
        r.seat = read.value(seat);

        const std::pair key{r.originTab, r.item};
        if (!byItem.contains(key))
            itemOrder << key;
        byItem[key] << out.records.size();
        out.records.append(std::move(r));
    }

    for (const auto& key : std::as_const(itemOrder)) {
        const QList<qsizetype>& at = byItem[key];
        double held = 0, total = 0;
        for (qsizetype i : at) {
            held = std::max(held, out.records[i].original);
            total += out.records[i].moved;
        }
        TransferRecord& last = out.records[at.last()];
        if (at.size() == 1) {
            // exact equality moves the item whole; any difference splits it
            last.takesRest = last.moved == last.original;
        } else {
            // parts typed one by one add up to the whole within rounding only
            const double tolerance = QuantityTolerance * std::max(1.0, held);
            if (total > held + tolerance)
                throw TransferRefused(transferText::quantityOutOfRange(key.first, key.second, total, held));
            last.takesRest = std::abs(total - held) <= tolerance;
        }
        for (qsizetype i : at) {
            TransferRecord& r = out.records[i];
            r.itemHeld = held;
            // a part is at least what the keypad can type; an item moved whole may hold any amount,
            // give or take the rounding of a difference of two typed quantities
            if (!last.takesRest && r.moved < SmallestQuantity - QuantityTolerance)
                throw TransferRefused(
                    transferText::quantityOutOfRange(r.originTab, r.item, r.moved, r.original));
        }
    }
    out.destination = {first[0], first[1], first[2], first[3], first[4]};
    request.first();
    return out;
}

} // namespace Srv_Mvt04215
