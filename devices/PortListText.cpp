#include "devices/PortListText.h"

#include <cstdio>

namespace {

// The listing's columns; the text joins the two USB IDs as vendor:product.
struct TextColumn {
    const char* header;
    std::string (*value)(const SerialDevice& device);
};

constexpr TextColumn kTextColumns[] = {
    {"NODE", [](const SerialDevice& d) { return d.node; }},
    {"BY-ID", [](const SerialDevice& d) { return d.byId; }},
    {"BY-PATH", [](const SerialDevice& d) { return d.byPath; }},
    {"VID:PID", [](const SerialDevice& d) {
         return d.vendorId.empty() && d.productId.empty() ? std::string() : d.vendorId + ":" + d.productId;
     }},
    {"MANUFACTURER", [](const SerialDevice& d) { return d.manufacturer; }},
    {"PRODUCT", [](const SerialDevice& d) { return d.product; }},
    {"SERIAL", [](const SerialDevice& d) { return d.serial; }},
    {"DRIVER", [](const SerialDevice& d) { return d.driver; }},
    {"INTERFACE", [](const SerialDevice& d) { return d.interfaceNumber; }},
};

struct JsonField {
    const char* key;
    std::string SerialDevice::*field;
};

constexpr JsonField kJsonFields[] = {
    {"node", &SerialDevice::node},
    {"by_id", &SerialDevice::byId},
    {"by_path", &SerialDevice::byPath},
    {"vendor_id", &SerialDevice::vendorId},
    {"product_id", &SerialDevice::productId},
    {"manufacturer", &SerialDevice::manufacturer},
    {"product", &SerialDevice::product},
    {"serial", &SerialDevice::serial},
    {"driver", &SerialDevice::driver},
    {"interface", &SerialDevice::interfaceNumber},
};

// A value in one cell: a tab or line break inside it would split the line.
std::string Cell(const std::string& value)
{
    if (value.empty())
        return "-";
    std::string cell = value;
    for (char& c : cell) {
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    }
    return cell;
}

// The length of the well-formed UTF-8 sequence at text[at], or 0 when there is none.
std::size_t Utf8Length(const std::string& text, std::size_t at)
{
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned char low = 0x80;  // the range of the second byte, narrower after some leads
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;    // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;   // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

// A JSON string. A device's strings are the adapter's own bytes: anything
// that is not UTF-8 becomes the replacement character, so the output stays JSON.
std::string JsonString(const std::string& value)
{
    std::string json = "\"";
    for (std::size_t at = 0; at < value.size();) {
        const unsigned char c = static_cast<unsigned char>(value[at]);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            json += escaped;
        } else if (c < 0x80) {
            json += static_cast<char>(c);
        } else if (const std::size_t length = Utf8Length(value, at)) {
            json.append(value, at, length);
            at += length;
            continue;
        } else {
            json += "\\ufffd";
        }
        ++at;
    }
    return json + "\"";
}

} // namespace

std::string PortListText(const std::vector<SerialDevice>& devices)
{
    std::string text;
    const auto line = [&text](auto cell) {
        for (const TextColumn& column : kTextColumns) {
            if (&column != &kTextColumns[0])
                text += '\t';
            text += cell(column);
        }
        text += '\n';
    };
    line([](const TextColumn& column) { return std::string(column.header); });
    for (const SerialDevice& device : devices)
        line([&device](const TextColumn& column) { return Cell(column.value(device)); });
    return text;
}

std::string PortListJson(const std::vector<SerialDevice>& devices)
{
    std::string json = "[";
    for (const SerialDevice& device : devices) {
        json += &device == &devices.front() ? "\n  {" : ",\n  {";
        for (const JsonField& field : kJsonFields) {
            json += &field == &kJsonFields[0] ? "" : ", ";
            json += JsonString(field.key) + ": " + JsonString(device.*field.field);
        }
        json += "}";
    }
    return json + (devices.empty() ? "]\n" : "\n]\n");
}
