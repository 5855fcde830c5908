#include "app/CMainFrame.h"

#include "app/CPacingDlg.h"
#include "resources/CommandIds.h"
#include "view/CChildView.h"

#include <QFileDialog>

void CMainFrame::LoadPacing()
{
    m_pacing.charDelayMs = m_store.ReadNumber(ProfileKey::kCharDelay);
    m_pacing.lineDelayMs = m_store.ReadNumber(ProfileKey::kLineDelay);
}

void CMainFrame::OnFileSend()
{
    const QString path = QFileDialog::getOpenFileName(this, String(ID_FILE_SEND));
    if (!path.isEmpty())
        m_view->SendFile(path.toLocal8Bit().toStdString(), m_pacing);
}

void CMainFrame::OnFileSendPacing()
{
    CPacingDlg dialog(String(IDS_PACING_TITLE), String(IDS_PACING_CHAR), String(IDS_PACING_LINE), m_pacing, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_pacing = dialog.Pacing();
    m_store.WriteNumber(ProfileKey::kCharDelay, m_pacing.charDelayMs);
    m_store.WriteNumber(ProfileKey::kLineDelay, m_pacing.lineDelayMs);
}
