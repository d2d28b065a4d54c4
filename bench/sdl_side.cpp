#include "bench/sdl_side.h"

#include <cstring>

namespace bench {
namespace {

SDL_Surface* SurfaceWith(const Picture& picture, bool keyed, bool runLengths = false) {
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, picture.width, picture.height, 16, SDL_PIXELFORMAT_RGB565);
    if (!surface) return nullptr;
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(static_cast<Uint8*>(surface->pixels) + ptrdiff_t(y) * surface->pitch,
                    picture.pixels.data() + size_t(y) * picture.width, picture.RowBytes());
    if ((keyed && SDL_SetColorKey(surface, SDL_TRUE, kColorKey) != 0) ||
        (runLengths && SDL_SetSurfaceRLE(surface, 1) != 0)) {
        SDL_FreeSurface(surface);
        return nullptr;
    }
    return surface;
}

} // namespace

bool CreateSdlSurfaces(const Picture& image, const Picture& other, const Picture& keyed,
                       const Picture& sprite, SdlSide& sdl, std::string& error) {
    Picture blank{kScreenWidth, kScreenHeight, std::vector<uint16_t>(size_t(kScreenWidth) * kScreenHeight)};
    sdl.screen = SurfaceWith(blank, false);
    sdl.packed = SurfaceWith(blank, false);
    sdl.image = SurfaceWith(image, false);
    sdl.other = SurfaceWith(other, false);
    sdl.keyed = SurfaceWith(keyed, true);
    sdl.sprite = SurfaceWith(sprite, true);
    sdl.keyedRle = SurfaceWith(keyed, true, true);
    sdl.spriteRle = SurfaceWith(sprite, true, true);
    if (!sdl.screen || !sdl.packed || !sdl.image || !sdl.other || !sdl.keyed || !sdl.sprite ||
        !sdl.keyedRle || !sdl.spriteRle) {
        error = std::string("SDL surfaces: ") + SDL_GetError();
        return false;
    }
    return true;
}

bool CreateSdlRenderer(SdlSide& sdl, std::string& error) {
    sdl.window = SDL_CreateWindow("blit bench reference", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                  kScreenWidth, kScreenHeight, 0);
    if (sdl.window) sdl.renderer = SDL_CreateRenderer(sdl.window, -1, SDL_RENDERER_SOFTWARE);
    if (sdl.renderer)
        sdl.texture = SDL_CreateTexture(sdl.renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                        kScreenWidth, kScreenHeight);
    if (!sdl.texture) {
        error = std::string("SDL renderer: ") + SDL_GetError();
        return false;
    }
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(sdl.renderer, &info) == 0) sdl.rendererName = info.name;
    return true;
}

void ReleaseSdlSide(SdlSide& sdl) {
    if (sdl.texture) SDL_DestroyTexture(sdl.texture);
    if (sdl.renderer) SDL_DestroyRenderer(sdl.renderer);
    if (sdl.window) SDL_DestroyWindow(sdl.window);
    for (SDL_Surface* surface :
         {sdl.screen, sdl.image, sdl.other, sdl.keyed, sdl.sprite, sdl.keyedRle, sdl.spriteRle, sdl.packed})
        SDL_FreeSurface(surface); // accepts null
    sdl = SdlSide{};
}

std::vector<uint16_t> ReadSdlPixels(SDL_Surface* surface) {
    std::vector<uint16_t> pixels(size_t(surface->w) * surface->h);
    for (int y = 0; y < surface->h; ++y)
        std::memcpy(pixels.data() + size_t(y) * surface->w,
                    static_cast<const Uint8*>(surface->pixels) + ptrdiff_t(y) * surface->pitch,
                    size_t(surface->w) * sizeof(uint16_t));
    return pixels;
}

} // namespace bench
