#!/usr/bin/env python3
"""Writes the hostile settings files the end-to-end tests start the program with.

    python3 tests/hostile/make_corpus.py      (rewrites tests/hostile/settings/)

Each file is a way a settings file can be damaged, hand-edited or foreign.
"""
import os
import random

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "settings")
CRLF = b"\r\n"


def lines(*items, end=CRLF):
    return end.join(item if isinstance(item, bytes) else item.encode("ascii") for item in items) + end


def main():
    os.makedirs(HERE, exist_ok=True)
    rng = random.Random(20261208)
    # Texts of code page 932 whose second byte is 0x5C ("\") or 0x7C ("|").
    hyo = "表示".encode("cp932")       # 0x95 0x5C ...
    so = "ソフト".encode("cp932")      # 0x83 0x5C ...
    files = {
        "01_random_bytes.ini": bytes(rng.randrange(256) for _ in range(4096)),
        "02_nul_bytes.ini": lines("[HotKey]", b"Paint=Ctrl+\0Alt+P", b"\0\0\0", "Time=\0" "5", "[Operate]", "Mouse=1"),
        "03_megabyte_value.ini": lines("[HotKey]", b"Application1=" + b"A" * (1 << 20), "Time=3", "[Other]", "Keep=1"),
        "04_lines_without_equals.ini": lines("[HotKey]", "just some words", "Paint", "Time=7", "=nokey", "[Operate]", "Mouse"),
        "05_duplicate_sections.ini": lines("[HotKey]", "Paint=Ctrl+Alt+P", "[Operate]", "Mouse=0", "[HotKey]", "Time=12", "[Operate]", "Mouse=1"),
        "06_duplicate_keys.ini": lines("[HotKey]", "Time=5", "Time=50", "Paint=Ctrl+Alt+P", "Paint=Ctrl+Alt+Q"),
        "07_lf_only.ini": lines("[HotKey]", "Paint=Ctrl+Alt+P", "Time=4", "[Extra]", "Kept=yes", end=b"\n"),
        "08_mixed_line_ends.ini": b"[HotKey]\r\nPaint=Ctrl+Alt+P\nTime=6\r[Extra]\r\nKept=yes\n\r\n",
        "09_utf8_bom.ini": b"\xef\xbb\xbf" + lines("[HotKey]", "Paint=Ctrl+Alt+P", "Time=8", "[Operate]", "Mouse=1"),
        "10_every_prefix.ini": lines("[HotKey]", "Paint=Shift+Ctrl+Alt+F1", "ScreenSaver=^^^^F2", "ExitDialog=alt+shift+ctrl+F3",
                                     "Panic=Shift+Shift+F4", "WallPaper=Ctrl+", "Time=1"),
        "11_prefixes_only.ini": lines("[HotKey]", "Paint=Shift+", "ScreenSaver=^", "ExitDialog=Ctrl+Alt+", "Panic=+", "WallPaper=Alt"),
        "12_integer_limits.ini": lines("[HotKey]", "Time=2147483647", "[Operate]", "Mouse=-2147483648"),
        "13_integer_beyond.ini": lines("[HotKey]", "Time=2147483648", "[Operate]", "Mouse=99999999999999999999"),
        "14_hex_forms.ini": lines("[HotKey]", "Time=0xFFFFFFFF", "[Operate]", "Mouse=$0"),
        "15_hex_too_long.ini": lines("[HotKey]", "Time=0x1FFFFFFFF", "[Operate]", "Mouse=0x"),
        "16_cp932_trail_backslash.ini": lines("[HotKey]", b"Application1=" + hyo, b"Application2=" + so,
                                              b"WallPaperPath=C:\\" + hyo, "Time=2", b"[" + so + b"]", b"Key=" + hyo),
        "17_blanks_around.ini": lines("[ HotKey ]", "  Paint = Ctrl+Alt+P  ", "Time =  9 ", "[Operate]", " Mouse= 0"),
        "18_comments_and_blank_lines.ini": lines("; a comment", "", "[HotKey]", "; Paint=Ctrl+Alt+Z", "Paint=Ctrl+Alt+P",
                                                 "", "# not a comment for everyone", "Time=11", ""),
        "19_empty_file.ini": b"",
        "20_only_foreign_sections.ini": lines("[Window]", "Left=10", "Top=20", "[Recent]", "File1=C:\\a.txt"),
        "21_very_long_line.ini": lines("[HotKey]", b"Unknown=" + b"x" * 70000, "Time=13"),
        "22_binary_section_names.ini": lines(b"[\x81\x81\xff]", "Key=1", "[HotKey]", "Time=14", b"[\x7f\x01]", "Other=2"),
        "23_lower_case_names.ini": lines("[hotkey]", "paint=ctrl+alt+p", "time=15", "[OPERATE]", "MOUSE=0"),
        "24_control_characters.ini": lines("[HotKey]", b"Application1=tab\there", b"Application2=\x1b[31mred", "Time=16"),
    }
    for name, data in files.items():
        with open(os.path.join(HERE, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
