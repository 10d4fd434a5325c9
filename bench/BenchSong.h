#pragma once

#include <cstdint>
#include <filesystem>

class Document;

namespace platform {
class ManagedObjectContext;
}

namespace benchsong {

// The benchmark lead sheet, entered through the model's own operations so that benchmarks run from a
// fresh clone: a song of `bars` bars titled "Bench Song", treble clef, F major, 4/4, four bars a line
// (9 lines on the first page under the header, 10 on each further page); per half bar a chord on the
// beat (the roots and qualities cycle) and a quarter followed by two beamed eighths, stems down; a natural
// on the first B of a bar; a rehearsal mark every 8 bars (A, B, ... Z, A ...). The same music as the
// shared generators write for the other notation programs, so the programs are timed on one song.
// Undo registration is left as the context has it.
Document* makeBenchSong(platform::ManagedObjectContext& context, std::uint64_t bars);

// Writes the song of `bars` bars as folder/leadN.tovz; false when it cannot be written.
bool writeBenchSong(std::uint64_t bars, const std::filesystem::path& folder);

// The "tovz" file of the song of `bars` bars that benchmarks read: leadN.tovz in the folder TOVRIN_SONGS
// names when it is there (songs made elsewhere, for timing beside other programs), else written once into
// a temporary folder of this process, removed at exit.
std::filesystem::path benchSongFile(std::uint64_t bars);

} // namespace benchsong
