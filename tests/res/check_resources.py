#!/usr/bin/python3
"""Usage: check_resources.py <Quillane.exe>. Reads the exe's resources back against what the program must hold."""
import re
import struct
import sys
import unittest
from xml.etree import ElementTree

import pefile

RT_ICON, RT_MENU, RT_DIALOG, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST, SWEDISH, NEUTRAL = 3, 4, 5, 14, 16, 24, 1053, 0
SEPARATOR, GRAYED = ("", 0), 0x1
BITS = dict(WS_POPUP=0x80000000, WS_CHILD=0x40000000, WS_VISIBLE=0x10000000, WS_CAPTION=0xC00000, WS_BORDER=0x800000,
            WS_VSCROLL=0x200000, WS_HSCROLL=0x100000, WS_SYSMENU=0x80000, WS_THICKFRAME=0x40000, WS_MINIMIZEBOX=0x20000,
            WS_MAXIMIZEBOX=0x10000, WS_TABSTOP=0x10000, DS_CENTER=0x800, DS_MODALFRAME=0x80, DS_SETFONT=0x40,
            DS_SYSMODAL=0x2, LBS_NOINTEGRALHEIGHT=0x100, LBS_SORT=0x2, LBS_NOTIFY=0x1)


def styles(names):
    return sum(BITS[name] for name in names.split())


def text_at(data, at):
    end = next(i for i in range(at, len(data), 2) if data[i:i + 2] == b"\0\0")
    return data[at:end].decode("utf-16-le"), end + 2


def name_at(data, at):
    """A name-or-ordinal field: None, a number, or a string."""
    first, second = struct.unpack_from("<HH", data, at)
    return {0: (None, at + 2), 0xFFFF: (second, at + 4)}.get(first) or text_at(data, at)


def menu_items(data, at=4):
    """(text, id or children[, flags other than pop-up and last]) up to the item marked last."""
    items, flags = [], 0
    while not flags & 0x80:
        flags, = struct.unpack_from("<H", data, at)
        if flags & 0x10:
            text, at = text_at(data, at + 2)
            target, at = menu_items(data, at)
        else:
            target, = struct.unpack_from("<H", data, at + 2)
            text, at = text_at(data, at + 4)
        items.append((text, target) + ((flags & ~0x90,) if flags & ~0x90 else ()))
    return items, at


def dialog(data):
    """The extended dialog template's fields, its controls' fields as a list."""
    _, _, _, exstyle, style, count, *rect = struct.unpack_from("<HHIIIHhhhh", data)
    menu, at = name_at(data, 26)
    window_class, at = name_at(data, at)
    caption, at = text_at(data, at)
    font = struct.unpack_from("<HHBB", data, at)
    face, at = text_at(data, at + 6)
    controls = []
    for _ in range(count):
        at += -at % 4
        _, c_exstyle, c_style, *c_rect, c_id = struct.unpack_from("<IIIhhhhI", data, at)
        c_class, at = name_at(data, at + 24)
        title, at = name_at(data, at)
        at += 2 + struct.unpack_from("<H", data, at)[0]
        controls.append((c_exstyle, c_style, tuple(c_rect), c_id, c_class, title))
    return exstyle, style, tuple(rect), menu, window_class, caption, font + (face,), controls


