// The services that keep tables and their sale records tidy around a transfer.

#include "DataModuleAccess.h"
#include "Srv_Mvt04215.h"
#include "schema/CodeValues.h"

namespace Srv_Mvt04215 {
namespace {

using platform::db::Statement;

// The table's open sale number, "" when it has none.
QString openSale(TrdmTrPosicao& dm, const QString& filial, const QString& loja, const QString& mesa) {
    Statement& q = dm.adqSelecionaVendarest;
    q.close();
    q.setParam(QStringLiteral("P_CDFILIAL"), filial);
    q.setParam(QStringLiteral("P_CDLOJA"), loja);
    q.setParam(QStringLiteral("P_NRMESA"), mesa);
    q.open();
    return q.asString(QStringLiteral("NRVENDAREST"));
}

// True when the sale has item rows of any status.
bool saleHasItems(TrdmTrPosicao& dm, const QString& filial, const QString& sale) {
    Statement& q = dm.adqVerificaItemCancelado;
    q.close();
    q.setParam(QStringLiteral("P_CDFILIAL"), filial);
    q.setParam(QStringLiteral("P_NRVENDAREST"), sale);
    q.open();
    return !q.isEmpty();
}

// Runs a query afresh with its parameters and tells whether it found rows.
bool found(Statement& q) {
    q.close();
    q.open();
    return !q.isEmpty();
}

void freeTable(TrdmTrPosicao& dm, const QString& filial, const QString& loja, const QString& mesa) {
    dm.acmLiberaMesa.setParam(QStringLiteral("P_CDFILIAL"), filial);
    dm.acmLiberaMesa.setParam(QStringLiteral("P_CDLOJA"), loja);
    dm.acmLiberaMesa.setParam(QStringLiteral("P_NRMESA"), mesa);
    dm.acmLiberaMesa.execute();
}

} // namespace

bool setVerificaMesaVazia(const QString& filial, const QString& loja, const QString& mesa) {
    try {
        TrdmTrPosicao& dm = dataModule();
        return !saleHasItems(dm, filial, openSale(dm, filial, loja, mesa));
    } catch (const std::exception& e) {
        failureText(e, mesa);
        return false;
    }
}

bool setLiberamesa(const QString& filial, const QString& loja, const QString& mesa, const QString& mesaDes) {
    TrdmTrPosicao* dm = nullptr;
    try {
        dm = &dataModule();
        const QString sale = openSale(*dm, filial, loja, mesa);
        if (saleHasItems(*dm, filial, sale))
            return false;
        dm->adcTrPosicao.beginTransaction();
        // Another terminal may have moved items into the table since the look-up: look again under lock.
        Statement& lock = dm->adqBloqComandasVenda;
        lock.setParam(QStringLiteral("P_CDFILIAL"), filial);
        lock.setParam(QStringLiteral("P_NRVENDAREST"), sale);
        found(lock);
        lock.close();
        if (saleHasItems(*dm, filial, sale)) {
            dm->adcTrPosicao.rollback();
            return false;
        }
        dm->acmDeletaComandaven.setParam(QStringLiteral("P_CDFILIAL"), filial);
        dm->acmDeletaComandaven.setParam(QStringLiteral("P_NRVENDAREST"), sale);
        dm->acmDeletaComandaven.execute();
        dm->acmDeletaVendaRest.setParam(QStringLiteral("P_CDFILIAL"), filial);
        dm->acmDeletaVendaRest.setParam(QStringLiteral("P_NRVENDAREST"), sale);
        dm->acmDeletaVendaRest.execute();
        freeTable(*dm, filial, loja, mesa);

        Statement& joins = dm->adqMesaAgrup;
        joins.setParam(QStringLiteral("P_CDFILIAL"), filial);
        joins.setParam(QStringLiteral("P_CDLOJA"), loja);
        joins.setParam(QStringLiteral("P_NRMESA"), mesa);
        if (found(joins)) {
            // only the first join row is handed over
            const QString join = joins.asString(QStringLiteral("NRJUNMESA"));
            joins.close();
            Statement& move = dm->acmUpdMesaAgrup;
            move.setParam(QStringLiteral("P_CDFILIAL"), filial);
            move.setParam(QStringLiteral("P_CDLOJA"), loja);
            move.setParam(QStringLiteral("P_NRMESAORI"), mesa);
            move.setParam(QStringLiteral("P_NRJUNMESA"), join);
            move.setParam(QStringLiteral("P_NRMESADES"), mesaDes);
            move.execute();
        }
        dm->adcTrPosicao.commit();
        return true;
    } catch (const std::exception& e) {
        failureText(e, mesa);
        if (dm) {
            try {
                dm->adcTrPosicao.rollback();
            } catch (const std::exception&) {
                // the connection is gone: the server has dropped the transaction with it
            }
        }
        return false;
    }
}

QVariant setDeletaVendaRest(const std::string& mesaText, const std::string& filialText,
                            const std::string& lojaText) {
    using namespace schema::codes;
    const QString mesa = QString::fromStdString(mesaText);
    const QString filial = QString::fromStdString(filialText);
    const QString loja = QString::fromStdString(lojaText);
    try {
        TrdmTrPosicao& dm = dataModule();
        int code = 0;

        dm.adqVerifItCmd.setParam(QStringLiteral("P_CDFILIAL"), filial);
        if (found(dm.adqVerifItCmd)) {
            dm.adqVerifItCmd.close();
            dm.acmDelItCmd.setParam(QStringLiteral("P_CDFILIAL"), filial);
            dm.acmDelItCmd.execute();
            code += CleanupOrphanItems;
        }

        Statement& orphanTabs = dm.adqVerifCmd;
        orphanTabs.setParam(QStringLiteral("P_CDFILIAL"), filial);
        if (found(orphanTabs)) {
            QString list;
            for (; !orphanTabs.eof(); orphanTabs.next())
                list += orphanTabs.asString(QStringLiteral("NRCOMANDA")) + u'_';
            orphanTabs.close();
            dm.acmDeleleItCmd.setParam(QStringLiteral("P_CDFILIAL"), filial);
            dm.acmDeleleItCmd.setParam(QStringLiteral("P_NRCOMANDA"), list);
            dm.acmDeleleItCmd.execute();
            code += CleanupOrphanTabItems;
            dm.acmDelCmd.setParam(QStringLiteral("P_CDFILIAL"), filial);
            dm.acmDelCmd.execute();
            code += CleanupOrphanTabs;
            freeTable(dm, filial, loja, mesa);
        }

        Statement& tablelessSales = dm.adqDeleteVendaRest;
        tablelessSales.setParam(QStringLiteral("P_MESA"), mesa);
        tablelessSales.setParam(QStringLiteral("P_CDLOJA"), loja);
        if (found(tablelessSales)) {
            tablelessSales.close();
            dm.acmDelVenRes.setParam(QStringLiteral("P_MESA"), mesa);
            dm.acmDelVenRes.setParam(QStringLiteral("P_CDLOJA"), loja);
            dm.acmDelVenRes.execute();
            code += CleanupTablelessSales;
            freeTable(dm, filial, loja, mesa);
        }

        if (code == 0) {
            Statement& anySale = dm.adqVendaRestVazia;
            anySale.setParam(QStringLiteral("P_CDFILIAL"), filial);
            anySale.setParam(QStringLiteral("P_MESA"), mesa);
            anySale.setParam(QStringLiteral("P_CDLOJA"), loja);
            if (!found(anySale))
                freeTable(dm, filial, loja, mesa);
        }
        return code;
    } catch (const std::exception& e) {
        return failureText(e, mesa);
    }
}

} // namespace Srv_Mvt04215
