// How soon a pulled and replugged USB serial adapter reads again: from udev's
// "add" event of the adapter to the first byte the reader thread reads from
// it, with the port followed by identity (udev's events) and with the retry
// by path alone (the check once a second). umockdev stands in for the
// adapter; the program runs under umockdev-wrapper.
//
//   umockdev-wrapper hotplug_probe DATA-DIR [TRIALS]
//
// Each trial unplugs the adapter, waits until the reader has seen the line go,
// waits a random 200-1200 ms (fixed seed), plugs it into the next USB socket
// (a new node each time: the test bed cannot hand a node name out twice) and
// writes a byte into it at once (and every 50 ms after) until one is read.
// The time runs from just before the bed adds the device, which sends the event. For the retry by path the
// port's COM name is mapped to the adapter's by-id name, which the probe links
// to the new node at once, as udev's rules do before udev announces a device;
// the retry could not find the adapter under a new node otherwise.
#include "devices/PortFollower.h"
#include "serial/CFIFO.h"
#include "serial/CReceivePump.h"

#include <umockdev.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kCom5[] = "\\\\.\\COM5";
constexpr char kById[] = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
}

// The adapter of ftdi-socket2.umockdev plugged into socket kFirstSocket + n as ttyUSBn.
constexpr int kFirstSocket = 10;

struct Plug {
    std::string description;
    std::string node;
    std::string ttyRecord;
    std::string usbDevice;
};

Plug PlugInto(const std::string& socket2, int n)
{
    const int socket = kFirstSocket + n;
    const std::string tty = "ttyUSB" + std::to_string(n);
    const std::string usb = "1-" + std::to_string(socket);
    Plug plug{socket2, "/dev/" + tty, "", "/sys/devices/pci0000:00/0000:00:14.0/usb1/" + usb};
    ReplaceAll(plug.description, "ttyUSB0", tty);
    ReplaceAll(plug.description, "MINOR=0", "MINOR=" + std::to_string(n));
    ReplaceAll(plug.description, "dev=188:0", "dev=188:" + std::to_string(n));
    ReplaceAll(plug.description, "dev=189:4", "dev=189:" + std::to_string(socket));
    ReplaceAll(plug.description, "usb-0:2:1.0", "usb-0:" + std::to_string(socket) + ":1.0");
    ReplaceAll(plug.description, "1-2", usb);
    plug.ttyRecord = plug.usbDevice + "/" + usb + ":1.0/" + tty + "/tty/" + tty;
    return plug;
}

class Bed {
public:
    Bed() : m_bed(umockdev_testbed_new()) {}
    ~Bed() { g_object_unref(m_bed); }

    bool Add(const std::string& description)
    {
        GError* error = nullptr;
        if (umockdev_testbed_add_from_string(m_bed, description.c_str(), &error))
            return true;
        std::fprintf(stderr, "hotplug_probe: %s\n", error ? error->message : "cannot add a device");
        return false;
    }

    void Unplug(const Plug& plug)
    {
        // The node and its link go first, then the line hangs up (as the
        // kernel hangs up a pulled adapter's terminal): the retry that the
        // hang-up brings must not find the dead terminal under its old name.
        std::error_code error;
        const auto terminal = std::filesystem::read_symlink(InBed(plug.node), error);
        umockdev_testbed_uevent(m_bed, plug.ttyRecord.c_str(), "remove");
        umockdev_testbed_remove_device(m_bed, plug.ttyRecord.c_str());
        umockdev_testbed_remove_device(m_bed, plug.usbDevice.c_str());
        std::filesystem::remove(InBed(plug.node), error);
        std::filesystem::remove(InBed(kById), error);
        const int fd = terminal.empty() ? -1 : open(terminal.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            syscall(SYS_ioctl, fd, TIOCVHANGUP);
            close(fd);
        }
    }

    void Link(const std::string& link, const std::string& node)
    {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(InBed(link)).parent_path(), error);
        std::filesystem::create_symlink(InBed(node), InBed(link), error);
    }

    int Far(const std::string& node) { return umockdev_testbed_get_dev_fd(m_bed, node.c_str()); }

private:
    std::string InBed(const std::string& path) const
    {
        gchar* root = umockdev_testbed_get_root_dir(m_bed);
        std::string full = std::string(root) + path;
        g_free(root);
        return full;
    }

    UMockdevTestbed* m_bed;
};

// The user-interface thread of the view, reduced to what the line needs:
// the reader's notices and udev's events, answered as the view answers them.
class LineLoop {
public:
    LineLoop(CComPort& port, PortFollower* follower) : m_port(port), m_follower(follower)
    {
        if (pipe2(m_notices, O_CLOEXEC | O_NONBLOCK) != 0)
            m_notices[0] = m_notices[1] = -1;
        m_thread = std::thread([this] { Run(); });
    }
    ~LineLoop()
    {
        m_run = false;
        Notify('q');
        m_thread.join();
        close(m_notices[0]);
        close(m_notices[1]);
    }
    void Notify(char what) { (void)!write(m_notices[1], &what, 1); }
    CFIFO ring{FifoSize{65536}};
    CReceivePump* pump = nullptr;

private:
    void Run()
    {
        while (m_run) {
            pollfd fds[2] = {{m_notices[0], POLLIN, 0}, {m_follower ? m_follower->EventFd() : -1, POLLIN, 0}};
            if (poll(fds, 2, 100) <= 0)
                continue;
            char notices[64];
            const ssize_t got = (fds[0].revents & POLLIN) ? read(m_notices[0], notices, sizeof notices) : 0;
            for (ssize_t i = 0; i < got; ++i) {
                if (notices[i] == 'd' && pump)
                    pump->OnReceive(nullptr);
                else if (notices[i] == 'l')
                    Answer(m_follower ? m_follower->CheckLine() : m_port.CheckLine());
            }
            if (fds[1].revents & POLLIN)
                Answer(m_follower->TakeEvents());
        }
    }

