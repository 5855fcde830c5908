#pragma once

#include "serial/TcpLine.h"
#include "telnet/TelnetClient.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>

// A port served over Telnet with the COM-PORT-OPTION (RFC 2217): the rate and
// the 8N1 frame are asked of the server, DTR, RTS and break are sent to it,
// and its modem-state notices are the modem lines.
//
// State: the Telnet session (under m_session: the reader decodes, the
// user-interface thread encodes and asks); data that came in while the
// session was set up, handed out by the first reads; the outcome of the
// set-up. Socket writes go out whole under m_send, so that a reply of the
// reader never lands inside a block of data.
//
// A server that refuses the COM-PORT-OPTION, or does not answer within the
// answer time, leaves the line working with the server's own settings; the
// set-up then ends as rejected, with a detail that says so. DTR, RTS and
// break are not waited for: a server may never confirm them (ser2net on a
// pseudo-terminal does not). One that leaves them unanswered for the answer
// time gets a note, once in the life of the line.
class Rfc2217Line final : public TcpLine {
public:
    // Takes over fd, opens the session and asks for baud and 8N1, waiting at
    // most answerMs for the server's answers.
    static std::unique_ptr<Rfc2217Line> Start(int fd, std::string where, int baud, int answerMs);

    LineSetup Configure(int baud, std::string& detail) override;
    PortReadResult Read(unsigned char* buffer, int size, const ReadTimeouts& timeouts) override;
    PortWriteResult Write(const char* bytes, long long length, long long timeoutMs) override;
    int GetModemLines(int& bits) override;
    int SetModemLines(int bits, bool on) override;
    int SetBreak(bool on) override;
    bool HasNote() const override { return m_hasNote.load(); }
    std::string TakeNote() override;

private:
    Rfc2217Line(int fd, std::string where);
    void SetUp(int baud, int answerMs);
    // Decodes raw bytes in place and sends what the session owes; the data count.
    int Take(unsigned char* bytes, int count);
    bool Send(const std::string& wire);
    bool ComPortTaken();
    // Asks for a SET-CONTROL value; the request for the wire.
    std::string AskControl(unsigned char value);
    void NoteSilentControl();

    std::mutex m_session;
    telnet::TelnetClient m_client;
    std::mutex m_send;
    std::string m_early;  // data read during the set-up, not yet handed out
    int m_baud = 0;
    LineSetup m_setup = LineSetup::kDone;
    std::string m_setupDetail;
    int m_driven = 0;  // TIOCM_DTR / TIOCM_RTS as last asked
    // The oldest SET-CONTROL still unanswered was asked then; a server
    // silent for longer than the answer time is noted, once per line.
    std::chrono::steady_clock::time_point m_controlAskedAt;
    int m_answerMs = 0;
    bool m_controlNoted = false;
    std::string m_note;
    std::atomic<bool> m_hasNote{false};
};
