#!/usr/bin/env python3
"""Writes the seed corpus of the layout-reader fuzz target: the main window's layout (with a
small stand-in for its skin, so that the seed stays short) and a few small layouts that use
every kind of value. Run it again after changing it: make_seeds.py"""
import os
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools", "layoutc"))
import layoutc  # noqa: E402

SMALL = """object Form1: TForm
  Caption = 'Deneme ''1'''
  ClientWidth = $100
  Font.Style = [fsBold, fsItalic]
  Color = clBtnFace
  object Panel1: TPanel
    Left = -5
    object Radio1: TRadioButton
      Caption = 'İç'#13#10'satır'
      OnClick = Clicked
    end
  end
  object Skin1: TSkinData
    SkinClassMap = ('TFoo=button' 'TBar=' '')
    Data = {00FF10}
    SkinStream = file 'stand-in.skin' sized
  end
end
"""


def compile_text(text, folder):
    data, _ = layoutc.compile_layout(text, "<seed>", {"QX_SKIN_FILE": os.path.join(folder, "stand-in.skin")}, folder)
    return data


def main():
    out = os.path.join(HERE, "corpus")
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "stand-in.skin"), "wb") as f:
            f.write(bytes(range(48)))
        with open(os.path.join(ROOT, "src", "app", "FrmAna.layout"), encoding="utf-8") as f:
            seeds = {
                "frmana.qxl": compile_text(f.read(), folder),
                "small.qxl": compile_text(SMALL, folder),
                "empty-root.qxl": compile_text("object A: TForm\nend\n", folder),
            }
    for name, data in seeds.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
