#pragma once

// Turns the letters A to Z of a NUL-terminated text into a to z, in place; every
// other byte stays as it is, so non-ASCII bytes of a pasted line survive.
void LowerCase(char* text);
