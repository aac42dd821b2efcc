// The confirmation's steps without a window: the operator's answers, the server's results and the audit
// log are plain values, and every question, call and entry is kept in the order it came.

#include "ListsTest.h"

#include "client/lists/ScreenMessages.h"
#include "client/lists/TransferConfirmation.h"
#include "platform/AuditLog.h"
#include "schema/ItemRecord.h"

using namespace testsupport;
using Cli_Mvt04215::AuditEntry;
using Cli_Mvt04215::TransferOutcome;
using Ending = Cli_Mvt04215::TransferConfirmation::Ending;

namespace {

// Kept in `asked`: "question <text>", "error <text>", "done <text>", "clean-up <table> <branch> <store>",
// "transfer", "audit <action>".
class ScriptedConfirmation : public Cli_Mvt04215::ConfirmationQuestions {
public:
    bool confirms = true;
    QVariant cleanUpResult = 0;
    QString transferFailure;    // raised by the transfer when not empty
    QStringList refusedActions; // the log refuses entries of these actions
    QStringList asked;
    QList<AuditEntry> entries; // the entries the log took
    QByteArray request;
    QString doneNotice; // a line the transfer adds to its success

    bool confirm(const QString& question) override {
        asked << QStringLiteral("question ") + question;
        return confirms;
    }
    void showError(const QString& text) override { asked << QStringLiteral("error ") + text; }
    void showDone(const QString& text) override { asked << QStringLiteral("done ") + text; }
    QVariant cleanUp(const QString& table, const QString& branch, const QString& store) override {
        asked << QStringList{QStringLiteral("clean-up"), table, branch, store}.join(u' ');
        return cleanUpResult;
    }
    TransferOutcome transfer(const QByteArray& sent) override {
        asked << QStringLiteral("transfer");
        request = sent;
        if (!transferFailure.isEmpty())
            throw platform::Error(transferFailure);
        return {TransferOutcome::Kind::Done, doneNotice};
    }
    void writeAudit(const AuditEntry& entry) override {
        asked << QStringLiteral("audit ") + entry.action;
        if (refusedActions.contains(entry.action))
            throw platform::AuditLogError(QStringLiteral("log cheio: ") + entry.action,
                                          "{\"action\":\"" + entry.action.toUtf8() + "\"}\n");
        entries << entry;
    }
};

// Readable in a failure: one line per question, "|" between an entry's arguments.
std::string lines(const QStringList& asked) {
    return asked.join(u'\n').toStdString();
}

std::string fields(const AuditEntry& e) {
    return QStringList{e.branch, e.till, e.action, e.operatorCode, e.operatorName, e.param,
                       e.reason, e.text, e.sale,   e.tab,          e.tabName,      e.table}
        .join(u'|')
        .toStdString();
}

const QString Question = QStringLiteral("question Deseja realmente realizar a transfêrencia ?");
const QString Done = QStringLiteral("done Transferência realizada com sucesso.");

// Lists of a screen from table 0045 to 0046, its destination check record and its message table.
class ConfirmationSteps : public ListsTest {
protected:
    ConfirmationSteps() {
        check.setFieldDefs(schema::destinationCheckFields());
        messages.setLines(Cli_Mvt04215::screenMessageLines());
        setCheck(QStringLiteral("O"), QStringLiteral("20"));
    }

    // The destination check record with the table's status and its open tab (of sale 200); none when
    // `present` is false.
    void setCheck(const QString& status, const QString& tab, bool present = true) {
        check.createDataSet();
        if (!present)
            return;
        check.append();
        check.field(QStringLiteral("NRMESA")).setString(table);
        check.field(QStringLiteral("IDSTMESAAUX")).setString(status);
        check.field(QStringLiteral("NRCOMANDA")).setString(tab);
        check.field(QStringLiteral("NRVENDAREST")).setString(QStringLiteral("200"));
        check.field(QStringLiteral("DSCOMANDA")).setString(QStringLiteral("Comanda ") + tab);
        check.post();
    }

    // A unit of P1 to seat 3 and both units of P2 to seat 4, chosen from seat 1.
    void chooseTwo() {
        item(QStringLiteral("10"), QStringLiteral("000001"), QStringLiteral("P1"), 1);
        item(QStringLiteral("10"), QStringLiteral("000002"), QStringLiteral("P2"), 2);
        ASSERT_TRUE(add(QStringLiteral("10"), QStringLiteral("000001"), {QStringLiteral("3")}));
        ASSERT_TRUE(
            add(QStringLiteral("10"), QStringLiteral("000002"), {QStringLiteral("2"), QStringLiteral("4")}));
    }

    Ending confirm() {
        screen.asked.clear();
        screen.entries.clear();
        return Cli_Mvt04215::TransferConfirmation(screen, place, lists.destination(), check, messages).run();
    }

