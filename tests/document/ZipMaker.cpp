#include "ZipMaker.h"

#include <zip.h>
#include <zlib.h>

bool ZipMaker::write(const std::filesystem::path& path, const std::vector<ZipEntry>& entries) {
    zipFile file = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (file == nullptr) {
        return false;
    }
    bool ok = true;
    for (const ZipEntry& entry : entries) {
        zip_fileinfo info{};
        info.dosDate = entry.dosDate;
        info.external_fa = entry.externalAttributes;
        const bool raw = entry.rawBytes || entry.crc || entry.declaredSize;
        const std::string bytes =
            raw ? entry.rawBytes.value_or(entry.method == 0 ? entry.data : rawDeflate(entry.data))
                : entry.data;
        ok = ok && zipOpenNewFileInZip4_64(file, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                           entry.method, Z_DEFAULT_COMPRESSION, raw ? 1 : 0, -MAX_WBITS,
                                           DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, entry.versionMadeBy,
                                           0, 0) == ZIP_OK;
        ok = ok && zipWriteInFileInZip(file, bytes.data(), static_cast<unsigned>(bytes.size())) == ZIP_OK;
        if (raw) {
            ok = ok && zipCloseFileInZipRaw64(file, entry.declaredSize.value_or(entry.data.size()),
                                              entry.crc.value_or(crcOf(entry.data))) == ZIP_OK;
        } else {
            ok = ok && zipCloseFileInZip(file) == ZIP_OK;
        }
    }
    return zipClose(file, nullptr) == ZIP_OK && ok;
}

std::string ZipMaker::rawDeflate(const std::string& bytes) {
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, bytes.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

std::uint32_t ZipMaker::crcOf(const std::string& bytes) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}
