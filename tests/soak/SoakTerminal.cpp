#include "SoakTerminal.h"

#include "SoakJournal.h"
#include "SoakSeed.h"

#include "platform/Dataset.h"
#include "platform/Session.h"
#include "platform/db/Connection.h"
#include "schema/CodeValues.h"
#include "schema/ItemRecord.h"
#include "server/Srv_Mvt04215.h"
#include "server/TransferMessages.h"
#include "server/TrdmTrPosicao.h"

#include <QDateTime>
#include <QJsonArray>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QThread>
#include <cstdio>
#include <deque>
#include <random>

namespace soak {
namespace {

using platform::Dataset;
namespace codes = schema::codes;

// Whether a text is the one a template makes, whatever its two arguments were.
bool madeBy(const QString& text, const QString& madeWithMarkers) {
    QStringList parts;
    for (const QString& p : madeWithMarkers.split(QRegularExpression(QStringLiteral("[\\x01\\x02]"))))
        parts << QRegularExpression::escape(p);
    const QRegularExpression re(QStringLiteral("\\A") + parts.join(QStringLiteral("(.*)")) +
                                    QStringLiteral("\\z"),
                                QRegularExpression::DotMatchesEverythingOption);
    return re.match(text).hasMatch();
}

const QString first = QString(QChar(1));
const QString second = QString(QChar(2));

bool isStaleRefusal(const QString& text) {
    return madeBy(text, Srv_Mvt04215::transferText::originChanged(first, second));
}
bool isClosedRefusal(const QString& text) {
    return madeBy(text, Srv_Mvt04215::transferText::destinationNotOpen(first, second));
}

QString f(Dataset& ds, const char* name) {
    return ds.field(QString::fromLatin1(name)).asString();
}

// A request as a screen left it, kept to be sent again later from a stale screen.
struct Request {
    QByteArray packet;
    QString origin, destination, destinationTab;
    QJsonArray records;
    QJsonArray splitTabs;
};

class Terminal {
public:
    explicit Terminal(const TerminalOptions& o)
        : o_(o), rng_(o.seed), journal_(o.journal), sql_(QStringLiteral("soak-terminal")) {
        dm_.connectionStringOverride = o.database;
        dm_.adcTrPosicao.open();
        Srv_Mvt04215::rdmTrPosicao = &dm_;
        sql_.setConnectionString(o.database);
        sql_.afterConnect = [](platform::db::Connection& c) {
            platform::SetADODBSession(c);
        };
        sql_.open();
    }
    ~Terminal() { Srv_Mvt04215::rdmTrPosicao = nullptr; }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    int run() {
        int sent = 0;
        // a restaurant with nothing left to move must not keep a terminal spinning
        const int screens = 50 * o_.transfers + 200;
        for (int screen = 0; sent < o_.transfers; ++screen) {
            if (QDateTime::currentMSecsSinceEpoch() >= o_.deadline) {
                journal_.write({{QStringLiteral("e"), QStringLiteral("end")},
                                {QStringLiteral("why"), QStringLiteral("deadline")}});
                return 0;
            }
            if (screen >= screens) {
                finding(QStringLiteral("%1 screens opened for %2 requests sent: nothing left to move")
                            .arg(screen)
                            .arg(sent));
                journal_.write({{QStringLiteral("e"), QStringLiteral("end")},
                                {QStringLiteral("why"), QStringLiteral("stuck")}});
                return 0;
            }
            const bool didSend = (!old_.empty() && chance(0.07)) ? replay() : openScreen();
            if (didSend) {
                ++sent;
                std::printf("P %d\n", sent);
                std::fflush(stdout);
            }
        }
        journal_.write(
            {{QStringLiteral("e"), QStringLiteral("end")}, {QStringLiteral("why"), QStringLiteral("quota")}});
        return 0;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }

    void finding(const QString& text) {
        journal_.write({{QStringLiteral("e"), QStringLiteral("finding")}, {QStringLiteral("text"), text}});
    }

