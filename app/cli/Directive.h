#pragma once

#include <string>
#include <string_view>

// One line of a headless run's input: a command to send, or a directive (a
// line that begins with "::") that does what a menu command, the setup dialog
// or the run itself would do.
enum class DirectiveKind {
    kSend,     // text: the command line to send
    kRx,       // value: conversion index
    kTx,       // value: conversion index
    kSwitch,   // command: a menu's check item; value: 1 on, 0 off
    kPort,     // value: n of COMn
    kBaud,     // value: rate
    kClear,
    kSave,
    kSleep,    // value: milliseconds
    kWait,     // value: milliseconds of quiet, -1 for the linger time
    kQuit,
    kLog,      // text: the file to log to; value 0: stop logging
    kCapture,  // text: the file to capture to; value 0: stop capturing
    kSendFile, // text: the file to send; the next line runs once it has gone out
    kDtr,      // value: 1 on, 0 off
    kRts,      // value: 1 on, 0 off
    kBreak,    // value: milliseconds of break
};

// The break ::break sends without a time, and the longest it may ask for.
inline constexpr int kDefaultBreakMs = 250;
inline constexpr int kMaxBreakMs = 10000;

struct Directive {
    DirectiveKind kind = DirectiveKind::kSend;
    int command = 0;
    int value = 0;
    std::string text;
};

inline constexpr std::string_view kDirectivePrefix = "::";

// Reads one input line (without its line end). Returns 0, or -1 with a
// one-line message in error.
int ReadDirective(std::string_view line, Directive& directive, std::string& error);
