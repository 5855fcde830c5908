#include "ViewHarness.h"

#include "resources/CommandIds.h"
#include "view/CEditCR.h"
#include "view/CReportWindow.h"
#include "view/ReportDisplay.h"

#include <QClipboard>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QUrl>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>

#include <string>
#include <vector>

namespace {

TEST(ReportDisplay, LineEndsOfEveryKindBreakTheLineOnce)
{
    EXPECT_EQ(DisplayText("a\r\nb\rc\nd"), QStringLiteral("a\nb\nc\nd"));
    EXPECT_EQ(DisplayText("\nx", '\r'), QStringLiteral("x")) << "the rest of a split \"\\r\\n\"";
    EXPECT_EQ(DisplayText("\n\r"), QStringLiteral("\n\n"));
    EXPECT_EQ(DisplayText("\xE9\xA0\x7F"), QString(QChar(0xE9)) + QChar(0xA0) + QChar(0x7F));
}

TEST(ReportDisplay, PositionsMapBothWaysAroundALineEnd)
{
    const std::string text = "ab\r\ncd";
    const int shown[] = {0, 1, 2, 3, 3, 4, 5};
    for (int pos = 0; pos <= 6; ++pos)
        EXPECT_EQ(DisplayPosition(text, pos), shown[pos]) << "position " << pos;
    EXPECT_EQ(ReportPosition(text, 2), 2) << "before the line end";
    EXPECT_EQ(ReportPosition(text, 3), 4) << "a line start lies past the whole line end";
    EXPECT_EQ(ReportPosition(text, 99), 6);
}

// Every text of up to seven characters from 'a', "\r" and "\n": the position
// maps agree with the display text itself at every position.
TEST(ReportDisplay, PositionMapsAgreeWithTheDisplayTextEverywhere)
{
    const auto shownLength = [](const std::string& text, std::size_t from, std::size_t to) {
        return static_cast<int>(DisplayText(std::string_view(text).substr(from, to - from), from > 0 ? text[from - 1] : 0).size());
    };
    std::string text;
    for (int length = 0; length <= 7; ++length) {
        int combinations = 1;
        for (int i = 0; i < length; ++i)
            combinations *= 3;
        for (int code = 0; code < combinations; ++code) {
            text.clear();
            for (int i = 0, rest = code; i < length; ++i, rest /= 3)
                text += "a\r\n"[rest % 3];
            const auto size = text.size();
            for (std::size_t from = 0; from <= size; ++from)
                for (std::size_t to = from; to <= size; ++to)
                    ASSERT_EQ(DisplayDistance(text, static_cast<int>(from), static_cast<int>(to)), shownLength(text, from, to))
                        << testing::PrintToString(text) << " " << from << ".." << to;
            for (int shown = 0; shown <= shownLength(text, 0, size) + 1; ++shown) {
                // The first position that is itself on screen with at least shown characters before it.
                std::size_t expected = size;
                for (std::size_t at = 0; at < size; ++at)
                    if (shownLength(text, 0, at) >= shown && shownLength(text, at, at + 1) == 1) {
                        expected = at;
                        break;
                    }
                ASSERT_EQ(ReportPosition(text, shown), static_cast<int>(expected)) << testing::PrintToString(text) << " " << shown;
            }
        }
    }
}

class ReportWindow : public ::testing::Test {
protected:
    void SetUp() override { window.resize(400, 300); }

    QString Shown() const { return window.document()->toPlainText(); }
    QString Expected() const { return DisplayText(report.Text()); }

    // What a user's selection in the window does: the window is brought up
    // to date first, then the selection is made there.
    void UserSelects(int start, int end)
    {
        window.Refresh();
        QTextCursor cursor(window.document());
        cursor.setPosition(DisplayPosition(report.Text(), start));
        cursor.setPosition(DisplayPosition(report.Text(), end), QTextCursor::KeepAnchor);
        window.setTextCursor(cursor);
    }

    void Append(const std::string& text)
    {
        report.Append(text.c_str());
        window.ReportChanged(true);
    }

