#pragma once

#include <QString>

// The process-wide application title: the caption of every message and input box that names
// none of its own. Empty until the window's start-up sets it.
QString ApplicationTitle();
void SetApplicationTitle(const QString& productName);

// The title for a product name: trailing words are dropped (at least one, then until the text is
// at most 40 characters long). A name without a space has no word to drop: it stays whole when
// it fits and is cut at 40 characters otherwise.
QString ApplicationTitleFor(const QString& productName);
