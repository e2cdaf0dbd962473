// The converter's side of the older formats' reader: corvanel-revenge.so is opened when the first
// document that may be in one of those formats is read, not when the program starts
// (RevengeModule.h says why).

#include "convert/core/ConvertError.h"
#include "convert/core/DocumentSink.h"
#include "convert/Readers.h"
#include "convert/core/SourceFile.h"
#include "convert/revenge/RevengeModule.h"
#include "system/FileSystem.h"
#include "system/ModuleLoader.h"

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <mutex>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace corvanel::convert {

namespace {

CorvanelRevengeRead moduleRead = nullptr;
std::string loadError;

#ifdef CORVANEL_REVENGE_LINKED
// The fuzz targets link the reader in, so that it is instrumented with them.
void Load() {
    moduleRead = &corvanel_revenge_read_1;
}
#else
constexpr const char* kModuleFile = CORVANEL_MODULE_FILE;

// Whether `path` lies inside `folder`, both taken as full paths.
bool IsWithin(const std::string& path, const std::string& folder) {
    std::error_code error;
    const std::string full =
        system::Utf8FromPath(std::filesystem::absolute(system::PathFromUtf8(path), error)
                                 .lexically_normal()
                                 .make_preferred());
    const std::string within =
        system::Utf8FromPath(std::filesystem::absolute(system::PathFromUtf8(folder), error)
                                 .lexically_normal()
                                 .make_preferred());
    return !error && full.size() > within.size() && full.compare(0, within.size(), within) == 0 &&
           std::filesystem::path::preferred_separator == full[within.size()];
}

// Where the module may be: beside the running program (the package installs them together);
// for a program of the build tree, also in the build tree's module folder, where the tests find
// it. An installed program never looks into a build folder, which on another machine may be
// anyone's to create. CORVANEL_REVENGE_MODULE, when set, names the module's file instead.
std::vector<std::string> Candidates() {
    if (std::string chosen = system::TrustedEnvironmentValue("CORVANEL_REVENGE_MODULE");
        !chosen.empty()) {
        return {chosen};
    }
    std::vector<std::string> candidates;
    // Linked into the shared library, the module is looked for in the library's folder's
    // corvanel/ (its installed place) or beside the library, wherever the program is.
    std::string program = system::ThisProgramFile();
    if (const std::string library = system::ThisSharedLibraryFile(); !library.empty()) {
        candidates.push_back(system::Utf8FromPath(system::PathFromUtf8(library).parent_path() /
                                                  "corvanel" / system::PathFromUtf8(kModuleFile)));
        program = library;
    }
    if (program.empty()) {
        return candidates;
    }
    candidates.push_back(system::Utf8FromPath(system::PathFromUtf8(program).parent_path() /
                                              system::PathFromUtf8(kModuleFile)));
    if (IsWithin(program, CORVANEL_BUILD_TREE)) {
        candidates.push_back(std::string(CORVANEL_MODULE_BUILD_DIR "/") + kModuleFile);
    }
    return candidates;
}

void Load() {
    const std::vector<std::string> candidates = Candidates();
    for (const std::string& path : candidates) {
        if (system::StateOf(path).kind == system::FileKind::kMissing) {
            continue;
        }
        // The first module found is the one meant: one that does not load is reported, not
        // passed over for another. It stays loaded for the life of the process.
        void* module = system::OpenModule(path, loadError);
        if (module == nullptr) {
            return;
        }
        moduleRead = reinterpret_cast<CorvanelRevengeRead>(
            system::ModuleSymbol(module, CORVANEL_REVENGE_READ_SYMBOL));
        if (moduleRead == nullptr) {
            loadError = path + " was built for another version of Corvanel";
        }
        return;
    }
    loadError = candidates.empty() ? "the program's own folder is unknown" : "there is none at";
    for (const std::string& path : candidates) {
        loadError += (&path == &candidates.front() ? " " : ", ") + path;
    }
}
#endif

CorvanelRevengeRead ModuleRead() {
    static std::once_flag loaded;
    std::call_once(loaded, Load);
    if (moduleRead == nullptr) {
        throw ConvertError(ErrorCode::kInternal,
                           "the reader of WordPerfect, Works, Word for DOS and old Mac documents "
                           "cannot be loaded: " +
                               loadError);
    }
    return moduleRead;
}

}  // namespace

bool OlderFormatsAvailable(std::string& reason) {
    try {
        ModuleRead();
        return true;
    } catch (const ConvertError& error) {
        reason = error.Detail();
        return false;
    }
}

namespace {

// Hands the events on to the real sink, keeping the first exception it throws (to be thrown
// again once the module has returned) and dropping every event after it.
class KeptFailureSink : public DocumentSink {
public:
    explicit KeptFailureSink(DocumentSink& sink) : sink_(sink) {}

    void Rethrow() const {
        if (failure_) {
            std::rethrow_exception(failure_);
        }
    }

    void StartParagraph() override {
        Pass([&] { sink_.StartParagraph(); });
    }
    void EndParagraph() override {
        Pass([&] { sink_.EndParagraph(); });
    }
    void ListLabel(std::string_view label, std::string_view suffix) override {
        Pass([&] { sink_.ListLabel(label, suffix); });
    }
    void Text(std::string_view utf8) override {
        Pass([&] { sink_.Text(utf8); });
    }
    void Tab() override {
        Pass([&] { sink_.Tab(); });
    }
    void Break(BreakKind kind) override {
        Pass([&] { sink_.Break(kind); });
    }
    void StartTable() override {
        Pass([&] { sink_.StartTable(); });
    }
    void EndTable() override {
        Pass([&] { sink_.EndTable(); });
    }
    void StartRow() override {
        Pass([&] { sink_.StartRow(); });
    }
    void EndRow() override {
        Pass([&] { sink_.EndRow(); });
    }
    void StartCell() override {
        Pass([&] { sink_.StartCell(); });
    }
    void EndCell() override {
        Pass([&] { sink_.EndCell(); });
    }
    void NoteReference(std::string_view mark) override {
        Pass([&] { sink_.NoteReference(mark); });
    }
    void StartNote(NoteKind kind, std::string_view mark) override {
        Pass([&] { sink_.StartNote(kind, mark); });
    }
    void EndNote() override {
        Pass([&] { sink_.EndNote(); });
    }
    void StartFloatingText() override {
        Pass([&] { sink_.StartFloatingText(); });
    }
    void EndFloatingText() override {
        Pass([&] { sink_.EndFloatingText(); });
    }
    void EndDocument() override {
        Pass([&] { sink_.EndDocument(); });
    }
    bool WantsStructure() const override {
        bool wants = false;
        Pass([&] { wants = sink_.WantsStructure(); });
        return wants;
    }
    void Heading(int level) override {
        Pass([&] { sink_.Heading(level); });
    }
    void ListItem(int level, ListKind kind) override {
        Pass([&] { sink_.ListItem(level, kind); });
    }
    void HeaderRow() override {
        Pass([&] { sink_.HeaderRow(); });
    }
    void CellSpan(int columns, int rows) override {
        Pass([&] { sink_.CellSpan(columns, rows); });
    }
    void CoveredCell() override {
        Pass([&] { sink_.CoveredCell(); });
    }
    void StartLink(std::string_view target, bool internal) override {
        Pass([&] { sink_.StartLink(target, internal); });
    }
    void EndLink() override {
        Pass([&] { sink_.EndLink(); });
    }
    void Style(TextStyle style) override {
        Pass([&] { sink_.Style(style); });
    }
    void Picture(std::string_view description, std::string_view title) override {
        Pass([&] { sink_.Picture(description, title); });
    }
    void Format(std::string_view name) override {
        Pass([&] { sink_.Format(name); });
    }
    bool WantsProperties() const override {
        bool wants = false;
        Pass([&] { wants = sink_.WantsProperties(); });
        return wants;
    }
    void Property(DocumentProperty property, std::string_view value) override {
        Pass([&] { sink_.Property(property, value); });
    }
    bool WantsMarginText(MarginText kind) const override {
        bool wants = false;
        Pass([&] { wants = sink_.WantsMarginText(kind); });
        return wants;
    }
    void StartMarginText(MarginText kind, std::string_view author) override {
        Pass([&] { sink_.StartMarginText(kind, author); });
    }
    void EndMarginText() override {
        Pass([&] { sink_.EndMarginText(); });
    }

private:
    template <typename Event>
    void Pass(Event&& event) const {
        if (failure_) {
            return;
        }
        try {
            event();
        } catch (...) {
            failure_ = std::current_exception();
        }
    }

    DocumentSink& sink_;
    mutable std::exception_ptr failure_;
};

ErrorCode KnownCode(int code) {
    switch (static_cast<ErrorCode>(code)) {
        case ErrorCode::kNone:
        case ErrorCode::kCannotOpen:
        case ErrorCode::kNotReadable:
        case ErrorCode::kPasswordProtected:
        case ErrorCode::kDamaged:
        case ErrorCode::kTooLarge:
        case ErrorCode::kCannotWrite:
        case ErrorCode::kInternal:
            return static_cast<ErrorCode>(code);
        case ErrorCode::kTimeout:  // only a supervisor says these
        case ErrorCode::kOutOfMemory:
        case ErrorCode::kCrashed:
            break;
    }
    return ErrorCode::kInternal;
}

}  // namespace

bool ReadRevengeDocument(SourceFile& source, DocumentSink& sink) {
    const CorvanelRevengeRead read = ModuleRead();
    const std::string& bytes = source.Bytes();
    KeptFailureSink kept(sink);
    int error = 0;
    const char* format = nullptr;
    char message[512];
    read(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &kept, &error, &format,
         message, sizeof message);
    // A failure of the sink wins over the reader's own, as it would inside one program.
    kept.Rethrow();
    if (error != 0) {
        throw ConvertError(KnownCode(error), message);
    }
    return format != nullptr;
}

}  // namespace corvanel::convert