    CReportText report;
    CReportWindow window{report};
};

std::string NumberedLines(int count, int from = 0)
{
    std::string text;
    for (int i = from; i < from + count; ++i)
        text += "report line number " + std::to_string(i) + " with some padding text\r\n";
    return text;
}

TEST_F(ReportWindow, CatchesUpWithAppendsTrimsAndClearsBetweenRefreshes)
{
    struct Step {
        std::string append;  // empty: clear the report
        bool refresh;
    };
    const std::vector<Step> steps = {
        {NumberedLines(100), true},     {NumberedLines(300, 100), false}, {NumberedLines(300, 400), true},
        {"partial \r", false},          {"\nrest\r\n", true},            {"", false},
        {NumberedLines(50, 700), true}, {NumberedLines(900, 750), false}, {"lone\nfeed\n", true},
    };
    for (const Step& step : steps) {
        if (step.append.empty()) {
            report.Clear();
            window.ReportChanged(false);
        } else {
            Append(step.append);
        }
        if (step.refresh) {
            window.Refresh();
            ASSERT_EQ(Shown(), Expected());
        }
    }
}

TEST_F(ReportWindow, RefreshesOnItsOwnAtDisplayRate)
{
    window.show();
    Append("first line\r\n");
    EXPECT_EQ(Shown(), QString()) << "not on every append";
    EXPECT_TRUE(WaitUntil([&] { return Shown() == Expected(); }, 1000));
}

TEST_F(ReportWindow, KeepsUpWhileTheLineFloods)
{
    window.show();
    Append(NumberedLines(400));
    window.Refresh();  // brought in a flood: the next refresh takes its time
    Append(NumberedLines(10, 400));
    EXPECT_TRUE(WaitUntil([&] { return Shown() == Expected(); }, 2000));
}

TEST_F(ReportWindow, HiddenWindowMirrorsNothingUntilItIsShown)
{
    Append(NumberedLines(5));
    QTest::qWait(CReportWindow::kRefreshIntervalMs + 100);
    EXPECT_EQ(Shown(), QString()) << "nobody sees it";
    window.show();
    EXPECT_EQ(Shown(), Expected()) << "brought up to date as it is shown";
    window.hide();
    Append(NumberedLines(5, 5));
    window.show();
    EXPECT_EQ(Shown(), Expected());
}

// A trim of a large report leaves megabytes to drop from the window: they go
// a slice per pass of the event loop, and meanwhile the window's end is the
// report's and a selection the user makes there lands on the same text.
TEST_F(ReportWindow, DropsALargeTrimAPassAtATimeAndKeepsTheSelectionOnTheSameText)
{
    report.SetLimit(2 * 1024 * 1024);
    window.show();
    Append(NumberedLines(30000));
    window.Refresh();
    Append(NumberedLines(15000, 30000));
    ASSERT_GT(report.Base(), 4 * CReportWindow::kDropSliceChars) << "the trim dropped more than a few slices";
    window.Refresh();
    EXPECT_TRUE(Shown().endsWith(Expected()));
    EXPECT_GT(Shown().size(), Expected().size()) << "the whole drop in one pass would stall the window";

    const int end = window.document()->characterCount() - 1;
    QTextCursor cursor(window.document());
    cursor.setPosition(end - 5);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    window.setTextCursor(cursor);
    ASSERT_EQ(report.Text().substr(static_cast<std::size_t>(report.SelStart()),
                                   static_cast<std::size_t>(report.SelEnd() - report.SelStart())),
              "text\r\n");

    EXPECT_TRUE(WaitUntil([&] { return Shown() == Expected(); }, 10000));
    EXPECT_EQ(window.textCursor().selectedText(), QStringLiteral("text") + QChar(QChar::ParagraphSeparator));
}

// A window shown after its report grew large takes the text in a slice per
// pass of the event loop, its view following the end. Meanwhile a selection
// there, select all and copy give the report's own text, a match in text
// still to come is brought in and stays in view, and a "\r\n" split between
// two slices is still one line break.
TEST_F(ReportWindow, BringsALargeAppendInAPassAtATimeAndSelectsTheReportsText)
{
    const int slice = CReportWindow::kBringSliceChars;
    report.SetLimit(4 * 1024 * 1024);
    std::string text(static_cast<std::size_t>(slice) - 1, 'a');
    text.append("\r\n").append(NumberedLines(60000));
    Append(text);
    window.show();
    ASSERT_EQ(Shown(), QString(slice - 1, QLatin1Char('a')) + QLatin1Char('\n')) << "the first slice, up to the \"\\r\"";

    const int end = window.document()->characterCount() - 1;
    QTextCursor cursor(window.document());
    cursor.setPosition(end - 4);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    window.setTextCursor(cursor);
    window.Copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("aaa\n"));

