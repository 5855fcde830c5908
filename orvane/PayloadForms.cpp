#include "orvane/PayloadForms.h"

#include "orvane/CommandTable.h"
#include "orvane/ParseNumber.h"
#include "orvane/TransmitMessages.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr const char* kTooLongArgument =
    "%s: an argument is longer than 199 characters\nthe statement was not sent";
constexpr const char* kBurstUsage = "'Burst' command without enough params.";
constexpr const char* kBulkUsage = "BulkSet/Reply <DEST> <Start> <Len> <W0> <W1>...";
constexpr const char* kBulkTooFew = "BulkSet/Reply: too few data";
constexpr const char* kBulkCountRange =
    "BulkSet/Reply: <Len> must be 0 to 125\nthe statement was not sent";
constexpr const char* kProfileTooLong =
    "%s: profile text longer than 253 characters\nthe statement was not sent";

constexpr int kMostNumbers = 2;

struct FillInput;
using FillFunction = int (*)(const FillInput&);

struct PayloadForm {
    CommandCode code;
    unsigned char commandByte;
    int numbers;         // required numbers after the destination
    int valueBytes;      // width of the register or memory value field
    const char* usage;   // shown when a required number is missing; "%s" = command word
    const char* caption;
    FillFunction fill;   // lays out the payload; returns its length or -1
};

struct FillInput {
    const PayloadForm& form;
    const PayloadRequest& request;
    const int32_t* numbers;  // the required numbers, in order
    const char* rest;        // the statement after them
};

void PutLittleEndian(unsigned char* out, int32_t value, int bytes)
{
    const uint32_t bits = uint32_t(value);
    for (int i = 0; i < bytes; ++i)
        out[i] = uint8_t(bits >> (8 * i));
}

void Refuse(const PayloadRequest& request, const char* message, const char* caption)
{
    ShowTransmitMessage(request.refusals, message, request.commandWord, caption);
}

// Reads one required number; false after showing why the statement is refused.
bool ReadNumber(const char*& position, int32_t& value, const char* usage, const char* caption,
                const PayloadRequest& request)
{
    const NumberToken token = ParseNumber(position, value);
    if (token == NumberToken::Number)
        return true;
    if (token == NumberToken::TooLong)
        Refuse(request, kTooLongArgument, kCaptionTx);
    else
        Refuse(request, usage, caption);
    return false;
}

int FillBare(const FillInput& in)
{
    in.request.payload[0] = in.form.commandByte;
    in.request.payload[1] = uint8_t(in.request.ownNodeId);
    return 2;
}

// The text that follows the destination word, less the one separating
// character, sent as typed up to the end of the statement.
int FillProfile(const FillInput& in)
{
    const char* text = in.rest[0] != '\0' ? in.rest + 1 : in.rest;
    const std::size_t length = std::strlen(text);
    if (length > std::size_t(kMaxProfileText)) {
        Refuse(in.request, kProfileTooLong, kCaptionTx);
        return -1;
    }
    FillBare(in);
    std::memcpy(in.request.payload + 2, text, length);
    return 2 + int(length);
}

int FillSetId(const FillInput& in)
{
    FillBare(in);
    in.request.payload[2] = uint8_t(in.numbers[0]);
    return 3;
}

// setidreply carries the old ID where other payloads carry the sender.
int FillSetIdReply(const FillInput& in)
{
    unsigned char* payload = in.request.payload;
    payload[0] = in.form.commandByte;
    payload[1] = uint8_t(in.numbers[0]);
    payload[2] = uint8_t(in.numbers[1]);
    return 3;
}

// The register number lives in the command byte's low nibble.
int FillRegister(const FillInput& in)
{
    unsigned char* payload = in.request.payload;
    payload[0] = uint8_t(in.form.commandByte + (in.numbers[0] & 0x0F));
    payload[1] = uint8_t(in.request.ownNodeId);
    if (in.form.valueBytes > 0)
        PutLittleEndian(payload + 2, in.numbers[1], in.form.valueBytes);
    return 2 + in.form.valueBytes;
}

// A read carries zero bytes where a write or reply carries its value.
int FillMemory(const FillInput& in)
{
    FillBare(in);
    const int32_t value = in.form.numbers > 1 ? in.numbers[1] : 0;
    PutLittleEndian(in.request.payload + 2, in.numbers[0], 3);
    PutLittleEndian(in.request.payload + 5, value, in.form.valueBytes);
    return 5 + in.form.valueBytes;
}

int FillBulkGet(const FillInput& in)
{
    FillBare(in);
    in.request.payload[2] = uint8_t(in.numbers[0]);
    in.request.payload[3] = uint8_t(in.numbers[1]);
    return 4;
}

