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

QString KeyPath(const char* section, const char* key)
{
    return QString::fromLatin1(section) + QLatin1Char('/') + QString::fromLatin1(key);
}

// The INI file holds every value as text; a hand-edited line with a comma in
// it comes back as a list, which is no single text and so not readable here.
bool ReadText(const char* section, const char* key, QString& text)
{
    const QVariant value = Open().value(KeyPath(section, key));
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

QString CSettingsStore::GetProfileString(const char* section, const char* key,
                                         const QString& fallback) const
{
    QString text;
    return ReadText(section, key, text) ? text : fallback;
}

int CSettingsStore::GetProfileInt(const char* section, const char* key, int fallback) const
{
    QString text;
    if (!ReadText(section, key, text))
        return fallback;
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : fallback;
}

void CSettingsStore::WriteProfileInt(const char* section, const char* key, int value)
{
    Open().setValue(KeyPath(section, key), value);
}

void CSettingsStore::WriteProfileString(const char* section, const char* key, const QString& value)
{
    Open().setValue(KeyPath(section, key), value);
}
