#include "orvane/LocalCommands.h"

#include "orvane/NodeTable.h"
#include "orvane/ShowNode.h"

#include <cstring>

namespace {

bool StartsWith(const char* text, const char* prefix)
{
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

} // namespace

bool RunLocalCommand(char* text, int& len, char* out, int capacity, const char*& result)
{
    len = 0;
    if (StartsWith(text, "shownode")) {
        result = ShowNode(text, len, out, capacity);
        return true;
    }
    if (StartsWith(text, "rawmode") || StartsWith(text, "normalmode")) {
        RawMode = text[0] == 'r' ? 1 : 0;
        result = nullptr;
        return true;
    }
    return false;
}
