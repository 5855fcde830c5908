#include "app/CSettingsStore.h"

#include <QSettings>
#include <QVariant>

namespace {

QString KeyPath(const char* section, const char* key)
{
    return QString::fromLatin1(section) + QLatin1Char('/') + QString::fromLatin1(key);
}

// The INI file holds every value as text; a hand-edited line with a comma in
// it comes back as a list, which is no single text and so not readable here.
bool ReadText(const char* section, const char* key, QString& text)
{
    const QVariant value = QSettings().value(KeyPath(section, key));
    if (!value.isValid() || value.typeId() == QMetaType::QStringList)
        return false;
    text = value.toString();
    return true;
}

} // namespace

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
    QSettings().setValue(KeyPath(section, key), value);
}

void CSettingsStore::WriteProfileString(const char* section, const char* key, const QString& value)
{
    QSettings().setValue(KeyPath(section, key), value);
}
