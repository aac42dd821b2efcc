#include "ConnectionChoice.h"

#include <QFileInfo>

namespace Srv_Mvt04215 {

QString systemCodeForExecutable(const QString& executable) {
    // A host may be named by a path with backslashes (C:\ZEL\KBX.EXE): its file name is what counts.
    QString name = executable;
    name.replace(u'\\', u'/');
    name = QFileInfo(name).fileName().toUpper();
    static const QStringList hosts212 = {QStringLiteral("KBX.EXE"), QStringLiteral("HLV.EXE"),
                                         QStringLiteral("KBX"), QStringLiteral("HLV")};
    return hosts212.contains(name) ? QStringLiteral("212") : QString();
}

} // namespace Srv_Mvt04215
