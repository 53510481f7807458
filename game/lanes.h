#pragma once

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

/// Two doubles worked on side by side: the x and y of one piece, or one quantity of two pairs
/// of pieces. Every operation rounds each lane exactly as the same operation on one double does
/// (IEEE doubles, round to nearest, no fused multiply-add), so code written with Lanes gives the
/// same bits as the same code written for one double at a time, on any processor. SseLanes does
/// it with one SSE2 instruction where it can; ScalarLanes, plain C++, is the fallback for other
/// processors and the reference that the tests hold SseLanes to.

/// Two doubles as two plain doubles.
struct ScalarLanes {
    double lo = 0;
    double hi = 0;

    /// Which lanes a comparison held in.
    struct Mask {
        bool lo;
        bool hi;
        friend Mask operator|(Mask a, Mask b) { return {a.lo || b.lo, a.hi || b.hi}; }
        friend Mask operator&(Mask a, Mask b) { return {a.lo && b.lo, a.hi && b.hi}; }
    };

    ScalarLanes() = default;
    ScalarLanes(double low, double high) : lo(low), hi(high) {}
    /// Both lanes `value`.
    explicit ScalarLanes(double value) : lo(value), hi(value) {}
    /// The two doubles at `p` (no alignment needed).
    static ScalarLanes Load(const double* p) { return {p[0], p[1]}; }
    void Store(double* p) const {
        p[0] = lo;
        p[1] = hi;
    }

    friend ScalarLanes operator+(ScalarLanes a, ScalarLanes b) {
        return {a.lo + b.lo, a.hi + b.hi};
    }
    friend ScalarLanes operator-(ScalarLanes a, ScalarLanes b) {
        return {a.lo - b.lo, a.hi - b.hi};
    }
    friend ScalarLanes operator*(ScalarLanes a, ScalarLanes b) {
        return {a.lo * b.lo, a.hi * b.hi};
    }
    friend ScalarLanes operator/(ScalarLanes a, ScalarLanes b) {
        return {a.lo / b.lo, a.hi / b.hi};
    }
    friend ScalarLanes Sqrt(ScalarLanes a) { return {std::sqrt(a.lo), std::sqrt(a.hi)}; }
    /// (a.lo, b.lo) and (a.hi, b.hi): turns two (x, y) into an x pair and a y pair.
    friend ScalarLanes Lows(ScalarLanes a, ScalarLanes b) { return {a.lo, b.lo}; }
    friend ScalarLanes Highs(ScalarLanes a, ScalarLanes b) { return {a.hi, b.hi}; }
    /// lo + hi.
    friend double Sum(ScalarLanes a) { return a.lo + a.hi; }
    /// a > b and a < b, false for NaN; !(a > b), true for NaN.
    friend Mask Greater(ScalarLanes a, ScalarLanes b) { return {a.lo > b.lo, a.hi > b.hi}; }
    friend Mask Less(ScalarLanes a, ScalarLanes b) { return {a.lo < b.lo, a.hi < b.hi}; }
    friend Mask NotGreater(ScalarLanes a, ScalarLanes b) {
        return {!(a.lo > b.lo), !(a.hi > b.hi)};
    }
    /// Per lane: `yes` where `mask` holds, else `no`.
    friend ScalarLanes Select(Mask mask, ScalarLanes yes, ScalarLanes no) {
        return {mask.lo ? yes.lo : no.lo, mask.hi ? yes.hi : no.hi};
    }
};

#if defined(__SSE2__)
/// Two doubles in one SSE2 register.
struct SseLanes {
    __m128d v;

    struct Mask {
        __m128d bits;
        friend Mask operator|(Mask a, Mask b) { return {_mm_or_pd(a.bits, b.bits)}; }
        friend Mask operator&(Mask a, Mask b) { return {_mm_and_pd(a.bits, b.bits)}; }
    };

    SseLanes() : v(_mm_setzero_pd()) {}
    SseLanes(double low, double high) : v(_mm_set_pd(high, low)) {}
    explicit SseLanes(double value) : v(_mm_set1_pd(value)) {}
    explicit SseLanes(__m128d lanes) : v(lanes) {}
    static SseLanes Load(const double* p) { return SseLanes(_mm_loadu_pd(p)); }
    void Store(double* p) const { _mm_storeu_pd(p, v); }

    friend SseLanes operator+(SseLanes a, SseLanes b) { return SseLanes(_mm_add_pd(a.v, b.v)); }
    friend SseLanes operator-(SseLanes a, SseLanes b) { return SseLanes(_mm_sub_pd(a.v, b.v)); }
    friend SseLanes operator*(SseLanes a, SseLanes b) { return SseLanes(_mm_mul_pd(a.v, b.v)); }
    friend SseLanes operator/(SseLanes a, SseLanes b) { return SseLanes(_mm_div_pd(a.v, b.v)); }
    friend SseLanes Sqrt(SseLanes a) { return SseLanes(_mm_sqrt_pd(a.v)); }
    friend SseLanes Lows(SseLanes a, SseLanes b) { return SseLanes(_mm_unpacklo_pd(a.v, b.v)); }
    friend SseLanes Highs(SseLanes a, SseLanes b) { return SseLanes(_mm_unpackhi_pd(a.v, b.v)); }
    friend double Sum(SseLanes a) {
        return _mm_cvtsd_f64(_mm_add_sd(a.v, _mm_unpackhi_pd(a.v, a.v)));
    }
    // The ordered predicates are false for NaN; "not greater" is the unordered one.
    friend Mask Greater(SseLanes a, SseLanes b) { return {_mm_cmpgt_pd(a.v, b.v)}; }
    friend Mask Less(SseLanes a, SseLanes b) { return {_mm_cmplt_pd(a.v, b.v)}; }
    friend Mask NotGreater(SseLanes a, SseLanes b) { return {_mm_cmpngt_pd(a.v, b.v)}; }
    friend SseLanes Select(Mask mask, SseLanes yes, SseLanes no) {
        return SseLanes(_mm_or_pd(_mm_and_pd(mask.bits, yes.v), _mm_andnot_pd(mask.bits, no.v)));
    }
};

/// The lanes the game's physics runs on.
using Lanes = SseLanes;
#else
using Lanes = ScalarLanes;
#endif
