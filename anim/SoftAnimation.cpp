#include "anim/SoftAnimation.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "anim/Background.h"
#include "platform/soft/SoftStretch.h"

namespace flutt {
namespace {

std::uint32_t Blend(std::uint32_t over, std::uint32_t under, std::uint32_t alpha) {
    std::uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t o = over >> shift & 0xFF, u = under >> shift & 0xFF;
        result |= ((o * alpha + u * (255 - alpha) + 127) / 255) << shift;
    }
    return result;
}

}  // namespace

void DrawMessageLayer(SoftSurface& surface, const MessageLayer& m, const PixelRect& clip) {
    const PixelRect area = Intersect(Intersect(PixelRect{m.x, m.y, m.x + m.w, m.y + m.h}, clip),
                                     PixelRect{0, 0, surface.Width(), surface.Height()});
    const int left = area.left, top = area.top, right = area.right, bottom = area.bottom;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const std::uint32_t alpha = m.coverage[std::size_t(y - m.y) * std::size_t(m.w) + std::size_t(x - m.x)];
            const std::uint32_t under = m.opaque ? m.boxColour : surface.Pixel(x, y);
            surface.SetPixel(x, y, alpha ? Blend(m.textColour, under, alpha) : under);
        }
    }
}

SoftAnimation::SoftAnimation(SaverSettings& settings, PictureSource pictures)
    : settings_(settings), pictures_(std::move(pictures)) {}

std::unique_ptr<SoftSurface> SoftAnimation::Picture(const std::string& name) const {
    std::optional<Image32> image = pictures_(name);
    if (!image) throw std::runtime_error("picture " + name + " is missing");
    return std::make_unique<SoftSurface>(image->width, image->height, std::move(image->pixels));
}

void SoftAnimation::LoadSheets() {
    for (int i = 0; i < kCharacterCount; ++i) {
        imgChar[i] = Picture("imgChar" + std::to_string(i));
        CharImage[i] = imgChar[i].get();
    }
}

void SoftAnimation::CreateCharacters(ScreenSize screen) {
    Chars = MakeCharacters(CharImage, settings_, screen);
    population_ = screen;
}

void SoftAnimation::ComposeBackground(ScreenSize screen) {
    // The random entry is resolved once; a later composition (the window was
    // resized) keeps the background chosen.
    settings_.back2 = ResolveBackgroundIndex(settings_.back2, /*reduced=*/false);
    const BackgroundEntry entry = BackgroundTable(false)[std::size_t(settings_.back2)];
    imgBG = std::make_unique<SoftSurface>(screen.W, screen.H);
    if (entry.fill == BackgroundFill::DesktopCopy) {
        if (desktop_) {
            const SoftSurface desktop(desktop_->width, desktop_->height, desktop_->pixels);
            imgBG->Transfer(0, 0, screen.W, screen.H, desktop, 0, 0, RasterOp::SrcCopy);
        }
    } else {
        const auto picture = Picture("imgBack" + std::to_string(entry.picture));
        if (entry.fill == BackgroundFill::Stretch) {
            StretchBlackOnWhite(*imgBG, screen.W, screen.H, *picture);
        } else {
            TileSurface(*imgBG, *picture);
        }
    }
    settings_.IsBackgroundComposed = true;
    if (settings_.IsShownMessage && !settings_.IsMessageFront && message_) {
        DrawMessageLayer(*imgBG, *message_, PixelRect{0, 0, screen.W, screen.H});
    }
}

const FrameChanges& SoftAnimation::DrawFrame(ScreenSize screen) {
    // A window that took another size gets the population a start at that
    // size would get: placed over all of it, as the rules place them.
    if (population_ && (population_->W != screen.W || population_->H != screen.H) && screen.W > 0 && screen.H > 0) {
        CreateCharacters(screen);
    }
    if (!imgBG || imgBG->Width() != screen.W || imgBG->Height() != screen.H) {
        ComposeBackground(screen);
        FrameBitmap = std::make_unique<SoftSurface>(screen.W, screen.H);
        pipeline_ = std::make_unique<FramePipeline>(FrameBitmap->Pixels(), std::as_const(*imgBG).Pixels());
    }
    const FrameChanges& changes = pipeline_->Step(Chars, screen);
    if (settings_.IsShownMessage && settings_.IsMessageFront && message_) {
        for (const PixelRect& r : changes.rects) DrawMessageLayer(*FrameBitmap, *message_, r);
    }
    return changes;
}

}  // namespace flutt
