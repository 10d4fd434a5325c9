#include "model/TOVNoteUtils.h"
#include "model/TOVPitchTypes.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

struct Mapping {
    int in;
    int out;
};

void expectMapping(int (*convert)(int), const std::vector<Mapping>& cases, const char* name) {
    for (const Mapping& c : cases) {
        EXPECT_EQ(convert(c.in), c.out) << name << "(" << c.in << ")";
    }
}

} // namespace

TEST(TOVNoteUtilsTest, ClefSymbolsGiveClefTypes) {
    expectMapping(&TOVNoteUtils::clefTypeFromClefSymbolType,
                  {{TOVSymbolClefG, TOVClefTreble},
                   {TOVSymbolClefF, TOVClefBass},
                   {TOVSymbolClefF + 1, 2},
                   {0, 2},
                   {TOVSymbolClefG - 1, 2},
                   {-TOVSymbolClefG, 2},
                   {INT_MIN, 2}},
                  "clefTypeFromClefSymbolType");
}

TEST(TOVNoteUtilsTest, KeySignatureSymbolsGiveKeyTypes) {
    expectMapping(&TOVNoteUtils::keyTypeFromKeySignatureSymbolType,
                  {
                      {0, TOVKeyC},
                      // one to seven sharps
                      {TOVSymbolKeySharp1, TOVKeyG},
                      {TOVSymbolKeySharp2, TOVKeyD},
                      {TOVSymbolKeySharp3, TOVKeyA},
                      {TOVSymbolKeySharp4, TOVKeyE},
                      {TOVSymbolKeySharp5, TOVKeyB},
                      {TOVSymbolKeySharp6, TOVKeyFSharp},
                      {TOVSymbolKeySharp7, TOVKeyCSharp},
                      // one to seven flats; seven flats reads as B major
                      {TOVSymbolKeyFlat1, TOVKeyF},
                      {TOVSymbolKeyFlat2, TOVKeyBb},
                      {TOVSymbolKeyFlat3, TOVKeyEb},
                      {TOVSymbolKeyFlat4, TOVKeyAb},
                      {TOVSymbolKeyFlat5, TOVKeyDb},
                      {TOVSymbolKeyFlat6, TOVKeyGb},
                      {TOVSymbolKeyFlat7, TOVKeyB},
                      // unknown codes
                      {TOVSymbolKeySharp1 - 1, TOVKeyUnrecognised},
                      {TOVSymbolKeyFlat7 + 1, TOVKeyUnrecognised},
                      {600, TOVKeyUnrecognised},
                      {1, TOVKeyUnrecognised},
                      {-TOVSymbolKeySharp1, TOVKeyUnrecognised},
                      {INT_MAX, TOVKeyUnrecognised},
                  },
                  "keyTypeFromKeySignatureSymbolType");
}

TEST(TOVNoteUtilsTest, KeyTypesGiveKeySignatureSymbols) {
    expectMapping(&TOVNoteUtils::keySignatureSymbolTypeFromKeyType,
                  {{TOVKeyC, 0},
                   {TOVKeyCSharp, TOVSymbolKeySharp7},
                   {TOVKeyDb, TOVSymbolKeyFlat5},
                   {TOVKeyD, TOVSymbolKeySharp2},
                   {TOVKeyEb, TOVSymbolKeyFlat3},
                   {TOVKeyE, TOVSymbolKeySharp4},
                   {TOVKeyF, TOVSymbolKeyFlat1},
                   {TOVKeyFSharp, TOVSymbolKeySharp6},
                   {TOVKeyGb, TOVSymbolKeyFlat6},
                   {TOVKeyG, TOVSymbolKeySharp1},
                   {TOVKeyAb, TOVSymbolKeyFlat4},
                   {TOVKeyA, TOVSymbolKeySharp3},
                   {TOVKeyBb, TOVSymbolKeyFlat2},
                   {TOVKeyB, TOVSymbolKeySharp5},
                   {TOVKeyNone, 0},
                   {TOVKeyUnrecognised, 0},
                   {16, 0},
                   {-1, 0},
                   {INT_MIN, 0}},
                  "keySignatureSymbolTypeFromKeyType");
}