    // The screen from opening to confirmation; true when a request went to the transfer.
    bool openScreen() {
        const QString origin = o_.tables.at(pick(int(o_.tables.size())));
        QString destination;
        do
            destination = o_.tables.at(pick(int(o_.tables.size())));
        while (destination == origin);

        const QVariant items = Srv_Mvt04215::getProdOrig(origin, Branch, Store, CoverProduct,
                                                         ConsumptionProduct, FemaleConsumptionProduct);
        if (items.typeId() == QMetaType::QString) {
            finding(QStringLiteral("getProdOrig(%1): %2").arg(origin, items.toString()));
            return false;
        }
        const QVariant check = Srv_Mvt04215::getValidaMesaDes(Branch, Store, destination, origin);
        if (check.typeId() == QMetaType::QString) {
            finding(QStringLiteral("getValidaMesaDes(%1): %2").arg(destination, check.toString()));
            return false;
        }
        Dataset orig(QStringLiteral("cdsProdOrig"));
        orig.loadPacket(items.toByteArray(), QStringLiteral("getProdOrig"));
        Dataset dest(QStringLiteral("cdsVerificaMesaDes"));
        dest.loadPacket(check.toByteArray(), QStringLiteral("getValidaMesaDes"));

        // the screen refuses to confirm into a table without an open sale
        if (dest.isEmpty() || f(dest, "NRCOMANDA").isEmpty()) {
            journal_.write({{QStringLiteral("e"), QStringLiteral("skip")},
                            {QStringLiteral("why"), QStringLiteral("closed")},
                            {QStringLiteral("table"), destination}});
            if (chance(0.6))
                reopen(destination);
            return false;
        }
        const QString status = f(dest, "IDSTMESAAUX");
        if (status == codes::TableBillRequested || status == codes::TableBillReceiving) {
            journal_.write({{QStringLiteral("e"), QStringLiteral("skip")},
                            {QStringLiteral("why"), QStringLiteral("bill")},
                            {QStringLiteral("table"), destination}});
            return false;
        }
        if (orig.isEmpty()) {
            journal_.write({{QStringLiteral("e"), QStringLiteral("skip")},
                            {QStringLiteral("why"), QStringLiteral("empty")},
                            {QStringLiteral("table"), origin}});
            if (chance(0.3))
                tryToFree(origin, destination);
            return false;
        }

        Dataset des(QStringLiteral("cdsProdDes"));
        des.setFieldDefs(schema::destinationListFields());
        des.createDataSet();
        Request request{{}, origin, destination, {}, {}};
        const bool emptiesOrigin = choose(orig, des, destination, request);
        if (des.isEmpty()) {
            journal_.write({{QStringLiteral("e"), QStringLiteral("skip")},
                            {QStringLiteral("why"), QStringLiteral("nothing")},
                            {QStringLiteral("table"), origin}});
            return false;
        }
        // confirmation stamps the destination's first tab and sale and the origin table on every record
        const QString destTab = f(dest, "NRCOMANDA");
        const QString destSale = f(dest, "NRVENDAREST");
        for (des.first(); !des.eof(); des.next()) {
            des.edit();
            des.field(QStringLiteral("NRCOMANDA")).setString(destTab);
            des.field(QStringLiteral("NRVENDAREST")).setString(destSale);
            des.field(QStringLiteral("NRMESAORI")).setString(origin);
            des.post();
        }
        request.destinationTab = destTab;
        if (!request.splitTabs.isEmpty())
            request.splitTabs << destTab;
        request.packet = des.packetJson();

        // an operator who looks twice before confirming
        if (chance(0.2))
            QThread::msleep(1 + pick(30));
        old_.push_back(request);
        if (old_.size() > 8)
            old_.pop_front();
        const QString outcome = send(request, false);
        if (outcome == QLatin1String("committed") && (emptiesOrigin || chance(0.1)))
            tryToFree(origin, destination);
        return true;
    }

    bool replay() {
        const Request& r = old_.at(std::size_t(pick(int(old_.size()))));
        send(r, true);
        return true;
    }

