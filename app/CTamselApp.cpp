#include "app/CTamselApp.h"

#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "resources/CommandIds.h"
#include "resources/TamselIcon.h"
#include "view/CChildView.h"
#include "xrate/MessageBox.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>

namespace {

constexpr const char* kCompanyKey = "Pellmark";
constexpr QSize kInitialSize(720, 480);

} // namespace

CTamselApp::CTamselApp(Language language) : CTamselApp(language, StringTable::Builtin(language))
{
}

CTamselApp::CTamselApp(Language language, const StringTable& strings)
    : m_language(language), m_strings(strings)
{
}

CTamselApp::~CTamselApp() = default;

bool CTamselApp::InitInstance()
{
    // The application name files the settings profile; without the string
    // the program's own name stands in.
    const char* name = m_strings.Find(AFX_IDS_APP_TITLE);
    QCoreApplication::setApplicationName(
        name ? QString::fromUtf8(name)
             : QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    QCoreApplication::setOrganizationName(QString::fromLatin1(kCompanyKey));
    QApplication::setWindowIcon(QIcon(QPixmap(kTamselIconXpm)));

    m_frame = std::make_unique<CMainFrame>(m_language, m_strings,
                                           [this](int id) { return OnCommand(id); });
    m_frame->SetPortOverrides(m_portOverrides);
    if (m_beforeCreate)
        m_beforeCreate(*m_frame);
    if (!m_frame->Create()) {
        ShowMessageBox(nullptr, "Tamsel cannot start: its main window could not be created.",
                       "Tamsel::InitInstance", kMbOk | kMbIconExclamation, m_frame->CreateFailure());
        m_frame.reset();
        return false;
    }
    // Room for a useful report; a window manager may still choose otherwise.
    m_frame->resize(m_frame->sizeHint().expandedTo(kInitialSize));
    m_frame->show();
    m_frame->View()->setFocus();
    return true;
}

bool CTamselApp::OnCommand(int id)
{
    if (id != ID_APP_ABOUT)
        return false;
    CAboutDlg about;
    about.DoModal(m_frame.get());
    return true;
}
