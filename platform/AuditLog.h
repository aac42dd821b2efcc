#pragma once

#include "Errors.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace platform {

// An entry the log could not take (its folder is a file, the disk is full). line() is the entry as the
// log would have held it, so that it is not lost with the failure.
class AuditLogError : public Error {
public:
    AuditLogError(const QString& text, QByteArray line) : Error(text), line_(std::move(line)) {}
    const QByteArray& line() const { return line_; }

private:
    QByteArray line_;
};

// The suite's access-control audit log: one JSON line per entry (the time and the fourteen arguments
// by name) appended to Dados/Log/ControleAcess.log beside the host program, flushed per entry.
// Throws AuditLogError when the entry cannot be written.
void LogControleAcess(const QString& branch, const QString& till, const QString& action,
                      const QString& operatorCode, const QString& operatorName, const QString& param,
                      const QString& reason, const QString& text, const QString& text9, const QString& text10,
                      const QString& text11, const QString& text12, const QVariant& value13,
                      const QVariant& value14);

QString auditLogPath();

// Where an entry the log refused goes instead: the process's standard error, one JSON line as the log
// would have held it, where the host's own logging keeps it.
void writeRefusedEntry(const AuditLogError& refused);

} // namespace platform
