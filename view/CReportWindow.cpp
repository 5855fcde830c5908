#include "view/CReportWindow.h"

#include "view/ReportDisplay.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <string_view>

CReportWindow::CReportWindow(CReportText& report, QWidget* parent)
    : QPlainTextEdit(parent), m_report(report)
{
    setReadOnly(true);
    // Read-only, so nothing is inserted anyway; no drag is even offered here.
    setAcceptDrops(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // A read-only edit still records every insertion for undo unless told not to.
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Copy is a command of the menus; the edit's own menu would offer more.
    setContextMenuPolicy(Qt::NoContextMenu);

    m_refreshTimer.setSingleShot(true);
    connect(&m_refreshTimer, &QTimer::timeout, this, [this] {
        if (isVisible())
            Update(false, 0);
    });
    connect(this, &QPlainTextEdit::selectionChanged, this, &CReportWindow::TakeUserSelection);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &CReportWindow::TakeUserSelection);
}

void CReportWindow::ReportChanged(bool appended)
{
    m_scrollToEnd = m_scrollToEnd || appended;
    if (!isVisible())
        return;
    // Not restarted by later changes, so a steady stream still shows.
    if (m_refreshTimer.isActive())
        return;
    int wait = kRefreshIntervalMs;
    if (m_busy && m_sinceRefresh.isValid())
        wait = static_cast<int>(std::max<qint64>(wait, kBusyRefreshIntervalMs - m_sinceRefresh.elapsed()));
    m_refreshTimer.start(wait);
}

void CReportWindow::Refresh()
{
    Update(true, m_report.Length());
}

void CReportWindow::ShowMatch()
{
    Update(true, m_report.SelEnd());
    // The appends so far came before the match: slices of them still to
    // come leave the view on it.
    m_followEnd = false;
    ensureCursorVisible();
}

void CReportWindow::Copy()
{
    Update(true, 0);
    // Taken from the report, not from the window's selection: that covers
    // only what the window shows so far.
    if (m_report.SelStart() < m_report.SelEnd())
        QGuiApplication::clipboard()->setMimeData(createMimeDataFromSelection());
}

void CReportWindow::Update(bool exactCaret, int showUpTo)
{
    m_refreshTimer.stop();
    const std::int64_t reportEnd = m_report.Base() + m_report.Length();
    m_busy = reportEnd - m_shownEnd > kBusyRefreshChars;
    // Slices of earlier appends keep the view at the end as they come in,
    // unless the user has scrolled away meanwhile.
    const QScrollBar* bar = verticalScrollBar();
    const bool left = bar->value() != m_followValue && bar->value() != bar->maximum();
    m_followEnd = m_scrollToEnd || (m_followEnd && !left);
    m_scrollToEnd = false;
    m_sinceRefresh.start();
    m_refreshing = true;
    Mirror(showUpTo);
    ShowSelection(exactCaret || hasFocus());
    m_refreshing = false;
    m_followEnd = m_followEnd && m_shownEnd < reportEnd;
    if (m_frontExcess > 0 || m_shownEnd < reportEnd)
        m_refreshTimer.start(0);
}

void CReportWindow::Mirror(int showUpTo)
{
    const std::string_view text(m_report.Text());
    const std::int64_t base = m_report.Base();
    QTextDocument* document = this->document();
    // Emptied whole rather than by removing every line: a document of a
    // million lines takes seconds to remove as text.
    if (base >= m_shownEnd && document->characterCount() > 1) {
        document->clear();
        m_frontExcess = 0;
    }
    std::size_t kept = 0;  // report characters the window already shows
    if (base < m_shownEnd) {
        kept = static_cast<std::size_t>(m_shownEnd - base);
        if (base > m_shownBase) {
            const int shown = document->characterCount() - 1;
            m_frontExcess = shown - DisplayPosition(text, static_cast<int>(kept));
        }
    }
    // Once a document has compacted its text buffer it is full, and with
    // nothing appended it stays full: every further slice of a trim would
    // make it copy its whole text again (about 100 ms at 60 M characters).
    // It never compacts while it records undo, so it records while a trim
    // is dropped and compacts once when the trim is gone.
    if (m_frontExcess > 0)
        document->setUndoRedoEnabled(true);
    // One edit block: the document lays out and reports the change once,
    // not for every piece.
    QTextCursor editor(document);
    editor.beginEditBlock();
    if (base < m_shownEnd) {
        if (m_frontExcess > 0) {
            const int slice = std::min(m_frontExcess, kDropSliceChars);
            editor.setPosition(slice, QTextCursor::KeepAnchor);
            editor.removeSelectedText();
            m_frontExcess -= slice;
        }
    }
    if (kept < text.size()) {
        const std::size_t wanted = static_cast<std::size_t>(std::max(showUpTo, 0));
        const std::size_t upTo = std::max(kept + static_cast<std::size_t>(kBringSliceChars), wanted);
        const std::size_t count = std::min(upTo, text.size()) - kept;
        editor.setPosition(document->characterCount() - 1);
        // A "\r\n" split between two slices is still one break: the "\n"
        // is shown as nothing after the "\r".
        editor.insertText(DisplayText(text.substr(kept, count), kept > 0 ? text[kept - 1] : 0));
        kept += count;
    }
    editor.endEditBlock();
    if (m_frontExcess == 0 && document->isUndoRedoEnabled())
        document->setUndoRedoEnabled(false);
    m_shownBase = base;
    m_shownEnd = base + static_cast<std::int64_t>(kept);
}

