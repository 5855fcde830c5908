#include "view/CSendBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {

// A progress bar counts in int: file sizes are shown in steps of this many parts.
constexpr int kProgressSteps = 1000;

} // namespace

CSendBar::CSendBar(QWidget* parent)
    : QWidget(parent), m_label(new QLabel(this)), m_progress(new QProgressBar(this)), m_cancel(new QPushButton(this))
{
    m_progress->setObjectName(QStringLiteral("sendProgress"));
    m_cancel->setObjectName(QStringLiteral("sendCancel"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(m_label);
    layout->addWidget(m_progress, 1);
    layout->addWidget(m_cancel);
    SetTexts(QStringLiteral("Sending"), QStringLiteral("Cancel"));
    connect(m_cancel, &QPushButton::clicked, this, &CSendBar::cancelled);
}

void CSendBar::SetTexts(const QString& sending, const QString& cancel)
{
    m_sending = sending;
    m_cancel->setText(cancel);
}

void CSendBar::Begin(const QString& name, long long size)
{
    m_label->setText(m_sending + QLatin1Char(' ') + name);
    m_size = size;
    m_progress->setRange(0, size > 0 ? kProgressSteps : 0);
    m_progress->setValue(0);
}

void CSendBar::Progress(long long done)
{
    if (m_size > 0)
        m_progress->setValue(static_cast<int>(done * kProgressSteps / m_size));
}

int CSendBar::HeightHint() const
{
    return sizeHint().height();
}
