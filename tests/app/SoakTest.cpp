// Many renderings and colour choices through the real objects: memory stays
// flat once warm, and (in the sanitizer build) nothing leaks.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "AppEvents.h"
#include "Gra.h"
#include "GraDialog.h"
#include "TestSupport.h"

using namespace rt;

namespace {
long residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

ColorNumber colour(int i) { return *GraMakeRGBColor(RGB{(i * 37) % 256, (i * 91) % 256, (i * 13) % 256}); }
}  // namespace

class Soak : public test::InTempDir {};

TEST_F(Soak, RenderingsAndChoicesKeepMemoryFlat)
{
    const auto d = GraDialog::New();
    d->create();
    d->show();
    d->oStat1->cargo = colour(0);
    d->oStat2->cargo = colour(1);
    const auto round = [&d](int i) {
        if (i % 10 == 0) {  // one colour choice in ten renderings
            test::answerColorDialog(GraGetRGBIntensity(colour(i)));
            i % 20 == 0 ? d->Make1Color() : d->Make2Color();
        } else {
            d->oStat1->cargo = colour(i);
            d->oStat2->cargo = colour(i + 1);
        }
        ASSERT_TRUE(d->MakeLogo());
        test::processEvents();  // let the window paint what changed
    };
    for (int i = 0; i < 200; ++i)
        round(i);
    const long warm = residentBytes();
    for (int i = 0; i < 2000; ++i)
        round(i);
    const long grown = residentBytes() - warm;
    RecordProperty("resident_growth_bytes", std::to_string(grown));
    EXPECT_EQ(PendingAppEvents(), 0u);
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(grown, 2L * 1024 * 1024) << "resident memory grew by " << grown << " bytes";
#endif
}
