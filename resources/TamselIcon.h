#pragma once

// The application icon (resource 128), 32 by 32 pixels in XPM form.
extern const char* const kTamselIconXpm[];
