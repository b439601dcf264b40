#pragma once
// What every widget test shares, on every backend: pixels read through the
// runtime's own Pixels, files through the standard library, and the
// platform's side of a test (answering its dialogs, pressing its buttons,
// reading back what its windows show) through the small set of hooks at the
// end, which each backend's drive (tests/qt/, tests/win32/) defines. Dialogs
// are answered as soon as they are up, never after a sleep.

#include <gtest/gtest.h>

#include <cstdint>
#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppEvents.h"
#include "AppWindows.h"
#include "Pixels.h"
#include "XbpBitmap.h"
#include "XbpDialog.h"
#include "XbpPresSpace.h"
#include "XbpStatic.h"

namespace test {

// ---- Pixels ------------------------------------------------------------------

inline constexpr std::uint32_t rgb(int r, int g, int b)
{
    return 0xFF000000u | std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b);
}
inline int red(std::uint32_t c) { return int((c >> 16) & 0xFF); }
inline int green(std::uint32_t c) { return int((c >> 8) & 0xFF); }
inline int blue(std::uint32_t c) { return int(c & 0xFF); }
inline int grey(std::uint32_t c) { return (red(c) * 11 + green(c) * 16 + blue(c) * 5) / 32; }

// A picture's pixel from its top-left corner, opaque.
inline std::uint32_t pixel(const rt::Pixels& p, int x, int y) { return p.at(x, y) | 0xFF000000; }
inline std::uint32_t pixel(const rt::XbpBitmap& b, int x, int y) { return pixel(b.pixels(), x, y); }
inline std::uint32_t pixel(const std::shared_ptr<rt::XbpBitmap>& b, int x, int y) { return pixel(*b, x, y); }

// The same picture, pixel for pixel, alpha aside.
inline bool samePicture(const rt::Pixels& a, const rt::Pixels& b)
{
    if (a.width != b.width || a.height != b.height)
        return false;
    for (std::size_t i = 0; i < a.rgb.size(); ++i)
        if ((a.rgb[i] ^ b.rgb[i]) & 0xFFFFFF)
            return false;
    return true;
}

// Equal but for the rounding of a screen that scales.
inline void expectNear(std::uint32_t a, std::uint32_t b, int by = 3)
{
    EXPECT_NEAR(red(a), red(b), by);
    EXPECT_NEAR(green(a), green(b), by);
    EXPECT_NEAR(blue(a), blue(b), by);
}

// A white bitmap of the size and format, with a presentation space bound to it to draw on.
std::pair<std::shared_ptr<rt::XbpBitmap>, std::shared_ptr<rt::XbpPresSpace>> canvas(int w, int h, int bits = 24);
// The 128 x 24 logo computed from colour 1 to colour 2, as Make Logo must draw it.
std::shared_ptr<rt::XbpBitmap> gradientLogo(rt::RGB color1, rt::RGB color2);

// A BMP written by hand, the one builder of the tests: a header of that size
// (12: OS/2, with three-byte palette entries; 40 and more: Windows), then the
// masks, the palette and the pixel bytes as given.
struct BmpParts {
    int headerSize = 40;
    std::int32_t width = 1, height = 1;
    int bits = 24, compression = 0;
    std::string masks = {};
    std::vector<std::uint32_t> palette = {};
    std::string pixels = {};
};
std::string bmpFile(const BmpParts& parts);
// Overwrites a little-endian field of a file in place.
void putLe(std::string& bytes, std::size_t at, std::uint32_t v, int size = 4);
// LOGO.TXT as the tool writes it for the two colours.
std::string logoTxt(rt::RGB color1, rt::RGB color2);

// A plain BMP of 1 or 8 bits with the palette, rows from the bottom, each
// pixel's palette index given by index(x, y) (y from the top).
std::string paletteBmp(int width, int height, int bits, const std::vector<std::uint32_t>& palette,
                       const std::function<int(int x, int y)>& index);

// ---- Files -------------------------------------------------------------------

}  // namespace test

namespace rt {
// How a failed EXPECT shows an outcome.
inline void PrintTo(const Failure& f, std::ostream* os) { *os << (f.ok() ? "succeeded" : "failed: " + f.reason()); }
}  // namespace rt

