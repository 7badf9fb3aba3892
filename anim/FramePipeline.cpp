#include "anim/FramePipeline.h"

#include <algorithm>

namespace flutt {
namespace {

// Above this share of the frame in changed tiles, rebuilding the frame whole
// (one copy of the background, one paste per character) costs less than tile
// by tile, where characters across tile rows are pasted in pieces. Measured
// on the 32-bit build under Wine at 1920 x 1080: the two cost the same at
// about a third of the frame (300 characters); at 56 % tiles cost 1.8 times
// as much.
constexpr long long kWholeRebuildPercent = 40;

}  // namespace

long long FrameChanges::Area() const {
    long long area = 0;
    for (const PixelRect& r : rects) area += r.Area();
    return area;
}

FramePipeline::FramePipeline(PixelView frame, ConstPixelView background, int scale)
    : frame_(frame),
      background_(background),
      scale_(scale),
      columns_((frame.width + kTileW - 1) / kTileW),
      rows_((frame.height + kTileH - 1) / kTileH),
      dirty_(std::size_t(columns_) * rows_),
      tileStart_(std::size_t(columns_) * rows_ + 1) {}

PixelRect FramePipeline::CellOf(const moving& c) const {
    const int k = scale_;
    return Intersect(PixelRect{k * c.x, k * c.y, k * (c.x + c.w), k * (c.y + c.h)}, frame_.Bounds());
}

void FramePipeline::Paste(const moving& c, const PixelRect& clip) const {
    PasteMaskedScaled(frame_, clip, c.image->Pixels(), c.frame * c.w, 0, c.w, c.h, scale_ * c.x, scale_ * c.y, scale_);
}

const FrameChanges& FramePipeline::Step(std::vector<moving>& characters, ScreenSize screen) {
    for (moving& c : characters) c.move(screen);
    changes_.rects.clear();
    changes_.whole = false;
    if (rebuildWhole_ || drawn_.size() != characters.size()) {
        RebuildAll(characters);
        return changes_;
    }
    std::fill(dirty_.begin(), dirty_.end(), std::uint8_t{0});
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const PixelRect now = CellOf(characters[i]);
        if (now == drawn_[i]) continue;
        MarkTiles(drawn_[i]);
        MarkTiles(now);
        drawn_[i] = now;
    }
    const long long dirtyTiles = std::count(dirty_.begin(), dirty_.end(), std::uint8_t{1});
    if (dirtyTiles * kTileW * kTileH * 100 > kWholeRebuildPercent * frame_.width * frame_.height) {
        RebuildAll(characters);
    } else if (dirtyTiles > 0) {
        RebuildTiles(characters);
    }
    return changes_;
}

void FramePipeline::MarkTiles(const PixelRect& r) {
    if (r.Empty()) return;
    for (int ty = r.top / kTileH; ty <= (r.bottom - 1) / kTileH; ++ty)
        for (int tx = r.left / kTileW; tx <= (r.right - 1) / kTileW; ++tx) dirty_[std::size_t(ty) * columns_ + tx] = 1;
}

void FramePipeline::RebuildAll(const std::vector<moving>& characters) {
    // Band by band from the top: a band's background, then every character
    // reaching into it, in table order. Each pixel gets the same operations
    // in the same order as copying the whole background first and pasting
    // every character over it; but a band stays in the processor's cache
    // while the characters land on it, where a full-screen copy first would
    // have pushed the frame's first rows out of it before the first paste.
    const int bands = (frame_.height + kBandH - 1) / kBandH;
    bandStart_.assign(std::size_t(bands) + 1, 0);
    drawn_.resize(characters.size());
    auto forBands = [&](const PixelRect& r, auto&& visit) {
        if (r.Empty()) return;
        for (int b = r.top / kBandH; b <= (r.bottom - 1) / kBandH; ++b) visit(std::size_t(b));
    };
    for (std::size_t i = 0; i < characters.size(); ++i) {
        drawn_[i] = CellOf(characters[i]);
        forBands(drawn_[i], [&](std::size_t b) { ++bandStart_[b + 1]; });
    }
    for (std::size_t b = 1; b < bandStart_.size(); ++b) bandStart_[b] += bandStart_[b - 1];
    bandMembers_.resize(std::size_t(bandStart_.back()));
    runMembers_.assign(bandStart_.begin(), bandStart_.end() - 1);
    for (std::size_t i = 0; i < characters.size(); ++i) {
        forBands(drawn_[i], [&](std::size_t b) { bandMembers_[std::size_t(runMembers_[b]++)] = int(i); });
    }
    for (int b = 0; b < bands; ++b) {
        const PixelRect band = Intersect(PixelRect{0, b * kBandH, frame_.width, (b + 1) * kBandH}, frame_.Bounds());
        CopyPixels(frame_, background_, band);
        for (int k = bandStart_[std::size_t(b)]; k < bandStart_[std::size_t(b) + 1]; ++k) {
            Paste(characters[std::size_t(bandMembers_[std::size_t(k)])], band);
        }
    }
    changes_.whole = true;
    changes_.rects.assign(1, frame_.Bounds());
    rebuildWhole_ = false;
}

