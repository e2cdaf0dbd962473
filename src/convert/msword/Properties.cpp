#include "convert/msword/Properties.h"

#include "convert/msword/Sprm.h"

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

}  // namespace

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

void ApplyParaSprms(std::string_view grpprl, bool word6, ParaProps& props) {
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
            default:
                break;
        }
    }
}

}  // namespace corvanel::convert::msword
