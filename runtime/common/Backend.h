#pragma once
// The contract between the shared runtime (common/) and a platform's backend,
// both ways. A backend defines everything declared below, and the Drop* of
// NativeSlot.h for the slots it fills; the shared code calls nothing else of
// it. Positions and sizes that reach a backend are the window's own, in
// logical pixels; a backend scales them to its screen.
//
// What a backend calls back into the shared code (and nothing more):
// - PostAppEvent (AppEvents.h): a button pressed (EVENT_ACTIVATE), a dialog's
//   close box (EVENT_CLOSE), the platform's event loop gone (EVENT_QUIT);
//   QUIT() where the platform ends the session and no save may follow.
// - Runtime::SayError (Runtime.h) for an error that escaped the platform's
//   event loop and ends the program, where no window can say it.
// - RequestQuit (Modal.h) for SIGINT and SIGTERM: it cancels a running modal
//   dialog first (CancelModal). The shared code runs the modal dialogs
//   themselves (RunModal), so a backend's Run*/ShowMessageBox only show one.
// - The objects' own state, read while drawing or answering a screen reader:
//   XbpWindow's pos, size, presentation parameters, captions and
//   accessibleName/Description; AppWindow() (AppWindows.h).
// - The shared drawing of statics (PixelOps.h): AreaInParent to place a
//   control, DrawingAreaOf and GreyBehind to choose readable ink over the
//   logo behind it (ReadableInk, CaptionInkOver), Overlay, Cropped and
//   ScaledPixels for pictures. Colours are converted with Gra.h.
// - When an announcement is said (SpeechTiming.h): a backend keeps the timer
//   and knows whether its window is the active one.
// - TemporaryName and IsOurTemporary (TemporaryName.h): the name of a save's
//   new file, and which leftovers RemoveLitter may take.
//
// A new backend: implement this file for the platform, fill the native slots,
// post the events above, and run the widget tests (tests/) against it through
// a drive of TestSupport.h, as tests/qt and tests/win32 do.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "NativeSlot.h"
#include "Pixels.h"
#include "Types.h"

