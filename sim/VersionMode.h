#pragma once

#include "orvane/Framing.h"

namespace sim {

// What the bus accepts: one framing fixed, or each request's own. A simulated
// node answers in the framing of the request it answers.
enum class VersionMode { Auto, V10, V11 };

} // namespace sim
