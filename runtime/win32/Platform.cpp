// The Win32 backend: Windows 7 to 11, on the Win32 API and its common
// controls alone, one static program.
//
// Implements all of common/Backend.h:
// - windows as Win32 windows and common controls 6, per-monitor DPI aware,
//   laid out again on WM_DPICHANGED (Dpi.cpp, Fonts.cpp);
// - Windows' own colour dialog and message box, in Windows' language;
// - screen readers through MSAA: each window answers WM_GETOBJECT with its own
//   role, name and description over Windows' proxy (Accessible.cpp), and
//   announcements as a live region (Announce.cpp);
// - tooltips; Return presses the focused button, which is the default one;
// - high contrast: what it draws itself takes the theme's colours;
// - files by ReplaceFileW with write-through flushes (Files.cpp), the folder
//   lock as a file opened without sharing and deleted on close, which holds
//   across logon sessions and over SMB; a save's record renamed with
//   write-through when a cut save is finished;
// - DLLs loaded from the system folder only (SystemLibrary.cpp).
// Lacks:
// - symbolic links written through: a linked LOGO.TXT is replaced by a file;
// - SIGINT/SIGTERM: the end of the session ends the program at once instead;
// - a folder flush: a save's renames reach the disk with NTFS's journal.

#include "Win32.h"

#include <commctrl.h>

#include <cstdarg>
#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

#include "Backend.h"
#include "Misuse.h"
#include "Runtime.h"

// An exception that escapes everything ends the process as the C++ library's
// own handler does (abort), but without its report, which alone would link in
// a name demangler and a printf, a quarter of the program. Defined here, the
// library's own definition stays out of the link.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    rt::Runtime::SayError("an unexpected error ended the program");
    std::abort();
}
}  // namespace __gnu_cxx

// The C++ library's helpers that raise its exceptions, defined here for the
// same reason: its own build of them makes each exception's text a string of
// the older string type, which links that whole type, its instantiations and a
// random device in (some 45 KB). Every constructor of std::logic_error and
// std::runtime_error builds that string inside the library, so none of their
// kinds can be raised without it: they become rt::Misuse, a std::exception
// with the library's text, which every handler here catches as such.
// Allocation failures and the other kinds keep their own types.
namespace {
// The library's message with its arguments put in (%s, and %zu or %lu for a
// position or a size), never the bare format, as a window may show it.
const char* formatted(const char* format, va_list args)
{
    static char text[256];
    std::size_t at = 0;
    const auto put = [&at](char c) {
        if (at + 1 < sizeof text)
            text[at++] = c;
    };
    for (const char* f = format; *f; ++f) {
        if (*f != '%') {
            put(*f);
            continue;
        }
        while (f[1] == 'z' || f[1] == 'l')
            ++f;
        if (*++f == 's') {
            for (const char* a = va_arg(args, const char*); a && *a; ++a)
                put(*a);
        } else if (*f == 'u' || *f == 'd') {
            char digits[24];
            int n = 0;
            for (std::size_t v = va_arg(args, std::size_t); n == 0 || v; v /= 10)
                digits[n++] = char('0' + v % 10);
            while (n)
                put(digits[--n]);
        } else if (!*f) {
            break;
        }
    }
    text[at] = '\0';
    return text;
}
}  // namespace

namespace std {
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_bad_exception() { throw bad_exception(); }
void __throw_logic_error(const char* what) { throw rt::Misuse(what); }
void __throw_domain_error(const char* what) { throw rt::Misuse(what); }
void __throw_invalid_argument(const char* what) { throw rt::Misuse(what); }
void __throw_length_error(const char* what) { throw rt::Misuse(what); }
void __throw_out_of_range(const char* what) { throw rt::Misuse(what); }
void __throw_out_of_range_fmt(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const char* what = formatted(format, args);
    va_end(args);
    throw rt::Misuse(what);
}
void __throw_runtime_error(const char* what) { throw rt::Misuse(what); }
void __throw_range_error(const char* what) { throw rt::Misuse(what); }
void __throw_overflow_error(const char* what) { throw rt::Misuse(what); }
void __throw_underflow_error(const char* what) { throw rt::Misuse(what); }
}  // namespace std

namespace rt {

struct NativePlatform {};

void DropNativePlatform::operator()(NativePlatform* p) const { delete p; }

// Windows always has a desktop to show the window on: nothing can fail here.
NativePlatform* backend::StartPlatform(const std::string&, const std::string&)
{
    // Every DLL loaded from now on, and every DLL those load in turn, comes
    // from the system folder, never from the program's folder (a Downloads
    // folder may hold planted ones). Looked up: a Windows 7 without its 2011
    // update lacks it, and there only our own loads are safe.
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    if (const auto set = reinterpret_cast<SetDirectories>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories"))))
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    registerClasses();
    return new NativePlatform;
}

// Windows' own pause: the C++ library's, with GCC 14's threads, would link its
// thread support and the older string type with it.
void backend::PauseThread(int milliseconds) { ::Sleep(static_cast<DWORD>(milliseconds)); }

}  // namespace rt
