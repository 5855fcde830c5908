#include "orvane/CXrateOV.h"

#include "orvane/LocalCommands.h"
#include "orvane/NodeTable.h"
#include "orvane/TransmitMessages.h"

#include <cstring>

CXrateOV::CXrateOV(void* owner, int ownNodeId) : CXrateOV(owner, ownNodeId, FrameVersion::V10) {}

CXrateOV::CXrateOV(void* owner, int ownNodeId, FrameVersion version)
    : CXrate(owner), OwnNodeId(ownNodeId), Version(version), Refusals(owner)
{
    EnsureNodeTable();
}

// Each ';'-separated statement becomes one packet; the packets of the line go
// out together. A refused statement has shown its message and adds nothing,
// the others are still sent.
const char* CXrateOV::XrateSend(char* text, int& len)
{
    char* const report = reinterpret_cast<char*>(TransmitData);
    const char* localResult = nullptr;
    if (RunLocalCommand(text, len, report, kTransmitDataSize, localResult))
        return localResult;

    int fill = 0;
    char* cursor = text;
    while (*cursor != '\0') {
        char* const separator = std::strchr(cursor, ';');
        char* const next = separator ? separator + 1 : cursor + std::strlen(cursor);
        if (separator)
            *separator = '\0';
        unsigned char statement[kStatementBufferSize];
        int length = -1;
        BuildPacket(cursor, length, statement);
        // Half a line on the bus is worse than none: the user can split it.
        if (length > kTransmitDataSize - fill) {
            ShowTransmitMessage(Refusals,
                                "The packets of this line exceed 32768 bytes\n"
                                "nothing of the line was sent",
                                "", kCaptionTx);
            len = 0;
            return report;
        }
        if (length > 0) {
            std::memcpy(TransmitData + fill, statement, std::size_t(length));
            fill += length;
        }
        cursor = next;
    }
    len = fill;
    return report;
}

void CXrateOV::BuildPacket(const char* statement, int& len, unsigned char* packet)
{
    const int framed = FrameStatement(statement, Version, OwnNodeId, Refusals, packet);
    if (framed >= 0)
        len = framed;
}

// The node table outlives every converter.
CXrateOV::~CXrateOV() = default;
