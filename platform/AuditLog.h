#pragma once

#include <QString>
#include <QVariant>

namespace platform {

// The suite's access-control audit log: one JSON line per entry (the time and the fourteen arguments
// by name) appended to Dados/Log/ControleAcess.log beside the host program, flushed per entry.
// Throws Error when the entry cannot be written.
void LogControleAcess(const QString& branch, const QString& till, const QString& action,
                      const QString& operatorCode, const QString& operatorName, const QString& param,
                      const QString& reason, const QString& text, const QString& text9, const QString& text10,
                      const QString& text11, const QString& text12, const QVariant& value13,
                      const QVariant& value14);

QString auditLogPath();

} // namespace platform
