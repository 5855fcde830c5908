#pragma once

#include "xrate/TextChars.h"

// White-space-separated words of the command language, found in place so that
// no word, however long, is ever copied into a buffer it could overrun.

// Words are separated by white space (IsWhiteSpace): a pasted line break is
// white space, not a separator.

// One word as a span of the text it was found in.
struct Word {
    const char* begin = nullptr;
    int length = 0;  // 0: no word was left
};

// Skips white space from position, returns the word that follows and moves
// position past it; at the end of the text returns an empty word and leaves
// position at the terminating NUL.
Word NextWord(const char*& position);

// Copies at most capacity - 1 characters of the word into out and terminates it.
void CopyWord(const Word& word, char* out, int capacity);

// True when the word is exactly the given NUL-terminated text.
bool WordIs(const Word& word, const char* text);
