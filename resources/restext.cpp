#include "resources/restext.h"
