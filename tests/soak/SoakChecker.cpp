#include "SoakChecker.h"

#include "platform/db/Connection.h"

#include <QHash>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cmath>
#include <optional>

namespace soak {
namespace {

using platform::db::Connection;

// Quantities and surcharges are doubles: a sum may differ from the seeded one in its last bits only.
bool same(double a, double b) {
    return std::abs(a - b) <= 1e-6 * std::max(1.0, std::abs(b));
}

QString number(double v) {
    return QString::number(v, 'g', 15);
}

QString key(const QString& a, const QString& b) {
    return a + u'|' + b;
}
QString key(const QString& a, const QString& b, const QString& c) {
    return a + u'|' + b + u'|' + c;
}
QString key(const QString& a, const QString& b, const QString& c, const QString& d) {
    return a + u'|' + b + u'|' + c + u'|' + d;
}

// One row of a query being read: values by upper-case column name, texts trimmed.
class Row {
public:
    explicit Row(const QSqlQuery& q) : q_(q) {
        const QSqlRecord r = q.record();
        for (int i = 0; i < r.count(); ++i)
            index_.insert(r.fieldName(i).toUpper(), i);
    }
    QVariant value(const char* column) const {
        QVariant v = q_.value(index_.value(QLatin1String(column), -1));
        if (v.typeId() == QMetaType::QString && !v.isNull())
            v = v.toString().trimmed();
        return v;
    }
    QString text(const char* column) const { return value(column).toString(); }
    double number(const char* column) const { return value(column).toDouble(); }

private:
    const QSqlQuery& q_;
    QHash<QString, int> index_;
};

// Streams a query's rows: the dependent tables of a long soak hold millions of them.
template <typename Each> void select(Connection& c, const QString& sql, Each each) {
    QSqlQuery q(c.database());
    q.setForwardOnly(true);
    if (!q.exec(sql))
        throw c.error(q.lastError(), sql);
    std::optional<Row> row;
    while (q.next()) {
        if (!row)
            row.emplace(q);
        each(*row);
    }
}

struct Item {
    QString branch, sale, tab, item, product, marker, sequence;
    double quantity = 0;
    bool quantityNull = false;
    double surcharge = 0;
    QString itemKey() const { return key(branch, tab, item); }
};

QList<Item> readItems(Connection& c) {
    QList<Item> out;
    select(c,
           QStringLiteral("SELECT CDFILIAL, NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, CDPRODUTO, QTPRODCOMVEN, "
                          "VRACRCOMVEN, DSENDEVENDA, NRSEQPRODCOM FROM ITCOMANDAVEN"),
           [&](const Row& r) {
               Item i;
               i.branch = r.text("CDFILIAL");
               i.sale = r.text("NRVENDAREST");
               i.tab = r.text("NRCOMANDA");
               i.item = r.text("NRPRODCOMVEN");
               i.product = r.text("CDPRODUTO");
               i.marker = r.text("DSENDEVENDA");
               i.sequence = r.text("NRSEQPRODCOM");
               i.quantityNull = r.value("QTPRODCOMVEN").isNull();
               i.quantity = r.number("QTPRODCOMVEN");
               i.surcharge = r.number("VRACRCOMVEN");
               out << i;
           });
    return out;
}

// The dependent rows of every item key, each as a sorted list of canonical texts (one per row).
struct Dependents {
    QHash<QString, QStringList> components, observations, componentObservations;
};

Dependents readDependents(Connection& c) {
    Dependents d;
    auto itemKey = [](const Row& r) {
        return key(r.text("CDFILIAL"), r.text("NRCOMANDA"), r.text("NRPRODCOMVEN"));
    };
    select(c,
           QStringLiteral("SELECT CDFILIAL, NRCOMANDA, NRPRODCOMVEN, CDPRODUTO, QTPROCOMEST, VRPRECCOMEST, "
                          "VRDESITCOMEST, DSOBSPEDDIGEST FROM ITCOMANDAEST"),
           [&](const Row& r) {
               const QVariant discount = r.value("VRDESITCOMEST");
               d.components[itemKey(r)]
                   << QStringList{r.text("CDPRODUTO"), number(r.number("QTPROCOMEST")),
                                  number(r.number("VRPRECCOMEST")),
                                  discount.isNull() ? QStringLiteral("<null>") : number(discount.toDouble()),
                                  r.text("DSOBSPEDDIGEST")}
                          .join(u'|');
           });
    select(
        c,
        QStringLiteral("SELECT CDFILIAL, NRCOMANDA, NRPRODCOMVEN, CDGRPOCOR, CDOCORR FROM OBSITCOMANDAVEN"),
        [&](const Row& r) { d.observations[itemKey(r)] << key(r.text("CDGRPOCOR"), r.text("CDOCORR")); });
    select(c,
           QStringLiteral("SELECT CDFILIAL, NRCOMANDA, NRPRODCOMVEN, CDPRODUTO, CDGRPOCOR, CDOCORR FROM "
                          "OBSITCOMANDAEST"),
           [&](const Row& r) {
               d.componentObservations[itemKey(r)]
                   << key(r.text("CDPRODUTO"), r.text("CDGRPOCOR"), r.text("CDOCORR"));
           });
    for (auto* lists : {&d.components, &d.observations, &d.componentObservations})
        for (QStringList& l : *lists)
            l.sort();
    return d;
}

class Checker {
public:
    Checker(Connection& c, const SeedRecord& seed, const QSet<QString>& split)
        : c_(c), seed_(seed), split_(split) {}

