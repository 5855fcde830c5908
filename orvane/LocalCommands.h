#pragma once

// The local commands of the Orvane conversions, recognised by the very first
// characters of the line as typed (case-sensitive, before any ';' split):
// "shownode..." shows NodeTable, "rawmode..." and "normalmode..." switch
// RawMode. Whatever follows the prefix is the command's own business, so
// statements after a ';' in such a line are never sent.

// Sets len to 0 and, when text is a local command, runs it and returns true
// with result set to what the transmit conversion returns (report text built
// in out, which holds capacity characters, with len kSendReport for shownode;
// nullptr with len 0 for rawmode and normalmode). Returns false otherwise.
bool RunLocalCommand(char* text, int& len, char* out, int capacity, const char*& result);
