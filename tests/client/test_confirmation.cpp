// Confirmation end to end: keys on the real screen, scripted dialogs, a real database, the audit log. The
// steps' rules (refusals, the question, the order of the steps and entries, what each failure tells) are
// held without a window in tests/lists/test_confirmation_steps.cpp.

#include "support/FaultInjection.h"
#include "support/ScreenFixture.h"

#include "client/lists/ListMatching.h"

#include "platform/Errors.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace testsupport;

namespace {

QJsonObject entry(const QString& line) {
    return QJsonDocument::fromJson(line.toUtf8()).object();
}

QStringList actions(const QStringList& lines) {
    QStringList out;
    for (const QString& l : lines)
        out << entry(l).value(QStringLiteral("action")).toString();
    return out;
}

class Confirmation : public ::testing::Test {
protected:
    explicit Confirmation(DbKind kind = DbKind::SQLite) : kind_(kind) {}

    void SetUp() override {
        MVT_REQUIRE_DB(kind_);
        f = std::make_unique<ScreenFixture>(kind_);
        f->writeParameters();
        f->writeAccessControl();
        SalesBuilder& b = f->sales();
        // origin: a plain unit, an item of 5, a group of two, each carrying a surcharge
        b.item(QStringLiteral("10"), QStringLiteral("000001"), QStringLiteral("P1"), 1,
               {{QStringLiteral("VRACRCOMVEN"), 1.5}, {QStringLiteral("CDVENDEDOR"), QStringLiteral("W1")}})
            .observation(QStringLiteral("10"), QStringLiteral("000001"), QStringLiteral("01"),
                         QStringLiteral("07"))
            .component(QStringLiteral("10"), QStringLiteral("000001"), QStringLiteral("P6"), 1, 2.5)
            .componentObservation(QStringLiteral("10"), QStringLiteral("000001"), QStringLiteral("P6"),
                                  QStringLiteral("02"), QStringLiteral("03"));
        b.item(QStringLiteral("10"), QStringLiteral("000002"), QStringLiteral("P2"), 5,
               {{QStringLiteral("VRACRCOMVEN"), 2.0}});
        b.item(QStringLiteral("11"), QStringLiteral("000001"), QStringLiteral("P3"), 1,
               {{QStringLiteral("NRSEQPRODCOM"), QStringLiteral("001")},
                {QStringLiteral("NRLUGARMESA"), QStringLiteral("2")}});
        b.item(QStringLiteral("11"), QStringLiteral("000002"), QStringLiteral("P4"), 2,
               {{QStringLiteral("NRSEQPRODCOM"), QStringLiteral("001")},
                {QStringLiteral("NRLUGARMESA"), QStringLiteral("2")}});
        // destination: items up to 000006, sequences up to 003
        for (int i = 1; i <= 6; ++i)
            b.item(QStringLiteral("20"), QStringLiteral("00000%1").arg(i), QStringLiteral("P5"), 1,
                   {{QStringLiteral("NRSEQPRODCOM"), QStringLiteral("00%1").arg((i + 1) / 2)}});
        f->db().exec(QStringLiteral("UPDATE COMANDAVEN SET VRACRCOMANDA = 1.5 + 2.0 WHERE NRCOMANDA = '10'"));
    }

    Cli_Mvt04215::TfrmTrPosicao& open() { return f->open(); }

    // Moves the current origin item with the keyboard: A, then the seat (and a quantity when asked).
    void addCurrent(const QString& seat, const QString& quantity = {}) {
        if (!quantity.isEmpty())
            f->dialogs.answerKeypad(true, quantity);
        f->dialogs.answerSeats(true, seat);
        f->type(u'a');
    }

    void select(const char* tab, const char* item) {
        ASSERT_TRUE(Cli_Mvt04215::locateInOrigin(f->screen().lists().origin(), QLatin1String(tab),
                                                 QLatin1String(item)));
    }

