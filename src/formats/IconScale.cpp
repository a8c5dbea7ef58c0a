#include "formats/IconScale.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using Premultiplied = std::array<float, 4>; // alpha, then red, green and blue times alpha

// The source pixels each target pixel of one axis covers, and by how much. In units where a
// source pixel is `to` long and a target pixel `from` long, every overlap is a whole number.
struct Share
{
    int first = 0;
    std::vector<float> weights;
};

std::vector<Share> sharesOf(int from, int to)
{
    std::vector<Share> shares(static_cast<std::size_t>(to));
    for (int i = 0; i < to; ++i) {
        const long long start = static_cast<long long>(i) * from;
        const long long end = start + from;
        Share &share = shares[std::size_t(i)];
        share.first = int(start / to);
        for (long long j = share.first; j * to < end; ++j) {
            const long long overlap = std::min(end, (j + 1) * to) - std::max(start, j * to);
            share.weights.push_back(float(overlap) / float(from));
        }
    }
    return shares;
}

Premultiplied premultiplied(std::uint32_t argb)
{
    const float a = float(argb >> 24);
    return {a, a * float((argb >> 16) & 0xFF), a * float((argb >> 8) & 0xFF),
            a * float(argb & 0xFF)};
}

std::uint32_t straight(const Premultiplied &p)
{
    // The sums are never negative: the whole part and the half of what is left round exactly
    // as std::lround does, without a call into the maths library per channel.
    const auto byte = [](float v) {
        const auto whole = std::uint32_t(v);
        return std::min(whole + (v - float(whole) >= 0.5f ? 1u : 0u), 255u);
    };
    const std::uint32_t a = byte(p[0]);
    if (a == 0)
        return 0;
    return a << 24 | byte(p[1] / p[0]) << 16 | byte(p[2] / p[0]) << 8 | byte(p[3] / p[0]);
}

// Each source row is widened once, then copied for the rows it covers.
Pixels enlarged(const Pixels &source, int width, int height)
{
    const auto fx = std::size_t(width / source.width);
    const auto fy = std::size_t(height / source.height);
    Pixels out{width, height, {}};
    out.argb.reserve(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < source.height; ++y) {
        const std::size_t start = out.argb.size();
        for (int x = 0; x < source.width; ++x)
            out.argb.insert(out.argb.end(), fx, source.at(x, y));
        for (std::size_t copy = 1; copy < fy; ++copy)
            out.argb.insert(out.argb.end(), out.argb.begin() + std::ptrdiff_t(start),
                            out.argb.begin() + std::ptrdiff_t(start + std::size_t(width)));
    }
    return out;
}

// A shrink by whole factors: each target pixel is the plain mean of its block, summed in
// premultiplied alpha as whole numbers, which is exact and a quarter of the general path's work.
Pixels shrunk(const Pixels &source, int width, int height)
{
    const auto fx = std::size_t(source.width / width);
    const auto fy = std::size_t(source.height / height);
    const std::uint64_t count = fx * fy;
    Pixels out{width, height, std::vector<std::uint32_t>(std::size_t(width) * std::size_t(height))};
    std::vector<std::array<std::uint64_t, 4>> sums(static_cast<std::size_t>(width));
    for (int y = 0; y < source.height; ++y) {
        const std::uint32_t *pixel =
            source.argb.data() + std::size_t(y) * std::size_t(source.width);
        for (auto &sum : sums)
            for (std::size_t k = 0; k < fx; ++k, ++pixel) {
                const std::uint32_t v = *pixel;
                const std::uint64_t a = v >> 24;
                sum[0] += a;
                sum[1] += a * ((v >> 16) & 0xFF);
                sum[2] += a * ((v >> 8) & 0xFF);
                sum[3] += a * (v & 0xFF);
            }
        if (std::size_t(y + 1) % fy != 0)
            continue;
        const std::size_t at = (std::size_t(y) / fy) * std::size_t(width);
        for (std::size_t x = 0; x < sums.size(); ++x) {
            const std::array<std::uint64_t, 4> &sum = sums[x];
            // Rounded halves up, as the general path rounds. The quotients are taken in double,
            // which is exact here (numerators below 2^35, a result's fraction a multiple of at
            // least 2^-26) and far quicker than 64-bit integer division.
            const auto rounded = [](std::uint64_t sum, std::uint64_t parts) {
                return std::uint64_t(double(2 * sum + parts) / double(2 * parts));
            };
            const auto mean = [&](std::uint64_t v) { return rounded(v, sum[0]); };
            const std::uint64_t alpha = std::min<std::uint64_t>(rounded(sum[0], count), 255);
            out.argb[at + x] = alpha == 0 ? 0
                                          : std::uint32_t(alpha << 24 | mean(sum[1]) << 16 |
                                                          mean(sum[2]) << 8 | mean(sum[3]));
            sums[x] = {};
        }
    }
    return out;
}

// Rows first, then columns, in premultiplied alpha: the area each target pixel covers.
Pixels resampled(const Pixels &source, int width, int height)
{
    const std::vector<Share> across = sharesOf(source.width, width);
    const std::vector<Share> down = sharesOf(source.height, height);
    std::vector<Premultiplied> rows(std::size_t(width) * std::size_t(source.height));
    std::vector<Premultiplied> line(std::size_t(source.width));
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x)
            line[std::size_t(x)] = premultiplied(source.at(x, y));
        for (int x = 0; x < width; ++x) {
            Premultiplied sum{};
            const Share &share = across[std::size_t(x)];
            for (std::size_t k = 0; k < share.weights.size(); ++k) {
                const Premultiplied &p = line[std::size_t(share.first) + k];
                for (std::size_t c = 0; c < 4; ++c)
                    sum[c] += p[c] * share.weights[k];
            }
            rows[std::size_t(y) * std::size_t(width) + std::size_t(x)] = sum;
        }
    }
    Pixels out{width, height, std::vector<std::uint32_t>(std::size_t(width) * std::size_t(height))};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Premultiplied sum{};
            const Share &share = down[std::size_t(y)];
            for (std::size_t k = 0; k < share.weights.size(); ++k) {
                const Premultiplied &p =
                    rows[std::size_t(share.first + int(k)) * std::size_t(width) + std::size_t(x)];
                for (std::size_t c = 0; c < 4; ++c)
                    sum[c] += p[c] * share.weights[k];
            }
            out.argb[std::size_t(y) * std::size_t(width) + std::size_t(x)] = straight(sum);
        }
    return out;
}

} // namespace

Pixels scaledPixels(const Pixels &source, int width, int height)
{
    if (!source.valid() || width < 1 || height < 1)
        return {};
    if (width % source.width == 0 && height % source.height == 0)
        return enlarged(source, width, height);
    if (source.width % width == 0 && source.height % height == 0)
        return shrunk(source, width, height);
    return resampled(source, width, height);
}
