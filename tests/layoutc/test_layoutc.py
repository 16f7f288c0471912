"""The layout compiler: the source forms it accepts and the mistakes it reports."""
import os
import struct
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools", "layoutc"))
import layoutc  # noqa: E402


def compile_text(text, **defines):
    return layoutc.compile_layout(text, "t.layout", defines, tempfile.gettempdir())


class Values(unittest.TestCase):
    def test_texts_numbers_sets_lists_and_hex(self):
        data, _ = compile_text("""object F: TForm
  Caption = 'It''s ' + 'Başla'#33
  Left = -$10
  Font.Style = [fsBold, fsItalic]
  Items = ('a' 'b')
  Data = {0A 0b}
end""")
        self.assertTrue(data.startswith(b"QXL1O"))
        self.assertIn(b"s\x0c\x00It's Ba\xc5\x9fla!", data)
        self.assertIn(b"i" + struct.pack("<i", -16), data)
        self.assertIn(b"S\x02\x00\x06\x00fsBold\x08\x00fsItalic", data)
        self.assertIn(b"L\x02\x00\x01\x00a\x01\x00b", data)
        self.assertIn(b"b\x02\x00\x00\x00\x0a\x0b", data)
        self.assertTrue(data.endswith(b"E"))

    def test_files_with_length_and_class_name_prefixes(self):
        with tempfile.NamedTemporaryFile(delete=False) as f:
            f.write(b"\x89PNG")
        try:
            data, deps = compile_text(f"""object F: TForm
  A = file '${{DIR}}/{os.path.basename(f.name)}' sized
  B = file '{f.name}' classname TSmartImage
end""", DIR=os.path.dirname(f.name))
            self.assertIn(b"b\x08\x00\x00\x00\x04\x00\x00\x00\x89PNG", data)
            self.assertIn(b"b\x10\x00\x00\x00\x0bTSmartImage\x89PNG", data)
            self.assertEqual(len(deps), 2)
        finally:
            os.unlink(f.name)


class Mistakes(unittest.TestCase):
    def check(self, text, part, **defines):
        with self.assertRaises(layoutc.LayoutSyntaxError) as ctx:
            compile_text(text, **defines)
        self.assertIn(part, str(ctx.exception))

    def test_reported_with_their_line(self):
        self.check("object F: TForm\n  Caption = \nend", "t.layout:3")
        self.check("object F: TForm\n  X = ~\nend", "unexpected character")
        self.check("object F: TForm\n  X = file 'missing.bin'\nend", "cannot read")
        self.check("object F: TForm\n  X = file '${NOPE}/a'\nend", "not defined")
        self.check("object F: TForm\n  object G: TLabel\n  end\n  X = 1\nend", "after a child object")
        self.check("object F: TForm\n", "expected")


if __name__ == "__main__":
    unittest.main()
