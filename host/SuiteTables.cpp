#include "SuiteTables.h"

#include "platform/Errors.h"
#include "platform/db/Connection.h"

#include <QSqlError>
#include <QSqlQuery>

namespace host {
namespace {

using platform::db::Dialect;

struct Types {
    QString number;   // a double-precision number
    QString dateTime; // a local date-time with milliseconds
    QString longText; // free text up to 2000 characters
};

Types typesFor(Dialect dialect) {
    switch (dialect) {
    case Dialect::SQLite:
        return {QStringLiteral("DOUBLE"), QStringLiteral("TIMESTAMP"), QStringLiteral("VARCHAR(2000)")};
    case Dialect::PostgreSQL:
        return {QStringLiteral("DOUBLE PRECISION"), QStringLiteral("TIMESTAMP(3)"),
                QStringLiteral("VARCHAR(2000)")};
    case Dialect::SqlServer:
    case Dialect::Oracle:
        break;
    }
    throw platform::ConfigError(
        QStringLiteral("As tabelas de demonstração existem só para SQLite e PostgreSQL."));
}

} // namespace

QStringList suiteTableDdl(platform::db::Connection& connection) {
    const Types t = typesFor(connection.dialect());
    const QString N = t.number, D = t.dateTime, L = t.longText;
    return {
        QStringLiteral(
            "CREATE TABLE PRODUTO (CDPRODUTO VARCHAR(10) NOT NULL PRIMARY KEY, CDARVPROD VARCHAR(20), "
            "NMPRODUTO VARCHAR(50), NMPRODIMPFIS VARCHAR(50), IDPESAPROD VARCHAR(1))"),
        QStringLiteral("CREATE TABLE MESA (CDFILIAL VARCHAR(4) NOT NULL, CDLOJA VARCHAR(10) NOT NULL, "
                       "NRMESA VARCHAR(4) NOT NULL, NMMESA VARCHAR(30), IDSTMESAAUX VARCHAR(1), "
                       "PRIMARY KEY (CDFILIAL, CDLOJA, NRMESA))"),
        QStringLiteral("CREATE TABLE MESAJUNCAO (CDFILIAL VARCHAR(4) NOT NULL, CDLOJA VARCHAR(10) NOT NULL, "
                       "NRJUNMESA VARCHAR(10) NOT NULL, NRMESA VARCHAR(4) NOT NULL, "
                       "PRIMARY KEY (CDFILIAL, CDLOJA, NRJUNMESA, NRMESA))"),
        QStringLiteral("CREATE INDEX MESAJUNCAO_MESA ON MESAJUNCAO (CDFILIAL, CDLOJA, NRMESA)"),
        QStringLiteral(
            "CREATE TABLE VENDAREST (CDFILIAL VARCHAR(4) NOT NULL, NRVENDAREST VARCHAR(10) NOT NULL, "
            "NRMESA VARCHAR(4), CDLOJA VARCHAR(10), DTHRFECHMESA %1, NRPESMESAVEN VARCHAR(3), "
            "PRIMARY KEY (CDFILIAL, NRVENDAREST))")
            .arg(D),
        // a table's sales, by table and store first: the clean-up looks for them without the branch
        QStringLiteral("CREATE INDEX VENDAREST_MESA ON VENDAREST (NRMESA, CDLOJA, CDFILIAL)"),
        // the open sale of a table, found without walking the table's whole history
        QStringLiteral("CREATE INDEX VENDAREST_ABERTA ON VENDAREST (NRMESA, CDLOJA, CDFILIAL) WHERE "
                       "DTHRFECHMESA IS NULL"),
        QStringLiteral(
            "CREATE TABLE COMANDAVEN (CDFILIAL VARCHAR(4) NOT NULL, NRVENDAREST VARCHAR(10) NOT NULL, "
            "NRCOMANDA VARCHAR(10) NOT NULL, CDLOJA VARCHAR(10), DSCOMANDA VARCHAR(50), "
            "VRACRCOMANDA %1 DEFAULT 0, PRIMARY KEY (CDFILIAL, NRCOMANDA))")
            .arg(N),
        QStringLiteral("CREATE INDEX COMANDAVEN_VENDA ON COMANDAVEN (CDFILIAL, NRVENDAREST)"),
        QStringLiteral(
            "CREATE TABLE ITCOMANDAVEN (CDFILIAL VARCHAR(4) NOT NULL, NRVENDAREST VARCHAR(10), "
            "NRCOMANDA VARCHAR(10) NOT NULL, NRPRODCOMVEN VARCHAR(6) NOT NULL, CDPRODUTO VARCHAR(10), "
            "QTPRODCOMVEN %1, VRPRECCOMVEN %1, TXPRODCOMVEN %3, IDSTPRCOMVEN VARCHAR(1), VRDESCCOMVEN %1, "
            "NRLUGARMESA VARCHAR(3), CDGRPOCOR VARCHAR(2), CDOCORR VARCHAR(2), NRMESAORIG VARCHAR(4), "
            "CDLOJAORIG VARCHAR(10), DTHRINCOMVEN %2, IDPRODIMPFIS VARCHAR(1), CDLOJA VARCHAR(10), "
            "VRACRCOMVEN %1, NRSEQPRODCOM VARCHAR(3), NRSEQPRODCUP VARCHAR(10), DSCOMANDAORI VARCHAR(50), "
            "NRCOMANDAORI VARCHAR(10), NRPRODCOMORI VARCHAR(6), CDCAIXACOLETOR VARCHAR(3), VRPRECCLCOMVEN "
            "%1, "
            "CDPRODPROMOCAO VARCHAR(10), CDVENDEDOR VARCHAR(4), IDORIGPEDCMD VARCHAR(3), DSOBSPEDDIGCMD %3, "
            "NRATRAPRODCOVE %1, NRPEDIDOZEL VARCHAR(10), CDSENHAPED VARCHAR(5), IDDIVIDECONTA VARCHAR(1), "
            "NRPRODORIG VARCHAR(6), QTITEMREFIL %1, IDPRODREFIL VARCHAR(1), NRINSCRCONS VARCHAR(20), "
            "NMCONSVEND VARCHAR(50), DSENDEVENDA VARCHAR(60), IDSTLUGARMESA VARCHAR(1), NRMESADSCOMORIT "
            "VARCHAR(4), "
            "PRIMARY KEY (CDFILIAL, NRCOMANDA, NRPRODCOMVEN))")
            .arg(N, D, L),
        QStringLiteral("CREATE INDEX ITCOMANDAVEN_VENDA ON ITCOMANDAVEN (CDFILIAL, NRVENDAREST)"),
        QStringLiteral(
            "CREATE TABLE ITCOMANDAEST (CDFILIAL VARCHAR(4) NOT NULL, NRVENDAREST VARCHAR(10), "
            "NRCOMANDA VARCHAR(10) NOT NULL, NRPRODCOMVEN VARCHAR(6) NOT NULL, CDPRODUTO VARCHAR(10), "
            "QTPROCOMEST %1, VRPRECCOMEST %1, VRDESITCOMEST %1, DSOBSPEDDIGEST %2)")
            .arg(N, L),
        QStringLiteral("CREATE INDEX ITCOMANDAEST_ITEM ON ITCOMANDAEST (CDFILIAL, NRCOMANDA, NRPRODCOMVEN)"),
        QStringLiteral(
            "CREATE TABLE OBSITCOMANDAVEN (CDFILIAL VARCHAR(4) NOT NULL, NRVENDAREST VARCHAR(10), "
            "NRCOMANDA VARCHAR(10) NOT NULL, NRPRODCOMVEN VARCHAR(6) NOT NULL, CDGRPOCOR VARCHAR(2), "
            "CDOCORR VARCHAR(2))"),
        QStringLiteral(
            "CREATE INDEX OBSITCOMANDAVEN_ITEM ON OBSITCOMANDAVEN (CDFILIAL, NRCOMANDA, NRPRODCOMVEN)"),
        QStringLiteral(
            "CREATE TABLE OBSITCOMANDAEST (CDFILIAL VARCHAR(4) NOT NULL, NRVENDAREST VARCHAR(10), "
            "NRCOMANDA VARCHAR(10) NOT NULL, NRPRODCOMVEN VARCHAR(6) NOT NULL, CDPRODUTO VARCHAR(10), "
            "CDGRPOCOR VARCHAR(2), CDOCORR VARCHAR(2))"),
        QStringLiteral(
            "CREATE INDEX OBSITCOMANDAEST_ITEM ON OBSITCOMANDAEST (CDFILIAL, NRCOMANDA, NRPRODCOMVEN)"),
        QStringLiteral(
            "CREATE TABLE PEDIDOALT (CDFILIALOLD VARCHAR(4) NOT NULL, NRVENDARESTOLD VARCHAR(10) NOT NULL, "
            "NRCOMANDAOLD VARCHAR(10) NOT NULL, NRPRODCOMVENOLD VARCHAR(6) NOT NULL, "
            "NRVENDAREST VARCHAR(10), NRCOMANDA VARCHAR(10), NRPRODCOMVEN VARCHAR(6), NRMESA VARCHAR(4), "
            "NRSEQPRODCUP VARCHAR(10), NRLUGARMESAIT VARCHAR(3), "
            "PRIMARY KEY (CDFILIALOLD, NRVENDARESTOLD, NRCOMANDAOLD, NRPRODCOMVENOLD))"),
        // the numbers a tab used for items that moved away (item numbering)
        QStringLiteral(
            "CREATE INDEX PEDIDOALT_COMANDA ON PEDIDOALT (CDFILIALOLD, NRCOMANDAOLD, NRPRODCOMVENOLD)"),
    };
}

void createSuiteTables(platform::db::Connection& connection) {
    for (const QString& ddl : suiteTableDdl(connection))
        connection.exec(ddl);
}

const QStringList& suiteTableNames() {
    static const QStringList names = {
        QStringLiteral("PEDIDOALT"),    QStringLiteral("OBSITCOMANDAEST"), QStringLiteral("OBSITCOMANDAVEN"),
        QStringLiteral("ITCOMANDAEST"), QStringLiteral("ITCOMANDAVEN"),    QStringLiteral("COMANDAVEN"),
        QStringLiteral("VENDAREST"),    QStringLiteral("MESAJUNCAO"),      QStringLiteral("MESA"),
        QStringLiteral("PRODUTO"),
    };
    return names;
}

void insertRow(platform::db::Connection& connection, const QString& table, const QVariantMap& row) {
    QStringList columns, marks;
    for (auto it = row.cbegin(); it != row.cend(); ++it) {
        columns << it.key();
        marks << QStringLiteral("?");
    }
    QSqlQuery q(connection.database());
    if (!q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                       .arg(table, columns.join(u','), marks.join(u','))))
        throw connection.error(q.lastError(), QStringLiteral("preparar ") + table);
    int i = 0;
    for (auto it = row.cbegin(); it != row.cend(); ++it)
        q.bindValue(i++, it.value());
    if (!q.exec())
        throw connection.error(q.lastError(), QStringLiteral("inserir em ") + table);
}

} // namespace host
