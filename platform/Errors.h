#pragma once

#include <QString>
#include <stdexcept>

namespace platform {

// Base of every failure our layers raise; the text is UTF-8 and meant for the operator.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromUtf8(what()); }
};

// A malformed data packet or local dataset file.
class PacketError : public Error {
    using Error::Error;
};

// A dataset used the wrong way: unknown field, no current record, value of the wrong kind.
class DatasetError : public Error {
    using Error::Error;
};

// A connection string or configuration that cannot be used.
class ConfigError : public Error {
    using Error::Error;
};

// A statement the database refused, or a connection that failed.
class DatabaseError : public Error {
public:
    DatabaseError(const QString& text, const QString& databaseText, const QString& nativeCode,
                  const QString& statement = {})
        : Error(text), databaseText_(databaseText), nativeCode_(nativeCode), statement_(statement) {}
    const QString& databaseText() const { return databaseText_; }
    const QString& nativeCode() const { return nativeCode_; }
    const QString& statement() const { return statement_; }

private:
    QString databaseText_;
    QString nativeCode_;
    QString statement_;
};

// Ends an operation without any further message; the screen's event wrapper swallows it.
class SilentAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

} // namespace platform
