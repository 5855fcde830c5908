#pragma once

#include <string_view>

// Finding a text in the report's single-byte text. Without matchCase, ASCII
// and ISO 8859-1 letters match either case.
struct FindRequest {
    std::string_view needle;
    bool matchCase = false;
    bool backwards = false;
};

// The position of the first match at or after from (backwards: the last one
// that starts before from), wrapping round the end (or the start) once;
// -1 when the text holds none, or the needle is empty.
int FindInReport(std::string_view text, int from, const FindRequest& request);
