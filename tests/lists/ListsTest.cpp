#include "ListsTest.h"

#include <QDateTime>
#include <stdexcept>

namespace testsupport {

namespace {

QString nextAnswer(QStringList& queued, const char* question) {
    if (queued.isEmpty())
        throw std::logic_error(std::string("nobody answered ") + question);
    return queued.takeFirst();
}

} // namespace

bool PlainAnswers::chooseSeats(Seats mode, QString& originSeat, QString& destinationSeat) {
    asked << (mode == Seats::OneItem ? QStringLiteral("seats one ") + originSeat
                                     : QStringLiteral("seats whole"));
    const QString answer = nextAnswer(queued, "the seat chooser");
    if (answer == QLatin1String("cancel"))
        return false;
    destinationSeat = answer.section(u'/', 0, 0);
    if (mode == Seats::WholeSeat)
        originSeat = answer.section(u'/', 1);
    return true;
}

bool PlainAnswers::typeQuantity(QString& typed, bool decimals) {
    asked << (decimals ? QStringLiteral("quantity decimals") : QStringLiteral("quantity"));
    const QString answer = nextAnswer(queued, "the keypad");
    if (answer == QLatin1String("cancel"))
        return false;
    typed = answer;
    return true;
}

ListsTest::ListsTest() {
    lists.origin().createDataSet();
    lists.destination().createDataSet();
}

void appendItem(platform::Dataset& origin, const QString& tab, const QString& number, const QString& product,
                double quantity, const QVariantMap& extra) {
    QVariantMap row =
        columns({{"CDFILIAL", QStringLiteral("0001")},
                 {"NRVENDAREST", QStringLiteral("100")},
                 {"NRCOMANDA", tab},
                 {"NRPRODCOMVEN", number},
                 {"CDPRODUTO", product},
                 {"QTPRODCOMVEN", quantity},
                 {"VRPRECCOMVEN", 10.0},
                 {"NRLUGARMESA", QStringLiteral("1")},
                 {"DTHRINCOMVEN", QDateTime(QDate(2026, 12, 8), QTime(12, 30, 45, 123))},
                 {"CDARVPROD", QString(QStringLiteral("ARV") + product)},
                 {"NMPRODUTO", QString(QStringLiteral("Produto ") + product)},
                 {"IDPESAPROD", QString::fromLatin1(product == QLatin1String("PESO") ? "S" : "N")}});
    row.insert(extra);
    origin.append();
    for (auto it = row.cbegin(); it != row.cend(); ++it)
        origin.field(it.key()).setValue(it.value());
    origin.post();
}

bool ListsTest::add(const QString& tab, const QString& number, const QStringList& answered) {
    selectItem(lists.origin(), tab, number);
    answers.queued << answered;
    return lists.add();
}

bool ListsTest::remove(const QString& tab, const QString& number, const QStringList& answered) {
    selectItem(lists.destination(), tab, number);
    answers.queued << answered;
    return lists.remove();
}

bool ListsTest::addSeat(const QString& answered) {
    answers.queued << answered;
    return lists.addSeat();
}

} // namespace testsupport
