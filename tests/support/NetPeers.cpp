#include "support/NetPeers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testsupport {

namespace {

sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

} // namespace

ChildProcess::~ChildProcess()
{
    Stop();
}

bool ChildProcess::Start(const std::vector<std::string>& argv, const std::string& errorFile)
{
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorFile.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const int spawned = posix_spawnp(&m_pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        m_pid = -1;
        return false;
    }
    m_output = pipeEnds[0];
    return true;
}

void ChildProcess::Stop()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
    }
    if (m_output >= 0) {
        close(m_output);
        m_output = -1;
    }
    m_pending.clear();
}

std::string ChildProcess::ReadLine(int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const std::size_t newline = m_pending.find('\n');
        if (newline != std::string::npos) {
            std::string line = m_pending.substr(0, newline);
            m_pending.erase(0, newline + 1);
            return line;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        if (m_output < 0 || left <= 0)
            return {};
        pollfd entry{m_output, POLLIN, 0};
        if (poll(&entry, 1, static_cast<int>(left)) <= 0)
            continue;
        char buffer[256];
        const ssize_t got = read(m_output, buffer, sizeof buffer);
        if (got <= 0)
            return {};
        m_pending.append(buffer, static_cast<std::size_t>(got));
    }
}

int FreeTcpPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    EXPECT_NE(port, 0) << "no free TCP port on 127.0.0.1";
    return port;
}

LoopbackListener::LoopbackListener() : m_fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
{
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(m_fd, 1) == 0 &&
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        m_port = ntohs(address.sin_port);
    EXPECT_NE(m_port, 0) << "cannot listen on 127.0.0.1";
}

LoopbackListener::~LoopbackListener()
{
    close(m_fd);
}

bool WaitForListener(int port, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_in address = Loopback(port);
        const bool up = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        if (up)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

Ser2net::Ser2net(const std::string& device, Accepter accepter) : m_port(FreeTcpPort()), m_accepter(accepter)
{
    char folder[] = "/tmp/tamsel-ser2net-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        ADD_FAILURE() << "no scratch folder for ser2net";
        return;
    }
    m_folder = folder;
    m_config = m_folder + "/ser2net.yaml";
    // ser2net serves the device at 9600 8N1 until a client asks for another
    // rate; "local" keeps the modem lines out of it, which a pseudo-terminal lacks.
    std::ofstream config(m_config);
    config << "connection: &line\n"
           << "  accepter: " << (accepter == Accepter::kRfc2217 ? "telnet(rfc2217),tcp," : "tcp,")
           << "127.0.0.1," << m_port << "\n"
           << "  connector: serialdev," << device << ",9600n81,local\n"
           << "  options:\n"
           << "    kickolduser: true\n";
}

Ser2net::~Ser2net()
{
    Stop();
    std::error_code ignored;
    if (!m_folder.empty())
        std::filesystem::remove_all(m_folder, ignored);
}

std::string Ser2net::Url() const
{
    return std::string(m_accepter == Accepter::kRfc2217 ? "rfc2217://" : "tcp://") + "127.0.0.1:" +
           std::to_string(m_port);
}

bool Ser2net::Start()
{
    if (!m_process.Start({"ser2net", "-n", "-d", "-c", m_config}, m_folder + "/ser2net.log"))
        return false;
    return WaitForListener(m_port);
}

LoopRfc2217Server::LoopRfc2217Server()
{
    const std::string script = std::string(TAMSEL_TEST_SUPPORT_DIR) + "/rfc2217_loop_server.py";
    // Debian's own interpreter, which has python3-serial.
    if (!m_process.Start({"/usr/bin/python3", script}, "/dev/null")) {
        ADD_FAILURE() << "cannot start " << script;
        return;
    }
    m_port = std::atoi(m_process.ReadLine().c_str());
    EXPECT_NE(m_port, 0) << "the RFC 2217 loop server did not say its port";
}

std::string LoopRfc2217Server::Url() const
{
    return "rfc2217://127.0.0.1:" + std::to_string(m_port);
}

} // namespace testsupport
