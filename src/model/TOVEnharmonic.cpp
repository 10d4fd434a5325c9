#include "model/TOVEnharmonic.h"

#include "model/TOVPitchTables.h"
#include "model/TOVTranspose.h"

#include <array>
#include <cstddef>

using namespace TOVPitchTables;

namespace {

struct EnharmonicList {
    std::array<TOVEnharmonicEntry, 3> entries{};
    std::size_t count = 0;
};

constexpr auto kEnharmonicLists = [] {
    std::array<std::array<EnharmonicList, 12>, kKeyCount> lists{};
    for (int k = 0; k < kKeyCount; ++k) {
        for (int pc = 0; pc < 12; ++pc) {
            EnharmonicList& list = lists[k][pc];
            // From the highest alteration down, which is from the lowest letter up.
            for (int alteration = 2; alteration >= -2; --alteration) {
                for (int step = 0; step < kStepCount; ++step) {
                    if ((kStepPitchClass[step] + alteration + 12) % 12 != pc) {
                        continue;
                    }
                    const int accidental = alteration == keySignatureMargin(k, step)
                                               ? TOVAccidentalNone
                                               : accidentalTypeOfAlteration(alteration);
                    list.entries[list.count++] = {pc, step, accidental};
                }
            }
        }
    }
    // One deliberate exception: Gb major spells pitch class 10 as Bb with an explicit (courtesy) flat,
    // so a tone respelled onto Bb in that key shows its flat.
    lists[TOVKeyGb][10].entries[1].accidental = TOVAccidentalFlat;
    return lists;
}();

static_assert(kEnharmonicLists[TOVKeyGb][10].entries[1].step == 0, "the Gb exception must land on Bb");

} // namespace

int TOVEnharmonic::normalizeToneTypeKey(int toneType, int key) {
    const int pitchClass = pitchClassOfToneType(toneType);
    if (pitchClass < 0) {
        return toneType;
    }
    const int row = tableKey(key);
    const int tonic = pitchClassOfToneType(kChromaticRows[row][0]);
    return chromaticToneType(row, TOVTranspose::normalizeNumMax(pitchClass - tonic, 12));
}

std::span<const TOVEnharmonicEntry> TOVEnharmonic::enharmonicListForKeyMidiNumber(int key,
                                                                                  std::int64_t midiNumber) {
    const EnharmonicList& list =
        kEnharmonicLists[tableKey(key)]
                        [static_cast<std::size_t>(TOVTranspose::normalizeNumMax(midiNumber, 12))];
    return {list.entries.data(), list.count};
}