    // Adds the plain unit (to seat 3), 2 of the item of 5 (to seat 3) and the group (to seat 4).
    void chooseThree() {
        auto& s = f->screen();
        select("10", "000001");
        addCurrent(QStringLiteral("3"));
        select("10", "000002");
        addCurrent(QStringLiteral("3"), QStringLiteral("2")); // 2 of 5
        select("11", "000002");
        addCurrent(QStringLiteral("4")); // and its companion 11/000001
        ASSERT_TRUE(f->dialogs.errorReports.isEmpty()) << f->dialogs.errorReports.join(u'\n').toStdString();
        ASSERT_EQ(s.lists().destination().recordCount(), 4);
    }

    void confirm(bool yes = true) {
        f->dialogs.answerQuestion(yes);
        f->press(Qt::Key_Return);
    }

    DbKind kind_;
    std::unique_ptr<ScreenFixture> f;
};

class ConfirmationOnPostgreSQL : public Confirmation {
protected:
    ConfirmationOnPostgreSQL() : Confirmation(DbKind::PostgreSQL) {}
};

void expectWholeTransfer(ScreenFixture& f) {
    TestDatabase& db = f.db();
    // new items 000007.. in the destination tab, in list order, the origin rows gone or reduced
    EXPECT_EQ(db.count(QStringLiteral("ITCOMANDAVEN WHERE NRCOMANDA = '20'")), 10);
    EXPECT_EQ(
        db.rows(QStringLiteral("SELECT NRPRODCOMVEN, CDPRODUTO, QTPRODCOMVEN, NRLUGARMESA, "
                               "COALESCE(NRSEQPRODCOM, '-'), NRMESADSCOMORIT, CDLOJA FROM ITCOMANDAVEN "
                               "WHERE NRCOMANDA = '20' AND NRPRODCOMVEN > '000006' ORDER BY NRPRODCOMVEN")),
        (QStringList{QStringLiteral("000007|P3|1|4|004|0045|01"), QStringLiteral("000008|P4|2|4|004|0045|01"),
                     QStringLiteral("000009|P2|2|3|-|0045|01"), QStringLiteral("000010|P1|1|3|-|0045|01")}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT NRCOMANDA, NRPRODCOMVEN, QTPRODCOMVEN FROM ITCOMANDAVEN "
                                     "WHERE NRCOMANDA IN ('10', '11') ORDER BY NRCOMANDA, NRPRODCOMVEN")),
              QStringList{QStringLiteral("10|000002|3")});
    // the unit's waiter, observation, component and its observation went with it
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT CDVENDEDOR FROM ITCOMANDAVEN WHERE NRCOMANDA = '20' AND "
                                       "NRPRODCOMVEN = '000010'"))
                  .toString(),
              QStringLiteral("W1"));
    EXPECT_EQ(
        db.count(QStringLiteral("OBSITCOMANDAVEN WHERE NRCOMANDA = '20' AND NRPRODCOMVEN = '000010' AND "
                                "CDOCORR = '07'")),
        1);
    EXPECT_EQ(db.count(QStringLiteral("ITCOMANDAEST WHERE NRCOMANDA = '20' AND NRPRODCOMVEN = '000010'")), 1);
    EXPECT_EQ(db.count(QStringLiteral("ITCOMANDAEST WHERE NRCOMANDA = '10'")), 0);
    EXPECT_EQ(db.count(QStringLiteral("OBSITCOMANDAEST WHERE NRCOMANDA = '20' AND NRPRODCOMVEN = '000010'")),
              1);
    EXPECT_EQ(db.count(QStringLiteral("PEDIDOALT")), 4);
    EXPECT_EQ(db.rows(QStringLiteral("SELECT NRPRODCOMVEN, NRMESA, NRLUGARMESAIT FROM PEDIDOALT WHERE "
                                     "NRCOMANDAOLD = '10' AND NRPRODCOMVENOLD = '000002'")),
              QStringList{QStringLiteral("000009|0046|3")});
    // the unit took its surcharge (1.50), the 2 of 5 their share of theirs (0.80 of 2.00); the
    // destination table is occupied
    EXPECT_DOUBLE_EQ(
        db.scalar(QStringLiteral("SELECT VRACRCOMANDA FROM COMANDAVEN WHERE NRCOMANDA = '20'")).toDouble(),
        2.3);
    EXPECT_DOUBLE_EQ(
        db.scalar(QStringLiteral("SELECT VRACRCOMANDA FROM COMANDAVEN WHERE NRCOMANDA = '10'")).toDouble(),
        1.2);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT IDSTMESAAUX FROM MESA WHERE NRMESA = '0046'")).toString(),
              QStringLiteral("O"));
}

