// The desktop entry and the software-centre metadata as the desktop's own
// validators see them, and the version and date they carry against the
// program's About box.

#include "PackagingSupport.h"
#include "app/cli/CommandLineOptions.h"
#include "resources/DialogTemplates.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

using namespace packaging_test;

namespace {

const std::string kMetainfo = PACKAGING_BINARY_DIR "/com.pellmark.tamsel.metainfo.xml";

struct Validator {
    const char* name;
    const char* program;
    const char* arguments;
    std::string file;
};

void PrintTo(const Validator& validator, std::ostream* out)
{
    *out << validator.program;
}

class Validated : public testing::TestWithParam<Validator> {};

// Any remark counts: hints and warnings are what a distribution's review
// would send back.
TEST_P(Validated, WithoutAnyRemark)
{
    const Validator& v = GetParam();
    ASSERT_TRUE(ProgramExists(v.program)) << v.program << " is missing; scripts/install-deps.sh installs it";
    const CommandResult result = RunShell(std::string(v.program) + " " + v.arguments + " " + Quote(v.file));
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(std::regex_search(result.output, std::regex("(warning|error|hint|[IWE]: )", std::regex::icase)),
              false)
        << result.output;
}

INSTANTIATE_TEST_SUITE_P(
    Files, Validated,
    testing::Values(Validator{"desktop_entry", "desktop-file-validate", "", PACKAGING_SOURCE_DIR "/tamsel.desktop"},
                    Validator{"metainfo", "appstreamcli", "validate --no-net --pedantic", kMetainfo}),
    [](const testing::TestParamInfo<Validator>& info) { return std::string(info.param.name); });

TEST(Metainfo, ShowsScreenshotsThatExistInDocs)
{
    const std::string metainfo = ReadFile(kMetainfo);
    const std::regex image(R"(<image>[^<]*/(docs/[^<]+)</image>)");
    int shown = 0;
    for (auto it = std::sregex_iterator(metainfo.begin(), metainfo.end(), image); it != std::sregex_iterator();
         ++it, ++shown) {
        const std::string path = PACKAGING_SOURCE_DIR "/../" + (*it)[1].str();
        EXPECT_FALSE(ReadFile(path).empty()) << "the metadata shows " << path << ", which is not there";
    }
    EXPECT_GT(shown, 0) << "the metadata shows no screenshot";
}

// "Tamsel Version 1.1.2 , 100624": the version and the release day (YYMMDD).
struct AboutRelease {
    std::string version;
    std::string isoDate;
};

AboutRelease FromAboutBox()
{
    const std::regex line(R"(Tamsel Version ([0-9.]+) , ([0-9]{2})([0-9]{2})([0-9]{2}))");
    for (const DialogControl& control : AboutDialogTemplate().controls) {
        std::cmatch m;
        if (std::regex_match(control.text, m, line))
            return {m[1].str(), "20" + m[2].str() + "-" + m[3].str() + "-" + m[4].str()};
    }
    return {};
}

TEST(ReleaseInformation, MatchesTheAboutBoxEverywhere)
{
    const AboutRelease about = FromAboutBox();
    ASSERT_FALSE(about.version.empty()) << "the About box has no version line";
    EXPECT_EQ(std::string(TamselVersion()), about.version) << "tamsel --version";

    const std::string metainfo = ReadFile(kMetainfo);
    EXPECT_NE(metainfo.find("<release version=\"" + about.version + "\" date=\"" + about.isoDate + "\""),
              std::string::npos)
        << metainfo;
    for (const char* page : {"/tamsel.1", "/orvane-sim.1"}) {
        const std::string text = ReadFile(PACKAGING_BINARY_DIR + std::string(page));
        EXPECT_NE(text.find(".TH "), std::string::npos) << page;
        EXPECT_NE(text.find("\"" + about.isoDate + "\" \"Tamsel " + about.version + "\""), std::string::npos)
            << page << " heading: " << text.substr(0, text.find('\n'));
    }
    const std::string changelog = ReadFile(PACKAGING_SOURCE_DIR "/changelog");
    EXPECT_EQ(changelog.rfind("tamsel (" + about.version + ") ", 0), 0u)
        << "the newest changelog entry is not this version: " << changelog.substr(0, changelog.find('\n'));
}

} // namespace