    QList<Violation> run() {
        items_ = readItems(c_);
        for (const Item& i : std::as_const(items_))
            itemKeys_.insert(i.itemKey());
        readTabsAndSales();
        readTracking();
        units();
        keysAndPlaces();
        dependents();
        groups();
        surcharges();
        tracking();
        return out_;
    }

private:
    void add(ViolationKind kind, const QString& detail) { out_ << Violation{kind, detail}; }

    void readTabsAndSales() {
        select(c_, QStringLiteral("SELECT CDFILIAL, NRVENDAREST, NRCOMANDA, VRACRCOMANDA FROM COMANDAVEN"),
               [&](const Row& r) {
                   tabs_.insert(key(r.text("CDFILIAL"), r.text("NRCOMANDA")),
                                Tab{r.text("NRVENDAREST"), r.number("VRACRCOMANDA")});
               });
        select(c_, QStringLiteral("SELECT CDFILIAL, NRVENDAREST, DTHRFECHMESA FROM VENDAREST"),
               [&](const Row& r) {
                   saleOpen_.insert(key(r.text("CDFILIAL"), r.text("NRVENDAREST")),
                                    r.value("DTHRFECHMESA").isNull());
               });
    }

    void units() {
        QMap<QString, double> byProduct, byMarker;
        double total = 0, unknown = 0;
        QStringList unknownRows;
        for (const Item& i : std::as_const(items_)) {
            byProduct[i.product] += i.quantity;
            total += i.quantity;
            if (seed_.items.contains(i.marker)) {
                byMarker[i.marker] += i.quantity;
            } else {
                unknown += i.quantity;
                unknownRows << i.itemKey();
            }
        }
        QSet<QString> products(seed_.unitsByProduct.keyBegin(), seed_.unitsByProduct.keyEnd());
        for (auto it = byProduct.cbegin(); it != byProduct.cend(); ++it)
            products.insert(it.key());
        QStringList ordered(products.cbegin(), products.cend());
        ordered.sort();
        for (const QString& p : std::as_const(ordered)) {
            const double seeded = seed_.unitsByProduct.value(p), now = byProduct.value(p);
            if (!same(now, seeded))
                add(ViolationKind::UnitsNotConserved, QStringLiteral("product %1: %2 units seeded, %3 now")
                                                          .arg(p, number(seeded), number(now)));
        }
        if (!same(total, seed_.totalUnits))
            add(ViolationKind::UnitsNotConserved, QStringLiteral("all products: %1 units seeded, %2 now")
                                                      .arg(number(seed_.totalUnits), number(total)));
        for (auto it = seed_.items.cbegin(); it != seed_.items.cend(); ++it) {
            const double now = byMarker.value(it.key());
            if (!same(now, it->quantity))
                add(ViolationKind::UnitsNotConserved,
                    QStringLiteral("seeded item %1 (%2): %3 units seeded, its rows hold %4 now")
                        .arg(it.key(), it->product, number(it->quantity), number(now)));
        }
        if (!same(unknown, seed_.unmarkedUnits))
            add(ViolationKind::UnitsNotConserved,
                QStringLiteral("%1 item rows descend from no seeded item and hold %2 units (seeded: %3): %4")
                    .arg(unknownRows.size())
                    .arg(number(unknown), number(seed_.unmarkedUnits),
                         unknownRows.mid(0, 10).join(QStringLiteral(", "))));
    }

