// Converts the corpus documents of one format in memory, and measures the floor: opening each
// package and parsing only its main XML part. Set CORVANEL_CORPUS_DIR to use another corpus.

#include "convert/Converter.h"
#include "convert/core/ConvertError.h"
#include "convert/plaintext/PlainTextWriter.h"
#include "convert/core/SourceFile.h"
#include "convert/core/ZipPackage.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <time.h>

namespace {

namespace fs = std::filesystem;
using namespace corvanel::convert;

struct Document {
    std::string path;
    std::string bytes;
};

std::vector<Document> LoadCorpus(const std::string& extension) {
    const char* override = std::getenv("CORVANEL_CORPUS_DIR");
    const fs::path folder = fs::path(override ? override : CORVANEL_CORPUS_DIR) / "documents";
    std::vector<Document> documents;
    if (!fs::is_directory(folder)) {
        return documents;
    }
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::string ext = entry.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (entry.is_regular_file() && ext == "." + extension) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::stringstream s;
            s << in.rdbuf();
            documents.push_back({entry.path().string(), s.str()});
        }
    }
    std::sort(documents.begin(), documents.end(),
              [](const Document& a, const Document& b) { return a.path < b.path; });
    return documents;
}

void Report(benchmark::State& state, size_t documents, size_t bytes) {
    const auto count = static_cast<double>(documents);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * documents));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["docs"] = count;
    // Seconds per document (shown inverted: the cost of one document).
    state.counters["per_doc"] = benchmark::Counter(
        count, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

size_t TotalBytes(const std::vector<Document>& documents) {
    size_t total = 0;
    for (const Document& d : documents) {
        total += d.bytes.size();
    }
    return total;
}

void ConvertInMemory(benchmark::State& state, const std::vector<Document>* documents) {
    for (auto _ : state) {
        for (const Document& d : *documents) {
            PlainTextWriter writer;
            const ConversionResult result = ReadDocumentBytes(d.path, d.bytes, writer);
            benchmark::DoNotOptimize(result.code);
            benchmark::DoNotOptimize(writer.Text().size());
        }
    }
    Report(state, documents->size(), TotalBytes(*documents));
}

void ConvertFromDisk(benchmark::State& state, const std::vector<Document>* documents) {
    for (auto _ : state) {
        for (const Document& d : *documents) {
            std::string text;
            const ConversionResult result = ExtractText(d.path, text);
            benchmark::DoNotOptimize(result.code);
            benchmark::DoNotOptimize(text.size());
        }
    }
    Report(state, documents->size(), TotalBytes(*documents));
}

// The main part of a package: OpenDocument's content.xml, or WordprocessingML's document part
// as named by the package relationships (word/document.xml in nearly all files).
std::string MainPartName(ZipPackage& package) {
    if (package.Has("content.xml")) {
        return "content.xml";
    }
    if (auto rels = package.Read("_rels/.rels")) {
        pugi::xml_document xml;
        if (xml.load_buffer_inplace(rels->data(), rels->size())) {
            for (pugi::xml_node r : xml.document_element().children()) {
                const std::string type = r.attribute("Type").value();
                if (type.size() >= 14 && type.ends_with("officeDocument")) {
                    std::string target = r.attribute("Target").value();
                    return target.starts_with("/") ? target.substr(1) : target;
                }
            }
        }
    }
    return "word/document.xml";
}

void FloorOne(const Document& d) {
    try {
        SourceFile source = SourceFile::FromBytes(d.path, d.bytes);
        ZipPackage package(source);
        auto part = package.Read(MainPartName(package));
        if (part) {
            pugi::xml_document xml;
            benchmark::DoNotOptimize(xml.load_buffer_inplace(part->data(), part->size()).status);
        }
    } catch (const ConvertError&) {
    }
}

void ConvertOne(const Document& d) {
    PlainTextWriter writer;
    const ConversionResult result = ReadDocumentBytes(d.path, d.bytes, writer);
    benchmark::DoNotOptimize(result.code);
    benchmark::DoNotOptimize(writer.Text().size());
}

void Floor(benchmark::State& state, const std::vector<Document>* documents) {
    for (auto _ : state) {
        for (const Document& d : *documents) {
            FloorOne(d);
        }
    }
    Report(state, documents->size(), TotalBytes(*documents));
}

double ThreadCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// Processor microseconds per call of `work` on one document (this thread's time, so other
// processes on the machine matter less): the best of a few rounds of repeated calls.
template <typename Work>
double MicrosecondsPerCall(const Document& d, Work work) {
    double best = 1e300;
    for (int round = 0; round < 5; ++round) {
        int calls = 0;
        const double start = ThreadCpuMicroseconds();
        double elapsed = 0;
        do {
            work(d);
            ++calls;
            elapsed = ThreadCpuMicroseconds() - start;
        } while (elapsed < 4000);
        best = std::min(best, elapsed / calls);
    }
    return best;
}

// `--per-document FORMAT`: one line per document (convert and floor in microseconds), costliest
// first, to see which documents carry the mean and how far each is from its floor.
int PrintPerDocument(const std::string& format) {
    const std::vector<Document> documents = LoadCorpus(format);
    struct Row {
        std::string path;
        double convert;
        double floor;
    };
    std::vector<Row> rows;
    double convertTotal = 0;
    double floorTotal = 0;
    for (const Document& d : documents) {
        rows.push_back(
            {d.path, MicrosecondsPerCall(d, ConvertOne), MicrosecondsPerCall(d, FloorOne)});
        convertTotal += rows.back().convert;
        floorTotal += rows.back().floor;
    }
    std::sort(rows.begin(), rows.end(),
              [](const Row& a, const Row& b) { return a.convert > b.convert; });
    std::printf("%10s %10s %6s  %s\n", "convert_us", "floor_us", "ratio", "document");
    for (const Row& r : rows) {
        std::printf("%10.1f %10.1f %6.2f  %s\n", r.convert, r.floor,
                    r.floor > 0 ? r.convert / r.floor : 0.0, r.path.c_str());
    }
    std::printf("%10.1f %10.1f %6.2f  total over %zu documents\n", convertTotal, floorTotal,
                floorTotal > 0 ? convertTotal / floorTotal : 0.0, rows.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--per-document") {
        return PrintPerDocument(argv[2]);
    }
    static std::vector<std::vector<Document>> corpora;
    corpora.reserve(2);
    for (const char* format : {"docx", "odt"}) {
        corpora.push_back(LoadCorpus(format));
        const std::vector<Document>* documents = &corpora.back();
        if (documents->empty()) {
            continue;
        }
        const std::string name(format);
        benchmark::RegisterBenchmark(("Convert/" + name).c_str(), ConvertInMemory, documents)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("ConvertFromDisk/" + name).c_str(), ConvertFromDisk,
                                     documents)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Floor/" + name).c_str(), Floor, documents)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
