#pragma once

// The report font's character height in pixels, stepped by the zoom keys
// through a fixed ladder of sizes; 16 is the usual size.
inline constexpr int kReportFontPixels = 16;
// The ladder's ends: small enough to see a whole screen of hex dump, large enough for a projector.
inline constexpr int kSmallestReportFontPixels = 8;
inline constexpr int kLargestReportFontPixels = 64;

// The size steps rungs up the ladder (down for a negative count) from current,
// stopping at the ladder's ends. A size between rungs moves to the next rung
// in that direction.
int ZoomedFontPixels(int current, int steps);
