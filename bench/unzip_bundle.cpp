// bench_unzip_bundle: unpacks a font bundle as the program unpacks one (into a fresh folder that is removed
// afterwards) and says whether it was unpacked or refused, and why. bench/hostile_files.sh times it.
#include "document/SSZipArchive.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_unzip_bundle BUNDLE.zip\n");
        return 2;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "tovrin-unzip-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::fprintf(stderr, "bench_unzip_bundle: no temporary folder\n");
        return 2;
    }
    SSZipArchive::Error error;
    const bool unpacked = SSZipArchive::unzipFileAtPathToDestinationOverwritePasswordError(
        argv[1], pattern + "/bundle", true, "", &error);
    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
    if (!unpacked) {
        std::fprintf(stderr, "bench_unzip_bundle: %s: %s\n", argv[1], error.localizedDescription.c_str());
        return 1;
    }
    std::printf("unpacked\n");
    return 0;
}
