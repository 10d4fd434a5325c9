#include "model/TOVNoteUtils.h"
#include "model/TOVPitchTypes.h"

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
    expectMapping(
        &TOVNoteUtils::clefTypeFromClefSymbolType,
        {{256, TOVClefTreble}, {257, TOVClefBass}, {258, 2}, {0, 2}, {255, 2}, {-256, 2}, {INT_MIN, 2}},
        "clefTypeFromClefSymbolType");
}

TEST(TOVNoteUtilsTest, KeySignatureSymbolsGiveKeyTypes) {
    expectMapping(&TOVNoteUtils::keyTypeFromKeySignatureSymbolType,
                  {
                      {0, TOVKeyC},
                      // one to seven sharps
                      {512, TOVKeyG},
                      {513, TOVKeyD},
                      {514, TOVKeyA},
                      {515, TOVKeyE},
                      {516, TOVKeyB},
                      {517, TOVKeyFSharp},
                      {518, TOVKeyCSharp},
                      // one to seven flats; seven flats reads as B major
                      {519, TOVKeyF},
                      {520, TOVKeyBb},
                      {521, TOVKeyEb},
                      {522, TOVKeyAb},
                      {523, TOVKeyDb},
                      {524, TOVKeyGb},
                      {525, TOVKeyB},
                      // unknown codes
                      {511, TOVKeyUnrecognised},
                      {526, TOVKeyUnrecognised},
                      {600, TOVKeyUnrecognised},
                      {1, TOVKeyUnrecognised},
                      {-512, TOVKeyUnrecognised},
                      {INT_MAX, TOVKeyUnrecognised},
                  },
                  "keyTypeFromKeySignatureSymbolType");
}

TEST(TOVNoteUtilsTest, KeyTypesGiveKeySignatureSymbols) {
    expectMapping(&TOVNoteUtils::keySignatureSymbolTypeFromKeyType,
                  {{TOVKeyC, 0},
                   {TOVKeyCSharp, 518},
                   {TOVKeyDb, 523},
                   {TOVKeyD, 513},
                   {TOVKeyEb, 521},
                   {TOVKeyE, 515},
                   {TOVKeyF, 519},
                   {TOVKeyFSharp, 517},
                   {TOVKeyGb, 524},
                   {TOVKeyG, 512},
                   {TOVKeyAb, 522},
                   {TOVKeyA, 514},
                   {TOVKeyBb, 520},
                   {TOVKeyB, 516},
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
    for (int symbol = 512; symbol <= 524; ++symbol) {
        EXPECT_EQ(TOVNoteUtils::keySignatureSymbolTypeFromKeyType(
                      TOVNoteUtils::keyTypeFromKeySignatureSymbolType(symbol)),
                  symbol);
    }
    // Seven flats comes back as five sharps, its enharmonic twin.
    EXPECT_EQ(
        TOVNoteUtils::keySignatureSymbolTypeFromKeyType(TOVNoteUtils::keyTypeFromKeySignatureSymbolType(525)),
        516);
}

TEST(TOVNoteUtilsTest, AccidentalSymbolsAndTypesMapBothWays) {
    expectMapping(&TOVNoteUtils::accidentalTypeFromSymbolType,
                  {{3840, TOVAccidentalSharp},
                   {3841, TOVAccidentalDoubleSharp},
                   {3842, TOVAccidentalFlat},
                   {3843, TOVAccidentalDoubleFlat},
                   {3844, TOVAccidentalNatural},
                   {3839, 0},
                   {3845, 0},
                   {0, 0},
                   {2, 0}},
                  "accidentalTypeFromSymbolType");
    expectMapping(&TOVNoteUtils::symbolTypeFromAccidentalType,
                  {{TOVAccidentalNatural, 3844},
                   {TOVAccidentalSharp, 3840},
                   {TOVAccidentalDoubleSharp, 3841},
                   {TOVAccidentalFlat, 3842},
                   {TOVAccidentalDoubleFlat, 3843},
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
                  {{0x70001, 3840},
                   {0x70002, 3841},
                   {0x70003, 3844},
                   {0x70004, 3842},
                   {0x70005, 3843},
                   {0x70000, 0},
                   {0x70006, 0},
                   {0x10001, 0},
                   {3840, 0}},
                  "symbolTypeFromNoteType");
}
