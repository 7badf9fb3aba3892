// libFuzzer target for the BMP decoder: any bytes must either decode into a
// picture of consistent size or be refused, never read or write out of
// bounds (the build adds AddressSanitizer and UndefinedBehaviorSanitizer).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/BmpImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto image = flutt::DecodeBmp(std::span(data, size));
    if (image && image->pixels.size() != std::size_t(image->width) * std::size_t(image->height)) std::abort();
    return 0;
}
