// A thin owner of a compiled PCRE2 pattern and its match data, with or without
// the JIT compiler, for comparing the pattern engine against PCRE2.
#pragma once

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <cstddef>
#include <string>

namespace quarry {

class cPcrePattern {
public:
    cPcrePattern(const char* pattern, bool jit);
    ~cPcrePattern();
    cPcrePattern(const cPcrePattern&) = delete;
    cPcrePattern& operator=(const cPcrePattern&) = delete;

    bool ok() const { return code_ != nullptr && matchData_ != nullptr && (!wantJit_ || jitOk_); }
    const std::string& error() const { return error_; }

    bool match(const char* text, std::size_t length) {
        return pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(text), length, 0, 0, matchData_,
                           nullptr) >= 0;
    }
    // Start and end offsets of capture group i of the last match; both
    // PCRE2_UNSET when it took no part.
    PCRE2_SIZE groupStart(unsigned i) const;
    PCRE2_SIZE groupEnd(unsigned i) const;

private:
    pcre2_code* code_ = nullptr;
    pcre2_match_data* matchData_ = nullptr;
    bool wantJit_ = false;
    bool jitOk_ = false;
    std::string error_;
};

} // namespace quarry
