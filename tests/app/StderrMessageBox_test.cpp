// Message boxes of a headless run: one line each on standard error, answered OK.
#include "app/cli/StderrMessageBox.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <ostream>
#include <string>

namespace {

struct BoxCase {
    MessageBoxCall call;
    const char* line;
};

void PrintTo(const BoxCase& c, std::ostream* out)
{
    *out << c.call.caption;
}

const BoxCase kBoxes[] = {
    {{nullptr, "Receive buffer overflowed", "Tamsel::OnReceive", 0, ""},
     "Tamsel::OnReceive: Receive buffer overflowed\n"},
    {{nullptr, "Cannot open communication port '\\\\.\\COM3'", "Tamsel::ComOpen", 0,
      "/dev/ttyS2: no such device"},
     "Tamsel::ComOpen: Cannot open communication port '\\\\.\\COM3' (/dev/ttyS2: no such device)\n"},
    {{nullptr, "Cannot read as hexadecimal\n'zz' : 2th character", "Binary Translate Alart", 48, ""},
     "Binary Translate Alart: Cannot read as hexadecimal\\n'zz' : 2th character\n"},
    {{nullptr, "two\r\nlines", "", 0, "detail\nbroken"}, ": two\\r\\nlines (detail\\nbroken)\n"},
    {{nullptr, "Cannot read as hexadecimal\n'a\x1b[2J\tb\x7f\x01' : 2th character", "Binary Translate Alart", 48, ""},
     "Binary Translate Alart: Cannot read as hexadecimal\\n'a\\x1B[2J\\tb\\x7F\\x01' : 2th character\n"},
    {{nullptr, "caf\xe9 \\\\.\\COM1", "c", 0, ""}, "c: caf\xe9 \\\\.\\COM1\n"},
};

class MessageBoxLines : public testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxLines, GiveCaptionThenTextOnOneLine)
{
    EXPECT_EQ(MessageBoxLine(GetParam().call), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Table, MessageBoxLines, testing::ValuesIn(kBoxes));

TEST(StderrMessageBox, WritesEachBoxAndAnswersOk)
{
    int ends[2];
    ASSERT_EQ(pipe2(ends, O_NONBLOCK), 0);
    const MessageBoxHandler previous = SetMessageBoxHandler({});
    InstallStderrMessageBox(ends[1]);
    EXPECT_EQ(ShowMessageBox(nullptr, "Failed to transmit", "Tamsel::ComSend", 0, "no port is open"), kIdOk);
    EXPECT_EQ(ShowMessageBox(nullptr, "Orvane", "Orvane tx", 0), kIdOk);
    SetMessageBoxHandler(previous);

    char buffer[256] = {};
    const ssize_t got = read(ends[0], buffer, sizeof buffer - 1);
    close(ends[0]);
    close(ends[1]);
    EXPECT_EQ(std::string(buffer, got > 0 ? static_cast<std::size_t>(got) : 0),
              "Tamsel::ComSend: Failed to transmit (no port is open)\nOrvane tx: Orvane\n");
}

} // namespace
