#include "pcre_pattern.h"

namespace quarry {

cPcrePattern::cPcrePattern(const char* pattern, bool jit) : wantJit_(jit) {
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern), PCRE2_ZERO_TERMINATED,
                          PCRE2_DOTALL, &errorCode, &errorOffset, nullptr);
    if (code_ == nullptr) {
        PCRE2_UCHAR message[256];
        pcre2_get_error_message(errorCode, message, sizeof message);
        error_ = reinterpret_cast<const char*>(message);
        return;
    }
    if (jit) jitOk_ = pcre2_jit_compile(code_, PCRE2_JIT_COMPLETE) == 0;
    matchData_ = pcre2_match_data_create_from_pattern(code_, nullptr);
}

cPcrePattern::~cPcrePattern() {
    pcre2_match_data_free(matchData_);
    pcre2_code_free(code_);
}

PCRE2_SIZE cPcrePattern::groupStart(unsigned i) const {
    if (i + 1 >= pcre2_get_ovector_count(matchData_)) return PCRE2_UNSET;
    return pcre2_get_ovector_pointer(matchData_)[2 * (i + 1)];
}

PCRE2_SIZE cPcrePattern::groupEnd(unsigned i) const {
    if (i + 1 >= pcre2_get_ovector_count(matchData_)) return PCRE2_UNSET;
    return pcre2_get_ovector_pointer(matchData_)[2 * (i + 1) + 1];
}

} // namespace quarry
