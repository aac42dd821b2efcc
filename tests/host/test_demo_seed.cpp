// The demo restaurant as ./run demo and ./run screenshot show it: seeded into a folder, read back through
// the screen's lookups and opened on the real screen with the local files the seeding wrote.

#include "support/QtPrinters.h"

#include "client/TfrmTrPosicao.h"
#include "host/DemoSeed.h"
#include "platform/DataPacket.h"
#include "platform/Runtime.h"
#include "platform/db/Connection.h"
#include "server/Srv_Mvt04215.h"
#include "server/TrdmTrPosicao.h"
#include "support/ScreenWidgets.h"
#include "support/ScriptedDialogs.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace host;
using platform::DataPacket;

namespace {

using testsupport::button;
using testsupport::control;

class DemoSeed : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        seeded = demo::seedFolder(dir.path());
        module = std::make_unique<Srv_Mvt04215::TrdmTrPosicao>();
        module->connectionStringOverride = QStringLiteral("sqlite:") + seeded.database;
        module->adcTrPosicao.open();
        Srv_Mvt04215::rdmTrPosicao = module.get();
    }
    void TearDown() override { Srv_Mvt04215::rdmTrPosicao = nullptr; }

    DataPacket packet(const QVariant& result) {
        EXPECT_EQ(result.metaType().id(), QMetaType::QByteArray) << result.toString().toStdString();
        return DataPacket::fromJson(result.toByteArray());
    }
    DataPacket originItems(const QString& couver = demo::CoverChargeProduct) {
        return packet(Srv_Mvt04215::getProdOrig(demo::OriginTable, demo::Branch, demo::Store, couver,
                                                demo::MinimumConsumptionProduct,
                                                demo::FemaleMinimumConsumptionProduct));
    }
    // One column of every row, in the packet's order.
    static QStringList column(const DataPacket& p, const QString& field) {
        int index = -1;
        for (int i = 0; i < p.fields.size(); ++i)
            if (p.fields[i].name == field)
                index = i;
        EXPECT_GE(index, 0) << field.toStdString();
        QStringList out;
        for (const platform::Record& r : p.rows)
            out << (index < 0 ? QString() : r.at(index).toString());
        return out;
    }
    QStringList rows(const QString& sql) {
        QSqlQuery q(module->adcTrPosicao.database());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        QStringList out;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i)
                cells << q.value(i).toString();
            out << cells.join(u'|');
        }
        return out;
    }

    QTemporaryDir dir;
    demo::SeededFolder seeded;
    std::unique_ptr<Srv_Mvt04215::TrdmTrPosicao> module;
};

TEST_F(DemoSeed, WritesTheDatabaseAndBothLocalFilesAgainFromScratch) {
    EXPECT_TRUE(QFileInfo::exists(seeded.database));
    EXPECT_TRUE(QFileInfo::exists(seeded.parametersFile));
    EXPECT_TRUE(QFileInfo::exists(seeded.accessFile));
    const QStringList before = rows(QStringLiteral("SELECT COUNT(*) FROM ITCOMANDAVEN"));
    module.reset();
    Srv_Mvt04215::rdmTrPosicao = nullptr;
    SetUp(); // a second seeding of the same folder
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM ITCOMANDAVEN")), before);
}

TEST_F(DemoSeed, OriginOffersItsItemsInOrderWithoutTheCoverCharge) {
    const DataPacket items = originItems();
    EXPECT_EQ(column(items, QStringLiteral("NRPRODCOMVEN")),
              QStringList({QStringLiteral("000001"), QStringLiteral("000002"), QStringLiteral("000003"),
                           QStringLiteral("000004"), QStringLiteral("000005"), QStringLiteral("000006"),
                           QStringLiteral("000007"), QStringLiteral("000008"), QStringLiteral("000009"),
                           QStringLiteral("000010"), QStringLiteral("000011"), QStringLiteral("000012"),
                           QStringLiteral("000013")}));
    const QStringList names = column(items, QStringLiteral("NMPRODUTO"));
    EXPECT_EQ(names.first(), demo::OneUnitItemName);
    EXPECT_TRUE(names.contains(demo::ThreeUnitsItemName));
    EXPECT_EQ(names.filter(demo::ComboItemPrefix).size(), 3);
    QStringList tabs = column(items, QStringLiteral("NRCOMANDA"));
    tabs.removeDuplicates();
    EXPECT_EQ(tabs, QStringList({QStringLiteral("451"), QStringLiteral("452")}));
    // the cover charge is on the table, and only the parameters keep it off the screen
    EXPECT_EQ(originItems(QString()).rows.size(), items.rows.size() + 1);
}

