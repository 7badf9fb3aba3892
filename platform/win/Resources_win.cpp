#include "platform/win/Resources_win.h"

#include <stdexcept>

#include "platform/BmpImage.h"
#include "platform/win/Text_win.h"

namespace flutt::win {

std::span<const std::uint8_t> ResourceBytes(HINSTANCE instance, const wchar_t* name) {
    HRSRC info = ::FindResourceW(instance, name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!info) return {};
    HGLOBAL data = ::LoadResource(instance, info);  // resources live as long as the module: nothing to free
    const void* bytes = data ? ::LockResource(data) : nullptr;
    if (!bytes) return {};
    return {static_cast<const std::uint8_t*>(bytes), ::SizeofResource(instance, info)};
}

std::unique_ptr<GdiSurface> LoadPicture(HINSTANCE instance, const wchar_t* name) {
    const auto image = DecodeBmp(ResourceBytes(instance, name));
    if (!image) throw std::runtime_error("画像 " + Narrow(name) + " を読み込めません");
    return std::make_unique<GdiSurface>(*image);
}

}  // namespace flutt::win
