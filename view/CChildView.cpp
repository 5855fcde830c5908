#include "view/CChildView.h"

#include "conversions/ConversionRegistry.h"
#include "resources/CommandIds.h"
#include "resources/QuickSendKeys.h"
#include "view/CEditCR.h"
#include "view/CFindBar.h"
#include "view/CReportWindow.h"
#include "view/CSendBar.h"
#include "view/ReportFind.h"
#include "report/ReportZoom.h"
#include "view/ViewEvents.h"
#include "xrate/MessageBox.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QResizeEvent>

#include <algorithm>
#include <string>

CChildView::CChildView(QWidget* parent) : CChildView(LineTimings{}, parent) {}

CChildView::CChildView(const LineTimings& timings, QWidget* parent)
    : QWidget(parent),
      m_session(Owner(), timings),
      m_reportWindow(nullptr),
      m_commandLine(nullptr),
      m_findBar(nullptr),
      m_sendBar(nullptr)
{
    m_commandLine = new CEditCR(this);
    m_commandLine->setObjectName(QStringLiteral("commandLine"));
    m_commandLine->SetHistory(&m_history);
    setFocusProxy(m_commandLine);
    m_commandLine->setFocus();

    m_reportWindow = new CReportWindow(m_session.Report(), this);
    m_reportWindow->setObjectName(QStringLiteral("reportWindow"));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(kReportFontPixels);
    m_reportWindow->setFont(font);
    m_session.SetReportShown([this](bool appended) { m_reportWindow->ReportChanged(appended); });
    connect(&m_session, &LineSession::convertersIdle, this, &CChildView::RunDeferredSends);
    m_quickSend.resize(QuickSendKeys().size());

    m_findBar = new CFindBar(this);
    m_findBar->setObjectName(QStringLiteral("findBar"));
    m_findBar->hide();
    // Typing keeps the match it has while it still fits, so it starts at the selection's start.
    connect(m_findBar, &CFindBar::searchChanged, this, [this] { FindFrom(m_session.Report().SelStart(), false); });
    connect(m_findBar, &CFindBar::findNext, this, [this](bool backwards) {
        const CReportText& report = m_session.Report();
        FindFrom(backwards ? report.SelStart() : report.SelEnd(), backwards);
    });
    connect(m_findBar, &CFindBar::closed, this, [this] {
        LayOut();
        m_commandLine->setFocus(Qt::OtherFocusReason);
    });

    m_sendBar = new CSendBar(this);
    m_sendBar->setObjectName(QStringLiteral("sendBar"));
    m_sendBar->hide();
    connect(m_sendBar, &CSendBar::cancelled, this, &CChildView::CancelFileSend);
    m_fileSendTimer.setSingleShot(true);
    m_fileSendTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_fileSendTimer, &QTimer::timeout, this, &CChildView::OnFileSendStep);

    m_commands = {
        {ID_SEND_COMMAND, [this] { OnSendCommand(); }},
        {ID_EDIT_COPY, [this] { m_reportWindow->Copy(); }},
        {ID_EDIT_PASTE, [this] { m_commandLine->paste(); }},
        {ID_CLEAR_REPORT, [this] { m_session.ClearReport(); }},
        {ID_INSERT_CR, [this] { m_session.AppendReport("\r\n"); }},
        {ID_EDIT_FIND, [this] { OnFind(); }},
    };
    for (int id = ID_QUICK_SEND_FIRST; id <= ID_QUICK_SEND_LAST; ++id)
        m_commands[id] = [this, id] { OnQuickSend(id); };
}

CChildView::~CChildView()
{
    // The reader may still post; nothing reaches the widgets once they start to go.
    m_session.SetReportShown(nullptr);
    m_fileSendTimer.stop();
    m_fileSend.reset();
    delete m_sendBar;
    delete m_findBar;
    delete m_commandLine;
    delete m_reportWindow;
}

void* CChildView::Owner()
{
    // Message-box handlers take the owner back as a QWidget.
    return static_cast<QWidget*>(this);
}

bool CChildView::OnCommand(int id)
{
    const auto found = m_commands.find(id);
    if (found == m_commands.end())
        return false;
    found->second();
    return true;
}

