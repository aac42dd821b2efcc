// The two writers of the transfer side by side: random valid requests on two copies of one restaurant,
// the statement-by-statement writer on one and the set-based writer on the other, must leave every
// table row for row the same. And what a request costs in waits for the server does not grow with its
// number of items.

#include "support/ServerFixture.h"
#include "support/TransferRequest.h"

#include "platform/Text.h"
#include "server/Srv_Mvt04215.h"
#include "server/TrdmTrPosicao.h"

#include <gtest/gtest.h>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace Srv_Mvt04215;
using namespace testsupport;

namespace {

struct Site {
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<TrdmTrPosicao> dm;

    Site(DbKind kind, TrdmTrPosicao::TransferWriter writer)
        : db(std::make_unique<TestDatabase>(kind)), dm(openDataModule(db->connectionString())) {
        dm->transferWriter = writer;
    }
    QVariant transfer(const QByteArray& packet) {
        rdmTrPosicao = dm.get();
        QVariant result = setTransferencia(packet);
        rdmTrPosicao = nullptr;
        return result;
    }
};

// Four tables with an open sale each, one or two tabs per sale, items with and without sequence groups,
// observations, components (now and then two of one product) and component observations, and values in
// every column the move carries, empty ones among them.
void seedRestaurant(platform::db::Connection& c, unsigned seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int n) {
        return int(rng() % unsigned(n));
    };
    SalesBuilder b(c);
    for (int p = 1; p <= 6; ++p)
        b.product(QStringLiteral("P%1").arg(p), QStringLiteral("Produto %1").arg(p));
    const double quantities[] = {1, 2, 3, 0.5, 1.25, 2.75, 0.35};
    for (int t = 1; t <= 4; ++t) {
        const QString table = platform::Ajusta(QString::number(t), 4);
        const QString sale = QStringLiteral("S%1").arg(t);
        b.table(table, QStringLiteral("O")).sale(sale, table);
        const int tabs = 1 + pick(2);
        for (int k = 1; k <= tabs; ++k) {
            const QString tab = QStringLiteral("T%1%2").arg(t).arg(k);
            b.tab(tab, sale, QStringLiteral("Comanda %1").arg(tab), 0.25 * pick(9));
            const int items = 2 + pick(6);
            for (int i = 1; i <= items; ++i) {
                const QString item = platform::Ajusta(QString::number(i), 6);
                const QString product = QStringLiteral("P%1").arg(1 + pick(6));
                QVariantMap columns{
                    {QStringLiteral("VRPRECCOMVEN"), 5.0 + 0.25 * pick(40)},
                    {QStringLiteral("VRDESCCOMVEN"), pick(3) == 0 ? QVariant() : QVariant(0.5 * pick(3))},
                    {QStringLiteral("VRACRCOMVEN"), 0.125 * pick(5)},
                    {QStringLiteral("NRLUGARMESA"), QString::number(1 + pick(4))},
                    {QStringLiteral("DTHRINCOMVEN"),
                     SalesBuilder::orderedAt().addMSecs(qint64(pick(100000)) * 7)},
                    {QStringLiteral("CDVENDEDOR"),
                     pick(2) ? QVariant(QStringLiteral("00%1").arg(10 + pick(80))) : QVariant()},
                    {QStringLiteral("NRSEQPRODCUP"),
                     pick(2) ? QVariant(QString::number(1000 + pick(9000))) : QVariant()},
                    {QStringLiteral("TXPRODCOMVEN"),
                     pick(3) ? QVariant(QStringLiteral("sem %1").arg(pick(50))) : QVariant()},
                    {QStringLiteral("VRPRECCLCOMVEN"), pick(2) ? QVariant(4.75 + pick(10)) : QVariant()},
                    {QStringLiteral("NRATRAPRODCOVE"), pick(2) ? QVariant(double(pick(4))) : QVariant()},
                    {QStringLiteral("QTITEMREFIL"), pick(2) ? QVariant(double(pick(3))) : QVariant()},
                    {QStringLiteral("IDPRODREFIL"), pick(2) ? QStringLiteral("S") : QStringLiteral("N")},
                    {QStringLiteral("NMCONSVEND"), QStringLiteral("Cliente %1").arg(pick(5))},
                    {QStringLiteral("CDGRPOCOR"),
                     pick(2) ? QVariant(QStringLiteral("0%1").arg(pick(9))) : QVariant()},
                };
                if (pick(3) == 0)
                    columns.insert(QStringLiteral("NRSEQPRODCOM"),
                                   platform::Ajusta(QString::number(1 + pick(3)), 3));
                b.item(tab, item, product, quantities[pick(7)], columns);
                for (int o = pick(3); o > 0; --o)
                    b.observation(tab, item, QStringLiteral("0%1").arg(pick(3)),
                                  QStringLiteral("1%1").arg(o));
                for (int k2 = pick(3); k2 > 0; --k2) {
                    const QString part = QStringLiteral("P%1").arg(1 + pick(3));
                    b.component(tab, item, part, 1 + pick(2), 0.5 * pick(6),
                                pick(2) ? QStringLiteral("extra") : QString());
                    for (int o = pick(3); o > 0; --o)
                        b.componentObservation(tab, item, part, QStringLiteral("0%1").arg(o),
                                               QStringLiteral("2%1").arg(pick(9)));
                }
            }
        }
    }
}

