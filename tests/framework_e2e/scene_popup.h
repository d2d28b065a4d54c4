// The "popup" scene: a page with an "open" button over a plain background. Clicking it runs a modal
// popup (its own picture and two buttons, "yes" and "no") over the page; the popup's loop runs until a
// button ends it, and the page then prints the result ("popup result: NAME") and shows a badge in the
// colour of the button that ended it, with the background repaired where the popup was.
#pragma once

#include <cstdint>

namespace popup_scene {

constexpr uint32_t kBackground = 0x203040;
constexpr uint32_t kOpenButton = 0xF8F800;
constexpr uint32_t kPopupPicture = 0x3060C0;
constexpr uint32_t kYesButton = 0x00F800;
constexpr uint32_t kNoButton = 0xF80000;
constexpr uint32_t kNoResult = 0xF8FCF8;

// The page's button.
constexpr int kOpenX = 680, kOpenY = 20, kOpenW = 100, kOpenH = 40;
// The popup's picture and where the page places it.
constexpr int kPopupX = 200, kPopupY = 150, kPopupW = 400, kPopupH = 300;
// The popup's buttons, relative to the popup's top-left.
constexpr int kYesX = 40, kNoX = 240, kChoiceY = 220, kChoiceW = 120, kChoiceH = 50;
// The badge the page shows after the popup, in the colour of the button that ended it.
constexpr int kBadgeX = 20, kBadgeY = 20, kBadgeSize = 60;

} // namespace popup_scene
