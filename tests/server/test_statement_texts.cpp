// The statement texts are the suite's; they change only where a text was mended.

#include "platform/Errors.h"
#include "platform/db/SqlText.h"
#include "server/SetStatementCatalogue.h"
#include "server/StatementCatalogue.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

using namespace Srv_Mvt04215;
using namespace platform::db;

namespace {

QString golden(const QString& file) {
    QFile f(QStringLiteral(MVT_STATEMENT_TEXTS "/") + file);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("<missing %1>").arg(file);
    return QString::fromUtf8(f.readAll());
}

// The statements whose single text was mended; their parameters stay as they were, but for the
// component's discount that the component insert now copies.
const QStringList mendedStatements = {QStringLiteral("adqItComandaEst"), QStringLiteral("acmDeleleItCmd"),
                                      QStringLiteral("acmInsProdEst")};

} // namespace

TEST(StatementTexts, SingleTextStatementsAreTheSuitesTextsByteForByte) {
    int compared = 0;
    for (const StatementDef& def : statementCatalogue()) {
        if (def.store || mendedStatements.contains(def.name))
            continue;
        EXPECT_EQ(def.sql, golden(def.name + QStringLiteral(".sql"))) << def.name.toStdString();
        ++compared;
    }
    EXPECT_EQ(compared, 29);
    // the component insert changed by its one column only
    QString insert = golden(QStringLiteral("acmInsProdEst.sql"));
    insert.replace(QStringLiteral("DSOBSPEDDIGEST)\n"), QStringLiteral("DSOBSPEDDIGEST, VRDESITCOMEST)\n"))
        .replace(QStringLiteral(":P_DSOBSPEDDIGEST)"),
                 QStringLiteral(":P_DSOBSPEDDIGEST, :P_VRDESITCOMEST)"));
    EXPECT_EQ(statementDef(QStringLiteral("acmInsProdEst")).sql, insert);
}

TEST(StatementTexts, OracleAndSqlServerTextsOfTheStoresAreVerbatim) {
    for (const SqlStore* store : {&assProdOrig(), &assPesqSeqProdCom()})
        EXPECT_EQ(store->SQLORACLE, golden(store->ADOQuery + QStringLiteral(".oracle.sql")))
            << store->name.toStdString();
    EXPECT_EQ(assPesqSeqProdCom().SQLMSSQL, golden(QStringLiteral("adqPesqSeqProdCom.mssql.sql")));
    // Without a length SQL Server converts to 30 characters (and reads 2000 as a style): the item's text
    // and observation came back cut, and a whole move wrote them back cut. Those two lines alone changed.
    QString mended = golden(QStringLiteral("adqProdOrig.mssql.sql"));
    mended.replace(QStringLiteral("   CONVERT(VARCHAR,IT.TXPRODCOMVEN,2000) AS TXPRODCOMVEN,\n"),
                   QStringLiteral("   CONVERT(VARCHAR(2000),IT.TXPRODCOMVEN) AS TXPRODCOMVEN,\n"));
    mended.replace(QStringLiteral("   CONVERT(VARCHAR,IT.DSOBSPEDDIGCMD) AS DSOBSPEDDIGCMD,"),
                   QStringLiteral("   CONVERT(VARCHAR(2000),IT.DSOBSPEDDIGCMD) AS DSOBSPEDDIGCMD,"));
    ASSERT_EQ(mended.count(QStringLiteral("CONVERT(VARCHAR(2000),IT.")), 2);
    EXPECT_EQ(assProdOrig().SQLMSSQL, mended);
    EXPECT_FALSE(assProdOrig().SQLMSSQL.contains(QStringLiteral("CONVERT(VARCHAR,")));
    EXPECT_EQ(statementDef(QStringLiteral("adqProdOrig")).store, &assProdOrig());
    EXPECT_EQ(statementDef(QStringLiteral("adqPesqSeqProdCom")).store, &assPesqSeqProdCom());
}

