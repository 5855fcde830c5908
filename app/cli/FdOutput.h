#pragma once

#include <cstddef>

// Writes all count bytes to a file descriptor, through short writes and
// interruptions. False once the descriptor fails (errno tells why).
bool WriteAll(int fd, const char* bytes, std::size_t count);
