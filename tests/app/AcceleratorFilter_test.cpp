#include "app/CAcceleratorFilter.h"
#include "resources/AcceleratorTable.h"
#include "resources/CommandIds.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTest>
#include <QVBoxLayout>

#include <vector>

namespace {

// A window with an edit in focus, as the command line is in the frame.
class AcceleratorFilterTest : public testing::Test {
protected:
    void SetUp() override
    {
        auto* central = new QWidget(&window);
        auto* layout = new QVBoxLayout(central);
        edit = new QPlainTextEdit(central);
        layout->addWidget(edit);
        window.setCentralWidget(central);
        filter = new CAcceleratorFilter(&window, MainAcceleratorTable(),
                                        [this](int id) { dispatched.push_back(id); });
        qApp->installEventFilter(filter);
        window.show();
        QApplication::setActiveWindow(&window);
        edit->setFocus();
        edit->setPlainText("hello world");
        edit->selectAll();
    }
    void TearDown() override { qApp->removeEventFilter(filter); }

    QMainWindow window;
    QPlainTextEdit* edit = nullptr;
    CAcceleratorFilter* filter = nullptr;
    std::vector<int> dispatched;
};

struct KeyCase {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int command;
};

TEST_F(AcceleratorFilterTest, TableKeysDispatchTheirCommandAndNeverReachTheEdit)
{
    const KeyCase cases[] = {
        {Qt::Key_C, Qt::ControlModifier, ID_EDIT_COPY},
        {Qt::Key_R, Qt::ControlModifier, ID_INSERT_CR},
        {Qt::Key_S, Qt::ControlModifier, ID_RECEIVE_ENABLE},
        {Qt::Key_V, Qt::ControlModifier, ID_EDIT_PASTE},
        {Qt::Key_Backspace, Qt::AltModifier, ID_EDIT_UNDO},
        {Qt::Key_Delete, Qt::ShiftModifier, ID_EDIT_CUT},
        {Qt::Key_F6, Qt::NoModifier, ID_NEXT_PANE},
        {Qt::Key_F6, Qt::ShiftModifier, ID_PREV_PANE},
        {Qt::Key_Insert, Qt::ControlModifier, ID_EDIT_COPY},
        {Qt::Key_Insert, Qt::ShiftModifier, ID_EDIT_PASTE},
        {Qt::Key_X, Qt::ControlModifier, ID_EDIT_CUT},
        {Qt::Key_Z, Qt::ControlModifier, ID_EDIT_UNDO},
        // The "=+" key gives "=" alone and "+" with Shift; the keypad's "+" is a key of its own.
        {Qt::Key_Equal, Qt::ControlModifier, ID_VIEW_ZOOM_IN},
        {Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, ID_VIEW_ZOOM_IN},
        {Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier, ID_VIEW_ZOOM_IN},
        {Qt::Key_Minus, Qt::ControlModifier, ID_VIEW_ZOOM_OUT},
        {Qt::Key_0, Qt::ControlModifier, ID_VIEW_ZOOM_RESET},
        {Qt::Key_F1, Qt::NoModifier, ID_QUICK_SEND_FIRST},
        {Qt::Key_F5, Qt::NoModifier, ID_QUICK_SEND_FIRST + 4},
        {Qt::Key_F7, Qt::NoModifier, ID_QUICK_SEND_FIRST + 5},
        {Qt::Key_F12, Qt::NoModifier, ID_QUICK_SEND_LAST},
    };
    for (const KeyCase& c : cases) {
        dispatched.clear();
        QTest::keyClick(edit, c.key, c.modifiers);
        EXPECT_EQ(dispatched, std::vector<int>{c.command}) << QKeySequence(c.key | c.modifiers).toString().toStdString();
        // Cut, delete, undo and the rest would all have changed the selected text.
        EXPECT_EQ(edit->toPlainText(), "hello world");
    }
}

TEST_F(AcceleratorFilterTest, OtherCombinationsReachTheEdit)
{
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(edit, Qt::Key_F1, Qt::ShiftModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_TRUE(dispatched.empty());
    EXPECT_EQ(edit->toPlainText(), "");
    QTest::keyClicks(edit, "ok");
    EXPECT_EQ(edit->toPlainText(), "ok");
    EXPECT_TRUE(dispatched.empty());
}

TEST_F(AcceleratorFilterTest, KeysInAnotherWindowPassBy)
{
    QWidget other;
    auto* line = new QLineEdit(&other);
    other.show();
    QApplication::setActiveWindow(&other);
    line->setFocus();
    line->setText("abc");
    line->selectAll();
    QTest::keyClick(line, Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(dispatched.empty());
    EXPECT_EQ(line->text(), "");
}

} // namespace
