#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The client end of a Telnet session (RFC 854) that carries a serial port with
// the COM-PORT-OPTION (RFC 2217). Protocol only: bytes in, data and replies
// out; the caller owns the connection, the clock and any lock.
//
// State:
// - negotiation, for each option this client knows (BINARY, SUPPRESS-GO-AHEAD,
//   COM-PORT-OPTION) and each side (what the client does, what the server
//   does): no, asked, or yes. Start asks for all of them. An answer moves
//   asked to yes or no without a reply; a server that turns on an option the
//   client did not ask for is refused, and one that turns off an option that
//   was on is acknowledged, as the RFC demands. A request that repeats the
//   state an option is in gets no answer, so the two ends cannot loop.
// - the receive parser: data, after IAC, after a negotiation verb, inside a
//   sub-negotiation, after IAC inside it. A sub-negotiation keeps at most
//   kMaxSubnegotiation bytes; a longer one is dropped whole when it ends, so
//   a hostile server cannot make the client hold more.
// - what the server said of the port: its answer to each setting asked, the
//   last modem-state and line-state notices.
namespace telnet {

inline constexpr unsigned char kIac = 255;
inline constexpr unsigned char kDont = 254;
inline constexpr unsigned char kDo = 253;
inline constexpr unsigned char kWont = 252;
inline constexpr unsigned char kWill = 251;
inline constexpr unsigned char kSb = 250;
inline constexpr unsigned char kSe = 240;

inline constexpr unsigned char kOptBinary = 0;
inline constexpr unsigned char kOptSuppressGoAhead = 3;
inline constexpr unsigned char kOptComPort = 44;

// COM-PORT-OPTION commands, client to server; the server answers with the
// same command plus kServerOffset.
inline constexpr unsigned char kSetBaudRate = 1;
inline constexpr unsigned char kSetDataSize = 2;
inline constexpr unsigned char kSetParity = 3;
inline constexpr unsigned char kSetStopSize = 4;
inline constexpr unsigned char kSetControl = 5;
inline constexpr unsigned char kNotifyLineState = 6;
inline constexpr unsigned char kNotifyModemState = 7;
inline constexpr unsigned char kServerOffset = 100;

// SET-CONTROL values.
inline constexpr unsigned char kBreakOn = 5;
inline constexpr unsigned char kBreakOff = 6;
inline constexpr unsigned char kDtrOn = 8;
inline constexpr unsigned char kDtrOff = 9;
inline constexpr unsigned char kRtsOn = 11;
inline constexpr unsigned char kRtsOff = 12;

// NOTIFY-MODEMSTATE bits.
inline constexpr unsigned char kModemCts = 0x10;
inline constexpr unsigned char kModemDsr = 0x20;
inline constexpr unsigned char kModemRi = 0x40;
inline constexpr unsigned char kModemCd = 0x80;

inline constexpr std::size_t kMaxSubnegotiation = 64;

enum class Answer { kNone, kAccepted, kRefused };

// One COM-PORT-OPTION setting: how often it was asked and answered, and the
// value of the last answer.
struct SettingAnswer {
    unsigned asked = 0;
    unsigned answered = 0;
    std::uint32_t value = 0;
};

class TelnetClient {
public:
    // Appends the requests that open the session.
    void Start(std::string& out);

    // Takes count received bytes and leaves the data among them at the front
    // of bytes, in order; returns how many. Replies owed go to out.
    int Receive(unsigned char* bytes, int count, std::string& out);

    // Appends count data bytes as they go on the wire: IAC doubled, and CR as
    // CR NUL while the client does not send in binary.
    void EncodeData(const char* bytes, std::size_t count, std::string& out) const;

    // COM-PORT-OPTION requests, appended to out.
    void SetBaudRate(std::uint32_t rate, std::string& out);
    void SetFrame8N1(std::string& out);  // data size 8, no parity, one stop bit
    void SetControl(unsigned char value, std::string& out);

    // The server's answer to the client's offer of the COM-PORT-OPTION.
    Answer ComPort() const;
    const SettingAnswer& BaudRate() const { return m_baud; }
    const SettingAnswer& Frame() const { return m_frame; }  // answered when all three parts were
    const SettingAnswer& Control() const { return m_control; }
    // The last notice, or -1 before the first.
    int ModemState() const { return m_modemState; }
    int LineState() const { return m_lineState; }

private:
    enum class Side : unsigned char { kNo, kAsked, kYes };
    struct Option {
        unsigned char code;
        Side ours;    // the client performs it
        Side theirs;  // the server performs it
        bool oursRefused;
    };
    enum class Parse : unsigned char { kData, kIac, kVerb, kSub, kSubIac };

    Option* Find(unsigned char code);
    const Option* Find(unsigned char code) const;
    void Negotiate(unsigned char verb, unsigned char code, std::string& out);
    void Subnegotiation();
    void Command(unsigned char byte);
    void ComPortCommand(unsigned char command, const unsigned char* value, std::size_t length,
                        std::string& out) const;
    bool Binary(bool ours) const;

    Option m_options[3] = {
        {kOptBinary, Side::kNo, Side::kNo, false},
        {kOptSuppressGoAhead, Side::kNo, Side::kNo, false},
        {kOptComPort, Side::kNo, Side::kNo, false},
    };
    Parse m_parse = Parse::kData;
    unsigned char m_verb = 0;
    bool m_afterCr = false;
    unsigned char m_sub[kMaxSubnegotiation] = {};
    std::size_t m_subLength = 0;
    bool m_subTooLong = false;

    SettingAnswer m_baud;
    SettingAnswer m_frame;
    unsigned m_frameParts = 0;  // one bit per part of the current frame request answered
    SettingAnswer m_control;
    int m_modemState = -1;
    int m_lineState = -1;
};

} // namespace telnet
