// The bus view window over decoded traffic from a line: the table, the node
// filter, the flash, updates while the report display is off, the profile
// section it keeps, and the export.
#include "support/PseudoTerminal.h"
#include "ShellFixture.h"

#include "bus/BusModel.h"
#include "busview/BusViewWindow.h"
#include "orvane/Checksum11.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QFile>
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

using testsupport::PseudoTerminal;

// A version 1.1 packet: destination, length, its complement, payload, checksum.
std::string Packet11(int destination, std::initializer_list<int> payload)
{
    std::string bytes{static_cast<char>(destination), static_cast<char>(payload.size()),
                      static_cast<char>(payload.size() ^ 0xFF)};
    std::string body;
    for (const int byte : payload)
        body += static_cast<char>(byte);
    bytes += body;
    bytes += static_cast<char>(
        Checksum11(reinterpret_cast<const unsigned char*>(body.data()), static_cast<int>(body.size())));
    return bytes;
}

class BusViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        StoreProfile({{"comport", "COM2"}, {"receiveXrate", 4}, {"sendXrate", 4}});
        Start();
    }

    void Start()
    {
        shell = std::make_unique<Shell>(Language::English, std::vector<std::string>{"COM2=" + line.Path()});
        ASSERT_TRUE(shell->started);
        shell->RunPostedCommands();
    }

    BusViewWindow& OpenBusView()
    {
        Frame().OnCommand(ID_VIEW_BUS);
        return *Frame().BusView();
    }

    // Sends the packets from the far side and waits until the model has taken them.
    void Arrive(const std::string& bytes, std::size_t stores)
    {
        const std::size_t before = Frame().Bus()->Log().size();
        ASSERT_TRUE(line.Write(bytes));
        ASSERT_TRUE(QTest::qWaitFor([&] { return Frame().Bus()->Log().size() >= before + stores; }, 3000));
    }

    QString Cell(int row, int column) { return Frame().BusView()->Registers()->item(row, column)->text(); }

    CMainFrame& Frame() { return shell->Frame(); }
    const std::string& Report() { return shell->View().Session().Report().Text(); }

    PseudoTerminal line;
    std::unique_ptr<Shell> shell;
};

} // namespace

TEST_F(BusViewTest, ShowsTheNodesAndRegistersTheDecoderStoresAndLeavesTheReportAlone)
{
    BusViewWindow& bus = OpenBusView();
    EXPECT_TRUE(bus.isVisible());
    EXPECT_TRUE(Frame().IsMenuChecked(ID_VIEW_BUS));
    const std::size_t reportBefore = Report().size();

    Arrive(Packet11(0x7F, {0x63, 0x05, 0x34, 0x12}) + Packet11(0x7F, {0x7F, 0x0C, 1, 2, 3, 0x84}) +
               Packet11(0x45, {0x01, 0x3F}),
           2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Report().find("CMD:45") != std::string::npos; }, 3000));
    EXPECT_EQ(Report().substr(reportBefore),
              "Rep16 Reg.3 = 0x1234( 4660,  4660) from ID:05 to ID:3F\r\n"
              "Rep32 Reg.F = 0x84030201(-2080177663) from ID:0C to ID:3F\r\n"
              "Unknown packet from ID:3F to ID:05 CMD:45: 01 3F \r\n");

    bus.Refresh();
    QListWidget* nodes = bus.NodeList();
    for (int node = 0; node < 64; ++node) {
        const bool present = node == 5 || node == 12 || node == 63;
        EXPECT_EQ(nodes->item(node)->isHidden(), !present) << node;
    }
    bus.PresentOnly()->setChecked(false);
    EXPECT_FALSE(nodes->item(1)->isHidden());

    bus.ChooseNode(5);
    EXPECT_EQ(Cell(3, BusViewWindow::kHexColumn), "0x1234");
    EXPECT_EQ(Cell(3, BusViewWindow::kDecimalColumn), "4660");
    EXPECT_EQ(Cell(4, BusViewWindow::kHexColumn), "-");
    bus.ChooseNode(12);
    EXPECT_EQ(Cell(16 + 15, BusViewWindow::kHexColumn), "0x84030201");
    EXPECT_EQ(Cell(16 + 15, BusViewWindow::kDecimalColumn), "2214789633");
}

