#include "app/CMainFrame.h"

#include "app/CAcceleratorFilter.h"
#include "app/CStatusBar.h"
#include "app/LockKeys.h"
#include "profile/ProfileValues.h"
#include "bus/BusModel.h"
#include "busview/BusViewWindow.h"
#include "conversions/ConversionRegistry.h"
#include "devices/DeviceList.h"
#include "orvane/NodeTableObserver.h"
#include "profile/CommandSwitches.h"
#include "resources/AcceleratorTable.h"
#include "resources/CommandIds.h"
#include "resources/MenuResource.h"
#include "serial/LineRate.h"
#include "view/CChildView.h"
#include "view/CFindBar.h"
#include "view/CSendBar.h"
#include "report/ReportZoom.h"
#include "view/ViewEvents.h"

#include <QActionGroup>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QStatusTipEvent>


namespace {

// The ten panes, left to right, and the line-state pane added after them.
constexpr int kIndicators[] = {
    ID_SEPARATOR,         ID_INDICATOR_PORT,   ID_INDICATOR_BAUD,   ID_INDICATOR_RECEIVE,
    ID_INDICATOR_RXCONV,  ID_INDICATOR_TXCONV, ID_INDICATOR_KANA,   ID_INDICATOR_CAPS,
    ID_INDICATOR_NUM,     ID_INDICATOR_SCRL,   ID_INDICATOR_LINE,
};

struct LineStateText {
    LineState state;
    int text;
};

constexpr LineStateText kLineStateTexts[] = {
    {LineState::kNoPort, IDS_LINE_NO_PORT},
    {LineState::kOpen, IDS_LINE_OPEN},
    // Open, but the port would not take the line settings: it runs on its own.
    {LineState::kOpenUnconfigured, IDS_LINE_OPEN_AS_IS},
    {LineState::kLost, IDS_LINE_LOST},
    {LineState::kReopened, IDS_LINE_REOPENED},
    {LineState::kConnecting, IDS_LINE_CONNECTING},
};

// Room between the main frame and a bus view placed beside it.
constexpr int kBusViewGap = 8;
constexpr int kBusViewWidth = 760;


constexpr char kReceiving[] = "Receiving";
constexpr char kReceiveSuspended[] = "Rx suspended";

// How often the lock-key panes follow the keyboard.
constexpr int kLockKeyRefreshMs = 250;

QString FirstLine(const char* text)
{
    const QString all = QString::fromUtf8(text ? text : "");
    return all.left(all.indexOf(QLatin1Char('\n')));
}

} // namespace

CMainFrame::CMainFrame(Language language, const StringTable& strings,
                       CommandHandler applicationCommands)
    : m_language(language), m_strings(strings), m_applicationCommands(std::move(applicationCommands))
{
    setObjectName(QStringLiteral("CMainFrame"));
}

CMainFrame::~CMainFrame()
{
    if (m_busView) {
        SaveBusViewState();
        m_busView->SetStateChanged(nullptr);
        delete m_busView;
    }
    if (m_busModel && CurrentNodeTableObserver() == m_busModel.get())
        SetNodeTableObserver(nullptr);
}

QString CMainFrame::String(int id) const
{
    return FirstLine(m_strings.Find(id));
}