TEST_F(DemoSeed, OriginHoldsTheKindsOfItemThatMoveDifferently) {
    const QStringList rowsOf0045 = rows(QStringLiteral(
        "SELECT IT.NRPRODCOMVEN, IT.QTPRODCOMVEN, PO.IDPESAPROD, IT.IDPRODREFIL, IT.IDSTLUGARMESA, "
        "COALESCE(IT.NRSEQPRODCOM, '') FROM ITCOMANDAVEN IT JOIN PRODUTO PO ON PO.CDPRODUTO = IT.CDPRODUTO "
        "WHERE IT.NRCOMANDA IN ('451', '452') ORDER BY IT.NRPRODCOMVEN"));
    EXPECT_TRUE(rowsOf0045.contains(QStringLiteral("000006|0.85|S|N|N|")))
        << rowsOf0045.join(u'\n').toStdString();
    EXPECT_TRUE(rowsOf0045.contains(QStringLiteral("000011|1|N|S|N|")));
    EXPECT_TRUE(rowsOf0045.contains(QStringLiteral("000012|1|N|N|S|")));
    EXPECT_TRUE(rowsOf0045.contains(QStringLiteral("000013|1|N|N|S|")));
    EXPECT_EQ(rowsOf0045.filter(QStringLiteral("|001")).size(), 3);
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM ITCOMANDAEST WHERE NRCOMANDA = '452'")),
              QStringList{QStringLiteral("4")});
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM OBSITCOMANDAEST WHERE NRCOMANDA = '452'")),
              QStringList{QStringLiteral("2")});
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM OBSITCOMANDAVEN WHERE NRCOMANDA IN ('451', '452')")),
              QStringList{QStringLiteral("5")});
}

TEST_F(DemoSeed, EveryTabsSurchargeIsTheSumOfItsItems) {
    const QStringList mismatches = rows(QStringLiteral(
        "SELECT CO.NRCOMANDA, CO.VRACRCOMANDA, (SELECT SUM(IT.VRACRCOMVEN) FROM ITCOMANDAVEN IT "
        "WHERE IT.CDFILIAL = CO.CDFILIAL AND IT.NRCOMANDA = CO.NRCOMANDA) AS ITEMS FROM COMANDAVEN CO "
        "WHERE ABS(CO.VRACRCOMANDA - (SELECT SUM(IT.VRACRCOMVEN) FROM ITCOMANDAVEN IT "
        "WHERE IT.CDFILIAL = CO.CDFILIAL AND IT.NRCOMANDA = CO.NRCOMANDA)) > 0.001"));
    EXPECT_TRUE(mismatches.isEmpty()) << mismatches.join(u'\n').toStdString();
    EXPECT_GT(rows(QStringLiteral("SELECT VRACRCOMANDA FROM COMANDAVEN WHERE NRCOMANDA = '451'"))
                  .value(0)
                  .toDouble(),
              0.0);
}

TEST_F(DemoSeed, DestinationIsOpenWithOneTabForThreePeople) {
    const DataPacket check = packet(
        Srv_Mvt04215::getValidaMesaDes(demo::Branch, demo::Store, demo::DestinationTable, demo::OriginTable));
    EXPECT_EQ(column(check, QStringLiteral("NRCOMANDA")), QStringList{QStringLiteral("461")});
    EXPECT_EQ(column(check, QStringLiteral("IDSTMESAAUX")), QStringList{QStringLiteral("O")});
    EXPECT_EQ(column(check, QStringLiteral("NRPESMESAVEN")), QStringList{QStringLiteral("3")});
}

TEST_F(DemoSeed, TheScreenOpensOnTheSeededFolder) {
    platform::ExecutableFolderOverride beside(dir.path());
    testsupport::ScriptedDialogs dialogs;
    platform::ui::ProviderScope provider(dialogs);
    {
        Cli_Mvt04215::TfrmTrPosicao screen;
        screen.InicializaForm(QString(), QString(), demo::OriginTable, demo::DestinationTable, QString());
        EXPECT_TRUE(dialogs.errorReports.isEmpty()) << dialogs.errorReports.join(u'\n').toStdString();
        EXPECT_TRUE(dialogs.messages.isEmpty());
        EXPECT_EQ(control<QLabel>(screen, "lblDsMesaOrig")->text(), QStringLiteral("MESA  0045"));
        EXPECT_EQ(control<QLabel>(screen, "lblDsMesaDest")->text(), QStringLiteral("MESA  0046"));
        EXPECT_EQ(screen.branch(), demo::Branch);
        EXPECT_EQ(screen.coverChargeProduct(), demo::CoverChargeProduct);
        EXPECT_EQ(screen.operatorName(), demo::OperatorName);
        EXPECT_EQ(screen.destinationPeople(), QStringLiteral("3"));
        EXPECT_EQ(screen.lists().origin().recordCount(), 13);
        EXPECT_TRUE(button(screen, "sbtAdicionar")->isEnabled());
        EXPECT_FALSE(button(screen, "sbtRemover")->isEnabled());
    }
}

} // namespace
