#include "FuzzInput.h"

#include "xrate/CXrateHex.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> text = CommandText(data, size);
    const std::string typed(text.data());

    CXrateHex converter(nullptr);
    int len = kSendText;
    const std::string sent = converter.XrateSend(text.data(), len);

    Require(len == kSendText, "Hex transmit sends text");
    const size_t n = std::min<size_t>(typed.size(), kHexSendCut);
    Require(sent.size() == 2 * n + 2, "Hex transmit sends two digits per character and a line end");
    Require(sent.compare(2 * n, 2, "\r\n") == 0, "Hex transmit ends with a line end");
    for (size_t i = 0; i < n; ++i) {
        Require(IsUpperHexDigit(sent[2 * i]) && IsUpperHexDigit(sent[2 * i + 1]),
                "Hex transmit writes uppercase digits");
        Require(DigitPairValue(sent[2 * i], sent[2 * i + 1]) == static_cast<unsigned char>(typed[i]),
                "Hex transmit digits stand for the character");
    }
    return 0;
}
