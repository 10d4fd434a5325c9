#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Where an open or save panel without a folder of its own starts: the folder the user last chose a file
// in (kept in the user defaults), else the user's documents folder, else the home folder.
std::filesystem::path panelStartFolder();
// Keeps the folder of a chosen file as the start of the next panel.
void notePanelChoice(const std::filesystem::path& chosenFile);

// The panel that chooses files to open, run application-modally.
class OpenPanel {
public:
    // Extensions without the dot; empty allows every file.
    std::vector<std::string> allowedFileTypes;
    bool allowsMultipleSelection = false;
    std::filesystem::path directory;
    std::string message;
    std::string prompt;

    // The chosen files; empty when the user cancelled.
    std::vector<std::filesystem::path> runModal();

    // Answers every panel instead of showing it (a test, a run without a screen); no value is Cancel.
    using TestAnswer = std::function<std::optional<std::vector<std::filesystem::path>>(const OpenPanel&)>;
    static void setTestAnswer(TestAnswer answer);
};

} // namespace platform
