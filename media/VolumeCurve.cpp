#include <algorithm>
#include <cmath>

#include "media/MediaGraph.h"

int VolumeToAttenuation(int volume) {
  volume = std::clamp(volume, 0, 10000);
  return int(std::lround(std::log(double(volume) + 1.0) * 1085.73)) - 10000;
}
