#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

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
