#!/usr/bin/env python3
"""The rhythm test songs of tests/fixtures/rhythm, written out by hand as MusicXML, only to engrave them with
MuseScore 3 and compare the two engravings by eye:

    python3 bench/rhythm/make_musicxml.py OUTDIR
    QT_QPA_PLATFORM=offscreen mscore3 -o OUTDIR/beams-and-flags.png OUTDIR/beams-and-flags.musicxml

Each bar is a list of events in ticks (240 a quarter, as in the songs); staff levels as in the songs (0 the
middle line of the treble staff, B4; +1 one step up). Lines break where the songs' lines do.
"""
import os
import sys

Q = 240
TYPES = {30: ('32nd', 0), 60: ('16th', 0), 90: ('16th', 1), 120: ('eighth', 0), 180: ('eighth', 1),
         240: ('quarter', 0), 360: ('quarter', 1), 480: ('half', 0), 720: ('half', 1), 960: ('whole', 0)}
FLAGS = {'32nd': 3, '16th': 2, 'eighth': 1}


def ev(length, levels=(), down=False, **marks):
    """One note, chord or (no levels) rest. marks: acc, arts, tie, slur ('start'/'stop'), slash, beatslash,
    tuplet=(actual, normal, shown length, 'start'/'stop'/None)."""
    return dict(length=length, levels=list(levels), down=down, **marks)


def beam(lengths, levels, down=False, **marks):
    """A beamed run of single notes."""
    group = [ev(n, [lv], down, **marks) for n, lv in zip(lengths, levels)]
    for e in group:
        e['beamed'] = group
    return group


def tuplet(lengths, levels, down=False):
    """Three or six notes of a triplet or sextuplet; beamed when the whole group is short enough."""
    actual, normal = (3, 2) if len(lengths) == 3 else (6, 4)
    span = sum(lengths)
    beamed = span <= (Q if actual == 3 else 2 * Q)
    group = []
    for i, (n, lv) in enumerate(zip(lengths, levels)):
        shown = n * actual // normal
        where = 'start' if i == 0 else 'stop' if i == len(lengths) - 1 else None
        group.append(ev(n, [lv], down, tuplet=(actual, normal, shown, where)))
    if beamed:
        for e in group:
            e['beamed'] = group
    return group


def pitch(level):
    index = level + 6  # C4 is level -6
    octave = 4 + index // 7
    return 'CDEFGAB'[index % 7], octave


def beam_marks(e):
    group = e.get('beamed')
    if not group:
        return []
    i = next(k for k, g in enumerate(group) if g is e)
    levels = [FLAGS[TYPES[g.get('tuplet', (0, 0, g['length']))[2]][0]] for g in group]
    marks = []
    for k in range(1, levels[i] + 1):
        left = i > 0 and levels[i - 1] >= k
        right = i + 1 < len(group) and levels[i + 1] >= k
        value = ('continue' if left and right else 'end' if left else 'begin' if right
                 else 'forward hook' if i == 0 else 'backward hook')
        marks.append((k, value))
    return marks


def note_xml(e):
    out = []
    shown = e.get('tuplet', (0, 0, e['length']))[2]
    kind, dots = TYPES[shown]
    levels = e['levels'] or [None]
    for c, level in enumerate(levels):
        x = ['<note>']
        if c > 0:
            x.append('<chord/>')
        if level is None:
            x.append('<rest/>')
        else:
            step, octave = pitch(0 if e.get('slash') or e.get('beatslash') else level)
            alter = {'sharp': 1, 'flat': -1, 'double-sharp': 2, 'flat-flat': -2, 'natural': 0}.get(e.get('acc'), 0)
            x.append(f'<pitch><step>{step}</step>' + (f'<alter>{alter}</alter>' if alter else '') +
                     f'<octave>{octave}</octave></pitch>')
        x.append(f'<duration>{e["length"]}</duration>')
        if e.get('tie') in ('start', 'both') and level is not None:
            x.append('<tie type="start"/>')
        if e.get('tie') in ('stop', 'both') and level is not None:
            x.append('<tie type="stop"/>')
        x.append(f'<type>{kind}</type>' + '<dot/>' * dots)
        if e.get('acc') and c == 0:
            x.append(f'<accidental>{e["acc"]}</accidental>')
        if 'tuplet' in e:
            a, n, _, _ = e['tuplet']
            x.append(f'<time-modification><actual-notes>{a}</actual-notes><normal-notes>{n}</normal-notes>'
                     '</time-modification>')
        if level is not None:
            if e.get('beatslash') or kind == 'whole':
                x.append('<stem>none</stem>')
            else:
                x.append(f'<stem>{"down" if e["down"] else "up"}</stem>')
            if e.get('slash') or e.get('beatslash'):
                x.append('<notehead>slash</notehead>')
            if c == 0:
                for number, value in beam_marks(e):
                    x.append(f'<beam number="{number}">{value}</beam>')
        notations = []
        if e.get('tie') in ('start', 'both') and level is not None:
            notations.append('<tied type="start"/>')
        if e.get('tie') in ('stop', 'both') and level is not None:
            notations.append('<tied type="stop"/>')
        if c == 0:
            if 'tuplet' in e and e['tuplet'][3]:
                bracket = 'no' if e.get('beamed') else 'yes'
                notations.append(f'<tuplet type="{e["tuplet"][3]}" bracket="{bracket}"/>')
            if e.get('slur'):
                notations.append(f'<slur type="{e["slur"]}" number="1"/>')
            arts = [a for a in e.get('arts', []) if a not in ('fermata', 'arpeggiate')]
            if arts:
                notations.append('<articulations>' + ''.join(f'<{a}/>' for a in arts) + '</articulations>')
            if 'fermata' in e.get('arts', []):
                notations.append('<fermata type="upright"/>')
        if 'arpeggiate' in e.get('arts', []):
            notations.append('<arpeggiate/>')
        if notations:
            x.append('<notations>' + ''.join(notations) + '</notations>')
        x.append('</note>')
        out.append(''.join(x))
    return out


