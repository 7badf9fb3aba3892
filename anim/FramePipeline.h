// The per-tick frame built on pixel buffers, at a cost that follows what
// moves: each step moves the characters and rebuilds the frame only where a
// character left or entered (the cells it was drawn in and is drawn in now),
// pixel for pixel what rebuilding it whole gives (the background copied,
// then every character pasted in table order).
//
// A front end, once per tick:
//   1. const FrameChanges& changes = pipeline.Step(characters, screen);
//   2. draws what goes over the characters (the message in front), clipped to
//      `changes`: a step restores only the changed parts, so whatever was
//      drawn over the rest of the frame is still there;
//   3. presents `changes.boxes` (all of the frame when `whole` is set).
// Between ticks it may present the whole frame at any time (an uncovered
// window).
//
// At a scale k above 1 (a high-DPI screen) the characters move on a logical
// screen k times smaller than the frame; each is pasted k times larger, at k
// times its position. Frame() is the pixels to present. The front end must
// flush its own pending drawing into the frame and background before a step.
#pragma once

#include <cstdint>
#include <vector>

#include "anim/Moving.h"
#include "anim/RectUnion.h"
#include "platform/soft/Pixels.h"

namespace flutt {

// What one step changed: the whole frame, or the rectangles listed, which
// lie inside the frame, do not overlap, and come by top, then by left.
// `boxes` are fewer rectangles to present them by: a box around each moved
// character's old and new cells where the two overlap or touch, else each
// cell. They lie inside the frame and cover `rects`, and may overlap each
// other and cover a few pixels more, which hold what was presented before.
struct FrameChanges {
    bool whole = false;
    std::vector<PixelRect> rects;
    std::vector<PixelRect> boxes;

    long long Area() const;
};

class FramePipeline {
public:
    // `frame` and `background`: buffers of the same width that outlive the
    // pipeline. The background is as high as the frame, or a band whose rows
    // repeat down it (a tiled picture needs no more than one row of tiles):
    // frame row y shows background row y mod its height. The background is
    // not changed; the frame is the pipeline's.
    // `scale`: k, the frame's pixels per logical pixel.
    FramePipeline(PixelView frame, ConstPixelView background, int scale = 1);

    // One tick: moves every character in table order on the logical screen
    // `screen` (its wrap rules), then rebuilds the frame where something
    // changed. The first step rebuilds and reports the whole frame; so does
    // any step that changes more than about 15 % of it, where rebuilding it
    // whole is cheaper. `characters` is the same table at every step.
    const FrameChanges& Step(std::vector<moving>& characters, ScreenSize screen);

    PixelView Frame() const { return frame_; }
    const FrameChanges& Changes() const { return changes_; }

    // Rows of the frame rebuilt at once when it is rebuilt whole.
    static constexpr int kBandH = 16;
    // Squares of the grid that finds the characters over a changed part.
    static constexpr int kBinSize = 64;

private:
    PixelRect CellOf(const moving& c) const;
    void Paste(const moving& c, const PixelRect& clip) const;
    void RebuildAll(const std::vector<moving>& characters);
    void RebuildChanged(const std::vector<moving>& characters);
    void SortIntoBins();

    PixelView frame_;
    ConstPixelView background_;
    int scale_;
    int binColumns_;
    int binRows_;
    bool rebuildWhole_ = true;
    FrameChanges changes_;
    std::vector<PixelRect> drawn_;    // each character's cell in the frame as last drawn
    std::vector<PixelRect> touched_;  // this step's cells that characters left or entered
    RectUnion union_;
    std::vector<int> binStart_;       // per bin: the characters over it in binMembers_
    std::vector<int> binMembers_;
    std::vector<int> bandStart_;      // per band: its characters in bandMembers_
    std::vector<int> bandMembers_;
    std::vector<int> members_;        // the characters over one changed rectangle
};

}  // namespace flutt
