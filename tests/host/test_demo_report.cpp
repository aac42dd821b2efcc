// What ./run demo prints after its tour: a real transfer on the seeded demo restaurant, told from the
// database and the audit log alone.

#include "client/TfrmTrPosicao.h"
#include "host/DemoReport.h"
#include "host/DemoSeed.h"
#include "platform/Runtime.h"
#include "platform/db/Connection.h"
#include "server/TrdmTrPosicao.h"
#include "support/ScreenWidgets.h"
#include "support/ScriptedDialogs.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace host;

namespace {

using testsupport::button;

// Every expected line must be among the lines, each the start of one of them.
void expectLinesStartingWith(const QStringList& lines, const QStringList& expected) {
    for (const QString& start : expected) {
        bool found = false;
        for (const QString& line : lines)
            found = found || line.startsWith(start);
        EXPECT_TRUE(found) << "no line starts with \"" << start.toStdString() << "\" in\n"
                           << lines.join(u'\n').toStdString();
    }
}

TEST(DemoReport, TellsTheItemsMovedTheTablesChangedAndTheNewAuditLines) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const demo::SeededFolder seeded = demo::seedFolder(dir.path());
    platform::ExecutableFolderOverride beside(dir.path());
    testsupport::ScriptedDialogs dialogs;
    platform::ui::ProviderScope provider(dialogs);
    platform::db::Connection connection(QStringLiteral("report-test"));
    connection.setConnectionString(QStringLiteral("sqlite:") + seeded.database);
    connection.open();
    // as ./run demo keeps it in a file between the two calls
    const demo::DemoState before = demo::DemoState::fromJson(demo::readState(connection).toJson());

    Srv_Mvt04215::rdmTrPosicao = new Srv_Mvt04215::TrdmTrPosicao();
    Srv_Mvt04215::rdmTrPosicao->connectionStringOverride = QStringLiteral("sqlite:") + seeded.database;
    {
        Cli_Mvt04215::TfrmTrPosicao screen;
        screen.InicializaForm(QString(), QString(), demo::OriginTable, demo::DestinationTable, QString());
        // the one unit whole, two of the three draught beers
        ASSERT_TRUE(screen.lists().origin().locate(QStringLiteral("NMPRODUTO"), demo::OneUnitItemName));
        dialogs.answerSeats(true, QStringLiteral("2"));
        screen.sbtAdicionarClick(button(screen, "sbtAdicionar"));
        ASSERT_TRUE(screen.lists().origin().locate(QStringLiteral("NMPRODUTO"), demo::ThreeUnitsItemName));
        dialogs.answerKeypad(true, QStringLiteral("2"));
        dialogs.answerSeats(true, QStringLiteral("2"));
        screen.sbtAdicionarClick(button(screen, "sbtAdicionar"));
        dialogs.answerQuestion(true);
        screen.sbtConfirmarClick(button(screen, "sbtConfirmar"));
        EXPECT_EQ(screen.result(), QDialog::Accepted) << dialogs.log.join(u'\n').toStdString();
    }
    delete Srv_Mvt04215::rdmTrPosicao;
    Srv_Mvt04215::rdmTrPosicao = nullptr;

    const QStringList lines = demo::describeChanges(connection, before);
    const auto table = [&](const QString& number, int itemsNow) {
        const demo::DemoState::Table was = before.tables.value(number);
        return QStringLiteral("    %1: status %2 -> O, items %3 -> %4")
            .arg(number, was.status)
            .arg(was.items)
            .arg(itemsNow);
    };
    expectLinesStartingWith(
        lines,
        {QStringLiteral("  items moved: 2"),
         QStringLiteral(
             "    1 x Caipirinha de limão: table 0045 tab 451 item 000001 -> table 0046 seat 2, tab 461 "
             "item 00000"),
         QStringLiteral(
             "    2 x Chope Pilsen 300 ml: table 0045 tab 451 item 000003 -> table 0046 seat 2, tab 461 "
             "item 00000"),
         QStringLiteral("  tables changed: 2"),
         table(demo::OriginTable, before.tables.value(demo::OriginTable).items - 1),
         table(demo::DestinationTable, before.tables.value(demo::DestinationTable).items + 2),
         QStringLiteral(
             "    TRA_PRO  Produtos tranferidos da mesa nº 0045 pos. 1 para a mesa nº 0046 pos. 2.")});
    EXPECT_EQ(lines.filter(QStringLiteral("(1 left at table 0045)")).size(), 1) << "the beers were split";
    EXPECT_EQ(lines.filter(QStringLiteral("    TRA_PRO  ")).size(), 2);
    EXPECT_EQ(lines.filter(QStringLiteral(" -> ")).size(), 4) << "two items and two tables, nothing else";
}

} // namespace
