// The settings dialog's form: every control with its kind, parent, position,
// caption, hint and tab stop, in creation order. Creation order is the order
// of the controls among their siblings, and so the keyboard's tab order; a
// label with an accelerator comes right before the control it focuses.
#pragma once

#include <string>
#include <vector>

namespace flutt {

// Every control of the dialog; Form is the dialog itself.
enum class Ctl : int {
    Form = -1,
    PageControl = 0,
    tshGeneral, tshMessage, tshCharacter, tshAbout,
    rdgBack, rdgUpdown, rdgLR,
    lblUpdownSpeed, trkUpdownSpeed, lblUpdownSpeedValue,
    lblLeftRightSpeed, trkLRSpeed, lblLRSpeedValue, chkEveryMonitor,
    chkMessage, lblMessage, edtMessage, chkIsMessageFront,
    lblFont, btnFont, lblBackground, btnBackground, lblFontColor, btnFontColor,
    lblFontName, lblMessageSample, pnlSample, chkTransparent,
    lblCharType, CheckList1, btnRecommendation, lblCharNum, trkCharNum, btnShowaMoji, lblNum,
    lblVersion, lblNotice, lblTimesOfBoot, lblURL, imgLogo, Image1,
    btnDefault, btnOK, btnCancel,
    Count,
};
inline constexpr int kControlCount = static_cast<int>(Ctl::Count);

enum class ControlKind {
    PageControl,  // tab control; its pages are TabSheet rows
    TabSheet,
    Button,
    ColorButton,  // push button whose caption is drawn in the colour it holds
    CheckBox,
    RadioGroup,   // framed group of radio buttons, one per item
    Label,        // sized to its caption when the row gives no size
    TrackBar,
    Edit,
    CheckList,    // list of items with check boxes
    Panel,        // lowered bevel, centred caption
    Icon,         // a 32 x 32 icon resource
    Link,         // a fixed-size label that opens the web page
};

// Which sides of its parent a control keeps its distance to when the parent
// is resized.
enum Anchor : unsigned { kAnchorLeft = 1, kAnchorTop = 2, kAnchorRight = 4, kAnchorBottom = 8 };
inline constexpr unsigned kAnchorDefault = kAnchorLeft | kAnchorTop;
inline constexpr unsigned kAnchorAll = kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom;

struct FormRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const FormRect&) const = default;
};

struct TrackRange {
    int min = 0, max = 0, tickFrequency = 0;
};

struct FormRow {
    Ctl id;
    const char* name;
    ControlKind kind;
    Ctl parent;
    FormRect bounds;              // relative to the parent's client area; a label without size fits its caption
    std::string caption;          // UTF-8; "&" marks the accelerator
    std::string hint;             // the tooltip; empty for none
    bool tabStop = false;
    unsigned anchors = kAnchorDefault;
    std::vector<std::string> items;  // a radio group's items
    TrackRange range;                // a track bar's range and tick spacing
    int imageIndex = -1;             // a tab sheet's image in the tab image list
    const char* resource = nullptr;  // an icon's resource name
};

inline constexpr int kFormClientWidth = 481;
inline constexpr int kFormClientHeight = 381;
inline constexpr const char* kFormCaption = "Fluttons! セーバー2025設定";
inline constexpr const char* kFormFontName = "ＭＳ Ｐゴシック";
inline constexpr int kFormFontPixels = 12;
inline constexpr int kCheckListFontPixels = 15;
inline constexpr int kCheckListItemHeight = 15;
inline constexpr const char* kLinkFontName = "Arial";
inline constexpr int kLinkFontPixels = 13;
inline constexpr int kTrackBarThumbLength = 20;

inline constexpr const char* kHomepageUrl = "https://orrin-software.example/fluttons/";
inline constexpr const char* kAuthorshipNotice = "Copyright (C) 2025 Orrin Software";

// The whole form, in creation order; the reduced build's background group
// has its seven items in a smaller frame.
const std::vector<FormRow>& OptDialogForm(bool reduced);

const FormRow& FormRowOf(const std::vector<FormRow>& form, Ctl id);

// The form is designed in pixels of a 96 DPI screen. At another DPI every
// length is multiplied by dpi / 96 and rounded to the nearest pixel (halves
// away from zero), as Windows' MulDiv rounds.
inline constexpr int kFormDesignDpi = 96;
int ScaleToDpi(int pixels, int dpi);

// A form entry's rectangle at a DPI: its edges are scaled, so entries that
// touch at 96 DPI still touch and a size follows from the scaled edges. A
// label without size keeps none (it fits its caption in the scaled font).
FormRect ScaledRect(const FormRect& designed, int dpi);

// Where a radio group puts its items (relative to the group) at a DPI: one
// column, 8 designed pixels in, the height below the caption shared out
// evenly; fontHeight is the height of the caption's font at that DPI.
std::vector<FormRect> RadioItemRects(const FormRect& group, int itemCount, int fontHeight, int dpi);

// A control's bounds after its parent grew by (dx, dy) from its designed size.
FormRect Anchored(const FormRect& designed, unsigned anchors, int dx, int dy);

}  // namespace flutt
