#include "MockedDevices.h"

#include <gtest/gtest.h>
#include <umockdev.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace testsupport {

MockedDevices::MockedDevices() : m_bed(umockdev_testbed_new()) {}

MockedDevices::~MockedDevices()
{
    g_object_unref(m_bed);
}

bool MockedDevices::Add(const std::string& file)
{
    std::ifstream in(std::string(DEVICE_DATA_DIR) + "/" + file);
    std::stringstream text;
    text << in.rdbuf();
    GError* error = nullptr;
    if (!in || !umockdev_testbed_add_from_string(m_bed, text.str().c_str(), &error)) {
        ADD_FAILURE() << "cannot load " << file << ": " << (error ? error->message : "unreadable");
        if (error)
            g_error_free(error);
        return false;
    }
    return true;
}

void MockedDevices::Unplug(const std::string& node, const std::string& ttyRecord, const std::string& usbDevice)
{
    std::error_code error;
    const std::filesystem::path terminal = std::filesystem::read_symlink(InBed(node), error);
    ASSERT_FALSE(error) << node << ": " << error.message();
    umockdev_testbed_uevent(m_bed, ttyRecord.c_str(), "remove");
    // The terminal's record first: removing the USB device leaves its class link behind.
    umockdev_testbed_remove_device(m_bed, ttyRecord.c_str());
    umockdev_testbed_remove_device(m_bed, usbDevice.c_str());
    std::filesystem::remove(InBed(node), error);
    // The kernel hangs up a pulled adapter's terminal; the bed only removes
    // records, so the hang-up is done here, once the node is gone (a retry
    // must not find the dead terminal), on the pseudo-terminal itself and
    // past umockdev's ioctl handling, which knows no hang-up.
    const int fd = open(terminal.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0) << terminal << ": " << std::strerror(errno);
    EXPECT_EQ(syscall(SYS_ioctl, fd, TIOCVHANGUP), 0) << std::strerror(errno);
    close(fd);
}

bool MockedDevices::Send(const std::string& node, const std::string& bytes)
{
    const int fd = umockdev_testbed_get_dev_fd(m_bed, node.c_str());
    return fd >= 0 && write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

termios MockedDevices::Settings(const std::string& node) const
{
    termios settings{};
    EXPECT_EQ(tcgetattr(umockdev_testbed_get_dev_fd(m_bed, node.c_str()), &settings), 0) << node;
    return settings;
}

bool MockedDevices::Link(const std::string& link, const std::string& node)
{
    std::error_code error;
    const std::filesystem::path at = InBed(link);
    std::filesystem::create_directories(at.parent_path(), error);
    std::filesystem::create_symlink(InBed(node), at, error);
    return !error;
}

std::string MockedDevices::InBed(const std::string& devPath) const
{
    gchar* root = umockdev_testbed_get_root_dir(m_bed);
    std::string path = std::string(root) + devPath;
    g_free(root);
    return path;
}

} // namespace testsupport
