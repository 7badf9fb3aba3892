#include "dialog/OptDialogModel.h"

#include <algorithm>

namespace flutt {
namespace {

// A value of a non-text type shows its default, like a missing one.
template <typename T, typename Read>
T ReadOrDefault(const T& def, Read read) {
    try {
        return read();
    } catch (const RegistryReadError&) {
        return def;
    }
}

}  // namespace

const std::vector<std::string>& BackgroundListNames(bool reduced) {
    static const std::vector<std::string> kFull = {
        "なし", "チェッカールーム", "夜空", "FT Wave1", "FT Wave2", "レンガ",
        "Fedora28", "ChatGPT(F28風)", "Gemini(F28風)", "ランダム",
    };
    static const std::vector<std::string> kReduced = {
        "なし", "チェッカールーム", "夜空", "FT Wave1", "FT Wave2", "レンガ", "ランダム",
    };
    return reduced ? kReduced : kFull;
}

const std::array<std::string, kCharacterCount>& CharacterListNames() {
    static const std::array<std::string, kCharacterCount> kNames = {
        "赤ネズミ",   "ペンタン",       "ぽよよん",   "キラリン", "ハムハム",
        "昭和笑顔文字", "昭和笑顔文字(色つき)", "昭和三日月", "昭和三日月黄色", "ファイア君",
        "バクバク",   "たこ星人",       "ケロタン",   "16t",      "炎",
    };
    return kNames;
}

void TrackBarState::SetPosition(int position) { position_ = std::clamp(position, min_, max_); }

void RadioGroupState::SetIndex(int index) { index_ = std::clamp(index, -1, count_ - 1); }

OptDialogModel::OptDialogModel(bool reducedBuild)
    : rdgBack_(static_cast<int>(BackgroundListNames(reducedBuild).size()), 1) {}

void OptDialogModel::FormCreate(Registry& registry) {
    TRegIniFile ini(registry, kSettingsKeyPath);
    Load(ini);
}

void OptDialogModel::Load(TRegIniFile& ini) {
    const SaverSettings defaults;
    const std::string section = kSettingsSection;
    auto integer = [&](const char* name, std::int32_t def) {
        return ReadOrDefault(def, [&] { return ini.ReadInteger(section, name, def); });
    };
    auto boolean = [&](const std::string& name, bool def) {
        return ReadOrDefault(def, [&] { return ini.ReadBool(section, name, def); });
    };
    auto text = [&](const char* name, const std::string& def) {
        return ReadOrDefault(def, [&] { return ini.ReadString(section, name, def); });
    };

    trkCharNum_.SetPosition(integer("num", defaults.num));
    trkUpdownSpeed_.SetPosition(integer("downspeed", defaults.downspeed));
    trkLRSpeed_.SetPosition(integer("LRspeed", defaults.LRspeed));
    rdgBack_.SetIndex(integer("back2", defaults.back2));
    rdgUpdown_.SetIndex(integer("updown", defaults.updown));
    rdgLR_.SetIndex(integer("LR", defaults.LR));
    timesOfBoot_ = integer("TimesOfBoot", 0);
    for (int i = 0; i < kCharacterCount; ++i) {
        characters_[i] = boolean(CharacterValueName(i), defaults.Character[i]);
    }
    chkMessage_ = boolean("IsShownMessage", defaults.IsShownMessage);
    chkIsMessageFront_ = boolean("IsMessageFront", defaults.IsMessageFront);
    chkTransparent_ = boolean("IsTransparent", defaults.IsTransparent);
    edtMessage_ = text("MessageText", defaults.MessageText);
    backgroundColor_ = integer("MessageBGColor", defaults.MessageBGColor);
    fontColor_ = integer("MessageFontColor", defaults.MessageFontColor);
    messageFont_.size = integer("MessageFontSize", defaults.MessageFontSize);
    messageFont_.name = text("MessageFontName", defaults.MessageFontName);
    chkEveryMonitor_ = boolean("IsOnEveryMonitor", defaults.IsOnEveryMonitor);
    // The value labels, the version and the count are derived from these;
    // the dialog opens on the General tab.
    activeTab_ = OptTab::General;
}

bool OptDialogModel::btnOKClick(Registry& registry, OptDialogPrompts& prompts) {
    if (std::none_of(characters_.begin(), characters_.end(), [](bool checked) { return checked; })) {
        prompts.ShowCaution();
        characters_[0] = true;
        activeTab_ = OptTab::Character;
        return false;
    }
    SaveSettings(registry, BuildSettings());
    return true;
}

void OptDialogModel::btnDefaultClick(OptDialogPrompts& prompts) {
    if (!prompts.ConfirmReset()) return;
    const SaverSettings defaults;
    rdgBack_.SetIndex(defaults.back2);
    rdgUpdown_.SetIndex(defaults.updown);
    rdgLR_.SetIndex(defaults.LR);
    trkCharNum_.SetPosition(defaults.num);
    trkUpdownSpeed_.SetPosition(defaults.downspeed);
    trkLRSpeed_.SetPosition(defaults.LRspeed);
    chkEveryMonitor_ = defaults.IsOnEveryMonitor;
    chkMessage_ = false;
}

void OptDialogModel::btnRecommendationClick() {
    for (int i = 0; i < kCharacterCount; ++i) characters_[i] = i <= 4;
}

void OptDialogModel::btnShowaMojiClick() {
    for (int i = 0; i < kCharacterCount; ++i) characters_[i] = i >= 5 && i <= 8;
}

void OptDialogModel::btnFontClick(OptDialogPrompts& prompts) {
    if (auto chosen = prompts.PickFont(messageFont_)) messageFont_ = std::move(*chosen);
}

void OptDialogModel::btnColorClick(ColorButton button, OptDialogPrompts& prompts) {
    std::int32_t& held = button == ColorButton::FontColor ? fontColor_ : backgroundColor_;
    if (auto chosen = prompts.PickColor(held)) held = *chosen;
}

SaverSettings OptDialogModel::BuildSettings() const {
    SaverSettings s;
    s.num = trkCharNum_.Position();
    s.downspeed = trkUpdownSpeed_.Position();
    s.LRspeed = trkLRSpeed_.Position();
    s.back2 = rdgBack_.Index();
    s.updown = rdgUpdown_.Index();
    s.LR = rdgLR_.Index();
    s.IsShownMessage = chkMessage_;
    s.IsMessageFront = chkIsMessageFront_;
    s.IsTransparent = chkTransparent_;
    s.MessageText = edtMessage_;
    s.MessageBGColor = backgroundColor_;
    s.MessageFontColor = fontColor_;
    s.MessageFontSize = messageFont_.size;
    s.MessageFontName = messageFont_.name;
    s.Character = characters_;
    s.IsOnEveryMonitor = chkEveryMonitor_;
    return s;
}

std::int32_t OptDialogModel::ButtonColor(ColorButton button) const {
    return button == ColorButton::FontColor ? fontColor_ : backgroundColor_;
}

std::string OptDialogModel::lblFontName() const {
    return messageFont_.name + ", " + std::to_string(messageFont_.size) + "pt";
}

std::string OptDialogModel::lblVersion() const { return std::string(kProgramName) + " Ver " + kVersionText; }

std::string OptDialogModel::lblTimesOfBoot() const { return "起動回数: " + std::to_string(timesOfBoot_) + "回"; }

bool OptDialogModel::IsEnabled(SwitchedControl control) const {
    if (control == SwitchedControl::btnBackground) return chkMessage_ && !chkTransparent_;
    return chkMessage_;
}

SampleLook OptDialogModel::Sample() const {
    SampleLook look;
    look.caption = edtMessage_;
    look.textColor = fontColor_;
    if (!chkTransparent_) look.fillColor = backgroundColor_;
    look.font = messageFont_;
    return look;
}

}  // namespace flutt
