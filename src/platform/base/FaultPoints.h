// The fault hook's side inside the file layer: each step of the write path asks before it runs.
#pragma once

#include <cstdint>

namespace wvr::fs::detail {

// True when the test hook makes `operation` (of `bytes`, for reads and writes) fail; errno is
// then set to EIO.
bool Faulted(const char* operation, uint64_t bytes = 0);

}  // namespace wvr::fs::detail
