#pragma once

#include "platform/db/Connection.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QVariantMap>
#include <optional>

namespace testsupport {

// Where a transfer request moves its items to.
struct TransferDestination {
    QString table;
    QString sale;
    QString tab;
    QString seat = QStringLiteral("1");
    QString store = QStringLiteral("01"); // the store the destination table is open in
};

// Columns of a moved row that say where it went rather than what it is: a move takes them from the
// request or leaves them out, never from the origin row.
inline const QStringList placeColumns = {
    QStringLiteral("NRVENDAREST"),  QStringLiteral("NRCOMANDA"),       QStringLiteral("NRPRODCOMVEN"),
    QStringLiteral("QTPRODCOMVEN"), QStringLiteral("NRSEQPRODCOM"),    QStringLiteral("NRLUGARMESA"),
    QStringLiteral("CDLOJA"),       QStringLiteral("NRMESADSCOMORIT"), QStringLiteral("NRMESAORIG"),
    QStringLiteral("CDLOJAORIG"),   QStringLiteral("DSCOMANDAORI"),    QStringLiteral("NRCOMANDAORI"),
    QStringLiteral("NRPRODCOMORI"), QStringLiteral("IDSTLUGARMESA")};

// A transfer request made the way the transfer screen makes it: one destination-list record per origin
// item, filled from the item as it is stored when the record is added. Reading happens at `move`, so
// a change made afterwards by "another terminal" leaves the request stale, as on a real screen.
class TransferRequest {
public:
    TransferRequest(platform::db::Connection& connection, TransferDestination to,
                    QString branch = QStringLiteral("0001"));

    // Adds the record moving `quantity` of the item (all of it when absent); `overrides` replace any
    // field of the record afterwards (an unknown field name fails when the packet is made).
    TransferRequest& move(const QString& tab, const QString& item, std::optional<double> quantity = {},
                          const QVariantMap& overrides = {});
    // Sets one field in every record added so far.
    TransferRequest& setAll(const QString& field, const QVariant& value);

    int size() const { return int(records_.size()); }
    const QVariantMap& record(int i) const { return records_.at(i); }

    // The request's data packet, with the destination list's fields.
    QByteArray packet() const;

private:
    QVariantMap storedItem(const QString& tab, const QString& item) const;

    platform::db::Connection& connection_;
    TransferDestination to_;
    QString branch_;
    QList<QVariantMap> records_;
};

} // namespace testsupport
