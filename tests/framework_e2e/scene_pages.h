// The "pages" scene: two pages, each with a background, a badge image from a page-images INI file and
// one three-state button; clicking "go" on the first page switches to the second by name, "back" on the
// second switches to the first. Shown with the software cursor.
#pragma once

#include <cstdint>

namespace pages_scene {

constexpr uint32_t kFirstBackground = 0x306090;
constexpr uint32_t kSecondBackground = 0x903060;
constexpr uint32_t kBadge = 0xF8F800;

// The buttons: 120x40 at (340, 280) on the first page, at (100, 450) on the second; three frames each.
constexpr int kButtonW = 120;
constexpr int kButtonH = 40;
constexpr int kGoX = 340;
constexpr int kGoY = 280;
constexpr int kBackX = 100;
constexpr int kBackY = 450;
constexpr uint32_t kGoNormal = 0x00A000;
constexpr uint32_t kGoHover = 0x00F800;
constexpr uint32_t kGoPressed = 0x005000;
constexpr uint32_t kBackNormal = 0xA00000;
constexpr uint32_t kBackHover = 0xF80000;
constexpr uint32_t kBackPressed = 0x500000;

// The badge: 20x20 at (700, 20), listed in the first page's INI.
constexpr int kBadgeX = 700;
constexpr int kBadgeY = 20;

} // namespace pages_scene
