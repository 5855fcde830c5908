#pragma once

// The two Orvane framings. A simulated node answers in the framing of the
// request it answers, so every packet carries the version it was framed in.
enum class WireVersion { V10, V11 };

// What the bus accepts: one framing fixed, or each request's own.
enum class VersionMode { Auto, V10, V11 };
