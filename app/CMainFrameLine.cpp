#include "app/CMainFrame.h"

#include "app/PulseDialog.h"
#include "resources/CommandIds.h"
#include "view/CChildView.h"

#include <QAction>
#include <QLabel>
#include <QStringList>

#include <tuple>
#include <utility>

#include <sys/ioctl.h>

void CMainFrame::SetStartSignals(std::optional<bool> dtr, std::optional<bool> rts)
{
    m_startDtr = dtr;
    m_startRts = rts;
}

void CMainFrame::LoadLineSignals()
{
    // Linux raises both lines when a port opens; the marks say so until the
    // line itself is read.
    CheckMenuItem(ID_LINE_DTR, true);
    CheckMenuItem(ID_LINE_RTS, true);
    CComPort& port = m_view->Session().Port();
    if (m_startDtr)
        port.SetSignal(LineSignal::kDtr, *m_startDtr);
    if (m_startRts)
        port.SetSignal(LineSignal::kRts, *m_startRts);
    std::string error;
    const QString stored = m_store.ReadText(ProfileKey::kResetSequence);
    if (stored.isEmpty() || ReadSignalSequence(stored.toStdString(), m_resetSteps, error) != 0)
        ReadSignalSequence(kDefaultResetSequence, m_resetSteps, error);
}

void CMainFrame::ShowLineSignals()
{
    CComPort& port = m_view->Session().Port();
    int bits = 0;
    const bool read = port.HasHandle() && port.GetModemLines(bits) == 0;
    for (const auto& [signal, id, bit] : {std::tuple{LineSignal::kDtr, ID_LINE_DTR, TIOCM_DTR},
                                         std::tuple{LineSignal::kRts, ID_LINE_RTS, TIOCM_RTS}}) {
        if (read)
            CheckMenuItem(id, (bits & bit) != 0);
        else if (port.WantedSignal(signal) >= 0)
            CheckMenuItem(id, port.WantedSignal(signal) != 0);
    }
}

void CMainFrame::ShowModemInputs(int bits)
{
    if (bits == ModemListener::kNoModemLines) {
        m_modemPane->hide();
        return;
    }
    QStringList parts;
    for (const auto& [name, bit] : {std::pair{"CTS", TIOCM_CTS}, std::pair{"DSR", TIOCM_DSR},
                                    std::pair{"DCD", TIOCM_CAR}, std::pair{"RI", TIOCM_RNG}})
        parts << ((bits & bit) ? QStringLiteral("\u25cf") : QStringLiteral("\u25cb")) + QString::fromLatin1(name);
    m_modemPane->setText(parts.join(QLatin1Char(' ')));
    m_modemPane->show();
}

int CMainFrame::SetLineSignal(LineSignal signal, bool on)
{
    const int result = m_view->Session().Port().SetSignal(signal, on);
    ShowLineSignals();
    return result;
}

bool CMainFrame::SendBreak(int ms, std::function<void()> done)
{
    return m_view->Session().Signals().Break(ms, std::move(done));
}

bool CMainFrame::PulseReset(std::function<void()> done)
{
    return m_view->Session().Signals().Pulse(m_resetSteps, [this, done = std::move(done)] {
        ShowLineSignals();
        if (done)
            done();
    });
}

std::string CMainFrame::ResetSequence() const
{
    return SignalSequenceText(m_resetSteps);
}

void CMainFrame::OnPulseSettings()
{
    PulseDialog dialog(m_strings, ResetSequence(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_resetSteps = dialog.Steps();
    m_store.WriteText(ProfileKey::kResetSequence, QString::fromStdString(ResetSequence()));
}
