#pragma once

#include "DatasetGrid.h"
#include "client/lists/ItemLists.h"
#include "client/lists/TransferConfirmation.h"
#include "platform/Dataset.h"
#include "platform/Export.h"
#include "platform/Messages.h"
#include "platform/ui/BlendedButton.h"

#include <QDialog>
#include <QLabel>
#include <functional>

namespace Cli_Mvt04215 {

// The transfer screen: the origin table's transferable items above, the items chosen for the
// destination below; nothing reaches the database before the operator confirms. The lists and their
// rules live in ItemLists; the screen shows them, answers their questions with its dialogs and keeps
// the keys, the buttons and the focus. The confirmation's steps live in TransferConfirmation, whose
// questions the screen answers with its dialogs, the server methods and the audit log.
class MVT_EXPORT TfrmTrPosicao : public QDialog, private ListQuestions, private ConfirmationQuestions {
    Q_OBJECT
public:
    explicit TfrmTrPosicao(QWidget* parent = nullptr);
    ~TfrmTrPosicao() override;

    // --- opening and display
    void setParamLog(const QString& paramLog) { ParamLog = paramLog; }
    void InicializaForm(const QString& arg1, const QString& arg2, const QString& origin,
                        const QString& destination, const QString& arg5);
    void CarregaProdOrig();
    void ControlaHabilitacao();
    QString cdsProdOrigIDPRODREFILGetText(const QVariant& value) const;
    QString cdsProdDesIDPRODREFILGetText(const QVariant& value) const;
    // True when the screen closed itself while opening (an origin table without items).
    bool closedAtOpening() const { return closedAtOpening_; }
    void FormClose();

    // --- item list records
    void InsereProdDes(double quantity);
    void InsereProdOrig();

    // --- operations, each with its button (or key) as sender
    void sbtAdicionarClick(QObject* sender);
    void sbtAdicionarTodosClick(QObject* sender);
    void sbtRemoverClick(QObject* sender);
    void sbtRemoverTodosClick(QObject* sender);
    void sbtConfirmarClick(QObject* sender);
    void sbtPrimeiroClick(QObject* sender);
    void sbtRolarCimaClick(QObject* sender);
    void sbtRolarBaixoClick(QObject* sender);
    void sbtUltimoClick(QObject* sender);
    void sbtSairClick(QObject* sender);

    // --- keys: the screen sees every key before the focused control
    void FormKeyPress(QObject* sender, QChar& key);
    void FormKeyDown(QObject* sender, int& key, Qt::KeyboardModifiers shift);
    void dbgMesaOriKeyDown(QObject* sender, int& key, Qt::KeyboardModifiers shift);
    void dbgMesaDesKeyDown(QObject* sender, int& key, Qt::KeyboardModifiers shift);

    // --- what the screen holds, read only
    ItemLists& lists() { return lists_; }
    const platform::Dataset& destinationCheck() const { return cdsVerificaMesaDes; }
    const QString& branch() const { return CdFilial; }
    const QString& store() const { return CdLoja; }
    const QString& till() const { return CdCaixa; }
    const QString& coverChargeProduct() const { return CdProdCouver; }
    const QString& operatorCode() const { return CdOperador; }
    const QString& operatorName() const { return NmOperador; }
    const QString& destinationPeople() const { return NrPesMesaDest; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // --- the lists' questions, answered with the dialogs
    bool chooseSeats(Seats mode, QString& originSeat, QString& destinationSeat) override;
    bool typeQuantity(QString& typed, bool decimals) override;
    void seatBlocked(const QString& seat) override;
    void quantityTooLarge() override;

    // --- the confirmation's questions, answered with the dialogs, the server methods and the log
    bool confirm(const QString& question) override;
    // Shows an error message with the screen's arguments.
    void showError(const QString& text) override;
    void showDone(const QString& text) override;
    QVariant cleanUp(const QString& table, const QString& branch, const QString& store) override;
    TransferOutcome transfer(const QByteArray& request) override;
    void writeAudit(const AuditEntry& entry) override;

    void buildLayout();
    void connectButton(platform::ui::TBlendedBitBtn* button, void (TfrmTrPosicao::*handler)(QObject*));
    // What is said when the origin shows no items: the local files' problems when they leave the branch
    // or store empty, an origin table the branch and store do not have, else PRONINFO.
    QString emptyOriginText();
    // The list the navigation buttons act on: the origin when its grid has the focus.
    DatasetGrid& navigationGrid();
    void finishAdding();
    void finishRemoving();
    // Runs "Adicionar Todos" or "Remover Todos": a failure is shown over the screen and handed on silently.
    void showingFailure(const std::function<void()>& operation);

    // The module tag the method-result check names beside a failed transfer: this unit's name.
    static constexpr QLatin1StringView UnitTag{"Cli_Mvt04215"};
    // The tag the suite's check expects for the two reads at opening; why it is not UnitTag is not known.
    static constexpr QLatin1StringView ReadTag{"Cli_Mvt04213"};

    QString parametersFile_;
    QStringList parameterProblems_, accessProblems_;

    // --- screen state
    QString NrMesaOrig, NrMesaDest, ParamLog;
    QString CdFilial, CdCaixa, CdLoja, IdEsquema, CdProdConsum, CdProdConsuf, CdProdCouver;
    QString CdOperador, NmOperador;
    QString NrPesMesaDest;

    // --- lists: the item lists belong to ItemLists; cdsProdOrig and cdsProdDes are the screen's names
    ItemLists lists_{*this, {CdFilial, CdLoja, NrMesaDest}};
    platform::Dataset& cdsProdOrig = lists_.origin();
    platform::Dataset& cdsProdDes = lists_.destination();
    platform::Dataset cdsVerificaMesaDes{QStringLiteral("cdsVerificaMesaDes")};
    platform::Dataset cdsParametrosZel{QStringLiteral("cdsParametrosZel")};
    platform::Dataset cdsControleAcess{QStringLiteral("cdsControleAcess")};
    platform::TMessages msgPadrao;

    // --- widgets
    QLabel* lblTitulo = nullptr;
    QLabel* lblDsMesaOrig = nullptr;
    QLabel* lblSeta = nullptr;
    QLabel* lblDsMesaDest = nullptr;
    QLabel* lblCodTela = nullptr;
    DatasetGrid* dbgMesaOri = nullptr;
    DatasetGrid* dbgMesaDes = nullptr;
    platform::ui::TBlendedBitBtn* sbtAdicionar = nullptr;
    platform::ui::TBlendedBitBtn* sbtAdicionarTodos = nullptr;
    platform::ui::TBlendedBitBtn* sbtRemoverTodos = nullptr;
    platform::ui::TBlendedBitBtn* sbtRemover = nullptr;
    platform::ui::TBlendedBitBtn* sbtPrimeiro = nullptr;
    platform::ui::TBlendedBitBtn* sbtRolarCima = nullptr;
    platform::ui::TBlendedBitBtn* sbtRolarBaixo = nullptr;
    platform::ui::TBlendedBitBtn* sbtUltimo = nullptr;
    platform::ui::TBlendedBitBtn* sbtConfirmar = nullptr;
    platform::ui::TBlendedBitBtn* sbtSair = nullptr;

    bool closedAtOpening_ = false;
    bool formClosed_ = false;
};

} // namespace Cli_Mvt04215
