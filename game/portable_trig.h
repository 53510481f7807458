#pragma once

/// Sine and cosine that give the same bits on every machine, for the flick velocities that both
/// machines of a network game compute independently. The C library's sin and cos pick their code
/// by CPU (x86-64 glibc takes another path without FMA) and differ in the last bit for about one
/// aim in 750. These use only IEEE additions, multiplications and comparisons, in a fixed order,
/// with no call into the C library, so any compiler honouring -ffp-contract=off and SSE2 or
/// aarch64 doubles gives the same result.
///
/// Accurate range: |radians| <= 2^20 = 1048576 (aims up to about 6.0e7 degrees; the game's own
/// aims stay within about 1440 degrees). There the error is below one unit in the last place of
/// the true value (the tests measure at most 0.59 ulp; glibc's own is near 0.52) and the result
/// is within one ulp of glibc's. Beyond it the result is deterministic, finite and within [-1, 1]
/// but is not the sine of the argument. NaN or infinity gives NaN. The sign of zero is kept:
/// sin(-0) = -0.

/// Sine of `radians`.
double PortableSin(double radians);

/// Cosine of `radians`.
double PortableCos(double radians);

/// Largest |radians| for which the two functions above are accurate.
inline constexpr double kPortableTrigAccurateLimit = 0x1p20;
