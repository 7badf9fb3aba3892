// The settings dialog's rules, free of the window system: the state of every
// control that holds a setting, and what the load, OK, Reset, the presets,
// the choosers and the switches do to it. The window (OptDlg_win) shows this
// state and hands the user's input back to it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "settings/RegIniFile.h"
#include "settings/SaverSettings.h"

namespace flutt {

inline constexpr const char* kProgramName = "Fluttons! Saver";
inline constexpr const char* kVersionText = "4.00";

inline constexpr const char* kCautionCaption = "Caution";
inline constexpr const char* kCautionText = "最低1つキャラクターを選択してください。";
inline constexpr const char* kResetCaption = "Setting";
inline constexpr const char* kResetText = "設定値を初期値に戻します。\nよろしいですか?";

// The background list in index order (the `back2` values); the reduced build
// lacks the three largest pictures, and its last entry is still "random".
const std::vector<std::string>& BackgroundListNames(bool reduced);

// The characters in catalogue order (the `Character` flags).
const std::array<std::string, kCharacterCount>& CharacterListNames();

// A track bar's position, always inside its range.
class TrackBarState {
public:
    constexpr TrackBarState(int min, int max, int position) : min_(min), max_(max), position_(position) {}
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    void SetPosition(int position);
    std::string ValueText() const { return std::to_string(position_); }  // its value label

private:
    int min_, max_, position_;
};

// A radio group's chosen item: 0 .. count - 1, or -1 for none.
class RadioGroupState {
public:
    constexpr RadioGroupState(int count, int index) : count_(count), index_(index) {}
    int Count() const { return count_; }
    int Index() const { return index_; }
    void SetIndex(int index);

private:
    int count_, index_;
};

// What the dialog keeps of the message font: face and size in points.
struct MessageFontState {
    std::string name;
    std::int32_t size = 0;
    bool operator==(const MessageFontState&) const = default;
};

// How the sample panel looks.
struct SampleLook {
    std::string caption;
    std::int32_t textColor = 0;
    std::optional<std::int32_t> fillColor;  // none: the dialog's own face colour
    MessageFontState font;
    bool operator==(const SampleLook&) const = default;
};

enum class OptTab { General = 0, Message = 1, Character = 2, About = 3 };

// The Message tab's controls that the message switch enables and disables.
enum class SwitchedControl {
    btnFont, lblBackground, edtMessage, lblMessage, btnBackground, lblFontColor, btnFontColor,
    chkIsMessageFront, lblFont, lblFontName, lblMessageSample, pnlSample, chkTransparent,
};
inline constexpr std::array<SwitchedControl, 13> kSwitchedControls = {
    SwitchedControl::btnFont,        SwitchedControl::lblBackground,     SwitchedControl::edtMessage,
    SwitchedControl::lblMessage,     SwitchedControl::btnBackground,     SwitchedControl::lblFontColor,
    SwitchedControl::btnFontColor,   SwitchedControl::chkIsMessageFront, SwitchedControl::lblFont,
    SwitchedControl::lblFontName,    SwitchedControl::lblMessageSample,  SwitchedControl::pnlSample,
    SwitchedControl::chkTransparent,
};

enum class ColorButton { FontColor, Background };

// The modal parts of the dialog, which the window provides.
class OptDialogPrompts {
public:
    virtual ~OptDialogPrompts() = default;
    // The "Caution" box with kCautionText and an OK button.
    virtual void ShowCaution() = 0;
    // The "Setting" box with kResetText; true when the user chose OK.
    virtual bool ConfirmReset() = 0;
    // The font chooser started at `current`; the chosen face and size, or none when cancelled.
    virtual std::optional<MessageFontState> PickFont(const MessageFontState& current) = 0;
    // The colour chooser started at `current` (0x00BBGGRR); none when cancelled.
    virtual std::optional<std::int32_t> PickColor(std::int32_t current) = 0;

protected:
    OptDialogPrompts() = default;
    OptDialogPrompts(const OptDialogPrompts&) = default;
    OptDialogPrompts& operator=(const OptDialogPrompts&) = default;
};

class OptDialogModel {
public:
    // The controls as designed, before the load.
    explicit OptDialogModel(bool reducedBuild);

    // FormCreate: opens the accessor, runs Load and closes it again.
    void FormCreate(Registry& registry);
    // The load's control steps, in their order, from an open accessor. A
    // value that cannot be read shows its default; controls clamp.
    void Load(TRegIniFile& ini);

