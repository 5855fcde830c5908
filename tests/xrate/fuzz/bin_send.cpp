#include "FuzzInput.h"

#include "support/MessageBoxRecorder.h"
#include "xrate/CXrateBin.h"

using testsupport::MessageBoxRecorder;

namespace {

bool IsDigit(char c)
{
    return c != '\0' && std::strchr("0123456789abcdefABCDEF", c);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static MessageBoxRecorder recorder;
    recorder.calls.clear();

    std::vector<char> text = CommandText(data, size);
    const std::string typed(text.data());
    const std::string used = typed.substr(0, kBinSendCut);

    int view = 0;
    CXrateBin converter(&view);
    int len = kSendText;
    const char* result = converter.XrateSend(text.data(), len);

    Require(typed == text.data(), "Bin transmit leaves the command as typed");
    Require(recorder.calls.size() <= 1, "Bin transmit shows at most one message");
    if (!recorder.calls.empty()) {
        const MessageBoxCall& call = recorder.calls[0];
        Require(call.caption == "Binary Translate Alart" && call.type == 48 && call.owner == &view,
                "Bin transmit messages have their caption, type and owner");
        Require(len == kSendText && result && result[0] == '\0',
                "a rejected command sends nothing");
        if (used.size() % 2 != 0) {
            Require(call.text == "Input must be sequential pair of hex chars without space",
                    "an odd command gets the odd-length message");
            return 0;
        }
        const std::string prefix = "Cannot read as hexadecimal\n'";
        Require(call.text.compare(0, prefix.size(), prefix) == 0, "an unreadable pair is named");
        const size_t close = prefix.size() + 2;
        Require(call.text.size() > close && call.text[close] == '\'', "the pair is two characters");
        const std::string pair = call.text.substr(prefix.size(), 2);
        const int position = std::atoi(call.text.c_str() + close + 4);
        Require(call.text == prefix + pair + "' : " + std::to_string(position) + "th character",
                "the unreadable-pair message has its form");
        Require(position >= 0 && position % 2 == 0 && size_t(position) + 1 < used.size(),
                "the position is that of a pair of the command");
        Require(used.compare(size_t(position), 2, pair) == 0, "the message quotes the pair");
        Require(!(IsDigit(pair[0]) && IsDigit(pair[1])), "two digits always read");
        return 0;
    }

    Require(used.size() % 2 == 0, "an odd command is rejected");
    Require(len >= 0 && size_t(len) == used.size() / 2, "Bin transmit sends one byte per pair");
    Require(result && result[len] == '\0', "the bytes are followed by a zero byte");
    for (size_t i = 0; i < used.size(); i += 2) {
        if (IsDigit(used[i]) && IsDigit(used[i + 1]))
            Require(static_cast<unsigned char>(result[i / 2]) == DigitPairValue(used[i], used[i + 1]),
                    "two digits send the byte they stand for");
    }
    return 0;
}
