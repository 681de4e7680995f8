#include "sources/ProgramFlags.h"

std::atomic<bool> RenderFrameArrived{false};
std::atomic<bool> SeekFrameArrived{false};
std::atomic<bool> HasAudio{false};
std::atomic<bool> SourceReady{false};
std::atomic<bool> StopRequested{true};
std::atomic<bool> ErrorPanelClosed{true};
