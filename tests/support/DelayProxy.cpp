#include "DelayProxy.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {
namespace {

using Clock = DelayProxy::Clock;

constexpr qsizetype ReadSize = qsizetype(64) * 1024;
// A side is read no further while this much of it waits for its time.
constexpr qsizetype MaxQueued = qsizetype(8) * 1024 * 1024;

std::runtime_error systemError(const std::string& what) {
    return std::runtime_error("proxy: " + what + ": " + std::strerror(errno));
}

void noDelay(int fd) {
    // Small writes go out at once: the delay is ours to add, not the kernel's.
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

// Bytes read at one moment and due at a later one.
struct Chunk {
    Clock::time_point due;
    QByteArray bytes;
    qsizetype sent = 0;
};

// One direction of a link: what was read from one side and waits to be written to the other.
struct Flow {
    std::deque<Chunk> queue;
    qsizetype queued = 0;
    bool endRead = false; // the sending side closed its half...
    Clock::time_point endDue;
    bool endPassed = false; // ...and the receiving side has been told so, after the delay
    bool blocked = false;   // the receiving side took no more; wait until it can

    std::optional<Clock::time_point> nextDue() const {
        if (blocked)
            return std::nullopt;
        if (!queue.empty())
            return queue.front().due;
        if (endRead && !endPassed)
            return endDue;
        return std::nullopt;
    }
};

} // namespace

struct DelayProxy::Link {
    Fd client, server;
    Flow up, down; // client to server, server to client
    bool clientSpoke = false;
    bool broken = false;
    bool silent = false; // a Silence fault: nothing is read or written any more, both ends stay open
    std::optional<Breakage> breakage;
    quint64 passedUp = 0, passedDown = 0;
    std::optional<Recording> recording;

    bool done() const { return broken || (up.endPassed && down.endPassed); }
};

DelayProxy::Fd::~Fd() {
    if (fd_ >= 0)
        ::close(fd_);
}

DelayProxy::Fd& DelayProxy::Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

DelayProxy::DelayProxy(const QString& serverHost, int serverPort, std::chrono::nanoseconds delayEachWay)
    : delay_(delayEachWay) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int rc = ::getaddrinfo(serverHost.toUtf8().constData(), QByteArray::number(serverPort).constData(),
                                 &hints, &found);
    if (rc != 0)
        throw std::runtime_error("proxy: " + serverHost.toStdString() + ": " + ::gai_strerror(rc));
    const std::unique_ptr<addrinfo, void (*)(addrinfo*)> owner(found, ::freeaddrinfo);
    serverAddress_ = QByteArray(reinterpret_cast<const char*>(found->ai_addr), qsizetype(found->ai_addrlen));

    listener_ = Fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (listener_.get() < 0)
        throw systemError("socket");
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof local;
    if (::bind(listener_.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        ::listen(listener_.get(), SOMAXCONN) != 0 ||
        ::getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&local), &length) != 0)
        throw systemError("listen on 127.0.0.1");
    port_ = ntohs(local.sin_port);
    wakeup_ = Fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (wakeup_.get() < 0)
        throw systemError("eventfd");
    thread_ = std::jthread([this](const std::stop_token& stop) {
        try {
            run(stop);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
        }
    });
}

DelayProxy::~DelayProxy() {
    thread_.request_stop();
    const quint64 one = 1;
    [[maybe_unused]] const auto written = ::write(wakeup_.get(), &one, sizeof one);
    thread_.join();
}