namespace test {

inline std::string readAll(const std::filesystem::path& name)
{
    std::ifstream f(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

inline void writeAll(const std::filesystem::path& name, const std::string& bytes)
{
    std::ofstream f(name, std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(f.is_open()) << name;
    f.write(bytes.data(), std::streamsize(bytes.size()));
}

// The record that a save cut after its commit leaves, of a writer on another
// host (gone once the record is a minute old): for each file, its name, its
// new file's name and bytes.
std::string cutRecord(const std::vector<std::array<std::string, 3>>& files);

// What the system says of a file that is not there, and of a folder where a
// file should be, in its own words.
enum class Fault { NoSuchFile, Folder };
std::string systemReason(Fault fault);

// Memory that runs out: while one lives, the n-th allocation from its start
// throws std::bad_alloc (once; those after it succeed).
class FailingAllocation {
public:
    explicit FailingAllocation(long n);
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;
    // Whether the n-th allocation came (and so failed).
    bool failed() const;
};

// The names in the current directory, sorted.
std::vector<std::string> filesHere();

// Runs each test in a fresh current directory, where LOGO.TXT and LOGO.BMP go,
// with an empty application event queue.
class InTempDir : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::filesystem::path path(const std::string& name) const { return dir_ / name; }

private:
    std::filesystem::path dir_;
    std::filesystem::path previous_;
};

// A dialog of that size without maximise and minimise buttons, not on screen.
std::shared_ptr<rt::XbpDialog> hiddenDialog(rt::Size size, std::shared_ptr<rt::PresParams> pp = nullptr);

// A 128 x 30 bitmap static at pos on a 200 x 100 dialog, neither on screen.
struct Swatch {
    std::shared_ptr<rt::XbpDialog> dialog;
    std::shared_ptr<rt::XbpStatic> swatch;
};
Swatch hiddenSwatch(rt::Pos pos);

// ---- The backend's side: each drive defines these ------------------------------

// The platform's pending events, processed once, without waiting.
void processEvents();
// Calls tick every few milliseconds from the event loop, modal loops included,
// for as long as the returned handle lives.
std::shared_ptr<void> everyFewMilliseconds(std::function<void()> tick);

// Whether one of the platform's modal dialogs (a message box, the colour dialog) is up.
bool modalShown();
// Calls act once, as soon as a modal dialog is up.
void whenModal(std::function<void()> act);

// Answers the next colour dialog: records its title and preselected colour,
// then picks `pick`, or cancels without one.
struct ColorAnswer {
    std::string title;
    std::optional<rt::RGB> preselected;
};
std::shared_ptr<ColorAnswer> answerColorDialog(std::optional<rt::RGB> pick);

// Answers the next message box with OK and hands back its text and title.
struct MessageAnswer {
    std::string text;
    std::string title;
    int count = 0;
};
std::shared_ptr<MessageAnswer> answerMessageBox();
// The message box that is up now, answered with OK: its text; nothing when none is up.
std::optional<std::string> answerShownMessageBox();

// A window's place in its parent's client area, from the top-left corner.
struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Geometry&) const = default;
};
Geometry geometry(const rt::XbpWindow& window);
// The client area's size of a top-level window.
rt::Size clientSize(const rt::XbpWindow& window);
// Whether the platform's window of child lies directly in parent's.
bool nativeChildOf(const rt::XbpWindow& child, const rt::XbpWindow& parent);
// Our windows that lie directly in parent's platform window, in the order they were made.
std::vector<const rt::XbpWindow*> nativeChildren(const rt::XbpWindow& parent);
// Visible on screen: shown, and every window around it too.
bool shown(const rt::XbpWindow& window);
std::string title(const rt::XbpWindow& window);
// The name that the platform's accessibility gives a screen reader.
std::string spokenName(const rt::XbpWindow& window);
// Whether the window has its top-level window's focus.
bool hasFocus(const rt::XbpWindow& window);

// A mouse click on a button; Space pressed on the window; Escape; the close box.
void click(const rt::XbpWindow& button);
void pressSpace(const rt::XbpWindow& window);
void pressEscape(const rt::XbpWindow& window);
void requestClose(const rt::XbpWindow& dialog);
// Activates a top-level window and waits, with a deadline, until it is active.
bool activate(const rt::XbpWindow& window);

// What the window shows on screen with what lies in it, one pixel per logical pixel.
rt::Pixels shownPixels(const rt::XbpWindow& window);

}  // namespace test
