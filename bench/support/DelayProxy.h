#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

namespace bench {

// A TCP relay between a port of its own on 127.0.0.1 and one server, standing in for a slow link: a
// byte that reaches it at t leaves at t + delay, in order, each direction on its own. It runs in a
// thread of its own, so the caller may block on the server through it. Qt's timers keep milliseconds
// at best, so it waits with ppoll, which takes nanoseconds.
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

    std::chrono::nanoseconds delay_;
    QByteArray serverAddress_; // a sockaddr, resolved once
    Fd listener_;
    Fd wakeup_;
    quint16 port_ = 0;
    std::atomic<quint64> roundTrips_{0};
    std::atomic<quint64> chunksPassed_{0};
    std::atomic<qint64> lateNanos_{0};
    std::jthread thread_; // last: it starts once everything above is set
};

} // namespace bench