    // Picks items as an operator would: some or all of them, sequence groups whole with every member of
    // their tab, other items whole or in part. True when every offered item moves whole.
    bool choose(Dataset& orig, Dataset& des, const QString& destination, Request& request) {
        const int n = orig.recordCount();
        QList<int> chosen;
        for (int row = 0; row < n; ++row) {
            orig.setRecNo(row);
            // an item whose seat is asking for the bill cannot be added by itself
            if (f(orig, "IDSTLUGARMESA") != codes::SeatBlocked)
                chosen << row;
        }
        std::shuffle(chosen.begin(), chosen.end(), rng_);
        // a waiter moves a handful of items, or a small table's everything; splits stop once a table
        // is crowded, so that a long run's restaurant stops growing
        const bool all = n <= 12 && chance(0.15);
        if (!all)
            chosen = chosen.mid(0, 1 + pick(5));
        const bool splitsAllowed = n < 40;

        QSet<int> added;
        bool anySplit = false;
        QSet<QString> splitTabs;
        for (int row : std::as_const(chosen)) {
            if (added.contains(row))
                continue;
            orig.setRecNo(row);
            const QString seat = QString::number(1 + pick(4));
            const QString sequence = f(orig, "NRSEQPRODCOM");
            const QString tab = f(orig, "NRCOMANDA");
            if (!sequence.isEmpty()) {
                for (int member = 0; member < n; ++member) {
                    orig.setRecNo(member);
                    if (added.contains(member) || f(orig, "NRSEQPRODCOM") != sequence ||
                        f(orig, "NRCOMANDA") != tab)
                        continue;
                    add(orig, des, orig.field(QStringLiteral("QTPRODCOMVEN")).asFloat(), seat, destination,
                        request);
                    added.insert(member);
                }
                continue;
            }
            const double held = orig.field(QStringLiteral("QTPRODCOMVEN")).asFloat();
            const bool byUnit = f(orig, "IDPESAPROD") == codes::SoldByUnit;
            double quantity = held;
            const bool divisible = f(orig, "QTPRODCOMVEN") != QLatin1String("1") && !(byUnit && held < 1);
            if (!all && splitsAllowed && divisible && chance(0.5))
                quantity = part(held, byUnit);
            add(orig, des, quantity, seat, destination, request);
            added.insert(row);
            if (quantity != held) {
                anySplit = true;
                splitTabs.insert(tab);
            }
        }
        for (const QString& t : std::as_const(splitTabs))
            request.splitTabs << t;
        return !anySplit && added.size() == n;
    }

    // A part strictly between nothing and all: whole units of a unit product, grams of a weighed one.
    double part(double held, bool byUnit) {
        if (byUnit) {
            const int most = int(std::ceil(held)) - 1;
            if (most < 1)
                return held;
            const double k = 1 + pick(most);
            return k < held ? k : held;
        }
        const int grams = int(std::floor(held * 1000 + 0.5));
        if (grams < 2)
            return held;
        const double q = (1 + pick(grams - 1)) / 1000.0;
        return q < held ? q : held;
    }

    // The screen's InsereProdDes: one destination record from the current origin record.
    void add(Dataset& orig, Dataset& des, double quantity, const QString& seat, const QString& destination,
             Request& request) {
        auto src = [&](const char* n) {
            return orig.field(QString::fromLatin1(n));
        };
        auto dst = [&](const char* n) {
            return des.field(QString::fromLatin1(n));
        };
        auto text = [&](const char* to, const char* from) {
            if (src(from).isNull())
                dst(to).clear();
            else
                dst(to).setString(src(from).asString());
        };
        auto same = [&](const char* name) {
            text(name, name);
        };
        auto numberAsText = [&](const char* name) {
            dst(name).setString(src(name).asString());
        };
        auto number = [&](const char* to, const char* from) {
            dst(to).setFloat(src(from).asFloat());
        };

        des.insert();
        dst("CDFILIAL").setString(Branch);
        same("NRVENDAREST");
        text("NRCOMANDAORIG", "NRCOMANDA");
        same("NRPRODCOMVEN");
        same("CDPRODUTO");
        dst("QTPRODCOMVEN").setFloat(quantity);
        number("QTORIGINAL", "QTPRODCOMVEN");
        numberAsText("VRPRECCOMVEN");
        same("TXPRODCOMVEN");
        same("IDSTPRCOMVEN");
        numberAsText("VRDESCCOMVEN");
        dst("NRLUGARMESA").setString(seat);
        for (const char* n : {"CDGRPOCOR", "CDOCORR", "NRMESAORIG", "CDLOJAORIG"})
            same(n);
        dst("DTHRINCOMVEN").setDateTime(src("DTHRINCOMVEN").asDateTime());
        same("IDPRODIMPFIS");
        same("CDLOJA");
        numberAsText("VRACRCOMVEN");
        for (const char* n : {"NRSEQPRODCOM", "NRSEQPRODCUP", "DSCOMANDAORI", "NRCOMANDAORI", "NRPRODCOMORI",
                              "CDCAIXACOLETOR"})
            same(n);
        numberAsText("VRPRECCLCOMVEN");
        for (const char* n : {"CDPRODPROMOCAO", "CDARVPROD", "NMPRODUTO", "IDPESAPROD"})
            same(n);
        dst("CDLOJAABER").setString(Store);
        dst("NRMESADES").setString(destination);
        same("CDVENDEDOR");
        text("NRLUGARMESAORIG", "NRLUGARMESA");
        same("IDORIGPEDCMD");
        same("DSOBSPEDDIGCMD");
        number("NRATRAPRODCOVE", "NRATRAPRODCOVE");
        for (const char* n : {"NRPEDIDOZEL", "CDSENHAPED", "IDDIVIDECONTA", "NRPRODORIG"})
            same(n);
        number("QTITEMREFIL", "QTITEMREFIL");
        for (const char* n : {"IDPRODREFIL", "NRINSCRCONS", "NMCONSVEND", "DSENDEVENDA"})
            same(n);
        same("IDSTLUGARMESA");
        des.post();

        request.records << QJsonObject{
            {QStringLiteral("tab"), f(orig, "NRCOMANDA")},
            {QStringLiteral("item"), f(orig, "NRPRODCOMVEN")},
            {QStringLiteral("product"), f(orig, "CDPRODUTO")},
            {QStringLiteral("marker"), f(orig, "DSENDEVENDA")},
            {QStringLiteral("qty"), quantity},
            {QStringLiteral("of"), orig.field(QStringLiteral("QTPRODCOMVEN")).asFloat()}};
    }

