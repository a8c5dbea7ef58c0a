#include "formats/IconScale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
        // Through signed words: x86 converts those to and from double in one instruction each.
        auto q = std::uint64_t(std::int64_t(double(std::int64_t(n)) * inverse_));
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

#if defined(__SSE2__)
// The block of one target pixel of a 2 x 2 shrink in one row, two pixels from `row`, as their
// premultiplied sums in 32-bit lanes: blue, green and red times alpha, and alpha.
__m128i pairSums(const std::uint32_t *row)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i words =
        _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(row)), zero);
    // Each pixel's alpha in its colour lanes and 1 in its alpha lane, which so keeps alpha; the
    // product of two bytes fits a word.
    const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
    const __m128i alphas = _mm_shufflehi_epi16(_mm_shufflelo_epi16(words, 0xFF), 0xFF);
    const __m128i factors = _mm_or_si128(_mm_andnot_si128(alphaLanes, alphas),
                                         _mm_and_si128(alphaLanes, _mm_set1_epi16(1)));
    const __m128i products = _mm_mullo_epi16(words, factors);
    return _mm_add_epi32(_mm_unpacklo_epi16(products, zero), _mm_unpackhi_epi16(products, zero));
}

// The pixel of a 2 x 2 block's sums, rounded as RoundedQuotient does: a float quotient of
// numbers this small is never off by enough to truncate wrongly.
std::uint32_t meanOfFour(__m128i sums, bool swapped)
{
    const __m128i parts = _mm_shuffle_epi32(sums, 0xFF);
    const auto alpha = (std::uint32_t(_mm_cvtsi128_si32(parts)) + 2) >> 2;
    if (alpha == 0)
        return 0;
    const __m128i numerators = _mm_add_epi32(_mm_add_epi32(sums, sums), parts);
    __m128 quotients =
        _mm_div_ps(_mm_cvtepi32_ps(numerators), _mm_cvtepi32_ps(_mm_add_epi32(parts, parts)));
    if (swapped)
        quotients = _mm_shuffle_ps(quotients, quotients, _MM_SHUFFLE(3, 0, 1, 2));
    const __m128i zero = _mm_setzero_si128();
    const __m128i bytes =
        _mm_packus_epi16(_mm_packs_epi32(_mm_cvttps_epi32(quotients), zero), zero);
    return (std::uint32_t(_mm_cvtsi128_si32(bytes)) & 0xFFFFFFu) | alpha << 24;
}

// Two target pixels of a 2 x 2 shrink whose eight source pixels are all opaque, as icons mostly
// are: there the mean weighted by alpha is the plain rounded mean, two pixels a step.
bool opaquePair(const std::uint32_t *above, const std::uint32_t *below, std::uint32_t *target,
                bool swapped)
{
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(above));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(below));
    const __m128i alphas = _mm_set1_epi32(int(0xFF000000u));
    const __m128i opaque = _mm_cmpeq_epi32(_mm_and_si128(_mm_and_si128(a, b), alphas), alphas);
    if (_mm_movemask_epi8(opaque) != 0xFFFF)
        return false;
    const __m128i zero = _mm_setzero_si128();
    const __m128i left = _mm_add_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero));
    const __m128i right = _mm_add_epi16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero));
    __m128i sums = _mm_add_epi16(_mm_unpacklo_epi64(left, right), _mm_unpackhi_epi64(left, right));
    if (swapped)
        sums = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sums, _MM_SHUFFLE(3, 0, 1, 2)),
                                   _MM_SHUFFLE(3, 0, 1, 2));
    const __m128i means = _mm_srli_epi16(_mm_add_epi16(sums, _mm_set1_epi16(2)), 2);
    _mm_storel_epi64(reinterpret_cast<__m128i *>(target), _mm_packus_epi16(means, zero));
    return true;
}

// A 2 x 2 shrink, most thumbnails' (256 to 128), of two source rows into `width` targets.
void halveRows(const std::uint32_t *above, const std::uint32_t *below, std::uint32_t *target,
               std::size_t width, bool swapped)
{
    const auto one = [&](std::size_t x) {
        const __m128i sums = _mm_add_epi32(pairSums(above + 2 * x), pairSums(below + 2 * x));
        target[x] = meanOfFour(sums, swapped);
    };
    std::size_t x = 0;
    for (; x + 2 <= width; x += 2)
        if (!opaquePair(above + 2 * x, below + 2 * x, target + x, swapped)) {
            one(x);
            one(x + 1);
        }
    if (x < width)
        one(x);
}
#endif

} // namespace

BlockShrink::BlockShrink(int sourceWidth, int sourceHeight, int width, int height,
                         bool fromPngOrder)
    : fx_(std::size_t(sourceWidth / width))
    , fy_(std::size_t(sourceHeight / height))
    , swapped_(fromPngOrder)
    , out_{width, height, std::vector<std::uint32_t>(std::size_t(width) * std::size_t(height))}
{
#if defined(__SSE2__)
    if (fx_ == 2 && fy_ == 2) {
        above_.resize(2 * std::size_t(width));
        return;
    }
#endif
    sums_.resize(std::size_t(width));
}

// Each target pixel is the plain mean of its block, summed in premultiplied alpha as whole
// numbers, which is exact and a quarter of the general path's work.
void BlockShrink::add(const std::uint32_t *row)
{
#if defined(__SSE2__)
    if (!above_.empty()) {
        const std::size_t width = above_.size() / 2;
        if (++rows_ % 2 != 0)
            std::copy_n(row, above_.size(), above_.begin());
        else
            halveRows(above_.data(), row, out_.argb.data() + (rows_ / 2 - 1) * width, width,
                      swapped_);
        return;
    }
#endif
    // Locals, summed into the block's sums after: those are words of the factor's type, which
    // the compiler would otherwise reread and write back for every pixel.
    const std::size_t fx = fx_;
    for (auto &sum : sums_) {
        std::uint64_t alphas = 0, reds = 0, greens = 0, blues = 0;
        for (std::size_t k = 0; k < fx; ++k, ++row) {
            const std::uint32_t v = *row;
            const std::uint64_t a = v >> 24;
            alphas += a;
            reds += a * ((v >> 16) & 0xFF);
            greens += a * ((v >> 8) & 0xFF);
            blues += a * (v & 0xFF);
        }
        sum[0] += alphas;
        sum[1] += reds;
        sum[2] += greens;
        sum[3] += blues;
    }
    if (++rows_ % fy_ != 0)
        return;
    const RoundedQuotient meanAlpha(fx_ * fy_);
    std::uint32_t *target = out_.argb.data() + (rows_ / fy_ - 1) * sums_.size();
    for (auto &sum : sums_) {
        const std::uint64_t alpha = std::min<std::uint64_t>(meanAlpha(sum[0]), 255);
        if (alpha != 0) {
            const RoundedQuotient mean(sum[0]);
            const std::uint64_t high = mean(sum[swapped_ ? 3 : 1]);
            const std::uint64_t low = mean(sum[swapped_ ? 1 : 3]);
            *target = std::uint32_t(alpha << 24 | high << 16 | mean(sum[2]) << 8 | low);
        }
        ++target;
        sum = {};
    }
}

Pixels BlockShrink::result() &&
{
    return std::move(out_);
}

namespace {

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
    if (source.width % width == 0 && source.height % height == 0) {
        BlockShrink shrink(source.width, source.height, width, height);
        for (int y = 0; y < source.height; ++y)
            shrink.add(source.argb.data() + std::size_t(y) * std::size_t(source.width));
        return std::move(shrink).result();
    }
    return resampled(source, width, height);
}
