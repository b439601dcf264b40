#pragma once
// Modal dialogs as every backend runs them: the focus event queued when one
// ends, and a quit request that waits for none.

#include <utility>

namespace rt {

void ModalStarts();
// Queues the focus event addressed to the window that gets the focus back:
// the one that had it before the dialog, else the one that has it now, else
// the application window.
void ModalEnded();

// Runs a modal dialog (a function that returns once it is answered) between
// ModalStarts and ModalEnded, and returns what it returned.
template <typename F>
auto RunModal(F&& dialog)
{
    ModalStarts();
    auto result = std::forward<F>(dialog)();
    ModalEnded();
    return result;
}

// Queues the quit event (for SIGINT and SIGTERM). While a modal dialog runs,
// the dialog is cancelled first and the quit event queued behind the focus
// event, which the dialog's caller may take: so a quit request is never
// swallowed.
void RequestQuit();

}  // namespace rt
