// The transfer service: moves the items of one request from their origin tabs to the destination tab,
// whole or split, with everything that hangs off them, in one transaction.

#include "DataModuleAccess.h"
#include "DependentRecords.h"
#include "Srv_Mvt04215.h"
#include "TransferMessages.h"
#include "platform/ItemNumbering.h"
#include "platform/Text.h"
#include "schema/CodeValues.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <cmath>
#include <map>
#include <optional>

namespace Srv_Mvt04215 {
namespace {

using platform::Dataset;
using platform::db::Statement;

// Above any rounding of a stored quantity, below any quantity a restaurant sells.
constexpr double QuantityTolerance = 1e-6;
// A deadlock or a serialisation failure against another writer is retried this often.
constexpr int Attempts = 3;

int readInteger(const QString& text, const char* what) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok)
        throw platform::Error(
            QStringLiteral("\"%1\" não é um número inteiro válido (%2).").arg(text, QLatin1String(what)));
    return n;
}

bool isRetryable(const platform::DatabaseError& e) {
    static const QStringList codes = {QStringLiteral("40P01"), QStringLiteral("40001"),
                                      QStringLiteral("23505")};
    return codes.contains(e.nativeCode());
}

class Transfer {
public:
    explicit Transfer(TrdmTrPosicao& dm) : dm_(dm), req_(dm.cdsTransferencia) {}

    // Everything of one attempt, inside the caller's transaction.
    void run() {
        req_.first();
        lockTabsAndCheckDestination();
        readOriginItems();
        QString newItem = platform::TdtmZelProxCodigo(dm_.adcTrPosicao)
                              .PrxItemComanda(text("CDFILIAL"), text("NRCOMANDA"), req_.recordCount());
        currentSequence_ = highestDestinationSequence();
        newSequences_.clear();

        for (req_.first(); !req_.eof(); req_.next()) {
            moveCurrentRecord(newItem);
            newItem = platform::Ajusta(QString::number(readInteger(newItem, "NRPRODCOMVEN") + 1), 6);
        }
        req_.last();
        adjustSurchargesAndTable();
    }

private:
    // The request's fields by name; the name's position is looked up once per request.
    platform::FieldRef field(const char* name) {
        auto it = fieldIndex_.find(name);
        if (it == fieldIndex_.end()) {
            const int index = req_.fieldIndex(QString::fromLatin1(name));
            if (index < 0)
                throw platform::Error(QStringLiteral("A solicitação de transferência não tem o campo %1.")
                                          .arg(QLatin1String(name)));
            it = fieldIndex_.emplace(name, index).first;
        }
        return req_.field(it->second);
    }
    QString text(const char* name) { return field(name).asString(); }
    QVariant value(const char* name) { return field(name).value(); }
    double number(const char* name) { return field(name).asFloat(); }

    // Locks every tab the request touches, in one order for every terminal, then checks that the
    // destination tab belongs to the request's sale and that the sale is open.
    void lockTabsAndCheckDestination() {
        const QString branch = text("CDFILIAL");
        const QString destTab = text("NRCOMANDA");
        const QString destSale = text("NRVENDAREST");
        QSet<QString> origins;
        for (req_.first(); !req_.eof(); req_.next())
            origins.insert(text("NRCOMANDAORIG"));
        originTabs_ = QStringList(origins.cbegin(), origins.cend());
        originTabs_.sort();
        QSet<QString> tabs = origins;
        tabs.insert(destTab);
        QStringList ordered(tabs.cbegin(), tabs.cend());
        ordered.sort();

        QString destTabSale;
        bool destFound = false;
        Statement& lock = dm_.adqBloqComanda;
        for (const QString& tab : std::as_const(ordered)) {
            lock.close();
            lock.setParam(QStringLiteral("P_CDFILIAL"), branch);
            lock.setParam(QStringLiteral("P_NRCOMANDA"), tab);
            lock.open();
            if (tab == destTab && !lock.isEmpty()) {
                destFound = true;
                destTabSale = lock.asString(QStringLiteral("NRVENDAREST"));
            }
            lock.close();
        }
        if (!destFound || destTab.isEmpty() || destTabSale != destSale)
            throw TransferRefused(transferText::destinationNotOpen(destTab, destSale));

        Statement& sale = dm_.adqVerifVendaAberta;
        sale.close();
        sale.setParam(QStringLiteral("P_CDFILIAL"), branch);
        sale.setParam(QStringLiteral("P_NRVENDAREST"), destSale);
        sale.open();
        const bool open = !sale.isEmpty();
        sale.close();
        if (!open)
            throw TransferRefused(transferText::destinationNotOpen(destTab, destSale));
        req_.first();
    }