// The entry of the first record that chooseThree() moves, as the log holds it.
void expectFirstTransferEntry(const QJsonObject& first) {
    EXPECT_EQ(first.value(QStringLiteral("action")).toString(), QStringLiteral("TRA_PRO"));
    EXPECT_EQ(first.value(QStringLiteral("branch")).toString(), QStringLiteral("0001"));
    EXPECT_EQ(first.value(QStringLiteral("till")).toString(), QStringLiteral("003"));
    EXPECT_EQ(first.value(QStringLiteral("operatorCode")).toString(), QStringLiteral("77"));
    EXPECT_EQ(first.value(QStringLiteral("operatorName")).toString(), QStringLiteral("Ana"));
    EXPECT_EQ(first.value(QStringLiteral("reason")).toString(), QStringLiteral("Transferir produto."));
    EXPECT_EQ(first.value(QStringLiteral("text9")).toString(), QStringLiteral("200"));
    EXPECT_EQ(first.value(QStringLiteral("text10")).toString(), QStringLiteral("20"));
    EXPECT_EQ(first.value(QStringLiteral("text11")).toString(), QStringLiteral("Comanda 20"));
    EXPECT_EQ(first.value(QStringLiteral("text12")).toString(), QStringLiteral("0046"));
    EXPECT_EQ(first.value(QStringLiteral("value13")).toInt(-1), 0);
    EXPECT_EQ(first.value(QStringLiteral("text")).toString(),
              QStringLiteral(
                  "Produtos tranferidos da mesa nº 0045 pos. 2 para a mesa nº 0046 pos. 4. Venda nº 200. "
                  "Produto tranferido: P3 - Produto 3"));
    EXPECT_EQ(first.size(), 15) << "the time and the fourteen arguments";
}

} // namespace

TEST_F(Confirmation, EnterMovesTheChosenItemsAndWritesOneAuditEntryEach) {
    auto& s = open();
    chooseThree();
    confirm();
    ASSERT_TRUE(f->dialogs.errorReports.isEmpty()) << f->dialogs.errorReports.join(u'\n').toStdString();
    EXPECT_EQ(f->dialogs.messageTexts(0),
              QStringList{QStringLiteral("Transferência realizada com sucesso.")});
    EXPECT_FALSE(s.isVisible());
    EXPECT_EQ(s.result(), QDialog::Accepted);
    expectWholeTransfer(*f);

    const QStringList lines = f->auditLines();
    ASSERT_EQ(actions(lines), QStringList(4, QStringLiteral("TRA_PRO")));
    expectFirstTransferEntry(entry(lines[0]));
    ASSERT_FALSE(f->dialogs.methodChecks.isEmpty());
    const auto& check = f->dialogs.methodChecks.last();
    EXPECT_EQ(check.method, QStringLiteral("setTransferencia"));
    EXPECT_EQ(check.moduleTag, QStringLiteral("Cli_Mvt04215"));
    EXPECT_EQ(check.arguments, QStringLiteral("cdsProdDes.data"));
}

TEST_F(Confirmation, ARefusalIsShownAndKeepsTheScreenOpen) {
    f->db().exec(QStringLiteral("UPDATE MESA SET IDSTMESAAUX = 'S' WHERE NRMESA = '0046'"));
    auto& s = open();
    const QStringList before = f->db().snapshot();
    select("10", "000001");
    addCurrent(QStringLiteral("1"));
    f->press(Qt::Key_Return);
    EXPECT_EQ(f->dialogs.messageTexts(3),
              QStringList{QStringLiteral(
                  "Operação bloqueada. A mesa de destino esta com conta solicitada ou sendo recebida.")});
    EXPECT_EQ(f->db().snapshot(), before);
    EXPECT_TRUE(s.isVisible());
    EXPECT_TRUE(f->dialogs.errorReports.isEmpty()) << "handed on silently";
}

