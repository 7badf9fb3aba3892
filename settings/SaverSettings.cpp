#include "settings/SaverSettings.h"

#include <algorithm>

namespace flutt {
namespace {

// Reads of the settings record: a value that exists but is not text (a
// DWORD entered by hand, say) counts as missing, so its default applies.
class SettingsReader {
public:
    explicit SettingsReader(TRegIniFile& ini) : ini_(ini) {}

    std::int32_t Integer(const std::string& name, std::int32_t def) {
        return Tolerant(def, [&] { return ini_.ReadInteger(kSettingsSection, name, def); });
    }
    bool Bool(const std::string& name, bool def) {
        return Tolerant(def, [&] { return ini_.ReadBool(kSettingsSection, name, def); });
    }
    std::string String(const std::string& name, const std::string& def) {
        return Tolerant(def, [&] { return ini_.ReadString(kSettingsSection, name, def); });
    }

private:
    template <typename T, typename Read>
    static T Tolerant(const T& def, Read read) {
        try {
            return read();
        } catch (const RegistryReadError&) {
            return def;
        }
    }

    TRegIniFile& ini_;
};

}  // namespace

std::string CharacterValueName(int index) { return "Character" + std::to_string(index); }

void ReadPersistedSettings(TRegIniFile& ini, SaverSettings& s) {
    const SaverSettings defaults;
    SettingsReader read(ini);
    s.num = read.Integer("num", defaults.num);
    s.downspeed = read.Integer("downspeed", defaults.downspeed);
    s.LRspeed = read.Integer("LRspeed", defaults.LRspeed);
    s.back2 = read.Integer("back2", defaults.back2);
    s.updown = read.Integer("updown", defaults.updown);
    s.LR = read.Integer("LR", defaults.LR);
    s.IsShownMessage = read.Bool("IsShownMessage", defaults.IsShownMessage);
    s.IsMessageFront = read.Bool("IsMessageFront", defaults.IsMessageFront);
    s.IsTransparent = read.Bool("IsTransparent", defaults.IsTransparent);
    s.MessageText = read.String("MessageText", defaults.MessageText);
    s.MessageBGColor = read.Integer("MessageBGColor", defaults.MessageBGColor);
    s.MessageFontColor = read.Integer("MessageFontColor", defaults.MessageFontColor);
    s.MessageFontSize = read.Integer("MessageFontSize", defaults.MessageFontSize);
    s.MessageFontName = read.String("MessageFontName", defaults.MessageFontName);
    for (int i = 0; i < kCharacterCount; ++i) {
        s.Character[i] = read.Bool(CharacterValueName(i), defaults.Character[i]);
    }
    s.IsOnEveryMonitor = read.Bool("IsOnEveryMonitor", defaults.IsOnEveryMonitor);
}

std::int32_t ReadTimesOfBoot(TRegIniFile& ini) { return SettingsReader(ini).Integer("TimesOfBoot", 0); }

void IncrementTimesOfBoot(TRegIniFile& ini) {
    ini.WriteInteger(kSettingsSection, "TimesOfBoot", ReadTimesOfBoot(ini) + 1);
}

void LoadSettings(Registry& registry, SaverSettings& settings) {
    TRegIniFile ini(registry, kSettingsKeyPath);
    ReadPersistedSettings(ini, settings);
    if (!settings.IsPreview) {
        try {
            IncrementTimesOfBoot(ini);
        } catch (const RegistryError&) {
            // A registry that refuses the count must not stop the saver.
        }
    }
    MakeSafeForSaver(settings);
}

void MakeSafeForSaver(SaverSettings& s) {
    s.num = std::clamp(s.num, 0, kMaxCharacters);
    if (s.updown < 0 || s.updown > 2) s.updown = 0;
    if (s.LR < 0 || s.LR > 2) s.LR = 0;
    s.downspeed = std::clamp(s.downspeed, 0, kMaxSpeed);
    s.LRspeed = std::clamp(s.LRspeed, 0, kMaxSpeed);
    if (std::none_of(s.Character.begin(), s.Character.end(), [](bool on) { return on; })) {
        s.Character.fill(true);
    }
}

void SaveSettings(Registry& registry, const SaverSettings& s) {
    TRegIniFile ini(registry, kSettingsKeyPath);
    const std::string section = kSettingsSection;
    ini.WriteInteger(section, "num", s.num);
    ini.WriteInteger(section, "downspeed", s.downspeed);
    ini.WriteInteger(section, "LRspeed", s.LRspeed);
    ini.WriteInteger(section, "back2", s.back2);
    ini.WriteInteger(section, "updown", s.updown);
    ini.WriteInteger(section, "LR", s.LR);
    ini.WriteBool(section, "IsShownMessage", s.IsShownMessage);
    ini.WriteBool(section, "IsMessageFront", s.IsMessageFront);
    ini.WriteBool(section, "IsTransparent", s.IsTransparent);
    ini.WriteString(section, "MessageText", s.MessageText);
    ini.WriteInteger(section, "MessageBGColor", s.MessageBGColor);
    ini.WriteInteger(section, "MessageFontColor", s.MessageFontColor);
    ini.WriteInteger(section, "MessageFontSize", s.MessageFontSize);
    ini.WriteString(section, "MessageFontName", s.MessageFontName);
    for (int i = 0; i < kCharacterCount; ++i) ini.WriteBool(section, CharacterValueName(i), s.Character[i]);
    ini.WriteBool(section, "IsOnEveryMonitor", s.IsOnEveryMonitor);
    ini.WriteBool(section, "banner", true);
}

}  // namespace flutt
