#include "app/CStatusBar.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include <algorithm>

namespace {

constexpr int kPaneMargin = 3;

int TextWidth(const QLabel& pane, const QString& text)
{
    return pane.fontMetrics().horizontalAdvance(text) + 2 * (pane.frameWidth() + kPaneMargin);
}

} // namespace

CStatusBar::CStatusBar(QWidget* parent) : QStatusBar(parent)
{
}

bool CStatusBar::SetIndicators(std::span<const int> ids, const StringTable& strings)
{
    std::vector<QLabel*> panes;
    for (const int id : ids) {
        auto* pane = new QLabel(this);
        pane->setMargin(0);
        pane->setIndent(kPaneMargin);
        pane->setObjectName(QString::number(id));
        if (id == 0) {
            const QScreen* screen = QGuiApplication::primaryScreen();
            pane->setMinimumWidth(screen ? screen->availableGeometry().width() / 4 : 0);
        } else {
            const char* placeholder = strings.Find(id);
            if (!placeholder) {
                qDeleteAll(panes);
                delete pane;
                return false;
            }
            pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            pane->setText(QString::fromUtf8(placeholder));
            pane->setFixedWidth(TextWidth(*pane, pane->text()));
        }
        panes.push_back(pane);
    }
    for (std::size_t i = 0; i < panes.size(); ++i)
        addWidget(panes[i], ids[i] == 0 ? 1 : 0);
    m_ids.assign(ids.begin(), ids.end());
    m_panes = std::move(panes);
    return true;
}

int CStatusBar::CommandToIndex(int id) const
{
    for (std::size_t i = 0; i < m_ids.size(); ++i) {
        if (m_ids[i] == id)
            return static_cast<int>(i);
    }
    return -1;
}

QLabel* CStatusBar::Pane(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_panes.size())
        return nullptr;
    return m_panes[static_cast<std::size_t>(index)];
}

void CStatusBar::SetPaneText(int index, const QString& text)
{
    QLabel* pane = Pane(index);
    if (pane && pane->text() != text) {
        pane->setText(text);
        pane->repaint();
    }
}

QString CStatusBar::GetPaneText(int index) const
{
    const QLabel* pane = Pane(index);
    return pane ? pane->text() : QString();
}

void CStatusBar::FitPaneTo(int index, const QString& text)
{
    if (QLabel* pane = Pane(index))
        pane->setFixedWidth(std::max(pane->minimumWidth(), TextWidth(*pane, text)));
}