    void keysAndPlaces() {
        QHash<QString, int> seen;
        for (const Item& i : std::as_const(items_))
            ++seen[i.itemKey()];
        for (auto it = seen.cbegin(); it != seen.cend(); ++it)
            if (it.value() > 1)
                add(ViolationKind::DuplicateItemKey,
                    QStringLiteral("item key %1 is held by %2 rows").arg(it.key()).arg(it.value()));

        for (const Item& i : std::as_const(items_)) {
            if (i.quantityNull || i.quantity <= 0)
                add(ViolationKind::NonPositiveQuantity,
                    QStringLiteral("item %1 holds %2")
                        .arg(i.itemKey(), i.quantityNull ? QStringLiteral("null") : number(i.quantity)));
            const auto tab = tabs_.constFind(key(i.branch, i.tab));
            if (tab == tabs_.cend()) {
                add(ViolationKind::ItemOutsideOpenSale,
                    QStringLiteral("item %1 belongs to tab %2, which does not exist")
                        .arg(i.itemKey(), i.tab));
                continue;
            }
            const auto open = saleOpen_.constFind(key(i.branch, tab->sale));
            if (open == saleOpen_.cend())
                add(ViolationKind::ItemOutsideOpenSale,
                    QStringLiteral("item %1: its tab %2 belongs to sale %3, which does not exist")
                        .arg(i.itemKey(), i.tab, tab->sale));
            else if (!open.value())
                add(ViolationKind::ItemOutsideOpenSale,
                    QStringLiteral("item %1: its tab %2 belongs to sale %3, which is closed")
                        .arg(i.itemKey(), i.tab, tab->sale));
            if (i.sale != tab->sale)
                add(ViolationKind::ItemOutsideOpenSale,
                    QStringLiteral("item %1 names sale %2, but its tab %3 belongs to sale %4")
                        .arg(i.itemKey(), i.sale, i.tab, tab->sale));
        }
    }

    void dependents() {
        const Dependents d = readDependents(c_);
        // A whole move leaves the origin item's observations where they were, keyed by its old number,
        // which the tracking row records and the numbering never hands out again: those rows are the
        // suite's history, not orphans. Rows of a key that never had an item are.
        auto orphans = [&](const QHash<QString, QStringList>& rows, ViolationKind kind, bool historyKept,
                           const char* what) {
            for (auto it = rows.cbegin(); it != rows.cend(); ++it) {
                if (itemKeys_.contains(it.key()) || (historyKept && movedAway_.contains(it.key())))
                    continue;
                add(kind, QStringLiteral("%1 %2 rows of item %3, which does not exist")
                              .arg(it->size())
                              .arg(QLatin1String(what), it.key()));
            }
        };
        orphans(d.components, ViolationKind::ComponentWithoutItem, false, "component");
        orphans(d.observations, ViolationKind::ObservationWithoutItem, true, "observation");
        orphans(d.componentObservations, ViolationKind::ObservationWithoutItem, true,
                "component observation");

        for (const Item& i : std::as_const(items_)) {
            const auto seeded = seed_.items.constFind(i.marker);
            if (seeded == seed_.items.cend())
                continue; // counted among the units of no seeded item
            if (i.product != seeded->product)
                add(ViolationKind::ItemNotAsSeeded,
                    QStringLiteral("item %1 is product %2, its seeded item %3 was %4")
                        .arg(i.itemKey(), i.product, i.marker, seeded->product));
            if (!same(i.surcharge, seeded->surcharge))
                add(ViolationKind::ItemNotAsSeeded,
                    QStringLiteral("item %1 has surcharge %2, its seeded item %3 had %4")
                        .arg(i.itemKey(), number(i.surcharge), i.marker, number(seeded->surcharge)));
            const QString k = i.itemKey();
            auto compare = [&](const QStringList& now, const QStringList& then, const char* what) {
                if (now != then)
                    add(ViolationKind::DependentsNotAsSeeded,
                        QStringLiteral("item %1 has %2 [%3], its seeded item %4 had [%5]")
                            .arg(k, QLatin1String(what), now.join(QStringLiteral("; ")), i.marker,
                                 then.join(QStringLiteral("; "))));
            };
            compare(d.components.value(k), seeded->components, "components");
            compare(d.observations.value(k), seeded->observations, "observations");
            compare(d.componentObservations.value(k), seeded->componentObservations,
                    "component observations");
        }
    }

