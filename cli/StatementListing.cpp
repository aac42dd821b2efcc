#include "StatementListing.h"

#include "platform/Errors.h"
#include "platform/db/SqlText.h"
#include "server/ModuleStatements.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace cli {
namespace {

using platform::db::Dialect;

const QList<std::pair<QString, Dialect>>& dialectNames() {
    static const QList<std::pair<QString, Dialect>> names = {
        {QStringLiteral("oracle"), Dialect::Oracle},
        {QStringLiteral("sqlserver"), Dialect::SqlServer},
        {QStringLiteral("postgresql"), Dialect::PostgreSQL},
        {QStringLiteral("sqlite"), Dialect::SQLite},
    };
    return names;
}

struct Sent {
    QString name;
    QString kind;
    platform::db::PositionalSql sql;
};

// The statement layer hands each database its client's placeholders: "?" to Qt's ODBC driver (SQL
// Server, Oracle) and SQLite driver, "$n" (one per name) to PostgreSQL through our pipeline.
QList<Sent> sentTexts(Dialect dialect) {
    QList<Sent> sent;
    for (const platform::db::StatementDef& def : Srv_Mvt04215::moduleStatements()) {
        QString text;
        try {
            text = def.textFor(dialect);
        } catch (const platform::ConfigError&) {
            continue; // never runs on this database
        }
        sent.append({def.name,
                     def.kind == platform::db::StatementKind::Query ? QStringLiteral("query")
                                                                    : QStringLiteral("command"),
                     dialect == Dialect::PostgreSQL ? platform::db::toNumbered(text)
                                                    : platform::db::toPositional(text)});
    }
    return sent;
}

} // namespace

std::optional<Dialect> dialectNamed(const QString& name) {
    for (const auto& [known, dialect] : dialectNames())
        if (known == name)
            return dialect;
    return std::nullopt;
}

QString commandLineName(Dialect dialect) {
    for (const auto& [known, d] : dialectNames())
        if (d == dialect)
            return known;
    return {};
}

QByteArray statementListing(Dialect dialect, bool json) {
    const QList<Sent> sent = sentTexts(dialect);
    if (json) {
        QJsonArray all;
        for (const Sent& s : sent)
            all.append(QJsonObject{{QStringLiteral("name"), s.name},
                                   {QStringLiteral("kind"), s.kind},
                                   {QStringLiteral("dialect"), commandLineName(dialect)},
                                   {QStringLiteral("text"), s.sql.text},
                                   {QStringLiteral("parameters"), QJsonArray::fromStringList(s.sql.names)}});
        return QJsonDocument(all).toJson(QJsonDocument::Compact);
    }
    QStringList blocks;
    for (const Sent& s : sent) {
        const QString parameters =
            s.sql.names.isEmpty() ? QStringLiteral("no parameters")
                                  : QStringLiteral("parameters ") + s.sql.names.join(QStringLiteral(", "));
        blocks << QStringLiteral("-- %1: %2, %3\n%4").arg(s.name, s.kind, parameters, s.sql.text);
    }
    return blocks.join(QStringLiteral("\n\n")).toUtf8();
}

} // namespace cli