    window.selectAll();
    window.Copy();
    ASSERT_LT(Shown().size(), Expected().size() / 2) << "all of it in one pass would stall the window";
    EXPECT_TRUE(Expected().startsWith(Shown()));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), Expected());
    EXPECT_EQ(window.verticalScrollBar()->value(), window.verticalScrollBar()->maximum()) << "an append scrolls to the end";

    const auto match = static_cast<int>(report.Text().find("number 30000 "));
    report.SetSel(match, match + 12);
    window.ShowMatch();
    EXPECT_TRUE(WaitUntil([&] { return Shown() == Expected(); }, 10000));
    EXPECT_EQ(window.textCursor().selectedText(), QStringLiteral("number 30000"));
    EXPECT_TRUE(window.viewport()->rect().contains(window.cursorRect())) << "the match is left in view";
}

TEST_F(ReportWindow, AClearedReportEmptiesTheWindowWhichKeepsItsFontAndNoWrap)
{
    QFont font = window.font();
    font.setPixelSize(23);
    window.setFont(font);
    window.show();
    Append(NumberedLines(50));
    window.Refresh();
    report.Clear();
    window.ReportChanged(false);
    window.Refresh();
    EXPECT_EQ(Shown(), QString());
    Append("after\r\n");
    window.Refresh();
    EXPECT_EQ(Shown(), Expected());
    EXPECT_EQ(window.document()->defaultFont().pixelSize(), 23);
    EXPECT_EQ(window.document()->defaultTextOption().wrapMode(), QTextOption::NoWrap);
}

TEST(ReportWindowFocus, TheCaretIsPutInPlaceWhenTheUserComesToTheWindow)
{
    QWidget frame;
    auto* elsewhere = new QLineEdit(&frame);
    CReportText report;
    auto* window = new CReportWindow(report, &frame);
    window->setGeometry(0, 30, 300, 200);
    frame.show();
    // On an X server without a window manager nothing activates a new window.
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    elsewhere->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return elsewhere->hasFocus(); }, 1000));

    report.Append("first\r\n");
    report.Append("second\r\n");
    window->ReportChanged(true);
    ASSERT_EQ(report.SelStart(), 7) << "the caret stays where the first append left it";
    ASSERT_TRUE(WaitUntil([&] { return window->document()->characterCount() > 1; }, 1000));
    ASSERT_NE(window->textCursor().position(), 6) << "not moved while nobody sees it";

    window->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return window->hasFocus(); }, 1000));
    EXPECT_EQ(window->textCursor().position(), 6);
    EXPECT_FALSE(window->textCursor().hasSelection());
}

TEST_F(ReportWindow, UserSelectionCoversTheSameCharactersAfterTrims)
{
    Append(NumberedLines(350));
    UserSelects(10000, 10030);
    ASSERT_EQ(report.SelStart(), 10000);
    const std::string selected = report.Text().substr(10000, 30);

    for (int i = 0; i < 3; ++i)
        Append(NumberedLines(60, 1000 + 60 * i));
    ASSERT_LT(report.SelStart(), 10000) << "the report was trimmed";
    window.Refresh();

    const QTextCursor cursor = window.textCursor();
    EXPECT_EQ(cursor.selectedText(), QString::fromLatin1(selected.c_str()));
    EXPECT_EQ(Shown(), Expected());
}

TEST_F(ReportWindow, UserSelectionOnALineStartMapsPastTheLineEnd)
{
    Append("ab\r\ncd\r\n");
    UserSelects(4, 6);
    EXPECT_EQ(report.SelStart(), 4);
    EXPECT_EQ(report.SelEnd(), 6);
}

