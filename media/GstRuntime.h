// The media framework's process-wide set-up. Only media/ includes this.
#pragma once

#include <QString>

// Initialises GStreamer once for the process and registers the program's own elements.
void EnsureGstInitialised();

// "major.minor.micro" of the GStreamer library in use.
QString GstVersionText();
bool GstVersionAtLeast(unsigned major, unsigned minor);
