#pragma once
// A test in a fresh directory with the program's window made and shown, and
// a colour chosen in the colour dialog as a person would.

#include <memory>
#include <optional>

#include "GraDialog.h"
#include "TestSupport.h"

namespace test {

class WithGraDialog : public InTempDir {
protected:
    std::shared_ptr<GraDialog> created()
    {
        auto d = GraDialog::New();
        d->create();
        d->show();
        return d;
    }
    // The colour dialog of the slot, answered with c (nothing: cancelled).
    void choose(GraDialog& d, int slot, std::optional<rt::RGB> c)
    {
        last = answerColorDialog(c);
        slot == 1 ? d.Make1Color() : d.Make2Color();
    }
    std::shared_ptr<ColorAnswer> last;
};

}  // namespace test
