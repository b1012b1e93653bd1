#pragma once

#include <cstdint>
#include <vector>

namespace tumblecast::stats {

// The distribution of the sum of count independent draws from pmf (values 0 .. pmf.size() - 1): a
// convolution power, taken plainly while that is quick, else by one Fourier transform raised pointwise.
// The transform's rounding leaves about 1e-16 of the largest chance in every value, so its tails are
// clamped at 0 and are not precise below that.
std::vector<double> convolutionPower(const std::vector<double>& pmf, std::uint64_t count);

// The same wrapped onto n points (a power of two): value r is the chance of all sums congruent to r
// modulo n. When nearly all of the sum's chance lies in n consecutive values, those values are read off
// the wrapped result, however wide the sum's whole range.
std::vector<double> wrappedConvolutionPower(const std::vector<double>& pmf, std::uint64_t count,
                                            std::size_t n);

}  // namespace tumblecast::stats
