#include "ReceiveTestSupport.h"
#include "TransmitSupport.h"

#include "orvane/NodeTableObserver.h"

#include <sstream>
#include <string>
#include <vector>

namespace {

// Writes every notification as one short line, so a whole run compares at once.
class RecordingObserver : public NodeTableObserver {
public:
    void OnNodePresent(int node) override { events.push_back("present " + std::to_string(node)); }
    void OnRegisterStore(const RegisterStore& store) override
    {
        std::ostringstream line;
        line << "store " << store.tick << ' ' << store.node << ' ' << store.destination << ' '
             << (store.wide ? 32 : 16) << ' ' << store.reg << ' ' << store.value;
        events.push_back(line.str());
    }
    void OnTableCleared() override { events.push_back("cleared"); }

    std::vector<std::string> events;
};

class ObserverTest : public ReceiveTest {
protected:
    void SetUp() override
    {
        ReceiveTest::SetUp();
        m_previous = SetNodeTableObserver(&observer);
    }
    void TearDown() override
    {
        SetNodeTableObserver(m_previous);
        ReceiveTest::TearDown();
    }

    RecordingObserver observer;

private:
    NodeTableObserver* m_previous = nullptr;
};

} // namespace

TEST_F(ObserverTest, HearsExactlyTheStoresTheTableTakes)
{
    s_ticks = 4242;
    ConverterFeed receiver(FrameVersion::V11);
    Bytes corrupt = Packet11(0x7F, {0x64, 0x05, 0x78, 0x56});
    corrupt.back() ^= 0x01;
    receiver.Feed(Join({
        Packet11(0x7F, {0x63, 0x05, 0x34, 0x12}),            // reply 16: stored
        Packet11(0x85, {0x7F, 0x0C, 1, 2, 3, 0x84}),         // reply 32, six bytes, broadcast
        Packet11(0x7F, {0x71, 0x01, 0xFF, 0xFF}),            // reply 32 carrying 16 bits
        Packet11(0x45, {0x23, 0x3F, 0x01, 0x00}),            // set: no store
        Packet11(0x45, {0x43, 0x3F}),                        // get: no store
        Packet11(0x45, {0x01, 0x3F}),                        // unknown command: present only
        Packet11(0x20, {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0}),  // burst
        Packet11(0x45, {}),                                   // void
        corrupt,
    }));
    const std::vector<std::string> expected = {
        "present 5",  "store 4242 5 63 16 3 4660",
        "present 12", "store 4242 12 5 32 15 -2080177663",
        "present 1",  "store 4242 1 63 32 1 65535",
        "present 63", "present 63", "present 63",
    };
    EXPECT_EQ(observer.events, expected);
    EXPECT_EQ(NodeTable[12].reg32[15].value, -2080177663);

    CXrateOV11 transmit(nullptr, 63);
    SendLine(transmit, "shownode clear");
    EXPECT_EQ(observer.events.back(), "cleared");
}

TEST_F(ObserverTest, RawModeNotifiesTheFieldsItsRecordShows)
{
    RawMode = 1;
    s_ticks = 77;
    ConverterFeed receiver(FrameVersion::V10);
    const std::string text = receiver.Feed(Packet10(0x46, {0x6A, 0x05, 0xFE, 0xFF}));
    EXPECT_EQ(text, "R,316,77,5,6,10,65534\r\n");
    ASSERT_EQ(observer.events.size(), 2u);
    EXPECT_EQ(observer.events[1], "store 77 5 6 16 10 65534");
}

TEST_F(ObserverTest, NothingIsHeardOnceTheObserverIsRemoved)
{
    SetNodeTableObserver(nullptr);
    ConverterFeed receiver(FrameVersion::V10);
    receiver.Feed(Packet10(0x7F, {0x63, 0x05, 0x34, 0x12}));
    EXPECT_TRUE(observer.events.empty());
    EXPECT_EQ(NodeTable[5].reg16[3].value, 0x1234);
}
