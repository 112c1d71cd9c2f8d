#!/usr/bin/env python3
"""Collects the program's Chinese texts and keeps the English catalogue in step with them.

The user-visible texts of hddterm are Chinese string literals in the C++ sources under src/, cli/
and app/. At run time the view translates each displayed text with
QCoreApplication::translate("hddterm", text), so the catalogue is one Qt Linguist context,
"hddterm", that maps each exact Chinese text to English.

The scan reads every *.cpp and *.h file and finds its string literals ("...", u8"...", u"...",
L"..." and therefore also the ones inside QStringLiteral(...) and QString::fromUtf8(...)), skipping
comments and character literals. String literals that follow each other with only white space or
comments between them ("a" "b") are joined into one text, as the compiler joins them. Escapes
(\\n, \\t, \\r, \\", \\\\, octal, \\x, \\u) are decoded to the characters the program shows. A
text is collected when it holds at least one Chinese character. Not collected:
  - raw string literals R"(...)": the built-in command scripts, which are file contents the user
    edits, not interface texts;
  - English prose that merely quotes a Chinese key name (the command-line help texts): a text with
    a run of four or more English words.
Texts that the program puts together at run time (a literal + a file name + another literal, or
a caption taken from a data file) are not visible to the scan; their literal pieces are.

The catalogue is resources/translations/hddterm_en.ts (TS 2.1, language en, source language
zh_CN), one <message> per distinct text, sorted by the source text. Translations already in the
catalogue are kept; a text the catalogue has no finished translation for takes the one in
scripts/translations_en.py when it has one, and is otherwise written with an empty translation of
type "unfinished". Texts no longer in the sources are kept as type "vanished" when they have a
translation (all are dropped with --prune).

Usage:
  scripts/update-translations.py            update the catalogue
  scripts/update-translations.py --check    exit 1 when a text of the sources has no finished
                                            translation in the catalogue, or one that still holds
                                            Chinese (the catalogue is not written)
Options:
  --prune        drop the texts that are no longer in the sources
  --from-data    where the catalogue and scripts/translations_en.py differ, take the data file's
  --list         print the collected texts with their first location and exit
  --skipped      print the literals with Chinese characters that the scan leaves out, and exit
  --ts FILE      another catalogue file (default resources/translations/hddterm_en.ts)
"""

import argparse
import importlib.util
import os
import re
import sys
import xml.etree.ElementTree as ET

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
SOURCE_DIRS = ("src", "cli", "app")
SOURCE_SUFFIXES = (".cpp", ".h")
DEFAULT_TS = os.path.join("resources", "translations", "hddterm_en.ts")
DATA_FILE = os.path.join(ROOT, "scripts", "translations_en.py")
CONTEXT = "hddterm"

# CJK ideographs (with extension A and the compatibility block); CJK punctuation alone does not
# make a text Chinese.
CJK = re.compile("[\u3400-\u4dbf\u4e00-\u9fff\uf900-\ufaff]")
# Four English words in a row: prose such as the command-line help, which only quotes key names.
ENGLISH_PROSE = re.compile(r"[A-Za-z][A-Za-z']*(?:[ ,]+[A-Za-z][A-Za-z']*){3,}")

STRING_PREFIXES = ("", "u8", "u", "U", "L")
RAW_PREFIXES = ("R", "u8R", "uR", "UR", "LR")

SIMPLE_ESCAPES = {
    "n": "\n", "t": "\t", "r": "\r", "a": "\a", "b": "\b", "f": "\f", "v": "\v",
    "\\": "\\", '"': '"', "'": "'", "?": "?",
}


class Literal:
    def __init__(self, text, raw, line):
        self.text = text
        self.raw = raw
        self.line = line


def decode_escapes(body, path, line):
    """The characters a C++ string literal's body stands for (UTF-8 source)."""
    out = bytearray()
    i = 0
    n = len(body)
    while i < n:
        c = body[i]
        if c != "\\":
            out += c.encode("utf-8")
            i += 1
            continue
        i += 1
        if i >= n:
            break
        e = body[i]
        if e in SIMPLE_ESCAPES:
            out += SIMPLE_ESCAPES[e].encode("utf-8")
            i += 1
        elif e in "01234567":
            j = i
            while j < n and j < i + 3 and body[j] in "01234567":
                j += 1
            out.append(int(body[i:j], 8) & 0xFF)
            i = j
        elif e == "x":
            j = i + 1
            while j < n and body[j] in "0123456789abcdefABCDEF":
                j += 1
            out.append(int(body[i + 1:j] or "0", 16) & 0xFF)
            i = j
        elif e in "uU":
            width = 4 if e == "u" else 8
            out += chr(int(body[i + 1:i + 1 + width], 16)).encode("utf-8")
            i += 1 + width
        else:
            sys.stderr.write(f"{path}:{line}: unknown escape \\{e} kept as it is\n")
            out += ("\\" + e).encode("utf-8")
            i += 1
    return out.decode("utf-8", errors="replace")


