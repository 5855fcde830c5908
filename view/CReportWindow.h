#pragma once

#include "report/CReportText.h"

#include <QPlainTextEdit>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdint>
#include <string_view>

// The report window: a read-only mirror of the report text. The report itself
// changes at once with every append; this window catches up from a short
// single-shot timer, so a busy line costs one repaint per refresh interval
// instead of one per chunk (less often still while the line floods it), and
// at once before the user touches it, so every selection the user makes is
// taken on text that matches the report. While the window is not visible
// (headless runs never show it) nothing is mirrored or painted; it catches up
// once when it is shown.
//
// State: how far the window holds the report, as the report's Base() when it
// was last brought up to date and the end position reached then, and how many
// characters at the window's front are still to go (text the report has
// trimmed, dropped a slice per pass). A refresh drops from the window what the
// report has dropped since, adds what has been appended (a slice per pass, so
// the end reached may still be short of the report's), puts the report's
// selection on screen and, after an append, scrolls to the end as every
// append does, pass after pass until its last slice is in. Until then the
// window holds a front part of the report and positions are mapped over that
// part only.
class CReportWindow : public QPlainTextEdit {
    Q_OBJECT
public:
    // Between a change of the report and its refresh on screen. The report
    // stays exact at every append; the window catching up ten times a second
    // costs a streaming line a fraction of the layout and painting.
    static constexpr int kRefreshIntervalMs = 100;
    // A refresh that had to bring in more new text than this found the
    // report scrolling faster than anyone reads; the next one then comes no
    // sooner than kBusyRefreshIntervalMs after it, which keeps a flooded line
    // cheap to watch while a quiet line still answers at once.
    static constexpr int kBusyRefreshChars = 512;
    static constexpr int kBusyRefreshIntervalMs = 500;
    // A trim of a large report drops megabytes from the window's front; it
    // is done this many characters per pass of the event loop, since the
    // document takes about 30 ms a megabyte to drop lines and the window
    // must keep answering meanwhile.
    static constexpr int kDropSliceChars = 256 * 1024;
    // Appended text goes in at most this many characters per pass of the
    // event loop: the document takes 60-100 ms a megabyte to take text in,
    // and a window shown after its report filled to megabytes, or a large
    // report under a flood, must keep answering meanwhile.
    static constexpr int kBringSliceChars = 256 * 1024;

    CReportWindow(CReportText& report, QWidget* parent = nullptr);

    // The report changed; appended says whether text was added to its end.
    void ReportChanged(bool appended);

    // Brings the window up to date now, caret included, however much text
    // that takes in at once.
    void Refresh();
    // Brings in the text up to the end of the selection, then scrolls as far
    // as it takes to show the selection.
    void ShowMatch();
    // The report's text under the selection onto the clipboard, without
    // waiting for text still to come into the window.
    void Copy();

protected:
    // Every way the user can move the selection first brings the window up
    // to date, a slice of appended text at most, so that the selection is
    // taken on text that matches the report.
    bool viewportEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // What is copied is the report's own text under the selection.
    QMimeData* createMimeDataFromSelection() const override;

private:
    // showUpTo: a report position the window must hold afterwards; short of
    // it, one slice of appended text comes in.
    void Update(bool exactCaret, int showUpTo);
    void Mirror(int showUpTo);
    void ShowSelection(bool exactCaret);
    void ScrollToEnd();
    void TakeUserSelection();
    // The front part of the report's text that the window holds.
    std::string_view ShownText() const;
    // Window position of report position pos, counted from the nearer end
    // of the text, so a caret at the end of a long report costs nothing.
    int ShownPosition(int pos) const;

    CReportText& m_report;
    QTimer m_refreshTimer;
    QElapsedTimer m_sinceRefresh;
    bool m_busy = false;
    std::int64_t m_shownBase = 0;
    std::int64_t m_shownEnd = 0;
    int m_frontExcess = 0;
    bool m_scrollToEnd = false;  // appended to since the last pass
    bool m_followEnd = false;    // this pass and the slices after it scroll to the end
    int m_followValue = 0;       // where that scroll left the view
    bool m_refreshing = false;
};
