#include "view/CReportWindow.h"

#include "view/ReportDisplay.h"

#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <string_view>

CReportWindow::CReportWindow(CReportText& report, QWidget* parent)
    : QPlainTextEdit(parent), m_report(report)
{
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // A read-only edit still records every insertion for undo unless told not to.
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Copy is a command of the menus; the edit's own menu would offer more.
    setContextMenuPolicy(Qt::NoContextMenu);

    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(kRefreshIntervalMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &CReportWindow::Refresh);
    connect(this, &QPlainTextEdit::selectionChanged, this, &CReportWindow::TakeUserSelection);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &CReportWindow::TakeUserSelection);
}

void CReportWindow::ReportChanged(bool appended)
{
    m_scrollToEnd = m_scrollToEnd || appended;
    // Not restarted by later changes, so a steady stream still shows.
    if (!m_refreshTimer.isActive())
        m_refreshTimer.start();
}

void CReportWindow::Refresh()
{
    m_refreshTimer.stop();
    m_refreshing = true;
    Mirror();
    ShowSelection();
    m_refreshing = false;
}

void CReportWindow::Mirror()
{
    const std::string_view text(m_report.Text());
    const std::int64_t base = m_report.Base();
    QTextDocument* document = this->document();
    std::size_t kept = 0;  // report characters the window already shows
    if (base >= m_shownEnd) {
        if (!document->isEmpty()) {
            QTextCursor all(document);
            all.select(QTextCursor::Document);
            all.removeSelectedText();
        }
    } else {
        kept = static_cast<std::size_t>(m_shownEnd - base);
        if (base > m_shownBase) {
            const int shown = document->characterCount() - 1;
            const int dropped = shown - DisplayPosition(text, static_cast<int>(kept));
            if (dropped > 0) {
                QTextCursor front(document);
                front.setPosition(dropped, QTextCursor::KeepAnchor);
                front.removeSelectedText();
            }
        }
    }
    if (kept < text.size()) {
        QTextCursor end(document);
        end.movePosition(QTextCursor::End);
        end.insertText(DisplayText(text.substr(kept), kept > 0 ? text[kept - 1] : 0));
    }
    m_shownBase = base;
    m_shownEnd = base + static_cast<std::int64_t>(text.size());
}

void CReportWindow::ShowSelection()
{
    const std::string_view text(m_report.Text());
    const int start = DisplayPosition(text, m_report.SelStart());
    const int end = DisplayPosition(text, m_report.SelEnd());
    const QTextCursor current = textCursor();
    const bool moved = current.selectionStart() != start || current.selectionEnd() != end;
    if (!moved && !m_scrollToEnd)
        return;

    if (m_scrollToEnd) {
        QTextCursor last(document());
        last.movePosition(QTextCursor::End);
        setTextCursor(last);
        ensureCursorVisible();
        m_scrollToEnd = false;
    }
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

void CReportWindow::TakeUserSelection()
{
    if (m_refreshing)
        return;
    const std::string_view text(m_report.Text());
    const QTextCursor cursor = textCursor();
    m_report.SetSel(ReportPosition(text, cursor.selectionStart()),
                    ReportPosition(text, cursor.selectionEnd()));
}

bool CReportWindow::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        Refresh();
        break;
    case QEvent::MouseMove:
        if (static_cast<QMouseEvent*>(event)->buttons() != Qt::NoButton)
            Refresh();
        break;
    default:
        break;
    }
    return QPlainTextEdit::viewportEvent(event);
}

void CReportWindow::keyPressEvent(QKeyEvent* event)
{
    Refresh();
    QPlainTextEdit::keyPressEvent(event);
}

void CReportWindow::timerEvent(QTimerEvent* event)
{
    // The edit's own timers include the one that extends a drag selection.
    Refresh();
    QPlainTextEdit::timerEvent(event);
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
