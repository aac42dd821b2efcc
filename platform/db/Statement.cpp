#include "Statement.h"

#include "platform/Errors.h"

#include <QSqlField>
#include <QSqlRecord>
#include <optional>

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
        slots_.insert(key, int(values_.size()));
        values_.append(QVariant());
        nulls_.append(typedNull(p.type));
        changed_.append(true);
    }
    connection_.attach(this);
}

int Statement::slot(const QString& name) const {
    // services name parameters exactly as declared; the upper-case form is the fallback
    const auto it = slots_.constFind(name);
    if (it != slots_.cend())
        return *it;
    return slots_.value(name.toUpper(), -1);
}

Statement::~Statement() {
    connection_.detach(this);
}

void Statement::release() {
    open_ = false;
    eof_ = true;
    row_.clear();
    query_ = QSqlQuery();
    preparedFor_ = 0;
    columnsResolved_ = false;
}

QString Statement::currentText() const {
    return def_.textFor(connection_.dialect());
}

void Statement::setParam(const QString& name, const QVariant& value) {
    const int at = slot(name);
    if (at < 0)
        throw DatabaseError(QStringLiteral("%1 não tem o parâmetro %2.").arg(def_.name, name), {}, {},
                            def_.name);
    // A value the query already holds is not handed to it again: most parameters of a statement run
    // for every record of a request (the branch, the tab) stay the same from one run to the next.
    QVariant& held = values_[at];
    if (held.metaType() == value.metaType() && held == value)
        return;
    held = value;
    changed_[at] = true;
}

void Statement::bind(NamedValues values) {
    for (const auto& [name, value] : values)
        setParam(QString::fromLatin1(name), value);
}

QVariant Statement::param(const QString& name) const {
    const int at = slot(name);
    return at < 0 ? QVariant() : values_[at];
}

void Statement::prepare() {
    if (preparedFor_ == connection_.generation() && preparedFor_ != 0)
        return;
    positional_ = toPositional(currentText());
    occurrenceSlot_.clear();
    for (const QString& n : std::as_const(positional_.names)) {
        const int at = slot(n);
        if (at < 0)
            throw ConfigError(QStringLiteral("O parâmetro %1 de %2 não foi declarado.").arg(n, def_.name));
        occurrenceSlot_.append(at);
    }
    query_ = QSqlQuery(connection_.database());
    columnsResolved_ = false;
    query_.setForwardOnly(true);
    query_.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    changed_.fill(true); // a query just prepared holds no values yet
    connection_.countRoundTrip();
    if (!query_.prepare(positional_.text))
        throw connection_.error(query_, QStringLiteral("preparar %1").arg(def_.name));
    connection_.countPrepare();
    preparedFor_ = connection_.generation();
}

void Statement::bindAll() {
    for (int i = 0; i < occurrenceSlot_.size(); ++i) {
        const int at = occurrenceSlot_[i];
        if (!changed_[at])
            continue;
        const QVariant& v = values_[at];
        query_.bindValue(i, v.isNull() ? nulls_[at] : v);
    }
    changed_.fill(false);
}

void Statement::exec() {
    connection_.aboutToRun(def_.name);
    prepare();
    bindAll();
    connection_.countRoundTrip();
    if (!query_.exec())
        throw connection_.error(query_, QStringLiteral("executar %1").arg(def_.name));
}

OpenQuery Statement::run(NamedValues values) {
    close();
    bind(values);
    open();
    return OpenQuery(*this);
}

void Statement::open() {
    if (open_)
        return;
    exec();
    // The columns of a prepared text do not change from one run to the next: declared fields are
    // found in the result once per preparation.
    if (def_.resultFields.isEmpty() || !columnsResolved_)
        resolveColumns();
    open_ = true;
    rowCount_ = 0;
    eof_ = false;
    next();
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
    if (!open_)
        return;
    query_.finish();
    open_ = false;
    eof_ = true;
    row_.clear();
}

void Statement::next() {
    if (!open_ || eof_)
        return;
    if (query_.next()) {
        readRow();
        ++rowCount_;
    } else {
        if (query_.lastError().isValid())
            throw connection_.error(query_, QStringLiteral("ler %1").arg(def_.name));
        eof_ = true;
        row_.clear();
    }
}

void Statement::readRow() {
    row_.resize(fields_.size());
    for (int i = 0; i < fields_.size(); ++i)
        row_[i] = coerceToField(fields_[i], query_.value(sqlColumn_[i]));
}

int Statement::column(const QString& field) const {
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_[i].name.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    throw ConfigError(QStringLiteral("O campo %1 não está no resultado de %2.").arg(field, def_.name));
}

QVariant Statement::value(const QString& field) const {
    if (!open_)
        throw DatabaseError(QStringLiteral("%1 não está aberta.").arg(def_.name), {}, {}, def_.name);
    const int col = column(field);
    return eof_ ? QVariant() : row_.value(col);
}

QString Statement::asString(const QString& field) const {
    const QVariant v = value(field);
    if (v.metaType().id() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

double Statement::asFloat(const QString& field) const {
    const QVariant v = value(field);
    if (v.isNull())
        return 0;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok)
        throw Error(QStringLiteral("\"%1\" não é um número válido (%2).").arg(v.toString(), field));
    return d;
}

int Statement::asInteger(const QString& field) const {
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

// Delivers every row from the first to `each`; the statement stays as open as it was.
template <typename Each> void Statement::eachRow(Each each) {
    if (open_ && rowCount_ > 1)
        close(); // a provider always delivers from the first row
    const bool wasOpen = open_;
    open();
    try {
        while (!eof_) {
            each();
            next();
        }
    } catch (...) {
        close(); // never leave a half-read result for the next caller
        throw;
    }
    if (!wasOpen)
        close();
}

DataPacket Statement::packet() {
    DataPacket packet;
    // the row is handed over, not copied: the next one is read into a fresh record
    eachRow([&] { packet.rows.append(std::move(row_)); });
    packet.fields = fields_;
    return packet;
}

QByteArray Statement::packetJson() {
    std::optional<PacketJsonWriter> writer;
    eachRow([&] {
        if (!writer)
            writer.emplace(fields_);
        writer->append(row_);
    });
    if (!writer)
        writer.emplace(fields_);
    return writer->finish();
}

int Statement::execute(NamedValues values) {
    bind(values);
    // a command outside a transaction is a write of its own
    if (!connection_.inTransaction())
        connection_.releaseReaders();
    exec();
    const int rows = query_.numRowsAffected();
    query_.finish();
    return rows;
}

} // namespace platform::db
