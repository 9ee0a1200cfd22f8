#!/usr/bin/python3
"""Turns the plug-in's resource script into what builds without a resource
compiler compile in: the string tables (Windows-1251 bytes) and the dialog
templates as C++ data (platform/resources.h, platform/dialog_template.h).
With --texts it writes instead every text of the string tables as a C++
table, which tests compare with what the built plug-in loads.

The script is read as this project writes it: LANGUAGE lines, STRINGTABLE
blocks of `ID, "text"` lines, DIALOGEX blocks of CONTROL lines, and a
VERSIONINFO block (skipped: the version has its own form there)."""

import re
import sys

LANGUAGES = {(0x09, 0x01): "english", (0x19, 0x01): "russian"}
KINDS = {"edit": "Edit", "static": "Static", "combobox": "ComboBox"}


def rc_string(token):
    if not (token.startswith('"') and token.endswith('"')):
        raise ValueError(f"not a string: {token}")
    return token[1:-1].replace('""', '"')


def fields(text):
    """Comma-separated fields, strings kept whole."""
    return [field.strip() for field in re.findall(r'(?:"(?:[^"]|"")*"|[^,])+', text)]


def cpp_bytes(text):
    out = []
    for byte in text.encode("cp1251"):
        if byte < 0x80 and chr(byte) not in '"\\':
            out.append(chr(byte))
        else:
            out.append('\\x%02X" "' % byte)  # each escape ends its literal
    return '"' + "".join(out) + '"'


def style(expression):
    kept = [word.strip() for word in expression.split("|") if not word.strip().startswith("NOT ")]
    return " | ".join(kept) if kept else "0"


def parse(lines):
    tables = {"english": [], "russian": []}
    dialogs = []
    language = None
    lines = iter(lines)
    for raw in lines:
        line = raw.split("//")[0].strip() if not raw.lstrip().startswith('CONTROL') else raw.strip()
        if not line or line.startswith("#"):
            continue
        words = line.split()
        if words[0] == "LANGUAGE":
            primary, sub = (int(value, 0) for value in fields(line[len("LANGUAGE"):]))
            language = LANGUAGES.get((primary, sub))
        elif words[0] == "STRINGTABLE":
            read_strings(lines, tables[language])
        elif len(words) > 1 and words[1] == "DIALOGEX":
            dialogs.append(read_dialog(words[0], fields(line.split("DIALOGEX", 1)[1]), lines))
        elif len(words) > 1 and words[1] == "VERSIONINFO":
            skip_block(lines)
    return tables, dialogs


def read_strings(lines, table):
    for raw in lines:
        line = raw.strip()
        if line in ("BEGIN", ""):
            continue
        if line == "END":
            return
        ident, text = fields(line)
        table.append((ident, rc_string(text)))


def read_dialog(name, rect, lines):
    dialog = {"id": name, "rect": rect, "style": "0", "exstyle": "0", "caption": "", "font": ("8", "")}
    for raw in lines:
        line = raw.strip()
        keyword = line.split(" ", 1)[0]
        rest = line[len(keyword):].strip()
        if keyword == "STYLE":
            dialog["style"] = style(rest)
        elif keyword == "EXSTYLE":
            dialog["exstyle"] = style(rest)
        elif keyword == "CAPTION":
            dialog["caption"] = rc_string(rest)
        elif keyword == "FONT":
            size, face = fields(rest)[:2]
            dialog["font"] = (size, rc_string(face))
        elif keyword == "BEGIN":
            dialog["items"] = read_controls(lines)
            return dialog
    raise ValueError(f"dialog {name} has no controls")


def read_controls(lines):
    items = []
    for raw in lines:
        line = raw.strip()
        if line == "END":
            return items
        if not line.startswith("CONTROL "):
            continue
        parts = fields(line[len("CONTROL "):])
        text, ident, window_class, flags = parts[:4]
        x, y, cx, cy = parts[4:8]
        exstyle = style(parts[8]) if len(parts) > 8 else "0"
        kind = KINDS[rc_string(window_class).lower()]
        items.append((ident, kind, rc_string(text), x, y, cx, cy, style(flags), exstyle))
    raise ValueError("unterminated dialog")


def skip_block(lines):
    depth = 0
    for raw in lines:
        line = raw.strip()
        if line == "BEGIN":
            depth += 1
        elif line == "END":
            depth -= 1
            if depth == 0:
                return


def tables_source(tables, dialogs):
    out = ['// Made by cmake/rc_tables.py from src/resources/morvtransport.rc.',
           '#include "platform/dialog_template.h"', '#include "resources/resource.h"', '',
           'extern const ResourceModule g_pluginResources;', '', 'namespace {', '']
    for language, rows in tables.items():
        out.append(f"const StringTableEntry STRINGS_{language.upper()}[] = {{")
        out += [f"    {{{ident}, {cpp_bytes(text)}}}," for ident, text in rows]
        out += ["};", ""]
    for dialog in dialogs:
        out.append(f"const DialogItemTemplate ITEMS_{dialog['id']}[] = {{")
        for ident, kind, text, x, y, cx, cy, flags, exstyle in dialog["items"]:
            out.append(f"    {{{ident}, WindowKind::{kind}, {cpp_bytes(text)}, {x}, {y}, {cx}, {cy}, {flags}, {exstyle}}},")
        out += ["};", ""]
        x, y, cx, cy = dialog["rect"]
        size, face = dialog["font"]
        out.append(f"const DialogTemplate DIALOG_{dialog['id']}{{{dialog['id']}, true, {dialog['style']}, "
                   f"{dialog['exstyle']}, {x}, {y}, {cx}, {cy}, {cpp_bytes(dialog['caption'])}, "
                   f"{cpp_bytes(face)}, {size}, ITEMS_{dialog['id']}}};")
    out.append("const DialogTemplate *const DIALOGS[] = {" +
               ", ".join(f"&DIALOG_{dialog['id']}" for dialog in dialogs) + "};")
    out += ["", "}  // namespace", "",
            'const ResourceModule g_pluginResources{"MORVTRANSPORT", STRINGS_ENGLISH, STRINGS_RUSSIAN, DIALOGS};']
    return "\n".join(out) + "\n"


def texts_source(tables):
    out = ['// Made by cmake/rc_tables.py from src/resources/morvtransport.rc: every',
           '// text of the string tables, as Windows-1251 bytes.', '#pragma once', '',
           '#include "resources/resource.h"', '', 'struct ResourceText {', '    unsigned id;',
           '    const char *text;', '};', '']
    for language, rows in tables.items():
        out.append(f"inline constexpr ResourceText RESOURCE_TEXTS_{language.upper()}[] = {{")
        out += [f"    {{{ident}, {cpp_bytes(text)}}}," for ident, text in rows]
        out += ["};", ""]
    return "\n".join(out)


def main():
    mode, script, output = sys.argv[1:4]
    with open(script, encoding="utf-8") as source:
        tables, dialogs = parse(source.read().splitlines())
    text = texts_source(tables) if mode == "--texts" else tables_source(tables, dialogs)
    with open(output, "w", encoding="ascii") as result:
        result.write(text)


if __name__ == "__main__":
    main()
