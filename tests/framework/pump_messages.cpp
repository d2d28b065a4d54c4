// The program's message pump, which the popup's modal loop calls by name: the framework's tests supply
// it as a program built on the framework does.
#include "framework/program_contract.h"
#include "host/win/messages.h"

int PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Posted again so that the loops outside this one end too.
            PostQuitMessage(int(message.wParam));
            return 1;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
