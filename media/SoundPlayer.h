// Plays short sounds (the program's beeps) to their end while the window keeps running.
#pragma once

#include <cstdint>
#include <QByteArray>
#include <QString>

class SoundPlayer {
 public:
  // `sink`: the audio output, as a GStreamer element description; the desktop's own by default.
  explicit SoundPlayer(QString sink = QStringLiteral("autoaudiosink"));

  // Plays a WAVE file held in memory and returns once it has been heard to its end; the event
  // loop runs meanwhile. Returns false at once when no audio output can be opened (it is then
  // not tried again for a while, so a series of beeps costs nothing), and false when the data
  // cannot be played. Never longer than the sound plus a few seconds.
  bool Play(const QByteArray& wav);

 private:
  QString m_sink;
  int64_t m_noOutputUntilMs = 0;  // monotonic time before which the output is known missing
};
