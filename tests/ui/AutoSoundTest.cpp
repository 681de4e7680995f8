// The intervalometer's beeps: the two sounds of the resources and their playing to the end.
#include <gtest/gtest.h>

#include <QFile>

#include "main/QtShell.h"
#include "media/SoundPlayer.h"

namespace {

QByteArray sound(const char* name) {
  QFile file(QStringLiteral(PICTOREL_SOURCE_DIR "/resources/") + name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

uint32_t le32(const QByteArray& bytes, int at) {
  return uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8 | uint8_t(bytes[at + 2]) << 16 |
         uint32_t(uint8_t(bytes[at + 3])) << 24;
}

TEST(AutoSound, BeepsAreShortMonoPcmAndDiffer) {
  const QByteArray beep0 = sound("BEEP0.wav");
  const QByteArray beep1 = sound("BEEP1.wav");
  for (const QByteArray& wav : {beep0, beep1}) {
    ASSERT_GT(wav.size(), 44);
    EXPECT_TRUE(wav.startsWith("RIFF"));
    EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(uint8_t(wav[22]), 1);    // mono
    EXPECT_EQ(le32(wav, 24), 11025u);  // samples per second
    EXPECT_LT(wav.size(), 4000);       // well under half a second
  }
  EXPECT_NE(beep0, beep1);
}

TEST(AutoSound, PlaysToTheEndOnAnOutput) {
  SoundPlayer player(QStringLiteral("fakesink sync=true"));
  EXPECT_TRUE(player.Play(sound("BEEP0.wav")));
  EXPECT_TRUE(player.Play(sound("BEEP1.wav")));
}

TEST(AutoSound, NoOutputOrNoSoundIsSilentAndDoesNotWait) {
  SoundPlayer nowhere(QStringLiteral("alsasink device=pictorel-no-such-device"));
  EXPECT_FALSE(nowhere.Play(sound("BEEP0.wav")));
  EXPECT_FALSE(nowhere.Play(sound("BEEP0.wav")));
  SoundPlayer player(QStringLiteral("fakesink sync=true"));
  EXPECT_FALSE(player.Play(QByteArray("RIFF not really a wave file at all, nothing to play")));
  EXPECT_FALSE(player.Play(QByteArray()));
}

TEST(AutoSound, DesktopPlaysTheResourcesWhateverTheOutput) {
  QtShell shell;
  shell.PlaySound(QStringLiteral("BEEP0"));  // returns: played, or no output here
  shell.PlaySound(QStringLiteral("NO-SUCH-SOUND"));
  SUCCEED();
}

}  // namespace
