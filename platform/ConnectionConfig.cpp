#include "ConnectionConfig.h"

#include "Runtime.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace platform {
namespace {

QString fromEnvironment(const QString& variable) {
    return qEnvironmentVariable(variable.toLatin1().constData()).trimmed();
}

QString fromIni(const QString& key) {
    const QString path = executableFolder() + QStringLiteral("/mvt04215.ini");
    if (!QFileInfo::exists(path))
        return {};
    QSettings ini(path, QSettings::IniFormat);
    return ini.value(QStringLiteral("connections/") + key).toString().trimmed();
}

} // namespace

QString _GetStringConexZel(const QString& systemCode) {
    const QString code = systemCode.trimmed();
    QString found;
    if (!code.isEmpty())
        found = fromEnvironment(QStringLiteral("MVT04215_DB_") + code);
    if (found.isEmpty())
        found = fromEnvironment(QStringLiteral("MVT04215_DB"));
    if (found.isEmpty() && !code.isEmpty())
        found = fromIni(code);
    if (found.isEmpty())
        found = fromIni(QStringLiteral("default"));
    if (found.isEmpty())
        found = QStringLiteral("sqlite:") + QDir(executableFolder()).filePath(QStringLiteral("zel.db"));
    return found;
}

} // namespace platform