void DelayProxy::run(const std::stop_token& stop) {
    // The kernel lets a sleeping thread oversleep by 50 us unless told otherwise; that would blur a
    // quarter of a millisecond.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    std::vector<std::unique_ptr<Link>> links;
    std::vector<pollfd> polled;
    while (!stop.stop_requested()) {
        const Clock::time_point now = Clock::now();
        std::optional<Clock::time_point> next;
        for (const auto& link : links) {
            pass(*link, false, now);
            pass(*link, true, now);
            for (const Flow* flow : {&link->up, &link->down})
                if (const auto due = flow->nextDue(); due && (!next || *due < *next))
                    next = due;
        }
        for (const auto& link : links)
            if (link->done())
                ended(*link);
        std::erase_if(links, [](const std::unique_ptr<Link>& link) { return link->done(); });

        polled.assign({{listener_.get(), POLLIN, 0}, {wakeup_.get(), POLLIN, 0}});
        for (const auto& link : links) {
            const auto events = [](const Flow& in, const Flow& out) {
                short e = 0;
                if (!in.endRead && in.queued < MaxQueued)
                    e |= POLLIN;
                if (out.blocked)
                    e |= POLLOUT;
                return e;
            };
            // A side with nothing asked of it stays out, so that its hang-up cannot wake us in a loop.
            const short clientEvents = link->silent ? 0 : events(link->up, link->down);
            const short serverEvents = link->silent ? 0 : events(link->down, link->up);
            polled.push_back({clientEvents ? link->client.get() : -1, clientEvents, 0});
            polled.push_back({serverEvents ? link->server.get() : -1, serverEvents, 0});
        }
        timespec wait{};
        if (next) {
            const auto left = std::max(std::chrono::nanoseconds::zero(), *next - Clock::now());
            wait.tv_sec = std::chrono::duration_cast<std::chrono::seconds>(left).count();
            wait.tv_nsec = (left % std::chrono::seconds(1)).count();
        }
        if (::ppoll(polled.data(), polled.size(), next ? &wait : nullptr, nullptr) < 0) {
            if (errno == EINTR)
                continue;
            throw systemError("ppoll");
        }
        for (std::size_t i = 0; i < links.size(); ++i) {
            const short clientSeen = polled[2 + 2 * i].revents, serverSeen = polled[3 + 2 * i].revents;
            if ((clientSeen | serverSeen) & POLLNVAL)
                links[i]->broken = true;
            if (clientSeen & (POLLIN | POLLHUP | POLLERR))
                take(*links[i], true);
            if (serverSeen & (POLLIN | POLLHUP | POLLERR))
                take(*links[i], false);
            // a side that can take bytes again is written to at the top of the loop
            if (clientSeen & (POLLOUT | POLLERR))
                links[i]->down.blocked = false;
            if (serverSeen & (POLLOUT | POLLERR))
                links[i]->up.blocked = false;
        }
        if (polled[1].revents & POLLIN) {
            quint64 count = 0;
            [[maybe_unused]] const auto read = ::read(wakeup_.get(), &count, sizeof count);
        }
        if (polled[0].revents & POLLIN)
            accept(links);
    }
}

