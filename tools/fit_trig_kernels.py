#!/usr/bin/env python3
"""Fits the polynomial kernels of game/portable_trig.cpp and prints them as C++ constants.

    sin x = x + x^3 P(x^2)          P of degree 5, the relative error of sin x minimized
    cos x = 1 - x^2/2 + x^4 Q(x^2)  Q of degree 5, the relative error of cos x minimized

on |x| <= pi/4 and a hair beyond (the quadrant count may round the other way near pi/4), by a
Remez exchange in z = x^2. The coefficients are rounded to doubles one at a time, lowest first,
and the remaining ones refitted each time so that they absorb the rounding. Needs mpmath
(python3-mpmath); takes about half a minute.
"""
import mpmath as mp

mp.mp.dps = 50
EDGE = (mp.pi / 4) ** 2 * (1 + mp.mpf(2) ** -20)  # in z = x^2


def sin_rest(z):
    x = mp.sqrt(z)
    return (mp.sin(x) - x) / (z * x)


def sin_weight(z):  # turns an error in P into a relative error of sin x
    x = mp.sqrt(z)
    return z * x / mp.sin(x)


def cos_rest(z):
    return (mp.cos(mp.sqrt(z)) - 1 + z / 2) / (z * z)


def cos_weight(z):
    return z * z / mp.cos(mp.sqrt(z))


def horner(coefficients, z):
    total = mp.mpf(0)
    for c in reversed(coefficients):
        total = total * z + c
    return total


def best_in(error, lo, hi):
    """Golden-section search for the largest |error| on [lo, hi]."""
    g = (mp.sqrt(5) - 1) / 2
    for _ in range(80):
        a, b = hi - g * (hi - lo), lo + g * (hi - lo)
        if abs(error(a)) > abs(error(b)):
            hi = b
        else:
            lo = a
    return (lo + hi) / 2


def remez(f, w, degree, rounds=8):
    """Coefficients of the degree-`degree` polynomial minimizing max |w (f - p)| on (0, EDGE]."""
    n = degree + 2
    points = [EDGE * (1 - mp.cos(mp.pi * (i + 1) / n)) / 2 for i in range(n)]
    for _ in range(rounds):
        a = mp.matrix(n, n)
        b = mp.matrix(n, 1)
        for i, z in enumerate(points):
            for j in range(degree + 1):
                a[i, j] = w(z) * z**j
            a[i, degree + 1] = (-1) ** i
            b[i] = w(z) * f(z)
        solution = mp.lu_solve(a, b)
        coefficients = [solution[j] for j in range(degree + 1)]

        def error(z):
            return w(z) * (f(z) - horner(coefficients, z))

        grid = [EDGE * mp.mpf(k) / 3000 for k in range(1, 3001)]
        values = [abs(error(z)) for z in grid]
        extrema = []
        for k, z in enumerate(grid):
            left = values[k - 1] if k > 0 else -1
            right = values[k + 1] if k + 1 < len(grid) else -1
            if values[k] >= left and values[k] >= right:
                inner = 0 < k < len(grid) - 1
                extrema.append(best_in(error, grid[k - 1], grid[k + 1]) if inner else z)
        alternating = []
        for z in extrema:
            if alternating and mp.sign(error(alternating[-1])) == mp.sign(error(z)):
                if abs(error(z)) > abs(error(alternating[-1])):
                    alternating[-1] = z
            else:
                alternating.append(z)
        while len(alternating) > n:
            drop_first = abs(error(alternating[0])) < abs(error(alternating[-1]))
            alternating = alternating[1:] if drop_first else alternating[:-1]
        if len(alternating) < n:
            break
        points = alternating
    return coefficients


def fit_in_doubles(name, f, w, degree):
    fixed = []
    for k in range(degree + 1):
        def rest(z, k=k):
            return (f(z) - horner([mp.mpf(c) for c in fixed], z)) / z**k

        def weight(z, k=k):
            return w(z) * z**k

        fixed.append(float(remez(rest, weight, degree - k)[0]))
    samples = [EDGE * mp.mpf(k) / 20000 for k in range(1, 20001)]
    worst = max(abs(w(z) * (f(z) - horner([mp.mpf(c) for c in fixed], z))) for z in samples)
    print("// %s: relative error 2^%.2f" % (name, float(mp.log(worst, 2))))
    for j, c in enumerate(fixed):
        print("constexpr double k%s%d = %s;" % (name, j + 1, c.hex()))


fit_in_doubles("S", sin_rest, sin_weight, 5)
fit_in_doubles("C", cos_rest, cos_weight, 5)