// The count both sizes the payload and goes on the wire in one byte, so a
// count the length byte cannot carry is refused rather than cut.
int FillBulkWords(const FillInput& in)
{
    const int32_t count = in.numbers[1];
    if (count < 0 || count > kMaxBulkWords) {
        Refuse(in.request, kBulkCountRange, kCaptionTx);
        return -1;
    }
    const char* position = in.rest;
    unsigned char* out = in.request.payload + 4;
    for (int32_t i = 0; i < count; ++i) {
        int32_t word = 0;
        const NumberToken token = ParseNumber(position, word);
        if (token != NumberToken::Number) {
            const char* message = token == NumberToken::None      ? kBulkTooFew
                                  : token == NumberToken::TooLong ? kTooLongArgument
                                                                  : kBulkUsage;
            Refuse(in.request, message, kCaptionTx);
            return -1;
        }
        *out++ = uint8_t(uint32_t(word) >> 8);
        *out++ = uint8_t(word);
    }
    FillBulkGet(in);
    return 4 + 2 * count;
}

const PayloadForm kForms[] = {
    // code, command byte, numbers, value bytes, usage, caption, layout
    {kCmdReset, 0x00, 0, 0, nullptr, nullptr, FillBare},
    {kCmdRequestProfile, 0x02, 0, 0, nullptr, nullptr, FillBare},
    {kCmdReplyProfile, 0x03, 0, 0, nullptr, nullptr, FillProfile},
    {kCmdSetId, 0x04, 1, 0, "SetID <DEST> <newID>", kCaptionTx, FillSetId},
    {kCmdSetIdReply, 0x05, 2, 0, "SetID <DEST> <oldID> <newID>", kCaptionTx, FillSetIdReply},
    {kCmdSet16, 0x20, 2, 2, "Set16 <DEST> <RID> <VAL16>", kCaptionTx, FillRegister},
    {kCmdReply16, 0x60, 2, 2, "Set16 <DEST> <RID> <VAL16>", kCaptionTx, FillRegister},
    {kCmdGet16, 0x40, 1, 0, "Get16/32 <DEST> <RID>", kCaptionTx, FillRegister},
    {kCmdGet32, 0x50, 1, 0, "Get16/32 <DEST> <RID>", kCaptionTx, FillRegister},
    {kCmdSet32, 0x30, 2, 4, "Set32 <DEST> <RID> <VAL32>", kCaptionTx, FillRegister},
    {kCmdReply32, 0x70, 2, 4, "Set32 <DEST> <RID> <VAL32>", kCaptionTx, FillRegister},
    {kCmdRead8, 0x80, 1, 1, "%s <dest> <Address>", kCaptionTx, FillMemory},
    {kCmdRead16, 0x81, 1, 2, "%s <dest> <Address>", kCaptionTx, FillMemory},
    {kCmdMemReply8, 0x82, 2, 1, "%s <dest> <Address> <Val> tx", kCaptionOrvane, FillMemory},
    {kCmdMemReply16, 0x83, 2, 2, "%s <dest> <Address> <Val> tx", kCaptionOrvane, FillMemory},
    {kCmdWrite8, 0x84, 2, 1, "%s <dest> <Address> <Val> tx", kCaptionOrvane, FillMemory},
    {kCmdWrite16, 0x85, 2, 2, "%s <dest> <Address> <Val> tx", kCaptionOrvane, FillMemory},
    {kCmdBulkSet, 0xA0, 2, 0, kBulkUsage, kCaptionTx, FillBulkWords},
    {kCmdBulkGet, 0xA1, 2, 0, "BulkGet <DEST> <Start> <Len>", kCaptionTx, FillBulkGet},
    {kCmdBulkReply, 0xA2, 2, 0, kBulkUsage, kCaptionTx, FillBulkWords},
};

} // namespace

int BuildBurstPayload(const PayloadRequest& request)
{
    const char* position = request.arguments;
    for (int i = 0; i < kBurstValues; ++i) {
        int32_t value = 0;
        if (!ReadNumber(position, value, kBurstUsage, kCaptionTransmit, request))
            return -1;
        PutLittleEndian(request.payload + 4 * i, value, 4);
    }
    return 4 * kBurstValues;
}

int BuildPayload(int code, const PayloadRequest& request)
{
    for (const PayloadForm& form : kForms) {
        if (form.code != code)
            continue;
        int32_t numbers[kMostNumbers] = {};
        const char* position = request.arguments;
        for (int i = 0; i < form.numbers; ++i) {
            if (!ReadNumber(position, numbers[i], form.usage, form.caption, request))
                return -1;
        }
        return form.fill({form, request, numbers, position});
    }
    return -1;
}
