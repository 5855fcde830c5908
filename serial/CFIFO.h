#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

// The byte ring between the reader thread (the only producer) and the
// user-interface thread (the only consumer). No lock is taken.
//
// State: two free-running 32-bit counts, each written by one thread only: the
// write count (all bytes ever stored, reader thread) and the read count (all
// bytes ever taken, user-interface thread). Held = write - read (mod 2^32),
// 0..size; a count's storage position is count mod size, which stays
// continuous when a count wraps because the size, a power of two, divides 2^32.
// Put publishes the write count with release after copying the bytes in; Get
// publishes the read count with release after copying them out; each side
// reads the other's count with acquire.
//
// The overflow flag is set by a store that drops bytes, cleared by a store
// that keeps all of its bytes and by every take that takes bytes. Both threads
// write it without coordination, so it reports overflow on a best-effort basis.

inline constexpr std::uint32_t kFifoSize = 2048;

// The number of bytes a ring holds: a power of two, so that it divides 2^32.
struct FifoSize {
    std::uint32_t bytes;
};

class CFIFO {
public:
    CFIFO();
    // Starts both counts at startCount, as if that many bytes had already
    // passed; lets the wrap of the counts and of the positions be exercised.
    explicit CFIFO(std::uint32_t startCount);
    // A size that is not a power of two is taken down to the next one (0: kFifoSize).
    explicit CFIFO(FifoSize size, std::uint32_t startCount = 0);
    virtual ~CFIFO();

    CFIFO(const CFIFO&) = delete;
    CFIFO& operator=(const CFIFO&) = delete;

    // Reader thread. Stores up to length (at least 1) bytes; returns how many were kept.
    int Put(const unsigned char* source, int length);

    // User-interface thread. Takes up to maximum (at least 1) bytes; returns how many.
    int Get(unsigned char* destination, int maximum);

    // User-interface thread. Non-zero when the last store dropped bytes and
    // nothing has been taken since.
    int IsOverflowed() const;

    std::uint32_t Size() const { return m_size; }

private:
    const std::uint32_t m_size;
    std::atomic<std::uint32_t> m_writeCount;
    std::atomic<std::uint32_t> m_readCount;
    std::unique_ptr<unsigned char[]> m_storage;
    std::atomic<int> m_overflow{0};
};
