#pragma once

#include <string>

#include <unzip.h>

// Hears about the progress of an unpacking run. Every operation is optional: the defaults do nothing.
class SSZipArchiveDelegate {
public:
    virtual ~SSZipArchiveDelegate() = default;

    // Before the first entry is unpacked.
    virtual void zipArchiveWillUnzipArchiveAtPathZipInfo(const std::string& path,
                                                         const unz_global_info64& zipInfo) {}
    // Around each entry; index counts the entries unpacked so far from 0, totalFiles is the archive's
    // entry count.
    virtual void zipArchiveWillUnzipFileAtIndexTotalFilesArchivePathFileInfo(
        long index, long totalFiles, const std::string& archivePath, const unz_file_info64& fileInfo) {}
    virtual void zipArchiveDidUnzipFileAtIndexTotalFilesArchivePathFileInfo(long index, long totalFiles,
                                                                            const std::string& archivePath,
                                                                            const unz_file_info64& fileInfo) {
    }
    // After a run that unpacked the whole archive.
    virtual void zipArchiveDidUnzipArchiveAtPathZipInfoUnzippedPath(const std::string& path,
                                                                    const unz_global_info64& zipInfo,
                                                                    const std::string& unzippedPath) {}
};
