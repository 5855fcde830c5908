#include "app/CMainFrame.h"

#include "app/CQuickSendDlg.h"
#include "resources/CommandIds.h"
#include "resources/QuickSendKeys.h"
#include "view/CChildView.h"
#include "view/SingleByteText.h"

void CMainFrame::LoadQuickSend()
{
    int index = 0;
    for (const QuickSendKey& key : QuickSendKeys())
        m_view->SetQuickSendText(index++, SingleByteText(m_store.ReadText(ProfileKey::kQuickSend, key.name)));
}

void CMainFrame::OnQuickSendSetup()
{
    std::vector<std::string> texts;
    for (std::size_t index = 0; index < QuickSendKeys().size(); ++index)
        texts.push_back(m_view->QuickSendText(static_cast<int>(index)));
    CQuickSendDlg dialog(String(IDS_QUICK_SEND_TITLE), texts, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    texts = dialog.Texts();
    int index = 0;
    for (const QuickSendKey& key : QuickSendKeys()) {
        const std::string& text = texts[static_cast<std::size_t>(index)];
        m_view->SetQuickSendText(index++, text);
        m_store.WriteText(ProfileKey::kQuickSend, QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())),
                          key.name);
    }
}
