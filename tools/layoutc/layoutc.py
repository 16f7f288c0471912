#!/usr/bin/env python3
"""Compiles a readable window layout (.layout) into the binary layout the program reads.

Source form (one object per block, properties before child objects):

    object FrmAna: TFrmAna
      Caption = 'Quenrix Installer'          text: quoted, '' for a quote, #nnn for a character
      ClientWidth = 566                      integer (decimal, or $hex)
      Color = clBtnFace                      identifier (enumerations, Booleans, colours, events)
      Font.Style = [fsBold]                  set
      SkinClassMap.Strings = ('A=b' 'C=d')   list of texts
      Picture.Data = file '${RES}/x.png' classname TSmartImage   binary from a file, with the
      SkinStream = file 'x.skin' sized                           class-name or length prefix
      Data = {0A1B2C}                        binary, inline hexadecimal
      object rdSarvek: TRadioButton
        ...
      end
    end

Usage: layoutc.py SOURCE OUTPUT [-D NAME=VALUE ...] [--depfile FILE]
"""
import argparse
import os
import re
import struct
import sys


class LayoutSyntaxError(Exception):
    pass


TOKEN = re.compile(r"""
    (?P<ws>[ \t\r]+|//[^\n]*)
  | (?P<nl>\n)
  | (?P<string>(?:'(?:[^'\n]|'')*'|\#(?:\d+|\$[0-9A-Fa-f]+))+)
  | (?P<number>-?\$[0-9A-Fa-f]+|-?\d+)
  | (?P<hex>\{[0-9A-Fa-f\s]*\})
  | (?P<ident>[A-Za-z_][A-Za-z0-9_.]*)
  | (?P<punct>[=:\[\](),+])
""", re.VERBOSE)


def tokenize(text, source):
    tokens, pos, line = [], 0, 1
    while pos < len(text):
        m = TOKEN.match(text, pos)
        if not m:
            raise LayoutSyntaxError(f"{source}:{line}: unexpected character {text[pos]!r}")
        kind = m.lastgroup
        value = m.group(kind)
        if kind == "nl":
            line += 1
        elif kind != "ws":
            tokens.append((kind, value, line))
        line += value.count("\n") if kind == "hex" else 0
        pos = m.end()
    tokens.append(("eof", "", line))
    return tokens


def decode_string(token):
    out, i = [], 0
    while i < len(token):
        if token[i] == "'":
            j = i + 1
            part = []
            while True:
                if token[j] == "'" and j + 1 < len(token) and token[j + 1] == "'":
                    part.append("'")
                    j += 2
                elif token[j] == "'":
                    break
                else:
                    part.append(token[j])
                    j += 1
            out.append("".join(part))
            i = j + 1
        else:  # #nnn
            m = re.match(r"#(\d+|\$[0-9A-Fa-f]+)", token[i:])
            code = m.group(1)
            out.append(chr(int(code[1:], 16) if code.startswith("$") else int(code)))
            i += len(m.group(0))
    return "".join(out)