def icon_rows(bmp, size):
    """A 16-colour icon image, top row first: (r, g, b), or None where the AND mask leaves it transparent."""
    assert struct.unpack_from("<IiiHH", bmp) == (40, size, 2 * size, 1, 4)
    palette = [tuple(bmp[40 + 4 * i:43 + 4 * i][::-1]) for i in range(16)]
    pitch, mask_pitch = (size // 2 + 3) & ~3, (size // 8 + 3) & ~3
    mask = 104 + pitch * size
    return [[None if bmp[mask + y * mask_pitch + x // 8] & (0x80 >> x % 8)
             else palette[bmp[104 + y * pitch + x // 2] >> (4 - 4 * (x % 2)) & 0xF] for x in range(size)]
            for y in reversed(range(size))]


BLACK, GREY, WHITE, BLUE, NAVY = (0, 0, 0), (192, 192, 192), (255, 255, 255), (0, 0, 255), (0, 0, 128)
GLIDER = ["-#-", "--#", "###"]


def pictured(size, x, y):
    """The icon as designed: a glider on a 3 x 3 board; cell pitch, widths, borders and colours by size."""
    pitch, width, first = (10, 9, 1) if size == 32 else (5, 5, 0)
    (col, u), (row, v) = divmod(x - first, pitch), divmod(y - first, pitch)
    if max(col, row) > 2 or max(u, v) >= width:  # the lines between cells, and the last rows and columns
        return GREY if size == 16 else None if 31 in (x, y) else BLACK
    border = bool({u, v} & {0, width - 1})
    if GLIDER[row][col] == "-":
        return GREY if border else WHITE
    return (BLUE if border else NAVY) if size == 32 else (NAVY if border else BLUE)


ZOOM = [("Zoom in (1)\tCtrl+1", 40008), ("Zoom in (3)\tCtrl+3", 40009),
        ("Zoom out (1)\tShift+1", 40011), ("Zoom out (3)\tShift+3", 40012)]
FONT = (8, 0, 0, 1, "MS Sans Serif")


class Resources(unittest.TestCase):
    def test_exactly_these_resources_all_in_swedish_but_the_manifest(self):
        self.assertEqual(sorted(RESOURCES), [(kind, name, SWEDISH) for kind, name in [
            (RT_ICON, 1), (RT_ICON, 2), (RT_MENU, 102), (RT_MENU, 105), (RT_DIALOG, 101), (RT_DIALOG, 104),
            (RT_GROUP_ICON, 103), (RT_VERSION, 1)]] + [(RT_MANIFEST, 1, NEUTRAL)])

    def test_menus(self):
        self.assertEqual(menu_items(RESOURCES[RT_MENU, 105, SWEDISH])[0], [
            ("File", [("Load pattern", 40024), ("Save pattern", 40025), SEPARATOR, ("Quit", 40015)]),
            ("Edit", [("Undo\tCtrl+Z", 40004), ("Redo\tCtrl+Y", 40030), SEPARATOR, ("Cut\tCtrl+X", 40031),
                      ("Copy\tCtrl+C", 40032), ("Paste\tCtrl+V", 40033), ("Delete\tDel", 40034),
                      ("Clear outside", 40035), SEPARATOR, ("Select all\tCtrl+A", 40036),
                      ("Remove selection\tEsc", 40037), SEPARATOR, ("Flip left-right", 40038),
                      ("Flip up-down", 40039), ("Rotate clockwise", 40040), ("Rotate anticlockwise", 40041),
                      ("Random fill", 40042)]),
            ("View", [("Population graph\tG", 40044), ("Living cells\tL", 40045)]),
            ("Game", [("Play\tP", 40001), ("Stop\tS", 40002), ("Forward 1 step\tRight", 40003),
                      ("Backward 1 step\tLeft", 40004, GRAYED), SEPARATOR, ("Clear\tC", 40005)]),
            ("Zoom", ZOOM),
            ("Speed", [("10 ms\t1", 40018), ("50 ms\t2", 40019), ("100 ms\t3", 40020), ("200 ms\t4", 40021),
                       ("Fastest\t5", 40043)]),
            ("About", [("This program", 40022), ("The Quillane", 40023)])])
        self.assertEqual(menu_items(RESOURCES[RT_MENU, 102, SWEDISH])[0], [
            ("Menu", [("Play\tP", 40001), ("Stop\tS", 40002), SEPARATOR, ("Forward 1 step\tRight", 40003),
                      ("Backward 1 step\tLeft", 40004), SEPARATOR, ("Clear\tC", 40005), SEPARATOR,
                      ("Zoom", ZOOM), SEPARATOR,
                      ("Pattern", [("Common", [("Add current to list", 40014), SEPARATOR]), SEPARATOR,
                                   ("Load", 40006), ("Save", 40007)])])])

    def test_dialogs(self):
        self.assertEqual(dialog(RESOURCES[RT_DIALOG, 101, SWEDISH]), (
            0x200, styles("WS_POPUP WS_CAPTION WS_SYSMENU WS_THICKFRAME WS_MINIMIZEBOX WS_MAXIMIZEBOX "
                          "WS_HSCROLL WS_VSCROLL DS_CENTER DS_SETFONT"),
            (0, 0, 281, 233), 105, None, "The Quillane (0.0.1)", FONT, []))
        self.assertEqual(dialog(RESOURCES[RT_DIALOG, 104, SWEDISH]), (
            0x80, styles("WS_POPUP WS_CAPTION WS_SYSMENU DS_MODALFRAME DS_SYSMODAL DS_SETFONT"),
            (0, 0, 135, 186), None, None, "The Quillane: Living cells", FONT,
            [(0, styles("WS_CHILD WS_VISIBLE WS_BORDER WS_VSCROLL WS_TABSTOP LBS_SORT LBS_NOTIFY "
                        "LBS_NOINTEGRALHEIGHT"), (1, 1, 133, 184), 1009, 0x83, None)]))

    def test_icon_group_holds_the_glider_at_32_and_16_pixels(self):
        group = RESOURCES[RT_GROUP_ICON, 103, SWEDISH]
        for n, size in enumerate((32, 16)):
            image, = struct.unpack_from("<H", group, 18 + 14 * n)
            self.assertEqual(icon_rows(RESOURCES[RT_ICON, image, SWEDISH], size),
                             [[pictured(size, x, y) for x in range(size)] for y in range(size)], size)

    def test_version_block(self):
        fixed = PE.VS_FIXEDFILEINFO[0]
        self.assertEqual((fixed.FileVersionMS, fixed.FileVersionLS, fixed.ProductVersionMS, fixed.ProductVersionLS,
                          fixed.FileFlagsMask, fixed.FileFlags, fixed.FileOS, fixed.FileType, fixed.FileSubtype),
                         (0, 1, 0, 1, 0x3F, 0, 0x40004, 1, 0))
        info = {entry.Key: entry for entry in PE.FileInfo[0]}
        tables = info[b"StringFileInfo"].StringTable
        self.assertEqual([table.LangID for table in tables], [b"041d04b0"])
        self.assertEqual({k.decode(): v.decode() for k, v in tables[0].entries.items()}, {
            "Comments": "The Quillane", "CompanyName": "The Quillane developers",
            "FileDescription": "Quillane", "FileVersion": "0, 0, 0, 1", "InternalName": "Quillane",
            "LegalCopyright": "Copyright (C) 2026 The Quillane developers", "LegalTrademarks": "",
            "OriginalFilename": "Quillane.exe", "PrivateBuild": "", "ProductName": "Quillane",
            "ProductVersion": "0, 0, 0, 1", "SpecialBuild": ""})
        self.assertEqual([var.entry for var in info[b"VarFileInfo"].Var], [{b"Translation": "0x041d 0x04b0"}])

    def test_manifest(self):
        root = ElementTree.fromstring(RESOURCES[RT_MANIFEST, 1, NEUTRAL])  # well-formed, or it raises
        seen = {(re.sub(r"urn:schemas-microsoft-com:|http://schemas.microsoft.com/SMI/", "", e.tag), value)
                for e in root.iter() for value in [*e.attrib.values(), e.text]}
        v = PE.VS_FIXEDFILEINFO[0]
        version = "%d.%d.%d.%d" % (*divmod(v.FileVersionMS, 65536), *divmod(v.FileVersionLS, 65536))
        identity, windows = "{asm.v1}assemblyIdentity", "{compatibility.v1}supportedOS"
        wanted = {(identity, version), (identity, "Microsoft.Windows.Common-Controls"), (identity, "6.0.0.0"),
                  ("{asm.v3}requestedExecutionLevel", "asInvoker"), ("{2005/WindowsSettings}dpiAware", "true/pm"),
                  ("{2016/WindowsSettings}dpiAwareness", "PerMonitorV2, PerMonitor")}
        wanted |= {(windows, "{%s}" % os) for os in (  # Windows 7, 8, 8.1, and 10 and 11
            "35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
            "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a")}
        self.assertEqual(wanted - seen, set())

if __name__ == "__main__":
    PE = pefile.PE(sys.argv.pop(1))
    RESOURCES = {(kind.id, name.id, lang.id): PE.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
                 for kind in PE.DIRECTORY_ENTRY_RESOURCE.entries for name in kind.directory.entries
                 for lang in name.directory.entries}
    unittest.main(verbosity=2)