    // Confirmation: clean-up, then the transfer; the outcome as journalled.
    QString send(const Request& r, bool replay) {
        const QString id = QStringLiteral("%1-%2").arg(o_.instance).arg(++requests_);
        journal_.write({{QStringLiteral("e"), QStringLiteral("send")},
                        {QStringLiteral("id"), id},
                        {QStringLiteral("replay"), replay},
                        {QStringLiteral("origin"), r.origin},
                        {QStringLiteral("destination"), r.destination},
                        {QStringLiteral("tab"), r.destinationTab},
                        {QStringLiteral("records"), r.records},
                        {QStringLiteral("split"), r.splitTabs}});
        // the coordinator may aim a kill at this moment
        std::printf("S\n");
        std::fflush(stdout);

        const QVariant cleanup = Srv_Mvt04215::setDeletaVendaRest(r.destination.toStdString(),
                                                                  Branch.toStdString(), Store.toStdString());
        if (cleanup.typeId() != QMetaType::Int) {
            const QString text =
                QStringLiteral("setDeletaVendaRest(%1) failed: %2").arg(r.destination, cleanup.toString());
            finding(text);
            journal_.write({{QStringLiteral("e"), QStringLiteral("result")},
                            {QStringLiteral("id"), id},
                            {QStringLiteral("outcome"), QStringLiteral("other")},
                            {QStringLiteral("text"), text}});
            return QStringLiteral("other");
        }
        if (cleanup.toInt() != 0) {
            // nothing in the soak leaves orphans: what the clean-up found, a service left behind
            journal_.write({{QStringLiteral("e"), QStringLiteral("cleanup")},
                            {QStringLiteral("id"), id},
                            {QStringLiteral("code"), cleanup.toInt()}});
            finding(QStringLiteral("setDeletaVendaRest(%1) before request %2 removed orphans (code %3)")
                        .arg(r.destination, id)
                        .arg(cleanup.toInt()));
        }

        const QVariant result = Srv_Mvt04215::setTransferencia(r.packet);
        QString outcome, text;
        if (!result.isValid() || result.isNull()) {
            outcome = QStringLiteral("committed");
        } else {
            text = result.toString();
            if (isStaleRefusal(text))
                outcome = QStringLiteral("stale");
            else if (isClosedRefusal(text))
                outcome = QStringLiteral("closed");
            else
                outcome = QStringLiteral("other");
        }
        journal_.write({{QStringLiteral("e"), QStringLiteral("result")},
                        {QStringLiteral("id"), id},
                        {QStringLiteral("outcome"), outcome},
                        {QStringLiteral("text"), text}});
        if (outcome == QLatin1String("other"))
            finding(QStringLiteral("request %1 (%2 -> %3, %4 records%5) refused with %6")
                        .arg(id, r.origin, r.destination)
                        .arg(r.records.size())
                        .arg(replay ? QStringLiteral(", replayed") : QString(),
                             text.isEmpty() ? QStringLiteral("an empty text")
                                            : QStringLiteral("\"%1\"").arg(text)));
        return outcome;
    }

