// ControlList: a page's buttons, owned, placed relative to an origin; passes the polled mouse to each
// and draws them.
#pragma once

#include "framework/button.h"
#include "quib/ptrarray.h"

class ControlList {
  public:
    PtrArray<Button>* controls = nullptr; // owned, with their buttons
    int originX = 0;
    int originY = 0;

    ControlList();
    // Deletes every control.
    ~ControlList();
    ControlList(const ControlList&) = delete;
    ControlList& operator=(const ControlList&) = delete;

    // HandleMouse on every control, in order.
    void HandleMouse(int x, int y, int buttons);
    // DrawIfEnabled on every control, in order.
    void Draw();
    // Appends control (taking ownership); its offset is left as it is. Returns control.
    Button* Add(Button* control);
    // The first control whose clicked flag is set, or NULL.
    Button* GetClicked() const;
    // Whether the first clicked control is the one named name; 0 when another control was clicked
    // before it in the list, or none was.
    int WasClicked(const char* name) const;
    // Deletes every control.
    void DeleteAll();
    // Removes and deletes the first control named name; nothing when there is none.
    void Delete(const char* name);
    // Stores the origin and gives it to every control as its offset.
    void SetOrigin(int x, int y);
    // The first control named name (exact compare), or NULL.
    Button* Find(const char* name) const;
};
