#include "app/CPacingDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

namespace {

QSpinBox* DelayField(QWidget* parent, const char* name, int value)
{
    auto* field = new QSpinBox(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setRange(0, kMaxPacingMs);
    field->setSuffix(QStringLiteral(" ms"));
    field->setValue(value);
    return field;
}

} // namespace

CPacingDlg::CPacingDlg(const QString& title, const QString& charLabel, const QString& lineLabel,
                       const SendPacing& pacing, QWidget* parent)
    : QDialog(parent),
      m_char(DelayField(this, "charDelay", pacing.charDelayMs)),
      m_line(DelayField(this, "lineDelay", pacing.lineDelayMs))
{
    setWindowTitle(title);
    auto* form = new QFormLayout(this);
    form->addRow(charLabel, m_char);
    form->addRow(lineLabel, m_line);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

SendPacing CPacingDlg::Pacing() const
{
    return {m_char->value(), m_line->value()};
}
