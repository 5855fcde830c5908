// The orvane-sim program as a script would use it.

#include "SimTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

// orvane-sim started with pipes on its three standard streams.
class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> args)
    {
        int in[2];
        int out[2];
        int err[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
        args.insert(args.begin(), ORVANE_SIM_PROGRAM);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, ORVANE_SIM_PROGRAM, &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        close(err[1]);
        m_in = in[1];
        m_out = out[0];
        m_err = err[0];
    }
    ~SimProcess()
    {
        if (m_pid > 0 && Wait(0) == kStillRunning) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        for (int fd : {m_in, m_out, m_err})
            if (fd >= 0)
                close(fd);
    }

    static constexpr int kStillRunning = -1000;

    bool Started() const { return m_pid > 0; }
    void Signal(int signal) const { kill(m_pid, signal); }
    void CloseInput()
    {
        close(m_in);
        m_in = -1;
    }

    // The first line of standard output, without its line end.
    std::string FirstLine() const
    {
        std::string line;
        for (;;) {
            const Bytes byte = ReadBytes(m_out, 1);
            if (byte.empty() || byte[0] == '\n')
                return line;
            line += static_cast<char>(byte[0]);
        }
    }
    std::string AllOutput() const { return Drain(m_out); }
    std::string AllErrors() const { return Drain(m_err); }

    // The exit status, or kStillRunning after timeoutMs; a death by signal is negative.
    int Wait(int timeoutMs = 5000)
    {
        if (m_status != kStillRunning)
            return m_status;
        for (int waited = 0;; waited += 5) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
                return m_status;
            }
            if (waited >= timeoutMs)
                return kStillRunning;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

private:
    static std::string Drain(int fd)
    {
        std::string text;
        for (;;) {
            const Bytes chunk = ReadBytes(fd, 4096, 5000);
            if (chunk.empty())
                return text;
            text.append(chunk.begin(), chunk.end());
        }
    }

    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    int m_err = -1;
    int m_status = kStillRunning;
};

TEST(OrvaneSimTool, HelpDescribesTheOptionsAndExitsZero)
{
    SimProcess sim({"--help"});
    ASSERT_TRUE(sim.Started());
    const std::string help = sim.AllOutput();
    EXPECT_EQ(sim.Wait(), 0);
    EXPECT_EQ(help.rfind("Usage: orvane-sim [OPTION]...\n", 0), 0u);
    for (const char* option : {"--nodes", "--link", "--version", "--traffic", "--fault", "--pause",
                               "--until-eof", "--help"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

TEST(OrvaneSimTool, AWrongOptionExitsTwoWithAMessage)
{
    SimProcess sim({"--nodes", "1,99"});
    ASSERT_TRUE(sim.Started());
    EXPECT_EQ(sim.AllErrors(),
              "orvane-sim: --nodes: '99' is not a node ID from 0 to 62\nTry 'orvane-sim --help'.\n");
    EXPECT_EQ(sim.Wait(), 2);
    EXPECT_EQ(sim.AllOutput(), "");
}

TEST(OrvaneSimTool, ALinkThatCannotBePlacedExitsOne)
{
    SimProcess sim({"--link", "/nonexistent-folder/bus"});
    ASSERT_TRUE(sim.Started());
    EXPECT_EQ(sim.AllErrors(), "orvane-sim: cannot place the link '/nonexistent-folder/bus': "
                               "No such file or directory\n");
    EXPECT_EQ(sim.Wait(), 1);
}

TEST(OrvaneSimTool, ServesThroughItsLinkUntilSigterm)
{
    char pattern[] = "/tmp/orvane-sim-tool-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string link = std::string(pattern) + "/bus";

    SimProcess sim({"--link", link, "--nodes", "7", "--version", "1.1"});
    ASSERT_TRUE(sim.Started());
    const std::string device = sim.FirstLine();
    ASSERT_EQ(device.rfind("/dev/pts/", 0), 0u) << device;
    char target[PATH_MAX] = {};
    ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(device, target);

    const int fd = open(link.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    const Bytes request = MonitorSends("reqprof 7", FrameVersion::V11);
    ASSERT_EQ(write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
    const std::string profile = "Orvane sim node 7: 16x16-bit, 16x32-bit registers, 512-byte memory";
    Bytes payload{0x03, 0x07};
    payload.insert(payload.end(), profile.begin(), profile.end());
    const Bytes expected = Packet(FrameVersion::V11, 0x7F, payload);
    EXPECT_EQ(Hex(ReadBytes(fd, expected.size())), Hex(expected));
    close(fd);

    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.Wait(), 0);
    struct stat gone {};
    EXPECT_EQ(lstat(link.c_str(), &gone), -1);
    rmdir(pattern);
}

TEST(OrvaneSimTool, StopsOnSigintAndOnTheEndOfInputWhenAsked)
{
    SimProcess interrupted({});
    ASSERT_TRUE(interrupted.Started());
    ASSERT_FALSE(interrupted.FirstLine().empty());
    interrupted.CloseInput();
    // Without --until-eof the end of input is no reason to stop.
    EXPECT_EQ(interrupted.Wait(100), SimProcess::kStillRunning);
    interrupted.Signal(SIGINT);
    EXPECT_EQ(interrupted.Wait(), 0);

    SimProcess piped({"--until-eof"});
    ASSERT_TRUE(piped.Started());
    ASSERT_FALSE(piped.FirstLine().empty());
    piped.CloseInput();
    EXPECT_EQ(piped.Wait(), 0);
}

} // namespace
