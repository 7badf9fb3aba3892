#include "dialog/OptDlgForm.h"

#include <stdexcept>

#include "dialog/OptDialogModel.h"

// The rows name only the fields they need; the others keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace flutt {
namespace {

using K = ControlKind;

constexpr const char* kCharacterHint = "登場するキャラクターの作者のおすすめです。";

std::vector<FormRow> MakeForm(bool reduced) {
    const FormRect backGroup = reduced ? FormRect{16, 8, 129, 169} : FormRect{16, 8, 137, 209};
    return {
        // The frame.
        {.id = Ctl::PageControl, .name = "PageControl", .kind = K::PageControl, .parent = Ctl::Form,
         .bounds = {8, 8, 465, 327}, .tabStop = true, .anchors = kAnchorAll},
        {.id = Ctl::tshGeneral, .name = "tshGeneral", .kind = K::TabSheet, .parent = Ctl::PageControl,
         .caption = "基本設定", .imageIndex = 4},
        {.id = Ctl::tshMessage, .name = "tshMessage", .kind = K::TabSheet, .parent = Ctl::PageControl,
         .caption = "伝言", .imageIndex = 0},
        {.id = Ctl::tshCharacter, .name = "tshCharacter", .kind = K::TabSheet, .parent = Ctl::PageControl,
         .caption = "キャラクター", .imageIndex = 3},
        {.id = Ctl::tshAbout, .name = "tshAbout", .kind = K::TabSheet, .parent = Ctl::PageControl,
         .caption = "バージョン情報", .imageIndex = 1},

        // General tab.
        {.id = Ctl::rdgBack, .name = "rdgBack", .kind = K::RadioGroup, .parent = Ctl::tshGeneral,
         .bounds = backGroup, .caption = "背景", .hint = "背景を設定します。", .tabStop = true,
         .items = BackgroundListNames(reduced)},
        {.id = Ctl::rdgUpdown, .name = "rdgUpdown", .kind = K::RadioGroup, .parent = Ctl::tshGeneral,
         .bounds = {160, 8, 113, 105}, .caption = "上下の動き", .hint = "キャラクターの上下の動きを設定します。",
         .tabStop = true, .items = {"降ってくる", "浮いてくる", "両方"}},
        {.id = Ctl::rdgLR, .name = "rdgLR", .kind = K::RadioGroup, .parent = Ctl::tshGeneral,
         .bounds = {296, 8, 113, 105}, .caption = "左右の動き", .hint = "キャラクターの左右の動きを設定します。",
         .tabStop = true, .items = {"左へ流れる", "右へ流れる", "両方"}},
        {.id = Ctl::lblUpdownSpeed, .name = "lblUpdownSpeed", .kind = K::Label, .parent = Ctl::tshGeneral,
         .bounds = {160, 128}, .caption = "上下のスピード(&V):"},
        {.id = Ctl::trkUpdownSpeed, .name = "trkUpdownSpeed", .kind = K::TrackBar, .parent = Ctl::tshGeneral,
         .bounds = {160, 152, 97, 41}, .tabStop = true, .range = {0, 100, 20}},
        {.id = Ctl::lblUpdownSpeedValue, .name = "lblUpdownSpeedValue", .kind = K::Label,
         .parent = Ctl::tshGeneral, .bounds = {257, 155}, .caption = "30"},
        {.id = Ctl::lblLeftRightSpeed, .name = "lblLeftRightSpeed", .kind = K::Label, .parent = Ctl::tshGeneral,
         .bounds = {292, 128}, .caption = "左右のスピード(&H):"},
        {.id = Ctl::trkLRSpeed, .name = "trkLRSpeed", .kind = K::TrackBar, .parent = Ctl::tshGeneral,
         .bounds = {280, 152, 97, 41}, .tabStop = true, .range = {0, 100, 20}},
        {.id = Ctl::lblLRSpeedValue, .name = "lblLRSpeedValue", .kind = K::Label, .parent = Ctl::tshGeneral,
         .bounds = {384, 155}, .caption = "20"},
        // Under the motion settings, its bottom level with the full build's background group.
        {.id = Ctl::chkEveryMonitor, .name = "chkEveryMonitor", .kind = K::CheckBox, .parent = Ctl::tshGeneral,
         .bounds = {160, 200, 249, 17}, .caption = "すべてのモニターに表示する(&A)",
         .hint = "すべてのモニターにそれぞれキャラクターを表示します。", .tabStop = true},

        // Message tab, in its tab order.
        {.id = Ctl::chkMessage, .name = "chkMessage", .kind = K::CheckBox, .parent = Ctl::tshMessage,
         .bounds = {16, 8, 185, 17}, .caption = "伝言メッセージを表示する(&M)", .tabStop = true},
        {.id = Ctl::lblMessage, .name = "lblMessage", .kind = K::Label, .parent = Ctl::tshMessage,
         .bounds = {32, 34}, .caption = "伝言(&X):"},
        {.id = Ctl::edtMessage, .name = "edtMessage", .kind = K::Edit, .parent = Ctl::tshMessage,
         .bounds = {80, 30, 177, 20}, .caption = "Fluttons! Saver", .tabStop = true},
        {.id = Ctl::chkIsMessageFront, .name = "chkIsMessageFront", .kind = K::CheckBox,
         .parent = Ctl::tshMessage, .bounds = {272, 32, 105, 17}, .caption = "前面に表示(&R)",
         .hint = "伝言をキャラクターより前面に表示します。", .tabStop = true},
        {.id = Ctl::lblFont, .name = "lblFont", .kind = K::Label, .parent = Ctl::tshMessage, .bounds = {32, 98},
         .caption = "フォント:"},
        {.id = Ctl::btnFont, .name = "btnFont", .kind = K::Button, .parent = Ctl::tshMessage,
         .bounds = {80, 92, 65, 25}, .caption = "変更(F)...", .tabStop = true},
        {.id = Ctl::lblBackground, .name = "lblBackground", .kind = K::Label, .parent = Ctl::tshMessage,
         .bounds = {176, 62}, .caption = "背景色:"},
        {.id = Ctl::btnBackground, .name = "btnBackground", .kind = K::ColorButton, .parent = Ctl::tshMessage,
         .bounds = {288, 56, 81, 25}, .caption = "■変更(&B)...", .hint = "文字の背景の色を指定します。",
         .tabStop = true},
        {.id = Ctl::lblFontColor, .name = "lblFontColor", .kind = K::Label, .parent = Ctl::tshMessage,
         .bounds = {32, 62}, .caption = "文字色:"},
        {.id = Ctl::btnFontColor, .name = "btnFontColor", .kind = K::ColorButton, .parent = Ctl::tshMessage,
         .bounds = {80, 56, 81, 25}, .caption = "■変更(&C)...", .hint = "文字の色を指定します。", .tabStop = true},
        {.id = Ctl::lblFontName, .name = "lblFontName", .kind = K::Label, .parent = Ctl::tshMessage,
         .bounds = {152, 98}, .caption = "FontName, xxpt"},
        {.id = Ctl::lblMessageSample, .name = "lblMessageSample", .kind = K::Label, .parent = Ctl::tshMessage,
         .bounds = {8, 122}, .caption = "サンプル:"},
        {.id = Ctl::pnlSample, .name = "pnlSample", .kind = K::Panel, .parent = Ctl::tshMessage,
         .bounds = {8, 136, 438, 149}, .caption = "サンプル", .anchors = kAnchorAll},
        {.id = Ctl::chkTransparent, .name = "chkTransparent", .kind = K::CheckBox, .parent = Ctl::tshMessage,
         .bounds = {224, 60, 65, 17}, .caption = "透明(&T)", .hint = "文字の背景を透明にします。", .tabStop = true},

        // Character tab, in its tab order.
        {.id = Ctl::lblCharType, .name = "lblCharType", .kind = K::Label, .parent = Ctl::tshCharacter,
         .bounds = {8, 8}, .caption = "登場するキャラクター(&C):"},
        {.id = Ctl::CheckList1, .name = "CheckList1", .kind = K::CheckList, .parent = Ctl::tshCharacter,
         .bounds = {8, 24, 185, 265}, .hint = "チェックしたキャラクターのみスクリーンセーバーで登場します。",
         .tabStop = true,
         .items = std::vector<std::string>(CharacterListNames().begin(), CharacterListNames().end())},
        {.id = Ctl::btnRecommendation, .name = "btnRecommendation", .kind = K::Button,
         .parent = Ctl::tshCharacter, .bounds = {208, 24, 75, 25}, .caption = "おすすめ(&R)",
         .hint = kCharacterHint, .tabStop = true},
        {.id = Ctl::lblCharNum, .name = "lblCharNum", .kind = K::Label, .parent = Ctl::tshCharacter,
         .bounds = {208, 96}, .caption = "キャラクターの数(&N):"},
        {.id = Ctl::trkCharNum, .name = "trkCharNum", .kind = K::TrackBar, .parent = Ctl::tshCharacter,
         .bounds = {208, 112, 174, 45}, .hint = "画面内のキャラクターの総数です。", .tabStop = true,
         .range = {0, 1000, 100}},
        {.id = Ctl::btnShowaMoji, .name = "btnShowaMoji", .kind = K::Button, .parent = Ctl::tshCharacter,
         .bounds = {208, 56, 75, 25}, .caption = "昭和文字(&S)", .hint = kCharacterHint, .tabStop = true},
        {.id = Ctl::lblNum, .name = "lblNum", .kind = K::Label, .parent = Ctl::tshCharacter,
         .bounds = {384, 120}, .caption = "100"},

        // About tab.
        {.id = Ctl::lblVersion, .name = "lblVersion", .kind = K::Label, .parent = Ctl::tshAbout,
         .bounds = {32, 32}, .caption = "Fluttons! Saver ver"},
        {.id = Ctl::lblNotice, .name = "lblNotice", .kind = K::Label, .parent = Ctl::tshAbout,
         .bounds = {32, 64}, .caption = kAuthorshipNotice},
        {.id = Ctl::lblTimesOfBoot, .name = "lblTimesOfBoot", .kind = K::Label, .parent = Ctl::tshAbout,
         .bounds = {32, 88}, .caption = "起動回数: X回", .hint = "今までこのスクリーンセーバーが起動した回数です。"},
        {.id = Ctl::lblURL, .name = "lblURL", .kind = K::Link, .parent = Ctl::tshAbout,
         .bounds = {24, 120, 417, 18}, .caption = kHomepageUrl, .hint = "Go to Our site!", .tabStop = true},
        {.id = Ctl::imgLogo, .name = "imgLogo", .kind = K::Icon, .parent = Ctl::tshAbout,
         .bounds = {216, 32, 32, 32}, .hint = "Pi!", .resource = "MAINICON"},
        {.id = Ctl::Image1, .name = "Image1", .kind = K::Icon, .parent = Ctl::tshAbout,
         .bounds = {272, 32, 32, 32}, .hint = "Pi!", .resource = "AboutIcon"},

        // The buttons below the pages.
        {.id = Ctl::btnDefault, .name = "btnDefault", .kind = K::Button, .parent = Ctl::Form,
         .bounds = {8, 346, 73, 25}, .caption = "初期値(&D)", .hint = "設定値をインストール時の状態に戻します。",
         .tabStop = true, .anchors = kAnchorLeft | kAnchorBottom},
        {.id = Ctl::btnOK, .name = "btnOK", .kind = K::Button, .parent = Ctl::Form, .bounds = {320, 346, 73, 25},
         .caption = "OK", .hint = "変更内容をを保存します。", .tabStop = true,
         .anchors = kAnchorRight | kAnchorBottom},
        {.id = Ctl::btnCancel, .name = "btnCancel", .kind = K::Button, .parent = Ctl::Form,
         .bounds = {400, 346, 73, 25}, .caption = "キャンセル", .hint = "変更内容をを保存しません。", .tabStop = true,
         .anchors = kAnchorRight | kAnchorBottom},
    };
}

}  // namespace

