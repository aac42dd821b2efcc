#pragma once

#include "platform/db/Connection.h"

#include <QDateTime>
#include <QHash>
#include <QVariantMap>

namespace testsupport {

// Builds restaurant data row by row: products, tables, sales, tabs, items with their observations,
// components and component observations, tracking rows and table joins. An item takes its sale from
// its tab; every other column has a plain default that a test overrides by name.
class SalesBuilder {
public:
    explicit SalesBuilder(platform::db::Connection& connection, QString branch = QStringLiteral("0001"),
                          QString store = QStringLiteral("01"));

    const QString& branch() const { return branch_; }
    const QString& store() const { return store_; }
    // A builder of the same database for another branch or store.
    SalesBuilder other(const QString& branch, const QString& store = QStringLiteral("01")) const {
        return SalesBuilder(connection_, branch, store);
    }

    SalesBuilder& product(const QString& code, const QString& name, const QVariantMap& columns = {});
    SalesBuilder& table(const QString& number, const QString& status = QStringLiteral("O"),
                        const QString& name = {});
    // An open sale, unless `closedAt` is valid.
    SalesBuilder& sale(const QString& sale, const QString& table, const QString& people = QStringLiteral("4"),
                       const QDateTime& closedAt = {});
    // A sale of two that closed the evening before.
    SalesBuilder& closedSale(const QString& sale, const QString& table) {
        return this->sale(sale, table, QStringLiteral("2"), QDateTime(QDate(2026, 12, 7), QTime(23, 10)));
    }
    SalesBuilder& tab(const QString& tab, const QString& sale, const QString& description = {},
                      double surchargeTotal = 0);
    SalesBuilder& item(const QString& tab, const QString& item, const QString& product, double quantity,
                       const QVariantMap& columns = {});
    SalesBuilder& observation(const QString& tab, const QString& item, const QString& group,
                              const QString& code);
    SalesBuilder& component(const QString& tab, const QString& item, const QString& product, double quantity,
                            double price, const QString& typed = {}, const QVariantMap& columns = {});
    SalesBuilder& componentObservation(const QString& tab, const QString& item, const QString& product,
                                       const QString& group, const QString& code);
    SalesBuilder& tracking(const QString& oldSale, const QString& oldTab, const QString& oldItem,
                           const QVariantMap& newPlace);
    SalesBuilder& join(const QString& joinNumber, const QString& table);

    // The sale a tab was built with.
    QString saleOf(const QString& tab) const { return tabSale_.value(tab); }

    // The default date-time of an item row.
    static QDateTime orderedAt() { return QDateTime(QDate(2026, 12, 8), QTime(12, 30, 45, 123)); }

private:
    void insert(const QString& table, const QVariantMap& row);

    platform::db::Connection& connection_;
    QString branch_;
    QString store_;
    QHash<QString, QString> tabSale_;
};

} // namespace testsupport
