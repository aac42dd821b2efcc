#include "OdbcRoad.h"

#include <QFileInfo>
#include <QUrl>
#include <QUrlQuery>

namespace testsupport {
namespace {

// A value of an ODBC connection string, in braces when it holds what would end it.
QString odbcValue(const QString& value) {
    if (!value.contains(u';') && value.trimmed() == value)
        return value;
    return u'{' + value + u'}';
}

} // namespace

QString postgresOdbcDriver() {
    QString library = qEnvironmentVariable("MVT_TEST_ODBC_DRIVER");
    if (library.isEmpty())
        library = QStringLiteral(MVT_ODBC_DRIVER_DEFAULT);
    return QFileInfo(library).isFile() ? library : QString();
}

QString odbcConnectionString(const QString& postgresUri) {
    const QUrl url(postgresUri);
    QStringList parts = {
        QStringLiteral("Driver=") + odbcValue(postgresOdbcDriver()),
        QStringLiteral("Server=") + odbcValue(url.host()),
        QStringLiteral("Port=%1").arg(url.port(5432)),
        QStringLiteral("Database=") + odbcValue(url.path(QUrl::FullyDecoded).mid(1)),
        QStringLiteral("Uid=") + odbcValue(url.userName(QUrl::FullyDecoded)),
        QStringLiteral("Pwd=") + odbcValue(url.password(QUrl::FullyDecoded)),
    };
    // libpq's own settings (the scratch schema's search path) reach the session through psqlODBC's pqopt
    QStringList libpq;
    for (auto [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        value.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
        libpq << key + QStringLiteral("='") + value + u'\'';
    }
    if (!libpq.isEmpty())
        parts << QStringLiteral("pqopt={") + libpq.join(u' ') + u'}';
    return QStringLiteral("odbc:") + parts.join(u';');
}

} // namespace testsupport
