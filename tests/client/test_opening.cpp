// Opening the transfer screen (directly and as the host does) and what its grids show.

#include "support/DefaultLocale.h"
#include "support/ScreenFixture.h"

#include "client/Cli_Mvt04215.h"
#include "server/TrdmTrPosicao.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

using namespace testsupport;
using namespace Qt::StringLiterals;
using Cli_Mvt04215::TfrmTrPosicao;

namespace {

const QString noItems = u"Mesa de origem não tem produtos."_s;

using Opening = ScreenTest;

TEST_F(Opening, ReadsTheLocalFilesAndLoadsBothTables) {
    f.writeAccessControl();
    f.sales().item(u"10"_s, u"000001"_s, u"P1"_s, 1);
    f.open();
    EXPECT_EQ(control<QLabel>(s(), "lblDsMesaOrig")->text(), u"MESA  0045"_s);
    EXPECT_EQ(control<QLabel>(s(), "lblDsMesaDest")->text(), u"MESA  0046"_s);
    EXPECT_EQ(QStringList({s().branch(), s().store(), s().till(), s().operatorCode(), s().operatorName()}),
              QStringList({u"0001"_s, u"01"_s, u"003"_s, u"77"_s, u"Ana"_s}));
    ASSERT_EQ(f.dialogs.methodChecks.size(), 2);
    const platform::ui::MensagemMetodoCall &items = f.dialogs.methodChecks[0],
                                           &check = f.dialogs.methodChecks[1];
    EXPECT_EQ(QStringList({items.method, items.moduleTag, items.arguments}),
              QStringList({u"getProdOrig"_s, u"Cli_Mvt04213"_s, u"0045-0001-01-COUV-CONS-CONF"_s}));
    EXPECT_EQ(QStringList({check.method, check.moduleTag, check.arguments}),
              QStringList({u"getValidaMesaDes"_s, u"Cli_Mvt04213"_s, u"0001-01-0046-0045"_s}));
    EXPECT_EQ(s().lists().origin().recordCount(), 1);
    EXPECT_EQ(s().destinationCheck().recordCount(), 1);
    EXPECT_EQ(s().destinationPeople(), u"4"_s);
    EXPECT_TRUE(s().lists().destination().active() && s().lists().destination().isEmpty());
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
}

TEST(OpeningWithoutFiles, MissingLocalFilesAreNotAnErrorButAreNamedWhenNoItemIsFound) {
    ScreenFixture f;
    f.sales().item(u"10"_s, u"000001"_s, u"P1"_s, 1);
    auto& s = f.open();
    EXPECT_TRUE(s.branch().isEmpty() && s.store().isEmpty() && s.operatorCode().isEmpty());
    ASSERT_EQ(f.dialogs.methodChecks.size(), 2);
    EXPECT_EQ(f.dialogs.methodChecks[0].arguments, u"0045-----"_s);
    EXPECT_EQ(f.dialogs.methodChecks[1].arguments, u"--0046-0045"_s);
    // without a branch no item is found: the missing files are said, not an empty table
    EXPECT_EQ(f.dialogs.log,
              QStringList({u"Mensagem:3:O arquivo de parâmetros não foi encontrado: "_s + f.folder() +
                           u"/PARAMETROSZEL.CDS\nO arquivo de controle de acesso não foi encontrado: "_s +
                           f.folder() + u"/Dados/Cadastros/ControleAcess.cds"_s}));
    EXPECT_TRUE(s.closedAtOpening());
    EXPECT_TRUE(f.dialogs.errorReports.isEmpty());
}

// Settings that cannot find the origin's items are named: the field and its file, or the branch and store
// that do not have the table. A table that is there and has no items is still PRONINFO.
TEST(OpeningWithBadSettings, TheFileAndFieldOrTheUnknownBranchAreNamedInsteadOfAnEmptyTable) {
    struct Case {
        QString branch, store, expected;
    };
    const QString file = u"/PARAMETROSZEL.CDS"_s;
    for (const Case& c :
         {Case{u""_s, u"01"_s, u"O campo CDFILIAL do arquivo de parâmetros %1 está vazio."_s},
          Case{u"0001"_s, u" "_s, u"O campo CDLOJA do arquivo de parâmetros %1 está vazio."_s},
          Case{u"9999"_s, u"01"_s,
               u"A mesa 0045 não está cadastrada na filial 9999, loja 01 (CDFILIAL e CDLOJA do "
               "arquivo de parâmetros %1)."_s},
          Case{u"0001"_s, u"01"_s, noItems}}) {
        SCOPED_TRACE(c.expected.toStdString());
        ScreenFixture f;
        f.writeParameters(c.branch, u"003"_s, c.store);
        f.writeAccessControl();
        f.sales().item(u"10"_s, u"000001"_s, u"P1"_s, 1, columns({{"IDSTPRCOMVEN", u"6"_s}}));
        EXPECT_TRUE(f.open().closedAtOpening());
        EXPECT_EQ(
            f.dialogs.messageTexts(3),
            QStringList({c.expected.contains(u"%1"_s) ? c.expected.arg(f.folder() + file) : c.expected}));
    }
}

TEST(OpeningWithBadFiles, AMalformedLocalFileIsAClearError) {
    for (const QString& file : {u"PARAMETROSZEL.CDS"_s, u"Dados/Cadastros/ControleAcess.cds"_s}) {
        ScreenFixture f;
        f.writeParameters();
        f.writeAccessControl();
        f.sales().item(u"10"_s, u"000001"_s, u"P1"_s, 1);
        QFile bad(f.folder() + u'/' + file);
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
        bad.write("{\"fields\": [");
        bad.close();
        EXPECT_FALSE(f.runModal());
        const QStringList errors = f.dialogs.messageTexts(3);
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].contains(file.section(u'/', -1))) << errors[0].toStdString();
    }
}

