#pragma once

// The report font's character height in pixels, stepped by the zoom keys
// through a fixed ladder of sizes; 16 is the usual size.
inline constexpr int kReportFontPixels = 16;

// The size steps rungs up the ladder (down for a negative count) from current,
// stopping at the ladder's ends. A size between rungs moves to the next rung
// in that direction.
int ZoomedFontPixels(int current, int steps);

// A stored size as the run uses it: one outside the ladder's range is the usual size.
int StoredFontPixels(int stored);
