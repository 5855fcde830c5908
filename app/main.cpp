#include "app/CMainFrame.h"
#include "app/CTamselApp.h"
#include "app/QtMessageBox.h"
#include "app/UserLanguage.h"
#include "view/CChildView.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    CTamselApp tamsel(UserLanguage());
    // A box the view raises belongs to the frame; the others are ownerless.
    InstallQtMessageBox([&tamsel](void* owner) -> QWidget* {
        CMainFrame* frame = tamsel.MainFrame();
        return frame && owner == static_cast<void*>(frame->View()) ? frame : nullptr;
    });
    if (!tamsel.InitInstance())
        return 1;
    return QApplication::exec();
}
