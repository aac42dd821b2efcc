#include "SqlText.h"

namespace platform::db {
namespace {

bool isNameStart(QChar c) {
    return c.isLetter() || c == u'_';
}
bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// Copies `sql`, handing the name of every placeholder to `placeholder`, which gives its replacement.
template <typename Placeholder> QString rewrite(const QString& sql, Placeholder placeholder) {
    QString out;
    out.reserve(sql.size());
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto copyUntil = [&](QChar close) {
        // copies a quoted run including its closing quote; doubled quotes stay inside the run
        out += sql[i++];
        while (i < n) {
            const QChar c = sql[i++];
            out += c;
            if (c == close) {
                if (i < n && sql[i] == close) {
                    out += sql[i++];
                    continue;
                }
                return;
            }
        }
    };
    while (i < n) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            copyUntil(c);
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            const qsizetype end = sql.indexOf(u'\n', i);
            const qsizetype stop = end < 0 ? n : end;
            out += sql.mid(i, stop - i);
            i = stop;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            out += sql.mid(i, stop - i);
            i = stop;
        } else if (c == u':' && i + 1 < n && sql[i + 1] == u':') {
            out += QStringLiteral("::");
            i += 2;
        } else if (c == u':' && i + 1 < n && isNameStart(sql[i + 1])) {
            qsizetype j = i + 1;
            while (j < n && isNameChar(sql[j]))
                ++j;
            out += placeholder(sql.mid(i + 1, j - i - 1));
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

} // namespace

PositionalSql toPositional(const QString& sql) {
    PositionalSql out;
    out.text = rewrite(sql, [&](const QString& name) {
        out.names << name;
        return QStringLiteral("?");
    });
    return out;
}

PositionalSql toNumbered(const QString& sql) {
    PositionalSql out;
    out.text = rewrite(sql, [&](const QString& name) {
        qsizetype at = out.names.indexOf(name);
        if (at < 0) {
            at = out.names.size();
            out.names << name;
        }
        return QStringLiteral("$%1").arg(at + 1);
    });
    return out;
}

} // namespace platform::db
