#pragma once

#include <QString>

// The per-user settings store: QSettings in the user's scope, filed under the
// organisation and application names that start-up sets (on Linux an INI file
// under $XDG_CONFIG_HOME). Every call opens the store and closes it again, so
// nothing is cached between reading and writing. A value that is missing or
// cannot be read gives the caller's default; failed writes go unreported.
//
// A run may name a settings file of its own (UseFile, before the first
// store is used); every store of the process then reads and writes that
// file, in the same format, instead of the user's profile.
class CSettingsStore {
public:
    static void UseFile(const QString& path);

    QString GetProfileString(const char* section, const char* key, const QString& fallback) const;
    int GetProfileInt(const char* section, const char* key, int fallback) const;
    void WriteProfileInt(const char* section, const char* key, int value);
    void WriteProfileString(const char* section, const char* key, const QString& value);
};
