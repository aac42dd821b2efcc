// The records that carry an item from one list to the other.

#include "RecordCopy.h"
#include "TfrmTrPosicao.h"

namespace Cli_Mvt04215 {

void TfrmTrPosicao::InsereProdDes(double quantity) {
    cdsProdDes.insert();
    RecordCopy c(cdsProdOrig, cdsProdDes);
    cdsProdDes.field(QStringLiteral("CDFILIAL")).setString(CdFilial);
    c.same("NRVENDAREST");
    c.text("NRCOMANDAORIG", "NRCOMANDA");
    c.same("NRPRODCOMVEN");
    c.same("CDPRODUTO");
    cdsProdDes.field(QStringLiteral("QTPRODCOMVEN")).setFloat(quantity);
    c.number("QTORIGINAL", "QTPRODCOMVEN");
    c.numberAsText("VRPRECCOMVEN", "VRPRECCOMVEN");
    c.same("TXPRODCOMVEN");
    c.same("IDSTPRCOMVEN");
    c.numberAsText("VRDESCCOMVEN", "VRDESCCOMVEN");
    cdsProdDes.field(QStringLiteral("NRLUGARMESA")).setString(NrLugarDest);
    for (const char* f : {"CDGRPOCOR", "CDOCORR", "NRMESAORIG", "CDLOJAORIG"})
        c.same(f);
    c.dateTime("DTHRINCOMVEN", "DTHRINCOMVEN");
    c.same("IDPRODIMPFIS");
    c.same("CDLOJA");
    c.numberAsText("VRACRCOMVEN", "VRACRCOMVEN");
    for (const char* f :
         {"NRSEQPRODCOM", "NRSEQPRODCUP", "DSCOMANDAORI", "NRCOMANDAORI", "NRPRODCOMORI", "CDCAIXACOLETOR"})
        c.same(f);
    c.numberAsText("VRPRECCLCOMVEN", "VRPRECCLCOMVEN");
    for (const char* f : {"CDPRODPROMOCAO", "CDARVPROD", "NMPRODUTO", "IDPESAPROD"})
        c.same(f);
    cdsProdDes.field(QStringLiteral("CDLOJAABER")).setString(CdLoja);
    cdsProdDes.field(QStringLiteral("NRMESADES")).setString(NrMesaDest);
    c.same("CDVENDEDOR");
    c.text("NRLUGARMESAORIG", "NRLUGARMESA");
    c.same("IDORIGPEDCMD");
    c.same("DSOBSPEDDIGCMD");
    c.number("NRATRAPRODCOVE", "NRATRAPRODCOVE");
    for (const char* f : {"NRPEDIDOZEL", "CDSENHAPED", "IDDIVIDECONTA", "NRPRODORIG"})
        c.same(f);
    c.number("QTITEMREFIL", "QTITEMREFIL");
    for (const char* f : {"IDPRODREFIL", "NRINSCRCONS", "NMCONSVEND", "DSENDEVENDA"})
        c.same(f);
    // carried so that the item comes back to the origin list with the seat state it had there
    c.same("IDSTLUGARMESA");
    cdsProdDes.post();
}

void TfrmTrPosicao::InsereProdOrig() {
    cdsProdOrig.insert();
    RecordCopy c(cdsProdDes, cdsProdOrig);
    c.same("CDFILIAL");
    c.same("NRVENDAREST");
    c.text("NRCOMANDA", "NRCOMANDAORIG");
    c.same("NRPRODCOMVEN");
    c.same("CDPRODUTO");
    c.number("QTPRODCOMVEN", "QTORIGINAL");
    c.numberAsText("VRPRECCOMVEN", "VRPRECCOMVEN");
    c.same("TXPRODCOMVEN");
    c.same("IDSTPRCOMVEN");
    c.numberAsText("VRDESCCOMVEN", "VRDESCCOMVEN");
    c.text("NRLUGARMESA", "NRLUGARMESAORIG");
    for (const char* f : {"CDGRPOCOR", "CDOCORR", "NRMESAORIG", "CDLOJAORIG"})
        c.same(f);
    c.dateTime("DTHRINCOMVEN", "DTHRINCOMVEN");
    c.same("IDPRODIMPFIS");
    c.same("CDLOJA");
    c.numberAsText("VRACRCOMVEN", "VRACRCOMVEN");
    for (const char* f :
         {"NRSEQPRODCOM", "NRSEQPRODCUP", "DSCOMANDAORI", "NRCOMANDAORI", "NRPRODCOMORI", "CDCAIXACOLETOR"})
        c.same(f);
    c.numberAsText("VRPRECCLCOMVEN", "VRPRECCLCOMVEN");
    for (const char* f : {"CDPRODPROMOCAO", "CDARVPROD", "NMPRODUTO", "IDPESAPROD"})
        c.same(f);
    c.number("NRATRAPRODCOVE", "NRATRAPRODCOVE");
    for (const char* f : {"NRPEDIDOZEL", "CDSENHAPED", "IDDIVIDECONTA", "NRPRODORIG"})
        c.same(f);
    c.number("QTITEMREFIL", "QTITEMREFIL");
    for (const char* f : {"IDPRODREFIL", "NRINSCRCONS", "NMCONSVEND", "DSENDEVENDA"})
        c.same(f);
    // the waiter, the typed observation and the seat state go back with the item
    for (const char* f : {"CDVENDEDOR", "IDORIGPEDCMD", "DSOBSPEDDIGCMD", "IDSTLUGARMESA"})
        c.same(f);
    cdsProdOrig.post();
}

} // namespace Cli_Mvt04215
