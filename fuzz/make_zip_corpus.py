#!/usr/bin/env python3
"""Writes the seed corpus of the zip unpacker's fuzz target: small font bundles, sound and hostile."""
import io
import pathlib
import zipfile
import zlib

OUT = pathlib.Path(__file__).resolve().parent / "corpus" / "zip"
SVG = b'<svg><path d="M0,0L10,10"/></svg>'
DEFS = b"<fontdefs><id>f</id><displayname>F</displayname></fontdefs>"
DATE = (2021, 3, 4, 5, 6, 8)


def archive(entries):
    """entries: (name, bytes, compression, external attributes, Unix host)"""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as z:
        for name, data, compression, attributes, unix in entries:
            info = zipfile.ZipInfo(name, DATE)
            info.compress_type = compression
            info.external_attr = attributes
            info.create_system = 3 if unix else 0
            z.writestr(info, data)
    return buffer.getvalue()


def entry(name, data=b"", compression=zipfile.ZIP_DEFLATED, attributes=0, unix=False):
    return (name, data, compression, attributes, unix)


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    stored = zipfile.ZIP_STORED
    seeds = {
        "font.zip": archive([entry("f/fontdefs.xml", DEFS), entry("f/a.svg", SVG), entry("f/b.svg", SVG, stored)]),
        "folders.zip": archive([entry("f/"), entry("f\\g\\"), entry("f\\g\\a.svg", SVG)]),
        "traversal.zip": archive([entry("f/a.svg", SVG), entry("f/../../escaped.txt", b"x")]),
        "absolute.zip": archive([entry("/tmp/escaped.txt", b"x")]),
        "symlink.zip": archive([entry("f/link", b"../../outside", stored, 0o120777 << 16, True)]),
        "empty.zip": archive([]),
        "not_a_zip.txt": DEFS,
    }
    good = archive([entry("f/a.svg", SVG, stored)])
    crc = zlib.crc32(SVG).to_bytes(4, "little")
    seeds["bad_crc.zip"] = good.replace(crc, bytes(b ^ 0xFF for b in crc))
    for name, data in seeds.items():
        (OUT / name).write_bytes(data)


if __name__ == "__main__":
    main()
