#include "ConnectionChoice.h"

#include <QFileInfo>

namespace Srv_Mvt04215 {

QString systemCodeForExecutable(const QString& executable) {
    // Hosts started from the original platform's paths arrive with backslashes.
    QString name = executable;
    name.replace(u'\\', u'/');
    name = QFileInfo(name).fileName().toUpper();
    static const QStringList hosts212 = {QStringLiteral("KBX.EXE"), QStringLiteral("HLV.EXE"),
                                         QStringLiteral("KBX"), QStringLiteral("HLV")};
    return hosts212.contains(name) ? QStringLiteral("212") : QString();
}

} // namespace Srv_Mvt04215
