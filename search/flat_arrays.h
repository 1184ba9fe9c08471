// The memory a flat array holds, for indexes that describe themselves as a
// list of arrays (forEachArray).
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace quarry {

template <class T> std::size_t bytesOf(const std::vector<T>& array) {
    return array.capacity() * sizeof(T);
}
inline std::size_t bytesOf(const std::string& array) {
    return array.capacity();
}
template <class T, std::size_t N> std::size_t bytesOf(const std::array<T, N>&) {
    return N * sizeof(T);
}

} // namespace quarry
