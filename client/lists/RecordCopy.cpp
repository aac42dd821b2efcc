#include "RecordCopy.h"

namespace Cli_Mvt04215 {
namespace {

// How a value crosses. The ways differ on an empty value: as text it stays empty; as a number it
// becomes 0; as a date-time it becomes the zero date.
enum class Carry {
    Text,
    NumberAsText, // through its general text form (15 significant digits), written in the source's
                  // locale and read back in the target's
    Number,
    DateTime,
};

struct CarriedField {
    const char* origin;      // name in the origin list
    const char* destination; // name in the destination list
    Carry carry;
    bool backOnly; // a destination record takes the screen's value instead
};

constexpr CarriedField carried[] = {
    {"CDFILIAL", "CDFILIAL", Carry::Text, true},
    {"NRVENDAREST", "NRVENDAREST", Carry::Text, false},
    {"NRCOMANDA", "NRCOMANDAORIG", Carry::Text, false},
    {"NRPRODCOMVEN", "NRPRODCOMVEN", Carry::Text, false},
    {"CDPRODUTO", "CDPRODUTO", Carry::Text, false},
    // the item's quantity at the origin; what a destination record moves is its own QTPRODCOMVEN
    {"QTPRODCOMVEN", "QTORIGINAL", Carry::Number, false},
    {"VRPRECCOMVEN", "VRPRECCOMVEN", Carry::NumberAsText, false},
    {"TXPRODCOMVEN", "TXPRODCOMVEN", Carry::Text, false},
    {"IDSTPRCOMVEN", "IDSTPRCOMVEN", Carry::Text, false},
    {"VRDESCCOMVEN", "VRDESCCOMVEN", Carry::NumberAsText, false},
    // the seat at the origin; a destination record's NRLUGARMESA is its destination seat
    {"NRLUGARMESA", "NRLUGARMESAORIG", Carry::Text, false},
    {"CDGRPOCOR", "CDGRPOCOR", Carry::Text, false},
    {"CDOCORR", "CDOCORR", Carry::Text, false},
    {"NRMESAORIG", "NRMESAORIG", Carry::Text, false},
    {"CDLOJAORIG", "CDLOJAORIG", Carry::Text, false},
    {"DTHRINCOMVEN", "DTHRINCOMVEN", Carry::DateTime, false},
    {"IDPRODIMPFIS", "IDPRODIMPFIS", Carry::Text, false},
    {"CDLOJA", "CDLOJA", Carry::Text, false},
    {"VRACRCOMVEN", "VRACRCOMVEN", Carry::NumberAsText, false},
    {"NRSEQPRODCOM", "NRSEQPRODCOM", Carry::Text, false},
    {"NRSEQPRODCUP", "NRSEQPRODCUP", Carry::Text, false},
    {"DSCOMANDAORI", "DSCOMANDAORI", Carry::Text, false},
    {"NRCOMANDAORI", "NRCOMANDAORI", Carry::Text, false},
    {"NRPRODCOMORI", "NRPRODCOMORI", Carry::Text, false},
    {"CDCAIXACOLETOR", "CDCAIXACOLETOR", Carry::Text, false},
    {"VRPRECCLCOMVEN", "VRPRECCLCOMVEN", Carry::NumberAsText, false},
    {"CDPRODPROMOCAO", "CDPRODPROMOCAO", Carry::Text, false},
    {"CDARVPROD", "CDARVPROD", Carry::Text, false},
    {"NMPRODUTO", "NMPRODUTO", Carry::Text, false},
    {"IDPESAPROD", "IDPESAPROD", Carry::Text, false},
    // the waiter, the typed observation and the seat state go both ways, so that an item comes back
    // to the origin list as it left it
    {"CDVENDEDOR", "CDVENDEDOR", Carry::Text, false},
    {"IDORIGPEDCMD", "IDORIGPEDCMD", Carry::Text, false},
    {"DSOBSPEDDIGCMD", "DSOBSPEDDIGCMD", Carry::Text, false},
    {"NRATRAPRODCOVE", "NRATRAPRODCOVE", Carry::Number, false},
    {"NRPEDIDOZEL", "NRPEDIDOZEL", Carry::Text, false},
    {"CDSENHAPED", "CDSENHAPED", Carry::Text, false},
    {"IDDIVIDECONTA", "IDDIVIDECONTA", Carry::Text, false},
    {"NRPRODORIG", "NRPRODORIG", Carry::Text, false},
    {"QTITEMREFIL", "QTITEMREFIL", Carry::Number, false},
    {"IDPRODREFIL", "IDPRODREFIL", Carry::Text, false},
    {"NRINSCRCONS", "NRINSCRCONS", Carry::Text, false},
    {"NMCONSVEND", "NMCONSVEND", Carry::Text, false},
    {"DSENDEVENDA", "DSENDEVENDA", Carry::Text, false},
    {"IDSTLUGARMESA", "IDSTLUGARMESA", Carry::Text, false},
};

} // namespace

void copyItemRecord(platform::Dataset& from, platform::Dataset& to, Toward toward) {
    const bool forth = toward == Toward::Destination;
    for (const CarriedField& f : carried) {
        if (forth && f.backOnly)
            continue;
        const platform::FieldRef source = from.field(QString::fromLatin1(forth ? f.origin : f.destination));
        platform::FieldRef target = to.field(QString::fromLatin1(forth ? f.destination : f.origin));
        switch (f.carry) {
        case Carry::Text:
            if (source.isNull())
                target.clear();
            else
                target.setString(source.asString());
            break;
        case Carry::NumberAsText:
            target.setString(source.asString());
            break;
        case Carry::Number:
            target.setFloat(source.asFloat());
            break;
        case Carry::DateTime:
            target.setDateTime(source.asDateTime());
            break;
        }
    }
}

} // namespace Cli_Mvt04215
