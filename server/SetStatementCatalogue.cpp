#include "SetStatementCatalogue.h"

#include "platform/Errors.h"

namespace Srv_Mvt04215 {
namespace {

using platform::db::SqlStore;
using platform::db::StatementDef;
using platform::db::StatementKind;

// A store with the two texts; the statement's parameters are those of its SQLite text.
StatementDef command(const SqlStore& store) {
    return {.name = store.ADOQuery, .kind = StatementKind::Command, .store = &store, .noTimeLimit = true};
}

// P_CHAVES as the rows J that every statement below joins: by position on SQLite, by name on
// PostgreSQL, in the columns of setKeyColumns().
const QString& sqliteKeys() {
    static const QString text = QStringLiteral(R"sql(WITH J AS (
  SELECT json_extract(value, '$[0]') AS nrcomandaorig,
         json_extract(value, '$[1]') AS nrprodcomven,
         json_extract(value, '$[2]') AS nrvendarestold,
         json_extract(value, '$[3]') AS novo,
         json_extract(value, '$[4]') AS inteiro,
         json_extract(value, '$[5]') AS resto,
         json_extract(value, '$[6]') AS nrseqprodcup,
         json_extract(value, '$[7]') AS nrlugarmesa
    FROM json_each(:P_CHAVES))
)sql");
    return text;
}

const QString& postgresKeys() {
    static const QString text = QStringLiteral(R"sql(WITH J AS (
  SELECT *
    FROM json_to_recordset(CAST(:P_CHAVES AS json))
      AS R(nrcomandaorig VARCHAR, nrprodcomven VARCHAR, nrvendarestold VARCHAR, novo VARCHAR,
           inteiro INTEGER, resto DOUBLE PRECISION, nrseqprodcup VARCHAR, nrlugarmesa VARCHAR))
)sql");
    return text;
}

// The rows of `table` (keyed by branch, tab and item) that belong to the items moved whole.
QString deleteMovedWhole(const QString& table) {
    return QStringLiteral(R"sql(DELETE FROM %1
 WHERE CDFILIAL = :P_CDFILIAL
   AND (NRCOMANDA, NRPRODCOMVEN) IN (SELECT J.nrcomandaorig, J.nrprodcomven
                                       FROM J
                                      WHERE J.inteiro = 1))sql")
        .arg(table);
}

} // namespace

