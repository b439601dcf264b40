#include <algorithm>
#include <charconv>
#include <vector>

#include "Win32.h"

namespace rt {

HFONT fontFromName(const std::string& name, int dpi)
{
    // A few fonts a run, kept in a list: a tree would cost more code than it saves.
    struct Made {
        std::string name;
        int dpi;
        HFONT font;
    };
    static std::vector<Made> fonts;
    for (const Made& made : fonts)
        if (made.name == name && made.dpi == dpi)
            return made.font;
    const std::size_t dot = name.find('.');
    // Whole points: std::stod would link in a floating-point parser for them.
    int points = 0;
    if (dot != std::string::npos)
        std::from_chars(name.data(), name.data() + dot, points);
    const std::wstring face = widen(dot == std::string::npos ? name : name.substr(dot + 1));
    LOGFONTW lf{};
    lf.lfHeight = points > 0 ? -LONG(MulDiv(points, dpi, 72)) : 0;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;  // the user's own font smoothing
    face.copy(lf.lfFaceName, std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
    HFONT font = CreateFontIndirectW(&lf);
    fonts.push_back({name, dpi, font});
    return font;
}

}  // namespace rt