    Cli_Mvt04215::ConfirmationPlace place{QStringLiteral("0045"),
                                          table,
                                          branch,
                                          store,
                                          QStringLiteral("003"),
                                          QStringLiteral("77"),
                                          QStringLiteral("Ana"),
                                          QStringLiteral("log")};
    ScriptedConfirmation screen;
    platform::Dataset check{QStringLiteral("cdsVerificaMesaDes")};
    platform::TMessages messages;
};

} // namespace

// Nothing to send, a destination whose bill is asked for or being paid, one without an open tab: each is
// refused with its own message before the question; a declined question ends it. None of them calls the
// server, writes an entry or stamps the request.
TEST_F(ConfirmationSteps, RefusalsAndTheQuestionComeBeforeAnyChange) {
    const QString busy = QStringLiteral(
        "error Operação bloqueada. A mesa de destino esta com conta solicitada ou sendo recebida.");
    const QString closed = QStringLiteral("error Operação bloqueada. Para ser realizada a transferência de "
                                          "produtos a mesa de destino deve ser aberta.");
    // an empty list first, with the bill requested: only its own refusal
    setCheck(QStringLiteral("S"), QStringLiteral("20"));
    EXPECT_EQ(confirm(), Ending::Refused);
    EXPECT_EQ(lines(screen.asked), "error Não existem produtos para transferência.");

    chooseTwo();
    const QByteArray chosen = lists.destination().packetJson();
    screen.confirms = false;
    struct Row {
        const char* status;
        const char* tab;
        bool present;
        QString said;
        Ending ending;
    };
    for (const Row& row :
         {Row{"S", "20", true, busy, Ending::Refused}, Row{"R", "20", true, busy, Ending::Refused},
          Row{"s", "20", true, Question, Ending::Declined}, Row{"r", "20", true, Question, Ending::Declined},
          Row{"O", "20", true, Question, Ending::Declined}, Row{"D", "20", true, Question, Ending::Declined},
          Row{"", "20", true, Question, Ending::Declined}, Row{"O", "", true, closed, Ending::Refused},
          Row{"", "", false, closed, Ending::Refused}}) {
        setCheck(QLatin1String(row.status), QLatin1String(row.tab), row.present);
        EXPECT_EQ(confirm(), row.ending) << row.status << row.tab;
        EXPECT_EQ(lines(screen.asked), lines({row.said})) << row.status << row.tab;
        EXPECT_EQ(lists.destination().packetJson(), chosen) << "nothing stamped";
    }
}

