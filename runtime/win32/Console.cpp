#include "Backend.h"
#include "Win32.h"

namespace rt::backend {

// A program of the GUI subsystem has no console of its own. Its lines go to
// the handles it inherited (a pipe or a file it was started with), else to
// the console of the program that started it (cmd, PowerShell), as Unicode
// where they reach a console, and as UTF-8 with CR LF elsewhere.
void WriteLine(bool toError, const std::string& text)
{
    HANDLE to = GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (to == nullptr || to == INVALID_HANDLE_VALUE) {
        static const HANDLE parents = AttachConsole(ATTACH_PARENT_PROCESS)
                                          ? CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                                        nullptr)
                                          : INVALID_HANDLE_VALUE;
        to = parents;
    }
    if (to == nullptr || to == INVALID_HANDLE_VALUE)
        return;
    DWORD mode = 0, done = 0;
    if (GetConsoleMode(to, &mode)) {
        const std::wstring line = widen(text) + L"\r\n";
        WriteConsoleW(to, line.data(), DWORD(line.size()), &done, nullptr);
    } else {
        const std::string line = text + "\r\n";
        WriteFile(to, line.data(), DWORD(line.size()), &done, nullptr);
    }
}

}  // namespace rt::backend
