#include "convert/msword/CompoundFile.h"

#include "convert/core/ConvertError.h"
#include "convert/core/SourceFile.h"
#include "convert/core/TextEncoding.h"
#include "convert/msword/ByteReader.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace corvanel::convert::msword {

namespace {

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
constexpr std::uint32_t kHeaderDifatEntries = 109;
constexpr std::uint32_t kMiniSectorShift = 6;
constexpr std::uint32_t kMiniSectorSize = 1u << kMiniSectorShift;
constexpr std::size_t kDirectoryEntryBytes = 128;
constexpr std::uint8_t kTypeStream = 2;
constexpr std::uint8_t kTypeRoot = 5;
constexpr std::string_view kSignature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

}  // namespace

CompoundFile::CompoundFile(std::string_view bytes)
    : inMemory_(true), bytes_(bytes), fileSize_(bytes.size()) {
    Parse();
}

CompoundFile::CompoundFile(SourceFile& source) : fileSize_(source.Size()) {
    if (source.Loaded()) {
        inMemory_ = true;
        bytes_ = source.Bytes();
        fileSize_ = bytes_.size();
    } else {
        read_ = [&source](std::uint64_t offset, char* out, std::size_t length) {
            return source.ReadAt(offset, out, length);
        };
    }
    Parse();
}

CompoundFile::CompoundFile(std::uint64_t size, RangeReader read)
    : read_(std::move(read)), fileSize_(size) {
    Parse();
}

void CompoundFile::Parse() {
    ReadHeader();
    ReadFat();
    ReadDirectory();
    ReadMiniFat();
}

void CompoundFile::ReadFile(std::uint64_t offset, std::size_t length, char* out) const {
    if (inMemory_) {
        std::memcpy(out, bytes_.data() + offset, length);
        return;
    }
    // Every range was checked against the size seen when the file was opened; it can only be
    // missing when the file was cut short since.
    if (read_(offset, out, length) < length) {
        ThrowDamaged("a stream runs past the end of the file (the file may be truncated)");
    }
}

void CompoundFile::ReadHeader() {
    header_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(fileSize_, 512)));
    ReadFile(0, header_.size(), header_.data());
    const ByteReader header(header_, "the compound file header");
    if (header.Size() < 512 || header.Slice(0, 8) != kSignature) {
        ThrowDamaged("the compound file header is incomplete");
    }
    if (header.U16(0x1C) != 0xFFFE) {
        ThrowDamaged("the compound file header has a wrong byte order mark");
    }
    sectorShift_ = header.U16(0x1E);
    if (sectorShift_ != 9 && sectorShift_ != 12) {
        ThrowDamaged("the compound file has an unknown sector size");
    }
    if (header.U16(0x20) != 6) {
        ThrowDamaged("the compound file has an unknown mini sector size");
    }
    sectorSize_ = 1u << sectorShift_;
    fatSectorCount_ = header.U32(0x2C);
    firstDirSector_ = header.U32(0x30);
    miniCutoff_ = header.U32(0x38);
    firstMiniFatSector_ = header.U32(0x3C);
    firstDifatSector_ = header.U32(0x44);
    difatCount_ = header.U32(0x48);
    if (miniCutoff_ != 4096) {
        ThrowDamaged("the compound file header has a wrong mini stream cutoff");
    }
}

std::string_view CompoundFile::Sector(std::uint32_t index, std::string& buffer) const {
    const std::uint64_t offset = (static_cast<std::uint64_t>(index) + 1) << sectorShift_;
    if (offset >= fileSize_) {
        ThrowDamaged("a sector lies past the end of the file (the file may be truncated)");
    }
    const auto length =
        static_cast<std::size_t>(std::min<std::uint64_t>(sectorSize_, fileSize_ - offset));
    if (inMemory_) {
        return bytes_.substr(offset, length);
    }
    buffer.resize(length);
    ReadFile(offset, length, buffer.data());
    return buffer;
}

