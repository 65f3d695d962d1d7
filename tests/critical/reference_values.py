#!/usr/bin/env python3
"""Independent re-computation of the critical tau value.

Writes reference_values.txt next to this script: one line per input,
    alpha_bits n r t_bits tau_bits search_steps
with the 64-bit patterns of alpha (as given, before a zero is replaced),
t and tau in hexadecimal.  Python floats are IEEE doubles and every
operation below is one rounded double operation, in the order the C++
library performs them, so the patterns must agree bit for bit.

Run once after a deliberate change of the computation:
    python3 tests/critical/reference_values.py
"""

import math
import os
import struct


def widened_single(value):
    """A single-precision literal widened to double."""
    return struct.unpack("<f", struct.pack("<f", value))[0]


def bits(value):
    return struct.unpack("<Q", struct.pack("<d", value))[0]


ZERO_ALPHA_REPLACEMENT = widened_single(0.05)
OFFSET = widened_single(0.0005)
STEP = widened_single(0.001)


def two_sided_probability(x, fm, m, c):
    """P(|T| <= x) for Student's t with m degrees of freedom,
    Abramowitz and Stegun 26.7.3 (odd m) and 26.7.4 (even m)."""
    d = x * x + fm
    q = fm / d
    term = 1.0
    s = 0.0
    k = m - 2
    if m % 2 == 1:
        r1 = math.sqrt(fm)
        theta = math.atan(x / r1)
        w = x * r1 / d
        if m > 3:
            for j in range(2, k + 1, 2):
                term = float(j) * term * q / float(j + 1)
                s = s + term
        return ((s + 1.0) * w + theta) * c
    for j in range(2, k + 1, 2):
        term = float(j - 1) * (term / float(j)) * q
        s = s + term
    return (x / math.sqrt(d)) * (s + 1.0)


def two_degree_quantile(p):
    return math.sqrt(2.0 * (p * p) / (1.0 - p * p)) + OFFSET


def search_quantile(p, m, c):
    """Steps 6 to 9, with the mended start: returns (t, points)."""
    fm = float(m)
    x = math.trunc(100.0 * two_degree_quantile(p)) / 100.0
    x = x - STEP
    a = two_sided_probability(x, fm, m, c)
    points = 1
    if a - p > 0.0:
        while True:
            x_prev, a_prev = x, a
            x = x - STEP
            a = two_sided_probability(x, fm, m, c)
            points += 1
            if not a - p > 0.0:
                break
        lower, a_lower, upper, a_upper = x, a, x_prev, a_prev
    else:
        # the start lies at or below the quantile: climb until it is passed
        while True:
            x_prev, a_prev = x, a
            x = x + STEP
            a = two_sided_probability(x, fm, m, c)
            points += 1
            if a - p > 0.0:
                break
        lower, a_lower, upper, a_upper = x_prev, a_prev, x, a
    if p - (a_upper + a_lower) / 2.0 <= 0.0:
        return lower + OFFSET, points
    return upper + OFFSET, points


def critical_value(alpha, n, r):
    """Returns (t, tau, points); r >= 2 and inputs that do not fail."""
    m = r - 1
    if alpha == 0.0:
        alpha = ZERO_ALPHA_REPLACEMENT
    pi = 4.0 * math.atan(1.0)
    c = 2.0 / pi
    alpha0 = 1.0 - math.pow(1.0 - alpha, 1.0 / float(n))
    p = 1.0 - alpha0
    points = 0
    if m == 1:
        t = math.tan(p / c) + OFFSET
    elif m == 2:
        t = two_degree_quantile(p)
    else:
        t, points = search_quantile(p, m, c)
    fr = float(r)
    tau = t * math.sqrt(fr) / math.sqrt(fr - 1.0 + math.pow(t, 2.0))
    return t, tau, points


# Assorted inputs: the closed forms, odd and even searches with and without
# series terms, tiny and large levels, zero alpha, negative levels that the
# tangent or the search still accept, and starts at or below the quantile.
INPUTS = [
    (0.05, 1, 2), (0.05, 1, 3), (0.05, 10, 2), (0.05, 10, 4), (0.05, 10, 5),
    (0.05, 20, 10), (0.01, 50, 30), (0.05, 100, 100),
    (0.0, 10, 5), (0.0, 1, 2), (0.0, 7, 12),
    (0.1, 3, 3), (0.001, 5, 2), (0.001, 5, 3), (0.3, 2, 4), (0.3, 2, 6),
    (0.5, 1, 7), (0.025, 12, 8), (0.05, 15, 9), (0.2, 40, 11), (0.05, 1000, 6),
    (0.01, 1, 4), (0.01, 1, 5), (0.1, 100, 25), (0.05, 3, 51), (0.07, 8, 200),
    (1e-5, 1, 4), (1e-4, 2, 5), (0.9, 1, 4), (0.9, 1, 5),
    (0.999, 1, 4), (0.999, 1, 5), (0.9999, 3, 8), (1.0, 1, 4), (1.0, 1, 7),
    (0.99, 2, 6), (0.98, 1, 30), (0.96, 1, 7), (0.95, 1, 3), (0.999, 1, 2), (1.5, 1, 4), (1.5, 1, 2),
    (-0.5, 1, 2), (5.0, 1, 2), (1.0 / 3.0, 3, 13), (0.123456789, 17, 17),
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    lines = []
    for alpha, n, r in INPUTS:
        t, tau, points = critical_value(alpha, n, r)
        lines.append(f"{bits(alpha):016x} {n} {r} {bits(t):016x} {bits(tau):016x} {points}")
    with open(os.path.join(here, "reference_values.txt"), "w", encoding="ascii") as out:
        out.write("# alpha_bits n r t_bits tau_bits search_steps (from reference_values.py)\n")
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
