// Fuzz target for the texture file reader: the input is a picture file (".ppm" in its binary and text
// forms, or ".bmp"). A picture that decodes must be within the texture limits with every sample present,
// and becomes a texture surface that is freed again. Inputs over 1 MiB are skipped.
#include <cstdint>

#include "host/ddraw/testing.h"
#include "host/rm/texture_file.h"
#include "tests/fuzz/fuzz_support.h"

const char* const fuzz::kPromisesOf = "texture file reader";

namespace {

using fuzz::Require;

constexpr size_t kMaxInput = 1 << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) return 0;
    std::optional<HostRMImage> image = HostRMDecodePicture(data, size);
    if (!image) return 0;
    Require(image->width >= 1 && image->width <= kHostRMImageMaxSide, "width within limits");
    Require(image->height >= 1 && image->height <= kHostRMImageMaxSide, "height within limits");
    Require(image->rgb.size() == size_t(image->width) * image->height * 3, "every sample present");
    HostRMTexture* texture = nullptr;
    Require(HostRMTextureFromImage(*image, &texture) == D3DRM_OK, "texture made");
    Require(texture->Release() == 0, "texture freed");
    Require(HostDDrawLiveObjects().surfaces == 0, "surface freed");
    return 0;
}
