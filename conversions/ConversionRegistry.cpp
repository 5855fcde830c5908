#include "conversions/ConversionRegistry.h"

#include "orvane/CXrateOV.h"
#include "orvane/CXrateOV11.h"
#include "orvane/Framing.h"
#include "resources/CommandIds.h"
#include "xrate/CXrateBin.h"
#include "xrate/CXrateHex.h"
#include "xrate/CXrateRaw.h"
#include "xrate/TextChars.h"

namespace {

template <typename Converter>
std::unique_ptr<CXrate> Make(void* owner)
{
    return std::make_unique<Converter>(owner);
}

// The protocol conversions speak on the bus as the monitor's own node.
template <typename Converter>
std::unique_ptr<CXrate> MakeOrvane(void* owner)
{
    return std::make_unique<Converter>(owner, kMonitorNodeId);
}

const ConversionKind kConversions[kConversionCount] = {
    {"raw", nullptr, ID_RX_RAW, ID_TX_RAW, "Rx:Raw", "Tx:Raw", &Make<CXrateRaw>, true, false, true},
    {"hex", nullptr, ID_RX_HEX, ID_TX_HEX, "Rx:HEX", "Tx:HEX", &Make<CXrateHex>, true, false, false},
    {"bin", nullptr, ID_RX_BIN, ID_TX_BIN, "Rx:Bin", "Tx:Bin", &Make<CXrateBin>, true, true, false},
    {"ov10", "Orvane 1.0", ID_RX_OV, ID_TX_OV, "Rx:OV", "Tx:OV", &MakeOrvane<CXrateOV>, false, false, false},
    {"ov11", "Orvane 1.1", ID_RX_OV11, ID_TX_OV11, "Rx:OV11", "Tx:OV11", &MakeOrvane<CXrateOV11>, false, false,
     false},
};

constexpr int kLineEndCommands[kLineEndCount] = {ID_LINE_END_CRLF, ID_LINE_END_CR, ID_LINE_END_LF,
                                                 ID_LINE_END_NONE};

std::string JoinNames(bool withLongNames)
{
    std::string list;
    for (int i = 0; i < kConversionCount; ++i) {
        if (i > 0)
            list += i + 1 == kConversionCount ? " or " : ", ";
        list += kConversions[i].optionName;
        if (withLongNames && kConversions[i].longName)
            list.append(" (").append(kConversions[i].longName).append(")");
    }
    return list;
}

} // namespace

const ConversionKind& ConversionAt(int index)
{
    return kConversions[index];
}

int ConversionIndex(std::string_view name)
{
    for (int i = 0; i < kConversionCount; ++i) {
        if (EqualsIgnoringCase(name, kConversions[i].optionName))
            return i;
    }
    return -1;
}

int ConversionCommand(bool receive, int index)
{
    if (index < 0 || index >= kConversionCount)
        return 0;
    return receive ? kConversions[index].rxCommand : kConversions[index].txCommand;
}

int ConversionOfCommand(int command, bool& receive)
{
    for (int i = 0; i < kConversionCount; ++i) {
        if (kConversions[i].rxCommand == command || kConversions[i].txCommand == command) {
            receive = kConversions[i].rxCommand == command;
            return i;
        }
    }
    return -1;
}

std::string ConversionList()
{
    return JoinNames(false);
}

std::string ConversionUsageList()
{
    return JoinNames(true);
}

int LineEndCommand(int index)
{
    return kLineEndCommands[index];
}