TEST_F(Opening, AnOriginWithoutItemsClosesWithoutShowing) {
    f.sales().item(u"10"_s, u"000001"_s, u"P1"_s, 1, columns({{"IDSTPRCOMVEN", u"6"_s}}));
    f.open();
    EXPECT_TRUE(s().closedAtOpening());
    EXPECT_EQ(f.dialogs.messageTexts(3), QStringList({noItems}));

    f.dialogs.messages.clear();
    Cli_Mvt04215::boCria = false;
    EXPECT_FALSE(f.runModal());
    EXPECT_EQ(f.dialogs.messageTexts(3), QStringList({noItems}));
    EXPECT_TRUE(Cli_Mvt04215::boCria);
    EXPECT_EQ(Cli_Mvt04215::frmTrPosicao, nullptr);
    EXPECT_EQ(Srv_Mvt04215::rdmTrPosicao, nullptr);
}

TEST_F(Opening, ADatabaseFailureIsShownByTheLoadingAndByTheHostCall) {
    f.sales().item(u"10"_s, u"000001"_s, u"P1"_s, 1);
    f.db().exec(u"DROP TABLE ITCOMANDAVEN"_s);
    EXPECT_FALSE(f.runModal());
    const QStringList errors = f.dialogs.messageTexts(3);
    ASSERT_EQ(errors.size(), 2);
    EXPECT_EQ(errors[0], errors[1]);
    EXPECT_TRUE(errors[0].contains(u"getProdOrig"_s)) << errors[0].toStdString();
    EXPECT_EQ(Cli_Mvt04215::frmTrPosicao, nullptr);
    EXPECT_EQ(Srv_Mvt04215::rdmTrPosicao, nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass outlived the failure";
}

TEST_F(Opening, EachHostCallStartsAfresh) {
    Cli_Mvt04215::initializeUnit();
    f.sales().item(u"10"_s, u"000001"_s, u"P1"_s, 1);
    EXPECT_TRUE(f.runModal([&](TfrmTrPosicao& screen) {
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass stays over the open screen";
        f.dialogs.answerSeats(true, u"2"_s);
        f.type(u'a'); // chosen, never confirmed
        EXPECT_EQ(screen.lists().destination().recordCount(), 1);
    }));
    EXPECT_TRUE(Cli_Mvt04215::boCria);
    EXPECT_EQ(Cli_Mvt04215::frmTrPosicao, nullptr);
    EXPECT_EQ(Srv_Mvt04215::rdmTrPosicao, nullptr);

    f.sales().item(u"10"_s, u"000002"_s, u"P2"_s, 1);
    EXPECT_TRUE(f.runModal([&](TfrmTrPosicao& screen) {
        EXPECT_NE(Srv_Mvt04215::rdmTrPosicao, nullptr);
        EXPECT_EQ(screen.lists().origin().recordCount(), 2);
        EXPECT_TRUE(screen.lists().destination().isEmpty());
        EXPECT_TRUE(button(screen, "sbtAdicionar")->isEnabled() &&
                    !button(screen, "sbtRemover")->isEnabled());
    }));
    EXPECT_TRUE(f.dialogs.errorReports.isEmpty());
}

TEST_F(Opening, ADestinationWithoutAnOpenSaleStillOpens) {
    f.sales().table(u"0047"_s).item(u"10"_s, u"000001"_s, u"P1"_s, 1);
    f.open(u"0045"_s, u"0047"_s);
    EXPECT_FALSE(s().closedAtOpening());
    EXPECT_TRUE(s().isVisible());
    EXPECT_TRUE(s().destinationCheck().active() && s().destinationCheck().isEmpty());
    EXPECT_TRUE(s().destinationPeople().isEmpty());
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
}

// The texts of one locale: 2, 0.5, the price 1234.5, a typed 1.5 kg and how it shows.
struct LocaleTexts {
    QLocale locale;
    QStringList texts;
};

class Display : public ::testing::TestWithParam<LocaleTexts> {};

TEST_P(Display, QuantitiesPricesAndRefillShowInTheLocale) {
    DefaultLocale locale(GetParam().locale);
    const QStringList& t = GetParam().texts;
    ScreenFixture f;
    f.writeParameters();
    f.sales()
        .item(u"10"_s, u"000001"_s, u"P1"_s, 2, columns({{"VRPRECCOMVEN", 1234.5}, {"IDPRODREFIL", u"S"_s}}))
        .item(u"10"_s, u"000002"_s, u"PESO"_s, 2.5)
        .item(u"10"_s, u"000003"_s, u"P3"_s, 0.5, columns({{"IDPRODREFIL", u"X"_s}}));
    auto& s = f.open();
    const QAbstractItemModel& grid = *originGrid(s)->model();
    auto cell = [&](int row, int column) {
        return grid.data(grid.index(row, column)).toString();
    };
    EXPECT_EQ(QStringList({cell(0, 3), cell(0, 4), cell(1, 4), cell(2, 3), cell(2, 4)}),
              QStringList({t[0], u"Sim"_s, u"Não"_s, t[1], QString()}));
    EXPECT_EQ(s.lists().origin().field(u"VRPRECCOMVEN"_s).displayText(), t[2]);

    f.dialogs.answerKeypad(true, t[3]);
    f.dialogs.answerSeats(true, u"2"_s);
    selectItem(s.lists().origin(), u"10"_s, u"000002"_s);
    f.type(u'a');
    const QAbstractItemModel& destination = *destinationGrid(s)->model();
    EXPECT_EQ(destination.data(destination.index(0, 3)).toString(), t[4]);
    EXPECT_EQ(destination.data(destination.index(0, 4)).toString(), u"Não"_s);
    EXPECT_TRUE(f.dialogs.errorReports.isEmpty()) << f.dialogs.errorReports.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Locales, Display,
    ::testing::Values(LocaleTexts{QLocale::c(),
                                  {u"2.000"_s, u"0.500"_s, u"1,234.50"_s, u"1.5"_s, u"1.500"_s}},
                      LocaleTexts{QLocale(QLocale::Portuguese, QLocale::Brazil),
                                  {u"2,000"_s, u"0,500"_s, u"1.234,50"_s, u"1,5"_s, u"1,500"_s}}),
    [](const auto& param) { return param.index == 0 ? "C" : "ptBR"; });

TEST_F(Opening, TheGridsShowTheListsAndFollowTheirCursors) {
    for (int i = 1; i <= 3; ++i)
        f.sales().item(u"10"_s, u"00000%1"_s.arg(i), u"P%1"_s.arg(i), 1);
    f.open();
    EXPECT_EQ(s().size(), QSize(691, 592));
    EXPECT_TRUE(s().windowFlags().testFlag(Qt::FramelessWindowHint));
    for (const QString& name :
         u"sbtAdicionar sbtAdicionarTodos sbtRemover sbtRemoverTodos sbtPrimeiro sbtRolarCima "
         "sbtRolarBaixo sbtUltimo sbtSair sbtConfirmar dbgMesaOri dbgMesaDes"_s.split(u' '))
        EXPECT_NE(s().findChild<QWidget*>(name), nullptr) << name.toStdString();
    for (auto* grid : {originGrid(s()), destinationGrid(s())}) {
        QStringList titles;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            titles << grid->model()->headerData(c, Qt::Horizontal).toString();
        EXPECT_EQ(titles,
                  QStringList({u"Posição"_s, u"Código"_s, u"Nome Produto"_s, u"Qtde."_s, u"Refil"_s}));
    }
    const QAbstractItemModel& origin = *originGrid(s())->model();
    EXPECT_EQ(
        QStringList({origin.data(origin.index(1, 1)).toString(), origin.data(origin.index(1, 2)).toString()}),
        QStringList({u"ARVP2"_s, u"Produto 2"_s}));

    s().lists().origin().setRecNo(2);
    EXPECT_EQ(originGrid(s())->currentIndex().row(), 2);
    EXPECT_TRUE(originGrid(s())->selectionModel()->isRowSelected(2, {}));
    QTest::mouseClick(originGrid(s())->viewport(), Qt::LeftButton, {},
                      originGrid(s())->visualRect(origin.index(1, 2)).center());
    EXPECT_EQ(s().lists().origin().recNo(), 1);

    f.dialogs.answerSeats(true, u"2"_s);
    f.type(u'a');
    EXPECT_EQ(origin.rowCount(), 2);
    EXPECT_EQ(destinationGrid(s())->model()->rowCount(), 1);
    EXPECT_EQ(s().lists().origin().field(u"NRPRODCOMVEN"_s).asString(), u"000003"_s);
    EXPECT_EQ(originGrid(s())->currentIndex().row(), 1);
}

} // namespace
