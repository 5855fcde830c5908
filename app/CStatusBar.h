#pragma once

#include "resources/StringTable.h"

#include <QStatusBar>

#include <span>
#include <vector>

class QLabel;

// The frame's status bar: a row of panes set up once from a list of IDs. The
// message pane (ID 0) has no border and takes the width the others leave;
// every other pane shows its placeholder (the string with its ID) until a text
// is written, and keeps a fixed width, that of the placeholder in the bar's
// font, within which later texts are clipped. Panes keep their texts while the
// bar is hidden.
class CStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit CStatusBar(QWidget* parent);

    // False when a placeholder string is missing; the bar is then unusable.
    bool SetIndicators(std::span<const int> ids, const StringTable& strings);

    // The index of the pane with this ID, or -1.
    int CommandToIndex(int id) const;
    void SetPaneText(int index, const QString& text);
    QString GetPaneText(int index) const;

    // Widens a pane so that text fits it unclipped.
    void FitPaneTo(int index, const QString& text);

private:
    QLabel* Pane(int index) const;

    std::vector<int> m_ids;
    std::vector<QLabel*> m_panes;
};
