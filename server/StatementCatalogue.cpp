#include "StatementCatalogue.h"

#include "SetStatementCatalogue.h"
#include "TransferRecords.h"
#include "platform/Errors.h"
#include "schema/ItemRecord.h"

namespace Srv_Mvt04215 {
namespace {

using platform::FieldList;
using platform::FieldType;
using platform::db::ParamDecl;
using platform::db::ParamType;
using platform::db::SqlStore;
using platform::db::StatementDef;
using platform::db::StatementKind;

ParamDecl txt(const char* name) {
    return {QString::fromLatin1(name), ParamType::Text};
}
ParamDecl num(const char* name) {
    return {QString::fromLatin1(name), ParamType::Float};
}
ParamDecl dt(const char* name) {
    return {QString::fromLatin1(name), ParamType::DateTime};
}
ParamDecl untyped(const char* name) {
    return {QString::fromLatin1(name), ParamType::Untyped};
}

// A lock statement: its text and, on the line after it, the dialect's lock clause.
QString locked(const QString& text, const char* clause) {
    return text + QStringLiteral("\n   ") + QLatin1String(clause);
}

FieldList saleNumber() {
    return {{QStringLiteral("NRVENDAREST"), FieldType::String, 10}};
}

// An origin item as the transfer checks it: typed as the item record types each column.
FieldList originItemFields() {
    FieldList fields;
    auto item = [&](const QString& name) {
        for (const platform::FieldDef& f : schema::itemRecordFields())
            if (f.name == name)
                fields.append(f);
    };
    item(QStringLiteral("NRPRODCOMVEN"));
    item(QStringLiteral("QTPRODCOMVEN"));
    item(QStringLiteral("NRVENDAREST"));
    fields.append({QStringLiteral("NRMESAVENDA"), FieldType::String, 4});
    fields.append({QStringLiteral("CDLOJAVENDA"), FieldType::String, 10});
    for (const QString& name : copiedColumns())
        item(name);
    return fields;
}

} // namespace

const SqlStore& assProdOrig() {
    // SQLite and PostgreSQL read the same text
    static const QString portable = QStringLiteral(R"sql(SELECT
   IT.CDFILIAL,IT.NRVENDAREST,IT.NRCOMANDA,IT.NRPRODCOMVEN,IT.CDPRODUTO,IT.QTPRODCOMVEN,IT.VRPRECCOMVEN,
   IT.TXPRODCOMVEN,IT.IDSTPRCOMVEN,IT.VRDESCCOMVEN,IT.NRLUGARMESA,IT.CDGRPOCOR,IT.CDOCORR,IT.NRMESAORIG,
   IT.CDLOJAORIG,IT.DTHRINCOMVEN,IT.IDPRODIMPFIS,IT.CDLOJA,IT.VRACRCOMVEN,IT.NRSEQPRODCOM,IT.NRSEQPRODCUP,
   IT.DSCOMANDAORI,IT.NRCOMANDAORI,IT.NRPRODCOMORI,IT.CDCAIXACOLETOR,IT.VRPRECCLCOMVEN,IT.CDPRODPROMOCAO,
   PO.CDARVPROD, COALESCE(PO.NMPRODIMPFIS,PO.NMPRODUTO) AS NMPRODUTO, PO.IDPESAPROD,IT.CDVENDEDOR,IT.IDORIGPEDCMD,
   IT.DSOBSPEDDIGCMD, IT.NRATRAPRODCOVE, IT.NRPEDIDOZEL, IT.CDSENHAPED, IT.IDDIVIDECONTA, IT.NRPRODORIG, IT.QTITEMREFIL,
   IT.IDPRODREFIL, IT.NRINSCRCONS, IT.NMCONSVEND, IT.DSENDEVENDA, IT.IDSTLUGARMESA
FROM
   ITCOMANDAVEN IT, PRODUTO PO , VENDAREST VE
WHERE
   (VE.NRMESA    = :P_NRMESA       )AND
   (IT.CDFILIAL  = :P_CDFILIAL     )AND
   (VE.CDLOJA    = :P_CDLOJA       )AND
   (IT.CDPRODUTO = PO.CDPRODUTO    )AND
   (IT.NRVENDAREST = VE.NRVENDAREST)AND
   (IT.CDFILIAL  = VE.CDFILIAL     )AND
   (VE.DTHRFECHMESA IS NULL )AND
   (IT.IDSTPRCOMVEN NOT IN ('6','7') ) AND
   (IT.CDPRODUTO <> :P_CDPRODCONSUM ) AND
   (IT.CDPRODUTO <> :P_CDPRODCONSFEM) AND
   (IT.CDPRODUTO <> :P_CDPRODCOUVER )
ORDER BY
   NRPRODCOMVEN)sql");
    static const SqlStore store{
        .name = QStringLiteral("assProdOrig"),
        .ADOQuery = QStringLiteral("adqProdOrig"),
        .SQLORACLE = QStringLiteral(R"sql(SELECT
   IT.CDFILIAL,IT.NRVENDAREST,IT.NRCOMANDA,IT.NRPRODCOMVEN,IT.CDPRODUTO,IT.QTPRODCOMVEN,IT.VRPRECCOMVEN,
   IT.TXPRODCOMVEN,IT.IDSTPRCOMVEN,IT.VRDESCCOMVEN,IT.NRLUGARMESA,IT.CDGRPOCOR,IT.CDOCORR,IT.NRMESAORIG,
   IT.CDLOJAORIG,IT.DTHRINCOMVEN,IT.IDPRODIMPFIS,IT.CDLOJA,IT.VRACRCOMVEN,IT.NRSEQPRODCOM,IT.NRSEQPRODCUP,
   IT.DSCOMANDAORI,IT.NRCOMANDAORI,IT.NRPRODCOMORI,IT.CDCAIXACOLETOR,IT.VRPRECCLCOMVEN,IT.CDPRODPROMOCAO,
   PO.CDARVPROD, NVL(PO.NMPRODIMPFIS,PO.NMPRODUTO) AS NMPRODUTO, PO.IDPESAPROD,IT.CDVENDEDOR,IT.IDORIGPEDCMD,
   IT.DSOBSPEDDIGCMD, IT.NRATRAPRODCOVE, IT.NRPEDIDOZEL, IT.CDSENHAPED, IT.IDDIVIDECONTA, IT.NRPRODORIG, IT.QTITEMREFIL,
   IT.IDPRODREFIL, IT.NRINSCRCONS, IT.NMCONSVEND, IT.DSENDEVENDA, IT.IDSTLUGARMESA
FROM
   ITCOMANDAVEN IT, PRODUTO PO , VENDAREST VE
WHERE
   (VE.NRMESA    = :P_NRMESA       )AND
   (IT.CDFILIAL  = :P_CDFILIAL     )AND
   (VE.CDLOJA    = :P_CDLOJA       )AND
   (IT.CDPRODUTO = PO.CDPRODUTO    )AND
   (IT.NRVENDAREST = VE.NRVENDAREST)AND
   (IT.CDFILIAL  = VE.CDFILIAL     )AND
   (VE.DTHRFECHMESA IS NULL )AND
   (IT.IDSTPRCOMVEN NOT IN ('6','7') ) AND
   (IT.CDPRODUTO <> :P_CDPRODCONSUM ) AND
   (IT.CDPRODUTO <> :P_CDPRODCONSFEM) AND
   (IT.CDPRODUTO <> :P_CDPRODCOUVER )
ORDER BY
   NRPRODCOMVEN)sql"),
        .SQLMSSQL = QStringLiteral(R"sql(SELECT
   IT.CDFILIAL,IT.NRVENDAREST,IT.NRCOMANDA,IT.NRPRODCOMVEN,IT.CDPRODUTO,IT.QTPRODCOMVEN,IT.VRPRECCOMVEN,
   CONVERT(VARCHAR(2000),IT.TXPRODCOMVEN) AS TXPRODCOMVEN,
   IT.IDSTPRCOMVEN,IT.VRDESCCOMVEN,IT.NRLUGARMESA,IT.CDGRPOCOR,IT.CDOCORR,IT.NRMESAORIG,
   IT.CDLOJAORIG,IT.DTHRINCOMVEN,IT.IDPRODIMPFIS,IT.CDLOJA,IT.VRACRCOMVEN,IT.NRSEQPRODCOM,IT.NRSEQPRODCUP,
   IT.DSCOMANDAORI,IT.NRCOMANDAORI,IT.NRPRODCOMORI,IT.CDCAIXACOLETOR,IT.VRPRECCLCOMVEN,IT.CDPRODPROMOCAO,
   PO.CDARVPROD, ISNULL(PO.NMPRODIMPFIS,PO.NMPRODUTO) AS NMPRODUTO,PO.IDPESAPROD,IT.CDVENDEDOR,IT.IDORIGPEDCMD,
   CONVERT(VARCHAR(2000),IT.DSOBSPEDDIGCMD) AS DSOBSPEDDIGCMD,IT.NRATRAPRODCOVE, IT.NRPEDIDOZEL, IT.CDSENHAPED, IT.IDDIVIDECONTA,
   IT.NRPRODORIG, IT.QTITEMREFIL, IT.IDPRODREFIL, IT.NRINSCRCONS, IT.NMCONSVEND, IT.DSENDEVENDA, IT.IDSTLUGARMESA
FROM
   ITCOMANDAVEN IT, PRODUTO PO , VENDAREST VE
WHERE
   (VE.NRMESA    = :P_NRMESA       )AND
   (IT.CDFILIAL  = :P_CDFILIAL     )AND
   (VE.CDLOJA    = :P_CDLOJA       )AND
   (IT.CDPRODUTO = PO.CDPRODUTO    )AND
   (IT.NRVENDAREST = VE.NRVENDAREST)AND
   (IT.CDFILIAL  = VE.CDFILIAL     )AND
   (VE.DTHRFECHMESA IS NULL )AND
   (IT.IDSTPRCOMVEN NOT IN ('6','7') ) AND
   (IT.CDPRODUTO <> :P_CDPRODCONSUM ) AND
   (IT.CDPRODUTO <> :P_CDPRODCONSFEM) AND
   (IT.CDPRODUTO <> :P_CDPRODCOUVER )
ORDER BY
   NRPRODCOMVEN)sql"),
        .SQLSQLITE = portable,
        .SQLPOSTGRES = portable,
    };
    return store;
}

const SqlStore& assPesqSeqProdCom() {
    // SQLite and PostgreSQL read the same text
    static const QString portable = QStringLiteral(R"sql(SELECT A.NRSEQPRODCOM
FROM(SELECT
        COALESCE(MAX(IT.NRSEQPRODCOM),'0') AS NRSEQPRODCOM
     FROM
        COMANDAVEN CO, ITCOMANDAVEN IT
     WHERE
        (CO.CDFILIAL    = :P_CDFILIAL)
     AND(CO.NRVENDAREST = :P_NRVENDAREST)
     AND(CO.NRCOMANDA   = :P_NRCOMANDA)
     AND(CO.CDFILIAL    = IT.CDFILIAL)
     AND(CO.NRVENDAREST = IT.NRVENDAREST)
     AND(CO.NRCOMANDA   = IT.NRCOMANDA))A)sql");
    static const SqlStore store{
        .name = QStringLiteral("assPesqSeqProdCom"),
        .ADOQuery = QStringLiteral("adqPesqSeqProdCom"),
        .SQLORACLE = QStringLiteral(R"sql(SELECT A.NRSEQPRODCOM
FROM(SELECT
        NVL(MAX(IT.NRSEQPRODCOM),0) AS NRSEQPRODCOM
     FROM
        COMANDAVEN CO, ITCOMANDAVEN IT
     WHERE
        (CO.CDFILIAL    = :P_CDFILIAL)
     AND(CO.NRVENDAREST = :P_NRVENDAREST)
     AND(CO.NRCOMANDA   = :P_NRCOMANDA)
     AND(CO.CDFILIAL    = IT.CDFILIAL)
     AND(CO.NRVENDAREST = IT.NRVENDAREST)
     AND(CO.NRCOMANDA   = IT.NRCOMANDA))A)sql"),
        .SQLMSSQL = QStringLiteral(R"sql(SELECT
   ISNULL(MAX(IT.NRSEQPRODCOM),0) AS NRSEQPRODCOM
FROM
   COMANDAVEN CO, ITCOMANDAVEN IT
WHERE
   (CO.CDFILIAL    = :P_CDFILIAL)
AND(CO.NRVENDAREST = :P_NRVENDAREST)
AND(CO.NRCOMANDA   = :P_NRCOMANDA)
AND(CO.CDFILIAL    = IT.CDFILIAL)
AND(CO.NRVENDAREST = IT.NRVENDAREST)
AND(CO.NRCOMANDA   = IT.NRCOMANDA))sql"),
        .SQLSQLITE = portable,
        .SQLPOSTGRES = portable,
    };
    return store;
}

// The clean-up deletes the items of exactly the listed tabs ("12_3_"): both the list and each tab
// number are bracketed by "_", so that tab 2 no longer matches inside the entry of tab 12.
const SqlStore& assDeleleItCmd() {
    // SQLite reads Oracle's text as it is
    static const QString oracle = QStringLiteral(R"sql( DELETE
  FROM ITCOMANDAVEN
 WHERE (INSTR('_'||:P_NRCOMANDA, '_'||NRCOMANDA||'_')>0)
   AND CDFILIAL = :P_CDFILIAL)sql");
    static const SqlStore store{
        .name = QStringLiteral("assDeleleItCmd"),
        .ADOQuery = QStringLiteral("acmDeleleItCmd"),
        .SQLORACLE = oracle,
        .SQLMSSQL = QStringLiteral(R"sql( DELETE
  FROM ITCOMANDAVEN
 WHERE (CHARINDEX('_'+NRCOMANDA+'_', '_'+:P_NRCOMANDA)>0)
   AND CDFILIAL = :P_CDFILIAL)sql"),
        .SQLSQLITE = oracle,
        .SQLPOSTGRES = QStringLiteral(R"sql( DELETE
  FROM ITCOMANDAVEN
 WHERE (STRPOS('_'||CAST(:P_NRCOMANDA AS VARCHAR), '_'||NRCOMANDA||'_')>0)
   AND CDFILIAL = :P_CDFILIAL)sql"),
    };
    return store;
}

// Locks taken at the start of a transfer so that two terminals working on the same tabs queue up
// instead of handing out the same item or sequence numbers, or moving one item twice. SQLite needs no
// row locks: its writers hold the database from the start of the transaction.
const SqlStore& assBloqComanda() {
    static const QString text = QStringLiteral(R"sql(SELECT NRVENDAREST, VRACRCOMANDA
  FROM COMANDAVEN
 WHERE CDFILIAL  = :P_CDFILIAL
   AND NRCOMANDA = :P_NRCOMANDA)sql");
    static const SqlStore store{
        .name = QStringLiteral("assBloqComanda"),
        .ADOQuery = QStringLiteral("adqBloqComanda"),
        .SQLORACLE = locked(text, "FOR UPDATE"),
        .SQLMSSQL = QStringLiteral(R"sql(SELECT NRVENDAREST, VRACRCOMANDA
  FROM COMANDAVEN WITH (UPDLOCK, ROWLOCK)
 WHERE CDFILIAL  = :P_CDFILIAL
   AND NRCOMANDA = :P_NRCOMANDA)sql"),
        .SQLSQLITE = text,
        .SQLPOSTGRES = locked(text, "FOR UPDATE"),
    };
    return store;
}

const SqlStore& assVerifVendaAberta() {
    static const QString text = QStringLiteral(R"sql(SELECT NRVENDAREST, NRMESA
  FROM VENDAREST
 WHERE CDFILIAL    = :P_CDFILIAL
   AND NRVENDAREST = :P_NRVENDAREST
   AND DTHRFECHMESA IS NULL)sql");
    static const SqlStore store{
        .name = QStringLiteral("assVerifVendaAberta"),
        .ADOQuery = QStringLiteral("adqVerifVendaAberta"),
        .SQLORACLE = locked(text, "FOR UPDATE"),
        .SQLMSSQL = QStringLiteral(R"sql(SELECT NRVENDAREST, NRMESA
  FROM VENDAREST WITH (UPDLOCK, ROWLOCK)
 WHERE CDFILIAL    = :P_CDFILIAL
   AND NRVENDAREST = :P_NRVENDAREST
   AND DTHRFECHMESA IS NULL)sql"),
        .SQLSQLITE = text,
        .SQLPOSTGRES = locked(text, "FOR UPDATE"),
    };
    return store;
}

// The items of an origin tab that belong to an open sale, read once under lock with every column a
// moved item takes from its origin and with the table and store of their sale: what each record of a
// request is checked against. SQL Server reads the two long texts as the item query shows them, so
// that a request built from that query compares equal. SQLite is held to reading the tab's items first:
// with statistics of one branch it would otherwise walk every sale of the branch.
const SqlStore& assItensOrigem() {
    static const QString text = QStringLiteral(
        R"sql(SELECT IT.NRPRODCOMVEN, IT.QTPRODCOMVEN, IT.NRVENDAREST, VE.NRMESA AS NRMESAVENDA, VE.CDLOJA AS CDLOJAVENDA,
       IT.CDPRODUTO, IT.VRPRECCOMVEN, IT.VRPRECCLCOMVEN, IT.IDSTPRCOMVEN, IT.VRDESCCOMVEN, IT.VRACRCOMVEN,
       IT.DTHRINCOMVEN, IT.CDVENDEDOR, IT.CDPRODPROMOCAO, IT.CDCAIXACOLETOR, IT.NRSEQPRODCOM, IT.NRSEQPRODCUP,
       IT.TXPRODCOMVEN, IT.CDGRPOCOR, IT.CDOCORR, IT.IDPRODIMPFIS, IT.IDORIGPEDCMD,
       IT.DSOBSPEDDIGCMD, IT.NRATRAPRODCOVE, IT.NRPEDIDOZEL, IT.CDSENHAPED, IT.IDDIVIDECONTA,
       IT.NRPRODORIG, IT.QTITEMREFIL, IT.IDPRODREFIL, IT.NRINSCRCONS, IT.NMCONSVEND, IT.DSENDEVENDA
  FROM ITCOMANDAVEN IT, VENDAREST VE
 WHERE IT.CDFILIAL    = :P_CDFILIAL
   AND IT.NRCOMANDA   = :P_NRCOMANDA
   AND VE.CDFILIAL    = IT.CDFILIAL
   AND VE.NRVENDAREST = IT.NRVENDAREST
   AND VE.DTHRFECHMESA IS NULL)sql");
    static const SqlStore store{
        .name = QStringLiteral("assItensOrigem"),
        .ADOQuery = QStringLiteral("adqItensOrigem"),
        .SQLORACLE = locked(text, "FOR UPDATE OF IT.QTPRODCOMVEN"),
        .SQLMSSQL = QStringLiteral(
            R"sql(SELECT IT.NRPRODCOMVEN, IT.QTPRODCOMVEN, IT.NRVENDAREST, VE.NRMESA AS NRMESAVENDA, VE.CDLOJA AS CDLOJAVENDA,
       IT.CDPRODUTO, IT.VRPRECCOMVEN, IT.VRPRECCLCOMVEN, IT.IDSTPRCOMVEN, IT.VRDESCCOMVEN, IT.VRACRCOMVEN,
       IT.DTHRINCOMVEN, IT.CDVENDEDOR, IT.CDPRODPROMOCAO, IT.CDCAIXACOLETOR, IT.NRSEQPRODCOM, IT.NRSEQPRODCUP,
       CONVERT(VARCHAR(2000),IT.TXPRODCOMVEN) AS TXPRODCOMVEN, IT.CDGRPOCOR, IT.CDOCORR, IT.IDPRODIMPFIS, IT.IDORIGPEDCMD,
       CONVERT(VARCHAR(2000),IT.DSOBSPEDDIGCMD) AS DSOBSPEDDIGCMD, IT.NRATRAPRODCOVE, IT.NRPEDIDOZEL, IT.CDSENHAPED, IT.IDDIVIDECONTA,
       IT.NRPRODORIG, IT.QTITEMREFIL, IT.IDPRODREFIL, IT.NRINSCRCONS, IT.NMCONSVEND, IT.DSENDEVENDA
  FROM ITCOMANDAVEN IT WITH (UPDLOCK, ROWLOCK), VENDAREST VE
 WHERE IT.CDFILIAL    = :P_CDFILIAL
   AND IT.NRCOMANDA   = :P_NRCOMANDA
   AND VE.CDFILIAL    = IT.CDFILIAL
   AND VE.NRVENDAREST = IT.NRVENDAREST
   AND VE.DTHRFECHMESA IS NULL)sql"),
        .SQLSQLITE = QStringLiteral(
            R"sql(SELECT IT.NRPRODCOMVEN, IT.QTPRODCOMVEN, IT.NRVENDAREST, VE.NRMESA AS NRMESAVENDA, VE.CDLOJA AS CDLOJAVENDA,
       IT.CDPRODUTO, IT.VRPRECCOMVEN, IT.VRPRECCLCOMVEN, IT.IDSTPRCOMVEN, IT.VRDESCCOMVEN, IT.VRACRCOMVEN,
       IT.DTHRINCOMVEN, IT.CDVENDEDOR, IT.CDPRODPROMOCAO, IT.CDCAIXACOLETOR, IT.NRSEQPRODCOM, IT.NRSEQPRODCUP,
       IT.TXPRODCOMVEN, IT.CDGRPOCOR, IT.CDOCORR, IT.IDPRODIMPFIS, IT.IDORIGPEDCMD,
       IT.DSOBSPEDDIGCMD, IT.NRATRAPRODCOVE, IT.NRPEDIDOZEL, IT.CDSENHAPED, IT.IDDIVIDECONTA,
       IT.NRPRODORIG, IT.QTITEMREFIL, IT.IDPRODREFIL, IT.NRINSCRCONS, IT.NMCONSVEND, IT.DSENDEVENDA
  FROM ITCOMANDAVEN IT CROSS JOIN VENDAREST VE
 WHERE IT.CDFILIAL    = :P_CDFILIAL
   AND IT.NRCOMANDA   = :P_NRCOMANDA
   AND VE.CDFILIAL    = IT.CDFILIAL
   AND VE.NRVENDAREST = IT.NRVENDAREST
   AND VE.DTHRFECHMESA IS NULL)sql"),
        .SQLPOSTGRES = locked(text, "FOR UPDATE OF IT"),
    };
    return store;
}

// The store and table of the destination sale and that table's status.
const SqlStore& assMesaDestino() {
    static const QString text = QStringLiteral(R"sql(SELECT VE.CDLOJA, VE.NRMESA, ME.IDSTMESAAUX
  FROM VENDAREST VE
  LEFT JOIN MESA ME
    ON ME.CDFILIAL = VE.CDFILIAL
   AND ME.CDLOJA   = VE.CDLOJA
   AND ME.NRMESA   = VE.NRMESA
 WHERE VE.CDFILIAL    = :P_CDFILIAL
   AND VE.NRVENDAREST = :P_NRVENDAREST)sql");
    static const SqlStore store{
        .name = QStringLiteral("assMesaDestino"),
        .ADOQuery = QStringLiteral("adqMesaDestino"),
        .SQLORACLE = text,
        .SQLMSSQL = text,
        .SQLSQLITE = text,
        .SQLPOSTGRES = text,
    };
    return store;
}

const SqlStore& assBloqComandasVenda() {
    static const QString text = QStringLiteral(R"sql(SELECT NRCOMANDA
  FROM COMANDAVEN
 WHERE CDFILIAL    = :P_CDFILIAL
   AND NRVENDAREST = :P_NRVENDAREST
 ORDER BY NRCOMANDA)sql");
    static const SqlStore store{
        .name = QStringLiteral("assBloqComandasVenda"),
        .ADOQuery = QStringLiteral("adqBloqComandasVenda"),
        .SQLORACLE = locked(text, "FOR UPDATE"),
        .SQLMSSQL = QStringLiteral(R"sql(SELECT NRCOMANDA
  FROM COMANDAVEN WITH (UPDLOCK, ROWLOCK)
 WHERE CDFILIAL    = :P_CDFILIAL
   AND NRVENDAREST = :P_NRVENDAREST
 ORDER BY NRCOMANDA)sql"),
        .SQLSQLITE = text,
        .SQLPOSTGRES = locked(text, "FOR UPDATE"),
    };
    return store;
}

const QList<StatementDef>& statementCatalogue() {
    static const QList<StatementDef> defs = {
        {
            .name = QStringLiteral("adqProdOrig"),
            .kind = StatementKind::Query,
            .store = &assProdOrig(),
            .params = {txt("P_NRMESA"), txt("P_CDFILIAL"), txt("P_CDLOJA"), txt("P_CDPRODCONSUM"),
                       txt("P_CDPRODCONSFEM"), txt("P_CDPRODCOUVER")},
            .resultFields = schema::itemQueryFields(),
            .readOnly = true,
        },
        {
            .name = QStringLiteral("adqValMesaDest"),
            .kind = StatementKind::Query,
            .sql = QStringLiteral(R"sql(SELECT
   ME.NRMESA , ME.NMMESA , ME.IDSTMESAAUX ,
   CO.NRCOMANDA,CO.NRVENDAREST, VE.NRPESMESAVEN, CO.DSCOMANDA
FROM
   MESA ME, VENDAREST VE, COMANDAVEN CO
WHERE
   (ME.NRMESA   = VE.NRMESA)   AND
   (ME.CDFILIAL = :P_CDFILIAL) AND
   (ME.CDLOJA   = :P_CDLOJA)   AND
   (ME.NRMESA   = :P_NRMESA)   AND
   (VE.CDFILIAL = CO.CDFILIAL) AND
   (ME.CDFILIAL = CO.CDFILIAL) AND
   (VE.CDFILIAL = CO.CDFILIAL) AND
   (VE.NRVENDAREST = CO.NRVENDAREST) AND
   (VE.DTHRFECHMESA IS NULL))sql"),
            .params = {txt("P_CDFILIAL"), txt("P_CDLOJA"), txt("P_NRMESA")},
            .resultFields = schema::destinationCheckFields(),
            .decimalsAsFloat = true,
        },
        {
            .name = QStringLiteral("adqSelecionaVendarest"),
            .kind = StatementKind::Query,
            .sql = QStringLiteral(R"sql(SELECT
   NRVENDAREST
FROM
   VENDAREST
WHERE
       NRMESA   = :P_NRMESA
   AND CDFILIAL = :P_CDFILIAL
   AND CDLOJA   = :P_CDLOJA
   AND DTHRFECHMESA IS NULL)sql"),
            .params = {txt("P_NRMESA"), txt("P_CDFILIAL"), txt("P_CDLOJA")},
            .resultFields = saleNumber(),
        },
        {
            .name = QStringLiteral("adqVerificaItemCancelado"),
            .kind = StatementKind::Query,
            .sql = QStringLiteral(R"sql(SELECT NRVENDAREST
FROM   ITCOMANDAVEN
WHERE  CDFILIAL    = :P_CDFILIAL
   AND NRVENDAREST = :P_NRVENDAREST
)sql"),
            .params = {txt("P_CDFILIAL"), txt("P_NRVENDAREST")},
            .resultFields = saleNumber(),
        },
        {
            .name = QStringLiteral("acmDeletaComandaven"),
            .kind = StatementKind::Command,
            .sql = QStringLiteral(R"sql(DELETE FROM
   COMANDAVEN
WHERE
                     CDFILIAL             = :P_CDFILIAL
            AND NRVENDAREST = :P_NRVENDAREST)sql"),
            .params = {txt("P_CDFILIAL"), txt("P_NRVENDAREST")},
            .noTimeLimit = true,
        },
        {
            .name = QStringLiteral("acmDeletaVendaRest"),
            .kind = StatementKind::Command,
            .sql = QStringLiteral(R"sql(DELETE FROM
   VENDAREST
WHERE
            CDFILIAL             = :P_CDFILIAL
   AND NRVENDAREST = :P_NRVENDAREST)sql"),
            .params = {untyped("P_CDFILIAL"), untyped("P_NRVENDAREST")},
            .noTimeLimit = true,
        },
        {
            .name = QStringLiteral("acmLiberaMesa"),
            .kind = StatementKind::Command,
            .sql = QStringLiteral(R"sql(UPDATE
   MESA
SET
   IDSTMESAAUX = 'D'
WHERE
       CDFILIAL = :P_CDFILIAL
   AND CDLOJA   = :P_CDLOJA
   AND NRMESA   = :P_NRMESA)sql"),
            .params = {txt("P_CDFILIAL"), txt("P_CDLOJA"), txt("P_NRMESA")},
            .noTimeLimit = true,
        },
        {
            .name = QStringLiteral("adqMesaAgrup"),
            .kind = StatementKind::Query,
            .sql = QStringLiteral(R"sql(SELECT NRJUNMESA, NRMESA
FROM MESAJUNCAO
WHERE CDFILIAL = :P_CDFILIAL
  AND CDLOJA   = :P_CDLOJA
  AND NRMESA   = :P_NRMESA)sql"),
            .params = {txt("P_CDFILIAL"), txt("P_CDLOJA"), txt("P_NRMESA")},
            .readOnly = true,
            .decimalsAsFloat = true,
        },
        {
            .name = QStringLiteral("acmUpdMesaAgrup"),
            .kind = StatementKind::Command,
            .sql = QStringLiteral(R"sql(UPDATE MESAJUNCAO
SET NRMESA = :P_NRMESADES
WHERE CDFILIAL = :P_CDFILIAL
      AND CDLOJA   = :P_CDLOJA
      AND NRJUNMESA = :P_NRJUNMESA
      AND NRMESA = :P_NRMESAORI)sql"),
            .params = {txt("P_NRMESADES"), txt("P_CDFILIAL"), txt("P_CDLOJA"), txt("P_NRJUNMESA"),
                       txt("P_NRMESAORI")},
            .noTimeLimit = true,
        },
        {
            .name = QStringLiteral("adqVerifItCmd"),
            .kind = StatementKind::Query,
            .sql = QStringLiteral(R"sql(SELECT NRCOMANDA
  FROM ITCOMANDAVEN
 WHERE NRCOMANDA NOT IN (SELECT NRCOMANDA
                           FROM COMANDAVEN
                          WHERE CDFILIAL = :P_CDFILIAL)
   AND CDFILIAL = :P_CDFILIAL
)sql"),
            .params = {txt("P_CDFILIAL"), txt("P_CDFILIAL")},
        },
        {
            .name = QStringLiteral("acmDelItCmd"),
            .kind = StatementKind::Command,
            .sql = QStringLiteral(R"sql(DELETE FROM ITCOMANDAVEN
 WHERE NRCOMANDA NOT IN (SELECT NRCOMANDA
                           FROM COMANDAVEN
                          WHERE CDFILIAL = :P_CDFILIAL)
   AND CDFILIAL = :P_CDFILIAL)sql"),
            .params = {txt("P_CDFILIAL"), txt("P_CDFILIAL")},
            .noTimeLimit = true,
        },
        {
            .name = QStringLiteral("adqVerifCmd"),
            .kind = StatementKind::Query,
            .sql = QStringLiteral(R"sql(SELECT NRCOMANDA
  FROM COMANDAVEN
 WHERE NRVENDAREST NOT IN (SELECT NRVENDAREST
                           FROM VENDAREST
                          WHERE CDFILIAL = :P_CDFILIAL)
   AND CDFILIAL = :P_CDFILIAL
)sql"),
            .params = {txt("P_CDFILIAL"), txt("P_CDFILIAL")},
        },
        {
            .name = QStringLiteral("acmDeleleItCmd"),
            .kind = StatementKind::Command,
            .store = &assDeleleItCmd(),
            .params = {txt("P_NRCOMANDA"), txt("P_CDFILIAL")},
            .noTimeLimit = true,
        },
        {
            .name = QStringLiteral("acmDelCmd"),
            .kind = StatementKind::Command,
            .sql = QStringLiteral(R"sql(DELETE FROM COMANDAVEN
 WHERE NRVENDAREST NOT IN (SELECT NRVENDAREST
                           FROM VENDAREST
                          WHERE CDFILIAL = :P_CDFILIAL)
   AND CDFILIAL = :P_CDFILIAL)sql"),
            .params = {txt("P_CDFILIAL"), txt("P_CDFILIAL")},
            .noTimeLimit = true,
        },
        {
            .name = QStringLiteral("adqDeleteVendaRest"),
            .kind = StatementKind::Query,
            .sql = QStringLiteral(R"sql(SELECT NRVENDAREST FROM VENDAREST V
  WHERE NOT EXISTS (SELECT *
                     FROM COMANDAVEN C
                    WHERE V.NRVENDAREST = C.NRVENDAREST)
    AND NRMESA = :P_MESA
   AND CDLOJA = :P_CDLOJA)sql"),
            .params = {txt("P_MESA"), txt("P_CDLOJA")},
        },
        {
            .name = QStringLiteral("acmDelVenRes"),
            .kind = StatementKind::Command,
            .sql = QStringLiteral(R"sql(DELETE FROM VENDAREST
 WHERE NOT EXISTS (SELECT *
                     FROM COMANDAVEN C
                   WHERE VENDAREST.NRVENDAREST = C.NRVENDAREST)
   AND NRMESA = :P_MESA
  AND CDLOJA = :P_CDLOJA)sql"),
            .params = {txt("P_MESA"), txt("P_CDLOJA")},
            .noTimeLimit = true,
        },
        {
            .name = QStringLiteral("adqVendaRestVazia"),
            .kind = StatementKind::Query,
            .sql = QStringLiteral(R"sql(SELECT NRVENDAREST FROM VENDAREST
 WHERE CDFILIAL = :P_CDFILIAL
   AND NRMESA = :P_MESA
   AND CDLOJA = :P_CDLOJA

)sql"),
            .params = {txt("P_CDFILIAL"), txt("P_MESA"), txt("P_CDLOJA")},
        },
        {
            .name = QStringLiteral("adqPesqSeqProdCom"),
            .kind = StatementKind::Query,
            .store = &assPesqSeqProdCom(),
            .params = {txt("P_CDFILIAL"), txt("P_NRVENDAREST"), txt("P_NRCOMANDA")},
        },
        {
            .name = QStringLiteral("adqBuscaVendaRest"),
            .kind = StatementKind::Query,
            .sql = QStringLiteral(R"sql(SELECT NRVENDAREST FROM ITCOMANDAVEN
WHERE  CDFILIAL     = :P_CDFILIAL
   AND NRCOMANDA    = :P_NRCOMANDA
   AND NRPRODCOMVEN = :P_NRPRODCOMVEN
)sql"),
            .params = {txt("P_CDFILIAL"), txt("P_NRCOMANDA"), txt("P_NRPRODCOMVEN")},
            .resultFields = saleNumber(),
        },
        {
            .name = QStringLiteral("acmInsProd"),
            .kind = StatementKind::Command,
            .sql = QStringLiteral(R"sql(INSERT INTO ITCOMANDAVEN
(CDFILIAL, NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, CDPRODUTO, QTPRODCOMVEN, VRPRECCOMVEN,
 IDSTPRCOMVEN, VRDESCCOMVEN, DTHRINCOMVEN, VRACRCOMVEN, NRSEQPRODCOM,NRMESADSCOMORIT,CDVENDEDOR,CDPRODPROMOCAO,CDCAIXACOLETOR,VRPRECCLCOMVEN,CDLOJA,NRSEQPRODCUP,NRLUGARMESA,TXPRODCOMVEN,CDGRPOCOR,CDOCORR,IDPRODIMPFIS, IDORIGPEDCMD, DSOBSPEDDIGCMD, NRPEDIDOZEL, NRATRAPRODCOVE, CDSENHAPED, IDDIVIDECONTA, NRPRODORIG, QTITEMREFIL, IDPRODREFIL, NRINSCRCONS, NMCONSVEND, DSENDEVENDA)
VALUES
(:P_CDFILIAL, :P_NRVENDAREST, :P_NRCOMANDA, :P_NRPRODCOMVEN, :P_CDPRODUTO, :P_QTPRODCOMVEN,
 :P_VRPRECCOMVEN, :P_IDSTPRCOMVEN, :P_VRDESCCOMVEN, :P_DTHRINCOMVEN, :P_VRACRCOMVEN, :P_NRSEQPRODCOM, :P_NRMESADSCOMORIT,:P_CDVENDEDOR,:P_CDPRODPROMOCAO,:P_CDCAIXACOLETOR,:P_VRPRECCLCOMVEN,:P_CDLOJA,:P_NRSEQPRODCUP,:P_NRLUGARMESA,:P_TXPRODCOMVEN,:P_CDGRPOCOR,:P_CDOCORR,:P_IDPRODIMPFIS, :P_IDORIGPEDCMD, :P_DSOBSPEDDIGCMD, :P_NRPEDIDOZEL, :P_NRATRAPRODCOVE, :P_CDSENHAPED, :P_IDDIVIDECONTA, :P_NRPRODORIG, :P_QTITEMREFIL, :P_IDPRODREFIL, :P_NRINSCRCONS, :P_NMCONSVEND, :P_DSENDEVENDA))sql"),
            .params = {txt("P_CDFILIAL"),        txt("P_NRVENDAREST"),    txt("P_NRCOMANDA"),
                       txt("P_NRPRODCOMVEN"),    txt("P_CDPRODUTO"),      num("P_QTPRODCOMVEN"),
                       num("P_VRPRECCOMVEN"),    txt("P_IDSTPRCOMVEN"),   num("P_VRDESCCOMVEN"),
                       dt("P_DTHRINCOMVEN"),     num("P_VRACRCOMVEN"),    txt("P_NRSEQPRODCOM"),
                       txt("P_NRMESADSCOMORIT"), txt("P_CDVENDEDOR"),     txt("P_CDPRODPROMOCAO"),
                       txt("P_CDCAIXACOLETOR"),  num("P_VRPRECCLCOMVEN"), txt("P_CDLOJA"),
                       txt("P_NRSEQPRODCUP"),    txt("P_NRLUGARMESA"),    txt("P_TXPRODCOMVEN"),
                       txt("P_CDGRPOCOR"),       txt("P_CDOCORR"),        txt("P_IDPRODIMPFIS"),
                       txt("P_IDORIGPEDCMD"),    txt("P_DSOBSPEDDIGCMD"), txt("P_NRPEDIDOZEL"),
                       num("P_NRATRAPRODCOVE"),  txt("P_CDSENHAPED"),     txt("P_IDDIVIDECONTA"),
                       txt("P_NRPRODORIG"),      num("P_QTITEMREFIL"),    txt("P_IDPRODREFIL"),
                       txt("P_NRINSCRCONS"),     txt("P_NMCONSVEND"),     txt("P_DSENDEVENDA")},
            .noTimeLimit = true,
        },
        {
            .name = QStringLiteral("acmAlterQuant"),
            .kind = StatementKind::Command,
            .sql = QStringLiteral(R"sql(UPDATE
  ITCOMANDAVEN
SET
  QTPRODCOMVEN = :P_QTPRODCOMVEN
WHERE (CDFILIAL     = :P_CDFILIAL    )
  AND (NRCOMANDA    = :P_NRCOMANDA   )
  AND (NRPRODCOMVEN = :P_NRPRODCOMVEN)
)sql"),
            .params = {txt("P_QTPRODCOMVEN"), txt("P_CDFILIAL"), txt("P_NRCOMANDA"), txt("P_NRPRODCOMVEN")},
            .noTimeLimit = true,
        },
        {
            .name = QStringLiteral("acmDelProd"),
            .kind = StatementKind::Command,
            .sql = QStringLiteral(R"sql(DELETE  FROM  ITCOMANDAVEN
WHERE
   (CDFILIAL     = :P_CDFILIAL  ) AND
   (NRCOMANDA    = :P_NRCOMANDA ) AND
   (NRPRODCOMVEN = :P_NRPRODCOMVEN))sql"),
            .params = {txt("P_CDFILIAL"), txt("P_NRCOMANDA"), txt("P_NRPRODCOMVEN")},
            .noTimeLimit = true,
        },
        {
            .name = QStringLiteral("acmUpdComanda"),
            .kind = StatementKind::Command,
            .sql = QStringLiteral(R"sql(UPDATE COMANDAVEN
SET
   VRACRCOMANDA = VRACRCOMANDA + :P_VRACRCOMANDA
WHERE
   CDFILIAL = :P_CDFILIAL
   AND CDLOJA = :P_CDLOJA
   AND NRCOMANDA = :P_NRCOMANDA
)sql"),
            .params = {num("P_VRACRCOMANDA"), txt("P_CDFILIAL"), txt("P_CDLOJA"), txt("P_NRCOMANDA")},
            .noTimeLimit = true,
        },
        {
            .name = QStringLiteral("acmUpdMesa"),
            .kind = StatementKind::Command,
            .sql = QStringLiteral(R"sql(UPDATE MESA SET IDSTMESAAUX = :P_IDSTMESAAUX
WHERE
   CDFILIAL = :P_CDFILIAL AND
   CDLOJA   = :P_CDLOJA  AND
   NRMESA = :P_NRMESA)sql"),
            .params = {txt("P_IDSTMESAAUX"), txt("P_CDFILIAL"), txt("P_CDLOJA"), txt("P_NRMESA")},
            .noTimeLimit = true,
        },
        {
            .name = QStringLiteral("acmDelProdEst"),
            .kind = StatementKind::Command,
            .sql = QStringLiteral(R"sql(DELETE  FROM  ITCOMANDAEST
WHERE
   (CDFILIAL     = :P_CDFILIAL  ) AND
   (NRCOMANDA    = :P_NRCOMANDA ) AND
   (NRPRODCOMVEN = :P_NRPRODCOMVEN))sql"),
            .params = {txt("P_CDFILIAL"), txt("P_NRCOMANDA"), txt("P_NRPRODCOMVEN")},
            .noTimeLimit = true,
        },
        {
            .name = QStringLiteral("adqObsItens"),
            .kind = StatementKind::Query,
            .sql = QStringLiteral(R"sql(SELECT O.NRPRODCOMVEN AS NRSEQ, O.NRCOMANDA, O.CDGRPOCOR, O.CDOCORR
  FROM OBSITCOMANDAVEN O
 WHERE (O.CDFILIAL     = :P_CDFILIAL    )
   AND (O.NRCOMANDA    = :P_NRCOMANDA   )
   AND (O.NRPRODCOMVEN = :P_NRPRODCOMVEN))sql"),
            .params = {txt("P_CDFILIAL"), txt("P_NRCOMANDA"), txt("P_NRPRODCOMVEN")},
        },
        {
            .name = QStringLiteral("acmInsObsItComandaVen"),
            .kind = StatementKind::Command,
            .sql = QStringLiteral(R"sql(INSERT INTO OBSITCOMANDAVEN
(CDFILIAL, NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, CDGRPOCOR, CDOCORR)
VALUES
(:CDFILIAL, :NRVENDAREST, :NRCOMANDA, :NRPRODCOMVEN, :CDGRPOCOR, :CDOCORR))sql"),
            .params = {txt("CDFILIAL"), txt("NRVENDAREST"), txt("NRCOMANDA"), txt("NRPRODCOMVEN"),
                       txt("CDGRPOCOR"), txt("CDOCORR")},
            .noTimeLimit = true,
        },
        {
            .name = QStringLiteral("adqItComandaEst"),
            .kind = StatementKind::Query,
            // Each component of the item exactly once: matched on the whole item key, never on the
            // item number alone, which other tabs and branches repeat.
            .sql = QStringLiteral(R"sql(SELECT IE.CDFILIAL, IE.NRVENDAREST, IE.NRCOMANDA, IE.NRPRODCOMVEN,
       IE.CDPRODUTO, IE.QTPROCOMEST, IE.VRPRECCOMEST, IE.VRDESITCOMEST, IE.DSOBSPEDDIGEST
  FROM ITCOMANDAEST IE
 WHERE IE.CDFILIAL     = :P_CDFILIAL
   AND IE.NRCOMANDA    = :P_NRCOMANDA
   AND IE.NRPRODCOMVEN = :P_NRPRODCOMVEN
   AND EXISTS (SELECT 1
                 FROM ITCOMANDAVEN IT, VENDAREST VE
                WHERE IT.CDFILIAL     = :P_CDFILIAL
                  AND IT.NRCOMANDA    = :P_NRCOMANDA
                  AND IT.NRPRODCOMVEN = IE.NRPRODCOMVEN
                  AND IT.NRVENDAREST  = IE.NRVENDAREST
                  AND VE.CDFILIAL     = IT.CDFILIAL
                  AND VE.NRVENDAREST  = IT.NRVENDAREST))sql"),
            .params = {txt("P_CDFILIAL"), txt("P_NRCOMANDA"), txt("P_NRPRODCOMVEN"), txt("P_CDFILIAL"),
                       txt("P_NRCOMANDA")},
        },
        {
            .name = QStringLiteral("acmInsProdEst"),
            .kind = StatementKind::Command,
            // A component keeps its discount: without it the bill of a moved item went up.
            .sql = QStringLiteral(R"sql(INSERT INTO ITCOMANDAEST
(CDFILIAL , NRVENDAREST, NRCOMANDA   , NRPRODCOMVEN,
 CDPRODUTO, QTPROCOMEST, VRPRECCOMEST, DSOBSPEDDIGEST, VRDESITCOMEST)
VALUES
(:P_CDFILIAL , :P_NRVENDAREST , :P_NRCOMANDA   , :P_NRPRODCOMVEN,
 :P_CDPRODUTO, :P_QTPROCOMEST, :P_VRPRECCOMEST, :P_DSOBSPEDDIGEST, :P_VRDESITCOMEST))sql"),
            .params = {txt("P_CDFILIAL"), txt("P_NRVENDAREST"), txt("P_NRCOMANDA"), txt("P_NRPRODCOMVEN"),
                       txt("P_CDPRODUTO"), num("P_QTPROCOMEST"), num("P_VRPRECCOMEST"),
                       txt("P_DSOBSPEDDIGEST"), num("P_VRDESITCOMEST")},
            .noTimeLimit = true,
        },
        {
            .name = QStringLiteral("adqObsItensEst"),
            .kind = StatementKind::Query,
            .sql = QStringLiteral(
                R"sql(SELECT O.NRPRODCOMVEN AS NRSEQ, O.NRCOMANDA, O.CDPRODUTO, O.CDGRPOCOR, O.CDOCORR
  FROM OBSITCOMANDAEST O
 WHERE (O.CDFILIAL     = :P_CDFILIAL    )
   AND (O.NRCOMANDA    = :P_NRCOMANDA   )
   AND (O.NRPRODCOMVEN = :P_NRPRODCOMVEN))sql"),
            .params = {txt("P_CDFILIAL"), txt("P_NRCOMANDA"), txt("P_NRPRODCOMVEN")},
        },
        {
            .name = QStringLiteral("acmInsObsItComandaEst"),
            .kind = StatementKind::Command,
            .sql = QStringLiteral(R"sql(INSERT INTO OBSITCOMANDAEST
(CDFILIAL, NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, CDPRODUTO, CDGRPOCOR, CDOCORR)
VALUES
(:CDFILIAL, :NRVENDAREST, :NRCOMANDA, :NRPRODCOMVEN, :CDPRODUTO, :CDGRPOCOR, :CDOCORR))sql"),
            .params = {txt("CDFILIAL"), txt("NRVENDAREST"), txt("NRCOMANDA"), txt("NRPRODCOMVEN"),
                       txt("CDPRODUTO"), txt("CDGRPOCOR"), txt("CDOCORR")},
            .noTimeLimit = true,
        },
        {
            .name = QStringLiteral("adqVerifPedidoAlt"),
            .kind = StatementKind::Query,
            .sql = QStringLiteral(R"sql(SELECT *
   FROM PEDIDOALT
 WHERE CDFILIALOLD                = :P_CDFILIALOLD
       AND NRVENDARESTOLD    = :P_NRVENDARESTOLD
       AND NRCOMANDAOLD        = :P_NRCOMANDAOLD
       AND NRPRODCOMVENOLD = :P_NRPRODCOMVENOLD


)sql"),
            .params = {txt("P_CDFILIALOLD"), txt("P_NRVENDARESTOLD"), txt("P_NRCOMANDAOLD"),
                       txt("P_NRPRODCOMVENOLD")},
        },
        {
            .name = QStringLiteral("acmInsPedidoAlt"),
            .kind = StatementKind::Command,
            .sql = QStringLiteral(R"sql(INSERT INTO PEDIDOALT
(CDFILIALOLD, NRVENDARESTOLD,   NRCOMANDAOLD, NRPRODCOMVENOLD ,
   NRVENDAREST,  NRCOMANDA , NRPRODCOMVEN  , NRMESA ,
   NRSEQPRODCUP, NRLUGARMESAIT)
VALUES
(:CDFILIALOLD, :NRVENDARESTOLD,   :NRCOMANDAOLD, :NRPRODCOMVENOLD ,
 :NRVENDAREST,  :NRCOMANDA , :NRPRODCOMVEN  , :NRMESA ,
 :NRSEQPRODCUP, :NRLUGARMESAIT)
)sql"),
            .params = {txt("CDFILIALOLD"), txt("NRVENDARESTOLD"), txt("NRCOMANDAOLD"), txt("NRPRODCOMVENOLD"),
                       txt("NRVENDAREST"), txt("NRCOMANDA"), txt("NRPRODCOMVEN"), txt("NRMESA"),
                       txt("NRSEQPRODCUP"), txt("NRLUGARMESAIT")},
            .noTimeLimit = true,
        },
        {
            .name = QStringLiteral("acmUpPedidoAlt"),
            .kind = StatementKind::Command,
            .sql = QStringLiteral(R"sql(UPDATE PEDIDOALT
       SET NRVENDAREST = :NRVENDAREST,
               NRCOMANDA = :NRCOMANDA,
               NRPRODCOMVEN = :NRPRODCOMVEN,
               NRMESA = :NRMESA,
               NRSEQPRODCUP = :NRSEQPRODCUP,
               NRLUGARMESAIT = :NRLUGARMESAIT
WHERE CDFILIALOLD = :CDFILIALOLD
      AND NRVENDARESTOLD =  :NRVENDARESTOLD
      AND NRCOMANDAOLD = :NRCOMANDAOLD
      AND NRPRODCOMVENOLD = :NRPRODCOMVENOLD
)sql"),
            .params = {txt("NRVENDAREST"), txt("NRCOMANDA"), txt("NRPRODCOMVEN"), txt("NRMESA"),
                       txt("NRSEQPRODCUP"), txt("NRLUGARMESAIT"), txt("CDFILIALOLD"), txt("NRVENDARESTOLD"),
                       txt("NRCOMANDAOLD"), txt("NRPRODCOMVENOLD")},
            .noTimeLimit = true,
        },
        // Checks of the transfer: the tabs it touches are locked and the destination sale is open; every
        // origin item still holds what the screen showed.
        {
            .name = QStringLiteral("adqBloqComanda"),
            .kind = StatementKind::Query,
            .store = &assBloqComanda(),
            .params = {txt("P_CDFILIAL"), txt("P_NRCOMANDA")},
            .resultFields = {{QStringLiteral("NRVENDAREST"), FieldType::String, 10},
                             {QStringLiteral("VRACRCOMANDA"), FieldType::Float, 0}},
        },
        {
            .name = QStringLiteral("adqVerifVendaAberta"),
            .kind = StatementKind::Query,
            .store = &assVerifVendaAberta(),
            .params = {txt("P_CDFILIAL"), txt("P_NRVENDAREST")},
            .resultFields = {{QStringLiteral("NRVENDAREST"), FieldType::String, 10},
                             {QStringLiteral("NRMESA"), FieldType::String, 4}},
        },
        {
            .name = QStringLiteral("adqItensOrigem"),
            .kind = StatementKind::Query,
            .store = &assItensOrigem(),
            .params = {txt("P_CDFILIAL"), txt("P_NRCOMANDA")},
            .resultFields = originItemFields(),
        },
        {
            .name = QStringLiteral("adqMesaDestino"),
            .kind = StatementKind::Query,
            .store = &assMesaDestino(),
            .params = {txt("P_CDFILIAL"), txt("P_NRVENDAREST")},
            .resultFields = {{QStringLiteral("CDLOJA"), FieldType::String, 10},
                             {QStringLiteral("NRMESA"), FieldType::String, 4},
                             {QStringLiteral("IDSTMESAAUX"), FieldType::String, 1}},
        },
        // Freeing a table locks its tabs before it looks at their items again, so that a transfer into
        // the table that commits meanwhile is seen and its items are never left without a tab.
        {
            .name = QStringLiteral("adqBloqComandasVenda"),
            .kind = StatementKind::Query,
            .store = &assBloqComandasVenda(),
            .params = {txt("P_CDFILIAL"), txt("P_NRVENDAREST")},
            .resultFields = {{QStringLiteral("NRCOMANDA"), FieldType::String, 10}},
        },
    };
    return defs;
}

const StatementDef& statementDef(const QString& name) {
    for (const QList<StatementDef>* catalogue : {&statementCatalogue(), &setStatementCatalogue()})
        for (const StatementDef& def : *catalogue)
            if (def.name == name)
                return def;
    throw platform::ConfigError(QStringLiteral("Comando desconhecido: %1").arg(name));
}

} // namespace Srv_Mvt04215
