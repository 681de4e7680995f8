// Every text the user sees, in one table. Texts with %s take the product name or a value.
#pragma once

#include <QString>

namespace restext {

inline const QString ProductName = QStringLiteral("Pictorel");
inline const QString AuthorName = QStringLiteral("Velmoran");
inline const QString ClickToLoad = QStringLiteral("Click on a button to load a video");

}  // namespace restext
