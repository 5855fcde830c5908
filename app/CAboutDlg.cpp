#include "app/CAboutDlg.h"

#include "app/DialogBuilder.h"
#include "resources/CommandIds.h"
#include "resources/DialogTemplates.h"

#include <QDialog>

int CAboutDlg::DoModal(QWidget* parent)
{
    QDialog dialog(parent);
    BuildDialog(dialog, AboutDialogTemplate());
    FindDialogControl(dialog, IDOK)->setFocus();
    return dialog.exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}
