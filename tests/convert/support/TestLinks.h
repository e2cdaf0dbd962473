#pragma once

// Symbolic links for the tests of walks and targets, on whichever system they run. Under Wine,
// whose CreateSymbolicLinkW makes nothing, the link is a POSIX one made by ln (Wine runs host
// programs): Windows programs see it as a reparse point, as they would a junction.

#include <string>

namespace corvanel::convert::testing {

// Makes `link` lead to `target` (a file or a folder, UTF-8 paths); false when it cannot.
bool MakeLink(const std::string& target, const std::string& link);

// True where MakeLink makes the host's links under Wine, whose own resolution of paths and file
// identities does not follow them as Windows follows its links.
bool LinksAreWineHostLinks();

}  // namespace corvanel::convert::testing
