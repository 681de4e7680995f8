#include "tests/support/TestMedia.h"

QString TestMedia(const QString& name) {
  return QStringLiteral(PICTOREL_TEST_MEDIA_DIR) + "/" + name;
}
