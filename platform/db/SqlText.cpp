#include "SqlText.h"

namespace platform::db {
namespace {

bool isNameStart(QChar c) {
    return c.isLetter() || c == u'_';
}
bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

} // namespace

PositionalSql toPositional(const QString& sql) {
    PositionalSql out;
    out.text.reserve(sql.size());
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto copyUntil = [&](QChar close) {
        // copies a quoted run including its closing quote; doubled quotes stay inside the run
        out.text += sql[i++];
        while (i < n) {
            const QChar c = sql[i++];
            out.text += c;
            if (c == close) {
                if (i < n && sql[i] == close) {
                    out.text += sql[i++];
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
            out.text += sql.mid(i, stop - i);
            i = stop;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            out.text += sql.mid(i, stop - i);
            i = stop;
        } else if (c == u':' && i + 1 < n && sql[i + 1] == u':') {
            out.text += QStringLiteral("::");
            i += 2;
        } else if (c == u':' && i + 1 < n && isNameStart(sql[i + 1])) {
            qsizetype j = i + 1;
            while (j < n && isNameChar(sql[j]))
                ++j;
            out.names << sql.mid(i + 1, j - i - 1);
            out.text += u'?';
            i = j;
        } else {
            out.text += c;
            ++i;
        }
    }
    return out;
}

} // namespace platform::db
