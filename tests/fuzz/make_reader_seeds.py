#!/usr/bin/env python3
"""Writes the seed corpora of the file-reader fuzz targets into corpus/<target>/.

Each seed is a small valid file of one of the forms the reader accepts, or one
damaged in a typical way (truncated, a bogus count or length, an unknown version).
Run it again after changing a format; the files it writes are committed.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def u8(v):
    return struct.pack("<B", v)


def u16(v):
    return struct.pack("<H", v)


def u32(v):
    return struct.pack("<I", v)


def i32(v):
    return struct.pack("<i", v)


def s(text):
    """An archive string in its shortest form."""
    data = text.encode("utf-8") if isinstance(text, str) else text
    if len(data) < 0xFF:
        return u8(len(data)) + data
    if len(data) < 0xFFFE:
        return b"\xff" + u16(len(data)) + data
    return b"\xff\xff\xff" + u32(len(data)) + data


def wide(text):
    """An archive string of 16-bit characters."""
    data = text.encode("utf-16-le")
    return b"\xff\xfe\xff" + u8(len(data) // 2) + data


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def project_data():
    def v2(name, root, dicts, filters, version=2):
        out = u16(version) + s(name) + s(root) + u32(len(dicts))
        out += b"".join(s(d) for d in dicts)
        out += u32(len(filters))
        for kind, text in filters:
            out += u16(1) + i32(kind) + s(text)
        return out

    good = v2("My Site", "/srv/www/site/", ["ZEB Custom", "My Site Ignore"],
              [(0, "old/"), (1, "draft.html"), (2, "*.php")])
    write("ProjectDataFuzz", "v2", good)
    write("ProjectDataFuzz", "v2-empty-lists", v2("a", "/", [], []))
    write("ProjectDataFuzz", "v2-unknown-filter-type", v2("x", "/x/", ["d"], [(7, "y")]))
    write("ProjectDataFuzz", "v2-long-strings", v2("n" * 300, "/" + "r" * 1000 + "/", ["d"], []))
    write("ProjectDataFuzz", "v2-wide-name",
          u16(2) + wide("Caf\u00e9 \U0001F600") + s("/srv/caf\u00e9/") + u32(0) + u32(0))
    write("ProjectDataFuzz", "v1-ids",
          u16(1) + s("Old") + s("/srv/old/") + u32(0) + u32(3) + i32(0) + i32(4) + i32(-1))
    write("ProjectDataFuzz", "v3-skip-code",
          v2("c", "/c/", ["d"], [(2, "*.txt")], version=3) + u32(1))
    write("ProjectDataFuzz", "v3-both-options", v2("b", "/b/", [], [], version=3) + u32(3))
    write("ProjectDataFuzz", "v3-unknown-option", v2("u", "/u/", ["d"], [], version=3) + u32(4))
    write("ProjectDataFuzz", "v3-no-options", v2("f", "/f/", ["d"], [(0, "s/")], version=3))
    write("ProjectDataFuzz", "v4-future", v2("f", "/f/", ["d"], [(0, "s/")], version=4) + u32(1))
    write("ProjectDataFuzz", "truncated", good[: len(good) - 5])
    write("ProjectDataFuzz", "bogus-count", u16(2) + s("a") + s("/") + u32(0xFFFFFFF0))
    write("ProjectDataFuzz", "bogus-length", u16(2) + b"\xff\xff\xff" + u32(0x7FFFFFFF))


def custom_guesses():
    entries = {"teh": ["the", "tea"], "recieve": ["receive"], "caf\u00e9": ["cafe"]}
    v2 = u16(2) + u32(len(entries))
    for key, values in sorted(entries.items()):
        v2 += s(key) + u32(len(values)) + b"".join(s(v) for v in values)
    write("CustomGuessFuzz", "v2", v2)
    v1 = u16(1) + u32(2) + s("teh") + u32(2) + s("tha") + s("the") + s("adn") + u32(1) + s("and")
    write("CustomGuessFuzz", "v1-last-wins", v1)
    write("CustomGuessFuzz", "v0-keys-only", u16(0) + u32(2) + s("one") + s("two"))
    write("CustomGuessFuzz", "wide-key", u16(2) + u32(1) + wide("Stra\u00dfe") + u32(1) + s("strasse"))
    write("CustomGuessFuzz", "truncated", v2[:-3])
    write("CustomGuessFuzz", "bogus-count", u16(2) + u32(0x10000000) + s("a"))
    write("CustomGuessFuzz", "empty", b"")


def settings():
    def base(version="0.1.0", apps=(("htm", "/usr/bin/firefox", "/usr/bin/gedit"),)):
        out = u16(1) + s(version) + i32(10) + i32(20) + i32(800) + i32(600)
        out += u8(0) + u8(1) + u8(1) + u8(1) + u8(0) + u32(len(apps))
        for ext, opener, editor in apps:
            out += s(ext) + s(opener) + s(editor)
        return out

    def shade(name, color):
        return s(name) + u8(1) + u32(color) + u8(1) + u8(2) + u8(3) + i32(-4)

    def styles(user):
        out = u16(1) + u32(len(user))
        for component, (name, color) in user:
            out += i32(component) + shade(name, color)
        return out

    flags = u16(1) + u16(0) + u16(1)
    v5 = base() + u16(5) + flags + s("/srv/sites/") + s("/srv/data/") + i32(3) + \
        styles([(2, ("Tool Bar Buttons (mine)", 0x123456)), (24, ("Last", 0xFFFFFF))])
    write("SettingsFuzz", "v5", v5)
    write("SettingsFuzz", "v4", base("0.0.9") + u16(4) + flags + s("/srv/sites/") + s("old") +
          i32(1) + styles([]))
    write("SettingsFuzz", "v3", base() + u16(3) + flags + s("/srv/sites/") + s("old"))
    tables = u32(1) + s("html") + s("/usr/bin/firefox") + u32(1) + s("php") + s("/usr/bin/vim")
    write("SettingsFuzz", "v2-tables", base("0.0.1", ()) + u16(2) + flags + s("/srv/") + s("x") +
          tables)
    write("SettingsFuzz", "v1", base() + u16(1) + flags + s("/srv/"))
    write("SettingsFuzz", "unknown-version", base() + u16(9) + flags)
    write("SettingsFuzz", "bad-base-version", u16(2) + s("0.1.0"))
    write("SettingsFuzz", "truncated-styles", v5[:-7])
    write("SettingsFuzz", "component-out-of-range",
          base() + u16(5) + flags + s("/a/") + s("/b/") + i32(0) + styles([(25, ("x", 1))]))
    write("SettingsFuzz", "empty", b"")


def user_reg():
    word = ("[Software\\\\Microsoft\\\\Shared Tools\\\\Proofing Tools\\\\1.0\\\\Custom "
            "Dictionaries] 1700000000\n")
    text = ("WINE REGISTRY Version 2\n"
            ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n\n" +
            word +
            "#time=1da0c1b2c3d4e5f\n"
            "\"1\"=\"C:\\\\users\\\\me\\\\CUSTOM.DIC\"\n"
            "\"2\"=\"extra.dic\"\n"
            "\"3\"=str(2):\"Z:\\\\home\\\\me\\\\w.dic\\0tail\"\n"
            "@=\"default\"\n\n"
            "[Software\\\\Microsoft\\\\Shared Tools\\\\Proofing Tools\\\\1.0\\\\Custom "
            "Dictionaries\\\\Sub] 1700000001\n"
            "\"x\"=dword:00000001\n"
            "\"bin\"=hex:01,02,03,\\\n  04,05\n\n"
            "[Software\\\\Wine] 1700000002\n"
            "\"Version\"=\"win10\"\n"
            "\"Esc\"=\"a\\\"b\\x00e9\\xd83d\\xde00\\101\\n\"\n")
    write("UserRegFuzz", "word-list", text.encode())
    write("UserRegFuzz", "crlf", text.replace("\n", "\r\n").encode())
    write("UserRegFuzz", "twice",
          (text + "\n" + word + "\"1\"=\"D:\\\\later.dic\"\n").encode())
    write("UserRegFuzz", "no-header", text.split("\n", 1)[1].encode())
    write("UserRegFuzz", "damaged-sections",
          b"WINE REGISTRY Version 2\n[Open\\\\Key\n\"a\"=\"b\n[\\\\\\\\A\\\\\\\\] 1\n"
          b"\"\\xd800\"=\"\\xdc00\"\n[]\n@=str(:\"x\"\n")
    write("UserRegFuzz", "drive-paths",
          b"WINE REGISTRY Version 2\n[K] 1\n\"1\"=\"c:\\\\Users\\\\..\\\\x.dic\"\n"
          b"\"2\"=\"\\\\\\\\?\\\\C:\\\\a.dic\"\n\"Version\"=\"\\\\\\\\server\\\\share\"\n"
          b"@=\"Q:\\\\nowhere\"\n")


def word_lists():
    words = "Apple\n banana \napple\ndon\u2019t\nMa\u02bco\nStra\u00dfe\n\n  \n"
    write("WordListFuzz", "utf8", words.encode())
    write("WordListFuzz", "utf8-bom-crlf", b"\xef\xbb\xbf" + words.replace("\n", "\r\n").encode())
    write("WordListFuzz", "utf8-cr-no-final", words.replace("\n", "\r").rstrip("\r").encode())
    write("WordListFuzz", "utf16le", "\ufeffCaf\u00e9\r\nZoo\r\nNa\u00efve\r\n".encode("utf-16-le"))
    write("WordListFuzz", "utf16be", "\ufeffNa\u00efve\n\U0001F600\n".encode("utf-16-be"))
    write("WordListFuzz", "cp1252", "Fa\u00e7ade\n\u0160koda\n\u201cquoted\u201d\n".encode("cp1252"))
    write("WordListFuzz", "persdict", "pagelint\nwebsite\nnaïve\nO\u2019Neill\n".encode())
    write("WordListFuzz", "utf16-odd", b"\xff\xfeA\x00\x00\xd8B")
    write("WordListFuzz", "empty", b"")


def main():
    project_data()
    custom_guesses()
    settings()
    user_reg()
    word_lists()
    return 0


if __name__ == "__main__":
    sys.exit(main())
