#include "app/CSettingsStore.h"

#include <QSettings>
#include <QVariant>

namespace {

QString& ProfileFile()
{
    static QString path;
    return path;
}

QSettings Open()
{
    const QString& path = ProfileFile();
    if (path.isEmpty())
        return QSettings();
    return QSettings(path, QSettings::IniFormat);
}

QString KeyPath(const ProfileSetting& setting, const char* member)
{
    return QString::fromLatin1(setting.section) + QLatin1Char('/') +
           QString::fromLatin1(member ? member : setting.key);
}

// The INI file holds every value as text; a hand-edited line with a comma in
// it comes back as a list, which is no single text and so not readable here.
bool ReadStored(const QString& path, QString& text)
{
    const QVariant value = Open().value(path);
    if (!value.isValid() || value.typeId() == QMetaType::QStringList)
        return false;
    text = value.toString();
    return true;
}

} // namespace

void CSettingsStore::UseFile(const QString& path)
{
    ProfileFile() = path;
}

int CSettingsStore::ReadNumber(const ProfileSetting& setting) const
{
    QString text;
    std::optional<int> stored;
    if (ReadStored(KeyPath(setting, nullptr), text)) {
        bool ok = false;
        const int value = text.trimmed().toInt(&ok, 10);
        if (ok)
            stored = value;
    }
    return StoredNumber(setting, stored);
}

void CSettingsStore::WriteNumber(const ProfileSetting& setting, int value)
{
    Open().setValue(KeyPath(setting, nullptr), value);
}

QString CSettingsStore::ReadText(ProfileKey id, const char* member) const
{
    QString text;
    return ReadStored(KeyPath(SettingOf(id), member), text) ? text : QString::fromLatin1(SettingOf(id).textFallback);
}

void CSettingsStore::WriteText(ProfileKey id, const QString& value, const char* member)
{
    Open().setValue(KeyPath(SettingOf(id), member), value);
}
