#include "xrate/MessageBox.h"

#include <cstdio>
#include <utility>

namespace {

MessageBoxHandler& CurrentHandler()
{
    static MessageBoxHandler handler;
    return handler;
}

int PrintToStderr(const MessageBoxCall& call)
{
    std::fprintf(stderr, "%s: %s\n", call.caption.c_str(), call.text.c_str());
    if (!call.detail.empty())
        std::fprintf(stderr, "  (%s)\n", call.detail.c_str());
    return kIdOk;
}

} // namespace

int ShowMessageBox(void* owner, const char* text, const char* caption, unsigned type,
                   const char* detail)
{
    MessageBoxCall call{owner, text ? text : "", caption ? caption : "", type,
                        detail ? detail : ""};
    // Copy the handler so one that replaces itself while showing stays alive.
    MessageBoxHandler handler = CurrentHandler();
    return handler ? handler(call) : PrintToStderr(call);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    return std::exchange(CurrentHandler(), std::move(handler));
}
