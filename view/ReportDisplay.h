#pragma once

#include <QString>

#include <string_view>

// How report text looks on screen. Each byte is its ISO 8859-1 character;
// "\r\n" is one line break, and so are a lone "\r" and a lone "\n" (memory
// listings end their lines in a bare line feed). Only the display counts
// that way: report positions count every byte, a line end being two.

// The characters shown for text; before is the byte that precedes text in the
// report (0 at its start), since "\r" + "\n" split across two pieces is one break.
QString DisplayText(std::string_view text, char before = 0);

// Display position of report position pos (0..text.size()).
int DisplayPosition(std::string_view text, int pos);
// Characters on screen for the report positions from..to (0 <= from <= to <= text.size()).
int DisplayDistance(std::string_view text, int from, int to);

// Report position of display position shown: the last one displayed there,
// so the start of a line maps past the whole "\r\n" before it.
int ReportPosition(std::string_view text, int shown);
