#include "SetStatementCatalogue.h"

#include "platform/Errors.h"

namespace Srv_Mvt04215 {
namespace {

using platform::db::SqlStore;
using platform::db::StatementDef;
using platform::db::StatementKind;

// P_CHAVES as the rows J that every statement below joins, in the columns of setKeyColumns(): by
// position on SQLite, by name on PostgreSQL.
const QString& sqliteKeys() {
    static const QString text = [] {
        QString select;
        for (qsizetype i = 0; i < setKeyColumns().size(); ++i)
            select += QStringLiteral("%1json_extract(value, '$[%2]') AS %3")
                          .arg(i == 0 ? QString() : QStringLiteral(",\n         "))
                          .arg(i)
                          .arg(setKeyColumns()[i]);
        return QStringLiteral("WITH J AS (\n  SELECT %1\n    FROM json_each(:P_CHAVES))\n").arg(select);
    }();
    return text;
}

const QString& postgresKeys() {
    static const QString text = QStringLiteral(R"sql(WITH J AS (
  SELECT *
    FROM json_to_recordset(CAST(:P_CHAVES AS json))
      AS R(nrcomandaorig VARCHAR, nrprodcomven VARCHAR, nrvendarestold VARCHAR, novo VARCHAR,
           inteiro INTEGER, resto DOUBLE PRECISION, rastreia INTEGER, quantidade DOUBLE PRECISION,
           nrseqprodcom VARCHAR, nrmesaori VARCHAR, nrseqprodcup VARCHAR, nrlugarmesa VARCHAR))
)sql");
    return text;
}

// One text for both databases: $KEYS is the dialect's J, and $JOIN joins a table to J. SQLite's CROSS
// JOIN keeps J as the outer loop, so that each moved item is looked up through the keys whatever the
// size of the history; PostgreSQL needs a plain JOIN and the planning setting of adqPlanoLote. Values
// bound into a select list are cast so that PostgreSQL knows their type; SQLite reads the cast as text.
SqlStore store(const char* name, const char* statement, const QString& text) {
    auto forDialect = [&](const QString& keys, const char* join) {
        QString out = text;
        out.replace(QStringLiteral("$KEYS"), keys).replace(QStringLiteral("$JOIN"), QLatin1String(join));
        return out;
    };
    return {.name = QLatin1String(name),
            .ADOQuery = QLatin1String(statement),
            .SQLSQLITE = forDialect(sqliteKeys(), "CROSS JOIN"),
            .SQLPOSTGRES = forDialect(postgresKeys(), "JOIN")};
}

// The statement's parameters are those of its text.
StatementDef command(const SqlStore& store) {
    return {.name = store.ADOQuery, .kind = StatementKind::Command, .store = &store, .noTimeLimit = true};
}

// The rows of `table` (keyed by branch, tab and item) that belong to the items moved whole.
QString deleteMovedWhole(const char* table) {
    return QStringLiteral(R"sql($KEYSDELETE FROM %1
 WHERE CDFILIAL = :P_CDFILIAL
   AND (NRCOMANDA, NRPRODCOMVEN) IN (SELECT J.nrcomandaorig, J.nrprodcomven
                                       FROM J
                                      WHERE J.inteiro = 1))sql")
        .arg(QLatin1String(table));
}

} // namespace