void CReportWindow::ShowSelection(bool exactCaret)
{
    if (m_followEnd) {
        ScrollToEnd();
        m_followValue = verticalScrollBar()->value();
    }
    const QTextCursor current = textCursor();
    // A caret is not drawn without the focus; it is put in place when the
    // user comes to the window, which saves moving it for every trim.
    if (!exactCaret && m_report.SelStart() == m_report.SelEnd() && !current.hasSelection())
        return;
    const int start = ShownPosition(m_report.SelStart());
    const int end = ShownPosition(m_report.SelEnd());
    if (current.selectionStart() == start && current.selectionEnd() == end)
        return;

    // The selection is put back without scrolling.
    const int vertical = verticalScrollBar()->value();
    const int horizontal = horizontalScrollBar()->value();
    QTextCursor selection(document());
    // Keep the direction of a selection the user is still dragging.
    const bool backwards = current.anchor() > current.position();
    selection.setPosition(backwards ? end : start);
    selection.setPosition(backwards ? start : end, QTextCursor::KeepAnchor);
    setTextCursor(selection);
    verticalScrollBar()->setValue(vertical);
    horizontalScrollBar()->setValue(horizontal);
}

void CReportWindow::ScrollToEnd()
{
    // All the way down, and sideways as far as it takes to show the end of
    // the text, without moving the caret there.
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    QTextCursor last(document());
    last.setPosition(document()->characterCount() - 1);
    const QRect caret = cursorRect(last);
    const int width = viewport()->width();
    if (caret.left() < 0 || caret.right() > width) {
        QScrollBar* bar = horizontalScrollBar();
        bar->setValue(bar->value() + caret.center().x() - width / 2);
    }
}

int CReportWindow::ShownPosition(int pos) const
{
    const std::string_view text = ShownText();
    const int length = static_cast<int>(text.size());
    // A position in text still to come is shown at the window's end for now.
    pos = std::min(pos, length);
    if (pos <= length / 2)
        return m_frontExcess + DisplayPosition(text, pos);
    const int shownEnd = document()->characterCount() - 1;
    return shownEnd - DisplayDistance(text, pos, length);
}

void CReportWindow::TakeUserSelection()
{
    if (m_refreshing)
        return;
    const QTextCursor cursor = textCursor();
    const int shownEnd = document()->characterCount() - 1;
    // Everything in the window is the whole report, whatever is still to
    // come: select all selects all of it.
    if (cursor.selectionStart() == 0 && cursor.selectionEnd() == shownEnd && shownEnd > 0) {
        m_report.SetSel(0, m_report.Length());
        return;
    }
    const std::string_view text = ShownText();
    // Text still to be dropped from the window's front is no longer in the report.
    m_report.SetSel(ReportPosition(text, std::max(cursor.selectionStart() - m_frontExcess, 0)),
                    ReportPosition(text, std::max(cursor.selectionEnd() - m_frontExcess, 0)));
}

std::string_view CReportWindow::ShownText() const
{
    const std::int64_t held = std::clamp<std::int64_t>(m_shownEnd - m_report.Base(), 0, m_report.Length());
    return std::string_view(m_report.Text()).substr(0, static_cast<std::size_t>(held));
}

bool CReportWindow::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        Update(true, 0);
        break;
    case QEvent::MouseMove:
        if (static_cast<QMouseEvent*>(event)->buttons() != Qt::NoButton)
            Update(true, 0);
        break;
    default:
        break;
    }
    return QPlainTextEdit::viewportEvent(event);
}

void CReportWindow::focusInEvent(QFocusEvent* event)
{
    Update(true, 0);
    QPlainTextEdit::focusInEvent(event);
}

void CReportWindow::keyPressEvent(QKeyEvent* event)
{
    Update(true, 0);
    QPlainTextEdit::keyPressEvent(event);
}

void CReportWindow::timerEvent(QTimerEvent* event)
{
    // The edit's own timers include the one that extends a drag selection.
    Update(true, 0);
    QPlainTextEdit::timerEvent(event);
}

void CReportWindow::showEvent(QShowEvent* event)
{
    QPlainTextEdit::showEvent(event);
    Update(false, 0);
}

QMimeData* CReportWindow::createMimeDataFromSelection() const
{
    const std::string_view text(m_report.Text());
    const auto start = static_cast<std::size_t>(m_report.SelStart());
    const auto end = static_cast<std::size_t>(m_report.SelEnd());
    auto* data = new QMimeData;
    data->setText(DisplayText(text.substr(start, end - start), start > 0 ? text[start - 1] : 0));
    return data;
}
