#include "TransmitSupport.h"

#include "orvane/CXrateOV.h"
#include "orvane/CXrateOV11.h"
#include "orvane/LowerCase.h"

#include <memory>
#include <string>

namespace {

class LocalCommands : public FreshNodeTable {};

TEST_F(LocalCommands, RawModeAndNormalModeSwitchTheFlagAndSendNothing)
{
    CXrateOV converter(nullptr, 63);
    for (const char* line : {"rawmode", "rawmodes", "rawmode;reset 5", "rawmode  anything"}) {
        RawMode = 0;
        const SentLine sent = SendLine(converter, line);
        EXPECT_EQ(sent.result, nullptr) << line;
        EXPECT_EQ(sent.len, 0) << line;
        EXPECT_TRUE(sent.boxes.empty()) << line;
        EXPECT_EQ(RawMode, 1) << line;
    }
    for (const char* line : {"normalmode", "normalmode;rawmode", "normalmodeX"}) {
        RawMode = 1;
        const SentLine sent = SendLine(converter, line);
        EXPECT_EQ(sent.result, nullptr) << line;
        EXPECT_EQ(sent.len, 0) << line;
        EXPECT_EQ(RawMode, 0) << line;
    }
}

TEST_F(LocalCommands, PrefixTestIsCaseSensitiveAndAtTheVeryStart)
{
    struct {
        const char* line;
        const char* word;
    } const cases[] = {
        {"RawMode", "rawmode"},
        {"ShowNode", "shownode"},
        {" shownode", "shownode"},
        {"NORMALMODE", "normalmode"},
        {"\trawmode", "rawmode"},
    };
    CXrateOV11 converter(nullptr, 63);
    for (const auto& c : cases) {
        RawMode = 0;
        const SentLine sent = SendLine(converter, c.line);
        EXPECT_EQ(sent.len, 0) << c.line;
        ASSERT_EQ(sent.boxes.size(), 1u) << c.line;
        EXPECT_EQ(sent.boxes[0].text, std::string("Illegal command '") + c.word + "'");
        EXPECT_EQ(sent.boxes[0].caption, "Orvane transmit");
        EXPECT_EQ(RawMode, 0) << c.line;
    }
}

TEST_F(LocalCommands, ShownodeLineIsNeverSplitIntoStatements)
{
    CXrateOV converter(nullptr, 63);
    const SentLine sent = SendLine(converter, "shownode;reset 5");
    EXPECT_EQ(sent.len, kSendReport);
    EXPECT_EQ(std::string(sent.result), "unknown 'shownode ( /clear/reg16/reg32)' command\r\n");
    EXPECT_EQ(sent.textAfter, "shownode;reset 5");
}

TEST_F(LocalCommands, TableAndRawModeSurviveConverterSwitches)
{
    auto first = std::make_unique<CXrateOV>(nullptr, 63);
    SendLine(*first, "rawmode");
    NodeTable[12].valid = 1;
    NodeTable[12].reg16[1] = {1, 99};
    first.reset();

    auto second = std::make_unique<CXrateOV11>(nullptr, 63);
    EXPECT_EQ(RawMode, 1);
    const SentLine sent = SendLine(*second, "shownode");
    EXPECT_EQ(std::string(sent.result), "Valid Nodes: " + std::string(12, '-') + "2" +
                                            std::string(51, '-') + "\r\n");
    EXPECT_EQ(NodeTable[12].reg16[1].value, 99);
}

TEST(LowerCase, ChangesOnlyAsciiCapitals)
{
    char text[] = "AbZ@[`{ 09\xC0\xE9-Q";
    LowerCase(text);
    EXPECT_STREQ(text, "abz@[`{ 09\xC0\xE9-q");
}

} // namespace
