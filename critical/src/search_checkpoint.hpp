#pragma once
// The quantile search passes the checkpoint set by set_search_checkpoint.

namespace critical::detail {

void pass_search_checkpoint();

}  // namespace critical::detail