def song_xml(title, bars, bars_per_line, times):
    starts, n = set(), 0
    for count in bars_per_line:
        starts.add(n)
        n += count
    parts = []
    for number, events in enumerate(bars):
        m = [f'<measure number="{number + 1}">']
        if number in starts and number > 0:
            m.append('<print new-system="yes"/>')
        attributes = []
        if number == 0:
            attributes += [f'<divisions>{Q}</divisions>', '<key><fifths>0</fifths></key>']
        if number in times:
            beats, unit = times[number]
            attributes.append(f'<time><beats>{beats}</beats><beat-type>{unit}</beat-type></time>')
        if number == 0:
            attributes.append('<clef><sign>G</sign><line>2</line></clef>')
        if attributes:
            m.append('<attributes>' + ''.join(attributes) + '</attributes>')
        for e in events:
            m.extend(note_xml(e))
        m.append('</measure>')
        parts.append('\n'.join(m))
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<!DOCTYPE score-partwise PUBLIC "-//Recordare//DTD MusicXML 3.1 Partwise//EN" '
            '"http://www.musicxml.org/dtds/partwise.dtd">\n'
            f'<score-partwise version="3.1"><work><work-title>{title}</work-title></work>'
            '<part-list><score-part id="P1"><part-name></part-name></score-part></part-list>'
            '<part id="P1">\n' + '\n'.join(parts) + '\n</part></score-partwise>\n')


def flat(*items):
    out = []
    for item in items:
        out.extend(item if isinstance(item, list) else [item])
    return out


E, S, T, D = 120, 60, 30, 180

beams_and_flags = [
    flat(beam([E, E], [-4, -2]), beam([E, E], [-3, -1]), beam([S] * 4, [-6, -5, -4, -3]),
         beam([S] * 4, [5, 4, 3, 2], True)),
    flat(beam([S, E, S], [-2, 0, -2]), beam([E, S, S], [-1, -3, -1]), beam([S, S, E], [4, 3, 2], True),
         beam([D, S], [-4, -2])),
    flat(beam([90, T, E], [-2, -1, 0]), beam([90, T, E], [3, 2, 1], True), beam([T] * 8, list(range(-4, 4))),
         beam([D, S], [4, 2], True)),
    [ev(E, [-2]), ev(S, [-3]), ev(T, [-4]), ev(T, [-5]), ev(E, [3], True), ev(S, [4], True),
     ev(T, [5], True), ev(T, [6], True), ev(Q, [-1]), ev(Q, [2], True)],
    flat(beam([E, S, E, S], [-2, -1, 0, -1]), beam([D, S, E], [-3, -2, -4])),
    flat(beam([E, E], [-6, 0]), beam([E, E], [6, -1], True), ev(E, [-4, -2, 0]), ev(E, [3, 5], True),
         beam([S] * 4, [-2, 2, -2, 2])),
    [ev(E, [-8]), ev(E, [-7]), ev(S, [8], True), ev(S, [7], True), ev(E, [6], True), ev(2 * Q, [-1])],
    flat(beam([E] * 4, [-4, -3, -2, -1]), beam([E] * 4, [4, 3, 2, 1], True)),
]

