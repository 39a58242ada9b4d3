// 80-bit extended values in files: ten little-endian bytes in the x87 layout, whatever the
// processor. Bytes 0..7 hold the 64-bit mantissa with an explicit integer bit (bit 63),
// bytes 8..9 the 15-bit exponent biased by 16383 and the sign in the top bit.
//
// Encodings the x87 rejects (an exponent above zero with the integer bit clear: unnormals,
// pseudo-infinities, pseudo-NaNs) read as NaN. Pseudo-denormals (exponent zero with the
// integer bit set) read by value, as the x87 does.
#pragma once

#include <cstdint>

namespace zef {

// Native long double to and from the bytes. Where long double is the x87 format the bytes
// are copied (NaN payloads included); elsewhere the conversion goes through
// ExtendedBytesFromLongDouble and LongDoubleFromExtendedBytes.
void ExtendedToBytes(long double X, uint8_t Out[10]);
long double BytesToExtended(const uint8_t In[10]);

// Portable conversions built on frexp/ldexp and integer arithmetic, for any floating-point
// format. Writing a double is exact; reading rounds to the nearest double (ties to even),
// overflowing to an infinity and underflowing through the denormals to zero. NaN payloads
// are not kept: a NaN writes as the quiet NaN C000000000000000 of its sign and reads as a
// quiet NaN of its sign.
void ExtendedBytesFromDouble(double X, uint8_t Out[10]);
double DoubleFromExtendedBytes(const uint8_t In[10]);

// The same for long double. Reading is exact where long double holds the x87's precision
// and range (x87, IEEE quadruple); writing rounds to 64 mantissa bits, ties to even, where
// long double has more.
void ExtendedBytesFromLongDouble(long double X, uint8_t Out[10]);
long double LongDoubleFromExtendedBytes(const uint8_t In[10]);

} // namespace zef
