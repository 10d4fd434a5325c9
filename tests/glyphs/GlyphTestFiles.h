#pragma once

#include "platform/graphics/BezierPath.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace glyphtest {

// A fresh folder under the temporary folder, removed with its contents at the end.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tovrin-glyphs-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~TempFolder() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    std::filesystem::path write(const std::filesystem::path& relative, const std::string& content) const {
        const std::filesystem::path file = path_ / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }

private:
    std::filesystem::path path_;
};

// Sets an environment variable for the life of the object and puts back what was there.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        set(value);
    }
    ~ScopedEnv() { set(old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void set(const std::optional<std::string>& value) {
        if (value) {
            setenv(name_.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
    }
    std::string name_;
    std::optional<std::string> old_;
};

// An SVG file holding one filled rectangle of the given size, drawn away from the origin so that the
// reader's normalisation shows.
inline std::string rectangleGlyph(double width, double height) {
    auto n = [](double v) {
        std::string s = std::to_string(v);
        return s;
    };
    return "<svg xmlns=\"http://www.w3.org/2000/svg\"><path d=\"M5,7L" + n(5 + width) + ",7L" + n(5 + width) +
           "," + n(7 + height) + "L5," + n(7 + height) + "Z\"/></svg>";
}

// The bounds of each subpath of a path, in order: for a path made of rectangles, the rectangles.
inline std::vector<platform::Rect> subpathBounds(const platform::BezierPath& path) {
    std::vector<platform::Rect> result;
    platform::BezierPath current;
    auto flush = [&] {
        if (!current.isEmpty()) {
            result.push_back(current.bounds());
        }
        current = platform::BezierPath();
    };
    for (const auto& element : path.elements()) {
        switch (element.type) {
        case platform::PathElementType::MoveTo:
            flush();
            current.moveTo(element.points[0]);
            break;
        case platform::PathElementType::LineTo:
            current.lineTo(element.points[0]);
            break;
        case platform::PathElementType::CurveTo:
            current.curveTo(element.points[0], element.points[1], element.points[2]);
            break;
        case platform::PathElementType::ClosePath:
            current.closePath();
            break;
        }
    }
    flush();
    return result;
}

} // namespace glyphtest
