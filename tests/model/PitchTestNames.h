#pragma once

#include "model/TOVPitchTypes.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

// Tone names as musicians write them, so that expected values read like the tables they come from.
inline constexpr std::array<std::string_view, 21> kToneNames = {"Cb", "C",  "C#", "Db", "D",  "D#", "Eb",
                                                                "E",  "E#", "F",  "F#", "Gb", "G",  "G#",
                                                                "Ab", "A",  "A#", "Bb", "B",  "B#", "none"};

inline std::string toneName(int toneType) {
    if (toneType < 0 || toneType >= static_cast<int>(kToneNames.size())) {
        return "tone " + std::to_string(toneType);
    }
    return std::string(kToneNames[toneType]);
}

// Pitch class from C = 0, independent of the code under test.
inline int testPitchClass(int toneType) {
    // Cb C C# Db D D# Eb E E# F F# Gb G G# Ab A A# Bb B B#
    constexpr std::array<int, 20> pitchClasses = {11, 0, 1, 1, 2, 3, 3,  4,  5,  5,
                                                  6,  6, 7, 8, 8, 9, 10, 10, 11, 0};
    return pitchClasses.at(static_cast<std::size_t>(toneType));
}

// "C# D Eb" -> tone types.
inline std::vector<int> toneRow(std::string_view text) {
    std::vector<int> row;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ' ') {
            ++pos;
            continue;
        }
        std::size_t end = text.find(' ', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view name = text.substr(pos, end - pos);
        int tone = -1;
        for (std::size_t t = 0; t < kToneNames.size(); ++t) {
            if (kToneNames[t] == name) {
                tone = static_cast<int>(t);
            }
        }
        row.push_back(tone);
        pos = end;
    }
    return row;
}
