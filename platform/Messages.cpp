#include "Messages.h"

namespace platform {
namespace {

const QString* find(const QList<QPair<QString, QString>>& table, const QString& key, Qt::CaseSensitivity cs) {
    for (const auto& entry : table)
        if (entry.first.compare(key, cs) == 0)
            return &entry.second;
    return nullptr;
}

} // namespace

void TMessages::setLines(const QStringList& lines) {
    entries_.clear();
    for (const QString& line : lines) {
        const qsizetype bar = line.indexOf(u'|');
        if (bar <= 0)
            continue;
        entries_.append({line.left(bar), line.mid(bar + 1)});
    }
}

QStringList TMessages::lines() const {
    QStringList out;
    for (const auto& [key, text] : entries_)
        out << key + u'|' + text;
    return out;
}

QString TMessages::Msg(const QString& key) const {
    for (const auto* table : {&entries_, &commonTable()}) {
        if (const QString* text = find(*table, key, Qt::CaseSensitive); text && !text->isEmpty())
            return *text;
        if (const QString* text = find(*table, key, Qt::CaseInsensitive); text && !text->isEmpty())
            return *text;
    }
    return key;
}

const QList<QPair<QString, QString>>& TMessages::commonTable() {
    static const QList<QPair<QString, QString>> table = {
        {QStringLiteral("EXCLUSAO"), QStringLiteral("Exclusão")},
        {QStringLiteral("DEL_ITC"), QStringLiteral("Itens sem comanda excluídos.")},
        {QStringLiteral("DEL_ICM"), QStringLiteral("Itens de comandas sem venda excluídos.")},
        {QStringLiteral("DEL_CMD"), QStringLiteral("Comandas sem venda excluídas.")},
        {QStringLiteral("DEL_VEN"), QStringLiteral("Vendas sem comanda excluídas.")},
    };
    return table;
}

} // namespace platform
