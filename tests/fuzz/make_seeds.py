#!/usr/bin/env python3
"""Writes the hand-made seeds of the fuzz corpora (tests/fuzz/corpus/<target>/seed-*).

The rest of each corpus is what libFuzzer found from these seeds, kept by `make fuzz-merge`
(inputs that reach new code only). Run again after changing a seed; it rewrites seeds only.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("cp1252")
    with open(os.path.join(folder, "seed-" + name), "wb") as f:
        f.write(data)


def record_lines(count, start_day=5, temperature=23.5, step=10):
    lines = []
    minutes = 14 * 60
    day = start_day
    for i in range(count):
        t = temperature + (i % 7) * 0.3
        lines.append("%d/3;%d:%d;%d.%d;%d.%d" % (day, minutes // 60, minutes % 60, int(t),
                                                int(t * 10) % 10, 61 + i % 5, i % 10))
        minutes += step
        if minutes >= 1440:
            minutes -= 1440
            day += 1
    return lines


def record_file_seeds():
    lines = record_lines(12)
    write("record_file", "crlf", "\r\n".join(lines) + "\r\n")
    write("record_file", "lf", "\n".join(lines))
    write("record_file", "cr", "\r".join(lines) + "\r")
    write("record_file", "mixed-breaks", lines[0] + "\r\n" + lines[1] + "\n" + lines[2] + "\r"
          + lines[3] + "\n\r" + lines[4])
    write("record_file", "quoted", "\r\n".join('"%s"' % l.replace(";", '";"') for l in lines))
    write("record_file", "final-semicolon", "\r\n".join(l + ";" for l in lines) + "\r\n")
    write("record_file", "freezer", "\r\n".join(
        l.replace("23.", "-18.").replace("24.", "-17.") for l in lines) + "\r\n")
    write("record_file", "hundredths", "5/3;14:0;23.45;61.05\r\n5/3;14:10;23.50;61.00\r\n")
    write("record_file", "turn-of-year",
          "31/12;23:40;4.0;50.0\r\n31/12;23:50;9.5;50.0\r\n1/1;0:0;9.0;50.0\r\n1/1;0:10;1.5;50.0\r\n")
    write("record_file", "leap-day", "28/2;23:50;5.0;50.0\r\n29/2;0:0;5.0;50.0\r\n1/3;0:10;5.0;50.0\r\n")
    write("record_file", "one-line", lines[0] + "\r\n")
    write("record_file", "empty", "")
    write("record_file", "two-fields", "a;b;c;d\r\ne;f\r\ng;h;i;j;k\r\n")
    write("record_file", "six-fields", "1;2;3;4;5;6\r\n1;2;3;4;5;6\r\n7\r\n")
    write("record_file", "csv-export", "N°;Date;Heure;Température (°C);Humidité (%)\r\n"
          "1;05/03;14:00;23,5;61,0\r\n2;05/03;14:10;23,8;61,1\r\n")
    write("record_file", "windows1252", "Relevé € – « température »\r\n5/3;14:0;23.5;61.0\r\n"
          .encode("cp1252") + b"\x80\x81\x8d\x8f\x90\x9d\x9f;\xa0\xff\r\n")
    write("record_file", "exponents", "1/1;0:0;1e3;-2E-2\r\n1/1;0:1;1e400;4.9e-324\r\n")
    write("record_file", "huge-fields",
          "2147483647/2147483647;2147483647:2147483647;99999999999.9;-0.0\r\n"
          "-2147483648/-1;-1:-1;-40.0;100.0\r\n0/0;24:60;1.1;2.2\r\n")
    write("record_file", "same-time", "5/3;14:0;23.5;61.0\r\n5/3;14:0;23.5;61.0\r\n"
          "4/3;14:0;23.5;61.0\r\n")
    write("record_file", "mostly-other", "hello\r\nworld;\r\n;\r\n\"\"\r\n5/3;14:0;9.5;61.0\r\n")


def value_packet_seeds():
    packets = {
        "zero": b"0", "value": b"23", "250": b"250", "251": b"251", "255": b"255",
        "negative": b"-3", "leading-space": b"  42", "plus": b"+7",
        "int-max": b"2147483647", "over-int-max": b"2147483648", "int-min": b"-2147483648",
        "under-int-min": b"-2147483649", "empty": b"", "crlf": b"12\r\n", "inner-space": b"1 2",
        "two-values": b"2324", "check-reply": b"ok\r\n", "response": b"g", "sign-only": b"-",
        "serial": b"101/102/103/104/\r\n", "serial-nul": b"101/102/103/104/\x00junk",
        "serial-short": b"1/2/3/4/", "serial-long-field": b"1234/1/1/1/\r\n",
        "serial-letters": b"a/b/c/d/", "serial-cp1252": "€/é/1/2/".encode("cp1252"),
        "serial-three": b"101/102/103/\r\n", "serial-more": b"1/2/3/4/5/6/",
        "serial-empty-field": b"1//3/4/", "serial-cr-only": b"101/102/103/104/\r",
        "serial-int-max": b"2147483647/-1/+5/ 7/\r\n",
    }
    for name, data in packets.items():
        write("value_packet", name, data)


def number_text_seeds():
    texts = ["23.5", "23,5", "45 %", "-2.5", "$ 3", "1.234,5", "1.2.3", "abc", "", "2\t",
             "1e3", "1,5E-1", "+7", ",5", "5.", "-,5", "1e400", "1e-400", "4.9e-324", " 12",
             "  -0", "2147483647", "-2147483648", "2147483648", "-2147483649", "+", "1e",
             "1e+", "e5", "12 345,67", "0,25 %", "$-1.5e-3%", "\u0663", "\uff11\uff12",
             "1\u00a0000", "1\u202f000", "007", "- 5", "5-", "1e5.5"]
    for i, text in enumerate(texts):
        write("number_text", "text-%02d" % i, text.encode("utf-8"))
    write("number_text", "latin1-digits", b"\xb2\xb3\xb9")
    doubles = [math.nan, math.inf, -math.inf, 5e-324, 2.2250738585072014e-308, 1.7976931348623157e308,
               -0.0, 0.1 + 0.2, 1e15, 999999999999999.9, 1e-5, 0.000009999999999999999, 23.445,
               -0.005, 123456789012345678.0]
    for i, value in enumerate(doubles):
        write("number_text", "double-%02d" % i, struct.pack("<d", value))


def short_text(text, area):
    data = text if isinstance(text, bytes) else text.encode("cp1252")
    return bytes([len(data)]) + data[:area].ljust(area, b"\0")


def audit_record(user_id, action, time, details, action_length=None, details_length=None):
    a = short_text(action, 107)
    d = short_text(details, 255)
    if action_length is not None:
        a = bytes([action_length]) + a[1:]
    if details_length is not None:
        d = bytes([details_length]) + d[1:]
    record = struct.pack("<i", user_id) + a + struct.pack("<d", time) + d
    assert len(record) == 376
    return record


def audit_record_seeds():
    sign_in = audit_record(1, "Sign in ", 45000.5, "login:marie")
    write("audit_record", "one", sign_in)
    write("audit_record", "empty", b"")
    write("audit_record", "cut-short", sign_in + sign_in[:100])
    write("audit_record", "several", b"".join([
        sign_in,
        audit_record(0, "Sign in failed ", 45000.25, "login:inconnu"),
        audit_record(2, "calibration modfication ", 45001.999999, "offset t0,5offset h-1,2"),
        audit_record(2, "pdf report ", 45002.0, "start rec:10 end rec:50"),
    ]))
    times = [0.0, -0.0, -1.25, -0.5, -693593.0, 2958465.99999, 1e9, 1e10, -1e10, math.nan,
             math.inf, -math.inf, 5e-324, 0.99999999999, -0.99999999999, 1e9 + 0.5]
    for i, t in enumerate(times):
        write("audit_record", "time-%02d" % i, audit_record(7, "Timing Modfication ", t,
                                                              "periode H1perdiod min0"))
    write("audit_record", "lengths-beyond", audit_record(-1, "x" * 107, 45000.0, "y" * 255,
                                                         action_length=255, details_length=255))
    write("audit_record", "details-250", audit_record(3, "", 45000.0, "z" * 251))
    write("audit_record", "windows1252", audit_record(2147483647, "Relevé € ", 45000.0,
                                                      b"\x80\x81\x9f\xa0\xff"))


def scramble(password):
    return bytes(b ^ 0xC9 for b in password.encode("cp1252"))


def user_record(user_id, first, family, login, password, level, lengths=None):
    texts = [short_text(first, 100), short_text(family, 100), short_text(login, 100),
             short_text(scramble(password) if isinstance(password, str) else password, 100)]
    if lengths:
        texts = [bytes([n]) + t[1:] for n, t in zip(lengths, texts)]
    record = struct.pack("<i", user_id) + b"".join(texts) + struct.pack("<i", level)
    assert len(record) == 412
    return record


def user_record_seeds():
    marie = user_record(1, "Marie", "Durand", "marie", "secret", 5)
    write("user_record", "one", marie)
    write("user_record", "empty", b"")
    write("user_record", "cut-short", marie + marie[:200])
    write("user_record", "several", b"".join([
        marie,
        user_record(2, "Paul", "Martin", "paul", "azerty", 1),
        user_record(3, "Jeanne", "Petit", "jeanne", "Été€2024", 9),
    ]))
    write("user_record", "same-login", user_record(1, "A", "B", "x", "p", 5)
          + user_record(2, "C", "D", "x", "p", 1) + user_record(2, "E", "F", "x", "q", 7))
    write("user_record", "no-administrator", user_record(4, "A", "B", "a", "a", 4)
          + user_record(0, "C", "D", "", "", -1))
    write("user_record", "id-extremes", user_record(2147483647, "A", "B", "a", "a", 5)
          + user_record(1, "C", "D", "c", "c", 5) + user_record(-2147483648, "E", "F", "e", "e", 0))
    write("user_record", "lengths-beyond", user_record(5, "x" * 100, "y" * 100, "z" * 100,
                                                       b"\x00" * 100, 5, lengths=[255] * 4))
    write("user_record", "windows1252", user_record(6, b"\x80\x81\x9f", "é€", "ŒŸ", "\xa0\xff", 5))


def windows1252_seeds():
    write("windows1252", "every-byte", bytes(range(256)))
    write("windows1252", "text-lines", "Relevé € température\r\nligne 2\rligne 3\nfin")
    write("windows1252", "empty", b"")
    write("windows1252", "breaks", b"\r\n\r\n\n\r\r")
    write("windows1252", "lone-cr", b"\r")
    write("windows1252", "utf16", "é€Ÿ😀\u0100\ufffd".encode("utf-16-le"))
    write("windows1252", "cp1252-utf16",
          bytes(range(0x80, 0xa0)).decode("cp1252", "replace").encode("utf-16-le"))


if __name__ == "__main__":
    record_file_seeds()
    value_packet_seeds()
    number_text_seeds()
    audit_record_seeds()
    user_record_seeds()
    windows1252_seeds()
