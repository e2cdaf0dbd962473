#include "convert/msword/Properties.h"

#include "convert/msword/Sprm.h"

#include <algorithm>

namespace corvanel::convert::msword {

namespace {

// Word 97 and later.
constexpr std::uint16_t kCFRMarkDel = 0x0800;
constexpr std::uint16_t kCFVanish = 0x083C;
constexpr std::uint16_t kCFSpec = 0x0855;
constexpr std::uint16_t kCSymbol = 0x6A09;
constexpr std::uint16_t kCIstd = 0x4A30;
constexpr std::uint16_t kCRgFtc0 = 0x4A4F;
constexpr std::uint16_t kPFInTable = 0x2416;
constexpr std::uint16_t kPFTtp = 0x2417;
constexpr std::uint16_t kPItap = 0x6649;
constexpr std::uint16_t kPDtap = 0x664A;
constexpr std::uint16_t kPFInnerTableCell = 0x244B;
constexpr std::uint16_t kPFInnerTtp = 0x244C;
constexpr std::uint16_t kPIlvl = 0x260A;
constexpr std::uint16_t kPIlfo = 0x460B;
constexpr std::uint16_t kPIstd = 0x4600;
constexpr std::uint16_t kCFBold = 0x0835;
constexpr std::uint16_t kCFItalic = 0x0836;
constexpr std::uint16_t kCFStrike = 0x0837;
constexpr std::uint16_t kCFDStrike = 0x2A53;
constexpr std::uint16_t kCPicLocation = 0x6A03;
constexpr std::uint16_t kPOutLvl = 0x2640;
constexpr std::uint16_t kTTableHeader = 0x3404;
constexpr std::uint16_t kTDefTable = 0xD608;
constexpr std::uint16_t kTMerge = 0x5624;
constexpr std::uint16_t kTSplit = 0x5625;
constexpr std::uint16_t kTVertMerge = 0xD62B;
constexpr std::size_t kCellBytes = 20;  // a TC

// Word 6 and 95.
constexpr std::uint16_t kW6CFStrikeRM = 65;  // deleted text
constexpr std::uint16_t kW6CSymbol = 74;
constexpr std::uint16_t kW6CIstd = 80;
constexpr std::uint16_t kW6CFVanish = 92;
constexpr std::uint16_t kW6CFtc = 93;
constexpr std::uint16_t kW6CFSpec = 117;
constexpr std::uint16_t kW6PIstd = 2;
constexpr std::uint16_t kW6PAnld = 12;
constexpr std::uint16_t kW6PNLvlAnm = 13;
constexpr std::uint16_t kW6PFInTable = 24;
constexpr std::uint16_t kW6PFTtp = 25;
constexpr std::uint16_t kW6CPicLocation = 68;
constexpr std::uint16_t kW6CFBold = 85;
constexpr std::uint16_t kW6CFItalic = 86;
constexpr std::uint16_t kW6CFStrike = 87;
constexpr std::uint16_t kW6TTableHeader = 186;
constexpr std::uint16_t kW6TDefTable = 190;
constexpr std::uint16_t kW6TMerge = 195;
constexpr std::uint16_t kW6TSplit = 196;
constexpr std::size_t kW6CellBytes = 10;
// Rows have at most 63 cells.
constexpr std::size_t kMaxCells = 64;

// A toggling character property: 0 off, 1 on, 0x80 as the style, 0x81 the opposite.
bool Toggle(std::uint8_t operand, bool styleValue) {
    switch (operand) {
        case 0:
            return false;
        case 1:
            return true;
        case 0x80:
            return styleValue;
        case 0x81:
            return !styleValue;
        default:
            return operand != 0;
    }
}

// The row's cell edges and cells, from a table definition: its size (two bytes), the count of
// cells, the edges, then the cells, as many as stored.
void ReadTableDefinition(std::string_view operand, bool word6, TableRowDefinition& row) {
    if (operand.size() < 3) {
        return;
    }
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(operand[i]); };
    const std::size_t count = std::min<std::size_t>(byte(2), kMaxCells);
    std::size_t at = 3;
    row.edges.clear();
    for (std::size_t i = 0; i <= count && at + 2 <= operand.size(); ++i, at += 2) {
        row.edges.push_back(static_cast<std::int16_t>(byte(at) | (byte(at + 1) << 8)));
    }
    if (row.edges.size() != count + 1) {
        row.edges.clear();
        return;
    }
    const std::size_t cellBytes = word6 ? kW6CellBytes : kCellBytes;
    row.cells.assign(count, {});
    for (std::size_t i = 0; i < count && at + 2 <= operand.size(); ++i, at += cellBytes) {
        const unsigned flags = byte(at) | (byte(at + 1) << 8);
        TableRowDefinition::Cell& cell = row.cells[i];
        cell.firstMerged = (flags & 0x01) != 0;
        cell.merged = (flags & 0x02) != 0;
        cell.verticalMerged = !word6 && (flags & 0x20) != 0;
        cell.verticalRestart = !word6 && (flags & 0x40) != 0;
    }
}

// Cells [first, limit) merge horizontally (or no longer do).
void MergeCells(const Sprm& s, bool merge, TableRowDefinition& row) {
    if (s.operand.size() < 2) {
        return;
    }
    const std::size_t first = static_cast<std::uint8_t>(s.operand[0]);
    const std::size_t limit =
        std::min<std::size_t>(static_cast<std::uint8_t>(s.operand[1]), row.cells.size());
    for (std::size_t i = first; i < limit; ++i) {
        row.cells[i].firstMerged = merge && i == first;
        row.cells[i].merged = merge && i != first;
    }
}

}  // namespace

