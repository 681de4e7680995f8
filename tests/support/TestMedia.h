// Where the generated test media live.
#pragma once

#include <QString>

// Full path of a generated fixture (see scripts/make-test-media).
QString TestMedia(const QString& name);
