#pragma once
// When a text for screen readers is said, on every platform. A screen reader
// speaks what the focus lands on as a window becomes active, cutting off what
// it said before, and passes over a text while a closing dialog's events
// still flood it: so a text waits until its window has settled. The backends
// keep only the means: a timer, and whether their window is the active one.

namespace rt::speech {

// Settled: the window has been the active one this long...
inline constexpr long kSettledMs = 1000;
// ...or the text has waited this long (a desktop that keeps the focus elsewhere).
inline constexpr long kLatestMs = 2000;
// While a screen reader runs, a window that said something stays this long
// before it closes, so that the reader can ask back for the text.
inline constexpr long kHoldMs = 500;

// Whether a waiting text is said now. activeForMs: how long its window has
// been the active one, negative while it is not.
constexpr bool SayNow(long activeForMs, long waitedMs)
{
    return activeForMs >= kSettledMs || waitedMs >= kLatestMs;
}

// How much longer a closing window stays, shownMsAgo after it said something.
constexpr long HoldLeft(long shownMsAgo) { return shownMsAgo < kHoldMs ? kHoldMs - shownMsAgo : 0; }

}  // namespace rt::speech
