#include "SlowLink.h"

#include "platform/db/Connection.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <algorithm>
#include <stdexcept>
#include <vector>

namespace bench {
namespace {

constexpr int Queries = 20;
constexpr qsizetype EchoBytes = qsizetype(256) * 1024;
constexpr int EchoCharacters = 16 * 1024;

std::runtime_error checkFailed(const QString& what) {
    return std::runtime_error("the delaying link failed its check: " + what.toStdString());
}

// How long each of a few one-row queries takes, in milliseconds.
std::vector<double> queryTimes(const QSqlDatabase& db) {
    QSqlQuery q(db);
    std::vector<double> times;
    QElapsedTimer timer;
    for (int i = 0; i < Queries; ++i) {
        timer.start();
        if (!q.exec(QStringLiteral("SELECT 1")) || !q.next())
            throw checkFailed(q.lastError().text());
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return times;
}

double median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(values.size() / 2), values.end());
    return values[values.size() / 2];
}

QByteArray randomBytes() {
    QByteArray bytes(EchoBytes, Qt::Uninitialized);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(bytes.data()), EchoBytes / 4);
    return bytes;
}

// Characters of one to four bytes in UTF-8, so that every byte length crosses the link.
QString randomText() {
    static constexpr char32_t ranges[][2] = {
        {0x20, 0x7e}, {0xa0, 0xff}, {0x100, 0x17f}, {0x4e00, 0x9fff}, {0x1f600, 0x1f64f}};
    QString text;
    for (int i = 0; i < EchoCharacters; ++i) {
        const auto& range = ranges[QRandomGenerator::global()->bounded(int(std::size(ranges)))];
        const char32_t c = range[0] + QRandomGenerator::global()->bounded(quint32(range[1] - range[0] + 1));
        text += QString::fromUcs4(&c, 1);
    }
    return text;
}

} // namespace

SlowLink::SlowLink(const QString& postgresUri, std::chrono::nanoseconds delayEachWay) {
    QUrl url(postgresUri);
    proxy_ = std::make_unique<DelayProxy>(url.host(), url.port(5432), delayEachWay);
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(proxy_->port());
    connectionString_ = url.toString();
    check(postgresUri);
}

void SlowLink::check(const QString& directUri) {
    platform::db::Connection direct(QStringLiteral("link-check-direct"));
    platform::db::Connection slow(QStringLiteral("link-check"));
    direct.setConnectionString(directUri);
    slow.setConnectionString(connectionString_);
    direct.open();
    slow.open();

    const QByteArray bytes = randomBytes();
    const QString text = randomText();
    QSqlQuery echo(slow.database());
    if (!echo.prepare(QStringLiteral("SELECT CAST(? AS BYTEA), CAST(? AS TEXT)")))
        throw checkFailed(echo.lastError().text());
    echo.addBindValue(bytes);
    echo.addBindValue(text);
    if (!echo.exec() || !echo.next())
        throw checkFailed(echo.lastError().text());
    if (echo.value(0).toByteArray() != bytes || echo.value(1).toString() != text)
        throw checkFailed(QStringLiteral("what came back differs from what was sent"));

    const DelayProxy::Lateness lateBefore = proxy_->lateness();
    const quint64 before = proxy_->roundTrips();
    const std::vector<double> slowTimes = queryTimes(slow.database());
    const quint64 counted = proxy_->roundTrips() - before;
    const DelayProxy::Lateness lateAfter = proxy_->lateness();
    const std::vector<double> directTimes = queryTimes(direct.database());
    if (counted != Queries)
        throw checkFailed(QStringLiteral("%1 round trips counted for %2 queries").arg(counted).arg(Queries));
    const double twice = 2 * std::chrono::duration<double, std::milli>(proxy_->delay()).count();
    const double soonest = *std::min_element(slowTimes.begin(), slowTimes.end());
    if (soonest < twice)
        throw checkFailed(QStringLiteral("an answer came after %1 ms, sooner than twice the delay")
                              .arg(soonest, 0, 'f', 3));
    const double late =
        std::chrono::duration<double, std::micro>(lateAfter.total - lateBefore.total).count() /
        double(std::max<quint64>(1, lateAfter.chunks - lateBefore.chunks));
    checkReport_ =
        QStringLiteral("link of %1 ms each way: a query takes %2 ms more than direct (median; twice the "
                       "delay is %3; bytes left %4 us after their time on average), %5 round trips counted "
                       "for %6 queries, %7 KiB of random bytes and %8 random characters came back unchanged")
            .arg(twice / 2, 0, 'f', 2)
            .arg(median(slowTimes) - median(directTimes), 0, 'f', 3)
            .arg(twice, 0, 'f', 2)
            .arg(late, 0, 'f', 0)
            .arg(counted)
            .arg(Queries)
            .arg(EchoBytes / 1024)
            .arg(EchoCharacters);
}

} // namespace bench
