#include "SaveBoth.h"

#include <exception>

#include "SaveLogo.h"
#include "SaveTogether.h"

using namespace rt;

namespace {
// Both files are written beside their old ones first and put in place only
// when both are ready, so that a failed save leaves the pair as it was: two
// files that describe different logos would be worse than either.
Failure WriteBoth(const std::function<Failure()>& writeLog, const std::shared_ptr<XbpBitmap>& oLogo,
                  SaveTogether& together, std::string& cFile)
{
    cFile = "LOGO.TXT";
    if (Failure failure = writeLog(); failure.failed())
        return failure;
    cFile = "LOGO.BMP";
    if (Failure failure = SaveLogo(oLogo); failure.failed())
        return failure;
    return together.place(cFile);
}
}  // namespace

// An exception (memory running out, say) is a failure like any other:
// whatever it interrupted left the old pair, or the new one, and the message
// says which.
Failure SaveBoth(const std::function<Failure()>& writeLog, const std::shared_ptr<XbpBitmap>& oLogo)
{
    std::string cFile;
    Failure failure;
    bool lReplaced = false;
    {
        SaveTogether together;
        try {
            failure = WriteBoth(writeLog, oLogo, together, cFile);
        } catch (const std::exception& e) {
            failure = std::string(e.what());
        }
        lReplaced = together.replaced();
    }
    if (failure.ok())
        return Succeeded();
    return (lReplaced ? "The logo was saved, but the disk did not confirm it.\n" : "The logo could not be saved.\n") +
           cFile + ": " + failure.reason();
}