void CompoundFile::ReadFat() {
    const std::uint64_t sectorsInFile = (fileSize_ >> sectorShift_) + 1;
    if (fatSectorCount_ == 0 || fatSectorCount_ > sectorsInFile || difatCount_ > sectorsInFile) {
        ThrowDamaged("the compound file's allocation table has an impossible size");
    }
    std::vector<std::uint32_t> fatSectors;
    fatSectors.reserve(fatSectorCount_);
    const ByteReader header(header_, "the compound file header");
    std::string buffer;
    for (std::uint32_t i = 0; i < kHeaderDifatEntries && fatSectors.size() < fatSectorCount_; ++i) {
        fatSectors.push_back(header.U32(0x4C + 4 * i));
    }
    // Further allocation-table sector numbers sit in a chain of their own.
    const std::uint32_t perSector = sectorSize_ / 4 - 1;
    std::uint32_t next = firstDifatSector_;
    std::uint32_t seen = 0;
    std::vector<bool> visited;
    while (fatSectors.size() < fatSectorCount_) {
        if (next == kEndOfChain || next == kNoStream || ++seen > difatCount_) {
            ThrowDamaged("the compound file's allocation table is incomplete");
        }
        // A chain that comes back to a sector would list the same table sectors again.
        visited.resize(sectorsInFile);
        if (next < visited.size()) {
            if (visited[next]) {
                ThrowDamaged("the sector chain of the allocation table index loops");
            }
            visited[next] = true;
        }
        const ByteReader sector(Sector(next, buffer), "an allocation table sector");
        for (std::uint32_t i = 0; i < perSector && fatSectors.size() < fatSectorCount_; ++i) {
            fatSectors.push_back(sector.U32(4 * i));
        }
        next = sector.U32(4 * perSector);
    }
    fat_.reserve(static_cast<std::size_t>(fatSectorCount_) * (sectorSize_ / 4));
    for (const std::uint32_t s : fatSectors) {
        const ByteReader sector(Sector(s, buffer), "an allocation table sector");
        if (sector.Size() < sectorSize_) {
            ThrowDamaged("an allocation table sector is cut short");
        }
        for (std::uint32_t i = 0; i < sectorSize_ / 4; ++i) {
            fat_.push_back(sector.U32(4 * i));
        }
    }
}

std::vector<std::uint32_t> CompoundFile::Chain(const std::vector<std::uint32_t>& table,
                                               std::uint32_t start, std::uint64_t maxLength,
                                               const char* what) const {
    std::vector<std::uint32_t> chain;
    std::vector<bool> visited(table.size(), false);
    std::uint32_t current = start;
    while (current != kEndOfChain && chain.size() < maxLength) {
        if (current >= table.size()) {
            ThrowDamaged(std::string("a sector number of ") + what + " is out of range");
        }
        if (visited[current]) {
            ThrowDamaged(std::string("the sector chain of ") + what + " loops");
        }
        visited[current] = true;
        chain.push_back(current);
        current = table[current];
    }
    return chain;
}

