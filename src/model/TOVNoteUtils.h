#pragma once

// Conversions between the symbol codes stored in bars and tones (clef, key-signature and accidental
// symbols, note-palette items) and the clef, key and accidental types of the pitch tables.
class TOVNoteUtils {
public:
    TOVNoteUtils() = delete;

    // TOVSymbolClefG treble -> 0, TOVSymbolClefF bass -> 1, anything else -> 2.
    static int clefTypeFromClefSymbolType(int symbolType);
    // 0 -> C; one to seven sharps (TOVSymbolKeySharp1..TOVSymbolKeySharp7) and one to seven flats
    // (TOVSymbolKeyFlat1..TOVSymbolKeyFlat7) -> their major key; anything else -> 15 (unrecognised). Seven
    // flats read as B major, so they are written back as five sharps.
    static int keyTypeFromKeySignatureSymbolType(int symbolType);
    // The key-signature symbol of a key type; C and every type outside 0..13 -> 0 (no signature).
    static int keySignatureSymbolTypeFromKeyType(int keyType);
    // Accidental symbols TOVSymbolSharp..TOVSymbolNatural -> their accidental type; anything else -> 0.
    static int accidentalTypeFromSymbolType(int symbolType);
    // Accidental types 1..5 -> their symbol; anything else -> 0.
    static int symbolTypeFromAccidentalType(int accidentalType);
    // Accidental items of the note palette (TOVNoteItemSharp..TOVNoteItemDoubleFlat) -> the accidental
    // symbol; anything else -> 0.
    static int symbolTypeFromNoteType(int noteType);
};
