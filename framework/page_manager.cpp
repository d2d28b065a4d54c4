#include "framework/page_manager.h"

#include <cstring>

#include "host/win/messages.h"

PageManager g_pageManager;
HWND g_mainWindow = nullptr;

PageManager::PageManager() : pages(new PtrArray<Page>) {}

PageManager::~PageManager() {
    delete pages;
}

void PageManager::SetDirectDraw(IDirectDraw* dd, IDirectDrawSurface* back) {
    directDraw = dd;
    backBuffer = back;
}

void PageManager::AddPage(Page* page) {
    if (page) pages->Add(page);
}

Page* PageManager::SwitchTo(const char* name) {
    if (!name) return current;
    for (int i = 0; i < pages->count; i++) {
        Page* page = pages->items[i];
        if (std::strcmp(page->GetName(), name) != 0) continue;
        if (page != current) {
            if (current) current->Leave();
            current = page;
            current->Enter(directDraw, backBuffer);
        }
        break;
    }
    return current;
}

int PageManager::Frame(int active) {
    return current ? current->Frame(active) : 0;
}

int PageManager::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return current ? current->HandleMessage(hwnd, msg, wParam, lParam) : 1;
}

void PageManager::LeaveAll() {
    for (int i = 0; i < pages->count; i++)
        pages->items[i]->Leave();
}

void PostWindowMessage(UINT msg) {
    PostMessageA(g_mainWindow, msg, 0, 0);
}
