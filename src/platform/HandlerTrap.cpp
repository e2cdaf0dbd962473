#include "platform/HandlerTrap.h"

#include "platform/RuntimeError.h"

#include <exception>
#include <new>
#include <optional>
#include <utility>

namespace {

// Runs the action and turns any failure into the description its report shows.
template <typename Action>
std::optional<QString> FailureOf(Action&& action) {
    try {
        std::forward<Action>(action)();
        return std::nullopt;
    } catch (const RuntimeError& error) {
        return error.Description();
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return QStringLiteral("Unexpected error");
    }
}

}  // namespace

QString BuildHandlerErrorReport(const QString& description, const QString& tag, int line) {
    return description + QStringLiteral("\r\n") + tag + QStringLiteral("at line ") +
           QString::number(line) + QStringLiteral("\r\r") +
           QStringLiteral("Please email screenshot of this message to ") + kSupportEmailAddress;
}

void ReportHandlerError(Dialogs& dialogs, QWidget* owner, const QString& description,
                        const QString& tag, int line) {
    MessageRequest request;
    request.text = BuildHandlerErrorReport(description, tag, line);
    request.caption = QStringLiteral("Application Error");
    request.buttons = MessageButtons::Ok;
    request.icon = MessageIcon::Exclamation;
    dialogs.ShowMessage(owner, request);
}

HandlerTrap::HandlerTrap(Dialogs& dialogs, QWidget* owner, QString tag)
    : dialogs_(dialogs), owner_(owner), tag_(std::move(tag)) {}

bool HandlerTrap::Step(int line, const std::function<void()>& statement) {
    const std::optional<QString> failure = FailureOf(statement);
    if (failure) {
        Report(line, *failure);
    }
    return !failure;
}

bool HandlerTrap::Condition(int line, const std::function<bool()>& test) {
    bool result = true;
    const std::optional<QString> failure = FailureOf([&] { result = test(); });
    if (failure) {
        Report(line, *failure);
        return true;
    }
    return result;
}

void HandlerTrap::Report(int line, const QString& description) {
    ReportHandlerError(dialogs_, owner_, description, tag_, line);
}