namespace rt {

class XbpBitmap;
class XbpColorDialog;
class XbpDialog;
class XbpDrawingArea;
class XbpPushButton;
class XbpStatic;
class XbpWindow;

namespace backend {

// ---- Start-up ---------------------------------------------------------------

// Starts the platform for the program that argv0 names; desktopId names its
// desktop entry, where the platform has one. Where it cannot start, it says
// why on standard error and ends the process with status 1.
NativePlatform* StartPlatform(const std::string& argv0, const std::string& desktopId);

// A line for the person or script that started the program, on its standard
// output or standard error, wherever those lead (a terminal, a pipe, a file;
// on Windows the console the program was started from); nowhere if none.
void WriteLine(bool toError, const std::string& text);

// ---- Events -----------------------------------------------------------------

// Pauses the calling thread (0: yields it); processes no events.
void PauseThread(int milliseconds);

// Runs the platform's event processing until an event may have been queued.
void RunUntilEventQueued();
// An event was queued: the event processing that waits for one may return.
void EventQueued();

// ---- Windows ----------------------------------------------------------------
// Each Make* makes the platform's window for the object, with the object's
// settings at that moment, not yet placed or shown; a window's press, close
// request and so on become queued events addressed to it (AppEvents.h).

NativeWindow* MakeDialog(XbpDialog& dialog);
NativeWindow* MakeDrawingArea(XbpDrawingArea& area, NativeWindow& parent);
NativeWindow* MakePushButton(XbpPushButton& button, NativeWindow& parent);
// Text, group box or bitmap static, by its type; it shows StaticPicture.
NativeWindow* MakeStatic(XbpStatic& control, NativeWindow& parent);

// A control at its pos and size in its parent, from the parent's lower-left corner.
void PlaceControl(XbpWindow& window);
// A dialog whose drawing area has its size, at its pos on the desktop's work area.
void PlaceDialog(XbpDialog& dialog);
// The font and colours of the window's presentation parameters.
void ApplyPresParams(XbpWindow& window);
void SetVisible(XbpWindow& window, bool visible);
// Title, frame buttons and task-list entry as the dialog says now.
void ConfigureDialog(XbpDialog& dialog);
// The dialog's icon, from the program's resources.
void SetDialogIcon(XbpDialog& dialog, int icon);
// Paints the window and what lies in it again.
void Repaint(XbpWindow& window);
// What a screen reader says the window is (empty: what the platform says of
// it itself, a button's caption say) and what it is for (empty: nothing).
void SpokenAs(XbpWindow& window, const std::string& name, const std::string& description);
// The text shown when the pointer rests on the window.
void SetToolTip(XbpWindow& window, const std::string& text);

// ---- The desktop, focus and modal dialogs -----------------------------------

Size WorkAreaSize();
// A top-level window activated, a control given the keyboard focus.
void Focus(XbpWindow& window);
// A top-level window centred on the screen, a control in its parent.
void Centre(XbpWindow& window);
// The window that has the keyboard focus, or lies around it; null for none of ours.
XbpWindow* FocusedWindow();
// A modal box with the text and an OK button; returns once it is answered.
void ShowMessageBox(const std::string& title, const std::string& text, NativeWindow* owner);
// The modal dialog that runs now, if any, ends as if cancelled.
void CancelModal();

// ---- Pictures ----------------------------------------------------------------

// A static's picture at its size: what shows behind it (the window colour,
// for reading back), its colour, its caption or bitmap, then what was drawn on it.
Pixels StaticPicture(const XbpStatic& control);
// What the platform keeps to put a picture on screen; null for no picture.
NativeImage* MakeImage(const Pixels& image);

// ---- The colour dialog -------------------------------------------------------

NativeColorDialog* MakeColorDialog(XbpColorDialog& dialog, NativeWindow* owner);
// Runs it modally with the object's settings: the colour chosen, nothing on
// Cancel, Escape or the close box. Custom colours are kept for the run.
std::optional<RGB> RunColorDialog(XbpColorDialog& dialog, NativeColorDialog& native);

// ---- Screen readers ----------------------------------------------------------

// Says the text through the platform's accessibility, once the application
// window is active and the focus has landed in it; nothing is shown.
void Announce(const std::string& text);
// Whether the window should stay a moment longer before it closes, so that a
// screen reader can still ask for what was said last (the save); while it
// says so, it wakes the waiting event loop once that moment has passed.
bool StillSpeaking();

// ---- Files -------------------------------------------------------------------

// The current directory as the platform's desktop writes it for a person.
std::string CurrentFolderShown();
bool IsFile(const std::string& cFile);
bool EraseFile(const std::string& cFile);
// The whole file's bytes; a file larger than nMaxBytes is refused before any is read.
Failure ReadFile(const std::string& cFile, std::size_t nMaxBytes, std::string& cBytes);

// Replacing a file whole, in steps, so that several files can be replaced as
// one (SaveTogether). A prepared file is the backend's own.
struct PreparedFile;
// Removes whatever of it is not in place: the new file if not placed, what
// KeepOld kept once it is not needed. Allocates nothing and never throws.
void Discard(PreparedFile* prepared) noexcept;
struct DiscardPrepared {
    void operator()(PreparedFile* p) const noexcept { Discard(p); }
};
using Prepared = std::unique_ptr<PreparedFile, DiscardPrepared>;
// Writes the bytes and flushes them to the disk beside the file (through
// symbolic links, to their target), and checks that the file can be replaced;
// nothing visible changes.
Failure PrepareFile(const std::string& cFile, const std::string& cBytes, Prepared& prepared);
// Keeps the file's present state aside, so that RestoreFile can bring it back:
// a second name where the file system has them, a copy where it has not.
Failure KeepOld(PreparedFile& prepared);
// Puts the new bytes in the file's place in one step.
Failure PlaceFile(PreparedFile& prepared);
// After a PlaceFile that succeeded: the file as KeepOld found it (absent, if
// it was). It runs while an exception unwinds: it allocates nothing and never throws.
void RestoreFile(PreparedFile& prepared) noexcept;
// Where the prepared file goes (the end of its links), and the name of its
// new file in that folder; no name where it is rewritten in place.
struct PreparedNames {
    std::string target;
    std::string temp;
};
PreparedNames NamesOf(const PreparedFile& prepared);
// Where a save of cFile writes: the file, or the end of its chain of links.
Failure TargetOf(const std::string& cFile, std::string& cTarget);
// After every file is placed: the folder flushed to the disk (or, where the
// folder cannot be opened, the file system the file is on).
Failure FinishFile(PreparedFile& prepared);

// One save at a time in a folder, between processes: the operating system's
// own lock on the folder, let go when its holder is dropped or the process
// ends, and nothing left in the folder.
struct FolderLock;
void Drop(FolderLock* lock);
struct DropFolderLock {
    void operator()(FolderLock* lock) const { Drop(lock); }
};
using HeldFolder = std::unique_ptr<FolderLock, DropFolderLock>;
// The lock of the folder that holds cFile, not taken yet; key names the
// folder whatever path leads to it.
HeldFolder FolderOf(const std::string& cFile, std::string& key);
enum class FolderLockState {
    Held,
    Busy,        // another process holds it
    Unlockable,  // the folder or its file system takes no lock
};
FolderLockState TryLockFolder(FolderLock& lock);
// With the file's folder locked, so that no running save is under way there:
// what saves killed before their rename left of the file.
void RemoveLitter(FolderLock& lock, const PreparedFile& prepared);

// ---- A save's record: the commit of several files, finished after a cut ----
// Made only where no file has the name (lExisted says one had), its bytes in
// one write, flushed to the disk with its folder.
Failure MakeRecord(const std::string& cFile, const std::string& cBytes, bool& lExisted);
// A file a save left, read only where it is the user's to act on: a regular
// file, and in a folder that others may write to but that keeps files to
// their owners (/tmp), the user's own or the folder owner's (lForeign
// otherwise). nAge: seconds since it was written.
Failure ReadOwnFile(const std::string& cFile, std::size_t nMaxBytes, std::string& cBytes, bool& lForeign,
                    long& nAge);
// One name given to another file in its folder, replacing it.
Failure RenameFile(const std::string& cFrom, const std::string& cTo);
// The folder that holds cFile, flushed to the disk.
Failure FlushFolder(const std::string& cFile);
// This process as a record names its writer, and whether the writer so named
// has gone, so that the next copy finishes its save and never a live one's.
std::string WriterName();
bool WriterGone(const std::string& cWriter, long nAge);

}  // namespace backend
}  // namespace rt
