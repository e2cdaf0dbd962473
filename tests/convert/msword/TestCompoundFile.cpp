#include "TestCompoundFile.h"

#include "convert/msword/CompoundFile.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace corvanel::convert::testing {

namespace {

constexpr std::uint32_t kSector = 512;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFree = 0xFFFFFFFF;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kMiniCutoff = 4096;

std::uint32_t SectorsFor(std::size_t bytes) {
    return static_cast<std::uint32_t>((bytes + kSector - 1) / kSector);
}

std::string DirectoryEntry(const std::string& name, std::uint8_t type, std::uint32_t right,
                           std::uint32_t child, std::uint32_t start, std::uint32_t size) {
    std::string e(128, '\0');
    for (std::size_t i = 0; i < name.size() && i < 31; ++i) {
        e[2 * i] = name[i];
    }
    PutU16(e, 0x40, static_cast<std::uint16_t>(2 * (name.size() + 1)));
    e[0x42] = static_cast<char>(type);
    e[0x43] = 1;  // black
    PutU32(e, 0x44, kFree);
    PutU32(e, 0x48, right);
    PutU32(e, 0x4C, child);
    PutU32(e, 0x74, start);
    PutU32(e, 0x78, size);
    return e;
}

}  // namespace

void PutU16(std::string& b, std::size_t at, std::uint16_t v) {
    b.at(at) = static_cast<char>(v & 0xFF);
    b.at(at + 1) = static_cast<char>(v >> 8);
}

void PutU32(std::string& b, std::size_t at, std::uint32_t v) {
    PutU16(b, at, static_cast<std::uint16_t>(v & 0xFFFF));
    PutU16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}

std::uint16_t GetU16(const std::string& b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b.at(at)) |
                                      (static_cast<unsigned char>(b.at(at + 1)) << 8));
}

std::uint32_t GetU32(const std::string& b, std::size_t at) {
    return GetU16(b, at) | (static_cast<std::uint32_t>(GetU16(b, at + 2)) << 16);
}

std::string MakeCompoundFile(const std::vector<std::pair<std::string, std::string>>& streams) {
    std::vector<std::string> data;
    std::uint32_t dataSectors = 0;
    for (const auto& [name, content] : streams) {
        std::string padded = content;
        if (padded.size() < kMiniCutoff) {
            padded.resize(kMiniCutoff, '\0');
        }
        dataSectors += SectorsFor(padded.size());
        data.push_back(std::move(padded));
    }
    const std::uint32_t dirSectors = SectorsFor(128 * (streams.size() + 1));
    std::uint32_t fatSectors = 1;
    while (fatSectors * (kSector / 4) < dataSectors + dirSectors + fatSectors) {
        ++fatSectors;
    }
    if (fatSectors > 109) {
        throw std::runtime_error("test compound file too large");
    }
    std::vector<std::uint32_t> fat(fatSectors * (kSector / 4), kFree);
    std::string body;
    std::string directory;
    std::vector<std::uint32_t> starts;
    std::uint32_t next = 0;
    for (const std::string& content : data) {
        const std::uint32_t count = SectorsFor(content.size());
        starts.push_back(next);
        for (std::uint32_t i = 0; i < count; ++i) {
            fat[next + i] = i + 1 < count ? next + i + 1 : kEndOfChain;
        }
        next += count;
        std::string padded = content;
        padded.resize(count * kSector, '\0');
        body += padded;
    }
    const std::uint32_t firstDir = next;
    for (std::uint32_t i = 0; i < dirSectors; ++i) {
        fat[next + i] = i + 1 < dirSectors ? next + i + 1 : kEndOfChain;
    }
    next += dirSectors;
    directory +=
        DirectoryEntry("Root Entry", 5, kFree, streams.empty() ? kFree : 1, kEndOfChain, 0);
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const std::uint32_t right =
            i + 1 < streams.size() ? static_cast<std::uint32_t>(i + 2) : kFree;
        directory += DirectoryEntry(streams[i].first, 2, right, kFree, starts[i],
                                    static_cast<std::uint32_t>(data[i].size()));
    }
    directory.resize(dirSectors * kSector, '\0');
    body += directory;
    const std::uint32_t firstFat = next;
    for (std::uint32_t i = 0; i < fatSectors; ++i) {
        fat[next + i] = kFatSector;
    }
    std::string fatBytes(fat.size() * 4, '\0');
    for (std::size_t i = 0; i < fat.size(); ++i) {
        PutU32(fatBytes, 4 * i, fat[i]);
    }
    body += fatBytes;

    std::string header(kSector, '\0');
    header.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    PutU16(header, 0x18, 0x3E);
    PutU16(header, 0x1A, 3);
    PutU16(header, 0x1C, 0xFFFE);
    PutU16(header, 0x1E, 9);
    PutU16(header, 0x20, 6);
    PutU32(header, 0x2C, fatSectors);
    PutU32(header, 0x30, firstDir);
    PutU32(header, 0x38, kMiniCutoff);
    PutU32(header, 0x3C, kEndOfChain);
    PutU32(header, 0x44, kEndOfChain);
    for (std::uint32_t i = 0; i < 109; ++i) {
        PutU32(header, 0x4C + 4 * i, i < fatSectors ? firstFat + i : kFree);
    }
    return header + body;
}

std::vector<std::pair<std::string, std::string>> ReadCompoundStreams(const std::string& bytes) {
    const msword::CompoundFile file(bytes);
    std::vector<std::pair<std::string, std::string>> streams;
    for (const std::string& name : file.RootNames()) {
        if (const auto content = file.ReadStream(name)) {
            streams.emplace_back(name, *content);
        }
    }
    return streams;
}

std::string ReadTestFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot open " + path);
    }
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace corvanel::convert::testing