bool CMainFrame::Create()
{
    setWindowTitle(String(IDR_MAINFRAME));
    BuildMenu();
    EnterCommands();
    // Recorded from the start, so that the view and its export hold what came before it opened.
    if (m_busRecording) {
        m_busModel = std::make_unique<BusModel>();
        SetNodeTableObserver(m_busModel.get());
    }
    qApp->installEventFilter(new CAcceleratorFilter(this, MainAcceleratorTable(),
                                                    [this](int id) { OnCommand(id); }));

    m_view = new CChildView(m_lineTimings, this);
    m_view->setObjectName(QString::number(AFX_IDW_PANE_FIRST));
    m_view->FindBar()->SetTexts(String(IDS_FIND_LABEL), String(IDS_FIND_MATCH_CASE), String(IDS_FIND_NO_MATCH));
    m_view->SendBar()->SetTexts(String(IDS_SEND_BAR_SENDING), String(IDS_SEND_BAR_CANCEL));
    setCentralWidget(m_view);
    setFocusProxy(m_view);
    m_setup.SetPortResolver([this](const char* deviceName) {
        return m_view->Session().Ports().Resolve(deviceName);
    });
    m_setup.SetDeviceLister([] { return ListSerialDevices().devices; });

    if (!CreateStatusBar())
        return false;
    connect(&m_view->Session(), &LineSession::lineStateChanged, this, &CMainFrame::ShowLineState);
    m_recordingPane = new QLabel(m_statusBar);
    m_recordingPane->hide();
    m_statusBar->addPermanentWidget(m_recordingPane);
    connect(&m_view->Session().Recorder(), &SessionRecorder::recordingChanged, this, &CMainFrame::ShowRecording);
    m_modemPane = new QLabel(m_statusBar);
    m_modemPane->setObjectName(QStringLiteral("modemPane"));
    m_modemPane->setToolTip(String(IDS_MODEM_PANE));
    m_modemPane->hide();
    m_statusBar->addPermanentWidget(m_modemPane);
    connect(&m_view->Session(), &LineSession::modemInputsChanged, this, &CMainFrame::ShowModemInputs);
    m_view->Session().WatchModemInputs();

    LoadPortMap();
    LoadLineSignals();
    LoadSettings();
    ShowLineState(static_cast<int>(m_view->Session().GetLineState()));

    RefreshLockKeys();
    connect(&m_lockKeyTimer, &QTimer::timeout, this, &CMainFrame::RefreshLockKeys);
    m_lockKeyTimer.start(kLockKeyRefreshMs);
    return true;
}

bool CMainFrame::CreateStatusBar()
{
    auto* bar = new CStatusBar(this);
    bar->setObjectName(QString::number(AFX_IDW_STATUS_BAR));
    if (!bar->SetIndicators(kIndicators, m_strings)) {
        delete bar;
        m_createFailure = "A status-bar placeholder is missing from the string table.";
        return false;
    }
    const int linePane = bar->CommandToIndex(ID_INDICATOR_LINE);
    for (const LineStateText& line : kLineStateTexts) {
        const char* text = m_strings.Find(line.text);
        if (!text) {
            delete bar;
            m_createFailure = "A line-state text is missing from the string table.";
            return false;
        }
        bar->FitPaneTo(linePane, QString::fromUtf8(text));
    }
    FitPanesToTheirTexts(*bar);
    bar->SetPaneText(0, String(AFX_IDS_IDLEMESSAGE));
    setStatusBar(bar);
    m_statusBar = bar;
    CheckMenuItem(ID_VIEW_STATUS_BAR, true);
    return true;
}

void CMainFrame::FitPanesToTheirTexts(CStatusBar& bar)
{
    // Each pane takes the width of the longest text it can show in this
    // font, so none is ever cut; the placeholder's width stays the least.
    const auto fit = [&bar](int id, const QString& text) { bar.FitPaneTo(bar.CommandToIndex(id), text); };
    char text[20];
    for (int port = 0; port < CSetup::kPortCount; ++port) {
        FormatDeviceName(text, sizeof text, port);
        fit(ID_INDICATOR_PORT, QString::fromLatin1(text));
    }
    for (int i = 0; CSetup::kBaudRates[i] != 0; ++i)
        fit(ID_INDICATOR_BAUD, QString::fromStdString(RateText(CSetup::kBaudRates[i])));
    fit(ID_INDICATOR_BAUD, QString::fromStdString(RateText(kMaxLineRate)));
    fit(ID_INDICATOR_RECEIVE, QString::fromLatin1(kReceiving));
    fit(ID_INDICATOR_RECEIVE, QString::fromLatin1(kReceiveSuspended));
    for (int index = 0; index < kConversionCount; ++index) {
        fit(ID_INDICATOR_RXCONV, QString::fromLatin1(ConversionAt(index).rxLabel));
        fit(ID_INDICATOR_TXCONV, QString::fromLatin1(ConversionAt(index).txLabel));
    }
}

void CMainFrame::BuildMenu()
{
    for (const MenuPopupResource& popup : MainMenuResource()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(MenuCaption(popup, m_language)));
        for (const MenuItemResource& item : popup.items) {
            if (item.id == 0) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(QString::fromUtf8(MenuCaption(item, m_language)));
            action->setStatusTip(String(item.id));
            action->setData(item.id);
            m_menuItems[item.id] = action;
            const int id = item.id;
            connect(action, &QAction::triggered, this, [this, action, id](bool checked) {
                // A checkable item flips its own mark when chosen; the frame's
                // handlers decide from the mark as it was, so put it back.
                if (action->isCheckable() && !action->actionGroup()) {
                    const QSignalBlocker blocker(action);
                    action->setChecked(!checked);
                }
                OnCommand(id);
            });
        }
    }
}

