#pragma once

#include "resources/DialogTemplates.h"

class QDialog;
class QWidget;

// Lays a dialog template out on a dialog: the template's font, its title, a
// fixed size and every control at its place, converted from dialog units with
// the font's average character width and height. Controls are created in
// template order, which makes it the tab order; each control's object name is
// its ID, and the OK and Cancel buttons end the dialog with accept and reject.
void BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate);

// The control with this ID, or nullptr.
QWidget* FindDialogControl(QDialog& dialog, int id);
