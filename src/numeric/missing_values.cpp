// Conversion between the host's missing value and NaN or the infinities.
#include <zuvuvur/numeric.h>

#include <climits>
#include <cmath>

#include "kxtl.h"

namespace {
// A count the int result cannot report, or a buffer that is not there.
bool Refused(const double* data, std::uint32_t count) {
    return count > static_cast<std::uint32_t>(INT_MAX) || (count > 0 && !data);
}
}  // namespace

int kxu_NANUM_to_nan(double* data, std::uint32_t count) {
    // Made once per call, before anything else, and never kept as a constant.
    const double nan = kxtl::log(-1.0);
    if (count == 0) return 0;
    if (Refused(data, count)) return -1;
    int replaced = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (data[i] == NANUM) {
            data[i] = nan;
            ++replaced;
        }
    }
    return replaced;
}

int kxu_nan_inf_to_NANUM(double* data, std::uint32_t count) {
    if (count == 0) return 0;
    if (Refused(data, count)) return -1;
    int replaced = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!std::isfinite(data[i])) {  // NaN, +inf and -inf alike
            data[i] = NANUM;
            ++replaced;
        }
    }
    return replaced;
}
