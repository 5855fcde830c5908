// Every text of the status panes and the setup dialog shows whole, measured
// in the font each is drawn in, in both languages and at larger font scales.
#include "app/CSetup.h"
#include "app/DialogBuilder.h"
#include "app/MenuChoices.h"
#include "conversions/ConversionRegistry.h"
#include "resources/CommandIds.h"

#include "ShellFixture.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <string>

namespace {

constexpr int kPanes[] = {ID_INDICATOR_PORT, ID_INDICATOR_BAUD, ID_INDICATOR_RECEIVE, ID_INDICATOR_RXCONV,
                          ID_INDICATOR_TXCONV, ID_INDICATOR_LINE};

// The room a label gives its text against the width the text needs.
void ExpectLabelShowsWhole(const QLabel& label, const std::string& where)
{
    if (label.text().isEmpty())
        return;
    const int room = label.contentsRect().width() - std::max(label.indent(), 0) - 2 * label.margin();
    EXPECT_GE(room, label.fontMetrics().horizontalAdvance(label.text()))
        << where << ": '" << label.text().toStdString() << "' in " << label.font().family().toStdString();
}

void ExpectPanesShowWhole(CMainFrame& frame, const std::string& where)
{
    for (const int id : kPanes) {
        const auto* pane = frame.StatusBar()->findChild<QLabel*>(QString::number(id));
        ASSERT_NE(pane, nullptr) << id;
        ExpectLabelShowsWhole(*pane, where);
    }
}

class PaneWidths : public testing::TestWithParam<Language> {};

TEST_P(PaneWidths, FitEveryTextThePanesCanShow)
{
    Shell shell(GetParam());
    ASSERT_TRUE(shell.started);
    CMainFrame& frame = shell.Frame();
    ExpectPanesShowWhole(frame, "at start");
    for (int port = 1; port <= CSetup::kPortCount; ++port) {
        ChoosePortAndRate(frame.Setup(), port, 0);
        frame.ApplySetup();
        ExpectPanesShowWhole(frame, "port " + std::to_string(port));
    }
    for (int i = 0; CSetup::kBaudRates[i] != 0; ++i) {
        ChoosePortAndRate(frame.Setup(), 0, CSetup::kBaudRates[i]);
        frame.ApplySetup();
        ExpectPanesShowWhole(frame, std::to_string(CSetup::kBaudRates[i]) + " bps");
    }
    for (int index = 0; index < kConversionCount; ++index) {
        frame.OnCommand(ConversionAt(index).rxCommand);
        frame.OnCommand(ConversionAt(index).txCommand);
        ExpectPanesShowWhole(frame, ConversionAt(index).optionName);
    }
    for (int toggle = 0; toggle < 2; ++toggle) {
        frame.OnCommand(ID_RECEIVE_ENABLE);
        ExpectPanesShowWhole(frame, "receive switched");
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, PaneWidths, testing::Values(Language::English, Language::Japanese),
                         [](const testing::TestParamInfo<Language>& info) {
                             return info.param == Language::English ? "English" : "Japanese";
                         });

struct DialogFont {
    const char* family;  // the template's font, and what a Japanese desktop gives for it
    int pointSize;       // 9 is the template's size; 14 and 18 are 150% and 200%
};

void PrintTo(const DialogFont& font, std::ostream* out)
{
    *out << font.family << ' ' << font.pointSize << "pt";
}

class SetupDialogWidths : public testing::TestWithParam<DialogFont> {
protected:
    void ExpectAllShowsWhole(QDialog& dialog, const std::string& where)
    {
        const QList<QWidget*> controls = dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* control : controls) {
            const std::string name = where + ", control " + control->objectName().toStdString();
            EXPECT_TRUE(dialog.rect().contains(control->geometry())) << name;
            for (const QWidget* other : controls)
                EXPECT_TRUE(other == control || !other->geometry().intersects(control->geometry()))
                    << name << " overlaps " << other->objectName().toStdString();
            if (auto* label = qobject_cast<QLabel*>(control))
                ExpectLabelShowsWhole(*label, name);
            if (auto* button = qobject_cast<QPushButton*>(control)) {
                EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->text())) << name;
            }
            if (auto* list = qobject_cast<QComboBox*>(control)) {
                QStyleOptionComboBox option;
                option.initFrom(list);
                option.editable = false;
                const int room = list->style()
                                     ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list)
                                     .width();
                for (int i = 0; i < list->count(); ++i)
                    EXPECT_GE(room, list->fontMetrics().horizontalAdvance(list->itemText(i)))
                        << name << ": '" << list->itemText(i).toStdString() << "'";
            }
        }
    }
};

TEST_P(SetupDialogWidths, ShowEveryLabelAndListEntryWhole)
{
    CSetup setup;
    setup.SetPortResolver([](const char* name) {
        return std::string(name).back() == '7' ? "/dev/serial/by-id/usb-Pellmark_Tamsel_Adapter_0123456789-if00-port0"
                                               : "/dev/ttyUSB0";
    });
    QDialog dialog;
    setup.BuildOn(dialog, QFont(QString::fromLatin1(GetParam().family), GetParam().pointSize));
    dialog.show();
    ExpectAllShowsWhole(dialog, "as opened");
    auto* ports = static_cast<QComboBox*>(FindDialogControl(dialog, IDC_PORT_LIST));
    ports->setCurrentIndex(6);
    ExpectAllShowsWhole(dialog, "with a long device path");
}

INSTANTIATE_TEST_SUITE_P(Fonts, SetupDialogWidths,
                         testing::Values(DialogFont{"Arial", 9}, DialogFont{"Arial", 14}, DialogFont{"Arial", 18},
                                         DialogFont{"IPAGothic", 9}, DialogFont{"IPAGothic", 14},
                                         DialogFont{"IPAGothic", 18}));

} // namespace
