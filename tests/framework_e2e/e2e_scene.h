// Scenes of the end-to-end program. A scene is a file scene_NAME.cpp that writes the art it needs,
// adds its pages to the page manager and registers itself with a static E2ESceneRegistration; the
// program shows the scene named on its command line. Its checks live in a test_NAME.cpp beside it.
#pragma once

struct E2EScene {
    const char* name;
    // Writes the bitmaps and INI files the scene loads into the working folder (before start-up).
    void (*writeArt)();
    // After start-up: adds the scene's pages to g_pageManager and returns the first page's name.
    const char* (*addPages)();
    // Shows the software cursor (e2e::kCursorFile).
    bool showCursor;
};

// Registers a scene at start-up: `static E2ESceneRegistration registration({"name", ...});`.
struct E2ESceneRegistration {
    explicit E2ESceneRegistration(const E2EScene& scene);
};

// The scene of that name, or NULL.
const E2EScene* FindE2EScene(const char* name);