tuplets = [
    flat(tuplet([80] * 3, [-4, -3, -2]), tuplet([80] * 3, [4, 3, 2], True), tuplet([160] * 3, [-2, -1, 0])),
    flat(tuplet([160] * 3, [3, 2, 1], True), tuplet([40] * 6, [-4, -3, -2, -1, -2, -3]), ev(Q, [-2])),
    flat(tuplet([80] * 6, [2, 3, 4, 5, 4, 3], True), tuplet([320] * 3, [-3, -2, -1])),
    flat(ev(Q, [-2]), tuplet([80] * 3, [-6, -5, -4]), tuplet([80] * 3, [-2, -1, 0]),
         tuplet([80] * 3, [1, 0, -1], True)),
    flat(tuplet([160] * 3, [-6, -4, -2]), tuplet([40] * 6, [4, 3, 2, 1, 2, 3], True), ev(Q)),
    flat(ev(Q, [-1]), tuplet([80] * 3, [-2, -2, -2]), ev(2 * Q, [-2])),
    flat(tuplet([160] * 3, [6, 5, 4], True), beam([E, E], [-2, -3]), tuplet([80] * 3, [-4, -3, -2])),
    [ev(4 * Q, [-2])],
]

slurred = beam([E] * 4, [1, 2, 3, 4], True, arts=['staccato'])
slurred[0]['slur'] = 'start'
slurred[3]['slur'] = 'stop'
tied_eighths = beam([E, E], [-1, -1])
tied_eighths[0]['tie'] = 'start'
tied_eighths[1]['tie'] = 'both'
ties_and_signs = [
    [ev(Q, [-2], arts=['staccato']), ev(Q, [-1], arts=['tenuto']), ev(Q, [-3], arts=['accent']),
     ev(Q, [-2], arts=['strong-accent'])],
    [ev(Q, [-3], acc='sharp'), ev(Q, [-3], acc='natural'), ev(Q, [0], True, acc='flat'),
     ev(E, [-1], acc='flat-flat'), ev(E, [-5], acc='double-sharp')],
    [ev(Q, [-4], slur='start'), ev(Q, [-3]), ev(2 * Q, [-2], slur='stop', tie='start')],
    [ev(Q, [-2], tie='stop'), ev(Q), ev(2 * Q, [-4, -2, 0], tie='start')],
    flat(ev(2 * Q, [-4, -2, 0], tie='stop'), slurred),
    [ev(Q, [3], True, arts=['staccato']), ev(Q, [4], True, arts=['tenuto']), ev(Q, [2], True, arts=['accent']),
     ev(Q, [-4, -2, 0, 2], True, arts=['arpeggiate'])],
    flat(tied_eighths, ev(360, [-1], tie='stop'), ev(E, [-3], acc='sharp'), ev(Q, [-2], tie='start')),
    [ev(4 * Q, [-2], tie='stop', arts=['fermata'])],
]

rests_slashes_ledgers = [
    [ev(4 * Q)],
    [ev(2 * Q), ev(Q), ev(E), ev(S), ev(T), ev(T)],
    [ev(4 * Q, [-2])],
    [ev(720, [0], True), ev(Q)],
    [ev(Q, [0], beatslash=True) for _ in range(4)],
    flat(ev(2 * Q, [0], slash=True), ev(Q, [0], slash=True), beam([E, E], [0, 0], slash=True)),
    [ev(4 * Q, [0], slash=True)],
    [ev(360, [0], slash=True), ev(E, [0], slash=True), ev(S, [0], slash=True), ev(S, [0], slash=True),
     ev(E, [0], slash=True), ev(Q, [0], beatslash=True)],
    [ev(Q, [-8]), ev(Q, [-10]), ev(Q, [8], True), ev(Q, [10], True)],
    [ev(2 * Q, [-6, -4, -2]), ev(2 * Q, [7, 9], True)],
    [ev(4 * Q, [-9])],
    [ev(360), ev(E, [-4]), ev(2 * Q, [6], True)],
]

SONGS = [
    ('beams-and-flags', 'Rhythm: beams and flags', beams_and_flags, [2, 2, 2, 2], {0: (4, 4), 4: (6, 8), 5: (4, 4)}),
    ('tuplets', 'Rhythm: tuplets', tuplets, [2, 2, 2, 2], {0: (4, 4)}),
    ('ties-and-signs', 'Rhythm: ties, accidentals, articulations, slurs', ties_and_signs, [3, 3, 2], {0: (4, 4)}),
    ('rests-slashes-ledgers', 'Rhythm: rests, slashes, long notes, ledger lines', rests_slashes_ledgers,
     [3, 3, 3, 3], {0: (4, 4)}),
]

if __name__ == '__main__':
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    os.makedirs(sys.argv[1], exist_ok=True)
    for name, title, bars, lines, times in SONGS:
        with open(os.path.join(sys.argv[1], name + '.musicxml'), 'w') as f:
            f.write(song_xml(title, bars, lines, times))