    int highestDestinationSequence() {
        Statement& q = dm_.adqPesqSeqProdCom;
        q.close();
        q.setParam(QStringLiteral("P_CDFILIAL"), text("CDFILIAL"));
        q.setParam(QStringLiteral("P_NRVENDAREST"), text("NRVENDAREST"));
        q.setParam(QStringLiteral("P_NRCOMANDA"), text("NRCOMANDA"));
        q.open();
        const int highest = q.asInteger(QStringLiteral("NRSEQPRODCOM"));
        q.close();
        return highest;
    }

    QString originSale() {
        Statement& q = dm_.adqBuscaVendaRest;
        q.close();
        q.setParam(QStringLiteral("P_CDFILIAL"), text("CDFILIAL"));
        q.setParam(QStringLiteral("P_NRCOMANDA"), text("NRCOMANDAORIG"));
        q.setParam(QStringLiteral("P_NRPRODCOMVEN"), text("NRPRODCOMVEN"));
        q.open();
        const QString sale = q.asString(QStringLiteral("NRVENDAREST"));
        q.close();
        return sale;
    }

    // What the origin tabs hold now, under lock: the measure of a screen that may be older than the
    // database.
    void readOriginItems() {
        originItems_.clear();
        Statement& q = dm_.adqVerifItensOrig;
        for (const QString& tab : std::as_const(originTabs_)) {
            q.close();
            q.setParam(QStringLiteral("P_CDFILIAL"), text("CDFILIAL"));
            q.setParam(QStringLiteral("P_NRCOMANDA"), tab);
            for (q.open(); !q.eof(); q.next())
                originItems_.insert({tab, q.asString(QStringLiteral("NRPRODCOMVEN"))},
                                    q.asFloat(QStringLiteral("QTPRODCOMVEN")));
            q.close();
        }
        req_.first();
    }

    // A screen that is older than the database must not move an item a second time.
    void checkOriginUnchanged() {
        const auto stored = originItems_.constFind({text("NRCOMANDAORIG"), text("NRPRODCOMVEN")});
        if (stored == originItems_.cend() || std::abs(*stored - number("QTORIGINAL")) > QuantityTolerance)
            throw TransferRefused(transferText::originChanged(text("NRCOMANDAORIG"), text("NRPRODCOMVEN")));
    }

    // The group a whole-moved record joins: one new sequence per origin group (tab and sequence), the
    // first of them opening the one after the destination's highest. Empty for an unsequenced record.
    QVariant renumberedSequence() {
        const QString source = text("NRSEQPRODCOM");
        if (source.isEmpty())
            return QString();
        const auto key = std::make_pair(text("NRCOMANDAORIG"), readInteger(source, "NRSEQPRODCOM"));
        auto it = newSequences_.find(key);
        if (it == newSequences_.end())
            it = newSequences_.emplace(key, ++currentSequence_).first;
        return platform::Ajusta(QString::number(it->second), 3);
    }

