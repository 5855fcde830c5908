#include "view/SingleByteText.h"

std::string SingleByteText(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == QChar::ParagraphSeparator) {
            bytes += "\r\n";
        } else if (c == 0 || c > 0xFF) {
            // A surrogate pair is one character, so one '?'.
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ++i;
            bytes += '?';
        } else {
            bytes += static_cast<char>(c);
        }
    }
    return bytes;
}
