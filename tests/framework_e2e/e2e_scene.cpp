#include "e2e_scene.h"

#include <cstring>
#include <vector>

namespace {
std::vector<E2EScene>& Scenes() {
    static std::vector<E2EScene> scenes;
    return scenes;
}
} // namespace

E2ESceneRegistration::E2ESceneRegistration(const E2EScene& scene) {
    Scenes().push_back(scene);
}

const E2EScene* FindE2EScene(const char* name) {
    for (const E2EScene& scene : Scenes())
        if (name && std::strcmp(scene.name, name) == 0) return &scene;
    return nullptr;
}
