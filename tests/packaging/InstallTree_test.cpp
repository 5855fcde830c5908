// A real installation of the build into a scratch folder: exactly the
// programs and desktop files land there, and they work from there.

#include "PackagingSupport.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

using namespace packaging_test;

namespace {

const std::set<std::string> kInstalled = {
    "bin/orvane-sim",
    "bin/tamsel",
    "share/applications/tamsel.desktop",
    "share/doc/tamsel/changelog.gz",
    "share/doc/tamsel/copyright",
    "share/icons/hicolor/128x128/apps/tamsel.png",
    "share/icons/hicolor/16x16/apps/tamsel.png",
    "share/icons/hicolor/256x256/apps/tamsel.png",
    "share/icons/hicolor/32x32/apps/tamsel.png",
    "share/icons/hicolor/48x48/apps/tamsel.png",
    "share/icons/hicolor/64x64/apps/tamsel.png",
    "share/icons/hicolor/scalable/apps/tamsel.svg",
    "share/man/man1/orvane-sim.1.gz",
    "share/man/man1/tamsel.1.gz",
    "share/metainfo/com.pellmark.tamsel.metainfo.xml",
};

class InstallTree : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char pattern[] = "/tmp/tamsel-install-XXXXXX";
        const char* made = mkdtemp(pattern);
        ASSERT_NE(made, nullptr);
        s_prefix = made;
        s_install = RunShell(Quote(CMAKE_PROGRAM) + " --install " + Quote(TAMSEL_BUILD_DIR) + " --prefix " +
                        Quote(s_prefix));
    }
    static void TearDownTestSuite() { RunShell("rm -rf " + Quote(s_prefix)); }

    void SetUp() override { ASSERT_EQ(s_install.status, 0) << s_install.output; }

    static std::string s_prefix;
    static CommandResult s_install;
};

std::string InstallTree::s_prefix;
CommandResult InstallTree::s_install;

TEST_F(InstallTree, HoldsExactlyTheProgramsAndTheirDesktopFiles)
{
    const CommandResult found = RunShell("cd " + Quote(s_prefix) + " && find . -type f -printf '%P\\n'");
    std::set<std::string> files;
    std::istringstream lines(found.output);
    for (std::string line; std::getline(lines, line);)
        files.insert(line);
    EXPECT_EQ(files, kInstalled);
}

TEST_F(InstallTree, ProgramsRunFromThere)
{
    const CommandResult version = RunShell(Quote(s_prefix + "/bin/tamsel") + " --version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output.rfind("tamsel ", 0), 0u) << version.output;
    const CommandResult demo = RunShell("printf 'get16 5 3\\n' | " + Quote(s_prefix + "/bin/tamsel") +
                                   " --demo --headless --profile " + Quote(s_prefix + "/demo.conf") +
                                   " --rx ov11 --tx ov11 --echo off --linger 300");
    EXPECT_EQ(demo.status, 0) << demo.output;
    EXPECT_NE(demo.output.find("Rep16"), std::string::npos) << demo.output;
    const CommandResult sim = RunShell(Quote(s_prefix + "/bin/orvane-sim") + " --help");
    EXPECT_EQ(sim.status, 0) << sim.output;
}

TEST_F(InstallTree, ManFindsBothPagesThere)
{
    for (const char* page : {"tamsel", "orvane-sim"}) {
        const CommandResult where = RunShell("MANPATH=" + Quote(s_prefix + "/share/man") + " man -w " + page);
        EXPECT_EQ(where.status, 0) << where.output;
        EXPECT_EQ(where.output, s_prefix + "/share/man/man1/" + page + ".1.gz\n");
    }
}

TEST_F(InstallTree, DesktopEntryNamesTheInstalledProgramAndIcon)
{
    const std::string entry = ReadFile(s_prefix + "/share/applications/tamsel.desktop");
    EXPECT_NE(entry.find("\nExec=tamsel\n"), std::string::npos);
    EXPECT_NE(entry.find("\nIcon=tamsel\n"), std::string::npos);
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const std::string path =
            s_prefix + "/share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/tamsel.png";
        const QImage icon(QString::fromStdString(path));
        ASSERT_FALSE(icon.isNull()) << path;
        EXPECT_EQ(icon.width(), size) << path;
        EXPECT_EQ(icon.height(), size) << path;
    }
}

} // namespace
