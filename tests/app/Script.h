#pragma once
// Drives the running program step by step from its own event loop, through
// the backend's hooks: a step returns false while what it waits for has not
// happened yet, and is tried again a few milliseconds later.

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppWindows.h"
#include "GraDialog.h"
#include "TestSupport.h"

namespace test {

class Script {
public:
    using Step = std::function<bool()>;
    explicit Script(std::vector<Step> steps) : steps_(steps.begin(), steps.end())
    {
        ticks_ = everyFewMilliseconds([this] {
            if (!steps_.empty() && steps_.front()())
                steps_.pop_front();
        });
    }
    bool finished() const { return steps_.empty(); }

private:
    std::deque<Step> steps_;
    std::shared_ptr<void> ticks_;
};

// The program's window, once it is up.
inline GraDialog* app()
{
    auto* d = dynamic_cast<GraDialog*>(rt::AppWindow().get());
    return d && d->native() && shown(*d) ? d : nullptr;
}

inline std::shared_ptr<rt::XbpPushButton> button(const std::string& caption)
{
    GraDialog* d = app();
    if (!d)
        return nullptr;
    for (const auto& b : {d->oPbColor1, d->oPbColor2, d->oPbLogo, d->oPbOk})
        if (b->caption == caption)
            return b;
    return nullptr;
}

inline Script::Step press(const std::string& caption)
{
    return [caption] {
        const auto b = button(caption);
        if (!b || modalShown())
            return false;
        click(*b);
        return true;
    };
}

inline Script::Step pressAnsweringColour(const std::string& caption, std::optional<rt::RGB> c)
{
    return [caption, c] {
        if (!button(caption) || modalShown())
            return false;
        answerColorDialog(c);
        return press(caption)();
    };
}

inline Script::Step waitFocus(const std::string& caption)
{
    return [caption] {
        const auto b = button(caption);
        return b && hasFocus(*b);
    };
}

inline Script::Step answerMessage(std::shared_ptr<std::string> text)
{
    return [text] {
        const auto shownText = answerShownMessageBox();
        if (shownText)
            *text = *shownText;
        return shownText.has_value();
    };
}

inline const std::string kRedBlue = test::logoTxt({255, 0, 0}, {0, 0, 255});

// Colour 1 red, colour 2 blue, Make Logo: the focus ends on Ok Logo.
inline std::vector<Script::Step> redBlueLogo()
{
    return {waitFocus("Color 1"), pressAnsweringColour("Color 1", rt::RGB{255, 0, 0}),
            waitFocus("Color 2"), pressAnsweringColour("Color 2", rt::RGB{0, 0, 255}),
            waitFocus("Make Logo"), press("Make Logo"), waitFocus("Ok Logo")};
}

inline std::vector<Script::Step> operator+(std::vector<Script::Step> a, const std::vector<Script::Step>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace test
