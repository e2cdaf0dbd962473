#include "cli/JobSchedule.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <numeric>
#include <string>
#include <system_error>
#include <utility>

namespace corvanel::cli {

namespace {

namespace fs = std::filesystem;

fs::path Resolved(const fs::path& path) {
    std::error_code ec;
    fs::path resolved = fs::weakly_canonical(path, ec);
    if (ec) {
        resolved = fs::absolute(path, ec).lexically_normal();
    }
    return resolved;
}

// The resolved path of a target file. The targets of a batch lie in a few folders, so each
// folder is resolved once; only a target that is itself a link is resolved in full.
class TargetKeys {
public:
    std::string KeyFor(const std::string& target) {
        const fs::path path(target);
        const auto [it, added] = folders_.try_emplace(path.parent_path().string());
        if (added) {
            it->second = Resolved(it->first.empty() ? fs::path(".") : fs::path(it->first));
        }
        fs::path key = it->second / path.filename();
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(key, ec))) {
            key = Resolved(key);
        }
        return key.string();
    }

private:
    std::map<std::string, fs::path> folders_;
};

}  // namespace

std::vector<std::vector<std::size_t>> PlanJobs(const std::vector<Job>& jobs, bool largestFirst) {
    TargetKeys keys;
    std::map<std::string, std::size_t> groupOfTarget;
    std::vector<std::vector<std::size_t>> groups;
    std::vector<std::uintmax_t> bytes;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const auto [it, added] =
            groupOfTarget.try_emplace(keys.KeyFor(jobs[i].target), groups.size());
        if (added) {
            groups.emplace_back();
            bytes.push_back(0);
        }
        groups[it->second].push_back(i);
        bytes[it->second] += jobs[i].size;
    }
    if (!largestFirst) {
        return groups;
    }
    std::vector<std::size_t> order(groups.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return bytes[a] > bytes[b]; });
    std::vector<std::vector<std::size_t>> planned;
    planned.reserve(groups.size());
    for (const std::size_t g : order) {
        planned.push_back(std::move(groups[g]));
    }
    return planned;
}

}  // namespace corvanel::cli
