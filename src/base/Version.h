// The program's version and licence, as both programs and the package state them.
#pragma once

namespace vantrel {

// The build passes the project's version (CMakeLists.txt, project()).
#ifndef VANTREL_VERSION
#define VANTREL_VERSION "unknown"
#endif
inline constexpr char kVersion[] = VANTREL_VERSION;
inline constexpr char kLicence[] = "GPL-3.0-or-later";
inline constexpr char kLicenceText[] =
    "Vantrel is free software: you can redistribute it and/or modify it under the terms of the GNU General "
    "Public License as published by the Free Software Foundation, either version 3 of the License, or (at "
    "your option) any later version. It comes with ABSOLUTELY NO WARRANTY.";
inline constexpr char kHomePage[] = "https://orvel.org/vantrel";

}  // namespace vantrel