struct StoredItem {
    QString tab, item, sequence;
    double quantity;
};

// The items a screen of the table would offer, in the order it shows them.
std::vector<StoredItem> itemsOf(TestDatabase& db, const QString& table) {
    std::vector<StoredItem> out;
    for (const QString& row : db.rows(
             QStringLiteral(
                 "SELECT IT.NRCOMANDA, IT.NRPRODCOMVEN, COALESCE(IT.NRSEQPRODCOM, ''), IT.QTPRODCOMVEN "
                 "FROM ITCOMANDAVEN IT JOIN VENDAREST VE ON VE.CDFILIAL = IT.CDFILIAL AND VE.NRVENDAREST = "
                 "IT.NRVENDAREST WHERE VE.NRMESA = '%1' AND VE.DTHRFECHMESA IS NULL ORDER BY 2, 1")
                 .arg(table))) {
        const QStringList cells = row.split(u'|');
        out.push_back({cells[0], cells[1], cells[2], cells[3].toDouble()});
    }
    return out;
}

template <typename Db> class TransferPathsTest : public ::testing::Test {
protected:
    void SetUp() override { MVT_REQUIRE_DB(Db::kind); }
};

TYPED_TEST_SUITE(TransferPathsTest, BothDatabases, DbKindNames);

// SQLite runs in process: only a server has waits to count.
using TransferPathsOnPostgreSQL = DatabaseFixture<OnPostgreSQL>;

} // namespace

TYPED_TEST(TransferPathsTest, RandomRequestsWriteTheSameRowsThroughEitherWriter) {
    for (unsigned seed : {4215u, 77u, 2026u}) {
        SCOPED_TRACE(seed);
        Site reference(TypeParam::kind, TrdmTrPosicao::TransferWriter::StatementByStatement);
        Site subject(TypeParam::kind, TrdmTrPosicao::TransferWriter::ByDialect);
        seedRestaurant(reference.db->admin(), seed);
        seedRestaurant(subject.db->admin(), seed);
        ASSERT_EQ(subject.db->snapshot(), reference.db->snapshot());

        std::mt19937 rng(std::mt19937::result_type(seed) * 31u);
        auto pick = [&](int n) {
            return int(rng() % unsigned(n));
        };
        int moved = 0;
        for (int round = 0; round < 14; ++round) {
            SCOPED_TRACE(round);
            const QString origin = platform::Ajusta(QString::number(1 + pick(4)), 4);
            // now and then to another seat of the same table
            const QString destination =
                pick(5) == 0 ? origin : platform::Ajusta(QString::number(1 + pick(4)), 4);
            const std::vector<StoredItem> items = itemsOf(*reference.db, origin);
            if (items.empty())
                continue;
            const QString sale = QStringLiteral("S%1").arg(destination.toInt());
            const QString tab = reference.db
                                    ->scalar(QStringLiteral("SELECT MIN(NRCOMANDA) FROM COMANDAVEN WHERE "
                                                            "NRVENDAREST = '%1'")
                                                 .arg(sale))
                                    .toString();
            TransferRequest request(reference.db->admin(),
                                    {destination, sale, tab, QString::number(1 + pick(4))});
            std::set<std::pair<QString, QString>> chosen;
            for (const StoredItem& it : items) {
                if (pick(3) == 0 || chosen.count({it.tab, it.item}))
                    continue;
                if (!it.sequence.isEmpty()) {
                    // a group moves whole, every member of it in its tab
                    for (const StoredItem& member : items)
                        if (member.tab == it.tab && member.sequence == it.sequence &&
                            chosen.insert({member.tab, member.item}).second)
                            request.move(member.tab, member.item);
                } else if (pick(2) == 0 && it.quantity > 0.25) {
                    chosen.insert({it.tab, it.item});
                    request.move(it.tab, it.item, std::floor(it.quantity * (1 + pick(3)) / 4 * 1000) / 1000);
                } else {
                    chosen.insert({it.tab, it.item});
                    request.move(it.tab, it.item);
                }
            }
            if (request.size() == 0)
                continue;
            const QByteArray packet = request.packet();
            const QVariant expected = reference.transfer(packet);
            ASSERT_FALSE(expected.isValid()) << expected.toString().toStdString();
            const QVariant result = subject.transfer(packet);
            ASSERT_FALSE(result.isValid()) << result.toString().toStdString();
            ASSERT_EQ(subject.db->snapshot(), reference.db->snapshot());
            moved += request.size();
        }
        // the rounds moved items back and forth, so later ones moved items that had moved before
        EXPECT_GT(moved, 40);
        EXPECT_GT(reference.db->count(QStringLiteral("PEDIDOALT")), 20);
    }
}