    // A split row carries the request's values exactly as a whole row does; only its quantity differs
    // and it joins no group.
    void insertNewItem(const QString& newItem, bool whole) {
        Statement& ins = dm_.acmInsProd;
        auto same = [&](const char* param, const char* name) {
            ins.setParam(QString::fromLatin1(param), value(name));
        };
        // an empty number stays empty: 0 would be a price, a discount or a count the item never had
        auto asNumber = [&](const char* param, const char* name) {
            const platform::FieldRef f = field(name);
            ins.setParam(QString::fromLatin1(param), f.isNull() ? QVariant() : QVariant(f.asFloat()));
        };
        same("P_CDFILIAL", "CDFILIAL");
        same("P_NRVENDAREST", "NRVENDAREST");
        same("P_NRCOMANDA", "NRCOMANDA");
        ins.setParam(QStringLiteral("P_NRPRODCOMVEN"), newItem);
        same("P_CDPRODUTO", "CDPRODUTO");
        asNumber("P_QTPRODCOMVEN", "QTPRODCOMVEN");
        asNumber("P_VRPRECCOMVEN", "VRPRECCOMVEN");
        asNumber("P_VRPRECCLCOMVEN", "VRPRECCLCOMVEN");
        same("P_IDSTPRCOMVEN", "IDSTPRCOMVEN");
        asNumber("P_VRDESCCOMVEN", "VRDESCCOMVEN");
        asNumber("P_VRACRCOMVEN", "VRACRCOMVEN");
        same("P_DTHRINCOMVEN", "DTHRINCOMVEN");
        same("P_NRMESADSCOMORIT", "NRMESAORI");
        same("P_CDVENDEDOR", "CDVENDEDOR");
        same("P_CDPRODPROMOCAO", "CDPRODPROMOCAO");
        same("P_CDCAIXACOLETOR", "CDCAIXACOLETOR");
        same("P_CDLOJA", "CDLOJAABER");
        same("P_NRSEQPRODCUP", "NRSEQPRODCUP");
        same("P_NRLUGARMESA", "NRLUGARMESA");
        same("P_TXPRODCOMVEN", "TXPRODCOMVEN");
        same("P_CDGRPOCOR", "CDGRPOCOR");
        same("P_CDOCORR", "CDOCORR");
        same("P_IDPRODIMPFIS", "IDPRODIMPFIS");
        same("P_IDORIGPEDCMD", "IDORIGPEDCMD");
        same("P_DSOBSPEDDIGCMD", "DSOBSPEDDIGCMD");
        same("P_NRPEDIDOZEL", "NRPEDIDOZEL");
        asNumber("P_NRATRAPRODCOVE", "NRATRAPRODCOVE");
        same("P_CDSENHAPED", "CDSENHAPED");
        same("P_IDDIVIDECONTA", "IDDIVIDECONTA");
        same("P_NRPRODORIG", "NRPRODORIG");
        asNumber("P_QTITEMREFIL", "QTITEMREFIL");
        same("P_IDPRODREFIL", "IDPRODREFIL");
        same("P_NRINSCRCONS", "NRINSCRCONS");
        same("P_NMCONSVEND", "NMCONSVEND");
        same("P_DSENDEVENDA", "DSENDEVENDA");
        ins.setParam(QStringLiteral("P_NRSEQPRODCOM"), whole ? renumberedSequence() : QVariant());
        ins.execute();
    }

    void setOriginQuantity(double remaining) {
        Statement& upd = dm_.acmAlterQuant;
        upd.setParam(QStringLiteral("P_QTPRODCOMVEN"), remaining);
        upd.setParam(QStringLiteral("P_CDFILIAL"), text("CDFILIAL"));
        upd.setParam(QStringLiteral("P_NRCOMANDA"), text("NRCOMANDAORIG"));
        upd.setParam(QStringLiteral("P_NRPRODCOMVEN"), text("NRPRODCOMVEN"));
        upd.execute();
    }

    void deleteOriginItem() {
        for (Statement* del : {&dm_.acmDelProdEst, &dm_.acmDelProd}) {
            del->setParam(QStringLiteral("P_CDFILIAL"), text("CDFILIAL"));
            del->setParam(QStringLiteral("P_NRCOMANDA"), text("NRCOMANDAORIG"));
            del->setParam(QStringLiteral("P_NRPRODCOMVEN"), text("NRPRODCOMVEN"));
            del->execute();
        }
    }

    void moveCurrentRecord(const QString& newItem) {
        const QString sale = originSale();
        checkOriginUnchanged();
        const double original = number("QTORIGINAL");
        const double moved = number("QTPRODCOMVEN");
        // exact equality moves the item whole; any difference splits it
        const bool whole = original - moved == 0;
        insertNewItem(newItem, whole);
        // a quantity of nothing would leave an item row that holds nothing
        if (moved <= 0)
            throw platform::Error(transferText::failed());
        DependentRecords dependents(dm_, newItem);
        if (whole) {
            dependents.copyObservations();
            dependents.copyComponents();
            dependents.recordMove(sale);
            deleteOriginItem();
        } else {
            setOriginQuantity(original - moved);
            if (original - moved < 0)
                throw platform::Error(transferText::failed());
            dependents.copyObservations();
            dependents.recordMove(sale);
            dependents.copyComponents();
        }
        surchargeByOriginTab_[text("NRCOMANDAORIG")] += number("VRACRCOMVEN");
    }