def tokens(source, path):
    """The string literals of a source file, as lists of literals that the compiler joins."""
    groups = []
    current = []
    i = 0
    n = len(source)
    line = 1

    def close_group():
        nonlocal current
        if current:
            groups.append(current)
            current = []

    while i < n:
        c = source[i]
        if c == "\n":
            line += 1
            i += 1
        elif c in " \t\r\f\v":
            i += 1
        elif source.startswith("//", i):
            j = source.find("\n", i)
            i = n if j < 0 else j
        elif source.startswith("/*", i):
            j = source.find("*/", i + 2)
            j = n if j < 0 else j + 2
            line += source.count("\n", i, j)
            i = j
        elif c == '"':
            j, text = read_string(source, i, path, line)
            current.append(Literal(text, False, line))
            line += source.count("\n", i, j)
            i = j
        elif c == "'":
            close_group()
            j = i + 1
            while j < n and source[j] != "'" and source[j] != "\n":
                j += 2 if source[j] == "\\" else 1
            i = j + 1
        elif c.isalpha() or c == "_":
            j = i
            while j < n and (source[j].isalnum() or source[j] == "_"):
                j += 1
            word = source[i:j]
            if j < n and source[j] == '"' and word in RAW_PREFIXES:
                k, text = read_raw_string(source, j, path, line)
                current.append(Literal(text, True, line))
                line += source.count("\n", i, k)
                i = k
            elif j < n and source[j] == '"' and word in STRING_PREFIXES:
                k, text = read_string(source, j, path, line)
                current.append(Literal(text, False, line))
                line += source.count("\n", i, k)
                i = k
            elif j < n and source[j] == "'" and word in STRING_PREFIXES:
                close_group()
                k = j + 1
                while k < n and source[k] != "'" and source[k] != "\n":
                    k += 2 if source[k] == "\\" else 1
                i = k + 1
            else:
                close_group()
                i = j
        elif c.isdigit():
            # A number, with its digit separators (1'000), exponents and suffixes.
            close_group()
            j = i + 1
            while j < n:
                if source[j].isalnum() or source[j] in "._":
                    j += 1
                elif source[j] == "'" and j + 1 < n and source[j + 1].isalnum():
                    j += 1
                elif source[j] in "+-" and source[j - 1] in "eEpP":
                    j += 1
                else:
                    break
            i = j
        else:
            close_group()
            i += 1
    close_group()
    return groups


def read_string(source, start, path, line):
    """Reads the literal whose opening quote is at `start`; returns the end and the text."""
    j = start + 1
    n = len(source)
    while j < n and source[j] != '"':
        if source[j] == "\\":
            j += 2
        elif source[j] == "\n":
            sys.stderr.write(f"{path}:{line}: unterminated string literal\n")
            break
        else:
            j += 1
    return j + 1, decode_escapes(source[start + 1:j], path, line)


def read_raw_string(source, start, path, line):
    """Reads R"delim(...)delim" whose quote is at `start`."""
    open_paren = source.find("(", start)
    delim = source[start + 1:open_paren]
    closing = ")" + delim + '"'
    end = source.find(closing, open_paren + 1)
    if end < 0:
        sys.stderr.write(f"{path}:{line}: unterminated raw string literal\n")
        return len(source), ""
    return end + len(closing), source[open_paren + 1:end]


def source_files():
    for d in SOURCE_DIRS:
        for dirpath, dirnames, filenames in os.walk(os.path.join(ROOT, d)):
            dirnames.sort()
            for name in sorted(filenames):
                if name.endswith(SOURCE_SUFFIXES):
                    yield os.path.join(dirpath, name)


def scan():
    """Returns ({text: [locations]}, [(location, text, why) skipped])."""
    texts = {}
    skipped = []
    for path in source_files():
        rel = os.path.relpath(path, ROOT)
        with open(path, encoding="utf-8") as f:
            source = f.read()
        for group in tokens(source, rel):
            text = "".join(lit.text for lit in group)
            if not CJK.search(text):
                continue
            where = f"{rel}:{group[0].line}"
            if any(lit.raw for lit in group):
                skipped.append((where, text, "raw string literal"))
            elif ENGLISH_PROSE.search(text):
                skipped.append((where, text, "English prose"))
            else:
                texts.setdefault(text, []).append(where)
    return texts, skipped


# ---- the catalogue --------------------------------------------------------------------------


class Entry:
    def __init__(self, source, translation="", kind=None):
        self.source = source
        self.translation = translation
        self.kind = kind  # None (finished), "unfinished", "vanished" or "obsolete"

    def finished(self):
        return self.kind is None and self.translation != ""


