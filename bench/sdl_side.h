// SDL2's side of the blit benchmark: 5-6-5 SDL surfaces holding the same pictures (the keyed ones with
// SDL_SetColorKey, plain and run-length encoded), a packed surface a frame is handed over to, and a window
// with a software renderer and a 5-6-5 streaming texture for SDL's own way of showing a frame.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include "bench/bench_pictures.h"

namespace bench {

struct SdlSide {
    SDL_Surface* screen = nullptr; // where every blit lands
    SDL_Surface* image = nullptr;  // opaque full-screen picture
    SDL_Surface* other = nullptr;  // another opaque picture, different in every row
    SDL_Surface* keyed = nullptr;  // half-keyed full-screen picture
    SDL_Surface* sprite = nullptr; // keyed sprite
    // The keyed pictures again, run-length encoded (SDL_RLEACCEL): SDL's fastest keyed blits.
    SDL_Surface* keyedRle = nullptr;
    SDL_Surface* spriteRle = nullptr;
    SDL_Surface* packed = nullptr; // receives a handed-over frame
    // Showing a frame; null when the video subsystem could not be started.
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    std::string rendererName;
};

// Makes the surfaces; false with error set when SDL refuses.
bool CreateSdlSurfaces(const Picture& image, const Picture& other, const Picture& keyed,
                       const Picture& sprite, SdlSide& sdl, std::string& error);
// Opens a width x height window with a software renderer and a streaming 5-6-5 texture (the video
// subsystem must be started); false with error set when SDL refuses.
bool CreateSdlRenderer(SdlSide& sdl, std::string& error);
// Frees everything the two functions made.
void ReleaseSdlSide(SdlSide& sdl);
// Reads a surface back as packed 16-bit rows.
std::vector<uint16_t> ReadSdlPixels(SDL_Surface* surface);

} // namespace bench
