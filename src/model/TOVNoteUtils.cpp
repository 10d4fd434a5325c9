#include "model/TOVNoteUtils.h"

#include "model/TOVPitchTypes.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"

#include <array>

namespace {

// Key-signature symbols: TOVSymbolKeySharp1 + n - 1 for n sharps, TOVSymbolKeyFlat1 + n - 1 for n flats.
constexpr std::array<int, 7> kKeyOfSharps = {TOVKeyG, TOVKeyD,      TOVKeyA,     TOVKeyE,
                                             TOVKeyB, TOVKeyFSharp, TOVKeyCSharp};
// Seven flats has no key type of its own and reads as its enharmonic twin, B major.
constexpr std::array<int, 7> kKeyOfFlats = {TOVKeyF,  TOVKeyBb, TOVKeyEb, TOVKeyAb,
                                            TOVKeyDb, TOVKeyGb, TOVKeyB};
constexpr std::array<int, 14> kSymbolOfKey = {0,
                                              TOVSymbolKeySharp7,
                                              TOVSymbolKeyFlat5,
                                              TOVSymbolKeySharp2,
                                              TOVSymbolKeyFlat3,
                                              TOVSymbolKeySharp4,
                                              TOVSymbolKeyFlat1,
                                              TOVSymbolKeySharp6,
                                              TOVSymbolKeyFlat6,
                                              TOVSymbolKeySharp1,
                                              TOVSymbolKeyFlat4,
                                              TOVSymbolKeySharp3,
                                              TOVSymbolKeyFlat2,
                                              TOVSymbolKeySharp5};

} // namespace

int TOVNoteUtils::clefTypeFromClefSymbolType(int symbolType) {
    switch (symbolType) {
    case TOVSymbolClefG:
        return TOVClefTreble;
    case TOVSymbolClefF:
        return TOVClefBass;
    default:
        return TOVClefUnrecognised;
    }
}

int TOVNoteUtils::keyTypeFromKeySignatureSymbolType(int symbolType) {
    if (symbolType == 0) {
        return TOVKeyC;
    }
    if (symbolType >= TOVSymbolKeySharp1 && symbolType < TOVSymbolKeySharp1 + 7) {
        return kKeyOfSharps[symbolType - TOVSymbolKeySharp1];
    }
    if (symbolType >= TOVSymbolKeyFlat1 && symbolType < TOVSymbolKeyFlat1 + 7) {
        return kKeyOfFlats[symbolType - TOVSymbolKeyFlat1];
    }
    return TOVKeyUnrecognised;
}

int TOVNoteUtils::keySignatureSymbolTypeFromKeyType(int keyType) {
    if (keyType < 0 || keyType >= static_cast<int>(kSymbolOfKey.size())) {
        return 0;
    }
    return kSymbolOfKey[keyType];
}

int TOVNoteUtils::accidentalTypeFromSymbolType(int symbolType) {
    switch (symbolType) {
    case TOVSymbolSharp:
        return TOVAccidentalSharp;
    case TOVSymbolDoubleSharp:
        return TOVAccidentalDoubleSharp;
    case TOVSymbolFlat:
        return TOVAccidentalFlat;
    case TOVSymbolDoubleFlat:
        return TOVAccidentalDoubleFlat;
    case TOVSymbolNatural:
        return TOVAccidentalNatural;
    default:
        return TOVAccidentalNone;
    }
}

int TOVNoteUtils::symbolTypeFromAccidentalType(int accidentalType) {
    switch (accidentalType) {
    case TOVAccidentalNatural:
        return TOVSymbolNatural;
    case TOVAccidentalSharp:
        return TOVSymbolSharp;
    case TOVAccidentalDoubleSharp:
        return TOVSymbolDoubleSharp;
    case TOVAccidentalFlat:
        return TOVSymbolFlat;
    case TOVAccidentalDoubleFlat:
        return TOVSymbolDoubleFlat;
    default:
        return 0;
    }
}

int TOVNoteUtils::symbolTypeFromNoteType(int noteType) {
    switch (noteType) {
    case TOVNoteItemSharp:
        return TOVSymbolSharp;
    case TOVNoteItemDoubleSharp:
        return TOVSymbolDoubleSharp;
    case TOVNoteItemNatural:
        return TOVSymbolNatural;
    case TOVNoteItemFlat:
        return TOVSymbolFlat;
    case TOVNoteItemDoubleFlat:
        return TOVSymbolDoubleFlat;
    default:
        return 0;
    }
}
