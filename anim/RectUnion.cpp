#include "anim/RectUnion.h"

#include <algorithm>

namespace flutt {

void RectUnion::Of(const std::vector<PixelRect>& rects, std::vector<PixelRect>& out) {
    out.clear();
    edges_.clear();
    byTop_.clear();
    for (std::size_t i = 0; i < rects.size(); ++i) {
        if (rects[i].Empty()) continue;
        edges_.push_back(rects[i].top);
        edges_.push_back(rects[i].bottom);
        byTop_.push_back(int(i));
    }
    std::sort(edges_.begin(), edges_.end());
    edges_.erase(std::unique(edges_.begin(), edges_.end()), edges_.end());
    std::sort(byTop_.begin(), byTop_.end(), [&](int a, int b) { return rects[a].top < rects[b].top; });

    // Between two neighbouring edges no rectangle starts or ends: the rows
    // there share their spans.
    active_.clear();
    open_.clear();
    std::size_t next = 0;
    const auto byLeft = [&](int a, int b) { return rects[a].left < rects[b].left; };
    for (std::size_t e = 0; e + 1 < edges_.size(); ++e) {
        const int top = edges_[e], bottom = edges_[e + 1];
        std::erase_if(active_, [&](int i) { return rects[i].bottom <= top; });
        for (; next < byTop_.size() && rects[byTop_[next]].top <= top; ++next) {
            active_.insert(std::upper_bound(active_.begin(), active_.end(), byTop_[next], byLeft), byTop_[next]);
        }
        reaching_.clear();
        std::size_t k = 0;
        for (std::size_t a = 0; a < active_.size();) {
            const int left = rects[active_[a]].left;
            int right = rects[active_[a]].right;
            for (++a; a < active_.size() && rects[active_[a]].left <= right; ++a) {
                right = std::max(right, rects[active_[a]].right);
            }
            while (k < open_.size() && out[open_[k]].left < left) ++k;
            if (k < open_.size() && out[open_[k]].left == left && out[open_[k]].right == right) {
                out[open_[k]].bottom = bottom;
                reaching_.push_back(open_[k++]);
            } else {
                reaching_.push_back(out.size());
                out.push_back({left, top, right, bottom});
            }
        }
        open_.swap(reaching_);
    }
}

}  // namespace flutt
