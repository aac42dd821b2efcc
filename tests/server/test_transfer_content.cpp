// What arrives is what was there. Random items, with empty values in every column that may be empty,
// observations, components (one product now and then twice) and component observations, are moved
// whole, in part and to several seats by requests that the lists' own rules build from the rows the
// screen loads, through either writer, on both databases. Every new row and everything that hangs off
// it is held against the origin rows as they were stored before, read with this test's own SQL.

#include "support/ServerFixture.h"

#include "client/lists/ItemLists.h"
#include "platform/Text.h"
#include "server/Srv_Mvt04215.h"
#include "server/TrdmTrPosicao.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>
#include <random>

using namespace Srv_Mvt04215;
using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// Columns a new row takes from the request or its destination, and those it leaves empty.
const QStringList notCarried = {u"NRVENDAREST"_s,     u"NRCOMANDA"_s,    u"NRPRODCOMVEN"_s, u"QTPRODCOMVEN"_s,
                                u"NRSEQPRODCOM"_s,    u"NRLUGARMESA"_s,  u"CDLOJA"_s,       u"NRMESAORIG"_s,
                                u"NRMESADSCOMORIT"_s, u"CDLOJAORIG"_s,   u"DSCOMANDAORI"_s, u"NRCOMANDAORI"_s,
                                u"NRPRODCOMORI"_s,    u"IDSTLUGARMESA"_s};

using Row = QMap<QString, QString>;

// The seat chooser and the keypad as an operator answers them: the next answers the test set.
struct Operator : Cli_Mvt04215::ListQuestions {
    QString originSeat, destinationSeat, quantity;
    bool chooseSeats(Seats mode, QString& origin, QString& destination) override {
        if (mode == Seats::WholeSeat)
            origin = originSeat;
        destination = destinationSeat;
        return true;
    }
    bool typeQuantity(QString& typed, bool) override {
        typed = quantity;
        return true;
    }
    void seatBlocked(const QString&) override { ADD_FAILURE() << "no seat is blocked"; }
    void quantityTooLarge() override { ADD_FAILURE() << "no quantity is too large"; }
};

