// What Help > About says: the version, the licence and the data directory in use.
#pragma once

#include <string>

namespace vantrel {

std::string AboutText(const std::string& dataDir);

}  // namespace vantrel
