#include "Statement.h"

#include "platform/Errors.h"

#include <QSqlField>
#include <QSqlRecord>

namespace platform::db {
namespace {

FieldType inferType(const QMetaType& type, bool decimalsAsFloat) {
    switch (type.id()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return FieldType::Float;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return decimalsAsFloat ? FieldType::Float : FieldType::Integer;
    case QMetaType::Bool:
        return FieldType::Boolean;
    case QMetaType::QDateTime:
    case QMetaType::QDate:
        return FieldType::DateTime;
    default:
        return FieldType::String;
    }
}

QVariant typedNull(ParamType type) {
    switch (type) {
    case ParamType::Float:
        return QVariant(QMetaType::fromType<double>());
    case ParamType::DateTime:
        return QVariant(QMetaType::fromType<QDateTime>());
    case ParamType::Text:
    case ParamType::Untyped:
        break;
    }
    return QVariant(QMetaType::fromType<QString>());
}

} // namespace

QString StatementDef::textFor(Dialect dialect) const {
    return store ? store->textFor(dialect) : sql;
}

Statement::Statement(Connection& connection, StatementDef def)
    : connection_(connection), def_(std::move(def)) {
    if (def_.params.isEmpty()) {
        // undeclared parameters are taken from the text, as text
        const QString text = def_.store ? def_.store->SQLSQLITE : def_.sql;
        for (const QString& n : toPositional(text).names)
            def_.params.append({n, ParamType::Text});
    }
    for (const ParamDecl& p : std::as_const(def_.params)) {
        const QString key = p.name.toUpper();
        if (slots_.contains(key))
            continue;
        slots_.insert(key, int(names_.size()));
        names_.append(p.name);
        nulls_.append(typedNull(p.type));
    }
    connection_.attach(this);
}

Statement::~Statement() {
    close();
    connection_.detach(this);
}

int Statement::slot(const QString& name) const {
    // services name parameters exactly as declared; the upper-case form is the fallback
    const auto it = slots_.constFind(name);
    if (it != slots_.cend())
        return *it;
    return slots_.value(name.toUpper(), -1);
}

void Statement::release() {
    close();
    query_ = QSqlQuery();
    preparedFor_ = 0;
    parsedFor_ = 0;
    columnsResolved_ = false;
}

QString Statement::currentText() const {
    return def_.textFor(connection_.dialect());
}

void Statement::parse() {
    if (parsedFor_ == connection_.generation() && parsedFor_ != 0)
        return;
    PositionalSql positional = toPositional(currentText());
    QList<int> occurrences, used;
    for (const QString& n : std::as_const(positional.names)) {
        const int at = slot(n);
        if (at < 0)
            throw ConfigError(QStringLiteral("O parâmetro %1 de %2 não foi declarado.").arg(n, def_.name));
        occurrences.append(at);
        if (!used.contains(at))
            used.append(at);
    }
    positional_ = std::move(positional);
    occurrenceSlot_ = std::move(occurrences);
    usedSlots_ = std::move(used);
    parsedFor_ = connection_.generation();
}

namespace {

QString nameText(const char* name) {
    return QString::fromLatin1(name);
}
const QString& nameText(const QString& name) {
    return name;
}

} // namespace

template <typename Named> QList<QVariant> Statement::resolve(const Named& values) {
    parse();
    QList<QVariant> bound(names_.size());
    QList<bool> given(names_.size(), false);
    for (const auto& [name, value] : values) {
        const int at = slot(nameText(name));
        if (at < 0)
            throw DatabaseError(QStringLiteral("%1 não tem o parâmetro %2.").arg(def_.name, nameText(name)),
                                {}, {}, def_.name);
        bound[at] = value;
        given[at] = true;
    }
    for (const int at : std::as_const(usedSlots_))
        if (!given[at])
            throw DatabaseError(QStringLiteral("%1 não recebeu o parâmetro %2.").arg(def_.name, names_[at]),
                                {}, {}, def_.name);
    return bound;
}

QList<QVariant> Statement::valuesFor(NamedValues values) {
    return resolve(values);
}

QList<QVariant> Statement::valuesFor(const ValueList& values) {
    return resolve(values);
}

void Statement::prepare() {
    parse();
    if (preparedFor_ == connection_.generation() && preparedFor_ != 0)
        return;
    query_ = QSqlQuery(connection_.database());
    columnsResolved_ = false;
    query_.setForwardOnly(true);
    query_.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    connection_.countRoundTrip();
    if (!query_.prepare(positional_.text))
        throw connection_.error(query_, QStringLiteral("preparar %1").arg(def_.name));
    connection_.countPrepare();
    preparedFor_ = connection_.generation();
}

void Statement::exec(const QList<QVariant>& values) {
    connection_.aboutToRun(def_.name);
    prepare();
    // every placeholder takes its value of this run
    for (int i = 0; i < occurrenceSlot_.size(); ++i) {
        const int at = occurrenceSlot_[i];
        const QVariant& v = values[at];
        query_.bindValue(i, v.isNull() ? nulls_[at] : v);
    }
    connection_.countRoundTrip();
    if (!query_.exec())
        throw connection_.error(query_, QStringLiteral("executar %1").arg(def_.name));
}

OpenQuery Statement::run(NamedValues values) {
    return runWith(valuesFor(values));
}

OpenQuery Statement::run(const ValueList& values) {
    return runWith(valuesFor(values));
}

OpenQuery Statement::runWith(const QList<QVariant>& values) {
    close();
    exec(values);
    // The columns of a prepared text do not change from one run to the next: declared fields are
    // found in the result once per preparation.
    if (def_.resultFields.isEmpty() || !columnsResolved_)
        resolveColumns();
    return OpenQuery(*this);
}

void Statement::resolveColumns() {
    const QSqlRecord record = query_.record();
    fields_.clear();
    sqlColumn_.clear();
    if (!def_.resultFields.isEmpty()) {
        for (const FieldDef& f : std::as_const(def_.resultFields)) {
            const int col = record.indexOf(f.name);
            if (col < 0) {
                query_.finish();
                throw ConfigError(
                    QStringLiteral("O campo %1 não está no resultado de %2.").arg(f.name, def_.name));
            }
            fields_.append(f);
            sqlColumn_.append(col);
        }
        columnsResolved_ = true;
    } else {
        for (int col = 0; col < record.count(); ++col) {
            const QSqlField f = record.field(col);
            fields_.append({f.name().toUpper(), inferType(f.metaType(), def_.decimalsAsFloat), 0});
            sqlColumn_.append(col);
        }
    }
}

void Statement::close() {
    if (!cursor_)
        return;
    cursor_->letGo();
    cursor_ = nullptr;
    query_.finish();
}

int Statement::execute(NamedValues values) {
    return executeWith(valuesFor(values));
}

int Statement::execute(const ValueList& values) {
    return executeWith(valuesFor(values));
}

int Statement::executeWith(const QList<QVariant>& values) {
    // a command outside a transaction is a write of its own
    if (!connection_.inTransaction())
        connection_.releaseReaders();
    exec(values);
    const int rows = query_.numRowsAffected();
    query_.finish();
    return rows;
}

} // namespace platform::db
