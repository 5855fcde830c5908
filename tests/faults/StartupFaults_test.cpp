// Start-up of the whole window against a hostile settings file and a device
// the user may not open: the window always comes up, every value that cannot
// be used falls back on its own, and each failure is told in its box.

#include "FaultSupport.h"

#include "app/CMainFrame.h"
#include "app/CSetup.h"
#include "app/CTamselApp.h"
#include "resources/CommandIds.h"
#include "support/PseudoTerminal.h"
#include "support/MessageBoxRecorder.h"
#include "view/ViewEvents.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

using testsupport::MessageBoxRecorder;
using testsupport::PseudoTerminal;

namespace {

QString ProfileFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/Pellmark/TamSel Serial port Monitor 1.1 (OV1.1).conf";
}

void WriteProfileFile(const std::string& bytes)
{
    const QString path = ProfileFile();
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
}

// The application started as main() starts it, with its boxes recorded. Every
// port not named in ports leads to no device, so nothing touches the
// machine's real serial ports.
class Tamsel {
public:
    Tamsel(const std::vector<std::string>& ports, const std::vector<int>& fromProfile = {})
        : app(Language::English)
    {
        std::vector<std::string> overrides;
        for (int port = 1; port <= 20; ++port) {
            if (std::find(fromProfile.begin(), fromProfile.end(), port) == fromProfile.end())
                overrides.push_back("COM" + std::to_string(port) + "=/dev/tamsel-test-no-device");
        }
        overrides.insert(overrides.end(), ports.begin(), ports.end());
        app.SetPortOverrides(std::move(overrides));
        started = app.InitInstance();
        if (started)
            QCoreApplication::sendPostedEvents(app.MainFrame(), CommandEvent::Kind());
    }

    CMainFrame& Frame() { return *app.MainFrame(); }
    std::string Pane(int id) { return Frame().PaneText(id).toStdString(); }

    MessageBoxRecorder boxes;
    CTamselApp app;
    bool started = false;
};