TEST(TOVNoteUtilsTest, KeySignaturesSurviveTheRoundTripExceptSevenFlats) {
    for (int key = 0; key <= TOVKeyB; ++key) {
        EXPECT_EQ(TOVNoteUtils::keyTypeFromKeySignatureSymbolType(
                      TOVNoteUtils::keySignatureSymbolTypeFromKeyType(key)),
                  key);
    }
    for (int symbol = TOVSymbolKeySharp1; symbol <= TOVSymbolKeyFlat6; ++symbol) {
        EXPECT_EQ(TOVNoteUtils::keySignatureSymbolTypeFromKeyType(
                      TOVNoteUtils::keyTypeFromKeySignatureSymbolType(symbol)),
                  symbol);
    }
    // Seven flats comes back as five sharps, its enharmonic twin.
    EXPECT_EQ(TOVNoteUtils::keySignatureSymbolTypeFromKeyType(
                  TOVNoteUtils::keyTypeFromKeySignatureSymbolType(TOVSymbolKeyFlat7)),
              TOVSymbolKeySharp5);
}

TEST(TOVNoteUtilsTest, AccidentalSymbolsAndTypesMapBothWays) {
    expectMapping(&TOVNoteUtils::accidentalTypeFromSymbolType,
                  {{TOVSymbolSharp, TOVAccidentalSharp},
                   {TOVSymbolDoubleSharp, TOVAccidentalDoubleSharp},
                   {TOVSymbolFlat, TOVAccidentalFlat},
                   {TOVSymbolDoubleFlat, TOVAccidentalDoubleFlat},
                   {TOVSymbolNatural, TOVAccidentalNatural},
                   {TOVSymbolSharp - 1, 0},
                   {TOVSymbolNatural + 1, 0},
                   {0, 0},
                   {2, 0}},
                  "accidentalTypeFromSymbolType");
    expectMapping(&TOVNoteUtils::symbolTypeFromAccidentalType,
                  {{TOVAccidentalNatural, TOVSymbolNatural},
                   {TOVAccidentalSharp, TOVSymbolSharp},
                   {TOVAccidentalDoubleSharp, TOVSymbolDoubleSharp},
                   {TOVAccidentalFlat, TOVSymbolFlat},
                   {TOVAccidentalDoubleFlat, TOVSymbolDoubleFlat},
                   {TOVAccidentalNone, 0},
                   {6, 0},
                   {-1, 0}},
                  "symbolTypeFromAccidentalType");
    for (int accidental = TOVAccidentalNatural; accidental <= TOVAccidentalDoubleFlat; ++accidental) {
        EXPECT_EQ(TOVNoteUtils::accidentalTypeFromSymbolType(
                      TOVNoteUtils::symbolTypeFromAccidentalType(accidental)),
                  accidental);
    }
}

TEST(TOVNoteUtilsTest, NotePaletteAccidentalsGiveAccidentalSymbols) {
    expectMapping(&TOVNoteUtils::symbolTypeFromNoteType,
                  {{TOVNoteItemSharp, TOVSymbolSharp},
                   {TOVNoteItemDoubleSharp, TOVSymbolDoubleSharp},
                   {TOVNoteItemNatural, TOVSymbolNatural},
                   {TOVNoteItemFlat, TOVSymbolFlat},
                   {TOVNoteItemDoubleFlat, TOVSymbolDoubleFlat},
                   {TOVNoteItemTie, 0},
                   {TOVNoteItemHarmonyTone, 0},
                   {TOVUnitTypeOf(TOVUnitGroupNote, 1), 0},
                   {TOVSymbolSharp, 0}},
                  "symbolTypeFromNoteType");
}
