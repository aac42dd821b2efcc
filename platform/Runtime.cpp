#include "Runtime.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {
namespace {

QString& folderOverride() {
    static QString folder;
    return folder;
}

QString executablePath() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

} // namespace

QString executableFileName() {
    if (QCoreApplication::instance()) {
        const QStringList args = QCoreApplication::arguments();
        if (!args.isEmpty() && !args.first().isEmpty())
            return QFileInfo(args.first()).fileName();
    }
    return QFileInfo(executablePath()).fileName();
}

QString executableFolder() {
    if (!folderOverride().isEmpty())
        return folderOverride();
    return QDir::cleanPath(QFileInfo(executablePath()).absolutePath());
}

ExecutableFolderOverride::ExecutableFolderOverride(const QString& folder) : previous_(folderOverride()) {
    folderOverride() = QDir::cleanPath(folder);
}

ExecutableFolderOverride::~ExecutableFolderOverride() {
    folderOverride() = previous_;
}

} // namespace platform
