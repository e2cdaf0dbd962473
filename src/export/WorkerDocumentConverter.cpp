#include "export/WorkerDocumentConverter.h"

#include "convert/core/ErrorCode.h"
#include "isolation/JobCodec.h"
#include "isolation/JobWorker.h"

#include <utility>

using corvanel::isolation::SingleWorker;

WorkerDocumentConverter::WorkerDocumentConverter(std::string program,
                                                 corvanel::isolation::IsolationLimits limits)
    : worker_(std::move(program), "corvanel", corvanel::isolation::kWorkerArgument, limits) {}

ConversionOutcome WorkerDocumentConverter::Convert(const QString& source, const QString& target) {
    corvanel::isolation::Job job;
    job.source = FileSystemName(source);
    job.target = FileSystemName(target);
    corvanel::isolation::JobAnswer answer;
    const SingleWorker::Reply reply = worker_.Ask(
        corvanel::isolation::EncodeJob(job), job.target,
        [&](const std::string& frame) { return corvanel::isolation::DecodeAnswer(frame, answer); });
    if (reply.ending == SingleWorker::Ending::kAnswered) {
        return {answer.outcome.Number(), QString::fromStdString(answer.outcome.description)};
    }
    return {static_cast<int>(reply.code), QString::fromStdString(corvanel::convert::DescribeError(
                                              reply.code, job.source, reply.reason))};
}
