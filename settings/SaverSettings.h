// The settings record, its registry layout and defaults, and the load and
// save of the whole record.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/Registry.h"
#include "settings/RegIniFile.h"

namespace flutt {

inline constexpr const char* kSettingsKeyPath = "Software\\Orrin Software";
inline constexpr const char* kSettingsSection = "Fluttons Saver";
inline constexpr int kCharacterCount = 15;
// The most characters the saver makes room for; the dialog offers up to this.
inline constexpr std::int32_t kMaxCharacters = 1000;
inline constexpr std::int32_t kMaxSpeed = 100;

struct SaverSettings {
    std::int32_t num = 100;
    std::int32_t back2 = 1;
    std::int32_t updown = 0;
    std::int32_t LR = 2;
    std::int32_t downspeed = 30;
    std::int32_t LRspeed = 20;
    bool IsPreview = false;  // run-time: the run is inside the preview window
    bool IsShownMessage = false;
    bool IsMessageFront = true;
    std::string MessageText = "Fluttons! Saver";
    std::int32_t MessageBGColor = 0xFF8080;    // 0x00BBGGRR
    std::int32_t MessageFontColor = 0x00FFFF;  // 0x00BBGGRR
    std::int32_t MessageFontSize = 48;         // points
    std::string MessageFontName = "Times New Roman";
    bool IsTransparent = false;
    std::uint32_t StartTick = 0;        // run-time: tick count when a full-screen run began
    bool IsBackgroundComposed = false;  // run-time: the first frame has composed the background
    std::array<bool, kCharacterCount> Character = {true, true, true, true, true, true, true, true,
                                                   true, true, true, true, true, true, true};
    // A full-screen run animates every monitor, each on its own, instead of
    // the primary alone with the others black.
    bool IsOnEveryMonitor = false;

    bool operator==(const SaverSettings&) const = default;
};

// "Character0" .. "Character14".
std::string CharacterValueName(int index);

// Reads every persisted field, in the store's order, into `settings`. A
// value of a non-text type reads as missing. Run-time fields are untouched.
void ReadPersistedSettings(TRegIniFile& ini, SaverSettings& settings);

// The number of full-screen starts so far ("TimesOfBoot", default 0).
std::int32_t ReadTimesOfBoot(TRegIniFile& ini);

// Adds one to "TimesOfBoot". Throws RegistryError when it cannot be written.
void IncrementTimesOfBoot(TRegIniFile& ini);

// The saver window's load: every persisted field, then, unless the run is a
// preview, one more full-screen start counted (a failure to count is
// ignored: the saver starts anyway). Values the dialog never stores are
// made safe for the animation (MakeSafeForSaver).
void LoadSettings(Registry& registry, SaverSettings& settings);

// Brings hand-edited values into what the animation can run with: `num`
// 0..1000, `updown`/`LR` outside 0..2 as 0, speeds 0..100, no enabled
// character meaning all of them.
void MakeSafeForSaver(SaverSettings& settings);

// Writes every persisted field in the store's order, then "banner" = "1".
// Throws RegistryError at the first value that cannot be written; the
// values before it stay written.
void SaveSettings(Registry& registry, const SaverSettings& settings);

}  // namespace flutt
