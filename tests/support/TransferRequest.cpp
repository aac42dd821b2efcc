#include "TransferRequest.h"

#include "platform/Dataset.h"
#include "platform/Errors.h"
#include "schema/ItemRecord.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace testsupport {

TransferRequest::TransferRequest(platform::db::Connection& connection, TransferDestination to, QString branch)
    : connection_(connection), to_(std::move(to)), branch_(std::move(branch)) {}

// The item row with its product and the table of its sale, as the screen's origin list shows it.
QVariantMap TransferRequest::storedItem(const QString& tab, const QString& item) const {
    QSqlQuery q(connection_.database());
    const QString sql = QStringLiteral(
        "SELECT IT.*, PO.CDARVPROD, COALESCE(PO.NMPRODIMPFIS, PO.NMPRODUTO) AS NMPRODUTO, PO.IDPESAPROD, "
        "VE.NRMESA AS NRMESAVENDA "
        "FROM ITCOMANDAVEN IT "
        "JOIN PRODUTO PO ON PO.CDPRODUTO = IT.CDPRODUTO "
        "JOIN VENDAREST VE ON VE.CDFILIAL = IT.CDFILIAL AND VE.NRVENDAREST = IT.NRVENDAREST "
        "WHERE IT.CDFILIAL = ? AND IT.NRCOMANDA = ? AND IT.NRPRODCOMVEN = ?");
    if (!q.prepare(sql))
        throw connection_.error(q.lastError(), sql);
    q.addBindValue(branch_);
    q.addBindValue(tab);
    q.addBindValue(item);
    if (!q.exec())
        throw connection_.error(q.lastError(), sql);
    if (!q.next())
        throw platform::Error(QStringLiteral("no item %1 in tab %2 to transfer").arg(item, tab));
    QVariantMap row;
    for (int i = 0; i < q.record().count(); ++i)
        row.insert(q.record().fieldName(i).toUpper(), q.value(i));
    return row;
}

TransferRequest& TransferRequest::move(const QString& tab, const QString& item,
                                       std::optional<double> quantity, const QVariantMap& overrides) {
    const QVariantMap stored = storedItem(tab, item);
    QVariantMap record;
    for (const platform::FieldDef& field : schema::destinationListFields())
        if (stored.contains(field.name))
            record.insert(field.name, platform::coerceToField(field, stored.value(field.name)));

    const QVariant storedQuantity = platform::coerceToField({QString(), platform::FieldType::Float, 0},
                                                            stored.value(QStringLiteral("QTPRODCOMVEN")));
    record.insert(QStringLiteral("NRVENDAREST"), to_.sale);
    record.insert(QStringLiteral("NRCOMANDA"), to_.tab);
    record.insert(QStringLiteral("NRLUGARMESA"), to_.seat);
    record.insert(QStringLiteral("NRCOMANDAORIG"), tab);
    record.insert(QStringLiteral("QTORIGINAL"), storedQuantity);
    record.insert(QStringLiteral("QTPRODCOMVEN"), quantity ? QVariant(*quantity) : storedQuantity);
    record.insert(QStringLiteral("CDLOJAABER"), to_.store);
    record.insert(QStringLiteral("NRMESADES"), to_.table);
    record.insert(QStringLiteral("NRMESAORI"), stored.value(QStringLiteral("NRMESAVENDA")));
    record.insert(QStringLiteral("NRLUGARMESAORIG"), stored.value(QStringLiteral("NRLUGARMESA")));
    record.insert(overrides);
    records_.append(record);
    return *this;
}

TransferRequest& TransferRequest::setAll(const QString& field, const QVariant& value) {
    for (QVariantMap& record : records_)
        record.insert(field, value);
    return *this;
}

QByteArray TransferRequest::packet() const {
    platform::Dataset ds(QStringLiteral("cdsTransferencia"));
    ds.setFieldDefs(schema::destinationListFields());
    ds.createDataSet();
    for (const QVariantMap& record : records_) {
        ds.append();
        for (auto it = record.cbegin(); it != record.cend(); ++it)
            ds.field(it.key()).setValue(it.value());
        ds.post();
    }
    return ds.packetJson();
}

} // namespace testsupport