TEST_F(Confirmation, DecliningKeepsTheScreenOpenAndChangesNothing) {
    auto& s = open();
    chooseThree();
    const QStringList before = f->db().snapshot();
    confirm(false);
    EXPECT_TRUE(s.isVisible());
    EXPECT_EQ(f->db().snapshot(), before);
}

TEST_F(Confirmation, CleanupEntriesComeInFallingOrderBeforeTheTransfer) {
    // 1: an item row of the branch without its tab; 2 and 4: a tab whose sale is gone, with an item;
    // 8: a closed sale of the destination table without any tab
    SalesBuilder& b = f->sales();
    b.item(QStringLiteral("99"), QStringLiteral("000001"), QStringLiteral("P1"), 1);
    f->db().exec(
        QStringLiteral("INSERT INTO COMANDAVEN (CDFILIAL, NRVENDAREST, NRCOMANDA, CDLOJA, VRACRCOMANDA) "
                       "VALUES ('0001', '999', '98', '01', 0)"));
    b.item(QStringLiteral("98"), QStringLiteral("000001"), QStringLiteral("P1"), 1);
    b.sale(QStringLiteral("201"), QStringLiteral("0046"), QStringLiteral("2"),
           QDateTime(QDate(2026, 12, 7), QTime(23, 0)));
    open();
    select("10", "000001");
    addCurrent(QStringLiteral("1"));
    confirm();
    ASSERT_TRUE(f->dialogs.errorReports.isEmpty()) << f->dialogs.errorReports.join(u'\n').toStdString();
    const QStringList lines = f->auditLines();
    EXPECT_EQ(actions(lines),
              (QStringList{QStringLiteral("DEL_RES"), QStringLiteral("DEL_CMD"), QStringLiteral("DEL_ICM"),
                           QStringLiteral("DEL_ITC"), QStringLiteral("TRA_PRO")}));
    EXPECT_EQ(f->db().count(QStringLiteral("VENDAREST WHERE NRVENDAREST = '201'")), 0);
}

TEST_F(Confirmation, ACleanupFailureStopsBeforeTheTransferAndClosesTheScreen) {
    auto& s = open();
    chooseThree();
    const QStringList before = f->db().snapshot();
    FaultInjection fail([](const QString& name) {
        if (name == QStringLiteral("adqVerifItCmd"))
            throw platform::DatabaseError(QStringLiteral("conexão perdida"),
                                          QStringLiteral("conexão perdida"), QStringLiteral("08006"));
    });
    confirm();
    EXPECT_FALSE(s.isVisible());
    EXPECT_EQ(f->db().snapshot(), before);
    // shown once, over the screen, and handed on silently
    ASSERT_EQ(f->dialogs.messageTexts(3).size(), 1);
    // a lost connection is told in words the waiter can act on
    EXPECT_TRUE(f->dialogs.messageTexts(3)[0].contains(QStringLiteral("O banco de dados não responde")))
        << f->dialogs.messageTexts(3)[0].toStdString();
    EXPECT_TRUE(f->dialogs.errorReports.isEmpty()) << f->dialogs.errorReports.join(u'\n').toStdString();
}

TEST_F(Confirmation, ATransferTheServerRollsBackIsShownAndClosesTheScreen) {
    auto& s = open();
    chooseThree();
    // another terminal moved the plain unit meanwhile: the screen is stale
    f->db().exec(
        QStringLiteral("DELETE FROM ITCOMANDAVEN WHERE NRCOMANDA = '10' AND NRPRODCOMVEN = '000001'"));
    const int destinationRows = f->db().count(QStringLiteral("ITCOMANDAVEN WHERE NRCOMANDA = '20'"));
    confirm();
    EXPECT_FALSE(s.isVisible());
    EXPECT_EQ(f->db().count(QStringLiteral("ITCOMANDAVEN WHERE NRCOMANDA = '20'")), destinationRows);
    EXPECT_EQ(
        f->db().count(QStringLiteral("ITCOMANDAVEN WHERE NRCOMANDA = '10' AND NRPRODCOMVEN = '000002' AND "
                                     "QTPRODCOMVEN = 5")),
        1);
    // the stale screen's refusal is shown once, before the screen closes
    ASSERT_EQ(f->dialogs.messageTexts(3).size(), 1);
    EXPECT_TRUE(f->dialogs.messageTexts(3)[0].contains(QStringLiteral("alterada em outro terminal")));
    EXPECT_TRUE(f->dialogs.messageTexts(3)[0].contains(QStringLiteral("setTransferencia")));
    EXPECT_TRUE(f->dialogs.errorReports.isEmpty()) << f->dialogs.errorReports.join(u'\n').toStdString();
}