    // As the view does; the retry alone stands for the view before it
    // followed devices, which left the reader in its idle step.
    void Answer(LineState state)
    {
        if (state == LineState::kReopened && pump && m_follower)
            pump->Wake();
    }

    CComPort& m_port;
    PortFollower* m_follower;
    int m_notices[2] = {-1, -1};
    std::atomic<bool> m_run{true};
    std::thread m_thread;
};

// Milliseconds from each replug to the first byte read, or an empty list when it failed.
std::vector<double> Measure(const std::string& data, bool follow, int trials)
{
    const std::string socket2 = ReadFile(data + "/ftdi-socket2.umockdev");
    Bed bed;
    std::vector<double> figures;
    if (!bed.Add(ReadFile(data + "/machine.umockdev")) || !bed.Add(PlugInto(socket2, 0).description))
        return figures;
    PortMap map;
    if (!follow) {
        bed.Link(kById, "/dev/ttyUSB0");
        map.SetOverride(std::string("COM5=") + kById);
    }
    CComPort port(nullptr);
    port.SetPortMap(map);
    if (port.ComReopen(kCom5, 115200) != 0)
        return figures;
    PortFollower follower(port, map);
    if (follow)
        follower.Follow(map.Resolve(kCom5));
    if (follow && follower.Identity() != kById) {
        std::fprintf(stderr, "hotplug_probe: the adapter has no identity\n");
        return figures;
    }

    std::atomic<Clock::rep> firstByte{0};
    LineLoop loop(port, follow ? &follower : nullptr);
    CReceivePump pump(nullptr, port, loop.ring, PumpTimings{0, 100, 10, 1000});
    loop.pump = &pump;
    pump.StartReceiveThread(
        [&](int) {
            Clock::rep none = 0;
            firstByte.compare_exchange_strong(none, Clock::now().time_since_epoch().count());
            loop.Notify('d');
        },
        [&] { loop.Notify('l'); });

    std::mt19937 random(14);
    std::uniform_int_distribution<int> away(200, 1200);
    for (int trial = 0; trial < trials; ++trial) {
        const Plug was = PlugInto(socket2, trial);
        const Plug next = PlugInto(socket2, trial + 1);
        bed.Unplug(was);
        const auto lostBy = Clock::now() + std::chrono::seconds(3);
        while (port.GetLineState() != LineState::kLost && Clock::now() < lostBy)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(away(random)));

        firstByte.store(0);
        const Clock::time_point plugged = Clock::now();
        if (!bed.Add(next.description))
            return {};
        if (!follow)
            bed.Link(kById, next.node);
        const int far = bed.Far(next.node);
        const auto giveUp = plugged + std::chrono::seconds(5);
        // One byte now, which waits in the terminal until the port reads it;
        // more only now and then, so that each read ends at its interval time-out.
        for (int tick = 0; firstByte.load() == 0 && Clock::now() < giveUp; ++tick) {
            if (tick % 50 == 0)
                (void)!write(far, "x", 1);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (firstByte.load() == 0) {
            std::fprintf(stderr, "hotplug_probe: trial %d: nothing read within 5 s\n", trial + 1);
            return {};
        }
        const Clock::time_point read{Clock::duration(firstByte.load())};
        figures.push_back(std::chrono::duration<double, std::milli>(read - plugged).count());
    }
    pump.StopReceiveThread();
    return figures;
}

void Report(const char* how, std::vector<double> figures)
{
    std::sort(figures.begin(), figures.end());
    double sum = 0;
    for (double f : figures)
        sum += f;
    const auto at = [&figures](double share) {
        return figures[std::min(figures.size() - 1, static_cast<std::size_t>(share * figures.size()))];
    };
    std::printf("%-22s trials %2zu  median %7.1f ms  mean %7.1f ms  90%% %7.1f ms  min %7.1f ms  max %7.1f ms\n",
                how, figures.size(), at(0.5), sum / figures.size(), at(0.9), figures.front(), figures.back());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: umockdev-wrapper hotplug_probe DATA-DIR [TRIALS]\n");
        return 2;
    }
    const int trials = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
    const std::vector<double> followed = Measure(argv[1], true, trials);
    const std::vector<double> retried = Measure(argv[1], false, trials);
    if (followed.empty() || retried.empty())
        return 1;
    Report("udev event, identity", followed);
    Report("retry by path (1 s)", retried);
    return 0;
}
