// Program-wide flags shared by the window, the sources and the streaming threads.
#pragma once

#include <atomic>

// Set by the frame-holding element for every frame; cleared by the wait that expects one.
extern std::atomic<bool> RenderFrameArrived;
extern std::atomic<bool> SeekFrameArrived;
// The rendered media has an audio stream linked to the audio branch.
extern std::atomic<bool> HasAudio;
// A file, disc or capture source has been rendered successfully.
extern std::atomic<bool> SourceReady;
// Shared stop request: Escape, the scene button, the end of a scene scan.
extern std::atomic<bool> StopRequested;
// The user acknowledged the error panel.
extern std::atomic<bool> ErrorPanelClosed;
