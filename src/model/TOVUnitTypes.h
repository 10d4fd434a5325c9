#pragma once

#include <cstdint>

// The rhythm code of a note unit and of a notes-palette item: (group << 16) | length. For a plain note,
// slash or rest the length is the notated length in ticks; for a tuplet slot it is the span of the whole
// group. Plain unsigned ints in every interface; the names only make tables and calls readable.

inline constexpr std::uint32_t TOVUnitGroupMask = 0xFFFF0000u;
inline constexpr std::uint32_t TOVUnitLengthMask = 0x0000FFFFu;

// Groups (the high half).
inline constexpr std::uint32_t TOVUnitGroupNote = 0x10000u; // a note or a rhythm slash
inline constexpr std::uint32_t TOVUnitGroupRest = 0x20000u;
inline constexpr std::uint32_t TOVUnitGroupTriplet = 0x30000u;
inline constexpr std::uint32_t TOVUnitGroupSextuplet = 0x50000u;
inline constexpr std::uint32_t TOVUnitGroupNoteSymbol = 0x70000u; // notes-palette items that are not rhythms

// Lengths in ticks (a quarter note is 240).
inline constexpr std::uint32_t TOVLength32nd = 30;
inline constexpr std::uint32_t TOVLength16th = 60;
inline constexpr std::uint32_t TOVLengthDotted16th = 90;
inline constexpr std::uint32_t TOVLength8th = 120;
inline constexpr std::uint32_t TOVLengthDotted8th = 180;
inline constexpr std::uint32_t TOVLengthDoubleDotted8th = 210;
inline constexpr std::uint32_t TOVLengthQuarter = 240;
inline constexpr std::uint32_t TOVLengthDottedQuarter = 360;
inline constexpr std::uint32_t TOVLengthDoubleDottedQuarter = 420;
inline constexpr std::uint32_t TOVLengthHalf = 480;
inline constexpr std::uint32_t TOVLengthDottedHalf = 720;
inline constexpr std::uint32_t TOVLengthDoubleDottedHalf = 840;
inline constexpr std::uint32_t TOVLengthWhole = 960;
// The length of a one-beat slash, which lasts the beat of its bar.
inline constexpr std::uint32_t TOVLengthBeat = 0xFFFEu;

// The one-beat slash.
inline constexpr std::uint32_t TOVUnitBeatSlash = TOVUnitGroupNote | TOVLengthBeat;

// Notes-palette items of the note-symbol group.
inline constexpr std::uint32_t TOVNoteItemTie = TOVUnitGroupNoteSymbol | 0;
inline constexpr std::uint32_t TOVNoteItemSharp = TOVUnitGroupNoteSymbol | 1;
inline constexpr std::uint32_t TOVNoteItemDoubleSharp = TOVUnitGroupNoteSymbol | 2;
inline constexpr std::uint32_t TOVNoteItemNatural = TOVUnitGroupNoteSymbol | 3;
inline constexpr std::uint32_t TOVNoteItemFlat = TOVUnitGroupNoteSymbol | 4;
inline constexpr std::uint32_t TOVNoteItemDoubleFlat = TOVUnitGroupNoteSymbol | 5;
inline constexpr std::uint32_t TOVNoteItemHarmonyTone = TOVUnitGroupNoteSymbol | 6;
inline constexpr std::uint32_t TOVNoteItemBeatSlash = TOVUnitGroupNoteSymbol | 7;

// The rhythm code of a group and a length.
constexpr std::uint32_t TOVUnitTypeOf(std::uint32_t group, std::uint32_t length) {
    return group | length;
}
