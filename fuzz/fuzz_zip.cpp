// Feeds arbitrary bytes to the zip unpacker as an archive file and checks what it leaves behind: nothing
// beside the destination, and no symbolic link inside it.
#include "document/SSZipArchive.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// One work folder for the whole run, removed at exit.
class WorkFolder {
public:
    WorkFolder() {
        std::string pattern = (fs::temp_directory_path() / "tovrin-fuzz-zip-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path = pattern;
    }
    ~WorkFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path path;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const WorkFolder work;
    const fs::path archive = work.path / "bundle.zip";
    const fs::path destination = work.path / "dest";
    std::ofstream(archive, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    SSZipArchive::Error error;
    SSZipArchive::unzipFileAtPathToDestinationOverwritePasswordError(archive.string(), destination.string(),
                                                                     true, "", &error);

    for (const auto& item : fs::directory_iterator(work.path)) {
        if (item.path() != archive && item.path() != destination) {
            std::abort();
        }
    }
    std::error_code ec;
    if (fs::exists(destination, ec)) {
        for (const auto& item : fs::recursive_directory_iterator(destination)) {
            if (item.is_symlink()) {
                std::abort();
            }
        }
    }
    fs::remove_all(destination, ec);
    return 0;
}
