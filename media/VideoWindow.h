// The surface the playback pipeline draws into. The main window's video widget implements it;
// the media layer calls it from streaming threads, so an implementation hands the frame over to
// its own thread.
#pragma once

class Bitmap;

class VideoWindow {
 public:
  virtual ~VideoWindow() = default;
  // The latest frame to show, stretched to the surface. Any thread.
  virtual void ShowFrame(const Bitmap& frame) = 0;
  // Hides or shows the surface (a detached source leaves nothing on screen). Any thread.
  virtual void SetVideoVisible(bool visible) = 0;
};
