#include "OpenQuery.h"

#include "Statement.h"
#include "platform/Errors.h"

namespace platform::db {

OpenQuery::OpenQuery(Statement& statement)
    : statement_(&statement), name_(statement.name()), fields_(statement.fields_),
      sqlColumn_(statement.sqlColumn_) {
    statement.cursor_ = this;
    try {
        next();
    } catch (...) {
        // no destructor runs for an object whose construction failed
        statement.close();
        throw;
    }
}

OpenQuery::~OpenQuery() {
    if (statement_)
        statement_->close();
}

void OpenQuery::letGo() {
    statement_ = nullptr;
    eof_ = true;
    row_.clear();
}

void OpenQuery::next() {
    if (!statement_ || eof_)
        return;
    QSqlQuery& query = statement_->query_;
    if (query.next()) {
        readRow();
        ++rowCount_;
    } else {
        if (query.lastError().isValid())
            throw statement_->connection_.error(query, QStringLiteral("ler %1").arg(name_));
        eof_ = true;
        row_.clear();
    }
}

void OpenQuery::readRow() {
    // a record of its own for every row: a packet that took the last one keeps it unshared
    Record row(fields_.size());
    const QSqlQuery& query = statement_->query_;
    for (int i = 0; i < fields_.size(); ++i)
        row[i] = coerceToField(fields_[i], query.value(sqlColumn_[i]));
    row_ = std::move(row);
}

const Record& OpenQuery::row() const {
    if (!statement_)
        throw DatabaseError(QStringLiteral("%1 não está aberta.").arg(name_), {}, {}, name_);
    return row_;
}

int OpenQuery::column(const QString& field) const {
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_[i].name.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    throw ConfigError(QStringLiteral("O campo %1 não está no resultado de %2.").arg(field, name_));
}

QVariant OpenQuery::value(const QString& field) const {
    const Record& current = row();
    const int col = column(field);
    return eof_ ? QVariant() : current.value(col);
}

QString OpenQuery::asString(const QString& field) const {
    const QVariant v = value(field);
    if (v.metaType().id() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

double OpenQuery::asFloat(const QString& field) const {
    const QVariant v = value(field);
    if (v.isNull())
        return 0;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok)
        throw Error(QStringLiteral("\"%1\" não é um número válido (%2).").arg(v.toString(), field));
    return d;
}

int OpenQuery::asInteger(const QString& field) const {
    const QVariant v = value(field);
    if (v.isNull())
        return 0;
    bool ok = false;
    const QString text = asString(field).trimmed();
    const int n = text.toInt(&ok);
    if (!ok)
        throw Error(QStringLiteral("\"%1\" não é um valor inteiro válido (%2).").arg(text, field));
    return n;
}

} // namespace platform::db
