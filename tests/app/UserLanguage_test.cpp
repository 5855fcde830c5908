#include "app/UserLanguage.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

namespace {

TEST(UserLanguage, JapaneseOnlyWhenTheFirstLanguageIsJapanese)
{
    EXPECT_EQ(LanguageOf({"ja-JP", "ja"}), Language::Japanese);
    EXPECT_EQ(LanguageOf({"ja"}), Language::Japanese);
    EXPECT_EQ(LanguageOf({"en-US", "ja-JP"}), Language::English);
    EXPECT_EQ(LanguageOf({"de-DE"}), Language::English);
    EXPECT_EQ(LanguageOf({}), Language::English);
}

// Runs this test program again in its helper mode under the given locale
// variables and returns the language it chose.
QString LanguageUnder(const QStringList& variables)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
        environment.remove(QString::fromLatin1(name));
    for (const QString& variable : variables)
        environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {"--print-language"});
    if (!child.waitForFinished(20000))
        return "no answer";
    return QString::fromLatin1(child.readAllStandardOutput()).trimmed();
}

TEST(UserLanguage, FollowsTheLocaleOfTheSession)
{
    EXPECT_EQ(LanguageUnder({"LANG=ja_JP.UTF-8"}), "Japanese");
    EXPECT_EQ(LanguageUnder({"LANG=C", "LANGUAGE=ja"}), "Japanese");
    EXPECT_EQ(LanguageUnder({"LANG=en_US.UTF-8"}), "English");
    EXPECT_EQ(LanguageUnder({"LANG=ja_JP.UTF-8", "LC_ALL=de_DE.UTF-8"}), "English");
    EXPECT_EQ(LanguageUnder({}), "English");
}

} // namespace
