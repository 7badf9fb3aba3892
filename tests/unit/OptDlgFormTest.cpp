#include "dialog/OptDlgForm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

namespace flutt {
namespace {

std::vector<Ctl> TabStopsOn(const std::vector<FormRow>& form, Ctl parent) {
    std::vector<Ctl> stops;
    for (const FormRow& row : form) {
        if (row.parent == parent && row.tabStop) stops.push_back(row.id);
    }
    return stops;
}

TEST(OptDlgFormTest, TabStopsFollowEachPagesTabOrder) {
    for (bool reduced : {false, true}) {
        const auto& form = OptDialogForm(reduced);
        EXPECT_EQ(TabStopsOn(form, Ctl::Form), (std::vector<Ctl>{Ctl::PageControl, Ctl::btnDefault, Ctl::btnOK,
                                                                   Ctl::btnCancel}));
        EXPECT_EQ(TabStopsOn(form, Ctl::tshGeneral),
                  (std::vector<Ctl>{Ctl::rdgBack, Ctl::rdgUpdown, Ctl::rdgLR, Ctl::trkUpdownSpeed, Ctl::trkLRSpeed,
                                    Ctl::chkEveryMonitor}));
        EXPECT_EQ(TabStopsOn(form, Ctl::tshMessage),
                  (std::vector<Ctl>{Ctl::chkMessage, Ctl::edtMessage, Ctl::chkIsMessageFront, Ctl::btnFont,
                                    Ctl::btnBackground, Ctl::btnFontColor, Ctl::chkTransparent}));
        EXPECT_EQ(TabStopsOn(form, Ctl::tshCharacter),
                  (std::vector<Ctl>{Ctl::CheckList1, Ctl::btnRecommendation, Ctl::trkCharNum, Ctl::btnShowaMoji}));
        EXPECT_EQ(TabStopsOn(form, Ctl::tshAbout), (std::vector<Ctl>{Ctl::lblURL}));
    }
}

// The dialog manager sends a label's accelerator to the next tab stop after
// it among its siblings.
TEST(OptDlgFormTest, EachAcceleratorLabelComesRightBeforeTheControlItFocuses) {
    const std::map<Ctl, Ctl> targets = {
        {Ctl::lblUpdownSpeed, Ctl::trkUpdownSpeed}, {Ctl::lblLeftRightSpeed, Ctl::trkLRSpeed},
        {Ctl::lblMessage, Ctl::edtMessage},         {Ctl::lblCharType, Ctl::CheckList1},
        {Ctl::lblCharNum, Ctl::trkCharNum},
    };
    const auto& form = OptDialogForm(false);
    std::set<Ctl> accelerated;
    for (auto it = form.begin(); it != form.end(); ++it) {
        if (it->kind != ControlKind::Label || it->caption.find('&') == std::string::npos) continue;
        accelerated.insert(it->id);
        const auto next = std::find_if(it + 1, form.end(),
                                       [&](const FormRow& r) { return r.parent == it->parent && r.tabStop; });
        ASSERT_NE(next, form.end()) << it->name;
        EXPECT_EQ(next->id, targets.at(it->id)) << it->name << " focuses " << next->name;
    }
    EXPECT_EQ(accelerated.size(), targets.size());
}

// Alt and a letter reach one control only: no two controls of a page, or of
// a page and the frame around it, share an accelerator.
TEST(OptDlgFormTest, NoTwoControlsOfAPageShareAnAccelerator) {
    const auto& form = OptDialogForm(false);
    for (Ctl page : {Ctl::tshGeneral, Ctl::tshMessage, Ctl::tshCharacter, Ctl::tshAbout}) {
        std::map<char, std::string> owners;
        for (const FormRow& row : form) {
            const auto amp = row.caption.find('&');
            if ((row.parent != page && row.parent != Ctl::Form) || amp == std::string::npos) continue;
            const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(row.caption.at(amp + 1))));
            const auto [at, added] = owners.emplace(letter, row.name);
            EXPECT_TRUE(added) << "&" << letter << ": " << at->second << " and " << row.name;
        }
    }
}

TEST(OptDlgFormTest, ParentsComeBeforeTheirChildrenAndEveryControlOnce) {
    for (bool reduced : {false, true}) {
        const auto& form = OptDialogForm(reduced);
        std::set<Ctl> seen;
        for (const FormRow& row : form) {
            EXPECT_TRUE(row.parent == Ctl::Form || seen.count(row.parent)) << row.name;
            EXPECT_TRUE(seen.insert(row.id).second) << row.name;
        }
        EXPECT_EQ(static_cast<int>(seen.size()), kControlCount);
    }
}

TEST(OptDlgFormTest, FrameControlsFitTheClientArea) {
    for (const FormRow& row : OptDialogForm(false)) {
        if (row.parent != Ctl::Form) continue;
        EXPECT_LE(row.bounds.x + row.bounds.w, kFormClientWidth) << row.name;
        EXPECT_LE(row.bounds.y + row.bounds.h, kFormClientHeight) << row.name;
    }
}