    // Every moved item's surcharge leaves its own origin tab and reaches the destination tab.
    void adjustSurchargesAndTable() {
        Statement& upd = dm_.acmUpdComanda;
        double total = 0;
        for (auto it = surchargeByOriginTab_.cbegin(); it != surchargeByOriginTab_.cend(); ++it)
            total += it.value();
        upd.setParam(QStringLiteral("P_CDFILIAL"), text("CDFILIAL"));
        upd.setParam(QStringLiteral("P_CDLOJA"), text("CDLOJAABER"));
        upd.setParam(QStringLiteral("P_VRACRCOMANDA"), total);
        upd.setParam(QStringLiteral("P_NRCOMANDA"), text("NRCOMANDA"));
        upd.execute();
        for (auto it = surchargeByOriginTab_.cbegin(); it != surchargeByOriginTab_.cend(); ++it) {
            upd.setParam(QStringLiteral("P_VRACRCOMANDA"), it.value() * -1);
            upd.setParam(QStringLiteral("P_NRCOMANDA"), it.key());
            upd.execute();
        }

        Statement& table = dm_.acmUpdMesa;
        table.setParam(QStringLiteral("P_IDSTMESAAUX"), schema::codes::TableOccupied);
        table.setParam(QStringLiteral("P_CDFILIAL"), text("CDFILIAL"));
        table.setParam(QStringLiteral("P_CDLOJA"), text("CDLOJAABER"));
        table.setParam(QStringLiteral("P_NRMESA"), text("NRMESADES"));
        table.execute();
    }

    TrdmTrPosicao& dm_;
    Dataset& req_;
    std::map<const char*, int> fieldIndex_;
    int currentSequence_ = 0;
    std::map<std::pair<QString, int>, int> newSequences_;
    QMap<QString, double> surchargeByOriginTab_;
    QStringList originTabs_;
    QHash<std::pair<QString, QString>, double> originItems_; // (tab, item) -> quantity
};

// A request names each origin item at most once: a second record would move it twice.
void checkWellFormed(Dataset& req) {
    if (req.isEmpty())
        throw TransferRefused(transferText::emptyRequest());
    QSet<QString> seen;
    for (req.first(); !req.eof(); req.next()) {
        const QString tab = req.field(QStringLiteral("NRCOMANDAORIG")).asString();
        const QString item = req.field(QStringLiteral("NRPRODCOMVEN")).asString();
        const QString key = req.field(QStringLiteral("CDFILIAL")).asString() + u'\x1f' + tab + u'\x1f' + item;
        if (seen.contains(key))
            throw TransferRefused(transferText::duplicateItem(tab, item));
        seen.insert(key);
    }
    req.first();
}

} // namespace

QVariant setTransferencia(const QVariant& request) {
    TrdmTrPosicao& dm = dataModule();
    const QByteArray packet =
        request.metaType().id() == QMetaType::QString ? request.toString().toUtf8() : request.toByteArray();
    // A request that cannot be read leaves as an exception, before any transaction.
    dm.cdsTransferencia.loadPacket(packet, QStringLiteral("setTransferencia"));
    for (int attempt = 1;; ++attempt) {
        try {
            checkWellFormed(dm.cdsTransferencia);
            dm.StartTrans();
            Transfer(dm).run();
            dm.CommitTrans();
            return QVariant();
        } catch (const std::exception& e) {
            try {
                dm.RollbackTrans();
            } catch (const std::exception&) {
                // the connection is gone: the server has dropped the transaction with it
            }
            const auto* dbError = dynamic_cast<const platform::DatabaseError*>(&e);
            if (dbError && attempt < Attempts && isRetryable(*dbError))
                continue;
            return failureText(e);
        }
    }
}

} // namespace Srv_Mvt04215