    // OK. With no character checked: the Caution box, then item 0 checked
    // and the Character tab shown; nothing written, false. Otherwise every
    // value saved, true (the dialog closes). A failed write throws
    // RegistryError and leaves every control as it was.
    bool btnOKClick(Registry& registry, OptDialogPrompts& prompts);
    // Reset, after the user confirms: the General tab's values, the number
    // of characters and the message switch go back to their defaults.
    void btnDefaultClick(OptDialogPrompts& prompts);
    void btnRecommendationClick();
    void btnShowaMojiClick();
    void btnFontClick(OptDialogPrompts& prompts);
    void btnColorClick(ColorButton button, OptDialogPrompts& prompts);

    // The record that OK saves, built from the controls.
    SaverSettings BuildSettings() const;

    // Control states; the setters do what the control does with a value.
    TrackBarState& trkCharNum() { return trkCharNum_; }
    TrackBarState& trkUpdownSpeed() { return trkUpdownSpeed_; }
    TrackBarState& trkLRSpeed() { return trkLRSpeed_; }
    const TrackBarState& trkCharNum() const { return trkCharNum_; }
    const TrackBarState& trkUpdownSpeed() const { return trkUpdownSpeed_; }
    const TrackBarState& trkLRSpeed() const { return trkLRSpeed_; }
    RadioGroupState& rdgBack() { return rdgBack_; }
    RadioGroupState& rdgUpdown() { return rdgUpdown_; }
    RadioGroupState& rdgLR() { return rdgLR_; }
    const RadioGroupState& rdgBack() const { return rdgBack_; }
    const RadioGroupState& rdgUpdown() const { return rdgUpdown_; }
    const RadioGroupState& rdgLR() const { return rdgLR_; }

    bool IsCharacterChecked(int index) const { return characters_.at(index); }
    void SetCharacterChecked(int index, bool checked) { characters_.at(index) = checked; }
    const std::array<bool, kCharacterCount>& CheckedCharacters() const { return characters_; }

    bool chkMessage() const { return chkMessage_; }
    void SetMessageShown(bool checked) { chkMessage_ = checked; }
    bool chkIsMessageFront() const { return chkIsMessageFront_; }
    void SetMessageFront(bool checked) { chkIsMessageFront_ = checked; }
    bool chkTransparent() const { return chkTransparent_; }
    void SetTransparent(bool checked) { chkTransparent_ = checked; }
    bool chkEveryMonitor() const { return chkEveryMonitor_; }
    void SetOnEveryMonitor(bool checked) { chkEveryMonitor_ = checked; }

    const std::string& edtMessage() const { return edtMessage_; }
    void SetMessageText(std::string text) { edtMessage_ = std::move(text); }

    std::int32_t ButtonColor(ColorButton button) const;
    const MessageFontState& MessageFont() const { return messageFont_; }
    std::int32_t TimesOfBoot() const { return timesOfBoot_; }

    OptTab ActiveTab() const { return activeTab_; }
    void SetActiveTab(OptTab tab) { activeTab_ = tab; }

    // Label texts.
    std::string lblFontName() const;
    std::string lblVersion() const;
    std::string lblTimesOfBoot() const;

    // The message switching rule and the transparency rule.
    bool IsEnabled(SwitchedControl control) const;
    // The sample's caption, colours and font.
    SampleLook Sample() const;

private:
    TrackBarState trkCharNum_{0, kMaxCharacters, 100};
    TrackBarState trkUpdownSpeed_{0, kMaxSpeed, 30};
    TrackBarState trkLRSpeed_{0, kMaxSpeed, 30};
    RadioGroupState rdgBack_;
    RadioGroupState rdgUpdown_{3, 0};
    RadioGroupState rdgLR_{3, 2};
    std::array<bool, kCharacterCount> characters_{};
    bool chkMessage_ = false;
    bool chkIsMessageFront_ = true;
    bool chkTransparent_ = false;
    bool chkEveryMonitor_ = false;
    std::string edtMessage_ = "Fluttons! Saver";
    std::int32_t fontColor_ = 0;        // design colour: black
    std::int32_t backgroundColor_ = 0;  // design colour: black
    MessageFontState messageFont_;
    std::int32_t timesOfBoot_ = 0;
    OptTab activeTab_ = OptTab::General;
};

}  // namespace flutt