    void groups() {
        QMap<QString, QStringList> members; // seeded group -> markers
        for (auto it = seed_.items.cbegin(); it != seed_.items.cend(); ++it)
            if (!it->group.isEmpty())
                members[it->group] << it.key();
        QHash<QString, QList<const Item*>> rowsOf; // marker -> rows
        QHash<QString, QStringList> markersAt;     // tab|sequence -> markers of its rows
        for (const Item& i : std::as_const(items_)) {
            rowsOf[i.marker] << &i;
            if (!i.sequence.isEmpty())
                markersAt[key(i.branch, i.tab, i.sequence)] << i.marker;
        }
        for (auto g = members.cbegin(); g != members.cend(); ++g) {
            QSet<QString> places;
            for (const QString& m : g.value())
                for (const Item* i : rowsOf.value(m))
                    places.insert(key(i->branch, i->tab, i->sequence));
            QStringList where(places.cbegin(), places.cend());
            where.sort();
            if (places.size() != 1 || where.first().endsWith(u'|')) {
                add(ViolationKind::GroupBroken,
                    QStringLiteral("seeded group %1 (%2) is now at %3")
                        .arg(g.key(), g.value().join(u','), where.join(QStringLiteral(", "))));
                continue;
            }
            const QSet<QString> own(g.value().cbegin(), g.value().cend());
            for (const QString& m : markersAt.value(where.first()))
                if (!own.contains(m))
                    add(ViolationKind::GroupBroken,
                        QStringLiteral("seeded group %1 shares its sequence %2 with item of %3")
                            .arg(g.key(), where.first(), m));
        }
    }

    void surcharges() {
        QHash<QString, double> itemsSum;
        for (const Item& i : std::as_const(items_))
            itemsSum[key(i.branch, i.tab)] += i.surcharge;
        double total = 0;
        for (auto it = tabs_.cbegin(); it != tabs_.cend(); ++it) {
            total += it->total;
            const QString tab = it.key().section(u'|', 1);
            // a tab's bill never holds less than no surcharge, however its items were split
            if (it->total < -1e-9)
                add(ViolationKind::TabSurchargeNegative,
                    QStringLiteral("tab %1 has a surcharge total of %2").arg(tab, number(it->total)));
            if (split_.contains(tab))
                continue;
            if (!same(it->total, itemsSum.value(it.key())))
                add(ViolationKind::TabSurchargeMismatch,
                    QStringLiteral("tab %1 (only whole moves touched it) has a surcharge total of %2, its "
                                   "items' surcharges add up to %3")
                        .arg(tab, number(it->total), number(itemsSum.value(it.key()))));
        }
        if (seed_.tabDeletionLog) {
            const QString sql = QStringLiteral(
                "SELECT CDFILIAL, NRVENDAREST, NRCOMANDA, VRACRCOMANDA, ITEMSLEFT FROM SOAK_DELETED_TABS");
            select(c_, sql, [&](const Row& r) {
                const QString tab = r.text("NRCOMANDA");
                const double last = r.number("VRACRCOMANDA");
                const int itemsLeft = r.value("ITEMSLEFT").toInt();
                total += last;
                if (itemsLeft > 0)
                    add(ViolationKind::ItemOutsideOpenSale,
                        QStringLiteral("tab %1 of sale %2 was deleted while it held %3 item rows")
                            .arg(tab, r.text("NRVENDAREST"))
                            .arg(itemsLeft));
                if (itemsLeft == 0 && !split_.contains(tab) && !same(last, 0))
                    add(ViolationKind::TabSurchargeMismatch,
                        QStringLiteral("tab %1 (only whole moves touched it) was deleted empty with a "
                                       "surcharge total of %2")
                            .arg(tab, number(last)));
            });
        }
        if (!same(total, seed_.surchargeTotal))
            add(ViolationKind::SurchargeNotConserved,
                QStringLiteral("the tabs' surcharge totals add up to %1%2, the seeded ones to %3")
                    .arg(number(total),
                         seed_.tabDeletionLog ? QStringLiteral(" (with those of deleted tabs)") : QString(),
                         number(seed_.surchargeTotal)));
    }

