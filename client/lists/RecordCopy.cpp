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
};

constexpr CarriedField carried[] = {
    // a new destination record then takes the screen's branch
    {"CDFILIAL", "CDFILIAL", Carry::Text},
    {"NRVENDAREST", "NRVENDAREST", Carry::Text},
    {"NRCOMANDA", "NRCOMANDAORIG", Carry::Text},
    {"NRPRODCOMVEN", "NRPRODCOMVEN", Carry::Text},
    {"CDPRODUTO", "CDPRODUTO", Carry::Text},
    // the item's quantity at the origin; what a destination record moves is its own QTPRODCOMVEN
    {"QTPRODCOMVEN", "QTORIGINAL", Carry::Number},
    {"VRPRECCOMVEN", "VRPRECCOMVEN", Carry::NumberAsText},
    {"TXPRODCOMVEN", "TXPRODCOMVEN", Carry::Text},
    {"IDSTPRCOMVEN", "IDSTPRCOMVEN", Carry::Text},
    {"VRDESCCOMVEN", "VRDESCCOMVEN", Carry::NumberAsText},
    // the seat at the origin; a destination record's NRLUGARMESA is its destination seat
    {"NRLUGARMESA", "NRLUGARMESAORIG", Carry::Text},
    {"CDGRPOCOR", "CDGRPOCOR", Carry::Text},
    {"CDOCORR", "CDOCORR", Carry::Text},
    {"NRMESAORIG", "NRMESAORIG", Carry::Text},
    {"CDLOJAORIG", "CDLOJAORIG", Carry::Text},
    {"DTHRINCOMVEN", "DTHRINCOMVEN", Carry::DateTime},
    {"IDPRODIMPFIS", "IDPRODIMPFIS", Carry::Text},
    {"CDLOJA", "CDLOJA", Carry::Text},
    {"VRACRCOMVEN", "VRACRCOMVEN", Carry::NumberAsText},
    {"NRSEQPRODCOM", "NRSEQPRODCOM", Carry::Text},
    {"NRSEQPRODCUP", "NRSEQPRODCUP", Carry::Text},
    {"DSCOMANDAORI", "DSCOMANDAORI", Carry::Text},
    {"NRCOMANDAORI", "NRCOMANDAORI", Carry::Text},
    {"NRPRODCOMORI", "NRPRODCOMORI", Carry::Text},
    {"CDCAIXACOLETOR", "CDCAIXACOLETOR", Carry::Text},
    {"VRPRECCLCOMVEN", "VRPRECCLCOMVEN", Carry::NumberAsText},
    {"CDPRODPROMOCAO", "CDPRODPROMOCAO", Carry::Text},
    {"CDARVPROD", "CDARVPROD", Carry::Text},
    {"NMPRODUTO", "NMPRODUTO", Carry::Text},
    {"IDPESAPROD", "IDPESAPROD", Carry::Text},
    // the waiter, the typed observation and the seat state go both ways, so that an item comes back
    // to the origin list as it left it
    {"CDVENDEDOR", "CDVENDEDOR", Carry::Text},
    {"IDORIGPEDCMD", "IDORIGPEDCMD", Carry::Text},
    {"DSOBSPEDDIGCMD", "DSOBSPEDDIGCMD", Carry::Text},
    {"NRATRAPRODCOVE", "NRATRAPRODCOVE", Carry::Number},
    {"NRPEDIDOZEL", "NRPEDIDOZEL", Carry::Text},
    {"CDSENHAPED", "CDSENHAPED", Carry::Text},
    {"IDDIVIDECONTA", "IDDIVIDECONTA", Carry::Text},
    {"NRPRODORIG", "NRPRODORIG", Carry::Text},
    {"QTITEMREFIL", "QTITEMREFIL", Carry::Number},
    {"IDPRODREFIL", "IDPRODREFIL", Carry::Text},
    {"NRINSCRCONS", "NRINSCRCONS", Carry::Text},
    {"NMCONSVEND", "NMCONSVEND", Carry::Text},
    {"DSENDEVENDA", "DSENDEVENDA", Carry::Text},
    {"IDSTLUGARMESA", "IDSTLUGARMESA", Carry::Text},
};

} // namespace

void copyItemRecord(platform::Dataset& from, platform::Dataset& to, Toward toward) {
    const bool forth = toward == Toward::Destination;
    for (const CarriedField& f : carried) {
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