void DelayProxy::accept(std::vector<std::unique_ptr<Link>>& links) {
    for (;;) {
        Fd client(::accept4(listener_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (client.get() < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                std::fprintf(stderr, "proxy: accept: %s\n", std::strerror(errno));
            return;
        }
        {
            const QMutexLocker lock(&plan_);
            if (refusing_)
                continue; // the client sees its connection closed at once
        }
        const auto* address = reinterpret_cast<const sockaddr*>(serverAddress_.constData());
        // The server is near (loopback in the benchmarks): a blocking connect costs next to nothing.
        Fd server(::socket(address->sa_family, SOCK_STREAM | SOCK_CLOEXEC, 0));
        if (server.get() < 0 || ::connect(server.get(), address, socklen_t(serverAddress_.size())) != 0 ||
            ::fcntl(server.get(), F_SETFL, ::fcntl(server.get(), F_GETFL) | O_NONBLOCK) != 0) {
            std::fprintf(stderr, "proxy: connect to the server: %s\n", std::strerror(errno));
            continue; // the client sees its connection closed
        }
        noDelay(client.get());
        noDelay(server.get());
        auto link = std::make_unique<Link>();
        {
            const QMutexLocker lock(&plan_);
            link->breakage = std::exchange(nextBreakage_, std::nullopt);
            if (link->breakage)
                refusing_ = refuseLater_;
            if (recording_)
                link->recording.emplace();
        }
        link->client = std::move(client);
        link->server = std::move(server);
        links.push_back(std::move(link));
    }
}

void DelayProxy::take(Link& link, bool fromClient) {
    if (link.silent)
        return;
    Flow& flow = fromClient ? link.up : link.down;
    const int from = fromClient ? link.client.get() : link.server.get();
    char buffer[ReadSize];
    while (!flow.endRead && flow.queued < MaxQueued) {
        const ssize_t got = ::recv(from, buffer, sizeof buffer, 0);
        if (got > 0) {
            flow.queue.push_back({Clock::now() + delay_, QByteArray(buffer, got)});
            flow.queued += got;
            link.clientSpoke = link.clientSpoke || fromClient;
        } else if (got == 0) {
            flow.endRead = true;
            flow.endDue = Clock::now() + delay_;
        } else if (errno != EINTR) {
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                link.broken = true;
            return;
        }
    }
}

void DelayProxy::pass(Link& link, bool toClient, Clock::time_point now) {
    Flow& flow = toClient ? link.down : link.up;
    const int to = toClient ? link.client.get() : link.server.get();
    if (link.broken || link.silent || flow.blocked)
        return;
    quint64& passed = toClient ? link.passedDown : link.passedUp;
    // how much more may pass this way before the link breaks
    std::optional<quint64> allowed;
    if (link.breakage && (link.breakage->direction == Direction::ToClient) == toClient)
        allowed = link.breakage->afterBytes - std::min(passed, link.breakage->afterBytes);
    // The first answer after the client spoke ends one turn. Counted before it is written: once
    // written, the client may act on it before this thread comes back from the write.
    if (toClient && link.clientSpoke && !flow.queue.empty() && flow.queue.front().due <= now) {
        link.clientSpoke = false;
        roundTrips_.fetch_add(1);
    }
    while (!flow.queue.empty() && flow.queue.front().due <= now) {
        Chunk& chunk = flow.queue.front();
        std::size_t size = std::size_t(chunk.bytes.size() - chunk.sent);
        if (allowed) {
            if (*allowed == 0) {
                breakLink(link);
                return;
            }
            size = std::min<std::size_t>(size, *allowed);
        }
        const ssize_t n = ::send(to, chunk.bytes.constData() + chunk.sent, size, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                flow.blocked = true;
            else
                link.broken = true;
            break;
        }
        if (chunk.sent == 0) {
            chunksPassed_.fetch_add(1);
            lateNanos_.fetch_add(std::chrono::nanoseconds(now - chunk.due).count());
        }
        if (link.recording)
            (toClient ? link.recording->toClient : link.recording->toServer)
                .append(chunk.bytes.constData() + chunk.sent, n);
        passed += quint64(n);
        if (allowed)
            *allowed -= quint64(n);
        chunk.sent += n;
        flow.queued -= n;
        if (allowed && *allowed == 0) {
            breakLink(link);
            return;
        }
        if (chunk.sent < chunk.bytes.size()) {
            flow.blocked = true;
            break;
        }
        flow.queue.pop_front();
    }
    if (flow.queue.empty() && flow.endRead && !flow.endPassed && flow.endDue <= now) {
        ::shutdown(to, SHUT_WR);
        flow.endPassed = true;
    }
}

void DelayProxy::breakLink(Link& link) {
    switch (link.breakage->fault) {
    case Fault::Silence:
        link.silent = true;
        return;
    case Fault::Reset:
        // closing with a zero linger time sends a reset instead of the orderly end
        for (const Fd* fd : {&link.client, &link.server}) {
            const linger now{1, 0};
            ::setsockopt(fd->get(), SOL_SOCKET, SO_LINGER, &now, sizeof now);
        }
        link.broken = true;
        return;
    case Fault::Cut:
        link.broken = true;
        return;
    }
}

void DelayProxy::ended(Link& link) {
    if (!link.recording)
        return;
    const QMutexLocker lock(&plan_);
    recordings_.append(std::move(*link.recording));
    link.recording.reset();
}

void DelayProxy::breakNextLink(const Breakage& breakage, bool refuseLater) {
    const QMutexLocker lock(&plan_);
    nextBreakage_ = breakage;
    refuseLater_ = refuseLater;
    refusing_ = false;
}

void DelayProxy::mend() {
    const QMutexLocker lock(&plan_);
    nextBreakage_.reset();
    refuseLater_ = refusing_ = false;
}

void DelayProxy::record(bool on) {
    const QMutexLocker lock(&plan_);
    recording_ = on;
    recordings_.clear();
}

QList<DelayProxy::Recording> DelayProxy::endedLinks() const {
    const QMutexLocker lock(&plan_);
    return recordings_;
}

} // namespace testsupport
