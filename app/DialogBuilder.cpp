#include "app/DialogBuilder.h"

#include "resources/CommandIds.h"
#include "resources/TamselIcon.h"

#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

namespace {

// A dialog unit is a quarter of the font's average character width across and
// an eighth of its height down.
struct DialogUnits {
    int baseX;
    int baseY;
    int X(int units) const { return units * baseX / 4; }
    int Y(int units) const { return units * baseY / 8; }
};

// The least room between controls that a widened one leaves, in pixels.
constexpr int kFitGap = 4;

int NeededWidth(QWidget& control)
{
    if (auto* list = qobject_cast<QComboBox*>(&control)) {
        // Wide enough for the longest entry, not just the one shown.
        list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        return list->sizeHint().width();
    }
    if (auto* label = qobject_cast<QLabel*>(&control))
        return label->pixmap().isNull() ? label->sizeHint().width() : 0;
    if (qobject_cast<QPushButton*>(&control))
        return control.sizeHint().width();
    return 0;
}

DialogUnits UnitsOf(const QFont& font)
{
    const QFontMetrics metrics(font);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int average = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    return {std::max(average, 1), std::max(metrics.height(), 1)};
}

QWidget* MakeControl(QDialog& dialog, const DialogControl& control, const DialogUnits& units)
{
    const QRect area(units.X(control.x), units.Y(control.y), units.X(control.w), units.Y(control.h));
    QWidget* widget = nullptr;
    switch (control.kind) {
    case ControlKind::DefPushButton:
    case ControlKind::PushButton: {
        auto* button = new QPushButton(QString::fromUtf8(control.text), &dialog);
        button->setDefault(control.kind == ControlKind::DefPushButton);
        button->setAutoDefault(false);
        if (control.id == IDOK)
            QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::accept);
        else if (control.id == IDCANCEL)
            QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::reject);
        widget = button;
        break;
    }
    case ControlKind::Label:
        widget = new QLabel(QString::fromUtf8(control.text), &dialog);
        break;
    case ControlKind::Icon: {
        auto* icon = new QLabel(&dialog);
        icon->setPixmap(QPixmap(kTamselIconXpm));
        widget = icon;
        break;
    }
    case ControlKind::DropDownList: {
        auto* list = new QComboBox(&dialog);
        list->setEditable(false);
        // The template's height is the opened list; closed, the list is one line.
        const int rowHeight = std::max(list->fontMetrics().height() + 2, 1);
        list->setMaxVisibleItems(std::max(area.height() / rowHeight - 1, 1));
        list->setGeometry(area.x(), area.y(), area.width(), list->sizeHint().height());
        list->setObjectName(QString::number(control.id));
        return list;
    }
    }
    widget->setGeometry(area);
    widget->setObjectName(QString::number(control.id));
    return widget;
}

} // namespace

void BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate)
{
    BuildDialog(dialog, dialogTemplate, QFont(QString::fromUtf8(dialogTemplate.fontFamily), dialogTemplate.pointSize));
}

void BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate, const QFont& font)
{
    dialog.setWindowTitle(QString::fromUtf8(dialogTemplate.title));
    dialog.setFont(font);
    const DialogUnits units = UnitsOf(dialog.font());
    dialog.setFixedSize(units.X(dialogTemplate.w), units.Y(dialogTemplate.h));
    for (const DialogControl& control : dialogTemplate.controls)
        MakeControl(dialog, control, units);
}

void FitDialogToText(QDialog& dialog)
{
    const QList<QWidget*> controls = dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    int rightMargin = dialog.width();
    for (const QWidget* control : controls)
        rightMargin = std::min(rightMargin, dialog.width() - control->geometry().right() - 1);
    rightMargin = std::max(rightMargin, 0);

    // Left to right, so a control moved along is itself fitted before the
    // ones to its right are moved past it.
    QList<QWidget*> byLeft = controls;
    std::stable_sort(byLeft.begin(), byLeft.end(),
                     [](const QWidget* a, const QWidget* b) { return a->x() < b->x(); });
    for (QWidget* control : byLeft) {
        const QRect before = control->geometry();
        const int needed = NeededWidth(*control);
        if (needed <= before.width())
            continue;
        control->resize(needed, before.height());
        for (QWidget* other : byLeft) {
            const QRect place = other->geometry();
            // Only what stood clear to the right of it and shares some of its rows.
            if (other == control || place.left() <= before.right() || place.bottom() < before.top() ||
                place.top() > before.bottom())
                continue;
            const int overlap = control->geometry().right() + kFitGap - place.left();
            if (overlap > 0)
                other->move(place.left() + overlap, place.top());
        }
    }
    int right = 0;
    for (const QWidget* control : controls)
        right = std::max(right, control->geometry().right() + 1);
    dialog.setFixedSize(std::max(dialog.width(), right + rightMargin), dialog.height());
}

QWidget* FindDialogControl(QDialog& dialog, int id)
{
    return dialog.findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}