// The new item rows, one per record: what the record chose, every other value as its origin row holds
// it now, to the last digit of a date-time.
const SqlStore& assInsProdLote() {
    static const SqlStore s =
        store("assInsProdLote", "acmInsProdLote", QStringLiteral(R"sql($KEYSINSERT INTO ITCOMANDAVEN
(CDFILIAL, NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, CDPRODUTO, QTPRODCOMVEN, VRPRECCOMVEN, IDSTPRCOMVEN,
 VRDESCCOMVEN, DTHRINCOMVEN, VRACRCOMVEN, NRSEQPRODCOM, NRMESADSCOMORIT, CDVENDEDOR, CDPRODPROMOCAO, CDCAIXACOLETOR,
 VRPRECCLCOMVEN, CDLOJA, NRSEQPRODCUP, NRLUGARMESA, TXPRODCOMVEN, CDGRPOCOR, CDOCORR, IDPRODIMPFIS,
 IDORIGPEDCMD, DSOBSPEDDIGCMD, NRPEDIDOZEL, NRATRAPRODCOVE, CDSENHAPED, IDDIVIDECONTA, NRPRODORIG, QTITEMREFIL,
 IDPRODREFIL, NRINSCRCONS, NMCONSVEND, DSENDEVENDA)
SELECT CAST(:P_CDFILIAL AS VARCHAR), CAST(:P_NRVENDAREST AS VARCHAR), CAST(:P_NRCOMANDA AS VARCHAR), J.novo,
       O.CDPRODUTO, J.quantidade, O.VRPRECCOMVEN, O.IDSTPRCOMVEN,
       O.VRDESCCOMVEN, O.DTHRINCOMVEN, O.VRACRCOMVEN, J.nrseqprodcom,
       J.nrmesaori, O.CDVENDEDOR, O.CDPRODPROMOCAO, O.CDCAIXACOLETOR,
       O.VRPRECCLCOMVEN, CAST(:P_CDLOJA AS VARCHAR), O.NRSEQPRODCUP, J.nrlugarmesa,
       O.TXPRODCOMVEN, O.CDGRPOCOR, O.CDOCORR, O.IDPRODIMPFIS,
       O.IDORIGPEDCMD, O.DSOBSPEDDIGCMD, O.NRPEDIDOZEL, O.NRATRAPRODCOVE,
       O.CDSENHAPED, O.IDDIVIDECONTA, O.NRPRODORIG, O.QTITEMREFIL,
       O.IDPRODREFIL, O.NRINSCRCONS, O.NMCONSVEND, O.DSENDEVENDA
  FROM J
  $JOIN ITCOMANDAVEN O
    ON O.CDFILIAL     = :P_CDFILIAL
   AND O.NRVENDAREST  = J.nrvendarestold
   AND O.NRCOMANDA    = J.nrcomandaorig
   AND O.NRPRODCOMVEN = J.nrprodcomven)sql"));
    return s;
}

// The observations of every moved item, for each of its new items.
const SqlStore& assInsObsItComandaVenLote() {
    static const SqlStore s = store("assInsObsItComandaVenLote", "acmInsObsItComandaVenLote",
                                    QStringLiteral(R"sql($KEYSINSERT INTO OBSITCOMANDAVEN
(CDFILIAL, NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, CDGRPOCOR, CDOCORR)
SELECT CAST(:P_CDFILIAL AS VARCHAR), CAST(:P_NRVENDAREST AS VARCHAR), CAST(:P_NRCOMANDA AS VARCHAR), J.novo,
       O.CDGRPOCOR, O.CDOCORR
  FROM J
  $JOIN OBSITCOMANDAVEN O
    ON O.CDFILIAL     = :P_CDFILIAL
   AND O.NRCOMANDA    = J.nrcomandaorig
   AND O.NRPRODCOMVEN = J.nrprodcomven)sql"));
    return s;
}

namespace {

// Whether the component row IE belongs to the moved item: matched on the whole item key, sale included.
const QString& componentOfItem() {
    static const QString text = QStringLiteral(R"sql(EXISTS (SELECT 1
                 FROM ITCOMANDAVEN IT, VENDAREST VE
                WHERE IT.CDFILIAL     = :P_CDFILIAL
                  AND IT.NRCOMANDA    = J.nrcomandaorig
                  AND IT.NRPRODCOMVEN = IE.NRPRODCOMVEN
                  AND IT.NRVENDAREST  = IE.NRVENDAREST
                  AND VE.CDFILIAL     = IT.CDFILIAL
                  AND VE.NRVENDAREST  = IT.NRVENDAREST))sql");
    return text;
}

} // namespace

// The components of every moved item with their discounts, for each of its new items.
const SqlStore& assInsProdEstLote() {
    static const SqlStore s =
        store("assInsProdEstLote", "acmInsProdEstLote", QStringLiteral(R"sql($KEYSINSERT INTO ITCOMANDAEST
(CDFILIAL , NRVENDAREST, NRCOMANDA   , NRPRODCOMVEN,
 CDPRODUTO, QTPROCOMEST, VRPRECCOMEST, DSOBSPEDDIGEST, VRDESITCOMEST)
SELECT IE.CDFILIAL, CAST(:P_NRVENDAREST AS VARCHAR), CAST(:P_NRCOMANDA AS VARCHAR), J.novo,
       IE.CDPRODUTO, IE.QTPROCOMEST, IE.VRPRECCOMEST, IE.DSOBSPEDDIGEST, IE.VRDESITCOMEST
  FROM J
  $JOIN ITCOMANDAEST IE
    ON IE.CDFILIAL     = :P_CDFILIAL
   AND IE.NRCOMANDA    = J.nrcomandaorig
   AND IE.NRPRODCOMVEN = J.nrprodcomven
 WHERE )sql") + componentOfItem());
    return s;
}

// The observations of the moved items' components, once each for each new item: they are kept by item
// and product, so two components of one product share them.
const SqlStore& assInsObsItComandaEstLote() {
    static const SqlStore s = store("assInsObsItComandaEstLote", "acmInsObsItComandaEstLote",
                                    QStringLiteral(R"sql($KEYSINSERT INTO OBSITCOMANDAEST
(CDFILIAL, NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, CDPRODUTO, CDGRPOCOR, CDOCORR)
SELECT CAST(:P_CDFILIAL AS VARCHAR), CAST(:P_NRVENDAREST AS VARCHAR), CAST(:P_NRCOMANDA AS VARCHAR), J.novo,
       O.CDPRODUTO, O.CDGRPOCOR, O.CDOCORR
  FROM J
  $JOIN OBSITCOMANDAEST O
    ON O.CDFILIAL     = :P_CDFILIAL
   AND O.NRCOMANDA    = J.nrcomandaorig
   AND O.NRPRODCOMVEN = J.nrprodcomven
 WHERE EXISTS (SELECT 1
                 FROM ITCOMANDAEST IE
                WHERE IE.CDFILIAL     = :P_CDFILIAL
                  AND IE.NRCOMANDA    = J.nrcomandaorig
                  AND IE.NRPRODCOMVEN = J.nrprodcomven
                  AND COALESCE(IE.CDPRODUTO, '') = COALESCE(O.CDPRODUTO, '')
                  AND )sql") + componentOfItem() +
                                        u')');
    return s;
}

// The tracking rows of old keys moved before, pointed at the new item of the record that tracks its item.
// The rows to change are found through the keys: an UPDATE … FROM would walk the branch's whole history
// on SQLite.
const SqlStore& assUpPedidoAltLote() {
    static const SqlStore s =
        store("assUpPedidoAltLote", "acmUpPedidoAltLote", QStringLiteral(R"sql($KEYSUPDATE PEDIDOALT
   SET (NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, NRMESA, NRSEQPRODCUP, NRLUGARMESAIT) =
       (SELECT CAST(:P_NRVENDAREST AS VARCHAR), CAST(:P_NRCOMANDA AS VARCHAR), J.novo,
               CAST(:P_NRMESA AS VARCHAR), J.nrseqprodcup, J.nrlugarmesa
          FROM J
         WHERE J.rastreia = 1
           AND J.nrvendarestold = PEDIDOALT.NRVENDARESTOLD
           AND J.nrcomandaorig  = PEDIDOALT.NRCOMANDAOLD
           AND J.nrprodcomven   = PEDIDOALT.NRPRODCOMVENOLD)
 WHERE CDFILIALOLD = :P_CDFILIAL
   AND (NRVENDARESTOLD, NRCOMANDAOLD, NRPRODCOMVENOLD) IN (SELECT J.nrvendarestold, J.nrcomandaorig,
                                                                  J.nrprodcomven
                                                             FROM J
                                                            WHERE J.rastreia = 1))sql"));
    return s;
}

// A tracking row for every old key that has none yet.
const SqlStore& assInsPedidoAltLote() {
    static const SqlStore s =
        store("assInsPedidoAltLote", "acmInsPedidoAltLote", QStringLiteral(R"sql($KEYSINSERT INTO PEDIDOALT
(CDFILIALOLD, NRVENDARESTOLD,   NRCOMANDAOLD, NRPRODCOMVENOLD ,
   NRVENDAREST,  NRCOMANDA , NRPRODCOMVEN  , NRMESA ,
   NRSEQPRODCUP, NRLUGARMESAIT)
SELECT CAST(:P_CDFILIAL AS VARCHAR), J.nrvendarestold, J.nrcomandaorig, J.nrprodcomven,
       CAST(:P_NRVENDAREST AS VARCHAR), CAST(:P_NRCOMANDA AS VARCHAR), J.novo, CAST(:P_NRMESA AS VARCHAR),
       J.nrseqprodcup, J.nrlugarmesa
  FROM J
 WHERE J.rastreia = 1
   AND NOT EXISTS (SELECT 1
                     FROM PEDIDOALT P
                    WHERE P.CDFILIALOLD     = :P_CDFILIAL
                      AND P.NRVENDARESTOLD  = J.nrvendarestold
                      AND P.NRCOMANDAOLD    = J.nrcomandaorig
                      AND P.NRPRODCOMVENOLD = J.nrprodcomven))sql"));
    return s;
}

// What stays at the origin of an item moved in part, found through the keys as above.
const SqlStore& assAlterQuantLote() {
    static const SqlStore s =
        store("assAlterQuantLote", "acmAlterQuantLote", QStringLiteral(R"sql($KEYSUPDATE ITCOMANDAVEN
   SET QTPRODCOMVEN = (SELECT J.resto
                         FROM J
                        WHERE J.resto IS NOT NULL
                          AND J.nrcomandaorig = ITCOMANDAVEN.NRCOMANDA
                          AND J.nrprodcomven  = ITCOMANDAVEN.NRPRODCOMVEN)
 WHERE CDFILIAL = :P_CDFILIAL
   AND (NRCOMANDA, NRPRODCOMVEN) IN (SELECT J.nrcomandaorig, J.nrprodcomven
                                       FROM J
                                      WHERE J.resto IS NOT NULL))sql"));
    return s;
}

// The components of the items moved whole.
const SqlStore& assDelProdEstLote() {
    static const SqlStore s =
        store("assDelProdEstLote", "acmDelProdEstLote", deleteMovedWhole("ITCOMANDAEST"));
    return s;
}

// The items moved whole.
const SqlStore& assDelProdLote() {
    static const SqlStore s = store("assDelProdLote", "acmDelProdLote", deleteMovedWhole("ITCOMANDAVEN"));
    return s;
}

// The moved items lead every join of the writes that follow in the transaction. PostgreSQL cannot know
// how few rows a JSON parameter holds (it assumes a hundred) and would otherwise read a short history
// whole to hash it; looking each item up through the keys costs the same whatever the history.
const SqlStore& assPlanoLote() {
    static const SqlStore s{
        .name = QStringLiteral("assPlanoLote"),
        .ADOQuery = QStringLiteral("adqPlanoLote"),
        .SQLPOSTGRES = QStringLiteral(R"sql(SELECT set_config('enable_hashjoin', 'off', true),
       set_config('enable_mergejoin', 'off', true))sql"),
    };
    return s;
}

const QStringList& setKeyColumns() {
    static const QStringList columns = {
        QStringLiteral("nrcomandaorig"), QStringLiteral("nrprodcomven"), QStringLiteral("nrvendarestold"),
        QStringLiteral("novo"),          QStringLiteral("inteiro"),      QStringLiteral("resto"),
        QStringLiteral("rastreia"),      QStringLiteral("quantidade"),   QStringLiteral("nrseqprodcom"),
        QStringLiteral("nrmesaori"),     QStringLiteral("nrseqprodcup"), QStringLiteral("nrlugarmesa"),
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

} // namespace Srv_Mvt04215
