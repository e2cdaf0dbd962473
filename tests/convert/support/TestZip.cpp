#include "TestZip.h"

#include "system/FileSystem.h"

#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace corvanel::convert::testing {

std::string MakeZip(const std::vector<std::pair<std::string, std::string>>& entries,
                    bool storeUncompressed) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (archive == nullptr) {
        throw std::runtime_error("MakeZip: cannot create archive");
    }
    zip_source_keep(buffer);
    for (const auto& [name, content] : entries) {
        // libzip copies nothing until close: keep the bytes alive in a heap copy it frees.
        // An empty buffer is not taken over by libzip, so none is made for an empty part.
        char* copy = content.empty() ? nullptr : static_cast<char*>(std::malloc(content.size()));
        std::copy(content.begin(), content.end(), copy);
        zip_source_t* part = zip_source_buffer(archive, copy, content.size(), copy != nullptr);
        const zip_int64_t index = zip_file_add(archive, name.c_str(), part, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(part);
            throw std::runtime_error("MakeZip: cannot add " + name);
        }
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                 storeUncompressed ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    }
    if (zip_close(archive) != 0) {
        throw std::runtime_error("MakeZip: cannot write archive");
    }
    std::string bytes;
    zip_stat_t st;
    if (zip_source_stat(buffer, &st) == 0 && zip_source_open(buffer) == 0) {
        bytes.resize(st.size);
        zip_source_read(buffer, bytes.data(), st.size);
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    zip_error_fini(&error);
    return bytes;
}

std::string WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("WriteFile: cannot write " + path);
    }
    return path;
}

TemporaryFolder::TemporaryFolder() {
    // A fresh name, made by this process alone: creating a folder fails when it exists.
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const std::filesystem::path folder =
            base / ("corvanel-test-" + std::to_string(random() % 1000000000000ull));
        std::error_code ec;
        if (std::filesystem::create_directory(folder, ec)) {
            std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::replace, ec);
            path_ = system::Utf8FromPath(folder);
        }
    }
    if (path_.empty()) {
        throw std::runtime_error("TemporaryFolder: no folder can be made");
    }
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ec;
    const std::filesystem::path folder = system::PathFromUtf8(path_);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(folder, ec);
}

std::vector<std::pair<std::string, std::string>> DocxParts(
    const std::string& documentXml,
    const std::vector<std::pair<std::string, std::string>>& extraParts) {
    std::vector<std::pair<std::string, std::string>> parts = {
        {"[Content_Types].xml",
         "<?xml version=\"1.0\"?><Types "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Override "
         "PartName=\"/word/document.xml\" ContentType=\"application/"
         "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>"},
        {"_rels/.rels",
         "<?xml version=\"1.0\"?><Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
         "Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
         "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>"},
        {"word/document.xml", documentXml}};
    parts.insert(parts.end(), extraParts.begin(), extraParts.end());
    return parts;
}

}  // namespace corvanel::convert::testing