void CompoundFile::ReadDirectory() {
    const std::uint64_t sectorsInFile = (fileSize_ >> sectorShift_) + 1;
    const std::vector<std::uint32_t> chain =
        Chain(fat_, firstDirSector_, sectorsInFile, "the directory");
    std::string directory;
    std::string buffer;
    for (const std::uint32_t s : chain) {
        directory.append(Sector(s, buffer));
    }
    const ByteReader dir(directory, "the compound file directory");
    const std::size_t count = directory.size() / kDirectoryEntryBytes;
    entries_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = i * kDirectoryEntryBytes;
        Entry& e = entries_[i];
        const std::uint16_t nameBytes = std::min<std::uint16_t>(dir.U16(at + 0x40), 64);
        e.name = DecodeUtf16Le(dir.Slice(at, nameBytes >= 2 ? nameBytes - 2 : 0));
        e.type = dir.U8(at + 0x42);
        e.left = dir.U32(at + 0x44);
        e.right = dir.U32(at + 0x48);
        e.child = dir.U32(at + 0x4C);
        e.start = dir.U32(at + 0x74);
        e.size = dir.U32(at + 0x78);
        if (sectorShift_ == 12) {
            e.size |= static_cast<std::uint64_t>(dir.U32(at + 0x7C)) << 32;
        }
    }
    if (entries_.empty() || entries_[0].type != kTypeRoot) {
        ThrowDamaged("the compound file directory has no root entry");
    }
    // Walk the root's tree of children without recursion, each entry at most once.
    std::vector<bool> visited(entries_.size(), false);
    std::vector<std::uint32_t> pending{entries_[0].child};
    while (!pending.empty()) {
        const std::uint32_t id = pending.back();
        pending.pop_back();
        if (id == kNoStream) {
            continue;
        }
        if (id >= entries_.size() || visited[id]) {
            ThrowDamaged("the compound file directory is corrupt");
        }
        visited[id] = true;
        rootChildren_.push_back(id);
        pending.push_back(entries_[id].left);
        pending.push_back(entries_[id].right);
    }
}

void CompoundFile::ReadMiniFat() {
    const Entry& root = entries_[0];
    if (root.size == 0) {
        return;
    }
    if (root.size > fileSize_) {
        ThrowDamaged("the compound file's mini stream is larger than the file");
    }
    miniStream_ = OpenRegular(root.start, root.size);
    const std::uint64_t sectorsInFile = (fileSize_ >> sectorShift_) + 1;
    std::string buffer;
    for (const std::uint32_t s :
         Chain(fat_, firstMiniFatSector_, sectorsInFile, "the mini allocation table")) {
        const ByteReader sector(Sector(s, buffer), "a mini allocation table sector");
        for (std::uint32_t i = 0; i + 4 <= sector.Size(); i += 4) {
            miniFat_.push_back(sector.U32(i));
        }
    }
}

// Checks every sector of the stream against the file without reading it, so that reading it
// later cannot find it broken.
CompoundStream CompoundFile::OpenRegular(std::uint32_t start, std::uint64_t size) const {
    if (size > fileSize_) {
        ThrowDamaged("a stream is larger than the file");
    }
    const std::uint64_t needed = (size + sectorSize_ - 1) >> sectorShift_;
    std::vector<std::uint32_t> chain = Chain(fat_, start, needed, "a stream");
    if (chain.size() < needed) {
        ThrowDamaged("a stream is shorter than its recorded size");
    }
    std::uint64_t remaining = size;
    for (const std::uint32_t s : chain) {
        const std::uint64_t offset = (static_cast<std::uint64_t>(s) + 1) << sectorShift_;
        if (offset >= fileSize_) {
            ThrowDamaged("a sector lies past the end of the file (the file may be truncated)");
        }
        const std::uint64_t want = std::min<std::uint64_t>(sectorSize_, remaining);
        if (fileSize_ - offset < want) {
            ThrowDamaged("a stream runs past the end of the file (the file may be truncated)");
        }
        remaining -= want;
    }
    return CompoundStream(*this, std::move(chain), size, false);
}

CompoundStream CompoundFile::OpenMini(std::uint32_t start, std::uint64_t size) const {
    const std::uint64_t miniSize = miniStream_ ? miniStream_->Size() : 0;
    if (size > miniSize) {
        ThrowDamaged("a small stream is larger than the mini stream");
    }
    const std::uint64_t needed = (size + kMiniSectorSize - 1) / kMiniSectorSize;
    std::vector<std::uint32_t> chain = Chain(miniFat_, start, needed, "a small stream");
    if (chain.size() < needed) {
        ThrowDamaged("a small stream is shorter than its recorded size");
    }
    // A sector past the mini stream's end is reported before one cut short by it.
    bool cutShort = false;
    std::uint64_t remaining = size;
    for (const std::uint32_t s : chain) {
        const std::uint64_t offset = static_cast<std::uint64_t>(s) * kMiniSectorSize;
        if (offset >= miniSize) {
            ThrowDamaged("a small stream lies past the end of the mini stream");
        }
        const std::uint64_t want = std::min<std::uint64_t>(kMiniSectorSize, remaining);
        cutShort = cutShort || miniSize - offset < want;
        remaining -= want;
    }
    if (cutShort) {
        ThrowDamaged("a small stream runs past the end of the mini stream");
    }
    return CompoundStream(*this, std::move(chain), size, true);
}