void CChildView::SetReportFontPixels(int pixels)
{
    QFont font = m_reportWindow->font();
    font.setPixelSize(pixels);
    m_reportWindow->setFont(font);
}

int CChildView::ReportFontPixels() const
{
    return m_reportWindow->font().pixelSize();
}

QPlainTextEdit* CChildView::ReportWindow()
{
    return m_reportWindow;
}

QPlainTextEdit* CChildView::CommandLine()
{
    return m_commandLine;
}

bool CChildView::event(QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == CommandEvent::Kind()) {
        OnCommand(static_cast<CommandEvent*>(event)->Id());
        return true;
    }
    if (type == QEvent::WindowActivate)
        m_commandLine->setFocus(Qt::ActiveWindowFocusReason);
    return QWidget::event(event);
}

void CChildView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOut();
}

void CChildView::LayOut()
{
    // The command line keeps its height at the bottom, the send bar while a
    // file goes out sits above it, the find bar when open above that, and
    // the report takes the rest.
    const int width = this->width();
    const int height = this->height();
    const int split = std::max(height - CEditCR::kHeight, 0);
    m_commandLine->setGeometry(0, split, width, height - split);
    const int sendHeight = m_sendBar->isHidden() ? 0 : std::min(m_sendBar->HeightHint(), split);
    m_sendBar->setGeometry(0, split - sendHeight, width, sendHeight);
    const int above = split - sendHeight;
    const int findHeight = m_findBar->isHidden() ? 0 : std::min(m_findBar->HeightHint(), above);
    m_findBar->setGeometry(0, above - findHeight, width, findHeight);
    m_reportWindow->setGeometry(0, 0, width, above - findHeight);
}

void CChildView::OnFind()
{
    m_findBar->Open();
    LayOut();
}

void CChildView::FindFrom(int from, bool backwards)
{
    std::string needle;
    int found = -1;
    if (m_findBar->Needle(needle))
        found = FindInReport(m_session.Report().Text(), from, {needle, m_findBar->MatchCase(), backwards});
    m_findBar->ShowFound(found >= 0);
    if (found < 0)
        return;
    m_session.Report().SetSel(found, found + static_cast<int>(needle.size()));
    m_reportWindow->ShowMatch();
}

void CChildView::OnSendCommand()
{
    // Under a box of the send that is running: send once it has finished.
    if (m_session.Sending()) {
        m_deferredSends.push_back(ID_SEND_COMMAND);
        return;
    }
    SendTyped(m_commandLine->CommandText());
}

void CChildView::OnQuickSend(int id)
{
    const std::string& text = m_quickSend[static_cast<std::size_t>(id - ID_QUICK_SEND_FIRST)];
    if (text.empty())
        return;
    if (m_session.Sending()) {
        m_deferredSends.push_back(id);
        return;
    }
    SendTyped(text);
}

void CChildView::SetQuickSendText(int index, std::string text)
{
    m_quickSend.at(static_cast<std::size_t>(index)) = std::move(text);
}

const std::string& CChildView::QuickSendText(int index) const
{
    return m_quickSend.at(static_cast<std::size_t>(index));
}

void CChildView::SendTyped(const std::string& command)
{
    RememberCommand(command);
    std::vector<char> buffer(command.size() + 2, '\0');
    std::copy(command.begin(), command.end(), buffer.begin());
    m_session.SendCommandLine(buffer.data());
}

void CChildView::UseHistoryFile(const std::string& path)
{
    m_historyPath = path;
    std::string error;
    if (!path.empty() && m_history.Load(path, error) != 0)
        HistoryFailed(error);
}

void CChildView::RememberCommand(const std::string& command)
{
    m_history.Add(command);
    std::string error;
    if (!m_historyPath.empty() && m_history.Save(m_historyPath, error) != 0)
        HistoryFailed(error);
}

void CChildView::HistoryFailed(const std::string& error)
{
    // Once is enough: the next send would fail the same way.
    m_historyPath.clear();
    ShowMessageBox(Owner(), "The command history cannot be kept in its file; it is kept until Tamsel ends.",
                   "Tamsel history", kMbOk | kMbIconExclamation, error.c_str());
}

void CChildView::RunDeferredSends()
{
    for (const int id : m_deferredSends)
        QCoreApplication::postEvent(this, new CommandEvent(id));
    m_deferredSends.clear();
}
