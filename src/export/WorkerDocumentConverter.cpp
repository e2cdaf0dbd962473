#include "export/WorkerDocumentConverter.h"

#include "convert/core/ErrorCode.h"
#include "export/ConversionWorker.h"

#include <utility>

using corvanel::convert::ErrorCode;
using corvanel::isolation::SingleWorker;

namespace {

ConversionOutcome Failure(ErrorCode code, const std::string& source, const std::string& reason) {
    return {static_cast<int>(code),
            QString::fromStdString(corvanel::convert::DescribeError(code, source, reason))};
}

}  // namespace

WorkerDocumentConverter::WorkerDocumentConverter(std::string program,
                                                 corvanel::isolation::IsolationLimits limits)
    : worker_(std::move(program), "corvanel", kConversionWorkerArgument, limits) {}

ConversionOutcome WorkerDocumentConverter::Convert(const QString& source, const QString& target) {
    const std::string sourceName = FileSystemName(source);
    const std::string targetName = FileSystemName(target);
    const SingleWorker::Reply reply =
        worker_.Ask(EncodeConversionRequest(sourceName, targetName), targetName);
    switch (reply.ending) {
        case SingleWorker::Ending::kAnswered: {
            ConversionAnswer answer;
            if (!DecodeConversionAnswer(reply.answer, answer)) {
                return Failure(ErrorCode::kInternal, sourceName, "its worker's answer is damaged");
            }
            return {static_cast<int>(answer.number), QString::fromStdString(answer.description)};
        }
        case SingleWorker::Ending::kTimeout:
            return Failure(ErrorCode::kTimeout, sourceName, reply.reason);
        case SingleWorker::Ending::kOutOfMemory:
            return Failure(ErrorCode::kOutOfMemory, sourceName, reply.reason);
        case SingleWorker::Ending::kCrashed:
        case SingleWorker::Ending::kStopped:
            break;
    }
    return Failure(ErrorCode::kCrashed, sourceName, reply.reason);
}