// The new item rows, one per record, with the values the record carries.
const SqlStore& assInsProdLote() {
    static const SqlStore store{
        .name = QStringLiteral("assInsProdLote"),
        .ADOQuery = QStringLiteral("acmInsProdLote"),
        .SQLSQLITE = QStringLiteral(R"sql(WITH I AS (
  SELECT json_extract(value, '$[0]') AS nrprodcomven,
         json_extract(value, '$[1]') AS cdproduto,
         json_extract(value, '$[2]') AS qtprodcomven,
         json_extract(value, '$[3]') AS vrpreccomven,
         json_extract(value, '$[4]') AS idstprcomven,
         json_extract(value, '$[5]') AS vrdesccomven,
         json_extract(value, '$[6]') AS dthrincomven,
         json_extract(value, '$[7]') AS vracrcomven,
         json_extract(value, '$[8]') AS nrseqprodcom,
         json_extract(value, '$[9]') AS nrmesadscomorit,
         json_extract(value, '$[10]') AS cdvendedor,
         json_extract(value, '$[11]') AS cdprodpromocao,
         json_extract(value, '$[12]') AS cdcaixacoletor,
         json_extract(value, '$[13]') AS vrprecclcomven,
         json_extract(value, '$[14]') AS nrseqprodcup,
         json_extract(value, '$[15]') AS nrlugarmesa,
         json_extract(value, '$[16]') AS txprodcomven,
         json_extract(value, '$[17]') AS cdgrpocor,
         json_extract(value, '$[18]') AS cdocorr,
         json_extract(value, '$[19]') AS idprodimpfis,
         json_extract(value, '$[20]') AS idorigpedcmd,
         json_extract(value, '$[21]') AS dsobspeddigcmd,
         json_extract(value, '$[22]') AS nrpedidozel,
         json_extract(value, '$[23]') AS nratraprodcove,
         json_extract(value, '$[24]') AS cdsenhaped,
         json_extract(value, '$[25]') AS iddivideconta,
         json_extract(value, '$[26]') AS nrprodorig,
         json_extract(value, '$[27]') AS qtitemrefil,
         json_extract(value, '$[28]') AS idprodrefil,
         json_extract(value, '$[29]') AS nrinscrcons,
         json_extract(value, '$[30]') AS nmconsvend,
         json_extract(value, '$[31]') AS dsendevenda
    FROM json_each(:P_ITENS))
INSERT INTO ITCOMANDAVEN
(CDFILIAL, NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, CDPRODUTO, QTPRODCOMVEN, VRPRECCOMVEN, IDSTPRCOMVEN,
 VRDESCCOMVEN, DTHRINCOMVEN, VRACRCOMVEN, NRSEQPRODCOM, NRMESADSCOMORIT, CDVENDEDOR, CDPRODPROMOCAO, CDCAIXACOLETOR,
 VRPRECCLCOMVEN, CDLOJA, NRSEQPRODCUP, NRLUGARMESA, TXPRODCOMVEN, CDGRPOCOR, CDOCORR, IDPRODIMPFIS,
 IDORIGPEDCMD, DSOBSPEDDIGCMD, NRPEDIDOZEL, NRATRAPRODCOVE, CDSENHAPED, IDDIVIDECONTA, NRPRODORIG, QTITEMREFIL,
 IDPRODREFIL, NRINSCRCONS, NMCONSVEND, DSENDEVENDA)
SELECT :P_CDFILIAL, :P_NRVENDAREST, :P_NRCOMANDA, I.nrprodcomven,
       I.cdproduto, I.qtprodcomven, I.vrpreccomven, I.idstprcomven,
       I.vrdesccomven, I.dthrincomven, I.vracrcomven, I.nrseqprodcom,
       I.nrmesadscomorit, I.cdvendedor, I.cdprodpromocao, I.cdcaixacoletor,
       I.vrprecclcomven, :P_CDLOJA, I.nrseqprodcup, I.nrlugarmesa,
       I.txprodcomven, I.cdgrpocor, I.cdocorr, I.idprodimpfis,
       I.idorigpedcmd, I.dsobspeddigcmd, I.nrpedidozel, I.nratraprodcove,
       I.cdsenhaped, I.iddivideconta, I.nrprodorig, I.qtitemrefil,
       I.idprodrefil, I.nrinscrcons, I.nmconsvend, I.dsendevenda
  FROM I)sql"),
        .SQLPOSTGRES = QStringLiteral(R"sql(WITH I AS (
  SELECT *
    FROM json_to_recordset(CAST(:P_ITENS AS json))
      AS R(nrprodcomven VARCHAR, cdproduto VARCHAR, qtprodcomven DOUBLE PRECISION, vrpreccomven DOUBLE PRECISION,
           idstprcomven VARCHAR, vrdesccomven DOUBLE PRECISION, dthrincomven TIMESTAMP WITH TIME ZONE, vracrcomven DOUBLE PRECISION,
           nrseqprodcom VARCHAR, nrmesadscomorit VARCHAR, cdvendedor VARCHAR, cdprodpromocao VARCHAR,
           cdcaixacoletor VARCHAR, vrprecclcomven DOUBLE PRECISION, nrseqprodcup VARCHAR, nrlugarmesa VARCHAR,
           txprodcomven VARCHAR, cdgrpocor VARCHAR, cdocorr VARCHAR, idprodimpfis VARCHAR,
           idorigpedcmd VARCHAR, dsobspeddigcmd VARCHAR, nrpedidozel VARCHAR, nratraprodcove DOUBLE PRECISION,
           cdsenhaped VARCHAR, iddivideconta VARCHAR, nrprodorig VARCHAR, qtitemrefil DOUBLE PRECISION,
           idprodrefil VARCHAR, nrinscrcons VARCHAR, nmconsvend VARCHAR, dsendevenda VARCHAR))
INSERT INTO ITCOMANDAVEN
(CDFILIAL, NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, CDPRODUTO, QTPRODCOMVEN, VRPRECCOMVEN, IDSTPRCOMVEN,
 VRDESCCOMVEN, DTHRINCOMVEN, VRACRCOMVEN, NRSEQPRODCOM, NRMESADSCOMORIT, CDVENDEDOR, CDPRODPROMOCAO, CDCAIXACOLETOR,
 VRPRECCLCOMVEN, CDLOJA, NRSEQPRODCUP, NRLUGARMESA, TXPRODCOMVEN, CDGRPOCOR, CDOCORR, IDPRODIMPFIS,
 IDORIGPEDCMD, DSOBSPEDDIGCMD, NRPEDIDOZEL, NRATRAPRODCOVE, CDSENHAPED, IDDIVIDECONTA, NRPRODORIG, QTITEMREFIL,
 IDPRODREFIL, NRINSCRCONS, NMCONSVEND, DSENDEVENDA)
SELECT CAST(:P_CDFILIAL AS VARCHAR), CAST(:P_NRVENDAREST AS VARCHAR), CAST(:P_NRCOMANDA AS VARCHAR), I.nrprodcomven,
       I.cdproduto, I.qtprodcomven, I.vrpreccomven, I.idstprcomven,
       I.vrdesccomven, I.dthrincomven, I.vracrcomven, I.nrseqprodcom,
       I.nrmesadscomorit, I.cdvendedor, I.cdprodpromocao, I.cdcaixacoletor,
       I.vrprecclcomven, CAST(:P_CDLOJA AS VARCHAR), I.nrseqprodcup, I.nrlugarmesa,
       I.txprodcomven, I.cdgrpocor, I.cdocorr, I.idprodimpfis,
       I.idorigpedcmd, I.dsobspeddigcmd, I.nrpedidozel, I.nratraprodcove,
       I.cdsenhaped, I.iddivideconta, I.nrprodorig, I.qtitemrefil,
       I.idprodrefil, I.nrinscrcons, I.nmconsvend, I.dsendevenda
  FROM I)sql"),
    };
    return store;
}