const std::vector<FormRow>& OptDialogForm(bool reduced) {
    static const std::vector<FormRow> kFull = MakeForm(false);
    static const std::vector<FormRow> kReduced = MakeForm(true);
    return reduced ? kReduced : kFull;
}

const FormRow& FormRowOf(const std::vector<FormRow>& form, Ctl id) {
    for (const FormRow& row : form) {
        if (row.id == id) return row;
    }
    throw std::out_of_range("no such control in the form");
}

int ScaleToDpi(int pixels, int dpi) {
    const long long product = static_cast<long long>(pixels) * dpi;
    const long long half = kFormDesignDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kFormDesignDpi : -((-product + half) / kFormDesignDpi));
}

FormRect ScaledRect(const FormRect& designed, int dpi) {
    const int x = ScaleToDpi(designed.x, dpi);
    const int y = ScaleToDpi(designed.y, dpi);
    return {x, y, ScaleToDpi(designed.x + designed.w, dpi) - x, ScaleToDpi(designed.y + designed.h, dpi) - y};
}

std::vector<FormRect> RadioItemRects(const FormRect& group, int itemCount, int fontHeight, int dpi) {
    std::vector<FormRect> rects;
    if (itemCount <= 0) return rects;
    const int area = group.h - fontHeight - ScaleToDpi(5, dpi);
    const int itemHeight = area / itemCount;
    const int top = fontHeight + ScaleToDpi(1, dpi) + (area % itemCount) / 2;
    const int left = ScaleToDpi(8, dpi);
    for (int i = 0; i < itemCount; ++i) {
        rects.push_back({left, top + i * itemHeight, group.w - ScaleToDpi(10, dpi), itemHeight});
    }
    return rects;
}

FormRect Anchored(const FormRect& designed, unsigned anchors, int dx, int dy) {
    FormRect r = designed;
    auto follow = [](int& position, int& size, bool nearSide, bool farSide, int delta) {
        if (nearSide && farSide) {
            size += delta;
        } else if (farSide) {
            position += delta;
        } else if (!nearSide) {
            position += delta / 2;  // anchored to neither side: stays centred
        }
    };
    follow(r.x, r.w, anchors & kAnchorLeft, anchors & kAnchorRight, dx);
    follow(r.y, r.h, anchors & kAnchorTop, anchors & kAnchorBottom, dy);
    return r;
}

}  // namespace flutt
