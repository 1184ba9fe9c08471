// Summaries of repeated measurements.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace quarry {

// The value below which the given fraction of the samples lie (nearest rank);
// 0 for no samples.
inline double percentile(std::vector<double> samples, double fraction) {
    if (samples.empty()) return 0.0;
    std::sort(samples.begin(), samples.end());
    std::size_t rank =
        static_cast<std::size_t>(fraction * static_cast<double>(samples.size()) + 0.999999);
    rank = std::clamp<std::size_t>(rank, 1, samples.size());
    return samples[rank - 1];
}

// The middle value; for an even count the mean of the two middle values.
inline double median(std::vector<double> samples) {
    if (samples.empty()) return 0.0;
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    return n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2.0;
}

} // namespace quarry
