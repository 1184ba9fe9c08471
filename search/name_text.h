// How name search reads bytes: the letters A-Z compare as a-z, every other
// byte (8-bit ones included) compares exactly, and the words of a name are
// runs of ASCII letters and digits.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

namespace quarry {

constexpr unsigned char foldByte(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

constexpr bool isNameWordByte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

inline void appendFolded(std::string_view text, std::string& out) {
    for (const char c : text)
        out.push_back(static_cast<char>(foldByte(static_cast<unsigned char>(c))));
}

inline std::string folded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendFolded(text, out);
    return out;
}

// Whether two texts are equal folded.
inline bool equalFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldByte(static_cast<unsigned char>(a[i])) !=
            foldByte(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Whether `word` occurs in `text`: in time linear in both, whatever the bytes
// (the C library's two-way search), so hostile names cannot stall a search.
inline bool containsBytes(std::string_view text, std::string_view word) {
    return word.empty() || memmem(text.data(), text.size(), word.data(), word.size()) != nullptr;
}

} // namespace quarry
