// Runs short-lived copies of animations (a goal or falling effect): Start makes a copy that shares the
// template's frames, UpdateAndDraw advances and draws every copy each frame and deletes the copies that
// have played out. The copies are plain Animations: a derived template's own operations do not apply to
// them. Templates must outlive their copies.
#pragma once

#include "framework/animation.h"
#include "quib/ptrarray.h"

class AnimationManager {
  public:
    PtrArray<Animation>* list;

    AnimationManager();
    // DeleteAll.
    ~AnimationManager();
    AnimationManager(const AnimationManager&) = delete;
    AnimationManager& operator=(const AnimationManager&) = delete;

    // Sets the template's time to the clock and its current frame to its first (0 without a range),
    // then appends a copy of it and returns the copy (owned by the manager); NULL when there is no
    // list or memory ran out.
    Animation* Start(Animation& animation);
    // Updates every copy and draws those whose current frame lies in their range; then deletes every
    // copy with end mode 3 whose current frame left its range.
    void UpdateAndDraw(IDirectDrawSurface* target);
    // DrawToBackground for every copy whose Step advanced.
    void DrawFlagged();
    // The first copy with that exact name, or NULL.
    Animation* Find(const char* name);
    // Deletes the first copy with that name.
    void Remove(const char* name);
    // Deletes every copy and the list.
    void DeleteAll();
};

// The program's one manager.
extern AnimationManager g_animations;
