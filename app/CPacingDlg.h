#pragma once

#include "filesend/SendPacing.h"

#include <QDialog>

class QSpinBox;

// The file-send pacing dialog: the pause after each character and after
// each line, in milliseconds, from 0 (none) to kMaxPacingMs.
class CPacingDlg : public QDialog {
    Q_OBJECT
public:
    CPacingDlg(const QString& title, const QString& charLabel, const QString& lineLabel, const SendPacing& pacing,
               QWidget* parent = nullptr);

    SendPacing Pacing() const;

private:
    QSpinBox* m_char;
    QSpinBox* m_line;
};
