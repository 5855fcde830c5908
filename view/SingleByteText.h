#pragma once

#include <QString>

#include <string>

// Text typed into Tamsel as the single-byte text that is sent: each
// character becomes its ISO 8859-1 byte, one outside it (or a zero, which
// would end a command early) becomes '?', and a paragraph break is "\r\n".
std::string SingleByteText(const QString& text);
