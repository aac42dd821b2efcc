#include "ItemTrace.h"

#include <QHash>
#include <QSet>

namespace Srv_Mvt04215 {
namespace {

using platform::db::ParamDecl;
using platform::db::Statement;
using platform::db::StatementDef;
using platform::db::StatementKind;

QList<ParamDecl> itemKey() {
    return {
        {QStringLiteral("P_CDFILIAL")}, {QStringLiteral("P_NRCOMANDA")}, {QStringLiteral("P_NRPRODCOMVEN")}};
}

StatementDef query(const char* name, const char* sql, QList<ParamDecl> params) {
    return {.name = QString::fromLatin1(name),
            .kind = StatementKind::Query,
            .sql = QString::fromLatin1(sql),
            .params = std::move(params),
            .readOnly = true,
            .decimalsAsFloat = true};
}

enum Index { ItemRow, MovedTo, MovedFrom, SaleTable };

// Where a key's sale, table and seat come from when its item row is gone: the move that led there, or
// the sale the move left.
struct Known {
    QString sale, table, seat;
};

struct Key {
    QString tab, item;
    QString id() const { return tab + u'/' + item; }
};

class Tracer {
public:
    Tracer(platform::db::Connection& connection, const QString& branch) : c_(connection), branch_(branch) {}

    // The move that took the item at `key` elsewhere, or away from elsewhere to `key`: empty when none.
    platform::db::OpenQuery move(Index which, const Key& key) { return runAt(which, key); }

    TracedPlace place(const Key& key, const Known& known) {
        TracedPlace p{key.tab, key.item, known.sale, known.table, known.seat, std::nullopt};
        if (const auto row = runAt(ItemRow, key); !row.isEmpty()) {
            p.sale = row.asString(QStringLiteral("NRVENDAREST"));
            p.seat = row.asString(QStringLiteral("NRLUGARMESA"));
            p.quantity = row.asFloat(QStringLiteral("QTPRODCOMVEN"));
            if (const QString table = row.asString(QStringLiteral("NRMESA")); !table.isEmpty())
                p.table = table;
        }
        if (p.table.isEmpty() && !p.sale.isEmpty())
            p.table = statement(SaleTable)
                          .run({{"P_CDFILIAL", branch_}, {"P_NRVENDAREST", p.sale}})
                          .asString(QStringLiteral("NRMESA"));
        return p;
    }

private:
    Statement& statement(Index which) { return c_.cachedStatement(itemTraceStatements().at(which)); }
    platform::db::OpenQuery runAt(Index which, const Key& key) {
        return statement(which).run(
            {{"P_CDFILIAL", branch_}, {"P_NRCOMANDA", key.tab}, {"P_NRPRODCOMVEN", key.item}});
    }

