#include "SoakSeed.h"

#include "platform/db/Connection.h"

#include <QDateTime>
#include <QSqlQuery>
#include <random>

namespace soak {
namespace {

struct Product {
    const char* code;
    const char* name;
    const char* weighed; // IDPESAPROD
};

constexpr Product sold[] = {
    {"P01", "Pizza", "N"},   {"P02", "Suco", "N"},   {"P03", "Cerveja", "N"},   {"P04", "Risoto", "N"},
    {"P05", "Agua", "N"},    {"P06", "Salada", "N"}, {"P07", "Sobremesa", "N"}, {"P08", "Cafe", "N"},
    {"W01", "Picanha", "S"}, {"W02", "Buffet", "S"}, {"W03", "Queijos", "S"},
};
constexpr Product extras[] = {
    {"C01", "Bacon", "N"},
    {"C02", "Ovo", "N"},
    {"C03", "Catupiry", "N"},
    {"C04", "Cebola", "N"},
};
// Values a double holds exactly and ones it does not, so that sums are tested both ways.
constexpr double surcharges[] = {0, 0.25, 0.5, 1, 1.5, 0.1, 0.35, 2.2};

class Seeder {
public:
    Seeder(platform::db::Connection& c, quint64 seed) : c_(c), rng_(seed) {}

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }

    void products() {
        for (const Product& p : sold)
            product(p);
        for (const Product& p : extras)
            product(p);
        product({"CV", "Couvert", "N"});
        product({"CS", "Consumacao", "N"});
        product({"CF", "Consumacao fem.", "N"});
    }

    void openTable(const QString& table, int number) {
        const QString sale = QStringLiteral("V%1").arg(number, 4, 10, QLatin1Char('0'));
        insertRow(c_, QStringLiteral("VENDAREST"),
                  {{QStringLiteral("CDFILIAL"), Branch},
                   {QStringLiteral("NRVENDAREST"), sale},
                   {QStringLiteral("NRMESA"), table},
                   {QStringLiteral("CDLOJA"), Store},
                   {QStringLiteral("NRPESMESAVEN"), QString::number(2 + pick(5))},
                   {QStringLiteral("DTHRFECHMESA"), QVariant()}});
        const int tabs = 1 + pick(3);
        for (int t = 1; t <= tabs; ++t)
            tab(sale, QStringLiteral("T%1%2").arg(number, 4, 10, QLatin1Char('0')).arg(t));
    }

private:
    void product(const Product& p) {
        insertRow(
            c_, QStringLiteral("PRODUTO"),
            {{QStringLiteral("CDPRODUTO"), QString::fromLatin1(p.code)},
             {QStringLiteral("CDARVPROD"), QString(QStringLiteral("ARV") + QString::fromLatin1(p.code))},
             {QStringLiteral("NMPRODUTO"), QString::fromLatin1(p.name)},
             {QStringLiteral("IDPESAPROD"), QString::fromLatin1(p.weighed)}});
    }

    void tab(const QString& sale, const QString& tab) {
        const int items = 2 + pick(5);
        // a few sequence groups of consecutive items; the rest ungrouped
        QStringList sequence(items);
        int group = 0;
        for (int i = 0; i < items;) {
            if (chance(0.25)) {
                const int size = 1 + pick(3);
                ++group;
                for (int k = 0; k < size && i < items; ++k, ++i)
                    sequence[i] = QStringLiteral("%1").arg(group, 3, 10, QLatin1Char('0'));
            } else {
                ++i;
            }
        }
        double total = 0;
        QList<QVariantMap> rows;
        for (int i = 0; i < items; ++i) {
            const QString item = QStringLiteral("%1").arg(i + 1, 6, 10, QLatin1Char('0'));
            rows << itemRow(sale, tab, item, sequence[i]);
            total += rows.last().value(QStringLiteral("VRACRCOMVEN")).toDouble();
        }
        insertRow(c_, QStringLiteral("COMANDAVEN"),
                  {{QStringLiteral("CDFILIAL"), Branch},
                   {QStringLiteral("NRVENDAREST"), sale},
                   {QStringLiteral("NRCOMANDA"), tab},
                   {QStringLiteral("CDLOJA"), Store},
                   {QStringLiteral("DSCOMANDA"), QString(QStringLiteral("Comanda ") + tab)},
                   {QStringLiteral("VRACRCOMANDA"), total}});
        for (const QVariantMap& row : std::as_const(rows))
            insertRow(c_, QStringLiteral("ITCOMANDAVEN"), row);
        for (const QVariantMap& row : std::as_const(rows))
            dependents(sale, tab, row.value(QStringLiteral("NRPRODCOMVEN")).toString());
    }

