#include "app/PulseDialog.h"

#include "resources/CommandIds.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

struct Preset {
    const char* board;
    const char* sequence;
};

// The sequences the usual boards' reset circuits expect; the first is the default.
constexpr Preset kPresets[] = {
    {"Arduino-style: DTR and RTS off 250 ms, then on", kDefaultResetSequence},
    {"Reset by DTR (100 ms)", "dtr on, 100, dtr off"},
    {"ESP boards: reset by RTS (100 ms)", "dtr off, rts on, 100, rts off"},
    {"ESP boards: reset into the boot loader", "dtr off, rts on, 100, dtr on, rts off, 50, dtr off"},
};

QString Text(const StringTable& strings, int id)
{
    return QString::fromUtf8(strings.Find(id) ? strings.Find(id) : "");
}

} // namespace

PulseDialog::PulseDialog(const StringTable& strings, const std::string& sequence, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(Text(strings, IDS_PULSE_TITLE));
    m_preset = new QComboBox(this);
    m_preset->setObjectName(QString::number(IDC_PULSE_PRESET));
    for (const Preset& preset : kPresets)
        m_preset->addItem(QString::fromLatin1(preset.board));
    m_preset->addItem(QStringLiteral("Own sequence"));
    m_sequence = new QLineEdit(QString::fromStdString(sequence), this);
    m_sequence->setObjectName(QString::number(IDC_PULSE_SEQUENCE));
    m_sequence->setMinimumWidth(m_sequence->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 56);
    m_error = new QLabel(this);
    m_error->setObjectName(QString::number(IDC_PULSE_ERROR));
    m_error->setWordWrap(true);
    m_error->hide();

    auto* form = new QFormLayout;
    form->addRow(Text(strings, IDS_PULSE_PRESET), m_preset);
    form->addRow(Text(strings, IDS_PULSE_SEQUENCE), m_sequence);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &PulseDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PulseDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    auto* help = new QLabel(Text(strings, IDS_PULSE_HELP), this);
    help->setWordWrap(true);
    layout->addWidget(help);
    layout->addWidget(m_error);
    layout->addWidget(buttons);

    // The list shows the board whose sequence is given, or the own one.
    int shown = static_cast<int>(std::size(kPresets));
    for (int i = 0; i < static_cast<int>(std::size(kPresets)); ++i) {
        if (sequence == kPresets[i].sequence)
            shown = i;
    }
    m_preset->setCurrentIndex(shown);
    connect(m_preset, &QComboBox::activated, this, &PulseDialog::ShowPreset);
}

void PulseDialog::ShowPreset(int index)
{
    if (index >= 0 && index < static_cast<int>(std::size(kPresets)))
        m_sequence->setText(QString::fromLatin1(kPresets[index].sequence));
}

void PulseDialog::accept()
{
    std::string error;
    if (ReadSignalSequence(m_sequence->text().toStdString(), m_steps, error) != 0) {
        m_error->setText(QString::fromStdString(error));
        m_error->show();
        return;
    }
    QDialog::accept();
}
