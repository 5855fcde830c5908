#include "FuzzInput.h"

#include "xrate/CXrateRaw.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> text = CommandText(data, size);
    const std::string typed(text.data());

    CXrateRaw converter(nullptr);
    int len = kSendText;
    const std::string sent = converter.XrateSend(text.data(), len);

    Require(len == kSendText, "Raw transmit sends text");
    Require(sent == typed.substr(0, kRawSendCut) + "\r\n",
            "Raw transmit sends the first 1020 characters and a line end");
    Require(typed == text.data(), "Raw transmit leaves the command as typed");
    return 0;
}
