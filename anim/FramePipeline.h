// The per-tick frame built on pixel buffers, at a cost that follows what
// moves: each step moves the characters and rebuilds the frame only where a
// character left or entered, pixel for pixel what rebuilding it whole gives
// (the background copied, then every character pasted in table order).
//
// A front end, once per tick:
//   1. const FrameChanges& changes = pipeline.Step(characters, screen);
//   2. draws what goes over the characters (the message in front), clipped to
//      `changes`: a step restores only the changed parts, so whatever was
//      drawn over the rest of the frame is still there;
//   3. presents `changes` (all of the frame when `whole` is set).
// Between ticks it may present the whole frame at any time (an uncovered
// window).
//
// At a scale k above 1 (a high-DPI screen) the characters move on a logical
// screen k times smaller than the frame; each is pasted k times larger, at k
// times its position, through the same changed-rectangle tiles. Frame() is the pixels to present. The front end must flush its own
// pending drawing into the frame and background before a step.
#pragma once

#include <cstdint>
#include <vector>

#include "anim/Moving.h"
#include "platform/soft/Pixels.h"

namespace flutt {

// What one step changed: the whole frame, or the rectangles listed, which
// lie inside the frame, do not overlap, and run in rows from the top.
struct FrameChanges {
    bool whole = false;
    std::vector<PixelRect> rects;

    long long Area() const;
};

class FramePipeline {
public:
    // `frame` and `background`: buffers of the same size that outlive the
    // pipeline. The background is not changed; the frame is the pipeline's.
    // `scale`: k, the frame's pixels per logical pixel.
    FramePipeline(PixelView frame, ConstPixelView background, int scale = 1);

    // One tick: moves every character in table order on the logical screen
    // `screen` (its wrap rules), then rebuilds the frame where something
    // changed. The first step rebuilds and reports the whole frame; so does
    // any step that changes more than about 40 % of it, where rebuilding it
    // whole is cheaper. `characters` is the same table at every step.
    const FrameChanges& Step(std::vector<moving>& characters, ScreenSize screen);

    PixelView Frame() const { return frame_; }
    const FrameChanges& Changes() const { return changes_; }

    // Tiles of the change grid, in pixels: changes are reported in whole
    // tiles (cut at the frame's edges).
    static constexpr int kTileW = 16;
    static constexpr int kTileH = 16;
    // Rows of the frame rebuilt at once when it is rebuilt whole.
    static constexpr int kBandH = 16;

private:
    PixelRect CellOf(const moving& c) const;
    void Paste(const moving& c, const PixelRect& clip) const;
    void RebuildAll(const std::vector<moving>& characters);
    void RebuildTiles(const std::vector<moving>& characters);
    void MarkTiles(const PixelRect& r);

    PixelView frame_;
    ConstPixelView background_;
    int scale_;
    int columns_;
    int rows_;
    bool rebuildWhole_ = true;
    FrameChanges changes_;
    std::vector<PixelRect> drawn_;           // each character's cell in the frame as last drawn
    std::vector<std::uint8_t> dirty_;        // per tile
    std::vector<int> tileStart_;             // per tile: its characters in tileMembers_
    std::vector<int> tileMembers_;
    std::vector<int> runMembers_;
    std::vector<int> bandStart_;             // per band: its characters in bandMembers_
    std::vector<int> bandMembers_;
    std::vector<std::size_t> openRects_;
    std::vector<std::size_t> reachingRects_;
};

}  // namespace flutt