// The observations of every moved item, for its new item.
const SqlStore& assInsObsItComandaVenLote() {
    static const SqlStore store{
        .name = QStringLiteral("assInsObsItComandaVenLote"),
        .ADOQuery = QStringLiteral("acmInsObsItComandaVenLote"),
        .SQLSQLITE = sqliteKeys() + QStringLiteral(R"sql(INSERT INTO OBSITCOMANDAVEN
(CDFILIAL, NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, CDGRPOCOR, CDOCORR)
SELECT :P_CDFILIAL, :P_NRVENDAREST, :P_NRCOMANDA, J.novo, O.CDGRPOCOR, O.CDOCORR
  FROM J
  CROSS JOIN OBSITCOMANDAVEN O
    ON O.CDFILIAL     = :P_CDFILIAL
   AND O.NRCOMANDA    = J.nrcomandaorig
   AND O.NRPRODCOMVEN = J.nrprodcomven)sql"),
        .SQLPOSTGRES = postgresKeys() + QStringLiteral(R"sql(INSERT INTO OBSITCOMANDAVEN
(CDFILIAL, NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, CDGRPOCOR, CDOCORR)
SELECT CAST(:P_CDFILIAL AS VARCHAR), CAST(:P_NRVENDAREST AS VARCHAR), CAST(:P_NRCOMANDA AS VARCHAR), J.novo, O.CDGRPOCOR, O.CDOCORR
  FROM J
  JOIN OBSITCOMANDAVEN O
    ON O.CDFILIAL     = :P_CDFILIAL
   AND O.NRCOMANDA    = J.nrcomandaorig
   AND O.NRPRODCOMVEN = J.nrprodcomven)sql"),
    };
    return store;
}

