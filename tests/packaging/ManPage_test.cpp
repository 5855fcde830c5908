// The manual pages against the programs' own --help: an option or directive
// added to a program must be described in its page, and a page must not
// describe an option the program no longer has.

#include "PackagingSupport.h"
#include "app/cli/CommandLineOptions.h"
#include "sim/SimOptions.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

using namespace packaging_test;

namespace {

struct Page {
    const char* program;
    const char* (*usage)();
};

const Page kPages[] = {
    {"tamsel", TamselUsage},
    {"orvane-sim", sim::SimUsage},
};

void PrintTo(const Page& page, std::ostream* out)
{
    *out << page.program;
}

std::string PagePath(const Page& page)
{
    return std::string(PACKAGING_BINARY_DIR) + "/" + page.program + ".1";
}

std::set<std::string> Matches(const std::string& text, const std::regex& pattern)
{
    std::set<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator();
         ++it)
        found.insert((*it)[1].str());
    return found;
}

// A name as the page's source writes it: every hyphen escaped.
std::set<std::string> HelpOptions(const Page& page)
{
    return Matches(page.usage(), std::regex(R"((--[a-z][a-z0-9-]*))"));
}

bool Mentions(const std::string& page, const std::string& name)
{
    const std::regex whole(std::regex_replace(name, std::regex(R"([\\.\-])"), R"(\$&)") +
                           R"((?![a-z0-9]|\\-))");
    return std::regex_search(page, whole);
}

std::string Section(const std::string& page, const std::string& name)
{
    const std::size_t start = page.find("\n.SH " + name + "\n");
    if (start == std::string::npos)
        return {};
    const std::size_t end = page.find("\n.SH ", start + 1);
    return page.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The options the OPTIONS section has an entry for, unescaped.
std::set<std::string> OptionEntries(const std::string& page)
{
    std::set<std::string> options;
    for (const std::string& option : Matches(Section(page, "OPTIONS"), std::regex(R"(\n\.B[IR]? (\\-\\-[a-z0-9\\-]+))")))
        options.insert(std::regex_replace(option, std::regex(R"(\\-)"), "-"));
    return options;
}

class ManPage : public testing::TestWithParam<Page> {
protected:
    void SetUp() override
    {
        m_page = ReadFile(PagePath(GetParam()));
        ASSERT_FALSE(m_page.empty()) << PagePath(GetParam()) << " is missing or empty";
    }
    std::string m_page;
};

TEST_P(ManPage, DescribesEveryOptionTheHelpNames)
{
    const std::set<std::string> entries = OptionEntries(m_page);
    ASSERT_FALSE(HelpOptions(GetParam()).empty());
    for (const std::string& option : HelpOptions(GetParam()))
        EXPECT_TRUE(entries.contains(option))
            << GetParam().program << "(1) has no entry for " << option << ", which "
            << GetParam().program << " --help names: add it to the OPTIONS section of packaging/"
            << GetParam().program << ".1.in";
}

TEST_P(ManPage, DescribesEveryDirectiveTheHelpNames)
{
    for (const std::string& directive : Matches(GetParam().usage(), std::regex(R"((::[a-z]+))")))
        EXPECT_TRUE(Mentions(m_page, directive))
            << GetParam().program << "(1) does not describe the directive " << directive
            << ", which " << GetParam().program << " --help names";
}

TEST_P(ManPage, ListsNoOptionTheProgramLacks)
{
    const std::set<std::string> named = HelpOptions(GetParam());
    for (const std::string& option : OptionEntries(m_page))
        EXPECT_TRUE(named.contains(option))
            << GetParam().program << "(1) describes " << option << ", which "
            << GetParam().program << " --help does not name";
}

TEST_P(ManPage, HasTheSectionsAnInstalledCommandNeeds)
{
    for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS", "FILES", "EXAMPLES"})
        EXPECT_FALSE(Section(m_page, section).empty())
            << GetParam().program << "(1) has no " << section << " section";
    EXPECT_EQ(m_page.find('@'), std::string::npos) << "a value was left unfilled by the build";
}

TEST_P(ManPage, FormatsWithoutWarnings)
{
    const CommandResult groff = RunShell("groff -man -Tutf8 -ww -z -t " + Quote(PagePath(GetParam())));
    EXPECT_EQ(groff.status, 0) << groff.output;
    EXPECT_EQ(groff.output, "");
    const CommandResult man = RunShell("LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l " +
                                  Quote(PagePath(GetParam())) + " >/dev/null");
    EXPECT_EQ(man.status, 0) << man.output;
    EXPECT_EQ(man.output, "");
}

INSTANTIATE_TEST_SUITE_P(Programs, ManPage, testing::ValuesIn(kPages),
                         [](const testing::TestParamInfo<Page>& info) {
                             return std::string(info.param.program) == "tamsel" ? "tamsel" : "orvane_sim";
                         });

} // namespace
