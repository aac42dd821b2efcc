#include "TfrmTrPosicao.h"

#include "Cli_Mvt04215.h"
#include "LocalFileProblems.h"
#include "client/lists/ScreenMessages.h"
#include "platform/Errors.h"
#include "platform/Runtime.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventGuard.h"
#include "schema/CodeValues.h"
#include "schema/ItemRecord.h"
#include "server/Srv_Mvt04215.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScreen>

namespace Cli_Mvt04215 {
namespace {

const QColor Accent(204, 91, 44);
const QColor ConfirmGreen(34, 221, 100);

QFont arial(int pixels, bool bold = false) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// The columns both grids show.
QList<GridColumn> itemColumns() {
    return {{QStringLiteral("NRLUGARMESA"), QStringLiteral("Posição"), 60},
            {QStringLiteral("CDARVPROD"), QStringLiteral("Código"), 107},
            {QStringLiteral("NMPRODUTO"), QStringLiteral("Nome Produto"), 314},
            {QStringLiteral("QTPRODCOMVEN"), QStringLiteral("Qtde."), 50},
            {QStringLiteral("IDPRODREFIL"), QStringLiteral("Refil"), 50}};
}

// A text field of a local file's first record; a column the file lacks reads as empty.
QString firstRecordText(platform::Dataset& ds, const char* field) {
    const QString name = QString::fromLatin1(field);
    return ds.hasField(name) ? ds.field(name).asString() : QString();
}

} // namespace

TfrmTrPosicao::TfrmTrPosicao(QWidget* parent) : QDialog(parent) {
    platform::ui::Trad(this);
    setObjectName(QStringLiteral("frmTrPosicao"));
    setWindowTitle(QStringLiteral("Transferência de Posicao"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(691, 592);
    msgPadrao.setLines(screenMessageLines());

    cdsVerificaMesaDes.setFieldDefs(schema::destinationCheckFields());
    for (platform::Dataset* ds : {&cdsProdOrig, &cdsProdDes}) {
        ds->setDisplayFormat(QStringLiteral("QTPRODCOMVEN"), QStringLiteral("0.000"));
        ds->setDisplayFormat(QStringLiteral("VRPRECCOMVEN"), QStringLiteral("#,##0.00"));
    }
    cdsProdOrig.setGetText(QStringLiteral("IDPRODREFIL"),
                           [this](const QVariant& v) { return cdsProdOrigIDPRODREFILGetText(v); });
    cdsProdDes.setGetText(QStringLiteral("IDPRODREFIL"),
                          [this](const QVariant& v) { return cdsProdDesIDPRODREFILGetText(v); });
    buildLayout();
    // keyboard preview: the screen sees every key typed in it before the focused control does
    qApp->installEventFilter(this);
}

TfrmTrPosicao::~TfrmTrPosicao() {
    qApp->removeEventFilter(this);
}

void TfrmTrPosicao::buildLayout() {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    auto* border = new platform::ui::TBlendedShape(Accent, 14, this);
    border->setGeometry(0, 0, 691, 592);
    auto* inner = new platform::ui::TBlendedShape(Qt::white, 12, this);
    inner->setGeometry(3, 3, 685, 586);

    auto label = [this](const QString& name, const QString& text, int x, int width) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->setFont(arial(19, true));
        l->setStyleSheet(QStringLiteral("color: black;"));
        l->setGeometry(x, 14, width, 30);
        return l;
    };
    lblTitulo = label(QStringLiteral("lblTitulo"), QStringLiteral("Tranferência de Posição"), 14, 250);
    lblDsMesaOrig = label(QStringLiteral("lblDsMesaOrig"), QString(), 272, 130);
    lblSeta = label(QStringLiteral("lblSeta"), QStringLiteral("-->>"), 404, 50);
    lblDsMesaDest = label(QStringLiteral("lblDsMesaDest"), QString(), 456, 130);

    const QString gridStyle = QStringLiteral(
        // the grid the keys and the arrow buttons act on shows its row in full colour, the other one
        // keeps its row marked in a lighter shade
        "QTableView { color: black; gridline-color: #c8c8c8; background: white; "
        "selection-background-color: #f3c9b6; selection-color: black; }"
        "QTableView:focus { selection-background-color: #cc5b2c; selection-color: white; }"
        "QHeaderView::section { background-color: rgb(204,91,44); color: white; font-family: Arial; "
        "font-size: 13px; font-weight: bold; border: 1px solid white; padding: 2px; }");
    const QList<GridColumn> columns = itemColumns();
    int nameColumn = 0;
    while (nameColumn < columns.size() - 1 && columns[nameColumn].field != QLatin1String("NMPRODUTO"))
        ++nameColumn;
    auto grid = [&](platform::Dataset& ds, const QString& name, int y) {
        auto* g = new DatasetGrid(ds, columns, this);
        g->setObjectName(name);
        g->setGeometry(9, y, 587, 222);
        g->setFont(arial(12));
        g->setStyleSheet(gridStyle);
        // the name takes what the other columns leave: a vertical scroll bar must not push Refil out of
        // sight behind a horizontal one
        g->horizontalHeader()->setStretchLastSection(false);
        g->horizontalHeader()->setSectionResizeMode(nameColumn, QHeaderView::Stretch);
        g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        return g;
    };
    dbgMesaOri = grid(cdsProdOrig, QStringLiteral("dbgMesaOri"), 60);
    dbgMesaDes = grid(cdsProdDes, QStringLiteral("dbgMesaDes"), 346);
    dbgMesaOri->setKeyDown(
        [this](int& key, Qt::KeyboardModifiers mods) { dbgMesaOriKeyDown(dbgMesaOri, key, mods); });
    dbgMesaDes->setKeyDown(
        [this](int& key, Qt::KeyboardModifiers mods) { dbgMesaDesKeyDown(dbgMesaDes, key, mods); });

    auto button = [this](const QString& name, const QString& caption, const QRect& geometry) {
        auto* b = new platform::ui::TBlendedBitBtn(caption, this);
        b->setObjectName(name);
        b->setGeometry(geometry);
        b->setAutoDefault(false);
        return b;
    };
    sbtAdicionar = button(QStringLiteral("sbtAdicionar"), QStringLiteral("Adicionar"), {9, 284, 142, 54});
    sbtAdicionarTodos =
        button(QStringLiteral("sbtAdicionarTodos"), QStringLiteral("Adicionar Todos"), {157, 284, 142, 54});
    sbtRemoverTodos =
        button(QStringLiteral("sbtRemoverTodos"), QStringLiteral("Remover Todos"), {305, 284, 142, 54});
    sbtRemover = button(QStringLiteral("sbtRemover"), QStringLiteral("Remover"), {453, 284, 143, 54});

    auto round = [&](const QString& name, platform::ui::TBlendedBitBtn::Glyph glyph, int y) {
        auto* b = button(name, QString(), {612, y, 64, 64});
        b->setCircular(true);
        b->SetGlyph(glyph);
        return b;
    };
    using Glyph = platform::ui::TBlendedBitBtn::Glyph;
    sbtPrimeiro = round(QStringLiteral("sbtPrimeiro"), Glyph::First, 63);
    sbtRolarCima = round(QStringLiteral("sbtRolarCima"), Glyph::Up, 234);
    sbtRolarBaixo = round(QStringLiteral("sbtRolarBaixo"), Glyph::Down, 300);
    sbtUltimo = round(QStringLiteral("sbtUltimo"), Glyph::Last, 447);
    sbtConfirmar = button(QStringLiteral("sbtConfirmar"), QStringLiteral("C&onfirmar"), {604, 520, 80, 46});
    sbtConfirmar->setFaceColor(ConfirmGreen);
    sbtConfirmar->setTextPixelSize(13);
    sbtSair = button(QStringLiteral("sbtSair"), QString(), {650, 10, 32, 32});
    sbtSair->setCircular(true);
    sbtSair->SetGlyph(Glyph::Exit);
    sbtSair->setToolTip(QStringLiteral("Sair (Esc)"));

    lblCodTela = new QLabel(QStringLiteral("F1 - Menu Fiscal - Mvt04215"), this);
    lblCodTela->setObjectName(QStringLiteral("lblCodTela"));
    lblCodTela->setFont(arial(9));
    lblCodTela->setStyleSheet(QStringLiteral("color: grey;"));
    lblCodTela->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblCodTela->setGeometry(480, 572, 200, 14);

    connectButton(sbtAdicionar, &TfrmTrPosicao::sbtAdicionarClick);
    connectButton(sbtAdicionarTodos, &TfrmTrPosicao::sbtAdicionarTodosClick);
    connectButton(sbtRemoverTodos, &TfrmTrPosicao::sbtRemoverTodosClick);
    connectButton(sbtRemover, &TfrmTrPosicao::sbtRemoverClick);
    connectButton(sbtPrimeiro, &TfrmTrPosicao::sbtPrimeiroClick);
    connectButton(sbtRolarCima, &TfrmTrPosicao::sbtRolarCimaClick);
    connectButton(sbtRolarBaixo, &TfrmTrPosicao::sbtRolarBaixoClick);
    connectButton(sbtUltimo, &TfrmTrPosicao::sbtUltimoClick);
    connectButton(sbtConfirmar, &TfrmTrPosicao::sbtConfirmarClick);
    connectButton(sbtSair, &TfrmTrPosicao::sbtSairClick);
}

void TfrmTrPosicao::connectButton(platform::ui::TBlendedBitBtn* button,
                                  void (TfrmTrPosicao::*handler)(QObject*)) {
    connect(button, &QPushButton::clicked, this,
            [this, button, handler] { platform::ui::guarded([&] { (this->*handler)(button); }); });
}

void TfrmTrPosicao::showError(const QString& text) {
    platform::ui::Mensagem(text, QString(), QStringLiteral("N"), QStringLiteral("N"), 3, QString(), IdEsquema,
                           0, nullptr);
}

void TfrmTrPosicao::InicializaForm(const QString& /*arg1*/, const QString& /*arg2*/, const QString& origin,
                                   const QString& destination, const QString& /*arg5*/) {
    Srv_Mvt04215::connectDataModule();

    NrMesaOrig = origin;
    NrMesaDest = destination;
    lblDsMesaOrig->setText(msgPadrao.Msg(QStringLiteral("MESA")) + NrMesaOrig);
    lblDsMesaDest->setText(msgPadrao.Msg(QStringLiteral("MESA")) + NrMesaDest);

    const QString folder = platform::executableFolder();
    const QString parameters = folder + QStringLiteral("/PARAMETROSZEL.CDS");
    const bool hasParameters = QFile::exists(parameters);
    if (hasParameters) {
        cdsParametrosZel.loadFromFile(parameters);
        CdFilial = firstRecordText(cdsParametrosZel, "CDFILIAL");
        CdCaixa = firstRecordText(cdsParametrosZel, "CDCAIXA");
        CdLoja = firstRecordText(cdsParametrosZel, "CDLOJA");
        IdEsquema = firstRecordText(cdsParametrosZel, "IDESQUEMA");
        CdProdConsum = firstRecordText(cdsParametrosZel, "CDPRODCONSUM");
        CdProdConsuf = firstRecordText(cdsParametrosZel, "CDPRODCONSUF");
        CdProdCouver = firstRecordText(cdsParametrosZel, "CDPRODCOUVER");
    }
    const QString access = folder + QStringLiteral("/Dados/Cadastros/ControleAcess.cds");
    const bool hasAccess = QFile::exists(access);
    if (hasAccess) {
        cdsControleAcess.loadFromFile(access);
        CdOperador = firstRecordText(cdsControleAcess, "CDOPERADOR");
        NmOperador = firstRecordText(cdsControleAcess, "NMOPERADOR");
    }
    // Missing files are no error of their own; they are named if the origin then shows no items.
    parametersFile_ = parameters;
    parameterProblems_ = localFileProblems(QStringLiteral("parâmetros"), parameters,
                                           hasParameters ? &cdsParametrosZel : nullptr,
                                           {QStringLiteral("CDFILIAL"), QStringLiteral("CDLOJA")});
    accessProblems_ =
        localFileProblems(QStringLiteral("controle de acesso"), access,
                          hasAccess ? &cdsControleAcess : nullptr, {QStringLiteral("CDOPERADOR")});
    CarregaProdOrig();
    ControlaHabilitacao();
    cdsProdDes.createDataSet();
}

void TfrmTrPosicao::CarregaProdOrig() {
    using platform::ui::MensagemMetodo;
    try {
        const QVariant items =
            Srv_Mvt04215::getProdOrig(NrMesaOrig, CdFilial, CdLoja, CdProdCouver, CdProdConsum, CdProdConsuf);
        const QString itemArgs =
            QStringList{NrMesaOrig, CdFilial, CdLoja, CdProdCouver, CdProdConsum, CdProdConsuf}.join(u'-');
        cdsProdOrig.loadPacket(
            MensagemMetodo(items, true, 0, QStringLiteral("getProdOrig"), ReadTag, itemArgs, IdEsquema),
            QStringLiteral("getProdOrig"));

        const QVariant check = Srv_Mvt04215::getValidaMesaDes(CdFilial, CdLoja, NrMesaDest, NrMesaOrig);
        const QString checkArgs = QStringList{CdFilial, CdLoja, NrMesaDest, NrMesaOrig}.join(u'-');
        cdsVerificaMesaDes.loadPacket(
            MensagemMetodo(check, true, 0, QStringLiteral("getValidaMesaDes"), ReadTag, checkArgs, IdEsquema),
            QStringLiteral("getValidaMesaDes"));
        NrPesMesaDest = cdsVerificaMesaDes.field(QStringLiteral("NRPESMESAVEN")).asString();
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
        throw;
    }
    if (cdsProdOrig.isEmpty()) {
        showError(emptyOriginText());
        closedAtOpening_ = true;
    }
}

QString TfrmTrPosicao::emptyOriginText() {
    // Without a branch or a store no item can be found: the settings are at fault, not the table.
    if (!parameterProblems_.isEmpty())
        return (parameterProblems_ + accessProblems_).join(u'\n');
    bool registered = true;
    try {
        registered = Srv_Mvt04215::mesaCadastrada(CdFilial, CdLoja, NrMesaOrig);
    } catch (const std::exception&) {
        // a check that cannot be made leaves the plain message
    }
    if (!registered)
        return QStringLiteral("A mesa %1 não está cadastrada na filial %2, loja %3 (CDFILIAL e CDLOJA do "
                              "arquivo de parâmetros %4).")
            .arg(NrMesaOrig, CdFilial, CdLoja, parametersFile_);
    return msgPadrao.Msg(QStringLiteral("PRONINFO"));
}

void TfrmTrPosicao::ControlaHabilitacao() {
    const bool origin = cdsProdOrig.active() && !cdsProdOrig.isEmpty();
    const bool destination = cdsProdDes.active() && !cdsProdDes.isEmpty();
    sbtAdicionar->setEnabled(origin);
    sbtAdicionarTodos->setEnabled(origin);
    sbtRemover->setEnabled(destination);
    sbtRemoverTodos->setEnabled(destination);
}

QString TfrmTrPosicao::cdsProdOrigIDPRODREFILGetText(const QVariant& value) const {
    const QString flag = value.toString();
    if (flag == schema::codes::RefillYes)
        return msgPadrao.Msg(QStringLiteral("Sim"));
    if (flag == schema::codes::RefillNo)
        return msgPadrao.Msg(QStringLiteral("Nao"));
    return QString();
}

QString TfrmTrPosicao::cdsProdDesIDPRODREFILGetText(const QVariant& value) const {
    return cdsProdOrigIDPRODREFILGetText(value);
}

void TfrmTrPosicao::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // a borderless screen gets no placement from a window manager: centre it on the display
    if (const QScreen* display = screen()) {
        QRect r = frameGeometry();
        r.moveCenter(display->availableGeometry().center());
        move(r.topLeft());
    }
}

void TfrmTrPosicao::FormClose() {
    boCria = true;
}

void TfrmTrPosicao::done(int result) {
    if (!formClosed_) {
        formClosed_ = true;
        FormClose();
    }
    QDialog::done(result);
}

} // namespace Cli_Mvt04215
