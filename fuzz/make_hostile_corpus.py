#!/usr/bin/env python3
"""Writes small hostile files into the seed corpora: files that once crashed, froze or exhausted memory,
so that every test run replays them through the readers (and the layout target) again.

  hostile-note-without-units.tovr    a legacy note whose units are missing (the bar view read the first
                                     unit's x through a null)
  hostile-units-without-note.tovr    units left over after their note lost them
  hostile-level-1e7.tovz             a pitch at level 10^7 (and one at -10^7)
  hostile-title-1mb.tovz             a title of one mebibyte, gzipped to about one kilobyte
  hostile-unit-16000-tones.tovz      one unit holding 16,000 tones
  hostile-marks-past-room.tovz       300 tempo marks in one bar, more than a bar holds
  deep-folders.zip                   a font bundle whose entries lie 2,000 folders deep

With --bench DIR it writes instead, into DIR, the full-size hostile files that bench/hostile_files.sh times
(too large or too slow for a corpus that every test run replays):

  level-1e7.tovz            a pitch at level 10^7 (and one at -10^7), gzipped
  title-50mb.tovz           a title of 50 MB in about 51 KB
  unit-16000-tones.tovz     one unit holding 16,000 tones
  bar-16000-notes.tovz      one bar holding 16,000 notes
  tempo-100000.tovz         100,000 tempo marks in one bar
  chords-50000.tovz         50,000 minimal chords in a few kilobytes
  deep-folders-bundle.zip   a font bundle of 128 entries, each 2,000 folders deep
  note-without-units.tovr   a legacy store whose note has no units

The "tovz" songs go to the corpus of the "tovz" reader; the layout target, which lays out what it loads,
gets the ones within its node budget (the level of 10^7, which the reader clamps, and the long title), and
the legacy note without units, which the importer refuses."""
import argparse
import gzip
import io
import pathlib
import re
import zipfile

FUZZ = pathlib.Path(__file__).resolve().parent
CORPUS = FUZZ / "corpus"

HEAD = ('<?xml version="1.0" encoding="utf-8"?>\n'
        '<tovrin data-struct-version="1.5" platform-type="MAC" platform-version="12" software-version="2.0" '
        'custom-font-id="Default" custom-font-name="Default" xml:space="preserve">\n'
        '<pages><page a-page="10"/></pages>\n')


def title(text):
    return ('<song partition="1" parts="1" rows="1"><title type="song-property"><formatted-texts>'
            '<formatted-text font-family="" font-size="" font-style="Normal" font-weight="Normal" '
            'color="#FF000000" underline="0" line-through="0">'
            f'<arbitrary-text>{text}</arbitrary-text></formatted-text></formatted-texts></title></song>')


def song(text, harmonies, more=""):
    return (HEAD + f'<lines>{title(text)}<line partition="1" parts="1"/></lines>\n'
            '<measure-sets><measure-set><part1 width="1"><barline-left>single</barline-left>'
            '<barline-right>single</barline-right><clef type="clef-g"/><time type="time-4_4"/>'
            f'<harmonies>{harmonies}</harmonies>{more}</part1></measure-set></measure-sets>\n</tovrin>\n')


def harmony(levels, timing=0):
    pitches = "".join(f'<pitch level="{level}" head="normal"/>' for level in levels)
    return (f'<harmony beam="none" stem-height="2.5" timing="{timing}" duration="240" stem-direction="up">'
            f'<notes>{pitches}</notes></harmony>')


def legacy(remove_units):
    text = (CORPUS / "legacy_store" / "song.tovr").read_text(encoding="utf-8")
    for unit in ("z53", "z54"):
        if remove_units:
            text = re.sub(rf'    <object type="NOTEUNIT" id="{unit}">.*?</object>\n', "", text, flags=re.S)
    if remove_units:
        text = re.sub(r'    <object type="NOTETONE" id="z63">.*?</object>\n', "", text, flags=re.S)
        text = text.replace('idrefs="z53 z54"', 'idrefs=""')
    else:
        # The note goes, its units stay.
        text = re.sub(r'    <object type="NOTE" id="z21">.*?</object>\n', "", text, flags=re.S)
        text = text.replace('idrefs="z20 z21"', 'idrefs="z20"')
    return text.encode("utf-8")


def deep_bundle(entries=4):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_STORED) as z:
        for i in range(entries):
            z.writestr(zipfile.ZipInfo("d/" * 2000 + f"{i}.svg", (2021, 3, 4, 5, 6, 8)), b"<svg/>")
    return buffer.getvalue()


def bench_files(folder):
    """The full-size hostile files, each as the program meets it on disk."""
    def packed(text):
        return gzip.compress(text.encode(), mtime=0)
    # Sixteen sixteenths' ticks, a thousand notes on each.
    notes = "".join(harmony([0], (i % 16) * 60).replace('duration="240"', 'duration="60"')
                    for i in range(16_000))
    tempo = "<symbols>" + '<speed type="speed">90</speed>' * 100_000 + "</symbols>"
    chords = "<chords>" + '<chord timing="0"><chord-value step1="C"/></chord>' * 50_000 + "</chords>"
    files = {
        "level-1e7.tovz": packed(song("Level", harmony([10_000_000]) + harmony([-10_000_000], 240))),
        "title-50mb.tovz": packed(song("A" * (50 << 20), harmony([0]))),
        "unit-16000-tones.tovz": packed(song("Tones", harmony(range(16_000)))),
        "bar-16000-notes.tovz": packed(song("Notes", notes)),
        "tempo-100000.tovz": packed(song("Tempo", harmony([0]), tempo)),
        "chords-50000.tovz": packed(song("Chords", "", chords)),
        "deep-folders-bundle.zip": deep_bundle(128),
        "note-without-units.tovr": legacy(True),
    }
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in files.items():
        (folder / name).write_bytes(data)


def main():
    arguments = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    arguments.add_argument("--bench", type=pathlib.Path, help="write the full-size files here instead")
    bench = arguments.parse_args().bench
    if bench:
        bench_files(bench)
        return
    level = song("Level", harmony([10_000_000]) + harmony([-10_000_000], 240)).encode()
    big_title = gzip.compress(song("A" * (1 << 20), harmony([0])).encode(), mtime=0)
    tones = gzip.compress(song("Tones", harmony(range(16_000))).encode(), mtime=0)
    marks = gzip.compress(song("Marks", harmony([0]), "<symbols>" + '<speed type="speed">90</speed>' * 300 +
                               "</symbols>").encode(), mtime=0)
    files = {
        "legacy_store/hostile-note-without-units.tovr": legacy(True),
        "legacy_store/hostile-units-without-note.tovr": legacy(False),
        "tovz/hostile-level-1e7.tovz": level,
        "tovz/hostile-title-1mb.tovz": big_title,
        "tovz/hostile-unit-16000-tones.tovz": tones,
        "tovz/hostile-marks-past-room.tovz": marks,
        "layout/hostile-level-1e7.tovz": level,
        "layout/hostile-title-1mb.tovz": big_title,
        "layout/hostile-note-without-units.tovr": legacy(True),
        "zip/deep-folders.zip": deep_bundle(),
    }
    for name, data in files.items():
        path = CORPUS / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)


if __name__ == "__main__":
    main()
