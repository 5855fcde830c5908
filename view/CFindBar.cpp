#include "view/CFindBar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

CFindBar::CFindBar(QWidget* parent)
    : QWidget(parent),
      m_label(new QLabel(this)),
      m_field(new QLineEdit(this)),
      m_matchCase(new QCheckBox(this)),
      m_outcome(new QLabel(this))
{
    m_field->setObjectName(QStringLiteral("findText"));
    m_matchCase->setObjectName(QStringLiteral("findMatchCase"));
    m_outcome->setObjectName(QStringLiteral("findOutcome"));
    m_label->setBuddy(m_field);
    m_field->setClearButtonEnabled(true);
    m_field->installEventFilter(this);
    m_matchCase->installEventFilter(this);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(m_label);
    layout->addWidget(m_field, 1);
    layout->addWidget(m_matchCase);
    layout->addWidget(m_outcome);
    SetTexts(QStringLiteral("Find:"), QStringLiteral("Match case"), QStringLiteral("no match"));

    connect(m_field, &QLineEdit::textChanged, this, &CFindBar::searchChanged);
    connect(m_matchCase, &QCheckBox::toggled, this, &CFindBar::searchChanged);
}

void CFindBar::SetTexts(const QString& label, const QString& matchCase, const QString& noMatch)
{
    m_label->setText(label);
    m_matchCase->setText(matchCase);
    m_noMatch = noMatch;
    // Room for the outcome from the start, so the field does not jump when it shows.
    m_outcome->setMinimumWidth(m_outcome->fontMetrics().horizontalAdvance(noMatch) + 2 * m_outcome->margin());
}

bool CFindBar::Needle(std::string& needle) const
{
    const QString text = m_field->text();
    needle.clear();
    for (const QChar c : text) {
        if (c.unicode() == 0 || c.unicode() > 0xFF)
            return false;
        needle += static_cast<char>(c.unicode());
    }
    return true;
}

bool CFindBar::MatchCase() const
{
    return m_matchCase->isChecked();
}

void CFindBar::ShowFound(bool found)
{
    m_outcome->setText(found || m_field->text().isEmpty() ? QString() : m_noMatch);
}

void CFindBar::Open()
{
    show();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}

int CFindBar::HeightHint() const
{
    return sizeHint().height();
}

bool CFindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        emit findNext((key->modifiers() & Qt::ShiftModifier) != 0);
        return true;
    }
    if (key->key() == Qt::Key_Escape) {
        hide();
        emit closed();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
