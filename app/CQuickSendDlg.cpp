#include "app/CQuickSendDlg.h"

#include "resources/QuickSendKeys.h"
#include "view/SingleByteText.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFontMetrics>
#include <QLineEdit>

namespace {

// Wide enough for a typical command without scrolling the field.
constexpr int kFieldChars = 40;

} // namespace

CQuickSendDlg::CQuickSendDlg(const QString& title, const std::vector<std::string>& texts, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(title);
    auto* form = new QFormLayout(this);
    std::size_t index = 0;
    for (const QuickSendKey& key : QuickSendKeys()) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QString::fromLatin1(key.name));
        field->setMinimumWidth(QFontMetrics(field->font()).averageCharWidth() * kFieldChars);
        if (index < texts.size())
            field->setText(QString::fromLatin1(texts[index].data(), static_cast<qsizetype>(texts[index].size())));
        form->addRow(QString::fromLatin1(key.name), field);
        m_fields.push_back(field);
        ++index;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

std::vector<std::string> CQuickSendDlg::Texts() const
{
    std::vector<std::string> texts;
    for (const QLineEdit* field : m_fields)
        texts.push_back(SingleByteText(field->text()));
    return texts;
}
