#pragma once

#include "resources/DialogTemplates.h"

class QDialog;
class QFont;
class QWidget;

// Lays a dialog template out on a dialog: the template's font, its title, a
// fixed size and every control at its place, converted from dialog units with
// the font's average character width and height. Controls are created in
// template order, which makes it the tab order; each control's object name is
// its ID, and the OK and Cancel buttons end the dialog with accept and reject.
void BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate);
// The same in another font: a larger font is what a higher display scale gives.
void BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate, const QFont& font);

// Widens each label, button and list that its text (a list: its longest
// entry) would not fit in the current font, moves the controls to the right
// of a widened one along so that none overlaps, and grows the dialog to keep
// its right margin. Run again after a text changes.
void FitDialogToText(QDialog& dialog);

// The control with this ID, or nullptr.
QWidget* FindDialogControl(QDialog& dialog, int id);
