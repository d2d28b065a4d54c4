#include "framework/animation_manager.h"

#include <cstring>

#include "framework/game_clock.h"

AnimationManager g_animations;

namespace {

// A copy that has played out: stopped and hidden, its current frame outside its range.
bool PlayedOut(const Animation& copy) {
    return copy.endMode == kEndStopAndHide && (copy.current < copy.first || copy.current >= copy.end);
}

} // namespace

AnimationManager::AnimationManager() : list(new PtrArray<Animation>) {}

AnimationManager::~AnimationManager() {
    DeleteAll();
}

Animation* AnimationManager::Start(Animation& animation) {
    if (!list) list = new PtrArray<Animation>;
    animation.time = GetClockMs();
    animation.current = animation.first == -1 ? 0 : animation.first;
    Animation* copy = new Animation(animation);
    if (!list->Add(copy)) {
        delete copy;
        return nullptr;
    }
    return copy;
}

void AnimationManager::UpdateAndDraw(IDirectDrawSurface* target) {
    if (!list) return;
    for (int i = 0; i < list->GetCount(); ++i) {
        Animation* copy = list->GetAt(i);
        copy->Update();
        if (copy->current >= copy->first && copy->current < copy->end) copy->DrawTo(target);
    }
    // The copies are the manager's: a removed one is deleted, and the one moving into its slot is
    // looked at next.
    for (int i = 0; i < list->GetCount();) {
        Animation* copy = list->GetAt(i);
        if (PlayedOut(*copy)) {
            list->Remove(copy);
            delete copy;
        } else {
            ++i;
        }
    }
}

void AnimationManager::DrawFlagged() {
    if (!list) return;
    for (int i = 0; i < list->GetCount(); ++i) {
        Animation* copy = list->GetAt(i);
        if (copy->Step()) copy->DrawToBackground();
    }
}

Animation* AnimationManager::Find(const char* name) {
    if (!list || !name) return nullptr;
    for (int i = 0; i < list->GetCount(); ++i) {
        Animation* copy = list->GetAt(i);
        if (std::strcmp(copy->name, name) == 0) return copy;
    }
    return nullptr;
}

void AnimationManager::Remove(const char* name) {
    Animation* copy = Find(name);
    if (!copy) return;
    list->Remove(copy);
    delete copy;
}

void AnimationManager::DeleteAll() {
    if (!list) return;
    list->DeleteAll();
    delete list;
    list = nullptr;
}
