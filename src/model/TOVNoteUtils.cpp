#include "model/TOVNoteUtils.h"

#include "model/TOVPitchTypes.h"

#include <array>

namespace {

constexpr int kTrebleClefSymbol = 0x100;
constexpr int kBassClefSymbol = 0x101;

// Key-signature symbols: 512 + n - 1 for n sharps, 519 + n - 1 for n flats.
constexpr int kFirstSharpsSymbol = 512;
constexpr int kFirstFlatsSymbol = 519;
constexpr std::array<int, 7> kKeyOfSharps = {TOVKeyG, TOVKeyD,      TOVKeyA,     TOVKeyE,
                                             TOVKeyB, TOVKeyFSharp, TOVKeyCSharp};
// Seven flats has no key type of its own and reads as its enharmonic twin, B major.
constexpr std::array<int, 7> kKeyOfFlats = {TOVKeyF,  TOVKeyBb, TOVKeyEb, TOVKeyAb,
                                            TOVKeyDb, TOVKeyGb, TOVKeyB};
constexpr std::array<int, 14> kSymbolOfKey = {0,   518, 523, 513, 521, 515, 519,
                                              517, 524, 512, 522, 514, 520, 516};

constexpr int kSharpSymbol = 3840;
constexpr int kDoubleSharpSymbol = 3841;
constexpr int kFlatSymbol = 3842;
constexpr int kDoubleFlatSymbol = 3843;
constexpr int kNaturalSymbol = 3844;

} // namespace

int TOVNoteUtils::clefTypeFromClefSymbolType(int symbolType) {
    switch (symbolType) {
    case kTrebleClefSymbol:
        return TOVClefTreble;
    case kBassClefSymbol:
        return TOVClefBass;
    default:
        return TOVClefUnrecognised;
    }
}

int TOVNoteUtils::keyTypeFromKeySignatureSymbolType(int symbolType) {
    if (symbolType == 0) {
        return TOVKeyC;
    }
    if (symbolType >= kFirstSharpsSymbol && symbolType < kFirstSharpsSymbol + 7) {
        return kKeyOfSharps[symbolType - kFirstSharpsSymbol];
    }
    if (symbolType >= kFirstFlatsSymbol && symbolType < kFirstFlatsSymbol + 7) {
        return kKeyOfFlats[symbolType - kFirstFlatsSymbol];
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
    case kSharpSymbol:
        return TOVAccidentalSharp;
    case kDoubleSharpSymbol:
        return TOVAccidentalDoubleSharp;
    case kFlatSymbol:
        return TOVAccidentalFlat;
    case kDoubleFlatSymbol:
        return TOVAccidentalDoubleFlat;
    case kNaturalSymbol:
        return TOVAccidentalNatural;
    default:
        return TOVAccidentalNone;
    }
}

int TOVNoteUtils::symbolTypeFromAccidentalType(int accidentalType) {
    switch (accidentalType) {
    case TOVAccidentalNatural:
        return kNaturalSymbol;
    case TOVAccidentalSharp:
        return kSharpSymbol;
    case TOVAccidentalDoubleSharp:
        return kDoubleSharpSymbol;
    case TOVAccidentalFlat:
        return kFlatSymbol;
    case TOVAccidentalDoubleFlat:
        return kDoubleFlatSymbol;
    default:
        return 0;
    }
}

int TOVNoteUtils::symbolTypeFromNoteType(int noteType) {
    switch (noteType) {
    case 0x70001:
        return kSharpSymbol;
    case 0x70002:
        return kDoubleSharpSymbol;
    case 0x70003:
        return kNaturalSymbol;
    case 0x70004:
        return kFlatSymbol;
    case 0x70005:
        return kDoubleFlatSymbol;
    default:
        return 0;
    }
}