class Parser:
    def __init__(self, tokens, source, defines, base_dir):
        self.tokens, self.i, self.source = tokens, 0, source
        self.defines, self.base_dir = defines, base_dir
        self.dependencies = []

    def peek(self):
        return self.tokens[self.i]

    def take(self, kind=None, value=None):
        tok = self.tokens[self.i]
        if (kind and tok[0] != kind) or (value is not None and tok[1] != value):
            want = value or kind
            raise LayoutSyntaxError(f"{self.source}:{tok[2]}: expected {want}, found {tok[1] or tok[0]!r}")
        self.i += 1
        return tok

    def parse(self):
        obj = self.parse_object()
        self.take("eof")
        return obj

    def parse_object(self):
        self.take("ident", "object")
        name = self.take("ident")[1]
        self.take("punct", ":")
        cls = self.take("ident")[1]
        props, children = [], []
        while True:
            tok = self.peek()
            if tok[0] == "ident" and tok[1] == "end":
                self.i += 1
                return (cls, name, props, children)
            if tok[0] == "ident" and tok[1] == "object":
                children.append(self.parse_object())
                continue
            path = self.take("ident")[1]
            if children:
                raise LayoutSyntaxError(f"{self.source}:{tok[2]}: property {path} after a child object")
            self.take("punct", "=")
            props.append((path, self.parse_value()))

    def parse_value(self):
        kind, value, line = self.peek()
        if kind == "number":
            self.i += 1
            body = value.lstrip("-")
            v = int(body[1:], 16) if body.startswith("$") else int(body)
            if value.startswith("-"):
                v = -v
            if not -2**31 <= v < 2**32:
                raise LayoutSyntaxError(f"{self.source}:{line}: integer out of range")
            return ("i", v if v < 2**31 else v - 2**32)
        if kind == "string":
            parts = [decode_string(self.take()[1])]
            while self.peek()[:2] == ("punct", "+"):
                self.i += 1
                parts.append(decode_string(self.take("string")[1]))
            return ("s", "".join(parts))
        if kind == "hex":
            self.i += 1
            return ("b", bytes.fromhex(re.sub(r"\s", "", value[1:-1])))
        if kind == "punct" and value == "[":
            self.i += 1
            items = []
            while self.peek()[1] != "]":
                items.append(self.take("ident")[1])
                if self.peek()[1] == ",":
                    self.i += 1
            self.take("punct", "]")
            return ("S", items)
        if kind == "punct" and value == "(":
            self.i += 1
            items = []
            while self.peek()[1] != ")":
                items.append(decode_string(self.take("string")[1]))
            self.take("punct", ")")
            return ("L", items)
        if kind == "ident" and value == "file":
            self.i += 1
            path = self.expand(decode_string(self.take("string")[1]), line)
            if not os.path.isabs(path):
                path = os.path.join(self.base_dir, path)
            try:
                with open(path, "rb") as f:
                    data = f.read()
            except OSError as e:
                raise LayoutSyntaxError(f"{self.source}:{line}: cannot read {path}: {e.strerror}")
            self.dependencies.append(path)
            nxt = self.peek()
            if nxt[0] == "ident" and nxt[1] == "sized":
                self.i += 1
                data = struct.pack("<I", len(data)) + data
            elif nxt[0] == "ident" and nxt[1] == "classname":
                self.i += 1
                cls = self.take("ident")[1].encode("ascii")
                if len(cls) > 255:
                    raise LayoutSyntaxError(f"{self.source}:{line}: class name too long")
                data = bytes([len(cls)]) + cls + data
            return ("b", data)
        if kind == "ident":
            self.i += 1
            return ("n", value)
        raise LayoutSyntaxError(f"{self.source}:{line}: expected a value, found {value or kind!r}")

    def expand(self, text, line):
        def sub(m):
            if m.group(1) not in self.defines:
                raise LayoutSyntaxError(f"{self.source}:{line}: ${{{m.group(1)}}} is not defined")
            return self.defines[m.group(1)]
        return re.sub(r"\$\{(\w+)\}", sub, text)


def put_str(out, text):
    data = text.encode("utf-8")
    if len(data) > 0xFFFF:
        raise LayoutSyntaxError("text too long")
    out += struct.pack("<H", len(data)) + data


def emit(out, obj):
    cls, name, props, children = obj
    out += b"O"
    put_str(out, cls)
    put_str(out, name)
    for path, (kind, value) in props:
        out += b"P"
        put_str(out, path)
        out += kind.encode()
        if kind == "i":
            out += struct.pack("<i", value)
        elif kind in ("s", "n"):
            put_str(out, value)
        elif kind in ("S", "L"):
            out += struct.pack("<H", len(value))
            for item in value:
                put_str(out, item)
        elif kind == "b":
            out += struct.pack("<I", len(value)) + value
    for child in children:
        emit(out, child)
    out += b"E"


def compile_layout(text, source="<layout>", defines=None, base_dir="."):
    parser = Parser(tokenize(text, source), source, defines or {}, base_dir)
    tree = parser.parse()
    out = bytearray(b"QXL1")
    emit(out, tree)
    return bytes(out), parser.dependencies


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("source")
    ap.add_argument("output")
    ap.add_argument("-D", dest="defines", action="append", default=[], metavar="NAME=VALUE")
    ap.add_argument("--depfile")
    args = ap.parse_args(argv)
    defines = dict(d.split("=", 1) for d in args.defines)
    with open(args.source, encoding="utf-8") as f:
        text = f.read()
    try:
        data, deps = compile_layout(text, args.source, defines, os.path.dirname(os.path.abspath(args.source)))
    except LayoutSyntaxError as e:
        print(f"layoutc: {e}", file=sys.stderr)
        return 1
    with open(args.output, "wb") as f:
        f.write(data)
    if args.depfile:
        with open(args.depfile, "w") as f:
            f.write(args.output.replace(" ", "\\ ") + ": " + " ".join(d.replace(" ", "\\ ") for d in deps) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