    platform::db::Connection& c_;
    QString branch_;
};

} // namespace

const QList<StatementDef>& itemTraceStatements() {
    static const QList<StatementDef> defs = {
        query("adqRastroItem",
              "SELECT IT.NRVENDAREST, IT.NRLUGARMESA, IT.QTPRODCOMVEN, VE.NRMESA\n"
              "  FROM ITCOMANDAVEN IT\n"
              "  LEFT JOIN VENDAREST VE ON VE.CDFILIAL = IT.CDFILIAL AND VE.NRVENDAREST = IT.NRVENDAREST\n"
              " WHERE IT.CDFILIAL = :P_CDFILIAL AND IT.NRCOMANDA = :P_NRCOMANDA\n"
              "   AND IT.NRPRODCOMVEN = :P_NRPRODCOMVEN",
              itemKey()),
        query("adqRastroDestino",
              "SELECT NRVENDARESTOLD, NRVENDAREST, NRCOMANDA, NRPRODCOMVEN, NRMESA, NRLUGARMESAIT\n"
              "  FROM PEDIDOALT\n"
              " WHERE CDFILIALOLD = :P_CDFILIAL AND NRCOMANDAOLD = :P_NRCOMANDA\n"
              "   AND NRPRODCOMVENOLD = :P_NRPRODCOMVEN\n"
              " ORDER BY NRVENDARESTOLD",
              itemKey()),
        query("adqRastroOrigem",
              "SELECT NRVENDARESTOLD, NRCOMANDAOLD, NRPRODCOMVENOLD, NRVENDAREST, NRMESA, NRLUGARMESAIT\n"
              "  FROM PEDIDOALT\n"
              " WHERE CDFILIALOLD = :P_CDFILIAL AND NRCOMANDA = :P_NRCOMANDA\n"
              "   AND NRPRODCOMVEN = :P_NRPRODCOMVEN\n"
              " ORDER BY NRVENDARESTOLD",
              itemKey()),
        query("adqRastroMesaVenda",
              "SELECT NRMESA FROM VENDAREST WHERE CDFILIAL = :P_CDFILIAL AND NRVENDAREST = :P_NRVENDAREST",
              {{QStringLiteral("P_CDFILIAL")}, {QStringLiteral("P_NRVENDAREST")}}),
    };
    return defs;
}

ItemTrace traceItem(platform::db::Connection& connection, const QString& branch, const QString& tab,
                    const QString& item) {
    Tracer tracer(connection, branch);
    const Key asked{tab, item};
    QList<Key> backwards, forwards; // nearest first
    QHash<QString, Known> known;
    QSet<QString> seen{asked.id()};
    bool loopsBack = false, loopsForward = false;

    // Moves chain old keys to new ones: walking them stops at the first key seen twice, so a damaged
    // chain that loops cannot keep the tool busy forever.
    for (Key at = asked; !loopsBack;) {
        const auto r = tracer.move(MovedFrom, at);
        if (r.isEmpty())
            break;
        known[at.id()] = {r.asString(QStringLiteral("NRVENDAREST")), r.asString(QStringLiteral("NRMESA")),
                          r.asString(QStringLiteral("NRLUGARMESAIT"))};
        const Key from{r.asString(QStringLiteral("NRCOMANDAOLD")),
                       r.asString(QStringLiteral("NRPRODCOMVENOLD"))};
        known[from.id()].sale = r.asString(QStringLiteral("NRVENDARESTOLD"));
        loopsBack = seen.contains(from.id());
        if (!loopsBack) {
            seen.insert(from.id());
            backwards.append(from);
            at = from;
        }
    }
    for (Key at = asked; !loopsForward;) {
        const auto r = tracer.move(MovedTo, at);
        if (r.isEmpty())
            break;
        const Key to{r.asString(QStringLiteral("NRCOMANDA")), r.asString(QStringLiteral("NRPRODCOMVEN"))};
        known[to.id()] = {r.asString(QStringLiteral("NRVENDAREST")), r.asString(QStringLiteral("NRMESA")),
                          r.asString(QStringLiteral("NRLUGARMESAIT"))};
        if (known[at.id()].sale.isEmpty())
            known[at.id()].sale = r.asString(QStringLiteral("NRVENDARESTOLD"));
        loopsForward = seen.contains(to.id());
        if (!loopsForward) {
            seen.insert(to.id());
            forwards.append(to);
            at = to;
        }
    }

    ItemTrace trace;
    trace.branch = branch;
    trace.cycle = loopsBack || loopsForward;
    for (auto k = backwards.crbegin(); k != backwards.crend(); ++k)
        trace.places.append(tracer.place(*k, known.value(k->id())));
    trace.queried = int(trace.places.size());
    trace.places.append(tracer.place(asked, known.value(asked.id())));
    for (const Key& k : std::as_const(forwards))
        trace.places.append(tracer.place(k, known.value(k.id())));
    if (trace.places.size() == 1 && !trace.places.first().quantity)
        throw platform::Error(
            QStringLiteral("O item %1 da comanda %2 (filial %3) não existe e não foi movido.")
                .arg(item, tab, branch));
    return trace;
}

} // namespace Srv_Mvt04215
