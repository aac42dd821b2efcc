#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace platform {

// A screen's message table: key/text pairs stored as lines "key|text", looked up by key.
//
// Msg never returns an empty text. A key is answered by, in this order: its exact entry; an entry
// whose key differs only in letter case ("QTDE_DEVE" finds "Qtde_Deve"); the suite's common table
// (texts every screen shares, such as the clean-up audit captions); and finally the key itself, so
// that a missing entry shows up as its key instead of a blank dialog or log line.
class TMessages {
public:
    TMessages() = default;
    explicit TMessages(const QStringList& lines) { setLines(lines); }

    void setLines(const QStringList& lines);
    QStringList lines() const;
    QString Msg(const QString& key) const;

    // The texts the suite's shared library knows for keys that screens ask for without an entry.
    static const QList<QPair<QString, QString>>& commonTable();

private:
    QList<QPair<QString, QString>> entries_;
};

} // namespace platform
