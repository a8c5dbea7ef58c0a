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

// sum / parts rounded half up, as floor((2 sum + parts) / (2 parts)): a product with the
// reciprocal, off by at most one, then put right in whole numbers. Dividing is most of a
// shrink's work otherwise.
class RoundedQuotient
{
public:
    explicit RoundedQuotient(std::uint64_t parts)
        : parts_(parts)
        , inverse_(1.0 / double(2 * parts))
    {
    }
    std::uint64_t operator()(std::uint64_t sum) const
    {
        const std::uint64_t n = 2 * sum + parts_;
        const std::uint64_t d = 2 * parts_;
        auto q = std::uint64_t(double(n) * inverse_);
        if (q * d > n)
            --q;
        else if ((q + 1) * d <= n)
            ++q;
        return q;
    }

private:
    std::uint64_t parts_;
    double inverse_;
};

// A shrink by whole factors: each target pixel is the plain mean of its block, summed in
// premultiplied alpha as whole numbers, which is exact and a quarter of the general path's work.
Pixels shrunk(const Pixels &source, int width, int height)
{
    const auto fx = std::size_t(source.width / width);
    const auto fy = std::size_t(source.height / height);
    const auto stride = std::size_t(source.width);
    const RoundedQuotient meanAlpha(fx * fy);
    Pixels out{width, height, std::vector<std::uint32_t>(std::size_t(width) * std::size_t(height))};
    std::uint32_t *target = out.argb.data();
    for (std::size_t ty = 0; ty < std::size_t(height); ++ty)
        for (std::size_t tx = 0; tx < std::size_t(width); ++tx, ++target) {
            std::uint64_t alphas = 0, reds = 0, greens = 0, blues = 0;
            const std::uint32_t *block = source.argb.data() + ty * fy * stride + tx * fx;
            for (std::size_t dy = 0; dy < fy; ++dy, block += stride)
                for (std::size_t dx = 0; dx < fx; ++dx) {
                    const std::uint32_t v = block[dx];
                    const std::uint64_t a = v >> 24;
                    alphas += a;
                    reds += a * ((v >> 16) & 0xFF);
                    greens += a * ((v >> 8) & 0xFF);
                    blues += a * (v & 0xFF);
                }
            const std::uint64_t alpha = std::min<std::uint64_t>(meanAlpha(alphas), 255);
            if (alpha == 0)
                continue;
            const RoundedQuotient mean(alphas);
            *target =
                std::uint32_t(alpha << 24 | mean(reds) << 16 | mean(greens) << 8 | mean(blues));
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