QAction* CMainFrame::MenuItem(int id) const
{
    const auto found = m_menuItems.find(id);
    return found == m_menuItems.end() ? nullptr : found->second;
}

bool CMainFrame::IsMenuChecked(int id) const
{
    const QAction* action = MenuItem(id);
    return action && action->isChecked();
}

void CMainFrame::CheckMenuItem(int id, bool checked)
{
    if (QAction* action = MenuItem(id))
        action->setChecked(checked);
}

QString CMainFrame::PaneText(int id) const
{
    return m_statusBar ? m_statusBar->GetPaneText(m_statusBar->CommandToIndex(id)) : QString();
}

void CMainFrame::SetPaneText(int id, const QString& text)
{
    if (m_statusBar)
        m_statusBar->SetPaneText(m_statusBar->CommandToIndex(id), text);
}

void CMainFrame::PostCommand(int id)
{
    QCoreApplication::postEvent(this, new CommandEvent(id));
}

bool CMainFrame::event(QEvent* event)
{
    if (event->type() == CommandEvent::Kind()) {
        OnCommand(static_cast<CommandEvent*>(event)->Id());
        return true;
    }
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        SetPaneText(ID_SEPARATOR, tip.isEmpty() ? String(AFX_IDS_IDLEMESSAGE) : tip);
        return true;
    }
    return QMainWindow::event(event);
}

bool CMainFrame::OnCommand(int id)
{
    // The view is offered every command first, then the frame (whose table
    // holds the framework's own too: Quit, the status bar), then the application.
    if (m_view && m_view->OnCommand(id))
        return true;
    const auto found = m_commands.find(id);
    if (found != m_commands.end()) {
        found->second();
        return true;
    }
    if (m_applicationCommands && m_applicationCommands(id))
        return true;
    // Cut, undo and the pane keys reach here from the accelerators; nothing handles them.
    return false;
}

void CMainFrame::ChooseConversion(bool receive, int index)
{
    const ConversionKind& conversion = ConversionAt(index);
    CheckMenuItem(receive ? conversion.rxCommand : conversion.txCommand, true);  // the group takes the mark
    if (receive) {
        SetPaneText(ID_INDICATOR_RXCONV, QString::fromLatin1(conversion.rxLabel));
        m_view->Session().SetReceiveConversion(index);
    } else {
        SetPaneText(ID_INDICATOR_TXCONV, QString::fromLatin1(conversion.txLabel));
        m_view->Session().SetTransmitConversion(index);
    }
}

void CMainFrame::OnSwitch(const CommandSwitch& entry)
{
    const bool on = !IsMenuChecked(entry.command);
    ShowSwitch(entry.command, on, true);
    if (entry.savedOnChange)
        m_store.WriteNumber(entry.profile, on ? 1 : 0);
}

void CMainFrame::ShowSwitch(int command, bool on, bool chosen)
{
    CheckMenuItem(command, on);
    const auto apply = m_switchEffects.find(command);
    if (apply != m_switchEffects.end())
        apply->second(on, chosen);
}

void CMainFrame::ShowReceiveEnable(bool on, bool chosen)
{
    m_view->Session().SetReceiveEnable(on);
    // The pane keeps its placeholder until the user first chooses.
    if (chosen)
        SetPaneText(ID_INDICATOR_RECEIVE, on ? QString::fromLatin1(kReceiving) : QString::fromLatin1(kReceiveSuspended));
}

void CMainFrame::ChooseLineEnd(int index)
{
    ShowLineEnd(index);
    m_store.WriteNumber(ProfileKey::kLineEnd, index);
}

void CMainFrame::ShowLineEnd(int index)
{
    CheckMenuItem(LineEndCommand(index), true);
    m_view->Session().SetLineEnd(static_cast<LineEnd>(index));
}

void CMainFrame::Zoom(int steps)
{
    const int pixels = steps == 0 ? kReportFontPixels : ZoomedFontPixels(m_view->ReportFontPixels(), steps);
    m_view->SetReportFontPixels(pixels);
    m_store.WriteNumber(ProfileKey::kReportFont, pixels);
}