// The components of every moved item, for its new item.
const SqlStore& assInsProdEstLote() {
    static const SqlStore store{
        .name = QStringLiteral("assInsProdEstLote"),
        .ADOQuery = QStringLiteral("acmInsProdEstLote"),
        .SQLSQLITE = sqliteKeys() + QStringLiteral(R"sql(INSERT INTO ITCOMANDAEST
(CDFILIAL , NRVENDAREST, NRCOMANDA   , NRPRODCOMVEN,
 CDPRODUTO, QTPROCOMEST, VRPRECCOMEST, DSOBSPEDDIGEST)
SELECT IE.CDFILIAL, :P_NRVENDAREST, :P_NRCOMANDA, J.novo,
       IE.CDPRODUTO, IE.QTPROCOMEST, IE.VRPRECCOMEST, IE.DSOBSPEDDIGEST
  FROM J
  CROSS JOIN ITCOMANDAEST IE
    ON IE.CDFILIAL     = :P_CDFILIAL
   AND IE.NRCOMANDA    = J.nrcomandaorig
   AND IE.NRPRODCOMVEN = J.nrprodcomven
 WHERE EXISTS (SELECT 1
                 FROM ITCOMANDAVEN IT, VENDAREST VE
                WHERE IT.CDFILIAL     = :P_CDFILIAL
                  AND IT.NRCOMANDA    = J.nrcomandaorig
                  AND IT.NRPRODCOMVEN = IE.NRPRODCOMVEN
                  AND IT.NRVENDAREST  = IE.NRVENDAREST
                  AND VE.CDFILIAL     = IT.CDFILIAL
                  AND VE.NRVENDAREST  = IT.NRVENDAREST))sql"),
        .SQLPOSTGRES = postgresKeys() + QStringLiteral(R"sql(INSERT INTO ITCOMANDAEST
(CDFILIAL , NRVENDAREST, NRCOMANDA   , NRPRODCOMVEN,
 CDPRODUTO, QTPROCOMEST, VRPRECCOMEST, DSOBSPEDDIGEST)
SELECT IE.CDFILIAL, CAST(:P_NRVENDAREST AS VARCHAR), CAST(:P_NRCOMANDA AS VARCHAR), J.novo,
       IE.CDPRODUTO, IE.QTPROCOMEST, IE.VRPRECCOMEST, IE.DSOBSPEDDIGEST
  FROM J
  JOIN ITCOMANDAEST IE
    ON IE.CDFILIAL     = :P_CDFILIAL
   AND IE.NRCOMANDA    = J.nrcomandaorig
   AND IE.NRPRODCOMVEN = J.nrprodcomven
 WHERE EXISTS (SELECT 1
                 FROM ITCOMANDAVEN IT, VENDAREST VE
                WHERE IT.CDFILIAL     = :P_CDFILIAL
                  AND IT.NRCOMANDA    = J.nrcomandaorig
                  AND IT.NRPRODCOMVEN = IE.NRPRODCOMVEN
                  AND IT.NRVENDAREST  = IE.NRVENDAREST
                  AND VE.CDFILIAL     = IT.CDFILIAL
                  AND VE.NRVENDAREST  = IT.NRVENDAREST))sql"),
    };
    return store;
}

