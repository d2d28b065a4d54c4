// How the input devices follow the keyboard and mouse: the window layer reports each key as its message
// is taken from the queue (so a program that polls keys inside its message pump never misses a quick
// press), and the backend reports relative mouse motion and buttons as they arrive.
#pragma once

struct HostInputObserver {
    // A key went down or up; scanCode is the PC set-1 scan code, extended for the E0-prefixed keys.
    void (*onKey)(int scanCode, bool extended, bool down);
    // The mouse moved by (dx, dy) in screen pixels.
    void (*onMouseMotion)(int dx, int dy);
    // Mouse button 0 (left), 1 (right) or 2 (middle) went down or up.
    void (*onMouseButton)(int button, bool down);
};

// Installs the observer (NULL removes it). The observer's functions may be NULL. Called from the thread
// that pumps messages; the observer must be safe to read from other threads itself.
void HostSetInputObserver(const HostInputObserver* observer);
