#include "framework/control_list.h"

#include <cstring>

ControlList::ControlList() : controls(new PtrArray<Button>) {}

ControlList::~ControlList() {
    DeleteAll();
    delete controls;
}

void ControlList::HandleMouse(int x, int y, int buttons) {
    for (int i = 0; i < controls->count; i++)
        controls->items[i]->HandleMouse(x, y, buttons);
}

void ControlList::Draw() {
    for (int i = 0; i < controls->count; i++)
        controls->items[i]->DrawIfEnabled();
}

Button* ControlList::Add(Button* control) {
    if (!control) return nullptr;
    return controls->Add(control);
}

Button* ControlList::GetClicked() const {
    for (int i = 0; i < controls->count; i++)
        if (controls->items[i]->clicked) return controls->items[i];
    return nullptr;
}

int ControlList::WasClicked(const char* name) const {
    Button* first = GetClicked();
    if (!first || !name || std::strcmp(first->name, name) != 0) return 0;
    return first->WasClicked();
}

void ControlList::DeleteAll() {
    controls->DeleteAll();
}

void ControlList::Delete(const char* name) {
    Button* control = Find(name);
    if (!control) return;
    controls->Remove(control);
    delete control;
}

void ControlList::SetOrigin(int x, int y) {
    originX = x;
    originY = y;
    for (int i = 0; i < controls->count; i++)
        controls->items[i]->SetOffset(x, y);
}

Button* ControlList::Find(const char* name) const {
    if (!name) return nullptr;
    for (int i = 0; i < controls->count; i++)
        if (std::strcmp(controls->items[i]->name, name) == 0) return controls->items[i];
    return nullptr;
}
