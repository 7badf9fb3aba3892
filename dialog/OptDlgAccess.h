// What the settings dialog tells assistive technology about the controls it
// draws itself, and the page keys: plain rules over the model and the form,
// which the window (OptDlgAccess_win) serves through the platform's
// accessibility interfaces.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dialog/OptDialogModel.h"
#include "dialog/OptDlgForm.h"

namespace flutt {

// The roles of the dialog's own accessible objects; the window maps them to
// the platform's role numbers.
enum class AccessRole { List, CheckButton, Grouping, PushButton, Link };

// What a screen reader hears of one object.
struct AccessibleItem {
    AccessRole role = AccessRole::PushButton;
    std::string name;
    std::string value;          // empty for none
    std::string defaultAction;  // empty for none
    std::string shortcut;       // "Alt+C", empty for none
    bool checked = false;       // only for AccessRole::CheckButton
    bool operator==(const AccessibleItem&) const = default;
};

// A caption as a name: without its access key ("(&C)" or a lone "&") and
// without a trailing colon or ellipsis.
std::string AccessibleNameOf(const std::string& caption);
// "Alt+C" for a caption with "&C"; empty when it has no access key.
std::string AccessKeyOf(const std::string& caption);
// A colour (0x00BBGGRR) in words: "赤 255、緑 0、青 0".
std::string ColorValueText(std::int32_t color);

// The character list, named after its label.
AccessibleItem CheckListAccess(const std::vector<FormRow>& form);
// Item `index` of the character list: a check button with the character's
// name, checked as the model has it; its default action toggles it.
AccessibleItem CharacterItemAccess(const OptDialogModel& model, int index);
// A radio group: a grouping named by its caption, so that its buttons are
// heard within it.
AccessibleItem RadioGroupAccess(const FormRow& group);
// A colour button: named after the colour it sets (the label beside it), its
// value the colour chosen now.
AccessibleItem ColorButtonAccess(const std::vector<FormRow>& form, const OptDialogModel& model, ColorButton button);
// The About page's web link.
AccessibleItem LinkAccess(const FormRow& link);

// The contrast ratio of two colours (0x00BBGGRR) by their relative
// luminance, as the web's accessibility guidelines define it: 1 to 21.
double ContrastRatio(std::int32_t a, std::int32_t b);
// The colour for a part the dialog draws in a colour of its own (the link's
// blue, a focused button's black frame): the system's colour for that part
// when a high-contrast theme is on, or when its own colour stands out from
// the face by less than 3 : 1; else its own.
std::int32_t ReadableColor(std::int32_t own, std::int32_t system, std::int32_t face, bool highContrast);

// The keys that turn the pages: Ctrl+Tab and Ctrl+PageDown forward,
// Ctrl+Shift+Tab and Ctrl+PageUp back.
enum class PageKey { Tab, PageDown, PageUp };
// +1, -1, or none when the key with these modifiers does not turn a page.
std::optional<int> PageStep(PageKey key, bool ctrl, bool shift);
// The page `step` pages on from `tab`, round the four.
OptTab TurnedPage(OptTab tab, int step);

}  // namespace flutt
