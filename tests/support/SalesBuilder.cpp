#include "SalesBuilder.h"

#include "host/SuiteTables.h"

#include <QStringList>

namespace testsupport {

SalesBuilder::SalesBuilder(platform::db::Connection& connection, QString branch, QString store)
    : connection_(connection), branch_(std::move(branch)), store_(std::move(store)) {}

void SalesBuilder::insert(const QString& table, const QVariantMap& row) {
    host::insertRow(connection_, table, row);
}

SalesBuilder& SalesBuilder::product(const QString& code, const QString& name, const QVariantMap& columns) {
    QVariantMap row{{QStringLiteral("CDPRODUTO"), code},
                    {QStringLiteral("CDARVPROD"), QString(QStringLiteral("ARV") + code)},
                    {QStringLiteral("NMPRODUTO"), name},
                    {QStringLiteral("IDPESAPROD"), QStringLiteral("N")}};
    row.insert(columns);
    insert(QStringLiteral("PRODUTO"), row);
    return *this;
}

SalesBuilder& SalesBuilder::table(const QString& number, const QString& status, const QString& name) {
    insert(QStringLiteral("MESA"),
           {{QStringLiteral("CDFILIAL"), branch_},
            {QStringLiteral("CDLOJA"), store_},
            {QStringLiteral("NRMESA"), number},
            {QStringLiteral("NMMESA"), name.isEmpty() ? QStringLiteral("Mesa ") + number : name},
            {QStringLiteral("IDSTMESAAUX"), status}});
    return *this;
}

SalesBuilder& SalesBuilder::sale(const QString& sale, const QString& table, const QString& people,
                                 const QDateTime& closedAt) {
    insert(QStringLiteral("VENDAREST"),
           {{QStringLiteral("CDFILIAL"), branch_},
            {QStringLiteral("NRVENDAREST"), sale},
            {QStringLiteral("NRMESA"), table},
            {QStringLiteral("CDLOJA"), store_},
            {QStringLiteral("NRPESMESAVEN"), people},
            {QStringLiteral("DTHRFECHMESA"), closedAt.isValid() ? QVariant(closedAt) : QVariant()}});
    return *this;
}

SalesBuilder& SalesBuilder::tab(const QString& tab, const QString& sale, const QString& description,
                                double surchargeTotal) {
    tabSale_.insert(tab, sale);
    insert(QStringLiteral("COMANDAVEN"), {{QStringLiteral("CDFILIAL"), branch_},
                                          {QStringLiteral("NRVENDAREST"), sale},
                                          {QStringLiteral("NRCOMANDA"), tab},
                                          {QStringLiteral("CDLOJA"), store_},
                                          {QStringLiteral("DSCOMANDA"), description},
                                          {QStringLiteral("VRACRCOMANDA"), surchargeTotal}});
    return *this;
}

SalesBuilder& SalesBuilder::item(const QString& tab, const QString& item, const QString& product,
                                 double quantity, const QVariantMap& columns) {
    QVariantMap row{{QStringLiteral("CDFILIAL"), branch_},
                    {QStringLiteral("NRVENDAREST"), tabSale_.value(tab)},
                    {QStringLiteral("NRCOMANDA"), tab},
                    {QStringLiteral("NRPRODCOMVEN"), item},
                    {QStringLiteral("CDPRODUTO"), product},
                    {QStringLiteral("QTPRODCOMVEN"), quantity},
                    {QStringLiteral("VRPRECCOMVEN"), 10.0},
                    {QStringLiteral("IDSTPRCOMVEN"), QStringLiteral("1")},
                    {QStringLiteral("VRDESCCOMVEN"), 0.0},
                    {QStringLiteral("NRLUGARMESA"), QStringLiteral("1")},
                    {QStringLiteral("DTHRINCOMVEN"), orderedAt()},
                    {QStringLiteral("CDLOJA"), store_},
                    {QStringLiteral("VRACRCOMVEN"), 0.0},
                    {QStringLiteral("IDPRODREFIL"), QStringLiteral("N")},
                    {QStringLiteral("IDSTLUGARMESA"), QStringLiteral("N")}};
    row.insert(columns);
    insert(QStringLiteral("ITCOMANDAVEN"), row);
    return *this;
}

SalesBuilder& SalesBuilder::observation(const QString& tab, const QString& item, const QString& group,
                                        const QString& code) {
    insert(QStringLiteral("OBSITCOMANDAVEN"), {{QStringLiteral("CDFILIAL"), branch_},
                                               {QStringLiteral("NRVENDAREST"), tabSale_.value(tab)},
                                               {QStringLiteral("NRCOMANDA"), tab},
                                               {QStringLiteral("NRPRODCOMVEN"), item},
                                               {QStringLiteral("CDGRPOCOR"), group},
                                               {QStringLiteral("CDOCORR"), code}});
    return *this;
}

SalesBuilder& SalesBuilder::component(const QString& tab, const QString& item, const QString& product,
                                      double quantity, double price, const QString& typed,
                                      const QVariantMap& columns) {
    QVariantMap row{
        {QStringLiteral("CDFILIAL"), branch_},    {QStringLiteral("NRVENDAREST"), tabSale_.value(tab)},
        {QStringLiteral("NRCOMANDA"), tab},       {QStringLiteral("NRPRODCOMVEN"), item},
        {QStringLiteral("CDPRODUTO"), product},   {QStringLiteral("QTPROCOMEST"), quantity},
        {QStringLiteral("VRPRECCOMEST"), price},  {QStringLiteral("VRDESITCOMEST"), 0.5},
        {QStringLiteral("DSOBSPEDDIGEST"), typed}};
    row.insert(columns);
    insert(QStringLiteral("ITCOMANDAEST"), row);
    return *this;
}

SalesBuilder& SalesBuilder::componentObservation(const QString& tab, const QString& item,
                                                 const QString& product, const QString& group,
                                                 const QString& code) {
    insert(QStringLiteral("OBSITCOMANDAEST"), {{QStringLiteral("CDFILIAL"), branch_},
                                               {QStringLiteral("NRVENDAREST"), tabSale_.value(tab)},
                                               {QStringLiteral("NRCOMANDA"), tab},
                                               {QStringLiteral("NRPRODCOMVEN"), item},
                                               {QStringLiteral("CDPRODUTO"), product},
                                               {QStringLiteral("CDGRPOCOR"), group},
                                               {QStringLiteral("CDOCORR"), code}});
    return *this;
}

SalesBuilder& SalesBuilder::tracking(const QString& oldSale, const QString& oldTab, const QString& oldItem,
                                     const QVariantMap& newPlace) {
    QVariantMap row{{QStringLiteral("CDFILIALOLD"), branch_},
                    {QStringLiteral("NRVENDARESTOLD"), oldSale},
                    {QStringLiteral("NRCOMANDAOLD"), oldTab},
                    {QStringLiteral("NRPRODCOMVENOLD"), oldItem}};
    row.insert(newPlace);
    insert(QStringLiteral("PEDIDOALT"), row);
    return *this;
}

SalesBuilder& SalesBuilder::join(const QString& joinNumber, const QString& table) {
    insert(QStringLiteral("MESAJUNCAO"), {{QStringLiteral("CDFILIAL"), branch_},
                                          {QStringLiteral("CDLOJA"), store_},
                                          {QStringLiteral("NRJUNMESA"), joinNumber},
                                          {QStringLiteral("NRMESA"), table}});
    return *this;
}

} // namespace testsupport
