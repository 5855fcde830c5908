#include "resources/AcceleratorTable.h"
#include "resources/CommandIds.h"
#include "resources/MenuResource.h"
#include "resources/QuickSendKeys.h"
#include "resources/StringTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>

namespace {

std::set<int> MenuIds()
{
    std::set<int> ids;
    for (const MenuPopupResource& popup : MainMenuResource()) {
        for (const MenuItemResource& item : popup.items) {
            if (item.id != 0)
                ids.insert(item.id);
        }
    }
    return ids;
}

TEST(Resources, EveryMenuItemHasACaptionAndPromptInBothLanguages)
{
    for (const Language language : {Language::English, Language::Japanese}) {
        const StringTable& strings = StringTable::Builtin(language);
        for (const MenuPopupResource& popup : MainMenuResource()) {
            EXPECT_NE(MenuCaption(popup, language), nullptr);
            for (const MenuItemResource& item : popup.items) {
                if (item.id == 0)
                    continue;
                EXPECT_NE(MenuCaption(item, language), nullptr) << item.id;
                EXPECT_NE(strings.Find(item.id), nullptr) << "no prompt for " << item.id;
            }
        }
    }
}

// How a menu caption writes a key of the accelerator table after its tab.
std::string ShortcutLabel(const AcceleratorEntry& entry)
{
    std::string label;
    if (entry.flags & FCONTROL)
        label += "Ctrl+";
    if (entry.flags & FSHIFT)
        label += "Shift+";
    if (entry.flags & FALT)
        label += "Alt+";
    if (entry.key == VK_OEM_PLUS)
        return label + "+";
    if (entry.key == VK_OEM_MINUS)
        return label + "-";
    if (entry.key >= VK_F1 && entry.key <= VK_F12)
        return label + "F" + std::to_string(entry.key - VK_F1 + 1);
    if ((entry.key >= 'A' && entry.key <= 'Z') || (entry.key >= '0' && entry.key <= '9'))
        return label + static_cast<char>(entry.key);
    return label + "key " + std::to_string(entry.key);
}

// The key a caption names after its tab is text only: the accelerator table
// must hold that very key for the item's command, in both languages. Enter
// alone is the command line's own key, not an accelerator.
TEST(Resources, EveryShortcutACaptionNamesIsTheAcceleratorOfItsCommand)
{
    int named = 0;
    for (const Language language : {Language::English, Language::Japanese}) {
        for (const MenuPopupResource& popup : MainMenuResource()) {
            for (const MenuItemResource& item : popup.items) {
                if (item.id == 0)
                    continue;
                const char* tab = std::strchr(MenuCaption(item, language), '\t');
                if (tab == nullptr || std::strcmp(tab + 1, "Enter") == 0)
                    continue;
                ++named;
                bool found = false;
                for (const AcceleratorEntry& entry : MainAcceleratorTable())
                    found = found || (entry.command == item.id && ShortcutLabel(entry) == tab + 1);
                EXPECT_TRUE(found) << MenuCaption(item, language);
            }
        }
    }
    EXPECT_EQ(named, 2 * 11);
}

TEST(Resources, AcceleratorsReachMenuCommandsTheFourThatDoNothingOrAQuickSendKey)
{
    const std::set<int> menu = MenuIds();
    const std::set<int> inert = {ID_EDIT_CUT, ID_EDIT_UNDO, ID_NEXT_PANE, ID_PREV_PANE};
    std::set<int> quickSend;
    for (const QuickSendKey& key : QuickSendKeys())
        quickSend.insert(key.command);
    std::set<std::pair<unsigned char, unsigned short>> keys;
    for (const AcceleratorEntry& entry : MainAcceleratorTable()) {
        EXPECT_TRUE(menu.count(entry.command) || inert.count(entry.command) || quickSend.count(entry.command))
            << entry.command;
        EXPECT_EQ(entry.flags & (FVIRTKEY | FNOINVERT), FVIRTKEY | FNOINVERT);
        EXPECT_TRUE(keys.insert({entry.flags, entry.key}).second) << "key " << entry.key << " bound twice";
    }
    EXPECT_EQ(keys.size(), 16u + 4u + QuickSendKeys().size());
}

TEST(Resources, EachQuickSendKeyIsAFreeFunctionKeyOfTheTableWithItsOwnCommand)
{
    std::set<int> commands;
    for (const QuickSendKey& key : QuickSendKeys()) {
        EXPECT_NE(key.virtualKey, VK_F6) << key.name;
        EXPECT_EQ(std::string(key.name), "F" + std::to_string(key.virtualKey - VK_F1 + 1));
        EXPECT_TRUE(commands.insert(key.command).second) << key.name;
        EXPECT_GE(key.command, ID_QUICK_SEND_FIRST);
        EXPECT_LE(key.command, ID_QUICK_SEND_LAST);
        int bound = 0;
        for (const AcceleratorEntry& entry : MainAcceleratorTable()) {
            if (entry.key == key.virtualKey)
                bound = (entry.flags == (FVIRTKEY | FNOINVERT)) ? entry.command : -1;
        }
        EXPECT_EQ(bound, key.command) << key.name << " must be bound alone, without modifiers";
    }
    EXPECT_EQ(QuickSendKeys().size(), 11u) << "F1 to F12 but F6";
}

TEST(Resources, OnlyTheJapaneseStringsOfFiveCommandsHaveASecondLine)
{
    const std::set<int> twoLines = {ID_EDIT_COPY, ID_EDIT_PASTE, ID_APP_ABOUT, ID_APP_EXIT,
                                    ID_VIEW_STATUS_BAR};
    for (const int id : MenuIds()) {
        EXPECT_EQ(std::strchr(StringTable::Builtin(Language::English).Find(id), '\n'), nullptr) << id;
        const bool second = std::strchr(StringTable::Builtin(Language::Japanese).Find(id), '\n');
        EXPECT_EQ(second, twoLines.count(id) == 1) << id;
    }
}

TEST(Resources, ApplicationNameIsTheSameInBothLanguages)
{
    // The profile is filed under it: a Japanese session must find an English one's settings.
    EXPECT_STREQ(StringTable::Builtin(Language::English).Find(AFX_IDS_APP_TITLE),
                 "TamSel Serial port Monitor 1.1 (OV1.1)");
    EXPECT_STREQ(StringTable::Builtin(Language::Japanese).Find(AFX_IDS_APP_TITLE),
                 StringTable::Builtin(Language::English).Find(AFX_IDS_APP_TITLE));
}

TEST(Resources, UnknownIdsAreNotFound)
{
    EXPECT_EQ(StringTable::Builtin(Language::English).Find(12345), nullptr);
}

} // namespace
