#pragma once

#include <QString>
#include <QStringList>

namespace platform::db {

// A statement text with its named placeholders (":NAME") replaced by positional ones ("?"), and the
// placeholder names in order of occurrence: a name that stands twice appears twice.
struct PositionalSql {
    QString text;
    QStringList names;
};

// Quoted strings, quoted identifiers, comments and "::" casts are left alone.
PositionalSql toPositional(const QString& sql);

// The same with PostgreSQL's numbered placeholders: each distinct name becomes one "$n", numbered in
// order of first occurrence, and `names` lists each name once, so that a name that stands twice takes
// one value.
PositionalSql toNumbered(const QString& sql);

} // namespace platform::db
