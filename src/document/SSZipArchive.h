#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

class SSZipArchiveDelegate;

// Unpacks zip archives (plug-in font bundles) into a folder, recreating the archive's folders and files
// with their stored modification dates.
//
// Bundles come from outside, so an archive is checked as a whole before anything is written: names that
// are absolute, hold a NUL or are not UTF-8, names whose path leaves the destination once "." and ".."
// are resolved, names deeper than maxNameDepth, link entries, and entries or archives larger than the caps
// below refuse the whole archive. Folders and files are made below the destination without ever passing
// through a symbolic link, also one that was there before; an existing file is removed, never written
// through. When any entry cannot be read in full (a CRC or data error included) or written, the run answers
// NO and removes what it made, so that a bundle is either unpacked whole or not at all.
class SSZipArchive {
public:
    SSZipArchive() = delete;

    // Made when the caller asks for it, for every way a run fails: the archive cannot be opened, has no
    // first entry, is refused as a whole (the description says why), or an entry cannot be unpacked.
    struct Error {
        std::string domain;
        int code = 0;
        std::string localizedDescription;
    };
    static constexpr const char* errorDomain = "SSZipArchiveErrorDomain";
    static constexpr int errorCodeFailedToOpen = -1;
    static constexpr int errorCodeFailedToOpenFirstFile = -2;
    static constexpr int errorCodeRefused = -3;
    static constexpr int errorCodeUnpackFailed = -4;

    // Glyph files are a few kilobytes and a font has a few hundred of them.
    static constexpr std::uint64_t maxEntryBytes = 16ull * 1024 * 1024;
    static constexpr std::uint64_t maxTotalBytes = 256ull * 1024 * 1024;
    static constexpr std::uint64_t maxEntries = 65535;
    // A bundle is two levels deep (the font's folder and its files). Every entry walks its folder chain
    // from the destination, so deep names cost time for each entry; names of more folder levels than
    // this (counting the file) refuse the archive.
    static constexpr std::size_t maxNameDepth = 16;

    // Overwrite YES, no password, no error, no delegate.
    static bool unzipFileAtPathToDestination(const std::string& path, const std::string& destination);
    static bool unzipFileAtPathToDestinationDelegate(const std::string& path, const std::string& destination,
                                                     SSZipArchiveDelegate* delegate);
    static bool unzipFileAtPathToDestinationOverwritePasswordError(const std::string& path,
                                                                   const std::string& destination,
                                                                   bool overwrite,
                                                                   const std::string& password, Error* error);
    // With overwrite NO an entry whose path already holds something is skipped. An empty password opens
    // entries without one. error (when given) is set when the archive cannot be opened or has no entry.
    static bool unzipFileAtPathToDestinationOverwritePasswordErrorDelegate(
        const std::string& path, const std::string& destination, bool overwrite, const std::string& password,
        Error* error, SSZipArchiveDelegate* delegate);

    // The MS-DOS date and time word of a zip entry as a point in time, read in the local time zone.
    // Out-of-range fields roll over into the next field, as a calendar does.
    static std::chrono::system_clock::time_point _dateWithMSDOSFormat(std::uint32_t msdosDateTime);
};
