// Conversion between NANUM and NaN or the infinities, through the exports.
#include <gtest/gtest.h>
#include <zuvuvur/zuvuvur.h>

#include <bit>
#include <climits>
#include <cmath>
#include <limits>
#include <vector>

namespace {

using Limits = std::numeric_limits<double>;
constexpr double N = NANUM;
const double kNaN = std::nan(""), kInf = Limits::infinity();

TEST(MissingValues, ConvertInPlaceAndCount) {
    ASSERT_EQ(std::bit_cast<std::uint64_t>(NANUM), 0x81AA74FE1C132C0EULL);
    const double nearN = std::nextafter(N, 0.0), max = Limits::max(), tiny = Limits::denorm_min();
    struct Row {
        int (*convert)(double*, std::uint32_t);
        std::vector<double> data, output;
        int result;
    } rows[] = {
        {kxu_NANUM_to_nan, {1.0, N, -2.5, N}, {1.0, kNaN, -2.5, kNaN}, 2},
        {kxu_NANUM_to_nan, {nearN, kNaN, kInf, -0.0}, {nearN, kNaN, kInf, -0.0}, 0},
        {kxu_nan_inf_to_NANUM, {kNaN, kInf, -kInf, 0.0, N}, {N, N, N, 0.0, N}, 3},
        {kxu_nan_inf_to_NANUM, {-std::nan("7"), Limits::signaling_NaN()}, {N, N}, 2},
        {kxu_nan_inf_to_NANUM, {max, tiny, -0.0, -max}, {max, tiny, -0.0, -max}, 0},
    };
    for (Row& row : rows) {
        EXPECT_EQ(row.convert(row.data.data(), static_cast<std::uint32_t>(row.data.size())),
                  row.result);
        for (std::size_t i = 0; i < row.data.size(); ++i) {
            double got = row.data[i], want = row.output[i];
            EXPECT_TRUE(std::isnan(want) ? std::isnan(got)
                                         : got == want && std::signbit(got) == std::signbit(want))
                << i;
        }
    }
}

// A count of 0 is a row of the null matrix.
TEST(MissingValues, NegativeCountsAreRefusedAndTouchNothing) {
    double data[2] = {N, kInf};
    for (auto convert : {kxu_NANUM_to_nan, kxu_nan_inf_to_NANUM}) {
        EXPECT_EQ(convert(data, static_cast<std::uint32_t>(-2)), -1);  // a negative count
        EXPECT_EQ(convert(data, static_cast<std::uint32_t>(INT_MAX) + 1), -1);
    }
    EXPECT_TRUE(data[0] == N && data[1] == kInf);
}

}  // namespace
