#pragma once

// The command words of the Orvane command language and the internal command
// code each stands for. Several words share a code; the code never goes on
// the wire.

enum CommandCode {
    kCmdNop = 0,
    kCmdNops = 1,
    kCmdReset = 2,
    kCmdRequestProfile = 3,
    kCmdReplyProfile = 4,
    kCmdSetId = 5,
    kCmdSetIdReply = 6,
    kCmdSet16 = 7,
    kCmdGet16 = 8,
    kCmdSet32 = 9,
    kCmdGet32 = 10,
    kCmdReply16 = 11,
    kCmdReply32 = 12,
    kCmdRead8 = 13,
    kCmdRead16 = 14,
    kCmdMemReply8 = 15,
    kCmdMemReply16 = 16,
    kCmdWrite8 = 17,
    kCmdWrite16 = 18,
    kCmdBurst = 19,
    kCmdBulkSet = 20,
    kCmdBulkGet = 21,
    kCmdBulkReply = 22,
};

struct CommandRow {
    const char* word;
    CommandCode code;
};

inline constexpr int kCommandTableRows = 28;
extern const CommandRow CommandTable[kCommandTableRows];

// The code of the first row whose word equals word (already lower-cased), or -1.
int LookUpCommand(const char* word);
