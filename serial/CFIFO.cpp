#include "serial/CFIFO.h"

#include <bit>
#include <cstring>

CFIFO::CFIFO() : CFIFO(FifoSize{kFifoSize}, 0) {}

CFIFO::CFIFO(std::uint32_t startCount) : CFIFO(FifoSize{kFifoSize}, startCount) {}

CFIFO::CFIFO(FifoSize size, std::uint32_t startCount)
    : m_size(size.bytes == 0 ? kFifoSize : std::bit_floor(size.bytes)),
      m_writeCount(startCount), m_readCount(startCount),
      m_storage(std::make_unique<unsigned char[]>(m_size))
{
}

CFIFO::~CFIFO() = default;

int CFIFO::Put(const unsigned char* source, int length)
{
    if (length <= 0)
        return 0;
    const std::uint32_t write = m_writeCount.load(std::memory_order_relaxed);
    const std::uint32_t held = write - m_readCount.load(std::memory_order_acquire);
    if (held >= m_size) {
        m_overflow.store(1, std::memory_order_relaxed);
        return 0;
    }
    std::uint32_t count = static_cast<std::uint32_t>(length);
    const std::uint32_t space = m_size - held;
    if (space < count) {
        count = space;
        m_overflow.store(1, std::memory_order_relaxed);
    } else {
        m_overflow.store(0, std::memory_order_relaxed);
    }

    const std::uint32_t start = write & (m_size - 1);
    const std::uint32_t first = count < m_size - start ? count : m_size - start;
    std::memcpy(&m_storage[start], source, first);
    std::memcpy(&m_storage[0], source + first, count - first);

    m_writeCount.store(write + count, std::memory_order_release);
    return static_cast<int>(count);
}

int CFIFO::Get(unsigned char* destination, int maximum)
{
    if (maximum <= 0)
        return 0;
    const std::uint32_t read = m_readCount.load(std::memory_order_relaxed);
    const std::uint32_t held = m_writeCount.load(std::memory_order_acquire) - read;
    if (held == 0)
        return 0;
    std::uint32_t count = held;
    if (static_cast<std::uint32_t>(maximum) < count)
        count = static_cast<std::uint32_t>(maximum);

    const std::uint32_t start = read & (m_size - 1);
    const std::uint32_t first = count < m_size - start ? count : m_size - start;
    std::memcpy(destination, &m_storage[start], first);
    std::memcpy(destination + first, &m_storage[0], count - first);

    m_overflow.store(0, std::memory_order_relaxed);
    m_readCount.store(read + count, std::memory_order_release);
    return static_cast<int>(count);
}

int CFIFO::IsOverflowed() const
{
    return m_overflow.load(std::memory_order_relaxed);
}