// Each copied component's own observations.
const SqlStore& assInsObsItComandaEstLote() {
    static const SqlStore store{
        .name = QStringLiteral("assInsObsItComandaEstLote"),
        .ADOQuery = QStringLiteral("acmInsObsItComandaEstLote"),
        .SQLSQLITE = sqliteKeys() + QStringLiteral(R"sql(INSERT INTO OBSITCOMANDAEST
(CDFILIAL, NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, CDPRODUTO, CDGRPOCOR, CDOCORR)
SELECT :P_CDFILIAL, :P_NRVENDAREST, :P_NRCOMANDA, J.novo, IE.CDPRODUTO, O.CDGRPOCOR, O.CDOCORR
  FROM J
  CROSS JOIN ITCOMANDAEST IE
    ON IE.CDFILIAL     = :P_CDFILIAL
   AND IE.NRCOMANDA    = J.nrcomandaorig
   AND IE.NRPRODCOMVEN = J.nrprodcomven
  CROSS JOIN OBSITCOMANDAEST O
    ON O.CDFILIAL     = :P_CDFILIAL
   AND O.NRCOMANDA    = J.nrcomandaorig
   AND O.NRPRODCOMVEN = J.nrprodcomven
   AND COALESCE(O.CDPRODUTO, '') = COALESCE(IE.CDPRODUTO, '')
 WHERE EXISTS (SELECT 1
                 FROM ITCOMANDAVEN IT, VENDAREST VE
                WHERE IT.CDFILIAL     = :P_CDFILIAL
                  AND IT.NRCOMANDA    = J.nrcomandaorig
                  AND IT.NRPRODCOMVEN = IE.NRPRODCOMVEN
                  AND IT.NRVENDAREST  = IE.NRVENDAREST
                  AND VE.CDFILIAL     = IT.CDFILIAL
                  AND VE.NRVENDAREST  = IT.NRVENDAREST))sql"),
        .SQLPOSTGRES = postgresKeys() + QStringLiteral(R"sql(INSERT INTO OBSITCOMANDAEST
(CDFILIAL, NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, CDPRODUTO, CDGRPOCOR, CDOCORR)
SELECT CAST(:P_CDFILIAL AS VARCHAR), CAST(:P_NRVENDAREST AS VARCHAR), CAST(:P_NRCOMANDA AS VARCHAR), J.novo, IE.CDPRODUTO, O.CDGRPOCOR, O.CDOCORR
  FROM J
  JOIN ITCOMANDAEST IE
    ON IE.CDFILIAL     = :P_CDFILIAL
   AND IE.NRCOMANDA    = J.nrcomandaorig
   AND IE.NRPRODCOMVEN = J.nrprodcomven
  JOIN OBSITCOMANDAEST O
    ON O.CDFILIAL     = :P_CDFILIAL
   AND O.NRCOMANDA    = J.nrcomandaorig
   AND O.NRPRODCOMVEN = J.nrprodcomven
   AND COALESCE(O.CDPRODUTO, '') = COALESCE(IE.CDPRODUTO, '')
 WHERE EXISTS (SELECT 1
                 FROM ITCOMANDAVEN IT, VENDAREST VE
                WHERE IT.CDFILIAL     = :P_CDFILIAL
                  AND IT.NRCOMANDA    = J.nrcomandaorig
                  AND IT.NRPRODCOMVEN = IE.NRPRODCOMVEN
                  AND IT.NRVENDAREST  = IE.NRVENDAREST
                  AND VE.CDFILIAL     = IT.CDFILIAL
                  AND VE.NRVENDAREST  = IT.NRVENDAREST))sql"),
    };
    return store;
}

// The tracking rows of old keys moved before, pointed at their new items.
const SqlStore& assUpPedidoAltLote() {
    static const SqlStore store{
        .name = QStringLiteral("assUpPedidoAltLote"),
        .ADOQuery = QStringLiteral("acmUpPedidoAltLote"),
        .SQLSQLITE = sqliteKeys() + QStringLiteral(R"sql(UPDATE PEDIDOALT
   SET (NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, NRMESA, NRSEQPRODCUP, NRLUGARMESAIT) =
       (SELECT :P_NRVENDAREST, :P_NRCOMANDA, J.novo, :P_NRMESA, J.nrseqprodcup, J.nrlugarmesa
          FROM J
         WHERE J.nrvendarestold = PEDIDOALT.NRVENDARESTOLD
           AND J.nrcomandaorig  = PEDIDOALT.NRCOMANDAOLD
           AND J.nrprodcomven   = PEDIDOALT.NRPRODCOMVENOLD)
 WHERE CDFILIALOLD = :P_CDFILIAL
   AND (NRVENDARESTOLD, NRCOMANDAOLD, NRPRODCOMVENOLD) IN (SELECT J.nrvendarestold, J.nrcomandaorig,
                                                                  J.nrprodcomven
                                                             FROM J))sql"),
        .SQLPOSTGRES = postgresKeys() + QStringLiteral(R"sql(UPDATE PEDIDOALT
   SET NRVENDAREST   = :P_NRVENDAREST,
       NRCOMANDA     = :P_NRCOMANDA,
       NRPRODCOMVEN  = J.novo,
       NRMESA        = :P_NRMESA,
       NRSEQPRODCUP  = J.nrseqprodcup,
       NRLUGARMESAIT = J.nrlugarmesa
  FROM J
 WHERE PEDIDOALT.CDFILIALOLD     = :P_CDFILIAL
   AND PEDIDOALT.NRVENDARESTOLD  = J.nrvendarestold
   AND PEDIDOALT.NRCOMANDAOLD    = J.nrcomandaorig
   AND PEDIDOALT.NRPRODCOMVENOLD = J.nrprodcomven)sql"),
    };
    return store;
}

