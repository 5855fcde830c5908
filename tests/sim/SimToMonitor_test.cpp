// What the monitor's Orvane receive conversions show for the simulator's
// answers: the decoded lines, the repair and checksum texts of the faults, and
// the node table that shownode reports afterwards.

#include "sim/SimBus.h"

#include "SimTestSupport.h"
#include "orvane/NodeTable.h"

#include <gtest/gtest.h>

#include <memory>

using namespace sim;

namespace {

// A bus and the monitor's two converters for one framing version; every line
// piece the bus writes reaches the monitor as a chunk of its own.
class Session {
public:
    Session(FrameVersion version, std::vector<FaultSpec> faults = {})
        : m_version(version),
          m_bus({1, 5, 12}, version == FrameVersion::V11 ? VersionMode::V11 : VersionMode::V10,
                std::move(faults), 0)
    {
        if (version == FrameVersion::V11) {
            m_receive = std::make_unique<CXrateOV11>(nullptr, 63);
            m_transmit = std::make_unique<CXrateOV11>(nullptr, 63);
        } else {
            m_receive = std::make_unique<CXrateOV>(nullptr, 63);
            m_transmit = std::make_unique<CXrateOV>(nullptr, 63);
        }
        ClearNodeTable();
    }

    // The report text for the answers to one command line.
    std::string Ask(const std::string& line)
    {
        const Bytes request = MonitorSends(line, m_version);
        std::vector<LinePiece> pieces;
        m_bus.Hear(request.data(), request.size(), 0, pieces);
        return Show(pieces);
    }

    std::string Traffic(int messages)
    {
        std::vector<LinePiece> pieces;
        for (int i = 0; i < messages; ++i)
            m_bus.Traffic(pieces);
        return Show(pieces);
    }

    std::string Local(const std::string& command)
    {
        std::vector<char> text(command.begin(), command.end());
        text.push_back('\0');
        int length = -1;
        const char* report = m_transmit->XrateSend(text.data(), length);
        EXPECT_EQ(length, kSendReport);
        return report ? report : "";
    }

    // Text returned per chunk, joined with '|' between chunks.
    std::string Chunks(const std::string& line)
    {
        const Bytes request = MonitorSends(line, m_version);
        std::vector<LinePiece> pieces;
        m_bus.Hear(request.data(), request.size(), 0, pieces);
        std::string all;
        for (const LinePiece& piece : pieces)
            all += Receive(piece.bytes) + "|";
        return all;
    }

private:
    std::string Receive(Bytes chunk)
    {
        const int count = static_cast<int>(chunk.size());
        chunk.push_back(0);
        return m_receive->XrateReceive(chunk.data(), count);
    }

    std::string Show(const std::vector<LinePiece>& pieces)
    {
        std::string report;
        for (const LinePiece& piece : pieces)
            report += Receive(piece.bytes);
        return report;
    }

