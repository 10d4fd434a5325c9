#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

// Tests must give the same answers on a developer's desktop and on a freshly installed machine. Before Qt
// starts, each test program gets a home, config, data, cache and runtime folder of its own (removed when
// it ends), a fixed locale and time zone, and none of the desktop's Qt settings (theme, style, scaling,
// font resolution). What a test still needs from the machine must then come from scripts/setup.
class MachineIsolation {
public:
    MachineIsolation() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tovrin-home-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            return;
        }
        root_ = pattern;
        const auto folder = [this](const char* name) {
            const std::filesystem::path p = root_ / name;
            std::error_code ec;
            std::filesystem::create_directories(p, ec);
            std::filesystem::permissions(p, std::filesystem::perms::owner_all, ec);
            return p.string();
        };
        setenv("HOME", folder("home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", folder("config").c_str(), 1);
        setenv("XDG_DATA_HOME", folder("data").c_str(), 1);
        setenv("XDG_CACHE_HOME", folder("cache").c_str(), 1);
        setenv("XDG_STATE_HOME", folder("state").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", folder("runtime").c_str(), 1);
        setenv("LC_ALL", "C.UTF-8", 1);
        setenv("TZ", "UTC", 1);
        for (const char* name :
             {"LANGUAGE", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION",
              "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS",
              "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_ENABLE_HIGHDPI_SCALING", "QT_FONT_DPI", "QT_QPA_FONTDIR"}) {
            unsetenv(name);
        }
    }
    ~MachineIsolation() {
        if (!root_.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(root_, ec);
        }
    }
    MachineIsolation(const MachineIsolation&) = delete;
    MachineIsolation& operator=(const MachineIsolation&) = delete;

private:
    std::filesystem::path root_;
};