// A fresh data module (each opening of the screen is one) moving 1 item and moving 50: the waits for
// the server, preparations included, must not grow with the items.
TEST_F(TransferPathsOnPostgreSQL, RoundTripsDoNotGrowWithTheItems) {
    SalesBuilder& b = *builder;
    b.product(QStringLiteral("P1"), QStringLiteral("Prato"))
        .product(QStringLiteral("P2"), QStringLiteral("Extra"));
    b.table(QStringLiteral("0001")).table(QStringLiteral("0002")).table(QStringLiteral("0003"));
    b.sale(QStringLiteral("S1"), QStringLiteral("0001"))
        .sale(QStringLiteral("S2"), QStringLiteral("0002"))
        .sale(QStringLiteral("S3"), QStringLiteral("0003"));
    b.tab(QStringLiteral("A1"), QStringLiteral("S1"))
        .tab(QStringLiteral("A2"), QStringLiteral("S2"))
        .tab(QStringLiteral("D3"), QStringLiteral("S3"));
    for (const QString& tab : {QStringLiteral("A1"), QStringLiteral("A2")})
        for (int i = 1; i <= (tab == QLatin1String("A1") ? 1 : 50); ++i) {
            const QString item = platform::Ajusta(QString::number(i), 6);
            b.item(tab, item, QStringLiteral("P1"), 2, {{QStringLiteral("VRACRCOMVEN"), 0.5}})
                .observation(tab, item, QStringLiteral("01"), QStringLiteral("01"))
                .observation(tab, item, QStringLiteral("01"), QStringLiteral("02"))
                .component(tab, item, QStringLiteral("P2"), 1, 2)
                .componentObservation(tab, item, QStringLiteral("P2"), QStringLiteral("01"),
                                      QStringLiteral("03"));
        }

    struct Cost {
        int roundTrips, prepares;
    };
    auto cost = [&](const char* tab, const char* table) {
        TransferRequest r(database->admin(), {QStringLiteral("0003"), QStringLiteral("S3"),
                                              QStringLiteral("D3"), QStringLiteral("2")});
        for (const auto& row :
             database->rows(QStringLiteral("SELECT NRPRODCOMVEN FROM ITCOMANDAVEN WHERE NRCOMANDA = "
                                           "'%1' ORDER BY 1")
                                .arg(QLatin1String(tab))))
            r.move(QLatin1String(tab), row);
        EXPECT_EQ(r.record(0).value(QStringLiteral("NRMESAORI")).toString(), QLatin1String(table));
        const auto dm = openDataModule(database->connectionString());
        const int trips = dm->adcTrPosicao.roundTrips(), prepares = dm->adcTrPosicao.prepareCount();
        rdmTrPosicao = dm.get();
        const QVariant result = setTransferencia(r.packet());
        rdmTrPosicao = nullptr;
        EXPECT_FALSE(result.isValid()) << result.toString().toStdString();
        return Cost{dm->adcTrPosicao.roundTrips() - trips, dm->adcTrPosicao.prepareCount() - prepares};
    };
    const Cost one = cost("A1", "0001");
    const Cost fifty = cost("A2", "0002");
    EXPECT_EQ(database->count(QStringLiteral("ITCOMANDAVEN WHERE NRCOMANDA = 'D3'")), 51);
    EXPECT_EQ(database->count(QStringLiteral("OBSITCOMANDAEST WHERE NRCOMANDA = 'D3'")), 51);
    EXPECT_LE(fifty.roundTrips, one.roundTrips + 2) << one.roundTrips << " for 1 item";
    EXPECT_LE(fifty.prepares, one.prepares) << one.prepares << " for 1 item";
    // reading under lock and writing with the commit: one wait each
    EXPECT_LE(one.roundTrips, 3);
    EXPECT_EQ(one.prepares, 0);
}
