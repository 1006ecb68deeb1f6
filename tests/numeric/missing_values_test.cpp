// Conversion between NANUM and NaN or the infinities, through the exports.
#include <gtest/gtest.h>
#include <zuvuvur/zuvuvur.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace {

using Limits = std::numeric_limits<double>;
constexpr double N = NANUM;
const double kNaN = std::nan("");
const double kInf = Limits::infinity();

std::uint64_t Bits(double v) {
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

struct Row {
    int (*convert)(double*, std::uint32_t);
    std::vector<double> input, output;
    int result;
};

TEST(MissingValues, ConvertInPlaceAndCount) {
    const double nearNanum = std::nextafter(N, 0.0);
    const double quietNegative = -std::nan("7");
    const Row rows[] = {
        {kxu_NANUM_to_nan, {1.0, N, -2.5, N}, {1.0, kNaN, -2.5, kNaN}, 2},
        {kxu_NANUM_to_nan, {nearNanum, kNaN, kInf, -0.0}, {nearNanum, kNaN, kInf, -0.0}, 0},
        {kxu_nan_inf_to_NANUM, {kNaN, kInf, -kInf, 0.0, N}, {N, N, N, 0.0, N}, 3},
        {kxu_nan_inf_to_NANUM, {quietNegative, Limits::signaling_NaN()}, {N, N}, 2},
        {kxu_nan_inf_to_NANUM,
         {Limits::max(), Limits::denorm_min(), -0.0, -Limits::max()},
         {Limits::max(), Limits::denorm_min(), -0.0, -Limits::max()},
         0},
    };
    for (const Row& row : rows) {
        std::vector<double> data = row.input;
        EXPECT_EQ(row.convert(data.data(), static_cast<std::uint32_t>(data.size())), row.result);
        for (std::size_t i = 0; i < data.size(); ++i) {
            if (std::isnan(row.output[i]))
                EXPECT_TRUE(std::isnan(data[i])) << "element " << i;
            else
                EXPECT_EQ(Bits(data[i]), Bits(row.output[i])) << "element " << i;
        }
    }
}

TEST(MissingValues, NanumIsTheHostsBitPattern) { EXPECT_EQ(Bits(NANUM), 0x81AA74FE1C132C0EULL); }

TEST(MissingValues, InfinitiesDoNotSurviveTheRoundTrip) {
    std::vector<double> data = {kInf, -kInf, -std::nan("3"), 4.0};
    EXPECT_EQ(kxu_nan_inf_to_NANUM(data.data(), 4), 3);
    EXPECT_EQ(kxu_NANUM_to_nan(data.data(), 4), 3);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(std::isnan(data[i]));
    EXPECT_EQ(data[3], 4.0);
}

TEST(MissingValues, EmptyNullAndNegativeCounts) {
    double data[2] = {N, kInf};
    for (auto convert : {kxu_NANUM_to_nan, kxu_nan_inf_to_NANUM}) {
        EXPECT_EQ(convert(data, 0), 0);
        EXPECT_EQ(convert(nullptr, 0), 0);
        EXPECT_EQ(convert(nullptr, 2), -1);
        EXPECT_EQ(convert(data, static_cast<std::uint32_t>(-2)), -1);  // a negative count
        EXPECT_EQ(convert(data, static_cast<std::uint32_t>(INT_MAX) + 1), -1);
    }
    EXPECT_EQ(Bits(data[0]), Bits(N));
    EXPECT_EQ(data[1], kInf);
}

}  // namespace