TEST(StatementTexts, MendedStatementsKeepTheirParametersAndTheClearingStoreStaysSqlServer) {
    const StatementDef& est = statementDef(QStringLiteral("adqItComandaEst"));
    EXPECT_NE(est.sql, golden(QStringLiteral("adqItComandaEst.sql")));
    EXPECT_EQ(toPositional(est.sql).names, toPositional(golden(QStringLiteral("adqItComandaEst.sql"))).names);

    const StatementDef& del = statementDef(QStringLiteral("acmDeleleItCmd"));
    ASSERT_EQ(del.store, &assDeleleItCmd());
    const QStringList originalNames = toPositional(golden(QStringLiteral("acmDeleleItCmd.sql"))).names;
    for (auto dialect : {Dialect::Oracle, Dialect::SqlServer, Dialect::SQLite, Dialect::PostgreSQL})
        EXPECT_EQ(toPositional(del.textFor(dialect)).names, originalNames)
            << dialectName(dialect).toStdString();
    EXPECT_TRUE(assDeleleItCmd().SQLMSSQL.contains(QStringLiteral("CHARINDEX")));
}

TEST(StatementTexts, DeclaredParametersMatchThePlaceholdersOfEveryText) {
    for (const StatementDef& def : statementCatalogue()) {
        QStringList declared;
        for (const ParamDecl& p : def.params)
            declared << p.name;
        for (auto dialect : {Dialect::Oracle, Dialect::SqlServer, Dialect::SQLite, Dialect::PostgreSQL})
            EXPECT_EQ(toPositional(def.textFor(dialect)).names, declared)
                << def.name.toStdString() << " " << dialectName(dialect).toStdString();
        EXPECT_EQ(def.noTimeLimit, def.kind == StatementKind::Command) << def.name.toStdString();
    }
    // the suite's 34, and the locks and checks that keep two terminals from corrupting a table
    EXPECT_EQ(statementCatalogue().size(), 39);
}

TEST(StatementTexts, ParameterTypesAndOptionsAreThoseTheServicesRelyOn) {
    auto typeOf = [](const char* stmt, const char* param) {
        for (const ParamDecl& p : statementDef(QString::fromLatin1(stmt)).params)
            if (p.name == QLatin1String(param))
                return p.type;
        return ParamType::Untyped;
    };
    EXPECT_EQ(typeOf("acmInsProd", "P_QTPRODCOMVEN"), ParamType::Float);
    EXPECT_EQ(typeOf("acmInsProd", "P_DTHRINCOMVEN"), ParamType::DateTime);
    EXPECT_EQ(typeOf("acmInsProd", "P_NRSEQPRODCOM"), ParamType::Text);
    EXPECT_EQ(typeOf("acmAlterQuant", "P_QTPRODCOMVEN"), ParamType::Text);
    EXPECT_EQ(typeOf("acmUpdComanda", "P_VRACRCOMANDA"), ParamType::Float);
    EXPECT_EQ(typeOf("acmInsProdEst", "P_VRPRECCOMEST"), ParamType::Float);
    EXPECT_EQ(typeOf("acmDeletaVendaRest", "P_NRVENDAREST"), ParamType::Untyped);
    EXPECT_EQ(statementDef(QStringLiteral("acmInsProd")).params.size(), 36);
    EXPECT_TRUE(statementDef(QStringLiteral("adqProdOrig")).readOnly);
    EXPECT_TRUE(statementDef(QStringLiteral("adqMesaAgrup")).decimalsAsFloat);
    EXPECT_TRUE(statementDef(QStringLiteral("adqValMesaDest")).decimalsAsFloat);
    EXPECT_EQ(statementDef(QStringLiteral("adqProdOrig")).resultFields.size(), 44);
}

// The set-based writes have no text for the suite's dialects; their two texts take the same values.
TEST(StatementTexts, SetBasedWritesNameTheSameParametersOnBothDatabases) {
    for (const StatementDef& def : setStatementCatalogue()) {
        EXPECT_THROW(def.textFor(Dialect::Oracle), platform::ConfigError) << def.name.toStdString();
        EXPECT_THROW(def.textFor(Dialect::SqlServer), platform::ConfigError) << def.name.toStdString();
        if (def.store->SQLSQLITE.isEmpty())
            continue; // a PostgreSQL planning setting
        const QStringList sqlite = toNumbered(def.textFor(Dialect::SQLite)).names;
        const QStringList postgres = toNumbered(def.textFor(Dialect::PostgreSQL)).names;
        EXPECT_EQ(QSet<QString>(sqlite.cbegin(), sqlite.cend()),
                  QSet<QString>(postgres.cbegin(), postgres.cend()))
            << def.name.toStdString();
    }
}
