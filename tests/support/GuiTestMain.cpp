// The main of the window's test programs: the offscreen platform unless
// another is asked for, a settings store in a fresh folder (no test may see
// the user's profile), and one QApplication on the user-interface thread.
#include <gtest/gtest.h>

#include "app/UserLanguage.h"
#include "xrate/UserInterfaceThread.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char* argv[])
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Before the first QSettings: the tests must never see the user's profile.
    QTemporaryDir config;
    if (!config.isValid()) {
        std::fprintf(stderr, "cannot make a settings folder for the tests\n");
        return 2;
    }
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);

    QApplication application(argc, argv);
    MarkUserInterfaceThread();
    // Helper mode for the locale test, which runs its program again under
    // another environment and reads the language it prints.
    if (argc > 1 && std::strcmp(argv[1], "--print-language") == 0) {
        std::printf("%s\n", UserLanguage() == Language::Japanese ? "Japanese" : "English");
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
