#pragma once
// The quantile search passes the checkpoint set by set_search_checkpoint.

#include <cstdint>

namespace critical::detail {

// The search passes the checkpoint once per this many points: rare enough to
// cost nothing, often enough (well under a millisecond) for a pause to hold.
inline constexpr std::int64_t points_between_checkpoints = 256;

void pass_search_checkpoint();

}  // namespace critical::detail
