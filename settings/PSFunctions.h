// Small helpers shared by every module that turns text into values.
#pragma once

#include <QString>

// Trims blanks and control characters, parses a 32-bit decimal integer (optional sign);
// anything else, overflow included, gives 0. Never fails.
int StrToIntSafe(const QString& text);