    void readTracking() {
        select(
            c_,
            QStringLiteral("SELECT CDFILIALOLD, NRVENDARESTOLD, NRCOMANDAOLD, NRPRODCOMVENOLD, NRVENDAREST, "
                           "NRCOMANDA, NRPRODCOMVEN FROM PEDIDOALT"),
            [&](const Row& r) {
                const QString b = r.text("CDFILIALOLD");
                tracked_ << Tracked{
                    b, key(b, r.text("NRVENDARESTOLD"), r.text("NRCOMANDAOLD"), r.text("NRPRODCOMVENOLD")),
                    key(b, r.text("NRVENDAREST"), r.text("NRCOMANDA"), r.text("NRPRODCOMVEN")),
                    key(b, r.text("NRCOMANDA"), r.text("NRPRODCOMVEN"))};
                movedAway_.insert(key(b, r.text("NRCOMANDAOLD"), r.text("NRPRODCOMVENOLD")));
            });
    }

    void tracking() {
        const QList<Tracked>& rows = tracked_;
        QHash<QString, int> byOld;
        for (const Tracked& t : rows)
            ++byOld[t.oldKey];
        for (auto it = byOld.cbegin(); it != byOld.cend(); ++it)
            if (it.value() > 1)
                add(ViolationKind::TrackingDuplicate,
                    QStringLiteral("old key %1 has %2 tracking rows").arg(it.key()).arg(it.value()));
        QHash<QString, const Tracked*> rowOf;
        for (const Tracked& r : std::as_const(rows))
            rowOf.insert(r.oldKey, &r);

        // whether a chain that reaches this row ends at an existing item; memoised, chains are long
        QHash<QString, bool> resolved;
        for (const Tracked& start : std::as_const(rows)) {
            QList<const Tracked*> path;
            QSet<QString> onPath;
            const Tracked* r = &start;
            bool ok = false;
            QString why;
            for (;;) {
                if (auto known = resolved.constFind(r->oldKey); known != resolved.cend()) {
                    ok = known.value();
                    why = QStringLiteral("it joins a broken chain");
                    break;
                }
                path << r;
                onPath.insert(r->oldKey);
                if (itemKeys_.contains(r->newItem)) {
                    ok = true;
                    break;
                }
                const Tracked* next = rowOf.value(r->next);
                if (!next) {
                    why = QStringLiteral("%1 neither exists nor was moved on").arg(r->newItem);
                    break;
                }
                if (onPath.contains(next->oldKey)) {
                    why = QStringLiteral("the chain returns to %1").arg(next->oldKey);
                    break;
                }
                r = next;
            }
            for (const Tracked* p : std::as_const(path))
                resolved.insert(p->oldKey, ok);
            if (!ok)
                add(ViolationKind::TrackingBroken,
                    QStringLiteral("tracking row of %1 points at %2: %3").arg(start.oldKey, start.next, why));
        }
    }

    struct Tab {
        QString sale;
        double total = 0;
    };
    struct Tracked {
        QString branch, oldKey, next; // next: the new place as an old key (sale included)
        QString newItem;              // the new place as an item key
    };

