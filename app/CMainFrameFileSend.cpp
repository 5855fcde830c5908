#include "app/CMainFrame.h"

#include "app/CPacingDlg.h"
#include "resources/CommandIds.h"
#include "view/CChildView.h"

#include <QFileDialog>

namespace {

// A stored pause outside the dialog's range (a hand-edited profile) is none.
int StoredDelay(int stored)
{
    return stored >= 0 && stored <= kMaxPacingMs ? stored : 0;
}

} // namespace

void CMainFrame::LoadPacing()
{
    m_pacing.charDelayMs = StoredDelay(m_store.GetProfileInt(kSendFileSection, kCharDelayKey, 0));
    m_pacing.lineDelayMs = StoredDelay(m_store.GetProfileInt(kSendFileSection, kLineDelayKey, 0));
}

bool CMainFrame::OnFileSendCommand(int id)
{
    switch (id) {
    case ID_FILE_SEND: {
        const QString path = QFileDialog::getOpenFileName(this, String(ID_FILE_SEND));
        if (!path.isEmpty())
            m_view->SendFile(path.toLocal8Bit().toStdString(), m_pacing);
        return true;
    }
    case ID_FILE_SEND_PACING: {
        CPacingDlg dialog(String(IDS_PACING_TITLE), String(IDS_PACING_CHAR), String(IDS_PACING_LINE), m_pacing, this);
        if (dialog.exec() != QDialog::Accepted)
            return true;
        m_pacing = dialog.Pacing();
        m_store.WriteProfileInt(kSendFileSection, kCharDelayKey, m_pacing.charDelayMs);
        m_store.WriteProfileInt(kSendFileSection, kLineDelayKey, m_pacing.lineDelayMs);
        return true;
    }
    default:
        return false;
    }
}
