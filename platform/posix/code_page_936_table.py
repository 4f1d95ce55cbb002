#!/usr/bin/python3
"""Writes code_page_936_table.inc: glibc's GBK two-byte table and Windows' best-fit list.

The two-byte table is read from glibc's GBK converter, which agrees with Windows on every code it
assigns; code_page_posix.cc adds what Windows has on top of it (the Private Use Area codes, 80 and
FF). The best-fit list is what WideCharToMultiByte does with default flags for characters that
are not in the code page; ICU's windows-936-2000 converter records it as fallbacks, so it is read
with ICU's uconv (package icu-devtools).

Usage: code_page_936_table.py > code_page_936_table.inc
"""
import ctypes
import subprocess
import sys

LEADS = range(0x81, 0xFF)
TRAILS = range(0x40, 0xFF)  # 7F and FF are not trail bytes; 7F keeps its slot as a 0


def glibc_table():
    libc = ctypes.CDLL(None, use_errno=True)
    libc.iconv_open.restype = ctypes.c_void_p
    libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
    libc.iconv.restype = ctypes.c_size_t
    libc.iconv.argtypes = [ctypes.c_void_p] + [ctypes.c_void_p] * 4
    cd = libc.iconv_open(b"UTF-16BE", b"GBK")
    if cd == ctypes.c_void_p(-1).value:
        sys.exit("glibc has no GBK converter")
    table = []
    for lead in LEADS:
        for trail in TRAILS:
            src = ctypes.create_string_buffer(bytes([lead, trail]), 2)
            dst = ctypes.create_string_buffer(8)
            src_ptr = ctypes.c_void_p(ctypes.addressof(src))
            dst_ptr = ctypes.c_void_p(ctypes.addressof(dst))
            src_left = ctypes.c_size_t(2)
            dst_left = ctypes.c_size_t(8)
            libc.iconv(cd, None, None, None, None)
            failed = libc.iconv(cd, ctypes.byref(src_ptr), ctypes.byref(src_left),
                                ctypes.byref(dst_ptr), ctypes.byref(dst_left))
            out = dst.raw[:8 - dst_left.value]
            ok = failed != ctypes.c_size_t(-1).value and src_left.value == 0 and len(out) == 2
            table.append(int.from_bytes(out, "big") if ok and trail != 0x7F else 0)
    return table


def best_fit():
    chars = [c for c in range(0x80, 0x10000) if not 0xD800 <= c <= 0xDFFF]
    line = "\n".encode("utf-16-be")
    src = b"".join(c.to_bytes(2, "big") + line for c in chars)

    def convert(option):
        out = subprocess.run(["uconv", "-f", "UTF-16BE", "-t", "windows-936-2000", option,
                              "--to-callback", "escape-c"], input=src, check=True,
                             capture_output=True).stdout.split(b"\n")
        assert len(out) == len(chars) + 1
        return out

    exact = convert("--no-fallback")
    fitted = convert("--fallback")
    pairs = []
    for c, a, b in zip(chars, exact, fitted):
        if a.startswith(b"\\u") and not b.startswith(b"\\u") and b:
            pairs.append((c, int.from_bytes(b, "big")))
    return pairs


def main():
    table = glibc_table()
    pairs = best_fit()
    w = sys.stdout.write
    w("// Written by code_page_936_table.py; do not edit.\n\n")
    w("// glibc's GBK: the UTF-16 of each two-byte code, 191 entries per lead byte 81..FE for the\n")
    w("// trail bytes 40..FE; 0 where glibc has no character (and for trail 7F).\n")
    w("inline constexpr char16_t kGlibcDoubleByte[%d] = {\n" % len(table))
    per_lead = len(TRAILS)
    for i, lead in enumerate(LEADS):
        w("    // %02X\n" % lead)
        row = table[i * per_lead:(i + 1) * per_lead]
        for j in range(0, len(row), 12):
            w("    " + " ".join("0x%04X," % u for u in row[j:j + 12]) + "\n")
    w("};\n\n")
    w("// Windows' best fit for characters outside the code page: {character, code}, where a code\n")
    w("// below 100 hex is a single byte.\n")
    w("inline constexpr BestFit kBestFit[%d] = {\n" % len(pairs))
    for j in range(0, len(pairs), 5):
        w("    " + " ".join("{0x%04X, 0x%04X}," % p for p in pairs[j:j + 5]) + "\n")
    w("};\n")


main()
