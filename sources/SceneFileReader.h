// Reading the scene starts back from a .scn file beside a video, for next / previous scene.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>
#include <QString>

struct SceneStarts {
  uint16_t SceneCount = 0;          // as patched at the end of a detection (0: unfinished)
  std::vector<uint32_t> FirstFrames;  // of every record the file holds in full, in file order
};

// Nothing when the file is missing, unreadable or shorter than its header.
std::optional<SceneStarts> ReadSceneStarts(const QString& scnPath);

// The last scene start strictly before `frame`, or 0.
uint32_t PreviousSceneStart(const SceneStarts& scenes, uint32_t frame);
// The first scene start strictly after `frame`, or 0xFFFFFFFF when there is none.
uint32_t NextSceneStart(const SceneStarts& scenes, uint32_t frame);
