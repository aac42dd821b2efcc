#include "DemoSeed.h"

#include "SuiteTables.h"
#include "platform/Dataset.h"
#include "platform/Errors.h"
#include "platform/Session.h"
#include "platform/db/Connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUuid>
#include <QVariantMap>
#include <cmath>

namespace host::demo {
namespace {

struct Product {
    const char* code;
    const char* tree;
    const char* name;
    bool weighed = false;
};

// Product names carry accents: UTF-8 source text.
const Product products[] = {
    {"1001", "01.01.001", "Picanha na chapa"},
    {"1002", "01.01.002", "Picanha fatiada (kg)", true},
    {"1003", "01.02.001", "Hambúrguer artesanal"},
    {"1004", "01.03.001", "Batata frita"},
    {"1005", "01.03.002", "Porção de mandioca"},
    {"1006", "01.01.003", "Moqueca de peixe"},
    {"2001", "02.01.001", "Caipirinha de limão"},
    {"2002", "02.01.002", "Chope Pilsen 300 ml"},
    {"2003", "02.02.001", "Água com gás 500 ml"},
    {"2004", "02.02.002", "Água sem gás 500 ml"},
    {"2005", "02.02.003", "Refrigerante refil 400 ml"},
    {"2007", "02.03.001", "Café expresso"},
    {"3001", "03.01.001", "Pudim de leite"},
    {"3002", "03.01.002", "Mousse de maracujá"},
    {"5001", "05.01.001", "Pão brioche"},
    {"5002", "05.01.002", "Blend bovino 180 g"},
    {"5003", "05.01.003", "Queijo cheddar"},
    {"5004", "05.01.004", "Bacon"},
    {"8001", "08.01.001", "Combo Executivo"},
    {"8002", "08.01.002", "Combo Executivo - Frango grelhado"},
    {"8003", "08.01.003", "Combo Executivo - Suco de laranja"},
    {"8004", "08.01.004", "Combo Executivo - Pudim de leite"},
    {"9001", "09.01.001", "Couvert artístico"},
    {"9002", "09.01.002", "Consumação mínima"},
    {"9003", "09.01.003", "Consumação mínima feminina"},
};

struct Table {
    const char* number;
    const char* status; // IDSTMESAAUX: O open, S bill requested, R being received, D free
};

const Table tables[] = {{"0012", "O"}, {"0027", "S"}, {"0033", "D"},
                        {"0045", "O"}, {"0046", "O"}, {"0050", "R"}};

struct Sale {
    const char* number;
    const char* table;
    const char* people;
    int closedMinutesAgo; // 0: still open
};

const Sale sales[] = {
    {"0000000859", "0045", "2", 150}, {"0000000860", "0033", "2", 95}, {"0000000871", "0012", "2", 0},
    {"0000000872", "0027", "3", 0},   {"0000000873", "0050", "5", 0},  {"0000000874", "0045", "4", 0},
    {"0000000875", "0046", "3", 0},
};

struct Tab {
    const char* number;
    const char* sale;
    const char* description;
};

const Tab tabs[] = {
    {"401", "0000000859", "Balcão"},   {"331", "0000000860", "Lúcia"},  {"121", "0000000871", "Marina"},
    {"271", "0000000872", "Roberto"},  {"501", "0000000873", "Amigos"}, {"451", "0000000874", "Ricardo"},
    {"452", "0000000874", "Fernanda"}, {"461", "0000000875", "Paulo"},
};

struct Item {
    const char* tab;
    const char* number;
    const char* product;
    double quantity;
    int priceCents; // unit price (per kg for a weighed product)
    const char* seat;
    int minutesAgo;
    int discountCents = 0;
    const char* sequence = nullptr;  // NRSEQPRODCOM: a combo's items share it and move together
    const char* promotion = nullptr; // CDPRODPROMOCAO: the combo the item belongs to
    bool refill = false;
    bool seatBillRequested = false;
    bool serviceCharge = true; // the 10 % surcharge; the cover charge carries none
};

// Item numbers run through a sale, so that the screen lists 0045 in the order it was ordered.
const Item items[] = {
    // 0045, earlier and closed
    {"401", "000001", "1001", 1, 8990, "1", 200},
    {"401", "000002", "2004", 1, 650, "1", 200},
    // 0033, closed
    {"331", "000001", "1006", 1, 9800, "1", 130},
    {"331", "000002", "2002", 2, 1290, "2", 130},
    // 0012
    {"121", "000001", "1006", 1, 9800, "1", 55},
    {"121", "000002", "1005", 1, 2900, "2", 55},
    {"121", "000003", "2002", 2, 1290, "1", 50},
    {"121", "000004", "9001", 2, 1500, "1", 58, 0, nullptr, nullptr, false, false, false},
    // 0027, bill requested
    {"271", "000001", "1001", 1, 8990, "1", 80},
    {"271", "000002", "2004", 2, 650, "2", 80},
    {"271", "000003", "3001", 1, 1200, "3", 20},
    // 0050, being received
    {"501", "000001", "2002", 6, 1290, "1", 110},
    {"501", "000002", "1004", 2, 3200, "3", 100},
    // 0045, the origin
    {"451", "000001", "2001", 1, 2490, "1", 48},
    {"451", "000002", "2003", 1, 750, "1", 48},
    {"451", "000003", "2002", 3, 1290, "2", 47},
    {"451", "000004", "1001", 1, 8990, "2", 40},
    {"451", "000005", "1004", 1, 3200, "1", 40, 320},
    {"451", "000006", "1002", 0.850, 13990, "2", 38},
    {"452", "000007", "8002", 1, 2490, "3", 36, 0, "001", "8001"},
    {"452", "000008", "8003", 1, 600, "3", 36, 0, "001", "8001"},
    {"452", "000009", "8004", 1, 400, "3", 36, 0, "001", "8001"},
    {"452", "000010", "1003", 1, 3890, "3", 35},
    {"452", "000011", "2005", 1, 990, "3", 35, 0, nullptr, nullptr, true},
    {"452", "000012", "3002", 1, 1400, "4", 12, 0, nullptr, nullptr, false, true},
    {"452", "000013", "2007", 1, 650, "4", 5, 0, nullptr, nullptr, false, true},
    {"451", "000014", "9001", 4, 1500, "1", 50, 0, nullptr, nullptr, false, false, false},
    // 0046, the destination
    {"461", "000001", "2002", 2, 1290, "1", 25},
    {"461", "000002", "1004", 1, 3200, "2", 22},
    {"461", "000003", "2004", 1, 650, "3", 25},
};

struct Observation {
    const char* tab;
    const char* item;
    const char* group; // CDGRPOCOR
    const char* code;  // CDOCORR
};

// Codes only: 01/01 "sem gelo", 01/02 "pouco açúcar", 02/02 "ao ponto", 02/03 "bem passado",
// 03/01 "sem cebola", 03/02 "bem crocante".
const Observation observations[] = {
    {"451", "000001", "01", "02"}, {"451", "000002", "01", "01"}, {"451", "000004", "02", "03"},
    {"452", "000008", "01", "01"}, {"452", "000010", "03", "01"}, {"121", "000001", "03", "01"},
};

struct Component {
    const char* tab;
    const char* item;
    const char* product;
    double quantity;
    int priceCents;
    const char* typed; // DSOBSPEDDIGEST: what the waiter typed for the component
};

// The burger of 0045, priced by its parts.
const Component components[] = {
    {"452", "000010", "5001", 1, 400, ""},
    {"452", "000010", "5002", 1, 2200, ""},
    {"452", "000010", "5003", 1, 590, ""},
    {"452", "000010", "5004", 1, 700, "bacon à parte"},
};

struct ComponentObservation {
    const char* tab;
    const char* item;
    const char* product;
    const char* group;
    const char* code;
};

const ComponentObservation componentObservations[] = {
    {"452", "000010", "5002", "02", "02"},
    {"452", "000010", "5004", "03", "02"},
};

QString text(const char* s) {
    return QString::fromUtf8(s);
}

double money(qint64 cents) {
    return double(cents) / 100.0;
}

// The 10 % service surcharge of an item, in cents, on what it costs after its discount.
qint64 surchargeCents(const Item& item) {
    if (!item.serviceCharge)
        return 0;
    const double net = item.quantity * item.priceCents - item.discountCents;
    return std::llround(net / 10.0);
}

QString saleOfTab(const char* tab) {
    for (const Tab& t : tabs)
        if (qstrcmp(t.number, tab) == 0)
            return text(t.sale);
    throw platform::Error(QStringLiteral("Comanda %1 sem venda na demonstração.").arg(text(tab)));
}

class Rows {
public:
    explicit Rows(platform::db::Connection& connection) : connection_(connection) {}
    void insert(const QString& table, const QVariantMap& row) { insertRow(connection_, table, row); }

private:
    platform::db::Connection& connection_;
};

void insertAll(Rows& rows, const QDateTime& now) {
    for (const Product& p : products)
        rows.insert(QStringLiteral("PRODUTO"),
                    {{QStringLiteral("CDPRODUTO"), text(p.code)},
                     {QStringLiteral("CDARVPROD"), text(p.tree)},
                     {QStringLiteral("NMPRODUTO"), text(p.name)},
                     {QStringLiteral("IDPESAPROD"), p.weighed ? QStringLiteral("S") : QStringLiteral("N")}});
    for (const Table& t : tables)
        rows.insert(QStringLiteral("MESA"),
                    {{QStringLiteral("CDFILIAL"), Branch},
                     {QStringLiteral("CDLOJA"), Store},
                     {QStringLiteral("NRMESA"), text(t.number)},
                     {QStringLiteral("NMMESA"), QString(QStringLiteral("Mesa ") + text(t.number).mid(2))},
                     {QStringLiteral("IDSTMESAAUX"), text(t.status)}});
    for (const Sale& s : sales)
        rows.insert(
            QStringLiteral("VENDAREST"),
            {{QStringLiteral("CDFILIAL"), Branch},
             {QStringLiteral("NRVENDAREST"), text(s.number)},
             {QStringLiteral("NRMESA"), text(s.table)},
             {QStringLiteral("CDLOJA"), Store},
             {QStringLiteral("NRPESMESAVEN"), text(s.people)},
             {QStringLiteral("DTHRFECHMESA"),
              s.closedMinutesAgo > 0 ? QVariant(now.addSecs(-60LL * s.closedMinutesAgo)) : QVariant()}});
    for (const Tab& t : tabs) {
        // the tab's surcharge is the sum of its items' surcharges
        qint64 cents = 0;
        for (const Item& item : items)
            if (qstrcmp(item.tab, t.number) == 0)
                cents += surchargeCents(item);
        rows.insert(QStringLiteral("COMANDAVEN"), {{QStringLiteral("CDFILIAL"), Branch},
                                                   {QStringLiteral("NRVENDAREST"), text(t.sale)},
                                                   {QStringLiteral("NRCOMANDA"), text(t.number)},
                                                   {QStringLiteral("CDLOJA"), Store},
                                                   {QStringLiteral("DSCOMANDA"), text(t.description)},
                                                   {QStringLiteral("VRACRCOMANDA"), money(cents)}});
    }
    for (const Item& item : items) {
        const auto orNull = [](const char* s) {
            return s ? QVariant(text(s)) : QVariant();
        };
        rows.insert(QStringLiteral("ITCOMANDAVEN"),
                    {{QStringLiteral("CDFILIAL"), Branch},
                     {QStringLiteral("NRVENDAREST"), saleOfTab(item.tab)},
                     {QStringLiteral("NRCOMANDA"), text(item.tab)},
                     {QStringLiteral("NRPRODCOMVEN"), text(item.number)},
                     {QStringLiteral("CDPRODUTO"), text(item.product)},
                     {QStringLiteral("QTPRODCOMVEN"), item.quantity},
                     {QStringLiteral("VRPRECCOMVEN"), money(item.priceCents)},
                     {QStringLiteral("IDSTPRCOMVEN"), QStringLiteral("1")},
                     {QStringLiteral("VRDESCCOMVEN"), money(item.discountCents)},
                     {QStringLiteral("NRLUGARMESA"), text(item.seat)},
                     {QStringLiteral("DTHRINCOMVEN"), now.addSecs(-60LL * item.minutesAgo)},
                     {QStringLiteral("CDLOJA"), Store},
                     {QStringLiteral("VRACRCOMVEN"), money(surchargeCents(item))},
                     {QStringLiteral("NRSEQPRODCOM"), orNull(item.sequence)},
                     {QStringLiteral("CDPRODPROMOCAO"), orNull(item.promotion)},
                     {QStringLiteral("CDCAIXACOLETOR"), Till},
                     {QStringLiteral("CDVENDEDOR"), OperatorCode},
                     {QStringLiteral("IDDIVIDECONTA"), QStringLiteral("N")},
                     {QStringLiteral("QTITEMREFIL"), item.refill ? 2.0 : 0.0},
                     {QStringLiteral("IDPRODREFIL"), item.refill ? QStringLiteral("S") : QStringLiteral("N")},
                     {QStringLiteral("IDSTLUGARMESA"),
                      item.seatBillRequested ? QStringLiteral("S") : QStringLiteral("N")}});
    }
    for (const Observation& o : observations)
        rows.insert(QStringLiteral("OBSITCOMANDAVEN"), {{QStringLiteral("CDFILIAL"), Branch},
                                                        {QStringLiteral("NRVENDAREST"), saleOfTab(o.tab)},
                                                        {QStringLiteral("NRCOMANDA"), text(o.tab)},
                                                        {QStringLiteral("NRPRODCOMVEN"), text(o.item)},
                                                        {QStringLiteral("CDGRPOCOR"), text(o.group)},
                                                        {QStringLiteral("CDOCORR"), text(o.code)}});
    for (const Component& c : components)
        rows.insert(QStringLiteral("ITCOMANDAEST"), {{QStringLiteral("CDFILIAL"), Branch},
                                                     {QStringLiteral("NRVENDAREST"), saleOfTab(c.tab)},
                                                     {QStringLiteral("NRCOMANDA"), text(c.tab)},
                                                     {QStringLiteral("NRPRODCOMVEN"), text(c.item)},
                                                     {QStringLiteral("CDPRODUTO"), text(c.product)},
                                                     {QStringLiteral("QTPROCOMEST"), c.quantity},
                                                     {QStringLiteral("VRPRECCOMEST"), money(c.priceCents)},
                                                     {QStringLiteral("VRDESITCOMEST"), 0.0},
                                                     {QStringLiteral("DSOBSPEDDIGEST"), text(c.typed)}});
    for (const ComponentObservation& o : componentObservations)
        rows.insert(QStringLiteral("OBSITCOMANDAEST"), {{QStringLiteral("CDFILIAL"), Branch},
                                                        {QStringLiteral("NRVENDAREST"), saleOfTab(o.tab)},
                                                        {QStringLiteral("NRCOMANDA"), text(o.tab)},
                                                        {QStringLiteral("NRPRODCOMVEN"), text(o.item)},
                                                        {QStringLiteral("CDPRODUTO"), text(o.product)},
                                                        {QStringLiteral("CDGRPOCOR"), text(o.group)},
                                                        {QStringLiteral("CDOCORR"), text(o.code)}});
}

// A local file holds one record of text fields.
void writeFirstRecord(const QString& path, const QStringList& names, const QStringList& values) {
    platform::FieldList fields;
    for (const QString& n : names)
        fields.append({n, platform::FieldType::String, 50});
    platform::Dataset ds;
    ds.setFieldDefs(fields);
    ds.createDataSet();
    ds.append();
    for (int i = 0; i < names.size(); ++i)
        ds.field(names[i]).setString(values[i]);
    ds.post();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw platform::ConfigError(QStringLiteral("Não foi possível criar a pasta de %1.").arg(path));
    ds.saveToFile(path);
}

void removeIfPresent(const QString& path) {
    if (QFileInfo::exists(path) && !QFile::remove(path))
        throw platform::ConfigError(QStringLiteral("Não foi possível apagar %1.").arg(path));
}

} // namespace

void seedSales(platform::db::Connection& connection, const QDateTime& now) {
    // whole minutes: the times read like those a till stamps
    const QDateTime stamp(now.date(), QTime(now.time().hour(), now.time().minute()));
    Rows rows(connection);
    connection.beginTransaction();
    try {
        insertAll(rows, stamp);
        connection.commit();
    } catch (...) {
        connection.rollback();
        throw;
    }
}

void writeParametersFile(const QString& folder, const QString& branch, const QString& till,
                         const QString& store, const QString& idEsquema, const QString& consum,
                         const QString& consuf, const QString& couver) {
    writeFirstRecord(QDir(folder).filePath(QStringLiteral("PARAMETROSZEL.CDS")),
                     {QStringLiteral("CDFILIAL"), QStringLiteral("CDCAIXA"), QStringLiteral("CDLOJA"),
                      QStringLiteral("IDESQUEMA"), QStringLiteral("CDPRODCONSUM"),
                      QStringLiteral("CDPRODCONSUF"), QStringLiteral("CDPRODCOUVER")},
                     {branch, till, store, idEsquema, consum, consuf, couver});
}

void writeAccessFile(const QString& folder, const QString& operatorCode, const QString& operatorName) {
    writeFirstRecord(QDir(folder).filePath(QStringLiteral("Dados/Cadastros/ControleAcess.cds")),
                     {QStringLiteral("CDOPERADOR"), QStringLiteral("NMOPERADOR")},
                     {operatorCode, operatorName});
}

void writeLocalFiles(const QString& folder) {
    writeParametersFile(folder, Branch, Till, Store, IdEsquema, MinimumConsumptionProduct,
                        FemaleMinimumConsumptionProduct, CoverChargeProduct);
    writeAccessFile(folder, OperatorCode, OperatorName);
}

SeededFolder seedFolder(const QString& folder) {
    const QDir dir(folder);
    if (!QDir().mkpath(dir.absolutePath()))
        throw platform::ConfigError(QStringLiteral("Não foi possível criar a pasta %1.").arg(folder));
    SeededFolder out{dir.absoluteFilePath(QStringLiteral("zel.db")),
                     dir.absoluteFilePath(QStringLiteral("PARAMETROSZEL.CDS")),
                     dir.absoluteFilePath(QStringLiteral("Dados/Cadastros/ControleAcess.cds"))};
    // a journal left beside a new file would be replayed into it
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        removeIfPresent(out.database + QLatin1String(suffix));
    removeIfPresent(out.parametersFile);
    removeIfPresent(out.accessFile);
    {
        platform::db::Connection connection(QStringLiteral("demo-seed-") +
                                            QUuid::createUuid().toString(QUuid::Id128));
        connection.setConnectionString(platform::db::Connection::createSqliteFile(out.database));
        connection.afterConnect = [](platform::db::Connection& c) {
            platform::SetADODBSession(c);
        };
        connection.open();
        createSuiteTables(connection);
        seedSales(connection);
        connection.close();
    }
    writeLocalFiles(folder);
    return out;
}

} // namespace host::demo
