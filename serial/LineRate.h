#pragma once

// Rates beyond the speed constants of termios. The kernel takes any rate in
// bits per second through its second terminal record (termios2, BOTHER), as
// far as the driver's clock can divide to it. This header keeps the kernel's
// own termios out of the callers, whose glibc termios would clash with it.

inline constexpr int kMinLineRate = 50;
inline constexpr int kMaxLineRate = 4000000;

// Whether rate lies in the range a line may be asked for.
bool IsLineRate(int rate);

// Sets rate as the output and input rate of the terminal fd, every other
// setting as it is. 0, or -1 with errno set.
int SetArbitraryRate(int fd, int rate);

// The output and input rates fd runs at, however they were set. 0, or -1 with errno set.
int ReadLineRates(int fd, int& output, int& input);

// Whether a rate read back is the one asked for: a driver rounds to what its
// clock divides to, and a UART keeps in step within 2%; further off, the
// driver has not taken the rate.
bool RateTaken(int wanted, int got);
