#include "LocalFileProblems.h"

namespace Cli_Mvt04215 {

QStringList localFileProblems(const QString& what, const QString& path, const platform::Dataset* loaded,
                              const QStringList& required) {
    if (!loaded)
        return {QStringLiteral("O arquivo de %1 não foi encontrado: %2").arg(what, path)};
    if (loaded->isEmpty())
        return {QStringLiteral("O arquivo de %1 %2 não tem registros.").arg(what, path)};
    QStringList problems;
    for (const QString& field : required) {
        if (!loaded->hasField(field))
            problems << QStringLiteral("O arquivo de %1 %2 não tem o campo %3.").arg(what, path, field);
        else if (loaded->field(field).asString().trimmed().isEmpty())
            problems << QStringLiteral("O campo %1 do arquivo de %2 %3 está vazio.").arg(field, what, path);
    }
    return problems;
}

} // namespace Cli_Mvt04215
