#pragma once

#include <cstddef>
#include <functional>

namespace veldro {

// Calls work(i) once for each i below `count`, on up to `threads` threads
// (the caller's among them), each taking the next index free. work must not
// throw and must be safe to call from several threads at once.
void parallelFor(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& work);

} // namespace veldro