def element_text(element):
    """The text of <source> or <translation>, with Qt's <byte value="xd"/> for control characters."""
    if element is None:
        return ""
    pieces = [element.text or ""]
    for child in element:
        if child.tag == "byte":
            value = child.get("value", "0")
            pieces.append(chr(int(value[1:], 16) if value[:1] in "xX" else int(value)))
        pieces.append(child.tail or "")
    return "".join(pieces)


def read_ts(path):
    entries = {}
    if not os.path.exists(path):
        return entries
    root = ET.parse(path).getroot()
    for context in root.iter("context"):
        name = context.findtext("name") or ""
        if name != CONTEXT:
            sys.stderr.write(f"{path}: context {name!r} ignored\n")
            continue
        for message in context.iter("message"):
            source = element_text(message.find("source"))
            t = message.find("translation")
            translation = element_text(t)
            kind = t.get("type") if t is not None else "unfinished"
            entries[source] = Entry(source, translation, kind)
    return entries


def xml_text(s):
    """Escapes as Qt's own TS writer does: control characters other than the line feed and the tab
    become <byte value="xd"/> (a literal CR would be read back as a line feed)."""
    out = []
    for ch in s:
        o = ord(ch)
        if ch == "&":
            out.append("&amp;")
        elif ch == "<":
            out.append("&lt;")
        elif ch == ">":
            out.append("&gt;")
        elif ch == '"':
            out.append("&quot;")
        elif ch == "'":
            out.append("&apos;")
        elif o < 0x20 and ch not in "\n\t":
            out.append(f'<byte value="x{o:x}"/>')
        else:
            out.append(ch)
    return "".join(out)


def write_ts(path, entries):
    lines = [
        '<?xml version="1.0" encoding="utf-8"?>',
        "<!DOCTYPE TS>",
        '<TS version="2.1" language="en" sourcelanguage="zh_CN">',
        "<context>",
        f"    <name>{CONTEXT}</name>",
    ]
    for source in sorted(entries):
        e = entries[source]
        lines.append("    <message>")
        lines.append(f"        <source>{xml_text(e.source)}</source>")
        kind = f' type="{e.kind}"' if e.kind else ""
        lines.append(f"        <translation{kind}>{xml_text(e.translation)}</translation>")
        lines.append("    </message>")
    lines += ["</context>", "</TS>", ""]
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines))


def read_data():
    if not os.path.exists(DATA_FILE):
        return {}
    sys.dont_write_bytecode = True  # no __pycache__ beside the data file
    found = importlib.util.spec_from_file_location("translations_en", DATA_FILE)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return dict(module.TRANSLATIONS)


def main():
    parser = argparse.ArgumentParser(description="Keeps the English catalogue in step with the sources.")
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--prune", action="store_true")
    parser.add_argument("--from-data", action="store_true")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--skipped", action="store_true")
    parser.add_argument("--ts", default=os.path.join(ROOT, DEFAULT_TS))
    args = parser.parse_args()

    texts, skipped = scan()
    if args.list:
        for text in sorted(texts):
            print(f"{texts[text][0]}\t{text!r}")
        return 0
    if args.skipped:
        for where, text, why in skipped:
            print(f"{where}\t{why}\t{text[:100]!r}")
        return 0

    old = read_ts(args.ts)

    if args.check:
        missing = [t for t in sorted(texts)
                   if t not in old or not old[t].finished() or CJK.search(old[t].translation)]
        for t in missing:
            print(f"{texts[t][0]}: no translation: {t!r}")
        print(f"{len(texts)} texts, {len(texts) - len(missing)} translated, {len(missing)} not")
        return 1 if missing else 0

    data = read_data()
    entries = {}
    differ = 0
    for text in texts:
        e = old.get(text)
        kept = e is not None and e.translation != "" and e.kind in (None, "vanished", "obsolete")
        if text in data and data[text] and (not kept or args.from_data):
            entries[text] = Entry(text, data[text])
        elif kept:
            entries[text] = Entry(text, e.translation)
            if text in data and data[text] and data[text] != e.translation:
                differ += 1
        else:
            entries[text] = Entry(text, e.translation if e else "", "unfinished")
    vanished = 0
    for text, e in old.items():
        if text in texts:
            continue
        if args.prune or e.translation == "":
            continue  # a vanished text is kept only for its translation
        entries[text] = Entry(text, e.translation, "vanished")
        vanished += 1
    write_ts(args.ts, entries)

    unfinished = sum(1 for e in entries.values() if e.kind == "unfinished")
    print(f"{os.path.relpath(args.ts, ROOT)}: {len(texts)} texts, {unfinished} unfinished, "
          f"{vanished} vanished, {len(skipped)} literals left out (--skipped lists them)")
    unused = sorted(t for t in data if t not in texts)
    if unused:
        print(f"{len(unused)} entries of scripts/translations_en.py match no text of the sources:")
        for t in unused:
            print(f"  {t!r}")
    if differ:
        print(f"{differ} translations in the catalogue differ from scripts/translations_en.py; "
              "the catalogue's are kept (--from-data takes the data file's)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
