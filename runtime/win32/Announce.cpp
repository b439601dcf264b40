// What changed, said to a Windows screen reader as a live region: a static of
// one pixel at the application window's corner that paints nothing, whose
// text (its name) is the announcement. EVENT_OBJECT_LIVEREGIONCHANGED makes
// NVDA and JAWS read its name; it is marked polite for Narrator, which reads
// it through UI Automation's bridge, once a screen reader runs.
#include "AppWindows.h"
#include "Backend.h"
#include "SpeechTiming.h"
#include "Win32.h"

namespace rt {

namespace {
constexpr const wchar_t* kAnnouncerProperty = L"rt.announcer";

std::wstring pendingText;
bool pending = false;
DWORD announcedAt = 0;    // when the text came
DWORD foregroundFrom = 0; // since when the window has been the active one; 0 while it is not
DWORD shownAt = 0;
bool shown = false;
UINT_PTR waiting = 0;     // the timer that waits for the window to be active
UINT_PTR waking = 0;      // the timer that ends StillSpeaking's moment

HWND appTop()
{
    const auto window = AppWindow();
    HWND hwnd = window ? HwndOf(*window) : nullptr;
    return hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
}

bool screenReaderRuns()
{
    BOOL on = FALSE;
    return SystemParametersInfoW(SPI_GETSCREENREADER, 0, &on, 0) && on;
}

HWND announcer(HWND top)
{
    if (HWND found = static_cast<HWND>(GetPropW(top, kAnnouncerProperty)); found && IsWindow(found))
        return found;
    // Owner-drawn: the window's own WM_DRAWITEM paints nothing for it.
    HWND made = CreateWindowExW(WS_EX_TRANSPARENT, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 0, 0, 1, 1,
                                top, nullptr, instance(), nullptr);
    SetWindowPos(made, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetPropW(top, kAnnouncerProperty, made);
    if (screenReaderRuns())
        markLiveRegion(made);
    return made;
}

void showPending()
{
    HWND top = appTop();
    if (!pending || !top)
        return;
    pending = false;
    HWND note = announcer(top);
    SetWindowTextW(note, pendingText.c_str());
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, note, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, note, OBJID_CLIENT, CHILDID_SELF);
    shownAt = GetTickCount();
    shown = true;
}

// The text waits until the window has settled as the foreground one
// (SpeechTiming.h), looked at every tenth of a second.
void CALLBACK whenActive(HWND, UINT, UINT_PTR, DWORD)
{
    const DWORD now = GetTickCount();
    HWND top = appTop();
    if (top && GetForegroundWindow() == top)
        foregroundFrom = foregroundFrom ? foregroundFrom : now;
    else
        foregroundFrom = 0;
    if (!pending || speech::SayNow(foregroundFrom ? long(now - foregroundFrom) : -1, long(now - announcedAt))) {
        KillTimer(nullptr, waiting);
        waiting = 0;
        showPending();
    }
}

void CALLBACK wake(HWND, UINT, UINT_PTR, DWORD)
{
    KillTimer(nullptr, waking);
    waking = 0;
}
}  // namespace

namespace backend {

void Announce(const std::string& cText)
{
    pendingText = widen(cText);
    pending = true;
    announcedAt = GetTickCount();
    foregroundFrom = 0;
    waiting = SetTimer(nullptr, waiting, 100, whenActive);
}

// A screen reader reads a live region's name back once it hears of it: while
// one runs, the window stays a moment after it said something (the save),
// and what waits to be said is said now, while the window is whole.
bool StillSpeaking()
{
    showPending();
    if (!shown || !screenReaderRuns())
        return false;
    const long left = speech::HoldLeft(long(GetTickCount() - shownAt));
    if (left == 0)
        return false;
    waking = SetTimer(nullptr, waking, UINT(left), wake);  // its message ends the loop's wait
    return true;
}

}  // namespace backend
}  // namespace rt
