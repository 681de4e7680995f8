#include "settings/PSFunctions.h"

int StrToIntSafe(const QString& text) {
  qsizetype begin = 0, end = text.size();
  while (begin < end && text[begin].unicode() <= ' ') ++begin;
  while (end > begin && text[end - 1].unicode() <= ' ') --end;
  bool ok = false;
  const int value = text.mid(begin, end - begin).toInt(&ok, 10);
  return ok ? value : 0;
}
