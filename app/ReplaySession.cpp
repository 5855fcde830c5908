#include "app/ReplaySession.h"

#include "view/CChildView.h"
#include "xrate/CXrate.h"
#include "xrate/MessageBox.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

constexpr const char* kCaption = "Tamsel::Replay";
// As fast as it goes, yet the event loop still runs between passes.
constexpr std::size_t kBytesPerPass = 256 * 1024;

} // namespace

ReplaySession::ReplaySession(CChildView& view, double speed) : m_view(view), m_speed(speed)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ReplaySession::Step);
}

int ReplaySession::Load(const std::string& path, std::string& error)
{
    m_path = path;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read the capture " + path + ": " + std::strerror(errno);
        return -1;
    }
    const std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<CapturedPacket> packets;
    std::string problem;
    const int read = ReadCapture(file, packets, problem);
    if (read == kNotACapture) {
        error = path + " is " + problem;
        return -1;
    }
    if (read == kCaptureDamaged)
        m_damage = path + ": " + problem + "; every block before it was replayed";
    for (CapturedPacket& packet : packets) {
        if (packet.direction == CaptureDirection::Inbound)
            m_packets.push_back(std::move(packet));
    }
    return 0;
}

void ReplaySession::Start()
{
    m_running = true;
    m_clock.start();
    m_timer.start(0);
}

void ReplaySession::Step()
{
    const std::uint64_t first = m_packets.empty() ? 0 : m_packets.front().microseconds;
    std::size_t fed = 0;
    while (m_next < m_packets.size()) {
        const CapturedPacket& packet = m_packets[m_next];
        if (m_speed > 0) {
            const double dueMs = static_cast<double>(packet.microseconds - std::min(packet.microseconds, first)) /
                                 1000.0 / m_speed;
            const double waitMs = dueMs - static_cast<double>(m_clock.elapsed());
            if (waitMs >= 1) {
                m_timer.start(static_cast<int>(std::min(waitMs, 3600000.0)));
                emit progressed();
                return;
            }
        } else if (fed >= kBytesPerPass) {
            m_timer.start(0);
            emit progressed();
            return;
        }
        Feed(packet.bytes);
        fed += packet.bytes.size();
        ++m_next;
    }
    m_running = false;
    emit progressed();
    if (!m_damage.empty())
        ShowMessageBox(static_cast<QWidget*>(&m_view), m_damage.c_str(), kCaption, kMbOk | kMbIconExclamation);
    emit finished();
}

void ReplaySession::Feed(const std::vector<unsigned char>& bytes)
{
    // The display step reads a chunk as text up to its terminating zero.
    unsigned char chunk[kMaxChunk + 1];
    for (std::size_t at = 0; at < bytes.size(); at += kMaxChunk) {
        const std::size_t count = std::min<std::size_t>(kMaxChunk, bytes.size() - at);
        std::memcpy(chunk, bytes.data() + at, count);
        chunk[count] = 0;
        m_view.Session().ShowReceived(chunk, static_cast<int>(count));
    }
}
