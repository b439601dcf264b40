#include "CommandLine.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "Gra.h"
#include "GraDialog.h"
#include "Runtime.h"
#include "SaveBoth.h"
#include "SaveTogether.h"
#include "System.h"
#include "XbpPresSpace.h"

using namespace rt;

namespace {
constexpr int kSaved = 0, kFailed = 1, kMisused = 2;
constexpr std::string_view kColour = "a colour, #rrggbb or R,G,B with each 0 to 255";

const char* const kHelp =
    "Usage: gradient-logo [--color1 COLOUR --color2 COLOUR | --print | --help | --version]\n"
    "\n"
    "Without an option, opens the Gradient Logo window.\n"
    "\n"
    "  --color1 COLOUR --color2 COLOUR\n"
    "                 save LOGO.TXT and LOGO.BMP in the current folder, a 128 x 24\n"
    "                 gradient from COLOUR 1 to COLOUR 2: the files the window saves\n"
    "                 after Make Logo and Ok Logo; no window, no display needed\n"
    "  --print        print the two colours of LOGO.TXT in the current folder, a\n"
    "                 line each: color1 #rrggbb R,G,B (then color2)\n"
    "  --help         show this and end\n"
    "  --version      show the version and end\n"
    "\n"
    "COLOUR is #rrggbb (#d02030) or R,G,B with each 0 to 255 (208,32,48).\n"
    "Exit status: 0 done, 1 not saved or not read, 2 a wrong call.";

// "#rrggbb", as the colour dialog's HTML field takes it, or "R,G,B" with each
// 0 to 255, as LOGO.TXT holds it; nothing else.
std::optional<RGB> ParseColour(std::string_view text)
{
    RGB aRGB{};
    const auto number = [&aRGB](std::string_view digits, int i, int base) {
        if (digits.empty() || digits.size() > 3 || digits.find_first_of("+- ") != std::string_view::npos)
            return false;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), aRGB[i], base);
        return error == std::errc() && end == digits.data() + digits.size() && aRGB[i] <= 255;
    };
    if (text.size() == 7 && text[0] == '#')
        return number(text.substr(1, 2), 0, 16) && number(text.substr(3, 2), 1, 16) && number(text.substr(5, 2), 2, 16)
                   ? std::optional(aRGB)
                   : std::nullopt;
    for (int i = 0; i < 3; ++i) {
        const std::size_t comma = i < 2 ? text.find(',') : text.size();
        if (comma == std::string_view::npos || !number(text.substr(0, comma), i, 10))
            return std::nullopt;
        text.remove_prefix(std::min(comma + 1, text.size()));
    }
    return aRGB;
}

std::string Hex(const RGB& aRGB)
{
    const char* const digits = "0123456789abcdef";
    std::string hex = "#";
    for (const int c : aRGB)
        hex += {digits[c / 16], digits[c % 16]};
    return hex;
}

// The window's logo, drawn as Make Logo draws it, on a bitmap instead of
// the logo swatch: the same gradient call on the same 128 x 24 pixels.
std::shared_ptr<XbpBitmap> LogoOf(const RGB& aColor1, const RGB& aColor2)
{
    auto oLogo = XbpBitmap::New();
    oLogo->create();
    oLogo->make(128, 24);
    auto oPS = XbpPresSpace::New();
    oLogo->presSpace(oPS);
    const Pos aPos{128, 24};
    GraGradient(*oPS, {0, 0}, {aPos}, {*GraMakeRGBColor(aColor1), *GraMakeRGBColor(aColor2)}, 0);
    return oLogo;
}

// "Ok Logo" with these colours and their logo, as the window saves them.
int Save(const RGB& aColor1, const RGB& aColor2)
{
    const ColorNumber nColor1 = *GraMakeRGBColor(aColor1), nColor2 = *GraMakeRGBColor(aColor2);
    const auto writeLog = [nColor1, nColor2] { return GraDialog::WriteLog(nColor1, nColor2); };
    if (const Failure failure = SaveBoth(writeLog, LogoOf(aColor1, aColor2)); failure.failed()) {
        std::string line = failure.reason();
        std::replace(line.begin(), line.end(), '\n', ' ');
        Runtime::SayError(line);
        return kFailed;
    }
    Runtime::Say("Saved LOGO.TXT and LOGO.BMP in " + CurDirShown() + ".");
    return kSaved;
}

