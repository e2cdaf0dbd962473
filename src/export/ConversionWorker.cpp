#include "export/ConversionWorker.h"

#include "convert/Converter.h"
#include "system/ProcessTuning.h"
#include "isolation/Frames.h"
#include "isolation/WorkerProcess.h"

#include <optional>

using corvanel::isolation::FieldReader;
using corvanel::isolation::PutField;
using corvanel::isolation::PutNumber;

std::string EncodeConversionRequest(const std::string& source, const std::string& target) {
    std::string frame;
    PutField(frame, source);
    PutField(frame, target);
    return frame;
}

bool DecodeConversionAnswer(const std::string& frame, ConversionAnswer& answer) {
    FieldReader in(frame);
    return in.Number(answer.number) && in.Field(answer.description) && in.AtEnd();
}

int RunConversionWorker() {
    corvanel::system::TuneProcessForConversions();
    return corvanel::isolation::ServeRequests(
        [](const std::string& request) -> std::optional<std::string> {
            FieldReader in(request);
            std::string source, target;
            if (!in.Field(source) || !in.Field(target) || !in.AtEnd()) {
                return std::nullopt;
            }
            const corvanel::convert::ConversionResult result =
                corvanel::convert::ConvertFile(source, target);
            std::string answer;
            PutNumber(answer, static_cast<std::uint64_t>(result.Number()));
            PutField(answer, result.description);
            return answer;
        });
}
