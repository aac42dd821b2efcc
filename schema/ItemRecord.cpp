#include "ItemRecord.h"

#include "platform/Errors.h"

namespace schema {
namespace {

using platform::FieldDef;
using platform::FieldList;
using platform::FieldType;

FieldDef text(const char* name, int size) {
    return {QString::fromLatin1(name), FieldType::String, size};
}
FieldDef number(const char* name) {
    return {QString::fromLatin1(name), FieldType::Float, 0};
}
FieldDef dateTime(const char* name) {
    return {QString::fromLatin1(name), FieldType::DateTime, 0};
}

const FieldDef& byName(const FieldList& list, const QString& name) {
    for (const FieldDef& f : list)
        if (f.name == name)
            return f;
    throw platform::Error(QStringLiteral("Campo desconhecido no registro do item: %1").arg(name));
}

} // namespace

const FieldList& itemRecordFields() {
    static const FieldList fields = {
        text("CDFILIAL", 4),       text("NRVENDAREST", 10),    text("NRCOMANDA", 10),
        text("NRPRODCOMVEN", 6),   text("CDPRODUTO", 10),      number("QTPRODCOMVEN"),
        number("VRPRECCOMVEN"),    text("TXPRODCOMVEN", 2000), text("IDSTPRCOMVEN", 1),
        number("VRDESCCOMVEN"),    text("NRLUGARMESA", 3),     text("CDGRPOCOR", 2),
        text("CDOCORR", 2),        text("NRMESAORIG", 4),      text("CDLOJAORIG", 10),
        dateTime("DTHRINCOMVEN"),  text("IDPRODIMPFIS", 1),    text("CDLOJA", 10),
        number("VRACRCOMVEN"),     text("NRSEQPRODCOM", 3),    text("NRSEQPRODCUP", 10),
        text("DSCOMANDAORI", 50),  text("NRCOMANDAORI", 10),   text("NRPRODCOMORI", 6),
        text("CDCAIXACOLETOR", 3), number("VRPRECCLCOMVEN"),   text("CDPRODPROMOCAO", 10),
        text("CDARVPROD", 20),     text("NMPRODUTO", 50),      text("IDPESAPROD", 1),
        text("CDVENDEDOR", 4),     text("IDORIGPEDCMD", 3),    text("DSOBSPEDDIGCMD", 2000),
        number("NRATRAPRODCOVE"),  text("NRPEDIDOZEL", 10),    text("CDSENHAPED", 5),
        text("IDDIVIDECONTA", 1),  text("NRPRODORIG", 6),      number("QTITEMREFIL"),
        text("IDPRODREFIL", 1),    text("NRINSCRCONS", 20),    text("NMCONSVEND", 50),
        text("DSENDEVENDA", 60),   text("IDSTLUGARMESA", 1),
    };
    return fields;
}

const FieldList& itemQueryFields() {
    static const FieldList fields = [] {
        FieldList out = itemRecordFields();
        const qsizetype text = out.indexOf(byName(out, QStringLiteral("TXPRODCOMVEN")));
        const FieldDef moved = out.takeAt(text);
        out.insert(out.indexOf(byName(out, QStringLiteral("IDPESAPROD"))) + 1, moved);
        return out;
    }();
    return fields;
}

const FieldList& destinationListFields() {
    static const FieldList fields = [] {
        const FieldList& item = itemRecordFields();
        FieldList out = item.mid(0, 30);
        out << text("NRCOMANDAORIG", 10) << number("QTORIGINAL") << text("CDLOJAABER", 10)
            << text("NRMESADES", 4) << text("NRMESAORI", 4)
            << item[30] // CDVENDEDOR
            // as wide as the seat itself, so that a three-character seat comes back as the same seat
            << text("NRLUGARMESAORIG", 3);
        out << item.mid(31, 12); // IDORIGPEDCMD .. DSENDEVENDA
        // the seat state travels with the item so that it returns to the origin list unchanged
        out << item[43]; // IDSTLUGARMESA
        return out;
    }();
    return fields;
}

const FieldList& destinationCheckFields() {
    static const FieldList fields = {
        text("NRMESA", 4),       text("NMMESA", 30),      text("IDSTMESAAUX", 1), text("NRCOMANDA", 10),
        text("NRVENDAREST", 10), text("NRPESMESAVEN", 3), text("DSCOMANDA", 50),
    };
    return fields;
}

const QStringList& destinationOnlyFieldNames() {
    static const QStringList names = {QStringLiteral("NRCOMANDAORIG"), QStringLiteral("QTORIGINAL"),
                                      QStringLiteral("CDLOJAABER"),    QStringLiteral("NRMESADES"),
                                      QStringLiteral("NRMESAORI"),     QStringLiteral("NRLUGARMESAORIG")};
    return names;
}

int itemFieldWidth(const QString& name) {
    return byName(itemRecordFields(), name).size;
}

} // namespace schema
