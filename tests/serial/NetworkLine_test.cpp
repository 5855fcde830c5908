// Lines served over the network, against real far ends: ser2net serving a
// pseudo-terminal through Telnet with the COM-PORT-OPTION and as raw TCP, and
// pyserial's RFC 2217 server over its loop port for the control lines, which
// a pseudo-terminal lacks.
#include "serial/CComPort.h"
#include "serial/LineRate.h"

#include "support/MessageBoxRecorder.h"
#include "support/NetPeers.h"
#include "support/PseudoTerminal.h"
#include "SerialTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include <malloc.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

using testsupport::LoopbackListener;
using testsupport::LoopRfc2217Server;
using testsupport::MessageBoxRecorder;
using testsupport::PseudoTerminal;
using testsupport::Ser2net;

namespace {

PortMap MapCom3ToUrl(const std::string& url)
{
    PortMap map;
    map.SetUserPath("COM3", url);
    return map;
}

// Every byte value, IAC (0xFF) and CR (0x0D) among them, several times over.
std::string EveryByte(int rounds)
{
    std::string bytes;
    for (int round = 0; round < rounds; ++round) {
        for (int value = 0; value < 256; ++value)
            bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

// Reads the port as the reader thread does until count bytes have come or
// timeoutMs has passed.
std::string ReadFromPort(CComPort& port, std::size_t count, int timeoutMs = 5000)
{
    const auto start = std::chrono::steady_clock::now();
    std::string got;
    unsigned char buffer[4096];
    while (got.size() < count && MsSince(start) < timeoutMs) {
        const ReadResult result = port.ReadPort(buffer, sizeof buffer);
        if (result.status == ReadStatus::kData)
            got.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(result.count));
    }
    return got;
}

// Reads the port (so that notices come in) until done() holds; counts the
// reads that found a note of the line waiting.
bool ReadUntil(CComPort& port, const std::function<bool()>& done, int timeoutMs = 3000, int* noted = nullptr)
{
    const auto start = std::chrono::steady_clock::now();
    unsigned char buffer[512];
    while (!done()) {
        if (MsSince(start) > timeoutMs)
            return false;
        const ReadResult result = port.ReadPort(buffer, sizeof buffer);
        if (noted != nullptr && result.noted)
            ++*noted;
    }
    return true;
}

struct ServedCase {
    const char* name;
    Ser2net::Accepter accepter;
    int farRate;  // what the pseudo-terminal runs at after an open at 57600
};

const ServedCase kServed[] = {
    {"rfc2217", Ser2net::Accepter::kRfc2217, 57600},
    // Raw TCP carries no settings: the device keeps ser2net's own 9600.
    {"raw_tcp", Ser2net::Accepter::kRawTcp, 9600},
};

class Ser2netLine : public testing::TestWithParam<ServedCase> {};

TEST_P(Ser2netLine, CarriesEveryByteBothWaysAndSetsTheRateOnTheFarDevice)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    Ser2net server(pty.Path(), GetParam().accepter);
    ASSERT_TRUE(server.Start());
    CComPort port(nullptr, NoCloseWait());
    port.SetPortMap(MapCom3ToUrl(server.Url()));

    ASSERT_EQ(port.ComReopen(kCom3, 57600), 0);
    EXPECT_TRUE(boxes.calls.empty()) << boxes.calls[0].text << " / " << boxes.calls[0].detail;
    EXPECT_EQ(port.GetLineState(), LineState::kOpen);
    int output = 0;
    int input = 0;
    ASSERT_EQ(ReadLineRates(pty.Slave(), output, input), 0);
    EXPECT_EQ(output, GetParam().farRate);

    const std::string bytes = EveryByte(8);
    ASSERT_EQ(port.ComSend(bytes.data(), static_cast<int>(bytes.size())), 0);
    EXPECT_TRUE(SameBytes(pty.Read(bytes.size()), bytes));
    ASSERT_TRUE(pty.Write(bytes));
    EXPECT_TRUE(SameBytes(ReadFromPort(port, bytes.size()), bytes));
    EXPECT_TRUE(boxes.calls.empty());
}

TEST(Ser2netRfc2217, UnconfirmedLineSignalsAreNotedOnceAndNothingWaitsForThem)
{
    MessageBoxRecorder boxes;
    PseudoTerminal pty;
    Ser2net server(pty.Path(), Ser2net::Accepter::kRfc2217);
    ASSERT_TRUE(server.Start());
    CComPort port(nullptr, NoCloseWait());
    port.SetPortMap(MapCom3ToUrl(server.Url()));
    ASSERT_EQ(port.ComReopen(kCom3, 9600), 0);

    const auto asked = std::chrono::steady_clock::now();
    ASSERT_EQ(port.SetModemLines(TIOCM_DTR | TIOCM_RTS, true), 0);
    ASSERT_EQ(port.SetBreak(true), 0);
    ASSERT_EQ(port.SetBreak(false), 0);
    EXPECT_LT(MsSince(asked), 500) << "a signal change waited for the server";
    int noted = 0;
    ASSERT_TRUE(ReadUntil(port, [&] { return noted > 0; }, 3000, &noted));
    EXPECT_GE(MsSince(asked), 1000);
    port.CheckLine();
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Communication port '\\\\.\\COM3' did not confirm a request");
    EXPECT_EQ(boxes.calls[0].detail.find(server.Url().substr(10) + ": the server did not confirm DTR, RTS or break"),
              0u)
        << boxes.calls[0].detail;

    // Once noted, never again for this line; the line goes on.
    ASSERT_EQ(port.SetModemLines(TIOCM_DTR, false), 0);
    noted = 0;
    ReadUntil(port, [] { return false; }, 1300, &noted);
    EXPECT_EQ(noted, 0);
    port.CheckLine();
    EXPECT_EQ(boxes.calls.size(), 1u);
    ASSERT_EQ(port.ComSend("still on\r\n", -1), 0);
    EXPECT_EQ(pty.Read(10), "still on\r\n");
    EXPECT_EQ(port.GetLineState(), LineState::kOpen);

    // Nor after the server has been restarted: it is the same server.
    server.Stop();
    ASSERT_TRUE(ReadUntil(port, [&] { return port.GetLineState() == LineState::kLost; }));
    ASSERT_TRUE(server.Start());
    const auto restarted = std::chrono::steady_clock::now();
    while (port.CheckLine() != LineState::kReopened && MsSince(restarted) < 5000)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_EQ(port.GetLineState(), LineState::kReopened);
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_EQ(boxes.calls[1].text, "Lost communication port '\\\\.\\COM3'");
    ASSERT_EQ(port.SetModemLines(TIOCM_DTR, true), 0);
    noted = 0;
    ASSERT_TRUE(ReadUntil(port, [&] { return noted > 0; }, 3000, &noted));
    port.CheckLine();
    EXPECT_EQ(boxes.calls.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Accepters, Ser2netLine, testing::ValuesIn(kServed),
                         [](const auto& info) { return std::string(info.param.name); });

struct UnreachableCase {
    const char* name;
    std::string url;
    std::string detail;  // how the detail begins
    LineState state;     // a server that may answer later is looked for again
};

UnreachableCase Refused()
{
    const std::string place = "127.0.0.1:" + std::to_string(testsupport::FreeTcpPort());
    return {"refused", "rfc2217://" + place, place + ": Connection refused", LineState::kLost};
}

class UnreachableServer : public testing::TestWithParam<std::function<UnreachableCase()>> {};

TEST_P(UnreachableServer, SaysWhereAndWhyOnce)
{
    const UnreachableCase c = GetParam()();
    MessageBoxRecorder boxes;
    CComPort port(nullptr, NoCloseWait());
    port.SetPortMap(MapCom3ToUrl(c.url));

    EXPECT_EQ(port.ComReopen(kCom3, 9600), -1);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Cannot open communication port '\\\\.\\COM3'");
    EXPECT_EQ(boxes.calls[0].caption, "Tamsel::ComOpen");
    EXPECT_EQ(boxes.calls[0].detail.substr(0, c.detail.size()), c.detail) << boxes.calls[0].detail;
    EXPECT_EQ(port.GetLineState(), c.state);
    EXPECT_EQ(port.AwaitsLine(), c.state == LineState::kLost);
    // Looking again says nothing more.
    port.CheckLine();
    EXPECT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(port.GetLineState(), c.state);
    EXPECT_FALSE(port.HasHandle());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnreachableServer,
    testing::Values(Refused,
                    [] {
                        return UnreachableCase{"unknown_name", "tcp://no-such-host.invalid:7001",
                                               "no-such-host.invalid: the name does not resolve",
                                               LineState::kNoPort};
                    },
                    [] {
                        return UnreachableCase{"no_port_number", "rfc2217://127.0.0.1:99999",
                                               "'127.0.0.1:99999' has no TCP port", LineState::kNoPort};
                    }),
    [](const auto& info) { return std::string(info.param().name); });

// A server that takes the connection and never speaks Telnet: the open
// does not wait for it, and its silence is said once when the answer time is up.
TEST(Rfc2217Line, ServerThatNeverAnswersIsNotWaitedForAndTheLineWorksAsItIs)
{
    MessageBoxRecorder boxes;
    LoopbackListener listener;
    ASSERT_NE(listener.Port(), 0);
    CComPort port(nullptr, NoCloseWait());
    port.SetPortMap(MapCom3ToUrl("rfc2217://127.0.0.1:" + std::to_string(listener.Port())));

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.ComReopen(kCom3, 9600), 0);
    EXPECT_LT(MsSince(start), 500) << "the open waited for the server";
    EXPECT_EQ(port.GetLineState(), LineState::kConnecting);
    EXPECT_TRUE(port.AwaitsLine());
    EXPECT_TRUE(boxes.calls.empty());
    const int server = accept(listener.Fd(), nullptr, nullptr);
    ASSERT_GE(server, 0);
    // The client's offers and requests (WILL and DO of BINARY, SUPPRESS-GO-AHEAD, COM-PORT-OPTION).
    char opening[18] = {};
    ASSERT_EQ(recv(server, opening, sizeof opening, MSG_WAITALL), 18);
    EXPECT_EQ(std::string(opening, 6), std::string("\xFF\xFB\x00\xFF\xFD\x00", 6));

    // As the reader's notices would, until the open has ended.
    while (port.CheckLine() == LineState::kConnecting && MsSince(start) < 5000)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_GE(MsSince(start), 1000);
    EXPECT_EQ(port.GetLineState(), LineState::kOpenUnconfigured);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Failed to setup communication port '\\\\.\\COM3'/9600");
    EXPECT_NE(boxes.calls[0].detail.find("did not answer the COM-PORT-OPTION (RFC 2217) within 1000 ms"),
              std::string::npos)
        << boxes.calls[0].detail;

    ASSERT_EQ(send(server, "plain", 5, MSG_NOSIGNAL), 5);
    EXPECT_EQ(ReadFromPort(port, 5), "plain");
    ASSERT_EQ(port.ComSend("back", -1), 0);
    char back[4] = {};
    EXPECT_EQ(recv(server, back, sizeof back, MSG_WAITALL), 4);
    EXPECT_EQ(std::string(back, 4), "back");
    EXPECT_EQ(boxes.calls.size(), 1u);
    close(server);
}

// A server that floods data instead of answering: what the set-up holds for
// the reader stays small, the rest waits in the connection, and every byte
// still reaches the reader in order.
TEST(Rfc2217Line, DataFloodingInDuringTheSetUpIsHeldWithinBoundsAndNoneIsLost)
{
    MessageBoxRecorder boxes;
    LoopbackListener listener;
    ASSERT_NE(listener.Port(), 0);
    std::string flood(4 * 1024 * 1024, '\0');
    for (std::size_t at = 0; at < flood.size(); ++at)
        flood[at] = static_cast<char>('a' + at % 23);  // no IAC, no CR
    std::thread server([&] {
        const int connection = accept(listener.Fd(), nullptr, nullptr);
        if (connection < 0)
            return;
        for (std::size_t sent = 0; sent < flood.size();) {
            const ssize_t n = send(connection, flood.data() + sent, flood.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                break;
            sent += static_cast<std::size_t>(n);
        }
        // Closed only after the client: closing on its unread requests
        // would reset the connection and drop the data still in flight.
        shutdown(connection, SHUT_WR);
        char request[256];
        while (recv(connection, request, sizeof request, 0) > 0) {
        }
        close(connection);
    });
    CComPort port(nullptr, NoCloseWait());
    port.SetPortMap(MapCom3ToUrl("rfc2217://127.0.0.1:" + std::to_string(listener.Port())));

    // Large blocks come from mmap, which the heap's own count leaves out.
    const auto held = [] {
        const struct mallinfo2 info = mallinfo2();
        return info.uordblks + info.hblkhd;
    };
    const std::size_t heldBefore = held();
    const auto start = std::chrono::steady_clock::now();
    // Whether the open still waits when it returns or has already noted the
    // silent server (then with its box) depends on how soon the flood comes.
    port.ComReopen(kCom3, 9600);
    while (port.CheckLine() == LineState::kConnecting && MsSince(start) < 5000)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const std::size_t heldAfter = held();
    EXPECT_EQ(port.GetLineState(), LineState::kOpenUnconfigured);
    EXPECT_LT(heldAfter > heldBefore ? heldAfter - heldBefore : 0, 1024u * 1024);

    const std::string got = ReadFromPort(port, flood.size(), 20000);
    EXPECT_EQ(got.size(), flood.size());
    EXPECT_TRUE(got == flood) << "the data came changed or out of order";
    port.ComClose();
    server.join();
}

TEST(Rfc2217Line, DrivesDtrRtsAndBreakAndShowsTheModemLinesTheServerReports)
{
    MessageBoxRecorder boxes;
    LoopRfc2217Server server;
    ASSERT_NE(server.Port(), 0);
    CComPort port(nullptr, NoCloseWait());
    port.SetPortMap(MapCom3ToUrl(server.Url()));
    const int opened = port.ComReopen(kCom3, 115200);
    ASSERT_TRUE(boxes.calls.empty()) << boxes.calls[0].text << " / " << boxes.calls[0].detail;
    ASSERT_EQ(opened, 0);

    int bits = 0;
    const auto seen = [&](int wanted) {
        return [&port, &bits, wanted] { return port.GetModemLines(bits) == 0 && (bits & wanted) == wanted; };
    };
    const auto gone = [&](int unwanted) {
        return [&port, &bits, unwanted] { return port.GetModemLines(bits) == 0 && (bits & unwanted) == 0; };
    };
    // The loop port shows RTS as CTS and DTR as DSR.
    ASSERT_EQ(port.SetModemLines(TIOCM_RTS | TIOCM_DTR, true), 0);
    EXPECT_TRUE(ReadUntil(port, seen(TIOCM_CTS | TIOCM_DSR | TIOCM_RTS | TIOCM_DTR)));
    ASSERT_EQ(port.SetModemLines(TIOCM_RTS, false), 0);
    EXPECT_TRUE(ReadUntil(port, gone(TIOCM_CTS | TIOCM_RTS)));
    EXPECT_NE(bits & TIOCM_DSR, 0);
    ASSERT_EQ(port.SetModemLines(TIOCM_DTR, false), 0);
    EXPECT_TRUE(ReadUntil(port, gone(TIOCM_DSR | TIOCM_DTR)));

    ASSERT_EQ(port.SetBreak(true), 0);
    EXPECT_EQ(server.NextEvent(), "break on");
    ASSERT_EQ(port.SetBreak(false), 0);
    EXPECT_EQ(server.NextEvent(), "break off");

    // A server that confirms every request is never noted.
    int noted = 0;
    ReadUntil(port, [] { return false; }, 1200, &noted);
    EXPECT_EQ(noted, 0);

    // Data still passes both ways, IAC doubled and undoubled on the way.
    const std::string bytes = EveryByte(2);
    ASSERT_EQ(port.ComSend(bytes.data(), static_cast<int>(bytes.size())), 0);
    EXPECT_TRUE(SameBytes(ReadFromPort(port, bytes.size()), bytes));
    EXPECT_TRUE(boxes.calls.empty());
}

} // namespace
