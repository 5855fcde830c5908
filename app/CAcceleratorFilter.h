#pragma once

#include "resources/AcceleratorTable.h"

#include <QObject>

#include <functional>
#include <span>

class QKeyEvent;
class QWidget;

// Translates accelerator keys before the focused control sees them, the way
// the frame's accelerator table works: a key combination in the table is
// taken from every widget of the frame's window, its command is dispatched,
// and the key goes no further. So Ctrl+C copies from the report even with the
// focus in the command line, and Ctrl+X or Ctrl+Z, bound to commands nobody
// handles, do nothing at all. Keys for other windows (dialogs) pass by.
//
// Qt asks the focused widget first whether it wants a key for itself
// (ShortcutOverride); edit widgets claim their own Ctrl+C, Ctrl+X and Ctrl+Z.
// The filter answers that question for table keys so that the key press
// itself arrives, and takes the press.
class CAcceleratorFilter : public QObject {
    Q_OBJECT
public:
    using Dispatch = std::function<void(int command)>;

    CAcceleratorFilter(QWidget* window, std::span<const AcceleratorEntry> table, Dispatch dispatch);

    // The command bound to this key event, or 0.
    int CommandFor(const QKeyEvent& event) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    std::span<const AcceleratorEntry> m_table;
    Dispatch m_dispatch;
};
