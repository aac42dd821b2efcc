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
    const Field original = read.field(QStringLiteral("QTORIGINAL"));
    const Field moved = read.field(QStringLiteral("QTPRODCOMVEN"));
    const Field originTable = read.field(QStringLiteral("NRMESAORI"));
    const Field seat = read.field(QStringLiteral("NRLUGARMESA"));
    QList<Field> destinationFields, copiedFields;
    for (const char* name : {"CDFILIAL", "NRVENDAREST", "NRCOMANDA", "CDLOJAABER", "NRMESADES"})
        destinationFields << read.field(QString::fromLatin1(name));
    for (const QString& column : copiedColumns())
        copiedFields << read.field(column);

    TransferRequestRecords out;
    QSet<QString> seen;
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

        // a second record of the same item would move it twice
        const QString key = destination[0] + u'\x1f' + r.originTab + u'\x1f' + r.item;
        if (seen.contains(key))
            throw TransferRefused(transferText::duplicateItem(r.originTab, r.item));
        seen.insert(key);

        r.original = read.number(original);
        r.moved = read.number(moved);
        // what is left behind may be any size; what moves is at least what the keypad can type, give or
        // take the rounding of a difference of two typed quantities
        if (r.moved < SmallestQuantity - QuantityTolerance || r.moved > r.original)
            throw TransferRefused(transferText::quantityOutOfRange(r.originTab, r.item, r.moved, r.original));

        r.originTable = read.value(originTable);
        r.seat = read.value(seat);
        r.copied.values.reserve(copiedFields.size());
        for (const Field& f : std::as_const(copiedFields))
            r.copied.values << read.value(f);
        out.records.append(std::move(r));
    }
    out.destination = {first[0], first[1], first[2], first[3], first[4]};
    request.first();
    return out;
}

} // namespace Srv_Mvt04215