// The log cannot take any entry (its folder is a file). The clean-up and the transfer have happened:
// the operator is told, once, why the entries were not written; each entry reaches standard error as
// the log would have held it.
TEST_F(Confirmation, AnAuditLogThatCannotBeWrittenDoesNotTurnATransferIntoAnError) {
    f->sales().item(QStringLiteral("97"), QStringLiteral("000001"), QStringLiteral("P1"),
                    1); // an orphan: code 1
    ASSERT_TRUE(QDir(f->folder()).mkpath(QStringLiteral("Dados")));
    QFile blocker(f->folder() + QStringLiteral("/Dados/Log"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    auto& s = open();
    chooseThree();
    f->dialogs.log.clear();
    testing::internal::CaptureStderr();
    confirm();
    const QStringList standardError =
        QString::fromStdString(testing::internal::GetCapturedStderr()).split(u'\n', Qt::SkipEmptyParts);

    EXPECT_EQ(s.result(), QDialog::Accepted);
    expectWholeTransfer(*f);
    EXPECT_TRUE(f->dialogs.errorReports.isEmpty()) << f->dialogs.errorReports.join(u'\n').toStdString();
    ASSERT_EQ(f->dialogs.messageTexts(3).size(), 1) << f->dialogs.log.join(u'\n').toStdString();
    EXPECT_TRUE(f->dialogs.messageTexts(3)[0].contains(QStringLiteral("Dados/Log/ControleAcess.log")));

    QStringList entries;
    for (const QString& line : standardError)
        if (line.startsWith(u'{'))
            entries << line;
    ASSERT_EQ(actions(entries),
              (QStringList{QStringLiteral("DEL_ITC"), QStringLiteral("TRA_PRO"), QStringLiteral("TRA_PRO"),
                           QStringLiteral("TRA_PRO"), QStringLiteral("TRA_PRO")}))
        << standardError.join(u'\n').toStdString();
    expectFirstTransferEntry(entry(entries[1]));
}

TEST_F(Confirmation, ADestinationWithoutAnOpenSaleIsRefusedWithItsOwnMessage) {
    f->db().exec(QStringLiteral(
        "UPDATE VENDAREST SET DTHRFECHMESA = '2026-12-08 10:00:00' WHERE NRVENDAREST = '200'"));
    auto& s = open();
    EXPECT_TRUE(s.destinationCheck().isEmpty());
    select("10", "000001");
    addCurrent(QStringLiteral("1"));
    const QStringList before = f->db().snapshot();
    f->press(Qt::Key_Return);
    EXPECT_EQ(
        f->dialogs.messageTexts(3).last(),
        QStringLiteral("Operação bloqueada. Para ser realizada a transferência de produtos a mesa de destino "
                       "deve ser aberta."));
    EXPECT_EQ(f->db().snapshot(), before);
    EXPECT_TRUE(s.isVisible());
}

TEST_F(ConfirmationOnPostgreSQL, EnterMovesTheChosenItems) {
    auto& s = open();
    chooseThree();
    confirm();
    ASSERT_TRUE(f->dialogs.errorReports.isEmpty()) << f->dialogs.errorReports.join(u'\n').toStdString();
    EXPECT_EQ(s.result(), QDialog::Accepted);
    expectWholeTransfer(*f);
    EXPECT_EQ(actions(f->auditLines()), QStringList(4, QStringLiteral("TRA_PRO")));
}
