#pragma once

// Sees every chunk read from the line and every block written to it, as a raw
// capture records them. Read is called on the reader's thread, Written on the
// thread that sends.
class LineTap {
public:
    virtual void Read(const unsigned char* bytes, int count) = 0;
    virtual void Written(const unsigned char* bytes, int count) = 0;

protected:
    ~LineTap() = default;
};
