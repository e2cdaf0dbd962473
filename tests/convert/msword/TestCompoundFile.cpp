#include "TestCompoundFile.h"

#include "convert/msword/CompoundFile.h"

#include <algorithm>
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

// Deals out sector numbers from `next` on to chains of the given lengths, `run` at a time in
// turns, and records each chain's links in `table`.
std::vector<std::uint32_t> DealChains(const std::vector<std::uint32_t>& lengths, std::uint32_t run,
                                      std::uint32_t& next, std::vector<std::uint32_t>& table) {
    std::vector<std::vector<std::uint32_t>> chains(lengths.size());
    for (bool dealt = true; dealt;) {
        dealt = false;
        for (std::size_t k = 0; k < lengths.size(); ++k) {
            for (std::uint32_t i = 0; i < run && chains[k].size() < lengths[k]; ++i) {
                chains[k].push_back(next++);
                dealt = true;
            }
        }
    }
    table.resize(next, kFree);
    std::vector<std::uint32_t> starts;
    for (const std::vector<std::uint32_t>& chain : chains) {
        starts.push_back(chain.empty() ? kEndOfChain : chain.front());
        for (std::size_t i = 0; i < chain.size(); ++i) {
            table[chain[i]] = i + 1 < chain.size() ? chain[i + 1] : kEndOfChain;
        }
    }
    return starts;
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

namespace {

// A version 3 header (512-byte sectors) whose allocation table sectors follow one another
// from `firstFat`.
std::string Header(std::uint32_t fatSectors, std::uint32_t firstFat, std::uint32_t firstDir,
                   std::uint32_t firstMiniFat, std::uint32_t miniFatSectors) {
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
    PutU32(header, 0x3C, firstMiniFat);
    PutU32(header, 0x40, miniFatSectors);
    PutU32(header, 0x44, kEndOfChain);
    for (std::uint32_t i = 0; i < 109; ++i) {
        PutU32(header, 0x4C + 4 * i, i < fatSectors ? firstFat + i : kFree);
    }
    return header;
}

}  // namespace

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

    return Header(fatSectors, firstFat, firstDir, kEndOfChain, 0) + body;
}

std::string MakeScatteredCompoundFile(
    const std::vector<std::pair<std::string, std::string>>& streams, std::uint32_t run) {
    constexpr std::uint32_t kMiniSector = 64;
    std::vector<std::size_t> small, large;
    std::vector<std::uint32_t> smallLengths, largeLengths;
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const std::size_t size = streams[i].second.size();
        if (size < kMiniCutoff) {
            small.push_back(i);
            smallLengths.push_back(
                static_cast<std::uint32_t>((size + kMiniSector - 1) / kMiniSector));
        } else {
            large.push_back(i);
            largeLengths.push_back(SectorsFor(size));
        }
    }
    std::vector<std::uint32_t> starts(streams.size(), kEndOfChain);
    std::vector<std::uint32_t> miniFat;
    std::uint32_t miniCount = 0;
    const std::vector<std::uint32_t> smallStarts =
        DealChains(smallLengths, run, miniCount, miniFat);
    std::string miniStream(static_cast<std::size_t>(miniCount) * kMiniSector, '\0');
    for (std::size_t k = 0; k < small.size(); ++k) {
        const std::string& content = streams[small[k]].second;
        starts[small[k]] = smallStarts[k];
        std::uint32_t sector = smallStarts[k];
        for (std::size_t at = 0; at < content.size(); at += kMiniSector) {
            miniStream.replace(sector * kMiniSector,
                               std::min<std::size_t>(kMiniSector, content.size() - at), content, at,
                               kMiniSector);
            sector = miniFat[sector];
        }
    }
    // The mini stream is one more chain of ordinary sectors.
    std::vector<std::uint32_t> lengths = largeLengths;
    lengths.push_back(SectorsFor(miniStream.size()));
    std::vector<std::uint32_t> fat;
    std::uint32_t next = 0;
    const std::vector<std::uint32_t> largeStarts = DealChains(lengths, run, next, fat);
    std::string body(static_cast<std::size_t>(next) * kSector, '\0');
    auto place = [&](const std::string& content, std::uint32_t start) {
        std::uint32_t sector = start;
        for (std::size_t at = 0; at < content.size(); at += kSector) {
            body.replace(sector * kSector, std::min<std::size_t>(kSector, content.size() - at),
                         content, at, kSector);
            sector = fat[sector];
        }
    };
    for (std::size_t k = 0; k < large.size(); ++k) {
        starts[large[k]] = largeStarts[k];
        place(streams[large[k]].second, largeStarts[k]);
    }
    const std::uint32_t miniStart = miniStream.empty() ? kEndOfChain : largeStarts.back();
    place(miniStream, miniStart);

    std::string directory =
        DirectoryEntry("Root Entry", 5, kFree, streams.empty() ? kFree : 1, miniStart,
                       static_cast<std::uint32_t>(miniStream.size()));
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const std::uint32_t right =
            i + 1 < streams.size() ? static_cast<std::uint32_t>(i + 2) : kFree;
        directory += DirectoryEntry(streams[i].first, 2, right, kFree, starts[i],
                                    static_cast<std::uint32_t>(streams[i].second.size()));
    }
    const std::uint32_t dirSectors = SectorsFor(directory.size());
    directory.resize(dirSectors * kSector, '\0');
    std::string miniFatBytes(miniFat.size() * 4, '\0');
    for (std::size_t i = 0; i < miniFat.size(); ++i) {
        PutU32(miniFatBytes, 4 * i, miniFat[i]);
    }
    const std::uint32_t miniFatSectors = SectorsFor(miniFatBytes.size());
    miniFatBytes.resize(miniFatSectors * kSector, '\0');
    std::uint32_t fatSectors = 1;
    while (fatSectors * (kSector / 4) < next + dirSectors + miniFatSectors + fatSectors) {
        ++fatSectors;
    }
    if (fatSectors > 109) {
        throw std::runtime_error("test compound file too large");
    }
    fat.resize(fatSectors * (kSector / 4), kFree);
    auto chainOf = [&](std::uint32_t count) {
        for (std::uint32_t i = 0; i < count; ++i) {
            fat[next + i] = i + 1 < count ? next + i + 1 : kEndOfChain;
        }
        const std::uint32_t first = count == 0 ? kEndOfChain : next;
        next += count;
        return first;
    };
    const std::uint32_t firstDir = chainOf(dirSectors);
    const std::uint32_t firstMiniFat = chainOf(miniFatSectors);
    const std::uint32_t firstFat = next;
    for (std::uint32_t i = 0; i < fatSectors; ++i) {
        fat[next++] = kFatSector;
    }
    std::string fatBytes(fat.size() * 4, '\0');
    for (std::size_t i = 0; i < fat.size(); ++i) {
        PutU32(fatBytes, 4 * i, fat[i]);
    }
    body += directory + miniFatBytes + fatBytes;

    return Header(fatSectors, firstFat, firstDir, firstMiniFat, miniFatSectors) + body;
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