bool ResolveToggle(std::uint8_t operand, bool styleValue) {
    return operand == kUnset ? styleValue : Toggle(operand, styleValue);
}

void ApplyCharSprms(std::string_view grpprl, bool word6, const CharProps& base, CharProps& props) {
    SprmIterator it(grpprl, word6);
    Sprm s;
    while (it.Next(s)) {
        if (word6) {
            switch (s.code) {
                case kW6CFStrikeRM:
                    props.deleted = s.Byte() != 0;
                    break;
                case kW6CFVanish:
                    props.vanish = Toggle(s.Byte(), base.vanish);
                    break;
                case kW6CFSpec:
                    props.special = s.Byte() != 0;
                    break;
                case kW6CIstd:
                    props.istd = s.Word();
                    break;
                case kW6CFtc:
                    props.font = s.Word();
                    break;
                case kW6CFBold:
                    props.bold = s.Byte();
                    break;
                case kW6CFItalic:
                    props.italic = s.Byte();
                    break;
                case kW6CFStrike:
                    props.strike = s.Byte();
                    break;
                case kW6CPicLocation:
                    if (s.operand.size() >= 5) {
                        props.pictureAt = Sprm{0, s.operand.substr(1)}.Long();
                    }
                    break;
                case kW6CSymbol:
                    // A length byte, the font (two bytes), the character (one byte).
                    if (s.operand.size() >= 4) {
                        props.symbol = true;
                        props.symbolFont = static_cast<std::uint16_t>(
                            static_cast<std::uint8_t>(s.operand[1]) |
                            (static_cast<std::uint8_t>(s.operand[2]) << 8));
                        props.symbolChar = static_cast<std::uint8_t>(s.operand[3]);
                    }
                    break;
                default:
                    break;
            }
            continue;
        }
        switch (s.code) {
            case kCFRMarkDel:
                props.deleted = s.Byte() != 0;
                break;
            case kCFVanish:
                props.vanish = Toggle(s.Byte(), base.vanish);
                break;
            case kCFSpec:
                props.special = s.Byte() != 0;
                break;
            case kCIstd:
                props.istd = s.Word();
                break;
            case kCRgFtc0:
                props.font = s.Word();
                break;
            case kCFBold:
                props.bold = s.Byte();
                break;
            case kCFItalic:
                props.italic = s.Byte();
                break;
            case kCFStrike:
                props.strike = s.Byte();
                break;
            case kCFDStrike:
                props.doubleStrike = s.Byte();
                break;
            case kCPicLocation:
                props.pictureAt = s.Long();
                break;
            case kCSymbol:
                if (s.operand.size() >= 4) {
                    props.symbol = true;
                    props.symbolFont = s.Word();
                    props.symbolChar =
                        static_cast<std::uint16_t>(static_cast<std::uint8_t>(s.operand[2]) |
                                                   (static_cast<std::uint8_t>(s.operand[3]) << 8));
                }
                break;
            default:
                break;
        }
    }
}

