// Feeds a hostile server's bytes to the Telnet client end, once whole and
// once cut into pieces where the input says, and checks that both give the
// same data, the same replies and the same port state; that the data never
// outgrows what came in; and that the replies stay within three bytes per
// negotiation received.

#include "telnet/TelnetClient.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Outcome {
    std::string data;
    std::string replies;
    telnet::Answer comPort;
    std::uint32_t baud;
    unsigned baudAnswers;
    int modem;
    int line;
};

Outcome Run(const std::uint8_t* bytes, std::size_t size, std::size_t step)
{
    telnet::TelnetClient client;
    Outcome outcome{};
    std::string opening;
    client.Start(opening);
    std::vector<unsigned char> buffer;
    for (std::size_t at = 0; at < size; at += step) {
        const std::size_t count = size - at < step ? size - at : step;
        buffer.assign(bytes + at, bytes + at + count);
        const int kept = client.Receive(buffer.data(), static_cast<int>(count), outcome.replies);
        if (kept < 0 || static_cast<std::size_t>(kept) > count)
            std::abort();
        outcome.data.append(buffer.begin(), buffer.begin() + kept);
    }
    outcome.comPort = client.ComPort();
    outcome.baud = client.BaudRate().value;
    outcome.baudAnswers = client.BaudRate().answered;
    outcome.modem = client.ModemState();
    outcome.line = client.LineState();
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t step = 1 + data[0] % 7;
    const Outcome whole = Run(data + 1, size - 1, size);
    const Outcome pieces = Run(data + 1, size - 1, step);
    if (whole.data != pieces.data || whole.replies != pieces.replies || whole.comPort != pieces.comPort ||
        whole.baud != pieces.baud || whole.baudAnswers != pieces.baudAnswers || whole.modem != pieces.modem ||
        whole.line != pieces.line)
        std::abort();
    // At most one three-byte reply per IAC received.
    std::size_t iacs = 0;
    for (std::size_t i = 1; i < size; ++i)
        iacs += data[i] == telnet::kIac;
    if (whole.replies.size() > 3 * iacs || whole.data.size() > size - 1)
        std::abort();
    return 0;
}
