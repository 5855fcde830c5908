#pragma once

#include "resources/StringTable.h"
#include "serial/SignalSequence.h"

#include <QDialog>

#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;

// The small dialog that chooses the DTR/RTS sequence of Pulse reset: a list
// of the usual boards' sequences fills the text, which may also be written
// by hand. OK takes only a sequence that reads; otherwise the dialog says
// what is wrong and stays.
class PulseDialog : public QDialog {
public:
    PulseDialog(const StringTable& strings, const std::string& sequence, QWidget* parent = nullptr);

    // The sequence chosen, once the dialog has been accepted.
    const std::vector<SignalStep>& Steps() const { return m_steps; }

    void accept() override;

private:
    void ShowPreset(int index);

    QComboBox* m_preset;
    QLineEdit* m_sequence;
    QLabel* m_error;
    std::vector<SignalStep> m_steps;
};