std::string Noise(std::size_t count, std::uint32_t state)
{
    std::string bytes(count, '\0');
    for (char& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

struct HostileProfile {
    const char* name;
    std::string file;
    // What start-up must make of it; nullopt where any usable value will do
    // (what survives of a damaged file is the INI reader's business).
    std::optional<std::string> port;
    std::optional<std::string> baud;
    std::optional<std::string> rx;
    std::optional<std::string> tx;
    bool receive;
    bool echo;
    std::string openFailure;   // text of the one ComOpen box, empty for none
    bool com1FromProfile;      // COM1 leads where the file's "ports" section says
};

void PrintTo(const HostileProfile& profile, std::ostream* out)
{
    *out << profile.name;
}

const std::string kLongText(1 << 20, 'A');

const HostileProfile kHostileProfiles[] = {
    {"BinaryJunk", Noise(8192, 2463534242u), std::nullopt, std::nullopt, std::nullopt, std::nullopt,
     true, true, "", false},
    {"JunkAroundTheSection",
     Noise(3000, 88172645u) + "\n[tamsel_OV]\ncomport=COM2\nsendXrate=2\n" + Noise(3000, 5u) + "\n",
     std::nullopt, std::nullopt, std::nullopt, std::nullopt, true, true, "", false},
    {"HugeValues",
     "[tamsel_OV]\ncomport=COM9999999999999999\ncomspeed=2147483647\n"
     "receiveenable=99999999999999999999\nlocalecho=-2147483648\nreceiveXrate=2147483647\n"
     "sendXrate=-2147483648\n",
     "\\\\.\\COM2147483647", "115200 bps", "Rx:Raw", "Tx:Raw", true, true,
     "Cannot open communication port '\\\\.\\COM2147483647'", false},
    {"WrongTypes",
     "[tamsel_OV]\ncomport=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x10tamsel::Nothing\\0)\n"
     "comspeed=@Rect(1 2 3 4)\nreceiveenable=@ByteArray(\\0\\xff)\nlocalecho=off, on\n"
     "receiveXrate=\"1\"\nsendXrate=@Invalid()\n",
     "\\\\.\\COM1", "9600 bps", "Rx:HEX", "Tx:OV", true, true, "", false},
    {"VeryLongStrings",
     "[tamsel_OV]\ncomport=" + kLongText + "COM5\ncomspeed=" + std::string(100000, '1') +
         "\nreceiveXrate= 2 \n" + kLongText + "=1\n[ports]\nCOM1=/tmp/" + std::string(70000, 'p') + "\n",
     "\\\\.\\COM1", "9600 bps", "Rx:Bin", "Tx:OV", true, true,
     "Cannot open communication port '\\\\.\\COM1'", true},
};

class HostileProfiles : public testing::TestWithParam<HostileProfile> {};

TEST_P(HostileProfiles, StartTheWindowWithWhatCanBeUsedAndSaveCleanValues)
{
    const HostileProfile& hostile = GetParam();
    WriteProfileFile(hostile.file);
    PseudoTerminal line;
    std::vector<std::string> ports = {"COM2=" + line.Path()};
    if (!hostile.com1FromProfile)
        ports.push_back("COM1=" + line.Path());
    const std::vector<int> fromProfile =
        hostile.com1FromProfile ? std::vector<int>{1} : std::vector<int>{};

    std::string saved[6];
    {
        Tamsel tamsel(ports, fromProfile);
        ASSERT_TRUE(tamsel.started);
        const std::string port = tamsel.Pane(ID_INDICATOR_PORT);
        EXPECT_EQ(port.rfind("\\\\.\\COM", 0), 0u) << port;
        const std::string baud = tamsel.Pane(ID_INDICATOR_BAUD);
        bool tableRate = false;
        for (int i = 0; i < CSetup::kRateCount; ++i)
            tableRate = tableRate || baud == std::to_string(CSetup::kBaudRates[i]) + " bps";
        EXPECT_TRUE(tableRate) << baud;
        const std::string rx = tamsel.Pane(ID_INDICATOR_RXCONV);
        const std::string tx = tamsel.Pane(ID_INDICATOR_TXCONV);
        EXPECT_EQ(rx.rfind("Rx:", 0), 0u) << rx;
        EXPECT_EQ(tx.rfind("Tx:", 0), 0u) << tx;
        if (hostile.port) {
            EXPECT_EQ(port, *hostile.port);
        }
        if (hostile.baud) {
            EXPECT_EQ(baud, *hostile.baud);
        }
        if (hostile.rx) {
            EXPECT_EQ(rx, *hostile.rx);
        }
        if (hostile.tx) {
            EXPECT_EQ(tx, *hostile.tx);
        }
        if (hostile.port || hostile.rx) {
            EXPECT_EQ(tamsel.Frame().IsMenuChecked(ID_RECEIVE_ENABLE), hostile.receive);
            EXPECT_EQ(tamsel.Frame().IsMenuChecked(ID_LOCAL_ECHO), hostile.echo);
        }

        if (hostile.openFailure.empty()) {
            EXPECT_TRUE(tamsel.boxes.calls.empty());
            EXPECT_EQ(tamsel.Pane(ID_INDICATOR_LINE), "Line open");
        } else {
            ASSERT_EQ(tamsel.boxes.calls.size(), 1u);
            EXPECT_EQ(tamsel.boxes.calls[0].text, hostile.openFailure);
            EXPECT_EQ(tamsel.boxes.calls[0].caption, "Tamsel::ComOpen");
            EXPECT_EQ(tamsel.Pane(ID_INDICATOR_LINE), "No port");
        }

        tamsel.Frame().OnCommand(ID_SAVE_SETTING);
        saved[0] = port;
        saved[1] = baud;
        saved[2] = rx;
        saved[3] = tx;
        saved[4] = tamsel.Frame().IsMenuChecked(ID_RECEIVE_ENABLE) ? "on" : "off";
        saved[5] = tamsel.Frame().IsMenuChecked(ID_LOCAL_ECHO) ? "on" : "off";
    }

    // What was saved over the damaged file is what the next start reads.
    Tamsel again(ports, fromProfile);
    ASSERT_TRUE(again.started);
    EXPECT_EQ(again.Pane(ID_INDICATOR_PORT), saved[0]);
    EXPECT_EQ(again.Pane(ID_INDICATOR_BAUD), saved[1]);
    EXPECT_EQ(again.Pane(ID_INDICATOR_RXCONV), saved[2]);
    EXPECT_EQ(again.Pane(ID_INDICATOR_TXCONV), saved[3]);
    EXPECT_EQ(again.Frame().IsMenuChecked(ID_RECEIVE_ENABLE) ? "on" : "off", saved[4]);
    EXPECT_EQ(again.Frame().IsMenuChecked(ID_LOCAL_ECHO) ? "on" : "off", saved[5]);
}

INSTANTIATE_TEST_SUITE_P(StartupFaults, HostileProfiles, testing::ValuesIn(kHostileProfiles),
                         [](const testing::TestParamInfo<HostileProfile>& info) {
                             return std::string(info.param.name);
                         });

// Root opens any file whatever its mode. For as long as it lives, this drops
// the two capabilities that let it do so from the calling thread, so that a
// device's mode decides as it would for an ordinary user.
class WithoutFileAccessOverride {
public:
    WithoutFileAccessOverride()
    {
        if (geteuid() != 0) {
            m_ready = true;
            return;
        }
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_ready = syscall(SYS_capset, &m_header, lowered) == 0;
        m_lowered = m_ready;
    }
    ~WithoutFileAccessOverride()
    {
        if (m_lowered)
            syscall(SYS_capset, &m_header, m_saved);
    }
    WithoutFileAccessOverride(const WithoutFileAccessOverride&) = delete;
    WithoutFileAccessOverride& operator=(const WithoutFileAccessOverride&) = delete;

    bool Ready() const { return m_ready; }

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2] = {};
    bool m_ready = false;
    bool m_lowered = false;
};

TEST(StartupFaults, ADeviceTheUserMayNotOpenIsToldAndTheWindowStillStarts)
{
    WriteProfileFile("[tamsel_OV]\ncomport=COM2\n");
    PseudoTerminal line;
    ASSERT_EQ(chmod(line.Path().c_str(), 0), 0);
    std::optional<Tamsel> tamsel;
    {
        WithoutFileAccessOverride ordinaryUser;
        if (!ordinaryUser.Ready())
            GTEST_SKIP() << "cannot give up root's file access here: " << std::strerror(errno);
        tamsel.emplace(std::vector<std::string>{"COM2=" + line.Path()});
    }
    ASSERT_TRUE(tamsel->started);
    ASSERT_EQ(tamsel->boxes.calls.size(), 1u);
    const MessageBoxCall& box = tamsel->boxes.calls[0];
    EXPECT_EQ(box.text, "Cannot open communication port '\\\\.\\COM2'");
    EXPECT_EQ(box.caption, "Tamsel::ComOpen");
    EXPECT_EQ(box.detail, line.Path() + ": permission denied (serial devices usually belong to "
                                             "the group dialout: add the user to it and log in again)");
    EXPECT_EQ(tamsel->Pane(ID_INDICATOR_PORT), "\\\\.\\COM2");
    EXPECT_EQ(tamsel->Pane(ID_INDICATOR_LINE), "No port");
}

} // namespace