template <typename Db> class TransferContent : public ServerFixture<Db> {
protected:
    // Every row of a query, each column as the database writes it as text: a date-time to its last
    // digit, a number as stored, an empty value as <null>.
    QList<Row> read(const QString& table, const QString& where) {
        QSqlQuery columns(this->database->admin().database());
        EXPECT_TRUE(columns.exec(u"SELECT * FROM %1 WHERE 1 = 0"_s.arg(table)));
        QStringList select;
        for (int i = 0; i < columns.record().count(); ++i)
            select << u"CAST(%1 AS TEXT) AS %1"_s.arg(columns.record().fieldName(i).toUpper());
        QSqlQuery q(this->database->admin().database());
        EXPECT_TRUE(q.exec(u"SELECT %1 FROM %2 WHERE %3"_s.arg(select.join(u", "_s), table, where)))
            << q.lastError().text().toStdString();
        QList<Row> out;
        while (q.next()) {
            Row row;
            for (int i = 0; i < q.record().count(); ++i)
                row.insert(q.record().fieldName(i).toUpper(),
                           q.isNull(i) ? u"<null>"_s : q.value(i).toString());
            out << row;
        }
        return out;
    }

    static QString itemWhere(const QString& tab, const QString& item) {
        return u"CDFILIAL = '0001' AND NRCOMANDA = '%1' AND NRPRODCOMVEN = '%2'"_s.arg(tab, item);
    }
    // Rows hanging off an item as sorted texts of the given columns.
    QStringList dependents(const QString& table, const QStringList& columns, const QString& tab,
                           const QString& item) {
        QStringList out;
        for (const Row& r : read(table, itemWhere(tab, item))) {
            QStringList cells;
            for (const QString& c : columns)
                cells << r.value(c);
            out << cells.join(u'|');
        }
        out.sort();
        return out;
    }
    QStringList observations(const QString& tab, const QString& item) {
        return dependents(u"OBSITCOMANDAVEN"_s, {u"CDGRPOCOR"_s, u"CDOCORR"_s}, tab, item);
    }
    QStringList components(const QString& tab, const QString& item) {
        return dependents(
            u"ITCOMANDAEST"_s,
            {u"CDPRODUTO"_s, u"QTPROCOMEST"_s, u"VRPRECCOMEST"_s, u"VRDESITCOMEST"_s, u"DSOBSPEDDIGEST"_s},
            tab, item);
    }
    QStringList componentObservations(const QString& tab, const QString& item) {
        return dependents(u"OBSITCOMANDAEST"_s, {u"CDPRODUTO"_s, u"CDGRPOCOR"_s, u"CDOCORR"_s}, tab, item);
    }
    // Tables 0010 (sale S1, tabs A and B) and 0020 (sale S2, tab C with three items of its own).
    void seed(unsigned seed) {
        std::mt19937 rng(seed);
        auto pick = [&](int n) {
            return int(rng() % unsigned(n));
        };
        auto maybe = [&](const QVariant& v) {
            return pick(3) == 0 ? QVariant() : v;
        };
        auto text = [&](int length) {
            QString s;
            for (int i = 0; i < length; ++i)
                s += QChar(u"abcçãéõ ZWXY0123"[pick(16)]);
            return s;
        };
        SalesBuilder& b = *this->builder;
        for (const char* p : {"P1", "P2", "P3"})
            b.product(QLatin1String(p), u"Produto %1"_s.arg(QLatin1String(p)), {{u"IDPESAPROD"_s, u"N"_s}});
        b.product(u"PW"_s, u"Queijo a peso"_s, {{u"IDPESAPROD"_s, u"S"_s}});
        b.table(u"0010"_s).table(u"0020"_s);
        b.sale(u"S1"_s, u"0010"_s).sale(u"S2"_s, u"0020"_s);
        b.tab(u"A"_s, u"S1"_s, {}, 10).tab(u"B"_s, u"S1"_s, {}, 10).tab(u"C"_s, u"S2"_s, {}, 10);
        const double quantities[] = {1, 2, 3, 0.5, 1.25, 0.0006, 2.75};
        int number = 0;
        for (const char* tab : {"A", "B", "C"}) {
            for (int i = 0, n = QLatin1String(tab) == "C"_L1 ? 3 : 4 + pick(4); i < n; ++i) {
                const QString item = platform::Ajusta(QString::number(++number), 6);
                const double quantity = quantities[pick(7)];
                const bool weighed = quantity != std::floor(quantity) && quantity != 0.5;
                const QVariantMap columns{
                    {u"VRPRECCOMVEN"_s, 5.0 + 0.25 * pick(40)},
                    {u"TXPRODCOMVEN"_s, maybe(text(pick(3) == 0 ? 1500 : 12))},
                    {u"IDSTPRCOMVEN"_s, QString::number(1 + pick(4))},
                    {u"VRDESCCOMVEN"_s, maybe(0.5 * pick(3))},
                    {u"NRLUGARMESA"_s, QString::number(1 + pick(3))},
                    {u"CDGRPOCOR"_s, maybe(u"0%1"_s.arg(pick(9)))},
                    {u"CDOCORR"_s, maybe(u"1%1"_s.arg(pick(9)))},
                    {u"DTHRINCOMVEN"_s, maybe(SalesBuilder::orderedAt().addMSecs(qint64(pick(1000000)) * 7))},
                    {u"IDPRODIMPFIS"_s, maybe(u"S"_s)},
                    {u"VRACRCOMVEN"_s, maybe(0.125 * pick(9))},
                    {u"NRSEQPRODCUP"_s, maybe(QString::number(1000 + pick(9000)))},
                    {u"CDCAIXACOLETOR"_s, maybe(u"00%1"_s.arg(pick(10)))},
                    {u"VRPRECCLCOMVEN"_s, maybe(4.75 + pick(10))},
                    {u"CDPRODPROMOCAO"_s, maybe(u"PR%1"_s.arg(pick(5)))},
                    {u"CDVENDEDOR"_s, maybe(u"00%1"_s.arg(10 + pick(80)))},
                    {u"IDORIGPEDCMD"_s, maybe(u"TAB"_s)},
                    {u"DSOBSPEDDIGCMD"_s, maybe(text(pick(3) == 0 ? 1500 : 20))},
                    {u"NRATRAPRODCOVE"_s, maybe(double(pick(4)))},
                    {u"NRPEDIDOZEL"_s, maybe(u"Z%1"_s.arg(pick(99)))},
                    {u"CDSENHAPED"_s, maybe(u"A%1"_s.arg(pick(99)))},
                    {u"IDDIVIDECONTA"_s, maybe(u"S"_s)},
                    {u"NRPRODORIG"_s, maybe(u"0000%1"_s.arg(10 + pick(80)))},
                    {u"QTITEMREFIL"_s, maybe(double(pick(3)))},
                    {u"IDPRODREFIL"_s, maybe(u"S"_s)},
                    {u"NRINSCRCONS"_s, maybe(u"123456789%1"_s.arg(pick(99)))},
                    {u"NMCONSVEND"_s, maybe(u"Cliente %1"_s.arg(pick(5)))},
                    {u"DSENDEVENDA"_s, maybe(u"Rua %1"_s.arg(pick(99)))},
                };
                b.item(QLatin1String(tab), item, weighed ? u"PW"_s : u"P%1"_s.arg(1 + pick(3)), quantity,
                       columns);
                for (int o = pick(3); o > 0; --o)
                    b.observation(QLatin1String(tab), item, u"0%1"_s.arg(pick(3)), u"1%1"_s.arg(o));
                for (int k = pick(4); k > 0; --k) {
                    // often a second component of a product the item has already
                    const QString part = u"P%1"_s.arg(1 + pick(2));
                    b.component(QLatin1String(tab), item, part, 1 + pick(2), 0.5 * pick(6),
                                pick(2) ? u"extra"_s : QString(),
                                {{u"VRDESITCOMEST"_s, maybe(0.25 * pick(4))}});
                    if (pick(2))
                        b.componentObservation(QLatin1String(tab), item, part, u"0%1"_s.arg(k),
                                               u"2%1"_s.arg(pick(9)));
                }
                if (pick(5) == 0) // an observation of a product the item has no component of
                    b.componentObservation(QLatin1String(tab), item, u"P3"_s, u"09"_s, u"99"_s);
            }
        }
    }

    // A request made as the screen makes it: the lists load the origin table's rows, the operator adds
    // items whole, in part and whole seats, the confirmation stamps the destination on every record.
    QByteArray chooseItems(std::mt19937& rng, const QString& from, const QString& to, const QString& toSale,
                           const QString& toTab) {
        auto pick = [&](int n) {
            return int(rng() % unsigned(n));
        };
        Operator op;
        const QString branch = u"0001"_s, store = u"01"_s;
        Cli_Mvt04215::ItemLists lists(op, {branch, store, to});
        platform::Dataset& origin = lists.origin();
        origin.loadPacket(getProdOrig(from, branch, store, u"X1"_s, u"X2"_s, u"X3"_s).toByteArray());
        lists.destination().createDataSet();
        for (int step = 0; step < 6 && !origin.isEmpty(); ++step) {
            origin.setRecNo(pick(origin.recordCount()));
            op.destinationSeat = QString::number(1 + pick(4));
            if (step == 0) {
                // part of an item of several units, then the rest of its seat to another seat
                for (int r = 0; r < origin.recordCount(); ++r) {
                    origin.setRecNo(r);
                    if (origin.field(u"QTPRODCOMVEN"_s).asFloat() >= 2 &&
                        origin.field(u"NRSEQPRODCOM"_s).isNull())
                        break;
                }
                op.quantity = u"1"_s;
                lists.add();
                op.originSeat = origin.field(u"NRLUGARMESA"_s).asString();
                op.destinationSeat = QString::number(1 + pick(4));
                lists.addSeat();
                continue;
            }
            if (pick(4) == 0) {
                op.originSeat = origin.field(u"NRLUGARMESA"_s).asString();
                lists.addSeat();
                continue;
            }
            const double held = origin.field(u"QTPRODCOMVEN"_s).asFloat();
            // a part, or all of it as read
            const double part = std::floor(held * (1 + pick(3)) / 4 * 1000) / 1000;
            op.quantity = origin.locale().toString(part > 0 && pick(2) ? part : held, 'g', 15);
            lists.add();
        }
        platform::Dataset& d = lists.destination();
        for (d.first(); !d.eof(); d.next()) {
            d.edit();
            d.field(u"NRCOMANDA"_s).setString(toTab);
            d.field(u"NRVENDAREST"_s).setString(toSale);
            d.field(u"NRMESAORI"_s).setString(from);
            d.post();
        }
        return d.packetJson();
    }
};

