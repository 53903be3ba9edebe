#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The derived columns of a real-time data file in a plain Python loop: the
yardstick `km740-tool derive` is measured against (bench_derive runs both).
Prints the same twelve tab-separated columns."""
import math
import sys

LOG10_2 = 0.30102999566398119521


def cut1(v):
    t = v * 10.0
    t = math.trunc(t + math.copysign(1e-9 * max(1.0, abs(t)), t))
    a = abs(int(t))
    return ("-" if t < 0 else "") + "%d.%d" % (a // 10, a % 10)


def round1(v):
    s = v * 10.0
    s = round(s + math.copysign(1e-9 * max(1.0, abs(s)), s))
    a = abs(int(s))
    return ("-" if s < 0 else "") + "%d.%d" % (a // 10, a % 10)


def cut7(v):
    text = "%.10f" % abs(v)
    whole, frac = text.split(".")
    neg = "-" if v < 0 and text.strip("0.") else ""
    if not frac.strip("0"):
        shown = (neg + whole + ".0000")[:7]
        return shown[:-1] if shown.endswith(".") else shown
    d = len(whole)
    keep = 4 if d <= 2 else (0 if d >= 6 else 6 - d)
    frac = frac[:keep].rstrip("0")
    if not frac:
        return "0" if whole == "0" else neg + whole
    return neg + whole + "." + frac


def number(field):
    try:
        return float(field.replace(",", "."))
    except ValueError:
        return None


def main(path):
    out = sys.stdout
    with open(path, encoding="cp1252", newline="") as f:
        lines = f.read().split("\r\n")
    settings = {}
    for line in lines[4:13]:
        title, _, value = line.partition(":")
        settings[title] = value
    lt = number(settings.get("Threshold Level", "80")) or 0.0
    lc = number(settings.get("Criterion Level", "90")) or 0.0
    q = number(settings.get("Exchange Rate", "5")) or 5.0
    qq = q / LOG10_2
    out.write("No.s\t     Date Time    \tdB\tTWA\tDose\tSEL\tSE\tLEP,d\tLeq\tPTWA\tPDose\tLAvg\n")
    n = 0
    energy = dose_sum = se = 0.0
    row = 0
    for line in lines[14:]:
        if not line:
            continue
        fields = line.split("\t")
        if len(fields) < 3:
            continue
        row += 1
        level = number(fields[2]) if "-" not in fields[2] else None
        if level is not None:
            n += 1
            e = 10.0 ** (level / 10.0)
            energy += e
            leq = 10.0 * math.log10(energy / n)
            sel = leq + 10.0 * math.log10(n)
            if level >= lt:
                dose_sum += 10.0 ** (((level - lc) / q) * LOG10_2)
            se += 4e-10 / 3600.0 * e
            lepd = 10.0 * math.log10(se / 3.2e-9)
            dose = dose_sum / 288.0
            pdose = dose * 28800.0 / n
            if dose > 0:
                lf = math.log10(dose / 100.0)
                twa = cut1(lc + qq * lf)
                lavg = cut1(lc + qq * lf + qq * math.log10(28800.0 / n))
                ptwa = cut1(lc + qq * (lf + math.log10(28800.0 / n)))
            else:
                twa = lavg = ptwa = "----"
            cells = (twa, cut7(dose), round1(sel), cut7(se), cut1(lepd), round1(leq), ptwa, cut7(pdose), lavg)
        elif n == 0:
            cells = ("----",) * 9
        out.write("%d\t%s\t%s\t%s\n" % (row, fields[1], fields[2], "\t".join(cells)))


if __name__ == "__main__":
    main(sys.argv[1])
