// No exception may leave a thread entry or a Win32 callback: Windows may end
// the process there, and Wine swallows it half-way through a handler. Nothing
// in PLYX throws; the standard library does, and what it throws here is an
// allocation failure (std::bad_alloc, or std::length_error for a request too
// large to try). GuardCallback wraps the body of every thread entry, dialog
// and window procedure, hook and COM method, and tells the user the one way
// PLYX reports a failed allocation.
#pragma once

#include <type_traits>

// kMemoryFailure, with no owner.
void ReportMemoryFailure() noexcept;

// body()'s result; when body throws, the failure is reported and `fallback`
// is returned instead: GuardCallback(FALSE, [&] { return OnMessage(...); }).
template <typename Body>
std::invoke_result_t<Body&> GuardCallback(std::invoke_result_t<Body&> fallback, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    ReportMemoryFailure();
    return fallback;
  }
}

// For a body without a result: false when it threw (and was reported).
template <typename Body, typename = std::enable_if_t<std::is_void_v<std::invoke_result_t<Body&>>>>
bool GuardCallback(Body&& body) noexcept {
  return GuardCallback(false, [&] {
    body();
    return true;
  });
}
