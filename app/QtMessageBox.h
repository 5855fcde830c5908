#pragma once

#include <functional>

class QWidget;

// Shows every message box of the system as a modal QMessageBox. ownerWindow
// turns a box's owner (the view, or nullptr) into the window that the box
// belongs to; an unknown owner gives an ownerless box.
void InstallQtMessageBox(std::function<QWidget*(void* owner)> ownerWindow);
