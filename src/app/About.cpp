#include "app/About.h"

#include "base/Version.h"

namespace vantrel {

std::string AboutText(const std::string& dataDir)
{
    return std::string("Vantrel ") + kVersion +
           "\nA tool for the level files of Rocks'n'Diamonds.\n\nLicence: " + kLicence + "\n" + kLicenceText +
           "\n\nData directory: " + (dataDir.empty() ? std::string("none chosen yet") : dataDir) + "\n\n" +
           kHomePage;
}

}  // namespace vantrel
