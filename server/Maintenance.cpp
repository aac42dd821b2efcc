// The services that keep tables and their sale records tidy around a transfer.

#include "MethodCall.h"
#include "Srv_Mvt04215.h"
#include "platform/db/Transaction.h"
#include "schema/CodeValues.h"

#include <optional>

namespace Srv_Mvt04215 {
namespace {

// The table's open sale number, "" when it has none.
QString openSale(TrdmTrPosicao& dm, const QString& filial, const QString& loja, const QString& mesa) {
    return dm.adqSelecionaVendarest.run({{"P_CDFILIAL", filial}, {"P_CDLOJA", loja}, {"P_NRMESA", mesa}})
        .asString(QStringLiteral("NRVENDAREST"));
}

// True when the sale has item rows of any status.
bool saleHasItems(TrdmTrPosicao& dm, const QString& filial, const QString& sale) {
    return !dm.adqVerificaItemCancelado.run({{"P_CDFILIAL", filial}, {"P_NRVENDAREST", sale}}).isEmpty();
}

// The table's first join, when it has one.
std::optional<QString> firstJoin(TrdmTrPosicao& dm, const QString& filial, const QString& loja,
                                 const QString& mesa) {
    const auto joins = dm.adqMesaAgrup.run({{"P_CDFILIAL", filial}, {"P_CDLOJA", loja}, {"P_NRMESA", mesa}});
    if (joins.isEmpty())
        return std::nullopt;
    return joins.asString(QStringLiteral("NRJUNMESA"));
}

void freeTable(TrdmTrPosicao& dm, const QString& filial, const QString& loja, const QString& mesa) {
    dm.acmLiberaMesa.execute({{"P_CDFILIAL", filial}, {"P_CDLOJA", loja}, {"P_NRMESA", mesa}});
}

bool releaseTable(TrdmTrPosicao& dm, const QString& filial, const QString& loja, const QString& mesa,
                  const QString& mesaDes) {
    const QString sale = openSale(dm, filial, loja, mesa);
    if (saleHasItems(dm, filial, sale))
        return false;
    platform::db::Transaction transaction(dm.adcTrPosicao);
    // Another terminal may have moved items into the table since the look-up: look again under lock.
    dm.adqBloqComandasVenda.run({{"P_CDFILIAL", filial}, {"P_NRVENDAREST", sale}});
    if (saleHasItems(dm, filial, sale))
        return false;
    dm.acmDeletaComandaven.execute({{"P_CDFILIAL", filial}, {"P_NRVENDAREST", sale}});
    dm.acmDeletaVendaRest.execute({{"P_CDFILIAL", filial}, {"P_NRVENDAREST", sale}});
    freeTable(dm, filial, loja, mesa);
    // only the first join row is handed over
    if (const std::optional<QString> join = firstJoin(dm, filial, loja, mesa))
        dm.acmUpdMesaAgrup.execute({{"P_CDFILIAL", filial},
                                    {"P_CDLOJA", loja},
                                    {"P_NRMESAORI", mesa},
                                    {"P_NRJUNMESA", *join},
                                    {"P_NRMESADES", mesaDes}});
    transaction.commit();
    return true;
}

int deleteOrphans(TrdmTrPosicao& dm, const QString& filial, const QString& loja, const QString& mesa) {
    using namespace schema::codes;
    int code = 0;

    if (!dm.adqVerifItCmd.run({{"P_CDFILIAL", filial}}).isEmpty()) {
        dm.acmDelItCmd.execute({{"P_CDFILIAL", filial}});
        code += CleanupOrphanItems;
    }

    // the orphan tabs as the clearing statement takes them: "12_3_"
    QString orphanTabs;
    for (auto tabs = dm.adqVerifCmd.run({{"P_CDFILIAL", filial}}); !tabs.eof(); tabs.next())
        orphanTabs += tabs.asString(QStringLiteral("NRCOMANDA")) + u'_';
    if (!orphanTabs.isEmpty()) {
        dm.acmDeleleItCmd.execute({{"P_CDFILIAL", filial}, {"P_NRCOMANDA", orphanTabs}});
        code += CleanupOrphanTabItems;
        dm.acmDelCmd.execute({{"P_CDFILIAL", filial}});
        code += CleanupOrphanTabs;
        freeTable(dm, filial, loja, mesa);
    }

    if (!dm.adqDeleteVendaRest.run({{"P_MESA", mesa}, {"P_CDLOJA", loja}}).isEmpty()) {
        dm.acmDelVenRes.execute({{"P_MESA", mesa}, {"P_CDLOJA", loja}});
        code += CleanupTablelessSales;
        freeTable(dm, filial, loja, mesa);
    }

    if (code == 0 &&
        dm.adqVendaRestVazia.run({{"P_CDFILIAL", filial}, {"P_MESA", mesa}, {"P_CDLOJA", loja}}).isEmpty())
        freeTable(dm, filial, loja, mesa);
    return code;
}

} // namespace

bool setVerificaMesaVazia(const QString& filial, const QString& loja, const QString& mesa) {
    const MethodCall call(rdmTrPosicao);
    try {
        TrdmTrPosicao& dm = call.dataModule();
        return !saleHasItems(dm, filial, openSale(dm, filial, loja, mesa));
    } catch (const std::exception& e) {
        call.failed(e, mesa);
        return false;
    }
}

bool setLiberamesa(const QString& filial, const QString& loja, const QString& mesa, const QString& mesaDes) {
    const MethodCall call(rdmTrPosicao);
    try {
        return releaseTable(call.dataModule(), filial, loja, mesa, mesaDes);
    } catch (const std::exception& e) {
        // the transaction, if one began, was rolled back on the way here
        call.failed(e, mesa);
        return false;
    }
}

QVariant setDeletaVendaRest(const std::string& mesa, const std::string& filial, const std::string& loja) {
    const QString table = QString::fromStdString(mesa);
    const MethodCall call(rdmTrPosicao);
    try {
        return deleteOrphans(call.dataModule(), QString::fromStdString(filial), QString::fromStdString(loja),
                             table);
    } catch (const std::exception& e) {
        return call.failed(e, table);
    }
}

} // namespace Srv_Mvt04215
