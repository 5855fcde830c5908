#include "FuzzInput.h"

#include "xrate/CXrateHex.h"

#include <algorithm>

namespace {

bool IsDigit(char c)
{
    return c != '\0' && std::strchr("0123456789abcdefABCDEF", c);
}

// Two digits in a row always decode; nothing without a digit ever does.
std::string DecodeDigits(const std::string& digits)
{
    std::string shown;
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        if (const unsigned value = DigitPairValue(digits[i], digits[i + 1]))
            shown.push_back(static_cast<char>(value));
    return shown;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CXrateHex converter(nullptr);
    ForEachChunk(data, size, [&](const unsigned char* bytes, int count) {
        const std::string text = reinterpret_cast<const char*>(bytes);
        const int waiting = converter.PendingLength();
        const std::string shown = converter.XrateReceive(bytes, count);
        const int left = converter.PendingLength();

        Require(left == 0 || left == 1, "at most one character waits between chunks");
        const int taken = waiting + static_cast<int>(text.size()) - left;
        Require(taken >= 0, "characters are never made up");
        Require(shown.size() <= static_cast<size_t>(taken), "no more characters shown than taken");
        Require(shown.size() <= kMaxChunk + 1, "a report holds at most 513 characters");
        if (left == 1)
            Require(text.empty() ? waiting == 1 : IsDigit(text.back()),
                    "only a trailing digit waits");
        if (waiting == 0 && std::none_of(text.begin(), text.end(), IsDigit))
            Require(shown == text && left == 0, "text without digits passes through unchanged");
        if (waiting == 0 && std::all_of(text.begin(), text.end(), IsDigit))
            Require(shown == DecodeDigits(text) && left == int(text.size() % 2),
                    "digit text decodes pair by pair");
    });
    return 0;
}
