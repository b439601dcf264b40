#include "Announce.h"

#include "Backend.h"

namespace rt {

void Announce(const std::string& cText) { backend::Announce(cText); }

}  // namespace rt