// After the question: stamp, clean up (its entries first), transfer, one entry per record, then the
// outcome, told once; entries the log refused are told after it, once, and reach standard error.
TEST_F(ConfirmationSteps, WhatFollowsTheQuestion) {
    chooseTwo();
    const QString cleanUp = QStringLiteral("clean-up 0046 0001 01");
    const QStringList transferred = {QStringLiteral("transfer"), QStringLiteral("audit TRA_PRO"),
                                     QStringLiteral("audit TRA_PRO")};
    const QString refused = QStringLiteral(" registro(s) de auditoria não puderam ser gravados e foram "
                                           "enviados à saída de erros do programa.");
    struct Row {
        QVariant cleanUpResult;
        QString transferFailure;
        bool logRefuses;
        QStringList asked;
        Ending ending;
    };
    const Row rows[] = {
        {15,
         {},
         false,
         QStringList{Question, cleanUp, QStringLiteral("audit DEL_RES"), QStringLiteral("audit DEL_CMD"),
                     QStringLiteral("audit DEL_ICM"), QStringLiteral("audit DEL_ITC")} +
             transferred + QStringList{Done},
         Ending::Done},
        // the clean-up's failure text is no result code: nothing follows it
        {QStringLiteral("O banco de dados não responde."),
         {},
         false,
         {Question, cleanUp,
          QStringLiteral("error \"O banco de dados não responde.\" não é um valor inteiro válido.")},
         Ending::Failed},
        // a transfer the server refused: its text, no transfer entry; the clean-up's entry stays
        {1,
         QStringLiteral("alterada em outro terminal"),
         false,
         {Question, cleanUp, QStringLiteral("audit DEL_ITC"), QStringLiteral("transfer"),
          QStringLiteral("error alterada em outro terminal")},
         Ending::Failed},
        {1,
         {},
         true,
         QStringList{Question, cleanUp, QStringLiteral("audit DEL_ITC")} + transferred +
             QStringList{Done, QStringLiteral("error A transferência foi realizada, mas 3") + refused +
                                   QStringLiteral(" Não a repita; avise o suporte.\n\nlog cheio: DEL_ITC")},
         Ending::Done},
        {1,
         QStringLiteral("alterada em outro terminal"),
         true,
         {Question, cleanUp, QStringLiteral("audit DEL_ITC"), QStringLiteral("transfer"),
          QStringLiteral("error alterada em outro terminal"),
          QStringLiteral("error 1") + refused + QStringLiteral(" Avise o suporte.\n\nlog cheio: DEL_ITC")},
         Ending::Failed},
    };
    for (const Row& row : rows) {
        screen.cleanUpResult = row.cleanUpResult;
        screen.transferFailure = row.transferFailure;
        screen.refusedActions = row.logRefuses
                                    ? QStringList{QStringLiteral("DEL_ITC"), QStringLiteral("TRA_PRO")}
                                    : QStringList();
        testing::internal::CaptureStderr();
        const Ending ending = confirm();
        const QString standardError = QString::fromStdString(testing::internal::GetCapturedStderr());
        const std::string name = row.asked.last().toStdString();
        EXPECT_EQ(ending, row.ending) << name;
        EXPECT_EQ(lines(screen.asked), lines(row.asked)) << name;
        // each refused entry as the log would have held it
        QString refusedLines;
        for (const QString& asked : row.asked)
            if (asked.startsWith(QStringLiteral("audit ")) && screen.refusedActions.contains(asked.mid(6)))
                refusedLines += QStringLiteral("{\"action\":\"%1\"}\n").arg(asked.mid(6));
        EXPECT_EQ(standardError, refusedLines) << name;
    }

    // The request the server got: every record names the destination tab and sale and the origin table;
    // one entry per record, in list order.
    screen.cleanUpResult = 0;
    screen.transferFailure.clear();
    screen.refusedActions.clear();
    ASSERT_EQ(confirm(), Ending::Done);
    platform::Dataset sent;
    sent.loadPacket(screen.request);
    ASSERT_EQ(sent.recordCount(), 2);
    for (sent.first(); !sent.eof(); sent.next())
        EXPECT_EQ(QStringList({sent.field(QStringLiteral("NRCOMANDA")).asString(),
                               sent.field(QStringLiteral("NRVENDAREST")).asString(),
                               sent.field(QStringLiteral("NRMESAORI")).asString()})
                      .join(u'|')
                      .toStdString(),
                  "20|200|0045");
    // in list order: the record chosen last comes first
    ASSERT_EQ(screen.entries.size(), 2);
    EXPECT_EQ(fields(screen.entries[0]),
              "0001|003|TRA_PRO|77|Ana|log|Transferir produto.|Produtos tranferidos da mesa nº 0045 pos. 1 "
              "para a mesa nº 0046 pos. 4. Venda nº 200. Produto tranferido: P2 - Produto P2|200|20|Comanda "
              "20|0046");
    EXPECT_EQ(fields(screen.entries[1]),
              "0001|003|TRA_PRO|77|Ana|log|Transferir produto.|Produtos tranferidos da mesa nº 0045 pos. 1 "
              "para a mesa nº 0046 pos. 3. Venda nº 200. Produto tranferido: P1 - Produto P1|200|20|Comanda "
              "20|0046");

    // a connection lost after the commit went out, and found committed: told as done, one line more
    screen.doneNotice = QStringLiteral("A conexão caiu depois da confirmação; a transferência foi gravada.");
    ASSERT_EQ(confirm(), Ending::Done);
    EXPECT_EQ(screen.asked.last(), Done + u'\n' + screen.doneNotice);
}

// One entry per clean-up the code holds, the highest first; the tableless sales' names the table.
TEST_F(ConfirmationSteps, GeraLogWritesOneEntryPerCleanupHighestFirst) {
    const std::string res = "0001|003|DEL_RES|77|Ana||Vendas sem comanda excluídas.|Vendas sem comanda "
                            "excluídas. Nº da mesa : 0046||||",
                      cmd = "0001|003|DEL_CMD|77|Ana||Comandas sem venda excluídas.|Comandas sem venda "
                            "excluídas.||||",
                      icm =
                          "0001|003|DEL_ICM|77|Ana||Itens de comandas sem venda excluídos.|Itens de comandas "
                          "sem venda excluídos.||||",
                      itc = "0001|003|DEL_ITC|77|Ana||Itens sem comanda excluídos.|Itens sem comanda "
                            "excluídos.||||";
    const std::pair<int, std::vector<std::string>> cases[] = {
        {0, {}},
        {-3, {}},
        {1, {itc}},
        {6, {cmd, icm}},
        {9, {res, itc}},
        {15, {res, cmd, icm, itc}},
        {17, {res, res, itc}},
    };
    for (const auto& [code, expected] : cases) {
        screen.entries.clear();
        Cli_Mvt04215::TransferConfirmation(screen, place, lists.destination(), check, messages)
            .geraLog(code, QStringLiteral("0046"));
        std::vector<std::string> written;
        for (const AuditEntry& e : screen.entries)
            written.push_back(fields(e));
        EXPECT_EQ(written, expected) << code;
    }
}
