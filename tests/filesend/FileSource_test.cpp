// Reading a file to send: lines across the reader's buffer, and files that
// cannot be sent, each refused with the file's name and the reason.
#include "filesend/FileSource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string WriteTemp(const std::string& content)
{
    char pattern[] = "/tmp/tamsel-source-XXXXXX";
    close(mkstemp(pattern));
    std::ofstream(pattern, std::ios::binary) << content;
    return pattern;
}

TEST(FileSource, LinesAcrossManyBufferFillsComeBackExactly)
{
    // Lengths that straddle the 64 KiB reads, both line ends, and a last line without one.
    std::vector<std::string> lines;
    std::string content;
    for (int i = 0; content.size() < 300 * 1024; ++i) {
        lines.push_back(std::string(static_cast<std::size_t>((i * 2654435761u) % 9000), static_cast<char>('a' + i % 26)));
        content += lines.back() + (i % 2 ? "\r\n" : "\n");
    }
    lines.push_back("tail");
    content += "tail";
    const std::string path = WriteTemp(content);

    FileSource source;
    std::string error;
    ASSERT_EQ(source.Open(path, error), 0) << error;
    std::vector<std::string> read;
    std::string line;
    int got;
    while ((got = source.NextLine(line, error)) == 1)
        read.push_back(line);
    EXPECT_EQ(got, 0) << error;
    EXPECT_EQ(read, lines);
    EXPECT_EQ(source.Consumed(), static_cast<long long>(content.size()));
    std::remove(path.c_str());
}

TEST(FileSource, FilesThatCannotBeSentAreNamedWithTheReason)
{
    const std::string fifo = "/tmp/tamsel-source-fifo-" + std::to_string(getpid());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {"/tmp/tamsel-no-such-file", "No such file or directory"},
        {"/tmp", "Is a directory"},
        {fifo, "only a regular file"},  // and the open does not wait for a writer
    };
    for (const auto& c : cases) {
        FileSource source;
        std::string error;
        EXPECT_EQ(source.Open(c.path, error), -1) << c.path;
        EXPECT_NE(error.find(c.path), std::string::npos) << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    std::remove(fifo.c_str());
}

} // namespace
