#pragma once

#include <optional>
#include <span>

// Every setting Tamsel keeps in the settings profile, described once: its
// section and key, what a missing value reads as, and the values it accepts.
// Reading, writing, the range rules and the profile's fuzz target all use this
// table; the six keys of the section "tamsel_OV" keep their meaning exactly,
// everything newer lives in a section of its own.
enum class ProfileKey {
    kComPort,        // "\\.\COMn" as text; a name too long for its buffer means COM1
    kComSpeed,       // a rate; the nearest entry of the rate table is used
    kReceiveXrate,   // a conversion index
    kSendXrate,      // a conversion index
    kOtherRate,      // a rate the table lacks, or 0
    kReportLimit,    // characters the report keeps
    kReportFont,     // the report font's height in pixels
    kQuickSend,      // one text per quick-send key, keyed by the key's name
    kCharDelay,      // milliseconds after each character of a file send
    kLineDelay,      // milliseconds after each line of a file send
    kLineEnd,        // 0 CR LF, 1 CR, 2 LF, 3 none
    kResetSequence,  // the DTR/RTS steps of Pulse reset, as text
    kPorts,          // one device path or URL per port, keyed "COM1".."COM20"
    kBusGeometry,    // the bus view window's geometry, base64
    kBusPlots,       // the registers the bus view plots, as text
    kBusMinutes,     // the bus view's time window
    kSwitch,         // a check item's own setting, named by the table of switches
};

// What a stored number outside its range reads as.
enum class OutOfRange {
    kFallback,  // the value a missing key reads as
    kLeast,     // the range's least value
    kClamp,     // the nearest end of the range
};

struct ProfileSetting {
    ProfileKey id;
    const char* section;
    const char* key;  // nullptr: a family of keys, named by the caller
    const char* textFallback;  // a text: what a missing one reads as; nullptr for a number
    int fallback;              // a number: what a missing or unreadable one reads as
    int least;        // the range a stored number is taken in
    int most;
    OutOfRange outside;
};

// Every setting: the fixed ones and those of the check items' switches.
std::span<const ProfileSetting> ProfileSettings();
// A setting other than a switch's.
const ProfileSetting& SettingOf(ProfileKey id);

// A number as the run takes it: stored is what the profile held, or nothing
// when the key is missing or not a number.
int StoredNumber(const ProfileSetting& setting, std::optional<int> stored);
int StoredNumber(ProfileKey id, std::optional<int> stored);