void ApplyParaSprms(std::string_view grpprl, bool word6, ParaProps& props,
                    TableRowDefinition* row) {
    SprmIterator it(grpprl, word6);
    Sprm s;
    while (it.Next(s)) {
        if (word6) {
            switch (s.code) {
                case kW6PIstd:
                    props.istd = s.Word();
                    break;
                case kW6PFInTable:
                    props.inTable = s.Byte() != 0;
                    break;
                case kW6PAnld:
                    props.autoNumber = s.operand.substr(1);  // after its length byte
                    break;
                case kW6PNLvlAnm:
                    props.autoNumberLevel = s.Byte();
                    break;
                case kW6PFTtp:
                    props.rowEnd = s.Byte() != 0;
                    break;
                case kW6TTableHeader:
                    if (row != nullptr) {
                        row->header = s.Byte() != 0;
                    }
                    break;
                case kW6TDefTable:
                    if (row != nullptr) {
                        ReadTableDefinition(s.operand, true, *row);
                    }
                    break;
                case kW6TMerge:
                case kW6TSplit:
                    if (row != nullptr) {
                        MergeCells(s, s.code == kW6TMerge, *row);
                    }
                    break;
                default:
                    break;
            }
            continue;
        }
        switch (s.code) {
            case kPIstd:
                props.istd = s.Word();
                break;
            case kPFInTable:
                props.inTable = s.Byte() != 0;
                break;
            case kPFTtp:
                props.rowEnd = s.Byte() != 0;
                break;
            case kPItap:
                props.tableDepth = static_cast<std::int32_t>(s.Long());
                break;
            case kPDtap:
                props.tableDepth += static_cast<std::int32_t>(s.Long());
                break;
            case kPFInnerTableCell:
                props.innerCellEnd = s.Byte() != 0;
                break;
            case kPFInnerTtp:
                props.innerRowEnd = s.Byte() != 0;
                break;
            case kPIlvl:
                props.ilvl = s.Byte();
                break;
            case kPIlfo:
                props.ilfo = s.Word();
                break;
            case kPOutLvl:
                props.outlineLevel = s.Byte();
                break;
            case kTTableHeader:
                if (row != nullptr) {
                    row->header = s.Byte() != 0;
                }
                break;
            case kTDefTable:
                if (row != nullptr) {
                    ReadTableDefinition(s.operand, false, *row);
                }
                break;
            case kTMerge:
            case kTSplit:
                if (row != nullptr) {
                    MergeCells(s, s.code == kTMerge, *row);
                }
                break;
            case kTVertMerge:
                // A length byte, the cell, then 0 (none), 1 (merged) or 3 (starts a merge).
                if (row != nullptr && s.operand.size() >= 3 &&
                    static_cast<std::uint8_t>(s.operand[1]) < row->cells.size()) {
                    const auto flags = static_cast<std::uint8_t>(s.operand[2]);
                    TableRowDefinition::Cell& cell =
                        row->cells[static_cast<std::uint8_t>(s.operand[1])];
                    cell.verticalMerged = flags != 0;
                    cell.verticalRestart = flags == 3;
                }
                break;
            default:
                break;
        }
    }
}

}  // namespace corvanel::convert::msword
