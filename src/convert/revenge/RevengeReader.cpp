// Older word-processing formats through the librevenge family: WordPerfect (libwpd); Works,
// Windows Write and Word for DOS (libwps); Word for the Mac, MacWrite and their kin (libmwaw).
// Each library recognises its own formats from the content; the first that claims a document
// reads it, through the one adapter to Corvanel's events.

#include "convert/revenge/RevengeReader.h"

#include "convert/core/ConvertError.h"
#include "convert/core/HeaderPass.h"
#include "convert/revenge/RevengeAdapter.h"

#include <librevenge-stream/librevenge-stream.h>
#include <libwpd/libwpd.h>
#include <libwps/libwps.h>
#include <libmwaw/libmwaw.hxx>

#include <limits>
#include <new>
#include <string_view>

namespace corvanel::convert::revenge {

namespace {

using librevenge::RVNGInputStream;

void Rewind(RVNGInputStream& stream) {
    stream.seek(0, librevenge::RVNG_SEEK_SET);
}

// A library has claimed the document: the caller learns its format even when reading it fails.
void Recognise(DocumentSink& sink, const char*& recognised, const char* name) {
    recognised = name;
    sink.Format(name);
}

enum class Outcome { kRead, kPassword, kDamaged };

// Runs a library's parse into the adapter; a failure of the sink wins over the library's own.
template <typename Parse>
void ReadWith(DocumentSink& sink, Parse&& parse) {
    // The libraries give each section's headers where the section starts: read twice when
    // headers are wanted, so that they come before the body.
    ReadHeadersFirst(sink, [&](DocumentSink& pass) {
        RevengeAdapter adapter(pass);
        Outcome outcome = Outcome::kDamaged;
        try {
            outcome = parse(adapter);
        } catch (const std::bad_alloc&) {
            throw;
        } catch (...) {
            // The libraries keep their own errors; anything that escapes them is damage.
        }
        adapter.Finish();
        if (outcome == Outcome::kPassword) {
            ThrowPasswordProtected();
        }
        if (outcome == Outcome::kDamaged) {
            ThrowDamaged("its content could not be read to the end");
        }
    });
}

// A WordPerfect 6 or later header (-1, "WPC", ..., major version 2) whose encryption key is set:
// libwpd refuses such a document outright, yet it is no less a password-protected one.
bool IsEncryptedWordPerfect6(std::string_view bytes) {
    return bytes.size() >= 16 && bytes.substr(0, 4) == "\xFFWPC" && bytes[10] == 2 &&
           (bytes[12] != 0 || bytes[13] != 0);
}

bool ReadWordPerfect(RVNGInputStream& stream, std::string_view bytes, DocumentSink& sink,
                     const char*& recognised) {
    constexpr const char* kName = "wordperfect";
    Rewind(stream);
    switch (libwpd::WPDocument::isFileFormatSupported(&stream)) {
        case libwpd::WPD_CONFIDENCE_NONE:
            if (IsEncryptedWordPerfect6(bytes)) {
                Recognise(sink, recognised, kName);
                ThrowPasswordProtected();
            }
            return false;
        case libwpd::WPD_CONFIDENCE_SUPPORTED_ENCRYPTION:
        case libwpd::WPD_CONFIDENCE_UNSUPPORTED_ENCRYPTION:
            Recognise(sink, recognised, kName);
            ThrowPasswordProtected();
        case libwpd::WPD_CONFIDENCE_EXCELLENT:
            break;
    }
    Recognise(sink, recognised, kName);
    ReadWith(sink, [&](RevengeAdapter& adapter) {
        Rewind(stream);
        switch (libwpd::WPDocument::parse(&stream, &adapter, nullptr)) {
            case libwpd::WPD_OK:
                return Outcome::kRead;
            case libwpd::WPD_PASSWORD_MISSMATCH_ERROR:
            case libwpd::WPD_UNSUPPORTED_ENCRYPTION_ERROR:
                return Outcome::kPassword;
            default:
                return Outcome::kDamaged;
        }
    });
    return true;
}

struct WpsFormat {
    const char* name;
    const char* encoding;  // for files that do not state theirs
};

WpsFormat WpsFormatOf(libwps::WPSCreator creator) {
    switch (creator) {
        case libwps::WPS_MSWRITE:
            return {"write", "CP1252"};
        case libwps::WPS_DOSWORD:
            return {"word-dos", "CP850"};
        case libwps::WPS_XYWRITE:
            return {"xywrite", "CP850"};
        case libwps::WPS_POCKETWORD:
            return {"pocket-word", ""};
        default:
            return {"works", ""};
    }
}

bool ReadWorks(RVNGInputStream& stream, DocumentSink& sink, const char*& recognised) {
    Rewind(stream);
    libwps::WPSKind kind = libwps::WPS_TEXT;
    libwps::WPSCreator creator = libwps::WPS_MSWORKS;
    bool needsEncoding = false;
    const libwps::WPSConfidence confidence =
        libwps::WPSDocument::isFileFormatSupported(&stream, kind, creator, needsEncoding);
    if (confidence == libwps::WPS_CONFIDENCE_NONE || kind != libwps::WPS_TEXT) {
        return false;
    }
    const WpsFormat format = WpsFormatOf(creator);
    Recognise(sink, recognised, format.name);
    if (confidence == libwps::WPS_CONFIDENCE_SUPPORTED_ENCRYPTION) {
        ThrowPasswordProtected();
    }
    ReadWith(sink, [&](RevengeAdapter& adapter) {
        Rewind(stream);
        const libwps::WPSResult result =
            libwps::WPSDocument::parse(&stream, &adapter, "", needsEncoding ? format.encoding : "");
        return result == libwps::WPS_OK                 ? Outcome::kRead
               : result == libwps::WPS_ENCRYPTION_ERROR ? Outcome::kPassword
                                                        : Outcome::kDamaged;
    });
    return true;
}

const char* MacFormatName(MWAWDocument::Type type) {
    switch (type) {
        case MWAWDocument::MWAW_T_MICROSOFTWORD:
            return "mac-word";
        case MWAWDocument::MWAW_T_MICROSOFTWORKS:
            return "mac-works";
        case MWAWDocument::MWAW_T_MACWRITE:
            return "macwrite";
        case MWAWDocument::MWAW_T_MACWRITEPRO:
            return "macwrite-pro";
        case MWAWDocument::MWAW_T_CLARISWORKS:
            return "clarisworks";
        case MWAWDocument::MWAW_T_WRITENOW:
            return "writenow";
        case MWAWDocument::MWAW_T_NISUSWRITER:
            return "nisus-writer";
        default:
            return "mac-text";
    }
}

bool ReadMacDocument(RVNGInputStream& stream, DocumentSink& sink, const char*& recognised) {
    Rewind(stream);
    MWAWDocument::Type type = MWAWDocument::MWAW_T_UNKNOWN;
    MWAWDocument::Kind kind = MWAWDocument::MWAW_K_UNKNOWN;
    const MWAWDocument::Confidence confidence =
        MWAWDocument::isFileFormatSupported(&stream, type, kind);
    if (confidence == MWAWDocument::MWAW_C_NONE || kind != MWAWDocument::MWAW_K_TEXT) {
        return false;
    }
    Recognise(sink, recognised, MacFormatName(type));
    if (confidence != MWAWDocument::MWAW_C_EXCELLENT) {
        ThrowPasswordProtected();
    }
    ReadWith(sink, [&](RevengeAdapter& adapter) {
        Rewind(stream);
        const MWAWDocument::Result result = MWAWDocument::parse(&stream, &adapter, nullptr);
        return result == MWAWDocument::MWAW_R_OK                         ? Outcome::kRead
               : result == MWAWDocument::MWAW_R_PASSWORD_MISSMATCH_ERROR ? Outcome::kPassword
                                                                         : Outcome::kDamaged;
    });
    return true;
}

}  // namespace

void ReadDocument(std::string_view bytes, DocumentSink& sink, const char*& recognised) {
    recognised = nullptr;
    if (bytes.empty() || bytes.size() > std::numeric_limits<unsigned int>::max()) {
        return;
    }
    librevenge::RVNGStringStream stream(reinterpret_cast<const unsigned char*>(bytes.data()),
                                        static_cast<unsigned int>(bytes.size()));
    if (!ReadWordPerfect(stream, bytes, sink, recognised) && !ReadWorks(stream, sink, recognised)) {
        ReadMacDocument(stream, sink, recognised);
    }
}

}  // namespace corvanel::convert::revenge