TEST(OptDlgFormTest, TheBuildsDifferOnlyInTheBackgroundGroup) {
    const auto& full = OptDialogForm(false);
    const auto& reduced = OptDialogForm(true);
    ASSERT_EQ(full.size(), reduced.size());
    for (std::size_t i = 0; i < full.size(); ++i) {
        if (full[i].id == Ctl::rdgBack) continue;
        EXPECT_EQ(full[i].bounds, reduced[i].bounds) << full[i].name;
        EXPECT_EQ(full[i].items, reduced[i].items) << full[i].name;
    }
    const FormRow& back = FormRowOf(reduced, Ctl::rdgBack);
    EXPECT_EQ(back.bounds, (FormRect{16, 8, 129, 169}));
    EXPECT_EQ(back.items.size(), 7u);
    EXPECT_EQ(FormRowOf(full, Ctl::rdgBack).bounds, (FormRect{16, 8, 137, 209}));
    EXPECT_EQ(FormRowOf(full, Ctl::rdgBack).items.size(), 10u);
}

TEST(OptDlgFormTest, RadioItemsShareTheGroupBelowItsCaption) {
    struct Case {
        FormRect group;
        int count;
    };
    const Case cases[] = {{{16, 8, 137, 209}, 10}, {{16, 8, 129, 169}, 7}, {{160, 8, 113, 105}, 3}};
    for (const Case& c : cases) {
        const auto rects = RadioItemRects(c.group, c.count, 12, 96);
        ASSERT_EQ(static_cast<int>(rects.size()), c.count);
        EXPECT_GT(rects.front().y, 12);  // below the caption
        EXPECT_LE(rects.back().y + rects.back().h, c.group.h - 4);
        for (int i = 0; i < c.count; ++i) {
            EXPECT_EQ(rects[i].x, 8);
            EXPECT_EQ(rects[i].w, c.group.w - 10);
            EXPECT_GE(rects[i].h, 16) << "room for one line of text";
            if (i > 0) {
                EXPECT_EQ(rects[i].y, rects[i - 1].y + rects[i - 1].h);
            }
        }
    }
    EXPECT_EQ(RadioItemRects({0, 0, 137, 209}, 10, 12, 96).front(), (FormRect{8, 14, 127, 19}));
}

TEST(OptDlgFormTest, RectanglesScaleByTheRatioOfTheDpiTo96) {
    struct Case {
        FormRect designed;
        int dpi;
        FormRect expected;
    };
    const Case cases[] = {
        {{8, 346, 73, 25}, 96, {8, 346, 73, 25}},       // 100 %: unchanged
        {{8, 346, 73, 25}, 120, {10, 433, 91, 31}},     // 125 %: edges 10..101.25, 432.5..463.75
        {{8, 346, 73, 25}, 144, {12, 519, 110, 38}},    // 150 %: edges 12..121.5, 519..556.5
        {{8, 346, 73, 25}, 192, {16, 692, 146, 50}},    // 200 %: exactly doubled
        {{8, 346, 73, 25}, 288, {24, 1038, 219, 75}},   // 300 %: exactly tripled
        {{16, 8, 137, 209}, 120, {20, 10, 171, 261}},
        {{257, 155, 0, 0}, 144, {386, 233, 0, 0}},      // a label that fits its caption keeps no size
        {{1, 1, 1, 1}, 144, {2, 2, 1, 1}},              // edges 1.5..3: one pixel wide, not 1.5 rounded up
        {{-1, 0, 3, 0}, 144, {-2, 0, 5, 0}},            // halves round away from zero on both sides
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaledRect(c.designed, c.dpi), c.expected)
            << c.designed.x << "," << c.designed.y << " " << c.designed.w << "x" << c.designed.h << " at " << c.dpi;
    }
    // Adjacent entries stay adjacent at every DPI.
    for (int dpi : {96, 120, 144, 168, 192, 240, 288}) {
        const FormRect left = ScaledRect({0, 0, 37, 10}, dpi);
        const FormRect right = ScaledRect({37, 0, 41, 10}, dpi);
        EXPECT_EQ(left.x + left.w, right.x) << dpi;
        EXPECT_EQ(ScaleToDpi(kFormClientWidth, dpi), ScaledRect({0, 0, kFormClientWidth, 0}, dpi).w) << dpi;
    }
}

TEST(OptDlgFormTest, RadioItemsScaleWithTheDpi) {
    // At 192 DPI the font is 24 pixels: the items start 2 pixels below it and 16 in.
    const auto rects = RadioItemRects(ScaledRect({0, 0, 137, 209}, 192), 10, 24, 192);
    EXPECT_EQ(rects.front(), (FormRect{16, 28, 254, 38}));
    EXPECT_LE(rects.back().y + rects.back().h, 418 - 8);
}

TEST(OptDlgFormTest, AnchorsKeepDistancesToTheirSides) {
    struct Case {
        unsigned anchors;
        FormRect expected;
    };
    const FormRect designed{10, 20, 30, 40};
    const Case cases[] = {
        {kAnchorDefault, {10, 20, 30, 40}},
        {kAnchorAll, {10, 20, 130, 90}},
        {kAnchorRight | kAnchorBottom, {110, 70, 30, 40}},
        {kAnchorLeft | kAnchorBottom, {10, 70, 30, 40}},
        {kAnchorTop, {60, 20, 30, 40}},
    };
    for (const Case& c : cases) EXPECT_EQ(Anchored(designed, c.anchors, 100, 50), c.expected) << c.anchors;
}

}  // namespace
}  // namespace flutt
