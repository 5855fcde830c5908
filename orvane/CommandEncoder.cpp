#include "orvane/CommandEncoder.h"

#include "orvane/CommandTable.h"
#include "orvane/Framing.h"
#include "orvane/LowerCase.h"
#include "orvane/ParseNumber.h"
#include "orvane/PayloadForms.h"
#include "orvane/TransmitMessages.h"
#include "orvane/WordScan.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr int kWordCapacity = kMaxWordLength + 1;
constexpr int kBurstDestination = 0x20;
constexpr int kUnicast = 0x40;
constexpr int kBroadcast = 0x80;

// A broadcast carries the sender in place of a node; "this" addresses the
// system's own node.
int DestinationByte(const char* word, int ownNodeId)
{
    if (std::strcmp(word, "all") == 0 || std::strstr(word, "cast") != nullptr)
        return kBroadcast + ownNodeId;
    if (std::strcmp(word, "this") == 0)
        return kUnicast + ownNodeId;
    const char* position = word;
    int32_t node = 0;
    if (ParseNumber(position, node) == NumberToken::Number && node >= 0 && node <= kHighestNodeId)
        return kUnicast + node;
    return -1;
}

} // namespace

int ParseCommand(const char* statement, int& payloadLength, unsigned char* payload, int ownNodeId,
                 RefusalSink& refusals)
{
    const char* position = statement;
    const Word first = NextWord(position);
    if (first.length == 0)
        return -1;
    char asTyped[kWordCapacity];
    char command[kWordCapacity];
    CopyWord(first, asTyped, kWordCapacity);
    CopyWord(first, command, kWordCapacity);
    LowerCase(command);

    const int code = LookUpCommand(command);
    if (code < 0) {
        ShowTransmitMessage(refusals, "Illegal command '%s'", command, kCaptionTransmit);
        return -1;
    }
    if (code == kCmdNop || code == kCmdNops) {
        payloadLength = code == kCmdNop ? kNopFill : kNopsFill;
        return 0;
    }
    if (code == kCmdBurst) {
        const int length = BuildBurstPayload({position, command, ownNodeId, refusals, payload});
        if (length < 0)
            return -1;
        payloadLength = length;
        return kBurstDestination;
    }

    const Word destinationWord = NextWord(position);
    if (destinationWord.length == 0) {
        ShowTransmitMessage(refusals, "Syntax error\n%s <destination> args", asTyped,
                            kCaptionTransmit);
        return -1;
    }
    char destinationText[kWordCapacity];
    CopyWord(destinationWord, destinationText, kWordCapacity);
    LowerCase(destinationText);
    const int destination = DestinationByte(destinationText, ownNodeId);
    if (destination < 0) {
        ShowTransmitMessage(refusals, "Destination is not collect\n(0-63, all)", "", kCaptionTransmit);
        return -1;
    }

    const int length = BuildPayload(code, {position, command, ownNodeId, refusals, payload});
    if (length < 0)
        return -1;
    payloadLength = length;
    return destination;
}
