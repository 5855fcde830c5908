#include "serial/LineKinds.h"

#include "serial/NetPlace.h"
#include "serial/Rfc2217Line.h"
#include "serial/TcpLine.h"
#include "xrate/TextChars.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string_view>
#include <thread>

namespace {

// A server that has not taken the connection in this time is not there.
constexpr int kConnectMs = 3000;
// The longest the set-up of a Telnet session waits for the server's answers.
constexpr int kAnswerMs = 1000;
// Retries of a network line: twice as long each time, from the first to the last.
constexpr int kFirstRetryMs = 500;
constexpr int kLastRetryMs = 5000;

// An open that ended before it was handed out.
class EndedOpen final : public LineOpener {
public:
    explicit EndedOpen(LineOpening opening) : m_opening(std::move(opening)) {}
    bool Wait(int) override { return true; }
    LineOpening Take() override { return std::move(m_opening); }

private:
    LineOpening m_opening;
};

// An open carried out on a thread of its own. The thread shares only the
// outcome with the opener, so the opener may go first: an outcome nobody
// takes (a line included) goes with the thread.
class ThreadedOpen final : public LineOpener {
public:
    template <typename Work>
    explicit ThreadedOpen(Work work) : m_shared(std::make_shared<Shared>())
    {
        std::thread([shared = m_shared, work = std::move(work)]() mutable {
            LineOpening opening = work();
            std::lock_guard<std::mutex> lock(shared->mutex);
            shared->opening = std::move(opening);
            shared->done = true;
            shared->ended.notify_all();
        }).detach();
    }

    bool Wait(int waitMs) override
    {
        std::unique_lock<std::mutex> lock(m_shared->mutex);
        return m_shared->ended.wait_for(lock, std::chrono::milliseconds(std::max(waitMs, 0)),
                                        [this] { return m_shared->done; });
    }

    LineOpening Take() override
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        return std::move(m_shared->opening);
    }

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
        LineOpening opening;
    };
    std::shared_ptr<Shared> m_shared;
};

std::unique_ptr<LineOpener> OpenDevice(std::string_view path, const LineContext& context)
{
    LineOpening opening;
    opening.line = DeviceLine::Open(std::string(path), context.driver, context.apply, opening.detail);
    return std::make_unique<EndedOpen>(std::move(opening));
}

template <typename MakeLine>
std::unique_ptr<LineOpener> OpenNet(std::string_view rest, MakeLine make)
{
    NetPlace place;
    std::string detail;
    if (!ParseNetPlace(rest, place, detail))
        return FailedLineOpen(detail);
    return std::make_unique<ThreadedOpen>([place, make]() {
        NetConnection connection = ConnectTo(place, kConnectMs);
        LineOpening opening;
        opening.worthRetrying = connection.worthRetrying;
        if (connection.fd < 0)
            opening.detail = std::move(connection.detail);
        else
            opening.line = make(connection.fd, place.text);
        return opening;
    });
}

std::unique_ptr<LineOpener> OpenTcp(std::string_view rest, const LineContext&)
{
    return OpenNet(rest, [](int fd, const std::string& where) { return std::make_unique<TcpLine>(fd, where); });
}

std::unique_ptr<LineOpener> OpenRfc2217(std::string_view rest, const LineContext& context)
{
    const int baud = context.baud;
    return OpenNet(rest, [baud](int fd, const std::string& where) {
        return Rfc2217Line::Start(fd, where, baud, kAnswerMs);
    });
}

int NetRetryMs(int failures)
{
    int delay = kFirstRetryMs;
    for (int i = 0; i < failures && delay < kLastRetryMs; ++i)
        delay *= 2;
    return std::min(delay, kLastRetryMs);
}

int DeviceRetryMs(int)
{
    return 0;
}

struct LineKind {
    std::string_view scheme;  // with "://"; empty for the device paths
    std::unique_ptr<LineOpener> (*open)(std::string_view rest, const LineContext& context);
    int (*retryMs)(int failures);
};

constexpr LineKind kKinds[] = {
    {"tcp://", OpenTcp, NetRetryMs},
    {"rfc2217://", OpenRfc2217, NetRetryMs},
};
constexpr LineKind kDevice{"", OpenDevice, DeviceRetryMs};

const LineKind& KindOf(std::string_view place)
{
    for (const LineKind& kind : kKinds) {
        if (place.size() >= kind.scheme.size() && EqualsIgnoringCase(place.substr(0, kind.scheme.size()), kind.scheme))
            return kind;
    }
    return kDevice;
}

} // namespace

std::unique_ptr<LineOpener> StartLineOpen(const std::string& place, const LineContext& context)
{
    const LineKind& kind = KindOf(place);
    return kind.open(std::string_view(place).substr(kind.scheme.size()), context);
}

bool IsNetworkPlace(std::string_view text)
{
    return !KindOf(text).scheme.empty();
}

std::unique_ptr<LineOpener> FailedLineOpen(std::string detail)
{
    LineOpening opening;
    opening.detail = std::move(detail);
    return std::make_unique<EndedOpen>(std::move(opening));
}

int LineRetryMs(const std::string& place, int failures)
{
    return KindOf(place).retryMs(failures);
}
