#pragma once

#include <QStringView>

namespace AddFolder {

// File-name wildcard match as the folder listing applies it: case-insensitive, "*" matches any
// run of characters, "?" exactly one, and "*.*" matches every name, with or without a dot.
// No other character is special. Runs in time proportional to name x pattern at worst.
bool MatchesWildcard(QStringView name, QStringView pattern);

}  // namespace AddFolder
