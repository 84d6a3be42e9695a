#!/usr/bin/env python3
"""The trend of a process's resident memory over the second half of a run.

Usage: rss-trend.py SECONDS SAMPLES, where SAMPLES holds one "seconds kB" line per sample.
Prints four figures: the slope of the line fitted to the second half's samples (least
squares) and the median of the slopes between every two of them, both in kB per minute (one
step of a cache that finds its size moves the fitted line but hardly the median); in how
many of the half's four quarters the memory rose on average from the quarter before (0 to
3); and the kB from the half's first sample to its last. "none 0 0 0" when the half holds
fewer than four samples.
"""
import statistics, sys
total = float(sys.argv[1])
samples = [tuple(map(float, line.split())) for line in open(sys.argv[2]) if line.strip()]
half = [(t, k) for t, k in samples if t >= total / 2]
if len(half) < 4:
    print("none 0 0 0")
    sys.exit()
mt = statistics.fmean(t for t, _ in half)
mk = statistics.fmean(k for _, k in half)
fitted = sum((t - mt) * (k - mk) for t, k in half) / sum((t - mt) ** 2 for t, _ in half)
median = statistics.median((k2 - k1) / (t2 - t1) for i, (t1, k1) in enumerate(half)
                           for t2, k2 in half[i + 1:] if t2 > t1)
quarters = [[] for _ in range(4)]
for t, k in half:
    quarters[min(3, int(4 * (t - total / 2) / (total / 2)))].append(k)
means = [statistics.fmean(q) for q in quarters if q]
rises = sum(1 for a, b in zip(means, means[1:]) if b > a) if len(means) == 4 else 0
print("%.1f %.1f %d %d" % (fitted * 60, median * 60, rises, half[-1][1] - half[0][1]))