    QVariantMap itemRow(const QString& sale, const QString& tab, const QString& item,
                        const QString& sequence) {
        QString product;
        QString status = QStringLiteral("1");
        double quantity = 0;
        const int kind = pick(100);
        if (kind < 4) {
            const QString never[] = {CoverProduct, ConsumptionProduct, FemaleConsumptionProduct};
            product = never[pick(3)];
            quantity = 1 + pick(4);
        } else {
            const Product& p = sold[pick(int(std::size(sold)))];
            product = QString::fromLatin1(p.code);
            if (p.weighed[0] == 'S') {
                quantity = (100 + pick(2900)) / 1000.0;
            } else {
                const double units[] = {1, 1, 1, 2, 2, 3, 4, 5, 0.5, 1.5};
                quantity = units[pick(int(std::size(units)))];
            }
            if (kind < 8)
                status = kind < 6 ? QStringLiteral("6") : QStringLiteral("7");
        }
        // the screen offers no such item, so it could never follow its group
        const bool offered = status == QLatin1String("1") && !product.startsWith(u'C');
        const double surcharge = chance(0.25) ? 0 : surcharges[1 + pick(int(std::size(surcharges)) - 1)];
        const QDateTime ordered(QDate(2026, 12, 8), QTime(19, pick(60), pick(60), pick(1000)));
        return {
            {QStringLiteral("CDFILIAL"), Branch},
            {QStringLiteral("NRVENDAREST"), sale},
            {QStringLiteral("NRCOMANDA"), tab},
            {QStringLiteral("NRPRODCOMVEN"), item},
            {QStringLiteral("CDPRODUTO"), product},
            {QStringLiteral("QTPRODCOMVEN"), quantity},
            {QStringLiteral("VRPRECCOMVEN"), 5.0 + pick(90) / 2.0},
            {QStringLiteral("TXPRODCOMVEN"), chance(0.2) ? QStringLiteral("sem gelo") : QVariant()},
            {QStringLiteral("IDSTPRCOMVEN"), status},
            {QStringLiteral("VRDESCCOMVEN"), chance(0.2) ? 1.0 : 0.0},
            {QStringLiteral("NRLUGARMESA"), QString::number(1 + pick(4))},
            {QStringLiteral("DTHRINCOMVEN"), ordered},
            {QStringLiteral("CDLOJA"), Store},
            {QStringLiteral("VRACRCOMVEN"), surcharge},
            {QStringLiteral("NRSEQPRODCOM"),
             sequence.isEmpty() || !offered ? QVariant() : QVariant(sequence)},
            {QStringLiteral("NRSEQPRODCUP"),
             QStringLiteral("%1").arg(++cupSequence_, 10, 10, QLatin1Char('0'))},
            {QStringLiteral("VRPRECCLCOMVEN"), 4.5},
            {QStringLiteral("CDVENDEDOR"), QStringLiteral("00%1").arg(1 + pick(9))},
            {QStringLiteral("NRATRAPRODCOVE"), 0.0},
            {QStringLiteral("QTITEMREFIL"), 0.0},
            {QStringLiteral("IDPRODREFIL"), QStringLiteral("N")},
            {QStringLiteral("IDSTLUGARMESA"), chance(0.05) ? QStringLiteral("S") : QStringLiteral("N")},
            {QStringLiteral("DSENDEVENDA"), QStringLiteral("L%1").arg(++lineage_, 5, 10, QLatin1Char('0'))},
        };
    }