TEST_F(ReportWindow, EveryAppendScrollsToTheEnd)
{
    window.show();
    Append(NumberedLines(200));
    window.Refresh();
    QScrollBar* bar = window.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    bar->setValue(0);
    window.Refresh();
    EXPECT_EQ(bar->value(), 0) << "a refresh without an append leaves the view where the user put it";

    Append("one more\r\n");
    window.Refresh();
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(ReportWindow, CopiesTheReportTextUnderTheSelection)
{
    Append("caf\xE9\xA0ok\r\nnext\r\n");
    UserSelects(2, 10);
    window.copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromLatin1("f\xE9\xA0ok\nn"));
}

class ViewCommands : public ::testing::Test {
protected:
    MessageBoxRecorder boxes;
    CChildView view{FastLineTimings()};
};

TEST_F(ViewCommands, CopyTakesTheReportSelectionWhileTheFocusIsInTheCommandLine)
{
    view.resize(400, 300);
    view.show();
    view.Session().AppendReport("copy me\r\n");
    view.CommandLine()->setPlainText(QStringLiteral("typed"));
    view.CommandLine()->selectAll();
    auto* window = static_cast<CReportWindow*>(view.ReportWindow());
    window->Refresh();
    QTextCursor cursor(window->document());
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    window->setTextCursor(cursor);
    view.CommandLine()->setFocus();

    QGuiApplication::clipboard()->setText(QStringLiteral("old"));
    EXPECT_TRUE(view.OnCommand(ID_EDIT_COPY));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("copy "));
}

TEST_F(ViewCommands, CopyWithoutSelectionLeavesTheClipboard)
{
    view.Session().AppendReport("text\r\n");
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    view.OnCommand(ID_EDIT_COPY);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
}

TEST_F(ViewCommands, PasteAlwaysGoesIntoTheCommandLine)
{
    view.CommandLine()->setPlainText(QStringLiteral("get "));
    view.CommandLine()->moveCursor(QTextCursor::End);
    view.ReportWindow()->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("16 5 3"));
    EXPECT_TRUE(view.OnCommand(ID_EDIT_PASTE));
    EXPECT_EQ(view.CommandLine()->toPlainText(), QStringLiteral("get 16 5 3"));
    EXPECT_EQ(view.Session().Report().Length(), 0);
}

// Data with no text on it: what X hands back for an empty clipboard, an
// image, a bare URL list.
std::vector<std::pair<const char*, QMimeData*>> DataWithoutText()
{
    auto* image = new QMimeData;
    image->setImageData(QImage(4, 4, QImage::Format_RGB32));
    auto* urls = new QMimeData;
    urls->setUrls({QUrl(QStringLiteral("file:///tmp/x"))});
    return {{"no formats", new QMimeData}, {"image only", image}, {"URLs only", urls}};
}

