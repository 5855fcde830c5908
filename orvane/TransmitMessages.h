#pragma once

// Refusals of the transmit side. The converters show each as one modal box
// owned by the view, with an OK button only; the simulator, whose thread must
// never open a box, collects them instead. The statement concerned then
// produces no packet.

inline constexpr const char* kCaptionTransmit = "Orvane transmit";
inline constexpr const char* kCaptionTx = "Orvane tx";
inline constexpr const char* kCaptionOrvane = "Orvane";

class RefusalSink {
public:
    virtual void Refuse(const char* text, const char* caption) = 0;

protected:
    ~RefusalSink() = default;
};

// Refusals as message boxes owned by owner (the view, or nullptr).
class BoxRefusals final : public RefusalSink {
public:
    explicit BoxRefusals(void* owner) : m_owner(owner) {}
    void Refuse(const char* text, const char* caption) override;

private:
    void* m_owner;
};

// Refuses with format, word put in for its "%s" (if it has one).
void ShowTransmitMessage(RefusalSink& refusals, const char* format, const char* word,
                         const char* caption);
