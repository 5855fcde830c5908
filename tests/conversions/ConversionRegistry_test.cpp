#include "conversions/ConversionRegistry.h"

#include "orvane/CXrateOV.h"
#include "orvane/CXrateOV11.h"
#include "resources/CommandIds.h"
#include "resources/MenuResource.h"
#include "xrate/CXrateBin.h"
#include "xrate/CXrateHex.h"
#include "xrate/CXrateRaw.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// Saved profiles store a conversion as its index, so each index keeps its
// conversion for good; the names are what scripts pass on the command line.
struct Expected {
    int index;
    const char* name;
    int rxCommand;
    int txCommand;
    const char* rxLabel;
    const char* txLabel;
    bool (*isKind)(const CXrate&);
};

template <typename Converter>
bool Is(const CXrate& converter)
{
    return dynamic_cast<const Converter*>(&converter) != nullptr;
}

// CXrateOV11 derives from CXrateOV, so the earlier framing is told apart by
// not being the later one.
bool IsOV10Only(const CXrate& converter)
{
    return Is<CXrateOV>(converter) && !Is<CXrateOV11>(converter);
}

const Expected kExpected[] = {
    {kConversionRaw, "raw", ID_RX_RAW, ID_TX_RAW, "Rx:Raw", "Tx:Raw", &Is<CXrateRaw>},
    {kConversionHex, "hex", ID_RX_HEX, ID_TX_HEX, "Rx:HEX", "Tx:HEX", &Is<CXrateHex>},
    {kConversionBin, "bin", ID_RX_BIN, ID_TX_BIN, "Rx:Bin", "Tx:Bin", &Is<CXrateBin>},
    {kConversionOV10, "ov10", ID_RX_OV, ID_TX_OV, "Rx:OV", "Tx:OV", &IsOV10Only},
    {kConversionOV11, "ov11", ID_RX_OV11, ID_TX_OV11, "Rx:OV11", "Tx:OV11", &Is<CXrateOV11>},
};

TEST(ConversionRegistry, EachIndexKeepsItsConversionEverywhere)
{
    ASSERT_EQ(std::size(kExpected), static_cast<std::size_t>(kConversionCount));
    for (const Expected& e : kExpected) {
        SCOPED_TRACE(e.name);
        ASSERT_EQ(e.index, static_cast<int>(&e - kExpected));
        const ConversionKind& kind = ConversionAt(e.index);
        EXPECT_STREQ(kind.optionName, e.name);
        EXPECT_EQ(kind.rxCommand, e.rxCommand);
        EXPECT_EQ(kind.txCommand, e.txCommand);
        EXPECT_STREQ(kind.rxLabel, e.rxLabel);
        EXPECT_STREQ(kind.txLabel, e.txLabel);

        // Each call builds a fresh converter of the conversion's own kind.
        int owner = 0;
        const std::unique_ptr<CXrate> first = kind.make(&owner);
        const std::unique_ptr<CXrate> second = kind.make(&owner);
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        EXPECT_NE(first.get(), second.get());
        EXPECT_TRUE(e.isKind(*first));
    }
}

TEST(ConversionRegistry, NamesAndCommandsLeadBackToTheirIndex)
{
    std::set<std::string> names;
    std::set<int> commands;
    for (int i = 0; i < kConversionCount; ++i) {
        const ConversionKind& kind = ConversionAt(i);
        SCOPED_TRACE(kind.optionName);
        EXPECT_TRUE(names.insert(kind.optionName).second) << "name used twice";
        EXPECT_TRUE(commands.insert(kind.rxCommand).second) << "command used twice";
        EXPECT_TRUE(commands.insert(kind.txCommand).second) << "command used twice";

        std::string upper = kind.optionName;
        for (char& c : upper)
            c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        EXPECT_EQ(ConversionIndex(kind.optionName), i);
        EXPECT_EQ(ConversionIndex(upper), i);

        EXPECT_EQ(ConversionCommand(true, i), kind.rxCommand);
        EXPECT_EQ(ConversionCommand(false, i), kind.txCommand);
        bool receive = false;
        EXPECT_EQ(ConversionOfCommand(kind.rxCommand, receive), i);
        EXPECT_TRUE(receive);
        EXPECT_EQ(ConversionOfCommand(kind.txCommand, receive), i);
        EXPECT_FALSE(receive);
    }
}

TEST(ConversionRegistry, RefusesWhatNamesNoConversion)
{
    const char* const kNotNames[] = {"", "ov", "ov1", "ov100", "raw ", " raw", "hexx", "r"};
    for (const char* name : kNotNames)
        EXPECT_EQ(ConversionIndex(name), -1) << '"' << name << '"';
    EXPECT_EQ(ConversionIndex(std::string_view("raw\0", 4)), -1);

    const int kOtherCommands[] = {0, -1, ID_RECEIVE_ENABLE, ID_LOCAL_ECHO, ID_APP_ABOUT};
    for (int command : kOtherCommands) {
        bool receive = true;
        EXPECT_EQ(ConversionOfCommand(command, receive), -1) << command;
    }
}

TEST(ConversionRegistry, AConversionIndexOutsideTheMenusHasNoCommand)
{
    EXPECT_EQ(ConversionCommand(true, 0), ID_RX_RAW);
    EXPECT_EQ(ConversionCommand(false, 4), ID_TX_OV11);
    EXPECT_EQ(ConversionCommand(true, 5), 0);
    EXPECT_EQ(ConversionCommand(false, -1), 0);
}

// A conversion's index is its place among the conversion items of its menu.
TEST(ConversionRegistry, MenusListTheConversionsInIndexOrder)
{
    for (const bool receive : {true, false}) {
        SCOPED_TRACE(receive ? "receive menu" : "transmit menu");
        const int first = receive ? ConversionAt(0).rxCommand : ConversionAt(0).txCommand;
        std::vector<int> listed;
        for (const MenuPopupResource& popup : MainMenuResource()) {
            bool holdsFirst = false;
            for (const MenuItemResource& item : popup.items)
                holdsFirst = holdsFirst || item.id == first;
            if (!holdsFirst)
                continue;
            for (const MenuItemResource& item : popup.items) {
                bool itemReceive = false;
                if (ConversionOfCommand(item.id, itemReceive) >= 0 && itemReceive == receive)
                    listed.push_back(item.id);
            }
        }
        std::vector<int> expected;
        for (int i = 0; i < kConversionCount; ++i)
            expected.push_back(receive ? ConversionAt(i).rxCommand : ConversionAt(i).txCommand);
        EXPECT_EQ(listed, expected);
    }
}

// The list goes into messages that headless transcripts compare to the letter.
TEST(ConversionRegistry, ListNamesEveryChoiceOnce)
{
    EXPECT_EQ(ConversionList(), "raw, hex, bin, ov10 or ov11");
}

} // namespace
