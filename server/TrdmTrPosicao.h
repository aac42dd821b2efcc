#pragma once

#include "SetStatementCatalogue.h"
#include "StatementCatalogue.h"
#include "platform/Dataset.h"
#include "platform/Export.h"
#include "platform/db/Connection.h"
#include "platform/db/QueryPacket.h"
#include "platform/db/Statement.h"

namespace Srv_Mvt04215 {

// The server data module: the database connection, the statements of the transfer module and the
// in-memory datasets the services work on. One instance per screen; services run one at a time.
class MVT_EXPORT TrdmTrPosicao {
public:
    TrdmTrPosicao();
    ~TrdmTrPosicao();
    TrdmTrPosicao(const TrdmTrPosicao&) = delete;
    TrdmTrPosicao& operator=(const TrdmTrPosicao&) = delete;

    // Declared first: everything below runs on it and must go before it.
    platform::db::Connection adcTrPosicao;

    // Per-dialect texts of the queries whose dialects differ.
    const platform::db::SqlStore& assProdOrig = Srv_Mvt04215::assProdOrig();
    const platform::db::SqlStore& assPesqSeqProdCom = Srv_Mvt04215::assPesqSeqProdCom();
    const platform::db::SqlStore& assDeleleItCmd = Srv_Mvt04215::assDeleleItCmd();

    // Table look-ups
    platform::db::Statement adqProdOrig{adcTrPosicao, statementDef(QStringLiteral("adqProdOrig"))};
    platform::db::Statement adqValMesaDest{adcTrPosicao, statementDef(QStringLiteral("adqValMesaDest"))};

    // Table maintenance
    platform::db::Statement adqSelecionaVendarest{adcTrPosicao,
                                                  statementDef(QStringLiteral("adqSelecionaVendarest"))};
    platform::db::Statement adqVerificaItemCancelado{
        adcTrPosicao, statementDef(QStringLiteral("adqVerificaItemCancelado"))};
    platform::db::Statement acmDeletaComandaven{adcTrPosicao,
                                                statementDef(QStringLiteral("acmDeletaComandaven"))};
    platform::db::Statement acmDeletaVendaRest{adcTrPosicao,
                                               statementDef(QStringLiteral("acmDeletaVendaRest"))};
    platform::db::Statement acmLiberaMesa{adcTrPosicao, statementDef(QStringLiteral("acmLiberaMesa"))};
    platform::db::Statement adqMesaAgrup{adcTrPosicao, statementDef(QStringLiteral("adqMesaAgrup"))};
    platform::db::Statement acmUpdMesaAgrup{adcTrPosicao, statementDef(QStringLiteral("acmUpdMesaAgrup"))};
    platform::db::Statement adqVerifItCmd{adcTrPosicao, statementDef(QStringLiteral("adqVerifItCmd"))};
    platform::db::Statement acmDelItCmd{adcTrPosicao, statementDef(QStringLiteral("acmDelItCmd"))};
    platform::db::Statement adqVerifCmd{adcTrPosicao, statementDef(QStringLiteral("adqVerifCmd"))};
    platform::db::Statement acmDeleleItCmd{adcTrPosicao, statementDef(QStringLiteral("acmDeleleItCmd"))};
    platform::db::Statement acmDelCmd{adcTrPosicao, statementDef(QStringLiteral("acmDelCmd"))};
    platform::db::Statement adqDeleteVendaRest{adcTrPosicao,
                                               statementDef(QStringLiteral("adqDeleteVendaRest"))};
    platform::db::Statement acmDelVenRes{adcTrPosicao, statementDef(QStringLiteral("acmDelVenRes"))};
    platform::db::Statement adqVendaRestVazia{adcTrPosicao,
                                              statementDef(QStringLiteral("adqVendaRestVazia"))};