    FrameVersion m_version;
    SimBus m_bus;
    std::unique_ptr<CXrateOV> m_receive;
    std::unique_ptr<CXrateOV> m_transmit;
};

const char kProfileLine1[] =
    "Reply Profile from ID:01 to ID:3F 'Orvane sim node 1: 16x16-bit, 16x32-bit registers, "
    "512-byte memory'\r\n";

class MonitorShows : public testing::TestWithParam<FrameVersion> {};

TEST_P(MonitorShows, TheAnswersToEveryRequest)
{
    Session session(GetParam());
    EXPECT_EQ(session.Ask("get16 5 3"),
              "Rep16 Reg.3 = 0x0503( 1283,  1283) from ID:05 to ID:3F\r\n");
    EXPECT_EQ(session.Ask("set16 5 3 0xFFFF;get16 5 3"),
              "Rep16 Reg.3 = 0xFFFF(65535,    -1) from ID:05 to ID:3F\r\n");
    EXPECT_EQ(session.Ask("set32 12 1 123456789;get32 12 1"),
              "Rep32 Reg.1 = 0x075BCD15(123456789) from ID:0C to ID:3F\r\n");
    EXPECT_EQ(session.Ask("write16 5 0x20 0xBEEF;read16 5 0x20;read8 5 0x10"),
              "mreply16 from ID:05 to ID:3F: addr:0x00020 val:0xBEEF( 48879)\n"
              "mreply8 from ID:05 to ID:3F: addr:0x00010 val:0x15(  21)\n");
    EXPECT_EQ(session.Ask("bulkset 12 1 2 0x1234 0xABCD;bulkget 12 0 3"),
              "BulkReply from ID:0C to ID:3F: S:0 Len:3> 0x0D0C( 3340), 0x1234( 4660), "
              "0xABCD(43981), \r\n");
    EXPECT_EQ(session.Ask("reqprof 1"), kProfileLine1);
    EXPECT_EQ(session.Ask("get16 all 0"),
              "Rep16 Reg.0 = 0x0100(  256,   256) from ID:01 to ID:3F\r\n"
              "Rep16 Reg.0 = 0x0500( 1280,  1280) from ID:05 to ID:3F\r\n"
              "Rep16 Reg.0 = 0x0C00( 3072,  3072) from ID:0C to ID:3F\r\n");
    EXPECT_EQ(session.Ask("setid 12 33;get32 33 2"),
              "SetID reply to to ID:3F, 0C changed to 21\r\n"
              "Rep32 Reg.2 = 0x0C000002(201326594) from ID:21 to ID:3F\r\n");

    // The table remembers node 12 under its old ID beside node 33.
    EXPECT_EQ(session.Local("shownode"),
              "Valid Nodes: -1---5------2--------------------3------------------------------\r\n");
    EXPECT_EQ(session.Local("shownode reg16 5"),
              "Node 5(05)  16bit registers\r\n"
              " 1280(0500) -----(----) -----(----) 65535(FFFF) -----(----) -----(----) -----(----) -----(----) \r\n"
              "-----(----) -----(----) -----(----) -----(----) -----(----) -----(----) -----(----) -----(----) \r\n");
    const std::string reg32 = session.Local("shownode reg32 33");
    EXPECT_NE(reg32.find("Node 33(21)  32bit registers\r\n"
                         "----------(--------) ----------(--------)  201326594(0C000002) "),
              std::string::npos)
        << reg32;
}

TEST_P(MonitorShows, TrafficAsBroadcastsAndBursts)
{
    Session session(GetParam());
    EXPECT_EQ(session.Traffic(3),
              "Rep16 Reg.F = 0x0110(  272,   272) from ID:01 BCAST(by 01)\r\n"
              "Rep32 Reg.F = 0x01000010( 16777232) from ID:01 BCAST(by 01)\r\n"
              "Burst Transfer Packet (20 bytes): \r\n"
              "  "
              "           0(00000000)           0(00000000)           0(00000000)"
              " -1526726656(A5000000)           1(00000001)\r\n");
}

INSTANTIATE_TEST_SUITE_P(Versions, MonitorShows, testing::Values(FrameVersion::V10, FrameVersion::V11),
                         [](const testing::TestParamInfo<FrameVersion>& info) {
                             return info.param == FrameVersion::V11 ? "v11" : "v10";
                         });

TEST(SimFaultsOnTheMonitor, DamagedLengthsAreRepairedBothWays)
{
    Session session(FrameVersion::V11, {{FaultKind::Length, 1}});
    EXPECT_EQ(session.Ask("get16 5 3"), "Recv:Packet length error 84-FB Recovered to 04-FB "
                                        "Rep16 Reg.3 = 0x0503( 1283,  1283) from ID:05 to ID:3F\r\n");
    EXPECT_EQ(session.Ask("get16 5 3"), "Recv:Packet length error 04-7B Recovered to 04-FB "
                                        "Rep16 Reg.3 = 0x0503( 1283,  1283) from ID:05 to ID:3F\r\n");
}

TEST(SimFaultsOnTheMonitor, BadChecksumsAreDumpedThenDecoded)
{
    Session session(FrameVersion::V11, {{FaultKind::Checksum, 2}});
    EXPECT_EQ(session.Ask("get16 5 3;get16 5 3"),
              "Rep16 Reg.3 = 0x0503( 1283,  1283) from ID:05 to ID:3F\r\n"
              "Checksum Error packet 0x7F (8 bytes): 7F 04 FB 63 05 03 05 8F \r\n"
              " Cand: Rep16 Reg.3 = 0x0503( 1283,  1283) from ID:05 to ID:3F\r\n");
}

TEST(SimFaultsOnTheMonitor, FillBytesShowAsDotsBeforeANewLine)
{
    Session session(FrameVersion::V10, {{FaultKind::Fill, 1}});
    EXPECT_EQ(session.Ask("get16 5 3"),
              "...\r\nRep16 Reg.3 = 0x0503( 1283,  1283) from ID:05 to ID:3F\r\n");
}

TEST(SimFaultsOnTheMonitor, ASplitPacketIsShownWithItsLastPiece)
{
    Session session(FrameVersion::V11, {{FaultKind::Split, 1}, {FaultKind::Length, 1}});
    EXPECT_EQ(session.Chunks("get16 5 3"),
              "|Recv:Packet length error 84-FB Recovered to 04-FB |"
              "Rep16 Reg.3 = 0x0503( 1283,  1283) from ID:05 to ID:3F\r\n|");
}

} // namespace
