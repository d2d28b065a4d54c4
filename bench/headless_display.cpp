#include "bench/headless_display.h"

#include <cstdlib>

#include "host/backend/machine.h"
#include "host/win/messages.h"
#include "quib/quib.h"

namespace bench {
namespace {

LRESULT BenchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

std::filesystem::path EnterTemporaryFolder(const std::string& prefix, std::string& error) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
    if (!mkdtemp(pattern.data())) {
        error = "cannot make a temporary folder";
        return {};
    }
    std::filesystem::current_path(pattern);
    return pattern;
}

HWND StartHeadlessDisplay(const char* className, int width, int height, std::string& error) {
    HostResetWindowLayer();
    HostMachine machine = HostDefaultMachine();
    machine.desktopBitsPerPixel = 16;
    HostSetMachine(machine);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = BenchWindowProc;
    windowClass.lpszClassName = className;
    if (RegisterClassA(&windowClass) == 0) {
        error = "cannot register the window class";
        return nullptr;
    }
    HWND window = CreateWindowExA(0, className, className, WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                  nullptr, nullptr, nullptr, nullptr);
    if (!window || QuibInitDirectX(window, width, height) != 1) {
        error = "cannot start the display";
        return nullptr;
    }
    return window;
}

} // namespace bench
