#include "Main.h"

#include <memory>
#include <string>

#include "Announce.h"
#include "AppEvents.h"
#include "AppWindows.h"
#include "GraDialog.h"
#include "SaveBoth.h"

using namespace rt;

void APPSYS() {}

namespace {
// "Ok Logo": write both files, then close. When a file cannot be written the
// window stays open and neither file changes, so that nothing the user made
// is lost and they can try again; the message names the file and the reason.
void OkLogo(GraDialog& oApp)
{
    if (const Failure failure = SaveBoth([&oApp] { return oApp.WriteLog(); }, oApp.oLogo); failure.failed()) {
        MsgBox(failure.reason());
        return;
    }
    // Said before the window closes, so that Ok Logo never sounds like the close box.
    Announce(oApp.oLogo ? "Saved LOGO.TXT and LOGO.BMP." : "Saved LOGO.TXT; LOGO.BMP kept as it was.");
    PostAppEvent(EVENT_CLOSE);
}
}  // namespace

void MAIN()
{
    MsgParam mp1, mp2;
    std::shared_ptr<XbpWindow> oXbp;

    const auto oApp = GraDialog::New();
    oApp->icon = 1;
    // The actions hold the dialog weakly: the dialog owns them.
    const std::weak_ptr<GraDialog> app = oApp;
    oApp->oPbColor1->activate = [app] {
        const auto o = app.lock();
        o->Make1Color();
        SetAppFocus(o->oPbColor2);
    };
    oApp->oPbColor2->activate = [app] {
        const auto o = app.lock();
        o->Make2Color();
        SetAppFocus(o->oPbLogo);
    };
    oApp->oPbLogo->activate = [app] {
        const auto o = app.lock();
        o->MakeLogo();
        SetAppFocus(o->oPbOk);
    };
    oApp->oPbOk->activate = [app] { OkLogo(*app.lock()); };
    oApp->close = [] { PostAppEvent(EVENT_CLOSE); };

    oApp->create();
    CenterControl(oApp);
    oApp->show();
    SetAppWindow(oApp);
    SetAppFocus(oApp);
    SetAppFocus(oApp->oPbColor1);

    long nEvent = 0;
    while (nEvent != EVENT_CLOSE) {
        nEvent = AppEvent(mp1, mp2, oXbp);
        if (oXbp)  // an event that names no window has nobody to go to
            oXbp->handleEvent(nEvent, mp1, mp2);
        if (nEvent == EVENT_QUIT)
            QUIT();
    }
}
