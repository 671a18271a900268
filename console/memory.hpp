// Memory that a program asks for and may not get: an empty pointer then, never an exception or an
// abort. (operator new(std::nothrow) aborts where the C++ runtime is built without exceptions, as
// it is for the browser, so the bytes come from malloc.)
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>

namespace console {

struct FreeBytes {
    void operator()(char* bytes) const { std::free(bytes); }
};

using Bytes = std::unique_ptr<char[], FreeBytes>;

// `size` bytes, not initialised, or an empty pointer when the memory cannot be had.
inline Bytes allocateBytes(std::size_t size) {
    return Bytes(static_cast<char*>(std::malloc(size > 0 ? size : 1)));
}

}  // namespace console
