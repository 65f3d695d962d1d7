#include "critical/critical_tau.hpp"
#include "search_checkpoint.hpp"

#include <atomic>
#include <cfenv>

namespace critical {

namespace {

// Set by the window thread, read by the worker between search steps.
std::atomic<checkpoint_function> search_checkpoint{nullptr};

}  // namespace

void set_worker_floating_point_environment()
{
    // On x86-64 doubles live in SSE2 registers, whose significands are
    // 53 bits wide already; only the rounding and the flags need setting.
    // The traps themselves are emulated by testing the flags after each
    // operation of the computation.
    std::fesetround(FE_TONEAREST);
    std::feclearexcept(FE_ALL_EXCEPT);
}

void set_search_checkpoint(checkpoint_function checkpoint) noexcept
{
    search_checkpoint.store(checkpoint, std::memory_order_release);
}

namespace detail {

void pass_search_checkpoint()
{
    const checkpoint_function checkpoint = search_checkpoint.load(std::memory_order_acquire);
    if (checkpoint == nullptr) {
        return;
    }
    // The checkpoint is foreign code: whatever it leaves in the exception
    // flags must not be taken for a failure of the next search step.
    const int flags_before = std::fetestexcept(FE_ALL_EXCEPT);
    checkpoint();
    std::feclearexcept(FE_ALL_EXCEPT & ~flags_before);
}

}  // namespace detail

}  // namespace critical