TYPED_TEST_SUITE(TransferContent, BothDatabases, DbKindNames);

} // namespace

TYPED_TEST(TransferContent, EveryMovedItemCarriesExactlyWhatItsOriginHeld) {
    int moved = 0, parts = 0, severalSeats = 0;
    for (auto writer :
         {TrdmTrPosicao::TransferWriter::ByDialect, TrdmTrPosicao::TransferWriter::StatementByStatement}) {
        this->module->transferWriter = writer;
        for (unsigned seed : {1u, 2u, 3u}) {
            SCOPED_TRACE(seed);
            this->database->emptyTables();
            this->seed(seed);
            std::mt19937 rng(std::mt19937::result_type(seed) * 7919u);
            // there and back: the second round moves items that arrived by the first
            const QStringList rounds[] = {{u"0010"_s, u"0020"_s, u"S2"_s, u"C"_s},
                                          {u"0020"_s, u"0010"_s, u"S1"_s, u"A"_s}};
            for (const QStringList& round : rounds) {
                SCOPED_TRACE(round.join(u'>').toStdString());
                const QByteArray packet = this->chooseItems(rng, round[0], round[1], round[2], round[3]);
                platform::Dataset request(u"cdsTransferencia"_s);
                request.loadPacket(packet);
                if (request.isEmpty())
                    continue;

                // the origin items as they were, and the destination's highest item number
                QMap<QString, Row> before;
                QMap<QString, QStringList> obs, comps, compObs;
                for (const Row& r : this->read(u"ITCOMANDAVEN"_s, u"CDFILIAL = '0001'"_s)) {
                    const QString key = r[u"NRCOMANDA"_s] + u'/' + r[u"NRPRODCOMVEN"_s];
                    before.insert(key, r);
                    obs[key] = this->observations(r[u"NRCOMANDA"_s], r[u"NRPRODCOMVEN"_s]);
                    comps[key] = this->components(r[u"NRCOMANDA"_s], r[u"NRPRODCOMVEN"_s]);
                    compObs[key] = this->componentObservations(r[u"NRCOMANDA"_s], r[u"NRPRODCOMVEN"_s]);
                }
                const QString tab = round[3];

                const QVariant result = setTransferencia(packet);
                ASSERT_FALSE(result.isValid()) << result.toString().toStdString();
                // the new items of the destination tab, one per record in the request's order
                QStringList newItems;
                for (const Row& r : this->read(u"ITCOMANDAVEN"_s, u"NRCOMANDA = '%1'"_s.arg(tab)))
                    if (!before.contains(tab + u'/' + r[u"NRPRODCOMVEN"_s]))
                        newItems << r[u"NRPRODCOMVEN"_s];
                newItems.sort();
                ASSERT_EQ(newItems.size(), request.recordCount());

                QMap<QString, double> movedOf;
                QMap<QString, int> recordsOf;
                int n = 0;
                for (request.first(); !request.eof(); request.next(), ++n) {
                    const QString key = request.field(u"NRCOMANDAORIG"_s).asString() + u'/' +
                                        request.field(u"NRPRODCOMVEN"_s).asString();
                    SCOPED_TRACE(key.toStdString());
                    ASSERT_TRUE(before.contains(key));
                    const Row& origin = before[key];
                    const QString& newItem = newItems[n];
                    const QList<Row> now = this->read(u"ITCOMANDAVEN"_s, this->itemWhere(tab, newItem));
                    ASSERT_EQ(now.size(), 1) << "new item " << newItem.toStdString();
                    const Row& row = now.first();
                    for (auto it = origin.cbegin(); it != origin.cend(); ++it) {
                        if (!notCarried.contains(it.key())) {
                            EXPECT_EQ(row[it.key()].toStdString(), it.value().toStdString())
                                << it.key().toStdString();
                        }
                    }
                    EXPECT_EQ(row[u"NRLUGARMESA"_s], request.field(u"NRLUGARMESA"_s).asString());
                    EXPECT_DOUBLE_EQ(row[u"QTPRODCOMVEN"_s].toDouble(),
                                     request.field(u"QTPRODCOMVEN"_s).asFloat());
                    EXPECT_EQ(row[u"NRMESADSCOMORIT"_s], round[0]);
                    EXPECT_EQ(toRows(this->observations(tab, newItem)), toRows(obs[key]));
                    EXPECT_EQ(toRows(this->components(tab, newItem)), toRows(comps[key]));
                    QStringList expected;
                    const QStringList products = [&] {
                        QStringList out;
                        for (const QString& c : comps[key])
                            out << c.section(u'|', 0, 0);
                        return out;
                    }();
                    for (const QString& o : compObs[key])
                        if (products.contains(o.section(u'|', 0, 0)))
                            expected << o;
                    EXPECT_EQ(toRows(this->componentObservations(tab, newItem)), toRows(expected));
                    movedOf[key] += request.field(u"QTPRODCOMVEN"_s).asFloat();
                    ++recordsOf[key];
                    ++moved;
                }
                // what stays at the origin: a part's rest with all it had, or nothing of an item moved whole
                // but its observations
                for (auto it = movedOf.cbegin(); it != movedOf.cend(); ++it) {
                    SCOPED_TRACE(it.key().toStdString());
                    const Row& origin = before[it.key()];
                    const QString originTab = origin[u"NRCOMANDA"_s], item = origin[u"NRPRODCOMVEN"_s];
                    const double held = origin[u"QTPRODCOMVEN"_s].toDouble();
                    const QList<Row> now = this->read(u"ITCOMANDAVEN"_s, this->itemWhere(originTab, item));
                    severalSeats += recordsOf[it.key()] > 1;
                    if (std::abs(it.value() - held) <= 1e-9 * std::max(1.0, held)) {
                        EXPECT_TRUE(now.isEmpty()) << "moved whole";
                        EXPECT_TRUE(this->components(originTab, item).isEmpty());
                    } else {
                        ++parts;
                        ASSERT_EQ(now.size(), 1) << "moved in part";
                        Row rest = now.first(), was = origin;
                        EXPECT_NEAR(rest.take(u"QTPRODCOMVEN"_s).toDouble(), held - it.value(), 1e-9);
                        was.remove(u"QTPRODCOMVEN"_s);
                        EXPECT_EQ(rest, was);
                        EXPECT_EQ(toRows(this->components(originTab, item)), toRows(comps[it.key()]));
                    }
                    EXPECT_EQ(toRows(this->observations(originTab, item)), toRows(obs[it.key()]));
                    EXPECT_EQ(toRows(this->componentObservations(originTab, item)),
                              toRows(compObs[it.key()]));
                }
            }
        }
    }
    // the random choices reached every road
    EXPECT_GT(moved, 30);
    EXPECT_GT(parts, 3);
    EXPECT_GT(severalSeats, 0);
}
