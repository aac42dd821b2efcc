#pragma once

#include "support/ServerFixture.h"
#include "support/TransferRequest.h"

#include "server/TransferMessages.h"

#include <gtest/gtest.h>

namespace testsupport {

using namespace Qt::StringLiterals;
namespace text = Srv_Mvt04215::transferText;

// Item 10/000007 holds a value of its own in every column; this is its order time.
inline const QDateTime richOrderedAt(QDate(2026, 12, 8), QTime(21, 5, 7, 89));

// The transfer service on both databases, on the seeded restaurant: a failure is a text, a success
// nothing; what changed is read back with the test's own SQL.
template <typename Db> class TransferTest : public ServerFixture<Db> {
protected:
    void prepare() override {
        ServerFixture<Db>::prepare();
        seed();
    }

    // Table 0001 holds sale V1 with tabs 10, 11 and 12; table 0002 holds sale V2 with the destination
    // tab 20 (items up to 000006, sequences up to 003); table 0003 holds the closed sale V3.
    void seed() {
        SalesBuilder b(this->database->admin());
        scenarios::menu(b);
        b.table(u"0001"_s, u"O"_s).table(u"0002"_s, u"L"_s).table(u"0003"_s, u"L"_s);
        b.sale(u"V1"_s, u"0001"_s).sale(u"V2"_s, u"0002"_s).closedSale(u"V3"_s, u"0003"_s);
        b.tab(u"10"_s, u"V1"_s, u"Ana"_s, 5)
            .tab(u"11"_s, u"V1"_s, u"Beto"_s, 3)
            .tab(u"12"_s, u"V1"_s)
            .tab(u"20"_s, u"V2"_s, {}, 1);
        b.tab(u"30"_s, u"V3"_s);

        b.item(u"10"_s, u"000001"_s, u"P1"_s, 2,
               {{u"NRSEQPRODCOM"_s, u"001"_s},
                {u"VRACRCOMVEN"_s, 0.5},
                {u"VRPRECCLCOMVEN"_s, 9.5},
                {u"NRATRAPRODCOVE"_s, 2.0},
                {u"QTITEMREFIL"_s, 1.0}})
            .observation(u"10"_s, u"000001"_s, u"01"_s, u"01"_s)
            .observation(u"10"_s, u"000001"_s, u"01"_s, u"02"_s)
            .component(u"10"_s, u"000001"_s, u"P3"_s, 1, 1.5, u"sem sal"_s)
            .component(u"10"_s, u"000001"_s, u"P4"_s, 2, 2.25)
            .componentObservation(u"10"_s, u"000001"_s, u"P3"_s, u"02"_s, u"05"_s)
            .componentObservation(u"10"_s, u"000001"_s, u"P4"_s, u"02"_s, u"06"_s)
            .componentObservation(u"10"_s, u"000001"_s, u"P4"_s, u"03"_s, u"07"_s);
        b.item(u"10"_s, u"000002"_s, u"P2"_s, 3,
               {{u"NRSEQPRODCOM"_s, u"001"_s},
                {u"VRACRCOMVEN"_s, 0.25},
                {u"VRPRECCLCOMVEN"_s, 4.5},
                {u"NRATRAPRODCOVE"_s, 1.0},
                {u"QTITEMREFIL"_s, 3.0}})
            .observation(u"10"_s, u"000002"_s, u"04"_s, u"08"_s)
            .component(u"10"_s, u"000002"_s, u"P5"_s, 1, 0.5);
        b.item(u"10"_s, u"000003"_s, u"P1"_s, 1, {{u"NRSEQPRODCOM"_s, u"002"_s}})
            .item(u"10"_s, u"000004"_s, u"P2"_s, 1)
            .item(u"10"_s, u"000005"_s, u"P1"_s, 1.5, {{u"NRSEQPRODCOM"_s, u"002"_s}})
            .item(u"10"_s, u"000006"_s, u"P3"_s, 1, {{u"NRSEQPRODCOM"_s, u"004"_s}});
        // every column holds a value of its own, so that a value the move loses or mixes up shows
        b.item(u"10"_s, u"000007"_s, u"P1"_s, 4,
               {{u"VRPRECCOMVEN"_s, 12.5},
                {u"IDSTPRCOMVEN"_s, u"2"_s},
                {u"VRDESCCOMVEN"_s, 0.5},
                {u"NRLUGARMESA"_s, u"2"_s},
                {u"CDGRPOCOR"_s, u"01"_s},
                {u"CDOCORR"_s, u"02"_s},
                {u"DTHRINCOMVEN"_s, richOrderedAt},
                {u"IDPRODIMPFIS"_s, u"S"_s},
                {u"CDLOJA"_s, u"07"_s},
                {u"VRACRCOMVEN"_s, 0.375},
                {u"NRSEQPRODCOM"_s, u"003"_s},
                {u"NRSEQPRODCUP"_s, u"0000000077"_s},
                {u"CDCAIXACOLETOR"_s, u"007"_s},
                {u"VRPRECCLCOMVEN"_s, 9.75},
                {u"CDPRODPROMOCAO"_s, u"PR1"_s},
                {u"CDVENDEDOR"_s, u"0042"_s},
                {u"IDORIGPEDCMD"_s, u"TAB"_s},
                {u"DSOBSPEDDIGCMD"_s, u"bem passado"_s},
                {u"NRATRAPRODCOVE"_s, 5.0},
                {u"NRPEDIDOZEL"_s, u"Z77"_s},
                {u"CDSENHAPED"_s, u"A12"_s},
                {u"IDDIVIDECONTA"_s, u"S"_s},
                {u"NRPRODORIG"_s, u"000003"_s},
                {u"QTITEMREFIL"_s, 2.0},
                {u"IDPRODREFIL"_s, u"S"_s},
                {u"NRINSCRCONS"_s, u"12345678901"_s},
                {u"NMCONSVEND"_s, u"João Avó"_s},
                {u"DSENDEVENDA"_s, u"Rua 1"_s},
                {u"TXPRODCOMVEN"_s, u"sem cebola"_s}});

        // tab 11 repeats tab 10's item numbers and sequence numbers
        b.item(u"11"_s, u"000001"_s, u"P2"_s, 1, {{u"NRSEQPRODCOM"_s, u"001"_s}, {u"VRACRCOMVEN"_s, 1.25}})
            .observation(u"11"_s, u"000001"_s, u"06"_s, u"10"_s)
            .component(u"11"_s, u"000001"_s, u"P3"_s, 1, 0.75)
            .componentObservation(u"11"_s, u"000001"_s, u"P3"_s, u"05"_s, u"09"_s);
        b.item(u"11"_s, u"000002"_s, u"P1"_s, 2, {{u"NRSEQPRODCOM"_s, u"002"_s}});
        b.item(u"12"_s, u"000001"_s, u"P1"_s, 1);

        b.item(u"20"_s, u"000001"_s, u"P1"_s, 1, {{u"NRSEQPRODCOM"_s, u"001"_s}})
            .item(u"20"_s, u"000002"_s, u"P2"_s, 1, {{u"NRSEQPRODCOM"_s, u"003"_s}})
            .item(u"20"_s, u"000003"_s, u"P1"_s, 1, {{u"NRSEQPRODCOM"_s, u"002"_s}})
            .item(u"20"_s, u"000004"_s, u"P2"_s, 1)
            .item(u"20"_s, u"000005"_s, u"P1"_s, 1, {{u"NRSEQPRODCOM"_s, u"001"_s}})
            .item(u"20"_s, u"000006"_s, u"P1"_s, 1);
        b.item(u"30"_s, u"000001"_s, u"P1"_s, 1);
    }

    // Empties every table and seeds the restaurant again.
    void reseed() {
        this->database->emptyTables();
        seed();
    }

    static TransferDestination tab20() { return {u"0002"_s, u"V2"_s, u"20"_s, u"3"_s}; }
    TransferRequest request(const TransferDestination& to = tab20()) {
        return TransferRequest(this->database->admin(), to);
    }

    QVariant transfer(const TransferRequest& r) { return Srv_Mvt04215::setTransferencia(r.packet()); }

    ::testing::AssertionResult moved(const TransferRequest& r) {
        const QVariant result = transfer(r);
        if (!result.isValid())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the transfer failed: " << shown(result);
    }

    // Runs a request that must fail, checks that no row changed, and returns the failure text.
    QString refusal(const TransferRequest& r) {
        const Rows before = snapshot();
        const QVariant result = transfer(r);
        EXPECT_EQ(result.typeId(), QMetaType::QString) << "a failure is a text";
        EXPECT_EQ(snapshot(), before) << "a failed request must leave every row as it was";
        return result.toString();
    }

    Rows snapshot() { return toRows(this->database->snapshot()); }

    // The new rows of the destination tab 20, in item order.
    Rows newItems(const QString& columns = u"NRPRODCOMVEN, CDPRODUTO, QTPRODCOMVEN, NRSEQPRODCOM"_s) {
        return this->rows(u"SELECT %1 FROM ITCOMANDAVEN WHERE NRCOMANDA = '20' AND NRPRODCOMVEN > "
                          "'000006' ORDER BY NRPRODCOMVEN"_s.arg(columns));
    }

    QVariantMap itemRow(const QString& tab, const QString& item) {
        return this->database->row(u"SELECT * FROM ITCOMANDAVEN WHERE CDFILIAL = '0001' AND "
                                   "NRCOMANDA = '%1' AND NRPRODCOMVEN = '%2'"_s.arg(tab, item));
    }

    // Every value of the origin row that the moved row must hold unchanged.
    void expectCarried(const QVariantMap& origin, const QVariantMap& movedRow) {
        ASSERT_FALSE(origin.isEmpty());
        ASSERT_FALSE(movedRow.isEmpty()) << "the moved row is missing";
        for (auto it = origin.cbegin(); it != origin.cend(); ++it) {
            if (placeColumns.contains(it.key()))
                continue;
            EXPECT_EQ(shown(movedRow.value(it.key())), shown(it.value())) << it.key().toStdString();
        }
    }

    double surcharge(const QString& tab) {
        return this->database
            ->scalar(u"SELECT VRACRCOMANDA FROM COMANDAVEN WHERE NRCOMANDA = '%1'"_s.arg(tab))
            .toDouble();
    }
};

TYPED_TEST_SUITE(TransferTest, BothDatabases, DbKindNames);

} // namespace testsupport
