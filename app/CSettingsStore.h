#pragma once

#include "profile/ProfileTable.h"

#include <QString>

// The per-user settings store: QSettings in the user's scope, filed under the
// organisation and application names that start-up sets (on Linux an INI file
// under $XDG_CONFIG_HOME). Every call opens the store and closes it again, so
// nothing is cached between reading and writing. Settings are named by the
// profile's table, which gives their sections, keys, defaults and ranges: a
// value that is missing or cannot be read gives the table's default, a number
// outside its range is read as the table says. Failed writes go unreported.
//
// A run may name a settings file of its own (UseFile, before the first
// store is used); every store of the process then reads and writes that
// file, in the same format, instead of the user's profile.
class CSettingsStore {
public:
    static void UseFile(const QString& path);

    int ReadNumber(const ProfileSetting& setting) const;
    void WriteNumber(const ProfileSetting& setting, int value);
    int ReadNumber(ProfileKey id) const { return ReadNumber(SettingOf(id)); }
    void WriteNumber(ProfileKey id, int value) { WriteNumber(SettingOf(id), value); }
    // member names the key of a family of keys (a port, a quick-send key);
    // nullptr for a setting with a key of its own.
    QString ReadText(ProfileKey id, const char* member = nullptr) const;
    void WriteText(ProfileKey id, const QString& value, const char* member = nullptr);
};
