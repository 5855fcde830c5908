#include "telnet/TelnetClient.h"

namespace telnet {

namespace {

constexpr unsigned char kCr = '\r';

void Put(std::string& out, unsigned char byte)
{
    out.push_back(static_cast<char>(byte));
}

void PutVerb(std::string& out, unsigned char verb, unsigned char code)
{
    Put(out, kIac);
    Put(out, verb);
    Put(out, code);
}

} // namespace

TelnetClient::Option* TelnetClient::Find(unsigned char code)
{
    for (Option& option : m_options) {
        if (option.code == code)
            return &option;
    }
    return nullptr;
}

const TelnetClient::Option* TelnetClient::Find(unsigned char code) const
{
    for (const Option& option : m_options) {
        if (option.code == code)
            return &option;
    }
    return nullptr;
}

bool TelnetClient::Binary(bool ours) const
{
    const Option* binary = Find(kOptBinary);
    return (ours ? binary->ours : binary->theirs) == Side::kYes;
}

void TelnetClient::Start(std::string& out)
{
    for (Option& option : m_options) {
        if (option.ours == Side::kNo) {
            option.ours = Side::kAsked;
            PutVerb(out, kWill, option.code);
        }
        if (option.theirs == Side::kNo) {
            option.theirs = Side::kAsked;
            PutVerb(out, kDo, option.code);
        }
    }
}

void TelnetClient::Negotiate(unsigned char verb, unsigned char code, std::string& out)
{
    Option* option = Find(code);
    // DO and DONT speak of what the client does, WILL and WONT of the server.
    const bool ours = verb == kDo || verb == kDont;
    const bool on = verb == kDo || verb == kWill;
    const unsigned char yes = ours ? kWill : kDo;
    const unsigned char no = ours ? kWont : kDont;
    if (option == nullptr) {
        // An option this client does not know: refuse it being turned on.
        if (on)
            PutVerb(out, no, code);
        return;
    }
    Side& side = ours ? option->ours : option->theirs;
    if (on) {
        if (side == Side::kNo)
            PutVerb(out, yes, code);  // an option the client knows and wants
        side = Side::kYes;
        return;
    }
    if (side == Side::kAsked && ours)
        option->oursRefused = true;
    if (side == Side::kYes)
        PutVerb(out, no, code);
    side = Side::kNo;
}

void TelnetClient::ComPortCommand(unsigned char command, const unsigned char* value, std::size_t length,
                                  std::string& out) const
{
    Put(out, kIac);
    Put(out, kSb);
    Put(out, kOptComPort);
    Put(out, command);
    for (std::size_t i = 0; i < length; ++i) {
        Put(out, value[i]);
        if (value[i] == kIac)
            Put(out, kIac);
    }
    Put(out, kIac);
    Put(out, kSe);
}

void TelnetClient::SetBaudRate(std::uint32_t rate, std::string& out)
{
    const unsigned char value[4] = {static_cast<unsigned char>(rate >> 24), static_cast<unsigned char>(rate >> 16),
                                    static_cast<unsigned char>(rate >> 8), static_cast<unsigned char>(rate)};
    ++m_baud.asked;
    ComPortCommand(kSetBaudRate, value, sizeof value, out);
}

void TelnetClient::SetFrame8N1(std::string& out)
{
    const unsigned char dataSize = 8;
    const unsigned char noParity = 1;
    const unsigned char oneStopBit = 1;
    ++m_frame.asked;
    m_frameParts = 0;
    ComPortCommand(kSetDataSize, &dataSize, 1, out);
    ComPortCommand(kSetParity, &noParity, 1, out);
    ComPortCommand(kSetStopSize, &oneStopBit, 1, out);
}

void TelnetClient::SetControl(unsigned char value, std::string& out)
{
    ++m_control.asked;
    ComPortCommand(kSetControl, &value, 1, out);
}

Answer TelnetClient::ComPort() const
{
    const Option* comPort = Find(kOptComPort);
    if (comPort->ours == Side::kYes)
        return Answer::kAccepted;
    return comPort->oursRefused ? Answer::kRefused : Answer::kNone;
}

void TelnetClient::Subnegotiation()
{
    if (m_subTooLong || m_subLength < 3 || m_sub[0] != kOptComPort)
        return;
    const unsigned char* value = m_sub + 2;
    const std::size_t length = m_subLength - 2;
    switch (m_sub[1]) {
    case kServerOffset + kSetBaudRate:
        if (length >= 4) {
            m_baud.value = static_cast<std::uint32_t>(value[0]) << 24 | static_cast<std::uint32_t>(value[1]) << 16 |
                           static_cast<std::uint32_t>(value[2]) << 8 | value[3];
            ++m_baud.answered;
        }
        break;
    case kServerOffset + kSetDataSize:
    case kServerOffset + kSetParity:
    case kServerOffset + kSetStopSize: {
        const int shift = 8 * (kServerOffset + kSetStopSize - m_sub[1]);
        m_frame.value = (m_frame.value & ~(0xFFu << shift)) | static_cast<std::uint32_t>(value[0]) << shift;
        m_frameParts |= 1u << (m_sub[1] - kServerOffset);
        if (m_frameParts == (1u << kSetDataSize | 1u << kSetParity | 1u << kSetStopSize)) {
            ++m_frame.answered;
            m_frameParts = 0;
        }
        break;
    }
    case kServerOffset + kSetControl:
        m_control.value = value[0];
        ++m_control.answered;
        break;
    case kServerOffset + kNotifyLineState:
        m_lineState = value[0];
        break;
    case kServerOffset + kNotifyModemState:
        m_modemState = value[0];
        break;
    default:
        break;
    }
}

void TelnetClient::Command(unsigned char byte)
{
    switch (byte) {
    case kWill:
    case kWont:
    case kDo:
    case kDont:
        m_verb = byte;
        m_parse = Parse::kVerb;
        return;
    case kSb:
        m_subLength = 0;
        m_subTooLong = false;
        m_parse = Parse::kSub;
        return;
    default:
        // NOP, go-ahead, data mark and the like carry nothing for a serial port.
        m_parse = Parse::kData;
        return;
    }
}

int TelnetClient::Receive(unsigned char* bytes, int count, std::string& out)
{
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        const unsigned char byte = bytes[i];
        switch (m_parse) {
        case Parse::kData:
            if (byte == kIac) {
                m_parse = Parse::kIac;
                break;
            }
            // A server that does not send binary stuffs a NUL after a bare CR.
            if (byte == 0 && m_afterCr && !Binary(false)) {
                m_afterCr = false;
                break;
            }
            m_afterCr = byte == kCr;
            bytes[kept++] = byte;
            break;
        case Parse::kIac:
            if (byte == kIac) {
                m_afterCr = false;
                bytes[kept++] = byte;
                m_parse = Parse::kData;
            } else {
                Command(byte);
            }
            break;
        case Parse::kVerb:
            Negotiate(m_verb, byte, out);
            m_parse = Parse::kData;
            break;
        case Parse::kSub:
            if (byte == kIac)
                m_parse = Parse::kSubIac;
            else if (m_subLength < kMaxSubnegotiation)
                m_sub[m_subLength++] = byte;
            else
                m_subTooLong = true;
            break;
        case Parse::kSubIac:
            if (byte == kSe) {
                Subnegotiation();
                m_parse = Parse::kData;
            } else if (byte == kIac) {
                if (m_subLength < kMaxSubnegotiation)
                    m_sub[m_subLength++] = byte;
                else
                    m_subTooLong = true;
                m_parse = Parse::kSub;
            } else {
                // A command inside a sub-negotiation ends it unfinished; the
                // half is dropped and the command taken as it stands.
                Command(byte);
            }
            break;
        }
    }
    return kept;
}

void TelnetClient::EncodeData(const char* bytes, std::size_t count, std::string& out) const
{
    const bool binary = Binary(true);
    for (std::size_t i = 0; i < count; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        Put(out, byte);
        if (byte == kIac)
            Put(out, kIac);
        else if (byte == kCr && !binary)
            Put(out, 0);
    }
}

} // namespace telnet
