#include "profile/ProfileTable.h"

#include "conversions/ConversionRegistry.h"
#include "profile/CommandSwitches.h"
#include "filesend/SendPacing.h"
#include "profile/ProfileValues.h"
#include "report/CReportText.h"
#include "report/ReportZoom.h"
#include "xrate/CXrate.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace {

constexpr char kMain[] = "tamsel_OV";
constexpr int kAnyLeast = INT_MIN;
constexpr int kAnyMost = INT_MAX;

constexpr ProfileSetting kSettings[] = {
    {ProfileKey::kComPort, kMain, "comport", kDefaultPortName, 0, 0, 0, OutOfRange::kFallback},
    {ProfileKey::kComSpeed, kMain, "comspeed", nullptr, 9600, kAnyLeast, kAnyMost, OutOfRange::kFallback},
    // A profile older or newer than this table's conversions means Raw.
    {ProfileKey::kReceiveXrate, kMain, "receiveXrate", nullptr, kConversionOV10, 0, kConversionCount - 1,
     OutOfRange::kLeast},
    {ProfileKey::kSendXrate, kMain, "sendXrate", nullptr, kConversionOV10, 0, kConversionCount - 1,
     OutOfRange::kLeast},
    {ProfileKey::kOtherRate, "line", "rate", nullptr, 0, kAnyLeast, kAnyMost, OutOfRange::kFallback},
    {ProfileKey::kReportLimit, "report", "limit", nullptr, CReportText::kReportLimit, CReportText::kReportLimit,
     CReportText::kLargestReportLimit, OutOfRange::kClamp},
    {ProfileKey::kReportFont, "zoom", "reportfont", nullptr, kReportFontPixels, kSmallestReportFontPixels,
     kLargestReportFontPixels, OutOfRange::kFallback},
    {ProfileKey::kQuickSend, "quicksend", nullptr, "", 0, 0, 0, OutOfRange::kFallback},
    // A pause outside the dialog's range (a hand-edited profile) is none.
    {ProfileKey::kCharDelay, "sendfile", "chardelay", nullptr, 0, 0, kMaxPacingMs, OutOfRange::kFallback},
    {ProfileKey::kLineDelay, "sendfile", "linedelay", nullptr, 0, 0, kMaxPacingMs, OutOfRange::kFallback},
    // An unknown choice keeps the usual CR LF.
    {ProfileKey::kLineEnd, "send", "lineend", nullptr, 0, 0, kLineEndCount - 1, OutOfRange::kFallback},
    {ProfileKey::kResetSequence, "signals", "reset", "", 0, 0, 0, OutOfRange::kFallback},
    {ProfileKey::kPorts, "ports", nullptr, "", 0, 0, 0, OutOfRange::kFallback},
    {ProfileKey::kBusGeometry, "busview", "geometry", "", 0, 0, 0, OutOfRange::kFallback},
    {ProfileKey::kBusPlots, "busview", "plots", "", 0, 0, 0, OutOfRange::kFallback},
    {ProfileKey::kBusMinutes, "busview", "minutes", nullptr, 1, kAnyLeast, kAnyMost, OutOfRange::kFallback},
};

} // namespace

std::span<const ProfileSetting> ProfileSettings()
{
    static const std::vector<ProfileSetting> all = [] {
        std::vector<ProfileSetting> settings(std::begin(kSettings), std::end(kSettings));
        for (const CommandSwitch& entry : CommandSwitches())
            settings.push_back(entry.profile);
        return settings;
    }();
    return all;
}

const ProfileSetting& SettingOf(ProfileKey id)
{
    return *std::find_if(std::begin(kSettings), std::end(kSettings),
                         [id](const ProfileSetting& setting) { return setting.id == id; });
}

int StoredNumber(ProfileKey id, std::optional<int> stored)
{
    return StoredNumber(SettingOf(id), stored);
}

int StoredNumber(const ProfileSetting& setting, std::optional<int> stored)
{
    if (!stored)
        return setting.fallback;
    if (*stored >= setting.least && *stored <= setting.most)
        return *stored;
    switch (setting.outside) {
    case OutOfRange::kLeast:
        return setting.least;
    case OutOfRange::kClamp:
        return std::clamp(*stored, setting.least, setting.most);
    case OutOfRange::kFallback:
        break;
    }
    return setting.fallback;
}
