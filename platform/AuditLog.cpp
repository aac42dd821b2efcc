#include "AuditLog.h"

#include "Errors.h"
#include "Runtime.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

namespace platform {

QString auditLogPath() {
    return executableFolder() + QStringLiteral("/Dados/Log/ControleAcess.log");
}

void LogControleAcess(const QString& branch, const QString& till, const QString& action,
                      const QString& operatorCode, const QString& operatorName, const QString& param,
                      const QString& reason, const QString& text, const QString& text9, const QString& text10,
                      const QString& text11, const QString& text12, const QVariant& value13,
                      const QVariant& value14) {
    const QJsonObject entry{
        {QStringLiteral("time"), QDateTime::currentDateTime().toString(Qt::ISODateWithMs)},
        {QStringLiteral("branch"), branch},
        {QStringLiteral("till"), till},
        {QStringLiteral("action"), action},
        {QStringLiteral("operatorCode"), operatorCode},
        {QStringLiteral("operatorName"), operatorName},
        {QStringLiteral("param"), param},
        {QStringLiteral("reason"), reason},
        {QStringLiteral("text"), text},
        {QStringLiteral("text9"), text9},
        {QStringLiteral("text10"), text10},
        {QStringLiteral("text11"), text11},
        {QStringLiteral("text12"), text12},
        {QStringLiteral("value13"), QJsonValue::fromVariant(value13)},
        {QStringLiteral("value14"), QJsonValue::fromVariant(value14)},
    };
    const QByteArray line = QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n';
    const QString path = auditLogPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(line) != line.size() ||
        !file.flush())
        throw AuditLogError(QStringLiteral("Não foi possível gravar o registro de auditoria em %1: %2")
                                .arg(path, file.errorString()),
                            line);
}

void writeRefusedEntry(const AuditLogError& refused) {
    std::fwrite(refused.line().constData(), 1, size_t(refused.line().size()), stderr);
    std::fflush(stderr);
}

} // namespace platform