void CMainFrame::OnReportSize()
{
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("reportSize"));
    dialog.setWindowTitle(String(ID_VIEW_REPORT_SIZE));
    dialog.setLabelText(String(IDS_REPORT_SIZE_PROMPT)
                            .arg(CReportText::kReportLimit)
                            .arg(CReportText::kLargestReportLimit));
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setIntRange(CReportText::kReportLimit, CReportText::kLargestReportLimit);
    dialog.setIntStep(10000);
    dialog.setIntValue(m_view->Session().Report().Limit());
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_view->Session().SetReportLimit(dialog.intValue());
    m_store.WriteNumber(ProfileKey::kReportLimit, m_view->Session().Report().Limit());
}

void CMainFrame::OnCommSetting()
{
    if (m_setup.DoModal(this) == CSetup::kDoModalOk && MapChosenDevice()) {
        // Same name and rate, but another device: it opens even so.
        ShowPortSettings();
        m_view->Session().ComReopenMoved(m_setup.GetDeviceName(), m_setup.GetLineRate());
        return;
    }
    ApplySetup();
}

int CMainFrame::StartCapture(const std::string& path)
{
    const char* name = m_setup.GetDeviceName();
    return m_view->Session().Recorder().StartCapture(path, name, m_view->Session().Ports().Resolve(name), m_setup.GetLineRate());
}

void CMainFrame::ApplySetup()
{
    ShowPortSettings();
    m_view->Session().ComReopen(m_setup.GetDeviceName(), m_setup.GetLineRate());
}

void CMainFrame::ShowPortSettings()
{
    SetPaneText(ID_INDICATOR_BAUD, QString::fromStdString(RateText(m_setup.GetLineRate())));
    SetPaneText(ID_INDICATOR_PORT, QString::fromLatin1(m_setup.GetDeviceName()));
}

void CMainFrame::OnStatusBar()
{
    const bool show = m_statusBar->isHidden();
    m_statusBar->setVisible(show);
    CheckMenuItem(ID_VIEW_STATUS_BAR, show);
}

void CMainFrame::RefreshLockKeys()
{
    const std::optional<LockKeys> keys = ReadLockKeys();
    const auto show = [this, &keys](int id, bool LockKeys::*key) {
        SetPaneText(id, keys && (*keys).*key ? String(id) : QString());
    };
    show(ID_INDICATOR_KANA, &LockKeys::kana);
    show(ID_INDICATOR_CAPS, &LockKeys::caps);
    show(ID_INDICATOR_NUM, &LockKeys::num);
    show(ID_INDICATOR_SCRL, &LockKeys::scroll);
}

void CMainFrame::ShowLineState(int state)
{
    for (const LineStateText& line : kLineStateTexts) {
        if (static_cast<int>(line.state) == state)
            SetPaneText(ID_INDICATOR_LINE, String(line.text));
    }
    ShowLineSignals();
}

void CMainFrame::OnBusView()
{
    if (!m_busModel)
        return;
    if (!m_busView) {
        m_busView = new BusViewWindow(*m_busModel, m_strings, this);
        BusViewWindow::State state;
        state.geometry = QByteArray::fromBase64(m_store.ReadText(ProfileKey::kBusGeometry).toLatin1());
        state.plots = m_store.ReadText(ProfileKey::kBusPlots);
        state.minutes = m_store.ReadNumber(ProfileKey::kBusMinutes);
        if (state.geometry.isEmpty()) {
            m_busView->resize(m_busView->sizeHint().expandedTo(QSize(kBusViewWidth, height())));
            m_busView->move(frameGeometry().topRight() + QPoint(kBusViewGap, 0));
        }
        m_busView->Restore(state);
        m_busView->SetStateChanged([this] {
            CheckMenuItem(ID_VIEW_BUS, m_busView->isVisible());
            SaveBusViewState();
        });
    }
    const bool show = !m_busView->isVisible();
    m_busView->setVisible(show);
    if (show)
        m_busView->raise();
    CheckMenuItem(ID_VIEW_BUS, show);
}

void CMainFrame::SaveBusViewState()
{
    const BusViewWindow::State state = m_busView->Saved();
    m_store.WriteText(ProfileKey::kBusGeometry, QString::fromLatin1(state.geometry.toBase64()));
    m_store.WriteText(ProfileKey::kBusPlots, state.plots);
    m_store.WriteNumber(ProfileKey::kBusMinutes, state.minutes);
}
