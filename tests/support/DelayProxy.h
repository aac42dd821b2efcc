#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace testsupport {

// A TCP relay between a port of its own on 127.0.0.1 and one server, standing in for a slow or broken
// link: a byte that reaches it at t leaves at t + delay, in order, each direction on its own; a link may
// be made to break after a given number of bytes. It runs in a thread of its own, so the caller may
// block on the server through it. Qt's timers keep milliseconds at best, so it waits with ppoll, which
// takes nanoseconds.
class DelayProxy {
public:
    using Clock = std::chrono::steady_clock;

    // Throws std::runtime_error when the server's address does not resolve or no port can be had.
    DelayProxy(const QString& serverHost, int serverPort, std::chrono::nanoseconds delayEachWay);
    ~DelayProxy();
    DelayProxy(const DelayProxy&) = delete;
    DelayProxy& operator=(const DelayProxy&) = delete;

    quint16 port() const { return port_; }
    std::chrono::nanoseconds delay() const { return delay_; }

    // Turns as the clients see them: bytes sent, then an answer received. A client that waits for each
    // answer before it sends again makes one turn per request.
    quint64 roundTrips() const { return roundTrips_.load(); }

    // How late the bytes left, over all that were passed on: the wake-ups of a busy machine add to the
    // delay that was set, and a reader of the figures should know by how much.
    struct Lateness {
        quint64 chunks = 0;
        std::chrono::nanoseconds total{0};
    };
    Lateness lateness() const { return {chunksPassed_.load(), std::chrono::nanoseconds(lateNanos_.load())}; }

    // How a link breaks: both ends closed (each sees the other hang up), both ends reset, or nothing
    // passes any more either way while both stay open (a stuck middlebox: the kernel still acknowledges
    // and answers keepalives, the peers just never hear from each other again).
    enum class Fault { Cut, Reset, Silence };
    enum class Direction { ToServer, ToClient };
    struct Breakage {
        Direction direction = Direction::ToServer;
        quint64 afterBytes = 0; // passed that way before it breaks
        Fault fault = Fault::Cut;
    };
    // The next link accepted breaks once `afterBytes` have passed the given way; the links after it
    // pass unharmed, or are closed as soon as they come when `refuseLater`.
    void breakNextLink(const Breakage& breakage, bool refuseLater = false);
    // Every link from now on passes unharmed.
    void mend();

    // The bytes each link carried each way, kept from now on for the links accepted from now on and
    // handed over once a link has ended.
    struct Recording {
        QByteArray toServer;
        QByteArray toClient;
    };
    void record(bool on);
    QList<Recording> endedLinks() const;

private:
    // A file descriptor, closed when it goes.
    class Fd {
    public:
        explicit Fd(int fd = -1) : fd_(fd) {}
        ~Fd();
        Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
        Fd& operator=(Fd&& other) noexcept;
        int get() const { return fd_; }

    private:
        int fd_;
    };

    struct Link;
    void run(const std::stop_token& stop);
    void accept(std::vector<std::unique_ptr<Link>>& links);
    void take(Link& link, bool fromClient);
    void pass(Link& link, bool toClient, Clock::time_point now);
    void breakLink(Link& link);
    void ended(Link& link);

    std::chrono::nanoseconds delay_;
    QByteArray serverAddress_; // a sockaddr, resolved once
    Fd listener_;
    Fd wakeup_;
    quint16 port_ = 0;
    std::atomic<quint64> roundTrips_{0};
    std::atomic<quint64> chunksPassed_{0};
    std::atomic<qint64> lateNanos_{0};

    mutable QMutex plan_; // what the caller asks of the links to come, and what ended links carried
    std::optional<Breakage> nextBreakage_;
    bool refuseLater_ = false;
    bool refusing_ = false;
    bool recording_ = false;
    QList<Recording> recordings_;

    std::jthread thread_; // last: it starts once everything above is set
};

} // namespace testsupport