// The colours of LOGO.TXT, exactly as the tool writes it (an end-of-file
// byte after it, as older writers leave, aside).
int Print()
{
    FinishCutSave("LOGO.TXT");
    std::string cText;
    if (const Failure failure = ReadWholeFile("LOGO.TXT", 64, cText); failure.failed()) {
        Runtime::SayError("LOGO.TXT: " + failure.reason());
        return kFailed;
    }
    if (cText.size() == 51 && cText.back() == '\x1A')
        cText.pop_back();
    std::optional<RGB> aColors[2];
    for (int n = 0; n < 2 && cText.size() == 50; ++n) {
        const std::string_view line = std::string_view(cText).substr(std::size_t(25 * n), 25);
        // Eleven characters that parse as R,G,B can only be ddd,ddd,ddd.
        if (line.substr(0, 13) == "\r\nColor " + std::to_string(n + 1) + " : {" && line.substr(24) == "}")
            aColors[n] = ParseColour(line.substr(13, 11));
    }
    if (!aColors[0] || !aColors[1]) {
        Runtime::SayError("LOGO.TXT is not a colour log of this tool");
        return kFailed;
    }
    for (int n = 0; n < 2; ++n) {
        const RGB& c = *aColors[n];
        Runtime::Say("color" + std::to_string(n + 1) + " " + Hex(c) + " " + std::to_string(c[0]) + "," +
                     std::to_string(c[1]) + "," + std::to_string(c[2]));
    }
    return kSaved;
}

int Misused(const std::string& what)
{
    Runtime::SayError(what + " (see --help)");
    return kMisused;
}
}  // namespace

std::optional<int> CommandLine(const char* argv0, const std::vector<std::string>& args)
{
    std::optional<RGB> aColors[2];
    bool lPrint = false, lHelp = false, lVersion = false, lAnyOption = false, lEnded = false;
    std::optional<std::string> other;  // the first argument that is no option
    std::string misuse;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!lEnded && arg == "--") {
            lEnded = true;
            continue;
        }
        if (lEnded || arg.size() < 2 || arg[0] != '-') {
            other = other.value_or(arg);
            continue;
        }
        lAnyOption = true;
        const std::size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
        const std::string name = arg.substr(0, equals);
        std::optional<std::string> value;
        if (equals != std::string::npos)
            value = arg.substr(equals + 1);
        if (!misuse.empty())
            continue;
        if (name == "--color1" || name == "--color2") {
            if (!value && i + 1 < args.size())
                value = args[++i];
            std::optional<RGB>& aColor = aColors[name == "--color1" ? 0 : 1];
            if (!value)
                misuse = name + " needs " + std::string(kColour);
            else if (!(aColor = ParseColour(*value)))
                misuse = name + " '" + *value + "': expected " + std::string(kColour);
        } else if ((name == "--print" || name == "--help" || name == "--version") && !value) {
            (name == "--print" ? lPrint : name == "--help" ? lHelp : lVersion) = true;
        } else {
            misuse = "unknown option '" + arg + "'";
        }
    }
    if (!lAnyOption)
        return std::nullopt;
    Runtime::Name(argv0, "Gradient Logo");
    if (!misuse.empty())
        return Misused(misuse);
    if (other)
        return Misused("unexpected argument '" + *other + "'");
    if (lHelp) {
        Runtime::Say(kHelp);
        return kSaved;
    }
    if (lVersion) {
        Runtime::Say("gradient-logo " GL_VERSION);
        return kSaved;
    }
    const bool lColours = aColors[0] || aColors[1];
    if (lPrint && lColours)
        return Misused("--print and --color1 or --color2 cannot be given together");
    if (lPrint)
        return Print();
    if (!aColors[0] || !aColors[1])
        return Misused(std::string(aColors[0] ? "--color2" : "--color1") + " is missing: give both --color1 and --color2");
    return Save(*aColors[0], *aColors[1]);
}
