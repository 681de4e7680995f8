// What the media tests share: the load sequence a file source runs, and the waits on the frame
// flags, each bounded so that a fault fails the test instead of hanging it.
#pragma once

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QString>

#include "media/Bitmap.h"
#include "media/GstMediaGraph.h"
#include "media/graph.h"
#include "sources/FlagWait.h"
#include "sources/GrabUnit.h"
#include "sources/ProgramFlags.h"
#include "tests/support/TestMedia.h"

namespace playback {

constexpr int FrameWaitMs = 10000;

inline QString media(const char* name) {
  const QString path = TestMedia(name);
  EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString()
                                       << " is missing: build the test-media target first";
  return path;
}

// The file source's load: clear, render, re-plumb, then run to the first frame and pause.
inline uint8_t load(Tdm& dm, const QString& path, int volume = 10000) {
  MediaGraph& fg = dm.fg();
  fg.Clear();
  if (!fg.RenderFile(path)) return RenderMediaFailed;
  const uint8_t code = dm.InsertFrameFilter();
  if (code != RenderOk) return code;
  fg.SetVolume(volume);
  RenderFrameArrived = false;
  fg.Run();
  const bool arrived = WaitUntil([] { return RenderFrameArrived.load(); }, FrameWaitMs);
  fg.Pause();
  EXPECT_TRUE(arrived) << "no first frame from " << path.toStdString();
  return code;
}

// A seek that waits for the frame, as a source does when asked to wait.
inline bool seekAndWait(MediaGraph& fg, int64_t position) {
  SeekFrameArrived = false;
  fg.SetPositions(position);
  fg.Pause();
  return WaitUntil([] { return SeekFrameArrived.load(); }, FrameWaitMs);
}

inline Bitmap heldFrame(Tdm& dm) {
  Bitmap picture;
  dm.Superposer().CopyHeldFrame(picture);
  return picture;
}

// Lets queued work (bus messages, state changes) run for a while.
inline void settle(int ms) { WaitUntil([] { return false; }, ms); }

}  // namespace playback