void FramePipeline::RebuildTiles(const std::vector<moving>& characters) {
    // The characters in each changed tile, in table order (a counting sort).
    std::fill(tileStart_.begin(), tileStart_.end(), 0);
    auto forTiles = [&](const PixelRect& r, auto&& visit) {
        if (r.Empty()) return;
        for (int ty = r.top / kTileH; ty <= (r.bottom - 1) / kTileH; ++ty)
            for (int tx = r.left / kTileW; tx <= (r.right - 1) / kTileW; ++tx) {
                const std::size_t t = std::size_t(ty) * columns_ + tx;
                if (dirty_[t]) visit(t);
            }
    };
    for (const PixelRect& r : drawn_) forTiles(r, [&](std::size_t t) { ++tileStart_[t + 1]; });
    for (std::size_t t = 1; t < tileStart_.size(); ++t) tileStart_[t] += tileStart_[t - 1];
    tileMembers_.resize(std::size_t(tileStart_.back()));
    std::vector<int>& next = runMembers_;  // reused below for the runs
    next.assign(tileStart_.begin(), tileStart_.end() - 1);
    for (std::size_t i = 0; i < drawn_.size(); ++i) {
        forTiles(drawn_[i], [&](std::size_t t) { tileMembers_[std::size_t(next[t]++)] = int(i); });
    }

    // Runs of changed tiles along each tile row: background, then the
    // characters in them, each run at once. A run that continues one of the
    // previous row at the same columns extends its rectangle.
    // `open`: the rectangles that reach down to this tile row, left to right.
    std::vector<std::size_t>& open = openRects_;
    std::vector<std::size_t>& reaching = reachingRects_;
    open.clear();
    for (int ty = 0; ty < rows_; ++ty) {
        const std::size_t rowBase = std::size_t(ty) * columns_;
        std::size_t k = 0;
        reaching.clear();
        for (int tx = 0; tx < columns_;) {
            if (!dirty_[rowBase + tx]) {
                ++tx;
                continue;
            }
            int end = tx;
            while (end < columns_ && dirty_[rowBase + end]) ++end;
            const PixelRect run = Intersect(PixelRect{tx * kTileW, ty * kTileH, end * kTileW, (ty + 1) * kTileH},
                                            frame_.Bounds());
            CopyPixels(frame_, background_, run);
            runMembers_.clear();
            for (int t = tx; t < end; ++t) {
                runMembers_.insert(runMembers_.end(), tileMembers_.begin() + tileStart_[rowBase + t],
                                   tileMembers_.begin() + tileStart_[rowBase + t + 1]);
            }
            if (end - tx > 1) {
                std::sort(runMembers_.begin(), runMembers_.end());
                runMembers_.erase(std::unique(runMembers_.begin(), runMembers_.end()), runMembers_.end());
            }
            for (int i : runMembers_) Paste(characters[std::size_t(i)], run);

            while (k < open.size() && changes_.rects[open[k]].left < run.left) ++k;
            if (k < open.size() && changes_.rects[open[k]].left == run.left &&
                changes_.rects[open[k]].right == run.right) {
                changes_.rects[open[k]].bottom = run.bottom;
                reaching.push_back(open[k]);
            } else {
                reaching.push_back(changes_.rects.size());
                changes_.rects.push_back(run);
            }
            tx = end;
        }
        open.swap(reaching);
    }
}

}  // namespace flutt