    // Transfer and the dependent records of a moved item
    platform::db::Statement adqPesqSeqProdCom{adcTrPosicao,
                                              statementDef(QStringLiteral("adqPesqSeqProdCom"))};
    platform::db::Statement adqBuscaVendaRest{adcTrPosicao,
                                              statementDef(QStringLiteral("adqBuscaVendaRest"))};
    platform::db::Statement acmInsProd{adcTrPosicao, statementDef(QStringLiteral("acmInsProd"))};
    platform::db::Statement acmAlterQuant{adcTrPosicao, statementDef(QStringLiteral("acmAlterQuant"))};
    platform::db::Statement acmDelProd{adcTrPosicao, statementDef(QStringLiteral("acmDelProd"))};
    platform::db::Statement acmUpdComanda{adcTrPosicao, statementDef(QStringLiteral("acmUpdComanda"))};
    platform::db::Statement acmUpdMesa{adcTrPosicao, statementDef(QStringLiteral("acmUpdMesa"))};
    platform::db::Statement acmDelProdEst{adcTrPosicao, statementDef(QStringLiteral("acmDelProdEst"))};
    platform::db::Statement adqObsItens{adcTrPosicao, statementDef(QStringLiteral("adqObsItens"))};
    platform::db::Statement acmInsObsItComandaVen{adcTrPosicao,
                                                  statementDef(QStringLiteral("acmInsObsItComandaVen"))};
    platform::db::Statement adqItComandaEst{adcTrPosicao, statementDef(QStringLiteral("adqItComandaEst"))};
    platform::db::Statement acmInsProdEst{adcTrPosicao, statementDef(QStringLiteral("acmInsProdEst"))};
    platform::db::Statement adqObsItensEst{adcTrPosicao, statementDef(QStringLiteral("adqObsItensEst"))};
    platform::db::Statement acmInsObsItComandaEst{adcTrPosicao,
                                                  statementDef(QStringLiteral("acmInsObsItComandaEst"))};
    platform::db::Statement adqVerifPedidoAlt{adcTrPosicao,
                                              statementDef(QStringLiteral("adqVerifPedidoAlt"))};
    platform::db::Statement acmInsPedidoAlt{adcTrPosicao, statementDef(QStringLiteral("acmInsPedidoAlt"))};
    platform::db::Statement acmUpPedidoAlt{adcTrPosicao, statementDef(QStringLiteral("acmUpPedidoAlt"))};
    platform::db::Statement adqBloqComanda{adcTrPosicao, statementDef(QStringLiteral("adqBloqComanda"))};
    platform::db::Statement adqVerifVendaAberta{adcTrPosicao,
                                                statementDef(QStringLiteral("adqVerifVendaAberta"))};
    platform::db::Statement adqItensOrigem{adcTrPosicao, statementDef(QStringLiteral("adqItensOrigem"))};
    platform::db::Statement adqMesaDestino{adcTrPosicao, statementDef(QStringLiteral("adqMesaDestino"))};
    platform::db::Statement adqBloqComandasVenda{adcTrPosicao,
                                                 statementDef(QStringLiteral("adqBloqComandasVenda"))};
    // The transfer's set-based writes (SQLite and PostgreSQL).
    platform::db::Statement adqPlanoLote{adcTrPosicao, statementDef(QStringLiteral("adqPlanoLote"))};
    platform::db::Statement acmInsProdLote{adcTrPosicao, statementDef(QStringLiteral("acmInsProdLote"))};
    platform::db::Statement acmInsObsItComandaVenLote{
        adcTrPosicao, statementDef(QStringLiteral("acmInsObsItComandaVenLote"))};
    platform::db::Statement acmInsProdEstLote{adcTrPosicao,
                                              statementDef(QStringLiteral("acmInsProdEstLote"))};
    platform::db::Statement acmInsObsItComandaEstLote{
        adcTrPosicao, statementDef(QStringLiteral("acmInsObsItComandaEstLote"))};
    platform::db::Statement acmUpPedidoAltLote{adcTrPosicao,
                                               statementDef(QStringLiteral("acmUpPedidoAltLote"))};
    platform::db::Statement acmInsPedidoAltLote{adcTrPosicao,
                                                statementDef(QStringLiteral("acmInsPedidoAltLote"))};
    platform::db::Statement acmAlterQuantLote{adcTrPosicao,
                                              statementDef(QStringLiteral("acmAlterQuantLote"))};
    platform::db::Statement acmDelProdEstLote{adcTrPosicao,
                                              statementDef(QStringLiteral("acmDelProdEstLote"))};
    platform::db::Statement acmDelProdLote{adcTrPosicao, statementDef(QStringLiteral("acmDelProdLote"))};

    // Providers: a query's whole result as one data packet.
    platform::db::Provider dspProdOrig{adqProdOrig};
    platform::db::Provider dspValMesaDest{adqValMesaDest};
    platform::db::Provider dspObsItens{adqObsItens};
    platform::db::Provider dspObsItensEst{adqObsItensEst};

    // In-memory datasets that take their structure from the packet loaded into them.
    platform::Dataset cdsTransferencia{QStringLiteral("cdsTransferencia")};
    platform::Dataset cdsObsItens{QStringLiteral("cdsObsItens")};
    platform::Dataset cdsObsItensEst{QStringLiteral("cdsObsItensEst")};

    // How a transfer writes its rows: set-based where the dialect reads JSON parameters (SQLite,
    // PostgreSQL through Qt's own driver), statement by statement on the suite's own texts (Oracle, SQL
    // Server, and whatever an ODBC connection reaches). Forcing the latter everywhere gives the reference
    // the set-based writer must match.
    enum class TransferWriter { ByDialect, StatementByStatement };
    TransferWriter transferWriter = TransferWriter::ByDialect;

    // When set, connecting uses this connection string instead of the one configured for the host
    // program (the command-line tool's --db, the tests).
    QString connectionStringOverride;

    // The failure text of the last server method, empty when it succeeded: the methods whose result is
    // a truth value cannot carry it, and the command-line tool tells a failure from a "no" by it.
    QString lastFailure;
    // Set by a transfer whose connection dropped after its commit went out. A line to tell beside the
    // success when a new connection found it committed; a failure whose outcome no new connection could
    // find out within the bound: its text says to look at the destination table before repeating it.
    QString lastNotice;
    bool lastOutcomeUnknown = false;

    void adcTrPosicaoBeforeConnect(platform::db::Connection& sender);
    void adcTrPosicaoAfterConnect(platform::db::Connection& sender);
    void MtsDataModuleActivate();
    void MtsDataModuleDeactivate();

    // The suite's transaction interface: a second start joins the open transaction (unlike a
    // Transaction guard, which refuses it); commit and rollback without one do nothing.
    void StartTrans();
    void CommitTrans();
    void RollbackTrans();
};

// The one data module instance, or null.
MVT_EXPORT extern TrdmTrPosicao* rdmTrPosicao;

} // namespace Srv_Mvt04215
