#pragma once

#include <string>

enum class TrafficKind { kRaw, kOv11 };

// What a trial's source sends: fixed-size records numbered from 0, each unlike
// its neighbours, so that a lost, repeated or reordered byte shows in the
// receiver's output.
//   raw:  16 printable bytes, the record number in 14 hexadecimal digits and "\r\n".
//   ov11: a 10-byte Orvane 1.1 reply32 packet from node 63 to node 1 + n % 62,
//         register n % 16, value n (modulo 2^32), as the encoder frames
//         "reply32 <node> <register> <value>".
class Traffic {
public:
    explicit Traffic(TrafficKind kind) : m_kind(kind) {}

    TrafficKind Kind() const { return m_kind; }
    int RecordSize() const { return m_kind == TrafficKind::kRaw ? 16 : 10; }
    void Record(long long number, unsigned char* out) const;

    // One whole unit outside the numbered records, sent to find out when the
    // receiver reads: "!" on a raw line, a get16 packet on an Orvane line.
    std::string Probe() const;

    // Whether the records agree with what the project's Orvane encoder makes
    // of the same statements (always true for raw records).
    bool AgreesWithEncoder() const;

private:
    TrafficKind m_kind;
};
