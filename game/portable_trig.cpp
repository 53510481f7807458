#include "portable_trig.h"

#include <cfloat>

// Every operation here must round the same way on every machine: no wider intermediates (x87),
// no fused multiply-add (-ffp-contract=off), no reassociation (no fast-math).
static_assert(FLT_EVAL_METHOD == 0, "doubles must be evaluated in double precision");

namespace {

// pi/2 split into three 33-bit parts and a 53-bit tail: a quadrant count n below 2^20 times any
// of the first three is exact, so the reduction below only rounds in the far tail.
constexpr double kHalfPiPart1 = 0x1.921fb544p0;
constexpr double kHalfPiPart2 = 0x1.0b4611a6p-34;
constexpr double kHalfPiPart3 = 0x1.3198a2ep-69;
constexpr double kHalfPiPart4 = 0x1.b839a252049c1p-104;
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
constexpr double kQuarterPi = 0x1.921fb54442d18p-1;

// Minimax fits on [-pi/4, pi/4] made by tools/fit_trig_kernels.py (Remez exchange in x^2,
// coefficients rounded one by one and the rest refitted), relative error 2^-57.9 for the sine
// and 2^-63.9 for the cosine:
//   sin x = x + x^3 (S1 + S2 x^2 + ... + S6 x^10),  cos x = 1 - x^2/2 + x^4 (C1 + ... + C6 x^10).
constexpr double kS1 = -0x1.5555555555548p-3;
constexpr double kS2 = 0x1.111111110f730p-7;
constexpr double kS3 = -0x1.a01a019be9217p-13;
constexpr double kS4 = 0x1.71de35552b52cp-19;
constexpr double kS5 = -0x1.ae5e4b83e46f4p-26;
constexpr double kS6 = 0x1.5d8b559495e1dp-33;
constexpr double kC1 = 0x1.555555555554bp-5;
constexpr double kC2 = -0x1.6c16c16c15015p-10;
constexpr double kC3 = 0x1.a01a019c8f254p-16;
constexpr double kC4 = -0x1.27e4f7f19148bp-22;
constexpr double kC5 = 0x1.1ee9dbcefbddep-29;
constexpr double kC6 = -0x1.8fa684873ff41p-37;

/// An angle as hi + lo (|hi| <= pi/4 and a little, lo below half an ulp of hi) plus quadrant
/// turns: the original angle is (hi + lo) + quadrant * pi/2 modulo 2 pi.
struct ReducedAngle {
    double hi;
    double lo;
    int quadrant;
};

/// A sum as its rounded value plus the rounding error, exactly.
struct ExactSum {
    double sum;
    double error;
};

/// a + b exactly (Knuth's two-sum: no condition on the operands).
ExactSum TwoSum(double a, double b) {
    double sum = a + b;
    double bPart = sum - a;
    double aPart = sum - bPart;
    return {sum, (a - aPart) + (b - bPart)};
}

double Magnitude(double x) {
    return x < 0 ? -x : x;
}

/// Nearest integer, ties to even, for |v| < 2^51: adding 1.5 * 2^52 leaves no fraction bits.
double NearestInteger(double v) {
    constexpr double kShifter = 0x1.8p52;
    return (v + kShifter) - kShifter;
}

/// Cody-Waite reduction for |x| <= kPortableTrigAccurateLimit. x - n * part1 is exact
/// (the two are within a factor of two); the next parts go through exact two-sums, so only
/// terms some 2^-100 below the remainder are rounded, even when x lies close to a multiple of pi/2.
ReducedAngle ReduceByHalfPi(double x) {
    if (Magnitude(x) <= kQuarterPi) return {x, 0, 0};
    double n = NearestInteger(x * kTwoOverPi);
    double first = x - n * kHalfPiPart1;
    ExactSum second = TwoSum(first, -(n * kHalfPiPart2));
    ExactSum third = TwoSum(second.sum, -(n * kHalfPiPart3));
    double tail = (second.error + third.error) - n * kHalfPiPart4;
    double hi = third.sum + tail;
    return {hi, tail - (hi - third.sum), static_cast<int>(n) & 3};
}

/// Beyond the accurate range: scales by powers of two (exactly) into it. Not the sine of the
/// original angle, but reproducible and bounded; at most 49 rounds for the largest double.
double FoldIntoAccurateRange(double x) {
    while (Magnitude(x) > kPortableTrigAccurateLimit)
        x *= 0x1p-21;
    return x;
}

/// A product as hi + lo, exactly.
struct ExactProduct {
    double hi;
    double lo;
};

/// a * b exactly (Dekker's product: both split into 26-bit halves whose products are exact),
/// for |a|, |b| <= 1, where the splitting cannot overflow.
ExactProduct TwoProduct(double a, double b) {
    constexpr double kSplitter = 0x1p27 + 1;
    double aBig = kSplitter * a;
    double aHigh = aBig - (aBig - a);
    double aLow = a - aHigh;
    double bBig = kSplitter * b;
    double bHigh = bBig - (bBig - b);
    double bLow = b - bHigh;
    double hi = a * b;
    return {hi, ((aHigh * bHigh - hi) + aHigh * bLow + aLow * bHigh) + aLow * bLow};
}

/// sin(x + y) for |x| <= pi/4 and a little, |y| below half an ulp of x.
double SinKernel(double x, double y) {
    if (x == 0) return x;  // -0 must stay -0, which the sum below would not keep
    // x^2 and x^3 are carried exactly: their rounding, fed through S1 x^3 (up to a tenth of
    // x), would otherwise cost a quarter of an ulp.
    ExactProduct square = TwoProduct(x, x);
    ExactProduct cube = TwoProduct(x, square.hi);
    double cubeLow = cube.lo + x * square.lo;
    double z = square.hi;
    double r = kS2 + z * (kS3 + z * (kS4 + z * (kS5 + z * kS6)));
    // x + S1 x^3 + x^5 r + y (1 - x^2 / 2): the two large terms through an exact sum, the rest
    // gathered apart and added once.
    ExactSum head = TwoSum(x, kS1 * cube.hi);
    double rest = kS1 * cubeLow + cube.hi * z * r + y * (1 - 0.5 * z);
    return head.sum + (head.error + rest);
}

/// cos(x + y) for |x| <= pi/4 and a little, |y| below half an ulp of x.
double CosKernel(double x, double y) {
    ExactProduct square = TwoProduct(x, x);
    double z = square.hi;
    double r = z * (kC1 + z * (kC2 + z * (kC3 + z * (kC4 + z * (kC5 + z * kC6)))));
    double halfZ = 0.5 * z;
    double w = 1 - halfZ;
    // 1 - x^2 / 2 + x^4 Q - x y, with 1 - x^2 / 2 as w plus its exact rounding error
    // ((1 - w) - halfZ, both differences exact) less half the low part of x^2.
    double wError = ((1 - w) - halfZ) - 0.5 * square.lo;
    return w + (wError + (z * r - x * y));
}

/// False for NaN and infinities, without a library call: x - x is NaN exactly for those.
bool IsFinite(double x) {
    double difference = x - x;
    return difference == difference;
}

}  // namespace

double PortableSin(double radians) {
    if (!IsFinite(radians)) return radians - radians;
    ReducedAngle a = ReduceByHalfPi(FoldIntoAccurateRange(radians));
    switch (a.quadrant) {
        case 0:
            return SinKernel(a.hi, a.lo);
        case 1:
            return CosKernel(a.hi, a.lo);
        case 2:
            return -SinKernel(a.hi, a.lo);
        default:
            return -CosKernel(a.hi, a.lo);
    }
}

double PortableCos(double radians) {
    if (!IsFinite(radians)) return radians - radians;
    ReducedAngle a = ReduceByHalfPi(FoldIntoAccurateRange(radians));
    switch (a.quadrant) {
        case 0:
            return CosKernel(a.hi, a.lo);
        case 1:
            return -SinKernel(a.hi, a.lo);
        case 2:
            return -CosKernel(a.hi, a.lo);
        default:
            return SinKernel(a.hi, a.lo);
    }
}
