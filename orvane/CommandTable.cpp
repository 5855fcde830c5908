#include "orvane/CommandTable.h"

#include <cstring>

const CommandRow CommandTable[kCommandTableRows] = {
    {"reset", kCmdReset},
    {"reqprof", kCmdRequestProfile},
    {"requestprofile", kCmdRequestProfile},
    {"repprof", kCmdReplyProfile},
    {"replyprofile", kCmdReplyProfile},
    {"setid", kCmdSetId},
    {"setidreply", kCmdSetIdReply},
    {"nop", kCmdNop},
    {"nops", kCmdNops},
    {"set16", kCmdSet16},
    {"get16", kCmdGet16},
    {"set32", kCmdSet32},
    {"get32", kCmdGet32},
    {"reply16", kCmdReply16},
    {"reply32", kCmdReply32},
    {"read8", kCmdRead8},
    {"read16", kCmdRead16},
    {"write8", kCmdWrite8},
    {"write16", kCmdWrite16},
    {"mreply8", kCmdMemReply8},
    {"mreply16", kCmdMemReply16},
    {"burst", kCmdBurst},
    {"bulkset", kCmdBulkSet},
    {"bulkget", kCmdBulkGet},
    {"bulkreply", kCmdBulkReply},
    {"bset", kCmdBulkSet},
    {"bget", kCmdBulkGet},
    {"breply", kCmdBulkReply},
};

int LookUpCommand(const char* word)
{
    for (const CommandRow& row : CommandTable) {
        if (std::strcmp(row.word, word) == 0)
            return row.code;
    }
    return -1;
}