const CompoundFile::Entry* CompoundFile::FindRootChild(std::string_view name) const {
    for (const std::uint32_t id : rootChildren_) {
        if (SameName(entries_[id].name, name)) {
            return &entries_[id];
        }
    }
    return nullptr;
}

std::vector<std::string> CompoundFile::RootNames() const {
    std::vector<std::string> names;
    for (const std::uint32_t id : rootChildren_) {
        names.push_back(entries_[id].name);
    }
    return names;
}

bool CompoundFile::HasStream(std::string_view name) const {
    const Entry* e = FindRootChild(name);
    return e != nullptr && e->type == kTypeStream;
}

std::optional<CompoundStream> CompoundFile::OpenStream(std::string_view name) const {
    const Entry* e = FindRootChild(name);
    if (e == nullptr || e->type != kTypeStream) {
        return std::nullopt;
    }
    if (e->size < miniCutoff_) {
        return OpenMini(e->start, e->size);
    }
    return OpenRegular(e->start, e->size);
}

std::optional<std::string> CompoundFile::ReadStream(std::string_view name) const {
    const std::optional<CompoundStream> stream = OpenStream(name);
    if (!stream) {
        return std::nullopt;
    }
    std::string data;
    return std::string(stream->View(data));
}

void CompoundStream::Read(std::uint64_t offset, std::size_t length, char* out,
                          const char* what) const {
    if (offset > size_ || length > size_ - offset) {
        ThrowDamaged(std::string(what) + " runs past its end");
    }
    const std::uint32_t shift = mini_ ? kMiniSectorShift : file_->sectorShift_;
    const std::uint64_t sectorSize = std::uint64_t{1} << shift;
    while (length > 0) {
        // One read for the sectors that follow each other in the file.
        const auto first = static_cast<std::size_t>(offset >> shift);
        const std::uint64_t within = offset & (sectorSize - 1);
        std::uint64_t span = sectorSize - within;
        for (std::size_t next = first + 1;
             span < length && next < chain_.size() && chain_[next] == chain_[next - 1] + 1;
             ++next) {
            span += sectorSize;
        }
        const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(span, length));
        if (mini_) {
            file_->miniStream_->Read((static_cast<std::uint64_t>(chain_[first]) << shift) + within,
                                     take, out, what);
        } else {
            file_->ReadFile(((static_cast<std::uint64_t>(chain_[first]) + 1) << shift) + within,
                            take, out);
        }
        out += take;
        offset += take;
        length -= take;
    }
}

std::string CompoundStream::Read(std::uint64_t offset, std::size_t length, const char* what) const {
    std::string data(length, '\0');
    Read(offset, length, data.data(), what);
    return data;
}

std::string_view CompoundStream::View(std::string& buffer) const {
    if (chain_.empty()) {
        return {};
    }
    const bool contiguous =
        std::adjacent_find(chain_.begin(), chain_.end(), [](std::uint32_t a, std::uint32_t b) {
            return b != a + 1;
        }) == chain_.end();
    if (file_->inMemory_ && !mini_ && contiguous) {
        const std::uint64_t offset = (static_cast<std::uint64_t>(chain_.front()) + 1)
                                     << file_->sectorShift_;
        return file_->bytes_.substr(offset, size_);
    }
    buffer.resize(size_);
    Read(0, buffer.size(), buffer.data(), "a stream");
    return buffer;
}

}  // namespace corvanel::convert::msword