    void tryToFree(const QString& table, const QString& joinTo) {
        const bool empty = Srv_Mvt04215::setVerificaMesaVazia(Branch, Store, table);
        journal_.write({{QStringLiteral("e"), QStringLiteral("verify")},
                        {QStringLiteral("table"), table},
                        {QStringLiteral("empty"), empty}});
        if (!empty)
            return;
        const bool freed = Srv_Mvt04215::setLiberamesa(Branch, Store, table, joinTo);
        journal_.write({{QStringLiteral("e"), QStringLiteral("free")},
                        {QStringLiteral("table"), table},
                        {QStringLiteral("ok"), freed}});
    }

    // Another module's job in the suite: a free table gets a new open sale with one tab, in one
    // transaction, so that the clean-up never sees a sale without a tab.
    void reopen(const QString& table) {
        const bool pg = sql_.dialect() == platform::db::Dialect::PostgreSQL;
        ++reopenings_;
        const QString sale = QStringLiteral("N%1%2")
                                 .arg(o_.instance, 3, 10, QLatin1Char('0'))
                                 .arg(reopenings_, 5, 10, QLatin1Char('0'));
        const QString tab = QStringLiteral("R%1%2")
                                .arg(o_.instance, 3, 10, QLatin1Char('0'))
                                .arg(reopenings_, 5, 10, QLatin1Char('0'));
        try {
            sql_.beginTransaction();
            auto run = [&](const QString& sql) {
                QSqlQuery q(sql_.database());
                if (!q.prepare(sql))
                    throw sql_.error(q.lastError(), sql);
                q.addBindValue(Branch);
                q.addBindValue(Store);
                q.addBindValue(table);
                if (!q.exec())
                    throw sql_.error(q.lastError(), sql);
                return q.next() ? q.value(0).toInt() : 0;
            };
            // two terminals re-opening one table queue up on its row
            run(QStringLiteral("SELECT 1 FROM MESA WHERE CDFILIAL = ? AND CDLOJA = ? AND NRMESA = ?") +
                (pg ? QStringLiteral(" FOR UPDATE") : QString()));
            const int open =
                run(QStringLiteral("SELECT COUNT(*) FROM VENDAREST WHERE CDFILIAL = ? AND CDLOJA = ? "
                                   "AND NRMESA = ? AND DTHRFECHMESA IS NULL"));
            if (open > 0) {
                sql_.rollback();
                return;
            }
            insertRow(sql_, QStringLiteral("VENDAREST"),
                      {{QStringLiteral("CDFILIAL"), Branch},
                       {QStringLiteral("NRVENDAREST"), sale},
                       {QStringLiteral("NRMESA"), table},
                       {QStringLiteral("CDLOJA"), Store},
                       {QStringLiteral("NRPESMESAVEN"), QStringLiteral("2")},
                       {QStringLiteral("DTHRFECHMESA"), QVariant()}});
            insertRow(sql_, QStringLiteral("COMANDAVEN"),
                      {{QStringLiteral("CDFILIAL"), Branch},
                       {QStringLiteral("NRVENDAREST"), sale},
                       {QStringLiteral("NRCOMANDA"), tab},
                       {QStringLiteral("CDLOJA"), Store},
                       {QStringLiteral("DSCOMANDA"), QString(QStringLiteral("Comanda ") + tab)},
                       {QStringLiteral("VRACRCOMANDA"), 0.0}});
            run(QStringLiteral(
                "UPDATE MESA SET IDSTMESAAUX = 'O' WHERE CDFILIAL = ? AND CDLOJA = ? AND NRMESA = ?"));
            sql_.commit();
            journal_.write({{QStringLiteral("e"), QStringLiteral("reopen")},
                            {QStringLiteral("table"), table},
                            {QStringLiteral("sale"), sale},
                            {QStringLiteral("tab"), tab}});
        } catch (const std::exception& e) {
            try {
                sql_.rollback();
            } catch (const std::exception&) {
                // the connection is gone with its transaction
            }
            finding(QStringLiteral("re-opening table %1: %2").arg(table, QString::fromUtf8(e.what())));
        }
    }

    TerminalOptions o_;
    std::mt19937_64 rng_;
    JournalWriter journal_;
    Srv_Mvt04215::TrdmTrPosicao dm_;
    platform::db::Connection sql_;
    std::deque<Request> old_;
    int requests_ = 0;
    int reopenings_ = 0;
};

} // namespace

int runTerminal(const TerminalOptions& options) {
    try {
        Terminal t(options);
        return t.run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "terminal %d: %s\n", options.instance, e.what());
        return 3;
    }
}

} // namespace soak