void DropOn(QWidget* target, const QMimeData& data)
{
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

TEST_F(ViewCommands, PasteOrDropWithoutTextLeavesTheCommandLineAndTextStillPastes)
{
    view.resize(400, 300);
    view.show();
    QPlainTextEdit* line = view.CommandLine();
    line->setPlainText(QStringLiteral("get "));
    line->moveCursor(QTextCursor::End);
    for (auto [what, data] : DataWithoutText()) {
        QGuiApplication::clipboard()->setMimeData(data); // the clipboard owns it now
        EXPECT_TRUE(view.OnCommand(ID_EDIT_PASTE)) << what;
        QTest::keyClick(line, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(line, Qt::Key_Insert, Qt::ShiftModifier);
        DropOn(line->viewport(), *QGuiApplication::clipboard()->mimeData());
        EXPECT_EQ(line->toPlainText(), QStringLiteral("get ")) << what;
    }

    QGuiApplication::clipboard()->setText(QStringLiteral("16 5\n3"));
    EXPECT_TRUE(view.OnCommand(ID_EDIT_PASTE));
    EXPECT_EQ(view.CommandLine()->toPlainText(), QStringLiteral("get 16 5\n3"));
    EXPECT_EQ(static_cast<CEditCR*>(line)->CommandText(), "get 16 5\r\n3") << "a pasted break stays";

    QMimeData dropped;
    dropped.setText(QStringLiteral("x"));
    line->setPlainText(QStringLiteral("ab"));
    DropOn(line->viewport(), dropped);
    EXPECT_EQ(line->toPlainText().size(), 3) << "a dropped text goes in where it was dropped";
    EXPECT_TRUE(line->toPlainText().contains(QLatin1Char('x')));
    view.Session().AppendReport("kept\r\n");
    auto* window = static_cast<CReportWindow*>(view.ReportWindow());
    window->Refresh();
    DropOn(window->viewport(), dropped);
    EXPECT_EQ(window->toPlainText(), QStringLiteral("kept\n")) << "the report takes no drops";
    EXPECT_EQ(view.Session().Report().Text(), "kept\r\n");
}

TEST_F(ViewCommands, ClearEmptiesAndInsertCRAppendsALineEnd)
{
    view.Session().AppendReport("old\r\n");
    EXPECT_TRUE(view.OnCommand(ID_CLEAR_REPORT));
    EXPECT_EQ(view.Session().Report().Text(), "");
    EXPECT_TRUE(view.OnCommand(ID_INSERT_CR));
    EXPECT_EQ(view.Session().Report().Text(), "\r\n");
    EXPECT_FALSE(view.OnCommand(ID_RX_HEX)) << "the frame's commands are not the view's";
    static_cast<CReportWindow*>(view.ReportWindow())->Refresh();
    EXPECT_EQ(view.ReportWindow()->document()->blockCount(), 2);
}

TEST_F(ViewCommands, ObserverSeesEveryAppendedText)
{
    std::vector<std::string> seen;
    view.Session().AddReportObserver([&](const char* text) { seen.emplace_back(text); });
    view.Session().SetLocalEcho(true);
    view.CommandLine()->setPlainText(QStringLiteral("ping"));
    view.OnCommand(ID_SEND_COMMAND);  // no port: echoed, then "Failed to transmit"
    view.OnCommand(ID_INSERT_CR);
    EXPECT_EQ(seen, (std::vector<std::string>{">> ", "ping", "\r\n", "\r\n"}));
    EXPECT_EQ(boxes.calls.size(), 1u);
}

TEST_F(ViewCommands, CommandLineTakesTheBottom30PixelsAndTheReportTheRest)
{
    struct Case {
        int height;
        QRect command, report;
    };
    for (const Case& c : {Case{300, {0, 270, 400, 30}, {0, 0, 400, 270}},
                          Case{30, {0, 0, 400, 30}, {0, 0, 400, 0}},
                          Case{20, {0, 0, 400, 20}, {0, 0, 400, 0}}}) {
        view.resize(400, c.height);
        view.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(view.CommandLine()->geometry(), c.command) << "height " << c.height;
        EXPECT_EQ(view.ReportWindow()->geometry(), c.report) << "height " << c.height;
    }
}

// Columns of a hex dump line up when every printable ASCII character takes the
// same advance; Qt's fixed-pitch flag says less (some monospaced fonts, Noto
// Sans Mono among them, are reported as not fixed pitch).
TEST_F(ViewCommands, ReportUsesAFontOf16PixelsWhoseAsciiCharactersLineUp)
{
    const QFont font = view.ReportWindow()->font();
    EXPECT_EQ(font.pixelSize(), 16);
    const QFontMetricsF metrics(font);
    const qreal advance = metrics.horizontalAdvance(QLatin1Char('0'));
    EXPECT_GT(advance, 0);
    for (char c = ' '; c <= '~'; ++c)
        EXPECT_DOUBLE_EQ(metrics.horizontalAdvance(QLatin1Char(c)), advance) << "'" << c << "'";
}

TEST_F(ViewCommands, TheFocusGoesToTheCommandLine)
{
    view.show();
    view.activateWindow();
    view.setFocus();
    ASSERT_TRUE(WaitUntil([&] { return view.CommandLine()->hasFocus(); }, 1000));
}

} // namespace