// A tracking row for every old key that has none yet.
const SqlStore& assInsPedidoAltLote() {
    static const SqlStore store{
        .name = QStringLiteral("assInsPedidoAltLote"),
        .ADOQuery = QStringLiteral("acmInsPedidoAltLote"),
        .SQLSQLITE = sqliteKeys() + QStringLiteral(R"sql(INSERT INTO PEDIDOALT
(CDFILIALOLD, NRVENDARESTOLD,   NRCOMANDAOLD, NRPRODCOMVENOLD ,
   NRVENDAREST,  NRCOMANDA , NRPRODCOMVEN  , NRMESA ,
   NRSEQPRODCUP, NRLUGARMESAIT)
SELECT :P_CDFILIAL, J.nrvendarestold, J.nrcomandaorig, J.nrprodcomven,
       :P_NRVENDAREST, :P_NRCOMANDA, J.novo, :P_NRMESA,
       J.nrseqprodcup, J.nrlugarmesa
  FROM J
 WHERE NOT EXISTS (SELECT 1
                     FROM PEDIDOALT P
                    WHERE P.CDFILIALOLD     = :P_CDFILIAL
                      AND P.NRVENDARESTOLD  = J.nrvendarestold
                      AND P.NRCOMANDAOLD    = J.nrcomandaorig
                      AND P.NRPRODCOMVENOLD = J.nrprodcomven))sql"),
        .SQLPOSTGRES = postgresKeys() + QStringLiteral(R"sql(INSERT INTO PEDIDOALT
(CDFILIALOLD, NRVENDARESTOLD,   NRCOMANDAOLD, NRPRODCOMVENOLD ,
   NRVENDAREST,  NRCOMANDA , NRPRODCOMVEN  , NRMESA ,
   NRSEQPRODCUP, NRLUGARMESAIT)
SELECT CAST(:P_CDFILIAL AS VARCHAR), J.nrvendarestold, J.nrcomandaorig, J.nrprodcomven,
       CAST(:P_NRVENDAREST AS VARCHAR), CAST(:P_NRCOMANDA AS VARCHAR), J.novo, CAST(:P_NRMESA AS VARCHAR),
       J.nrseqprodcup, J.nrlugarmesa
  FROM J
 WHERE NOT EXISTS (SELECT 1
                     FROM PEDIDOALT P
                    WHERE P.CDFILIALOLD     = :P_CDFILIAL
                      AND P.NRVENDARESTOLD  = J.nrvendarestold
                      AND P.NRCOMANDAOLD    = J.nrcomandaorig
                      AND P.NRPRODCOMVENOLD = J.nrprodcomven))sql"),
    };
    return store;
}

// What stays at the origin of a split item.
const SqlStore& assAlterQuantLote() {
    static const SqlStore store{
        .name = QStringLiteral("assAlterQuantLote"),
        .ADOQuery = QStringLiteral("acmAlterQuantLote"),
        .SQLSQLITE = sqliteKeys() + QStringLiteral(R"sql(UPDATE ITCOMANDAVEN
   SET QTPRODCOMVEN = (SELECT J.resto
                         FROM J
                        WHERE J.nrcomandaorig = ITCOMANDAVEN.NRCOMANDA
                          AND J.nrprodcomven  = ITCOMANDAVEN.NRPRODCOMVEN)
 WHERE CDFILIAL = :P_CDFILIAL
   AND (NRCOMANDA, NRPRODCOMVEN) IN (SELECT J.nrcomandaorig, J.nrprodcomven
                                       FROM J
                                      WHERE J.inteiro = 0))sql"),
        .SQLPOSTGRES = postgresKeys() + QStringLiteral(R"sql(UPDATE ITCOMANDAVEN
   SET QTPRODCOMVEN = J.resto
  FROM J
 WHERE ITCOMANDAVEN.CDFILIAL     = :P_CDFILIAL
   AND ITCOMANDAVEN.NRCOMANDA    = J.nrcomandaorig
   AND ITCOMANDAVEN.NRPRODCOMVEN = J.nrprodcomven
   AND J.inteiro = 0)sql"),
    };
    return store;
}

// The components of the items moved whole.
const SqlStore& assDelProdEstLote() {
    static const QString text = deleteMovedWhole(QStringLiteral("ITCOMANDAEST"));
    static const SqlStore store{
        .name = QStringLiteral("assDelProdEstLote"),
        .ADOQuery = QStringLiteral("acmDelProdEstLote"),
        .SQLSQLITE = sqliteKeys() + text,
        .SQLPOSTGRES = postgresKeys() + text,
    };
    return store;
}

