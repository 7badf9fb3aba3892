#include "linux/TextLayout.h"

#include <algorithm>

namespace flutt::hack {
namespace {

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string result;
    result.reserve(text.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            result.push_back(lead);
            ++i;
            continue;
        }
        // The sequence's length and the range its second byte must lie in,
        // which rules out over-long forms, surrogates and values past U+10FFFF.
        int length = 0;
        unsigned char low = 0x80, high = 0xBF;
        char32_t value = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            value = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            value = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            value = lead & 0x07;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        }
        std::size_t used = 1;
        bool complete = length > 0;
        for (int k = 1; complete && k < length; ++k) {
            const unsigned char b = i + used < size ? bytes[i + used] : 0;
            const bool fits = k == 1 ? b >= low && b <= high : IsContinuation(b);
            if (!fits || i + used >= size) {
                complete = false;
                break;
            }
            value = value << 6 | (b & 0x3F);
            ++used;
        }
        result.push_back(complete ? value : kReplacementCharacter);
        i += used;
    }
    return result;
}

std::u32string MessageLine(std::string_view utf8) {
    std::u32string line = DecodeUtf8(utf8);
    std::erase_if(line, [](char32_t c) { return c == U'\r' || c == U'\n'; });
    return line;
}

LineLayout LayOutLine(std::span<const int> advances, int height, ScreenSize screen, int reach) {
    LineLayout layout;
    for (int advance : advances) layout.width += std::max(advance, 0);
    const std::int64_t w = std::max<std::int64_t>(layout.width, 1);
    layout.height = std::max(height, 1);
    layout.left = (std::int64_t(screen.W) - w) / 2;
    layout.top = (std::int64_t(screen.H) - layout.height) / 2;
    const std::int64_t right = std::min<std::int64_t>(layout.left + w, screen.W);
    const std::int64_t bottom = std::min<std::int64_t>(layout.top + layout.height, screen.H);
    layout.visible = {int(std::max<std::int64_t>(layout.left, 0)), int(std::max<std::int64_t>(layout.top, 0)),
                      int(std::max<std::int64_t>(right, 0)), int(std::max<std::int64_t>(bottom, 0))};
    if (layout.visible.Empty()) return layout;

    const std::int64_t from = std::int64_t(layout.visible.left) - reach;
    const std::int64_t to = std::int64_t(layout.visible.right) + reach;
    std::int64_t pen = layout.left;
    for (std::size_t i = 0; i < advances.size() && pen < to; ++i) {
        const std::int64_t next = pen + std::max(advances[i], 0);
        if (next > from || pen >= from) layout.drawn.push_back({i, int(pen - layout.visible.left)});
        pen = next;
    }
    return layout;
}

}  // namespace flutt::hack
