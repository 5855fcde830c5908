// The commands sent: recall order, repeats, capacity and the file across runs.
#include "history/CommandHistory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

std::vector<std::string> Entries(const CommandHistory& history)
{
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < history.Size(); ++i)
        entries.push_back(history.At(i));
    return entries;
}

class TemporaryFolder {
public:
    TemporaryFolder()
    {
        char pattern[] = "/tmp/tamsel-history-XXXXXX";
        path = mkdtemp(pattern) ? pattern : "";
    }
    ~TemporaryFolder() { std::system(("rm -rf '" + path + "'").c_str()); }
    std::string path;
};

TEST(CommandHistory, KeepsNewestFirstAndAConsecutiveRepeatOnce)
{
    CommandHistory history;
    for (const char* command : {"a", "b", "b", "a", "", ""})
        history.Add(command);
    EXPECT_EQ(Entries(history), (std::vector<std::string>{"", "a", "b", "a"}));
}

TEST(CommandHistory, DropsTheOldestBeyondItsCapacity)
{
    CommandHistory history;
    for (std::size_t i = 0; i <= CommandHistory::kCapacity; ++i)
        history.Add(std::to_string(i));
    ASSERT_EQ(history.Size(), CommandHistory::kCapacity);
    EXPECT_EQ(history.At(0), std::to_string(CommandHistory::kCapacity));
    EXPECT_EQ(history.At(CommandHistory::kCapacity - 1), "1");
}

// Each step: 'U' older, 'D' newer, 'E' leave; the text after it, or "-" when
// the step changes nothing.
TEST(CommandHistory, WalksOlderAndNewerAndLeavesBackToTheEditedText)
{
    struct Step {
        char key;
        const char* text;
    };
    const Step steps[] = {{'D', "-"}, {'E', "-"}, {'U', "three"}, {'U', "two"}, {'U', "one"},
                          {'U', "-"}, {'D', "two"}, {'D', "three"}, {'D', "draft"}, {'D', "-"},
                          {'U', "three"}, {'U', "two"}, {'E', "draft"}, {'E', "-"}};
    CommandHistory history;
    for (const char* command : {"one", "two", "three"})
        history.Add(command);
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        std::string text = "-";
        const bool moved = steps[i].key == 'U'   ? history.Older("draft", text)
                           : steps[i].key == 'D' ? history.Newer(text)
                                                 : history.Leave(text);
        EXPECT_EQ(moved, std::string(steps[i].text) != "-") << "step " << i;
        EXPECT_EQ(text, steps[i].text) << "step " << i;
    }
}

TEST(CommandHistory, AddEndsTheWalkAndForgetsTheEditedText)
{
    CommandHistory history;
    history.Add("one");
    std::string text;
    ASSERT_TRUE(history.Older("draft", text));
    history.Add("one");
    EXPECT_FALSE(history.Walking());
    EXPECT_FALSE(history.Newer(text));
}

TEST(CommandHistory, FileKeepsEveryCommandWholeAcrossRuns)
{
    TemporaryFolder folder;
    const std::string path = folder.path + "/state/tamsel/history";
    CommandHistory first;
    const std::vector<std::string> sent = {"plain", "two\r\nlines", "back\\slash\\n", "", "end\\"};
    for (const std::string& command : sent)
        first.Add(command);
    std::string error;
    ASSERT_EQ(first.Save(path, error), 0) << error;

    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_NE(access((path + ".new").c_str(), F_OK), 0);

    CommandHistory second;
    second.Add("forgotten");
    ASSERT_EQ(second.Load(path, error), 0) << error;
    EXPECT_EQ(Entries(second), std::vector<std::string>(sent.rbegin(), sent.rend()));
}

TEST(CommandHistory, ReadsAHandWrittenFileAndKeepsTheNewestThousand)
{
    TemporaryFolder folder;
    const std::string path = folder.path + "/history";
    {
        std::ofstream file(path);
        for (std::size_t i = 0; i < CommandHistory::kCapacity + 5; ++i)
            file << "c" << i << "\n";
        file << "odd \\x escape";  // no final line end
    }
    CommandHistory history;
    std::string error;
    ASSERT_EQ(history.Load(path, error), 0) << error;
    ASSERT_EQ(history.Size(), CommandHistory::kCapacity);
    EXPECT_EQ(history.At(0), "odd \\x escape");
    EXPECT_EQ(history.At(1), "c" + std::to_string(CommandHistory::kCapacity + 4));
}

TEST(CommandHistory, AMissingFileIsAnEmptyHistoryAndAFailureNamesTheFile)
{
    TemporaryFolder folder;
    CommandHistory history;
    std::string error;
    EXPECT_EQ(history.Load(folder.path + "/none", error), 0);
    EXPECT_EQ(history.Size(), 0u);

    const std::string notAFolder = folder.path + "/plain";
    std::ofstream(notAFolder) << "x";
    history.Add("kept");
    EXPECT_EQ(history.Save(notAFolder + "/history", error), -1);
    EXPECT_NE(error.find(notAFolder), std::string::npos) << error;
    EXPECT_NE(error.find("Not a directory"), std::string::npos) << error;

    EXPECT_EQ(history.Load(folder.path, error), -1) << "a folder is not a history file";
    EXPECT_NE(error.find(folder.path), std::string::npos);
    EXPECT_EQ(Entries(history), std::vector<std::string>{"kept"}) << "a failed load keeps what was there";
}

TEST(CommandHistory, DefaultPathFollowsTheStateFolder)
{
    const char* savedState = std::getenv("XDG_STATE_HOME");
    const std::string keep = savedState ? savedState : "";
    setenv("XDG_STATE_HOME", "/srv/state", 1);
    EXPECT_EQ(DefaultHistoryPath(), "/srv/state/tamsel/history");
    setenv("XDG_STATE_HOME", "relative", 1);
    setenv("HOME", std::getenv("HOME") ? std::getenv("HOME") : "/root", 1);
    EXPECT_EQ(DefaultHistoryPath(), std::string(std::getenv("HOME")) + "/.local/state/tamsel/history");
    if (savedState)
        setenv("XDG_STATE_HOME", keep.c_str(), 1);
    else
        unsetenv("XDG_STATE_HOME");
}

} // namespace
