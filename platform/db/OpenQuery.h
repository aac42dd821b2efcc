#pragma once

#include "platform/FieldDef.h"

#include <QString>
#include <QVariant>

namespace platform::db {

class Statement;

// One run of a query, with the state of reading it: its rows are read from the first on, and let go
// when it goes out of scope, so that no later use finds the query open on the rows of earlier values.
// The statement running again, or the connection letting go of its readers, ends it as well.
class OpenQuery {
public:
    ~OpenQuery();
    OpenQuery(const OpenQuery&) = delete;
    OpenQuery& operator=(const OpenQuery&) = delete;

    bool isEmpty() const { return rowCount_ == 0 && eof_; }
    bool eof() const { return eof_; }
    void next();
    // Values of the current row through the typed result fields (or the select list).
    QVariant value(const QString& field) const;
    QString asString(const QString& field) const;
    double asFloat(const QString& field) const;
    // Throws Error when the value does not read as an integer.
    int asInteger(const QString& field) const;
    const FieldList& fields() const { return fields_; }
    // The current row, one value per field; throws when the query was let go.
    const Record& row() const;

private:
    friend class Statement;
    explicit OpenQuery(Statement& statement);
    void readRow();
    void letGo(); // the statement let go of the rows
    int column(const QString& field) const;

    Statement* statement_; // null once the rows were let go
    QString name_;
    FieldList fields_;
    QList<int> sqlColumn_;
    Record row_;
    bool eof_ = false;
    int rowCount_ = 0;
};

} // namespace platform::db