TEST_F(BusViewTest, ChangedValueFlashesBrieflyAndUpdatesWhileTheReportDisplayIsOff)
{
    BusViewWindow& bus = OpenBusView();
    Frame().OnCommand(ID_RECEIVE_ENABLE);
    ASSERT_FALSE(Frame().IsMenuChecked(ID_RECEIVE_ENABLE));
    const std::string report = Report();

    Arrive(Packet11(0x7F, {0x62, 0x01, 0x10, 0x00}), 1);
    // The window catches up by its own timer, without being asked.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Cell(2, BusViewWindow::kHexColumn) == "0x0010"; }, 2000));
    EXPECT_NE(bus.Registers()->item(2, BusViewWindow::kHexColumn)->background(), QBrush());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return bus.Registers()->item(2, BusViewWindow::kHexColumn)->background() == QBrush(); },
        BusViewWindow::kFlashMs + 1000));
    EXPECT_EQ(Report(), report);
}

TEST_F(BusViewTest, PlotsAndGeometryLiveInTheirOwnProfileSection)
{
    Arrive(Packet11(0x7F, {0x6F, 0x05, 0x01, 0x00}) + Packet11(0x7F, {0x6F, 0x05, 0x02, 0x00}), 2);
    BusViewWindow& bus = OpenBusView();
    bus.ChooseNode(5);
    bus.Registers()->item(15, BusViewWindow::kPlotColumn)->setCheckState(Qt::Checked);
    bus.Registers()->item(16 + 3, BusViewWindow::kPlotColumn)->setCheckState(Qt::Checked);
    ASSERT_TRUE(Frame().Bus()->IsPlotted({5, false, 15}));
    EXPECT_EQ(Frame().Bus()->Series().at({5, false, 15}).Points().size(), 2u)
        << "a new plot starts with what was seen before";

    Frame().OnCommand(ID_VIEW_BUS);
    EXPECT_FALSE(bus.isVisible());
    EXPECT_FALSE(Frame().IsMenuChecked(ID_VIEW_BUS));
    EXPECT_EQ(Profile().value("busview/plots").toString(), "5:16:15 5:32:3");
    EXPECT_FALSE(Profile().value("busview/geometry").toString().isEmpty());
    QSettings profile = Profile();
    profile.beginGroup("tamsel_OV");
    for (const QString& key : profile.allKeys())
        EXPECT_TRUE(QStringList({"comport", "receiveXrate", "sendXrate"}).contains(key)) << key.toStdString();

    shell.reset();
    Start();
    BusViewWindow& again = OpenBusView();
    ASSERT_TRUE(Frame().IsMenuChecked(ID_VIEW_BUS));
    again.close();  // its own close button
    EXPECT_FALSE(Frame().IsMenuChecked(ID_VIEW_BUS));
    EXPECT_TRUE(Frame().Bus()->IsPlotted({5, false, 15}));
    EXPECT_TRUE(Frame().Bus()->IsPlotted({5, true, 3}));
}

TEST_F(BusViewTest, ExportWritesEveryChangeAndAFailureNamesTheFile)
{
    Arrive(Packet11(0x7F, {0x61, 0x05, 0x01, 0x00}) + Packet11(0x7F, {0x61, 0x05, 0x01, 0x00}), 2);
    BusViewWindow& bus = OpenBusView();
    QTemporaryDir folder;
    const QString path = folder.filePath("bus.csv");
    ASSERT_TRUE(bus.ExportCsv(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = file.readAll().split('\n');
    ASSERT_EQ(rows.size(), 4);  // the header, two rows, and the end of the last line
    EXPECT_TRUE(rows[1].endsWith(",5,63,1,1"));
    EXPECT_TRUE(bus.Notice()->text().contains(path));

    EXPECT_FALSE(bus.ExportCsv("/dev/full"));
    ASSERT_EQ(shell->boxes.calls.size(), 1u);
    EXPECT_NE(shell->boxes.calls[0].text.find("'/dev/full': No space left on device"), std::string::npos);
}