// The items moved whole.
const SqlStore& assDelProdLote() {
    static const QString text = deleteMovedWhole(QStringLiteral("ITCOMANDAVEN"));
    static const SqlStore store{
        .name = QStringLiteral("assDelProdLote"),
        .ADOQuery = QStringLiteral("acmDelProdLote"),
        .SQLSQLITE = sqliteKeys() + text,
        .SQLPOSTGRES = postgresKeys() + text,
    };
    return store;
}

// The moved items lead every join of the writes that follow in the transaction. PostgreSQL cannot know
// how few rows a JSON parameter holds (it assumes a hundred) and would otherwise read a short history
// whole to hash it; looking each item up through the keys costs the same whatever the history.
const SqlStore& assPlanoLote() {
    static const SqlStore store{
        .name = QStringLiteral("assPlanoLote"),
        .ADOQuery = QStringLiteral("adqPlanoLote"),
        .SQLPOSTGRES = QStringLiteral(R"sql(SELECT set_config('enable_hashjoin', 'off', true),
       set_config('enable_mergejoin', 'off', true))sql"),
    };
    return store;
}

const QStringList& setKeyColumns() {
    static const QStringList columns = {
        QStringLiteral("nrcomandaorig"), QStringLiteral("nrprodcomven"), QStringLiteral("nrvendarestold"),
        QStringLiteral("novo"),          QStringLiteral("inteiro"),      QStringLiteral("resto"),
        QStringLiteral("nrseqprodcup"),  QStringLiteral("nrlugarmesa"),
    };
    return columns;
}

const QStringList& setItemColumns() {
    static const QStringList columns = {
        QStringLiteral("nrprodcomven"),    QStringLiteral("cdproduto"),      QStringLiteral("qtprodcomven"),
        QStringLiteral("vrpreccomven"),    QStringLiteral("idstprcomven"),   QStringLiteral("vrdesccomven"),
        QStringLiteral("dthrincomven"),    QStringLiteral("vracrcomven"),    QStringLiteral("nrseqprodcom"),
        QStringLiteral("nrmesadscomorit"), QStringLiteral("cdvendedor"),     QStringLiteral("cdprodpromocao"),
        QStringLiteral("cdcaixacoletor"),  QStringLiteral("vrprecclcomven"), QStringLiteral("nrseqprodcup"),
        QStringLiteral("nrlugarmesa"),     QStringLiteral("txprodcomven"),   QStringLiteral("cdgrpocor"),
        QStringLiteral("cdocorr"),         QStringLiteral("idprodimpfis"),   QStringLiteral("idorigpedcmd"),
        QStringLiteral("dsobspeddigcmd"),  QStringLiteral("nrpedidozel"),    QStringLiteral("nratraprodcove"),
        QStringLiteral("cdsenhaped"),      QStringLiteral("iddivideconta"),  QStringLiteral("nrprodorig"),
        QStringLiteral("qtitemrefil"),     QStringLiteral("idprodrefil"),    QStringLiteral("nrinscrcons"),
        QStringLiteral("nmconsvend"),      QStringLiteral("dsendevenda"),
    };
    return columns;
}

const QList<StatementDef>& setStatementCatalogue() {
    static const QList<StatementDef> defs = {
        {.name = QStringLiteral("adqPlanoLote"), .kind = StatementKind::Query, .store = &assPlanoLote()},
        command(assInsProdLote()),
        command(assInsObsItComandaVenLote()),
        command(assInsProdEstLote()),
        command(assInsObsItComandaEstLote()),
        command(assUpPedidoAltLote()),
        command(assInsPedidoAltLote()),
        command(assAlterQuantLote()),
        command(assDelProdEstLote()),
        command(assDelProdLote()),
    };
    return defs;
}

const StatementDef& setStatementDef(const QString& name) {
    for (const StatementDef& def : setStatementCatalogue())
        if (def.name == name)
            return def;
    throw platform::ConfigError(QStringLiteral("Comando desconhecido: %1").arg(name));
}

} // namespace Srv_Mvt04215
