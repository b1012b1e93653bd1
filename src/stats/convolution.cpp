#include "stats/convolution.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace tumblecast::stats {

namespace {

using Complex = std::complex<double>;

// std::complex's operator* guards against infinities through a library call on every product, which
// made the transform several times slower; nothing here is infinite.
inline Complex times(Complex a, Complex b)
{
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// exp(-2 pi i k / n) for k < n / 2, each within a few roundings: a coarse and a fine table multiplied,
// since repeated products drift on long transforms and a sine and cosine apiece cost more than the
// transform.
std::vector<Complex> rootsOf(std::size_t n)
{
    const auto root = [n](std::size_t k) {
        return std::polar(1.0, -2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n));
    };
    constexpr std::size_t kFine = 1024;
    std::vector<Complex> fine(kFine);
    for (std::size_t k = 0; k < kFine; ++k) fine[k] = root(k);
    std::vector<Complex> roots(n / 2);
    for (std::size_t coarse = 0; coarse < n / 2; coarse += kFine) {
        const Complex c = root(coarse);
        for (std::size_t k = coarse; k < std::min(n / 2, coarse + kFine); ++k)
            roots[k] = times(c, fine[k - coarse]);
    }
    return roots;
}

// Butterflies of one level of length len over a[first, end): the forward one before the twiddle, the inverse
// one with the conjugate roots after it. Written on the doubles themselves (std::complex is laid out as two
// of them): with std::complex values GCC spilled each one to the stack, and the forward transform ran at
// half speed.
template <bool kInverse>
void level(std::vector<Complex>& a, const std::vector<Complex>& roots, std::size_t len, std::size_t first,
           std::size_t end)
{
    double* x = reinterpret_cast<double*>(a.data());
    const double* w = reinterpret_cast<const double*>(roots.data());
    const std::size_t half = len / 2;
    const std::size_t step = a.size() / len;
    for (std::size_t i = first; i < end; i += len) {
        for (std::size_t k = 0; k < half; ++k) {
            double* u = x + 2 * (i + k);
            double* v = u + 2 * half;
            const double wr = w[2 * k * step];
            const double wi = kInverse ? -w[2 * k * step + 1] : w[2 * k * step + 1];
            if constexpr (kInverse) {
                const double tr = v[0] * wr - v[1] * wi;
                const double ti = v[0] * wi + v[1] * wr;
                v[0] = u[0] - tr;
                v[1] = u[1] - ti;
                u[0] += tr;
                u[1] += ti;
            } else {
                const double dr = u[0] - v[0];
                const double di = u[1] - v[1];
                u[0] += v[0];
                u[1] += v[1];
                v[0] = dr * wr - di * wi;
                v[1] = dr * wi + di * wr;
            }
        }
    }
}

// Levels shorter than this run block by block, each block's levels while it is in the cache; only the
// longer levels sweep the whole array.
constexpr std::size_t kCacheBlock = std::size_t{1} << 13;

// Forward transform by decimation in frequency: its output is in bit-reversed order, which a pointwise
// power does not mind and the inverse below takes as it is, so no pass reorders the whole array (that
// costs a cache miss per element on long transforms).
void forward(std::vector<Complex>& a, const std::vector<Complex>& roots)
{
    const std::size_t n = a.size();
    const std::size_t block = std::min(n, kCacheBlock);
    for (std::size_t len = n; len > block; len >>= 1) level<false>(a, roots, len, 0, n);
    for (std::size_t first = 0; first < n; first += block)
        for (std::size_t len = block; len >= 2; len >>= 1) level<false>(a, roots, len, first, first + block);
}

// Inverse transform by decimation in time from bit-reversed input; without the 1/n scale.
void inverse(std::vector<Complex>& a, const std::vector<Complex>& roots)
{
    const std::size_t n = a.size();
    const std::size_t block = std::min(n, kCacheBlock);
    for (std::size_t first = 0; first < n; first += block)
        for (std::size_t len = 2; len <= block; len <<= 1) level<true>(a, roots, len, first, first + block);
    for (std::size_t len = block * 2; len <= n; len <<= 1) level<true>(a, roots, len, 0, n);
}

Complex power(Complex z, std::uint64_t n)
{
    Complex result = 1.0;
    while (n) {
        if (n & 1) result = times(result, z);
        z = times(z, z);
        n >>= 1;
    }
    return result;
}

// Repeated plain convolution costs about count^2 * size^2 / 2 steps, but keeps every chance to its own
// relative precision, tails included; below this many steps it is also quick enough.
constexpr double kDirectSteps = 3e7;

std::vector<double> directPower(const std::vector<double>& pmf, std::uint64_t count)
{
    std::vector<double> sum = pmf;
    for (std::uint64_t k = 1; k < count; ++k) {
        std::vector<double> next(sum.size() + pmf.size() - 1);
        for (std::size_t i = 0; i < sum.size(); ++i)
            for (std::size_t j = 0; j < pmf.size(); ++j) next[i + j] += sum[i] * pmf[j];
        sum.swap(next);
    }
    return sum;
}

std::vector<double> transformPower(const std::vector<double>& pmf, std::uint64_t count, std::size_t n)
{
    // Folding the pmf onto n points leaves the transform at those n frequencies unchanged.
    std::vector<Complex> a(n);
    for (std::size_t i = 0; i < pmf.size(); ++i) a[i % n] += pmf[i];
    const std::vector<Complex> roots = rootsOf(n);
    forward(a, roots);
    for (auto& z : a) z = power(z, count);
    inverse(a, roots);
    std::vector<double> out(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = std::max(0.0, a[i].real() / static_cast<double>(n));
    return out;
}

}  // namespace

std::vector<double> convolutionPower(const std::vector<double>& pmf, std::uint64_t count)
{
    if (count == 1 || pmf.size() <= 1) return pmf;
    const double steps = 0.5 * static_cast<double>(count) * static_cast<double>(count) *
                         static_cast<double>(pmf.size()) * static_cast<double>(pmf.size());
    if (steps <= kDirectSteps) return directPower(pmf, count);
    const std::size_t length = (pmf.size() - 1) * count + 1;
    std::size_t n = 1;
    while (n < length) n <<= 1;
    std::vector<double> out = transformPower(pmf, count, n);
    out.resize(length);
    return out;
}

std::vector<double> wrappedConvolutionPower(const std::vector<double>& pmf, std::uint64_t count,
                                            std::size_t n)
{
    return transformPower(pmf, count, n);
}

}  // namespace tumblecast::stats