    void dependents(const QString& sale, const QString& tab, const QString& item) {
        const QVariantMap key{{QStringLiteral("CDFILIAL"), Branch},
                              {QStringLiteral("NRVENDAREST"), sale},
                              {QStringLiteral("NRCOMANDA"), tab},
                              {QStringLiteral("NRPRODCOMVEN"), item}};
        if (chance(0.35)) {
            const int n = 1 + pick(2);
            for (int i = 0; i < n; ++i) {
                QVariantMap row = key;
                row.insert(QStringLiteral("CDGRPOCOR"), QStringLiteral("0%1").arg(1 + pick(3)));
                row.insert(QStringLiteral("CDOCORR"), QStringLiteral("%1").arg(10 + pick(80)));
                insertRow(c_, QStringLiteral("OBSITCOMANDAVEN"), row);
            }
        }
        if (chance(0.3)) {
            const int n = 1 + pick(2);
            const int first = pick(int(std::size(extras)));
            // now and then twice the same extra: its observations are kept by item and product
            const bool twice = chance(0.3);
            for (int i = 0; i < n; ++i) {
                const QString component =
                    QString::fromLatin1(extras[(first + (twice ? 0 : i)) % std::size(extras)].code);
                QVariantMap row = key;
                row.insert(QStringLiteral("CDPRODUTO"), component);
                row.insert(QStringLiteral("QTPROCOMEST"), double(1 + pick(3)));
                row.insert(QStringLiteral("VRPRECCOMEST"), 1.5 + pick(6) / 4.0);
                row.insert(QStringLiteral("VRDESITCOMEST"),
                           chance(0.3) ? QVariant() : QVariant(pick(3) / 4.0));
                row.insert(QStringLiteral("DSOBSPEDDIGEST"),
                           chance(0.3) ? QVariant(QStringLiteral("bem passado")) : QVariant());
                insertRow(c_, QStringLiteral("ITCOMANDAEST"), row);
                const int observations = pick(3);
                for (int o = 0; o < observations; ++o) {
                    QVariantMap obs = key;
                    obs.insert(QStringLiteral("CDPRODUTO"), component);
                    obs.insert(QStringLiteral("CDGRPOCOR"), QStringLiteral("0%1").arg(4 + pick(3)));
                    obs.insert(QStringLiteral("CDOCORR"), QStringLiteral("%1").arg(10 + pick(80)));
                    insertRow(c_, QStringLiteral("OBSITCOMANDAEST"), obs);
                }
            }
        }
    }

    platform::db::Connection& c_;
    std::mt19937_64 rng_;
    int lineage_ = 0;
    int cupSequence_ = 0;
};

} // namespace

QString tableNumber(int n) {
    return QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
}

void insertRow(platform::db::Connection& connection, const QString& table, const QVariantMap& row) {
    QStringList columns, marks;
    for (auto it = row.cbegin(); it != row.cend(); ++it) {
        columns << it.key();
        marks << QStringLiteral("?");
    }
    const QString sql =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns.join(u','), marks.join(u','));
    QSqlQuery q(connection.database());
    if (!q.prepare(sql))
        throw connection.error(q.lastError(), sql);
    int i = 0;
    for (auto it = row.cbegin(); it != row.cend(); ++it)
        q.bindValue(i++, it.value());
    if (!q.exec())
        throw connection.error(q.lastError(), sql);
}

QStringList seedRestaurant(platform::db::Connection& connection, const SeedOptions& options) {
    Seeder s(connection, options.seed);
    QStringList tables;
    connection.beginTransaction();
    try {
        s.products();
        for (int n = 1; n <= options.tables; ++n) {
            const QString table = tableNumber(n);
            tables << table;
            const bool open = n <= options.tables - options.freeTables;
            insertRow(connection, QStringLiteral("MESA"),
                      {{QStringLiteral("CDFILIAL"), Branch},
                       {QStringLiteral("CDLOJA"), Store},
                       {QStringLiteral("NRMESA"), table},
                       {QStringLiteral("NMMESA"), QString(QStringLiteral("Mesa ") + table)},
                       {QStringLiteral("IDSTMESAAUX"), open ? QStringLiteral("O") : QStringLiteral("D")}});
            if (open)
                s.openTable(table, n);
        }
        connection.commit();
    } catch (...) {
        connection.rollback();
        throw;
    }
    return tables;
}

} // namespace soak
