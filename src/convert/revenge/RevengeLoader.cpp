// The converter's side of the older formats' reader: corvanel-revenge.so is opened when the first
// document that may be in one of those formats is read, not when the program starts
// (RevengeModule.h says why).

#include "convert/Readers.h"
#include "convert/core/ConvertError.h"
#include "convert/core/ForwardingSink.h"
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
    moduleRead = &CORVANEL_REVENGE_READ;
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
            loadError = path + " was built for another version of Corvanel (it has no " +
                        CORVANEL_REVENGE_READ_SYMBOL + ")";
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
class KeptFailureSink final : public ForwardingSink {
public:
    explicit KeptFailureSink(DocumentSink& sink) : ForwardingSink(sink) {}

    void Rethrow() const {
        if (failure_) {
            std::rethrow_exception(failure_);
        }
    }

private:
    void Forward(SinkEvent, EventCall call) override {
        Guard([&] { call(target_); });
    }
    bool Ask(QuestionCall question) const override {
        bool answer = false;
        Guard([&] { answer = question(target_); });
        return answer;
    }

    template <typename Call>
    void Guard(Call&& call) const {
        if (failure_) {
            return;
        }
        try {
            call();
        } catch (...) {
            failure_ = std::current_exception();
        }
    }

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
