#include "stats/convolution.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace tumblecast::stats {

namespace {

using Complex = std::complex<double>;

// In-place radix-2 transform; inverse without the 1/n scale.
void fft(std::vector<Complex>& a, bool inverse)
{
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    // Twiddles from polar() one by one rather than by repeated products, which drift on long transforms.
    std::vector<Complex> roots(n / 2);
    const double sign = inverse ? 1.0 : -1.0;
    for (std::size_t k = 0; k < n / 2; ++k)
        roots[k] =
            std::polar(1.0, sign * 2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n));
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const std::size_t step = n / len;
        for (std::size_t i = 0; i < n; i += len) {
            for (std::size_t k = 0; k < len / 2; ++k) {
                const Complex u = a[i + k];
                const Complex v = a[i + k + len / 2] * roots[k * step];
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

Complex power(Complex z, std::uint64_t n)
{
    Complex result = 1.0;
    while (n) {
        if (n & 1) result *= z;
        z *= z;
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
    std::vector<Complex> a(n);
    std::copy(pmf.begin(), pmf.end(), a.begin());
    fft(a, false);
    for (auto& z : a) z = power(z, count);
    fft(a, true);
    std::vector<double> out(length);
    for (std::size_t i = 0; i < length; ++i) out[i] = std::max(0.0, a[i].real() / static_cast<double>(n));
    return out;
}

}  // namespace tumblecast::stats