    Connection& c_;
    const SeedRecord& seed_;
    const QSet<QString>& split_;
    QList<Item> items_;
    QSet<QString> itemKeys_;
    QHash<QString, Tab> tabs_;
    QHash<QString, bool> saleOpen_;
    QList<Tracked> tracked_;
    QSet<QString> movedAway_; // item keys that a tracking row says moved on
    QList<Violation> out_;
};

} // namespace

QString kindName(ViolationKind kind) {
    switch (kind) {
    case ViolationKind::UnitsNotConserved:
        return QStringLiteral("units not conserved");
    case ViolationKind::DuplicateItemKey:
        return QStringLiteral("duplicate item key");
    case ViolationKind::ItemOutsideOpenSale:
        return QStringLiteral("item outside an open sale");
    case ViolationKind::NonPositiveQuantity:
        return QStringLiteral("zero or negative quantity");
    case ViolationKind::ItemNotAsSeeded:
        return QStringLiteral("item not as seeded");
    case ViolationKind::DependentsNotAsSeeded:
        return QStringLiteral("observations or components not as seeded");
    case ViolationKind::ComponentWithoutItem:
        return QStringLiteral("component without its item");
    case ViolationKind::ObservationWithoutItem:
        return QStringLiteral("observation without its item");
    case ViolationKind::GroupBroken:
        return QStringLiteral("sequence group broken");
    case ViolationKind::SurchargeNotConserved:
        return QStringLiteral("surcharge total not conserved");
    case ViolationKind::TabSurchargeMismatch:
        return QStringLiteral("tab total differs from its items");
    case ViolationKind::TabSurchargeNegative:
        return QStringLiteral("tab total below zero");
    case ViolationKind::TrackingBroken:
        return QStringLiteral("tracking row points nowhere");
    case ViolationKind::TrackingDuplicate:
        return QStringLiteral("tracking rows repeat an old key");
    }
    return QStringLiteral("unknown");
}

void installTabDeletionLog(Connection& connection) {
    connection.exec(
        QStringLiteral("CREATE TABLE SOAK_DELETED_TABS (CDFILIAL VARCHAR(4), NRVENDAREST VARCHAR(10), "
                       "NRCOMANDA VARCHAR(10), VRACRCOMANDA %1, ITEMSLEFT INTEGER)")
            .arg(connection.dialect() == platform::db::Dialect::PostgreSQL
                     ? QStringLiteral("DOUBLE PRECISION")
                     : QStringLiteral("DOUBLE")));
    const QString values = QStringLiteral("INSERT INTO SOAK_DELETED_TABS VALUES (OLD.CDFILIAL, "
                                          "OLD.NRVENDAREST, OLD.NRCOMANDA, OLD.VRACRCOMANDA, "
                                          "(SELECT COUNT(*) FROM ITCOMANDAVEN I WHERE I.CDFILIAL = "
                                          "OLD.CDFILIAL AND I.NRCOMANDA = OLD.NRCOMANDA))");
    if (connection.dialect() == platform::db::Dialect::PostgreSQL) {
        connection.exec(
            QStringLiteral("CREATE FUNCTION SOAK_LOG_DELETED_TAB() RETURNS trigger LANGUAGE plpgsql "
                           "AS $$ BEGIN %1; RETURN OLD; END $$")
                .arg(values));
        connection.exec(
            QStringLiteral("CREATE TRIGGER SOAK_DELETED_TAB AFTER DELETE ON COMANDAVEN FOR EACH ROW "
                           "EXECUTE FUNCTION SOAK_LOG_DELETED_TAB()"));
    } else {
        connection.exec(
            QStringLiteral("CREATE TRIGGER SOAK_DELETED_TAB AFTER DELETE ON COMANDAVEN FOR EACH ROW "
                           "BEGIN %1; END")
                .arg(values));
    }
}

SeedRecord captureSeed(Connection& connection, const QString& branch, bool tabDeletionLog) {
    SeedRecord seed;
    seed.branch = branch;
    seed.tabDeletionLog = tabDeletionLog;
    const Dependents d = readDependents(connection);
    for (const Item& i : readItems(connection)) {
        seed.unitsByProduct[i.product] += i.quantity;
        seed.totalUnits += i.quantity;
        if (i.marker.isEmpty()) {
            seed.unmarkedUnits += i.quantity;
            continue;
        }
        SeededItem s;
        s.product = i.product;
        s.quantity = i.quantity;
        s.surcharge = i.surcharge;
        s.components = d.components.value(i.itemKey());
        s.observations = d.observations.value(i.itemKey());
        s.componentObservations = d.componentObservations.value(i.itemKey());
        if (!i.sequence.isEmpty())
            s.group = key(i.tab, i.sequence);
        seed.items.insert(i.marker, s);
    }
    select(connection, QStringLiteral("SELECT VRACRCOMANDA FROM COMANDAVEN"),
           [&](const Row& r) { seed.surchargeTotal += r.number("VRACRCOMANDA"); });
    return seed;
}

QList<Violation> checkDatabase(Connection& connection, const SeedRecord& seed,
                               const QSet<QString>& possiblySplitTabs) {
    return Checker(connection, seed, possiblySplitTabs).run();
}

} // namespace soak
