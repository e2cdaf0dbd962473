#include "doclist/StepGuard.h"

#include "platform/HandlerTrap.h"

#include <exception>

bool ReportingStepGuard::Step(int line, const std::function<void()>& statement) {
    return trap_.Step(line, statement);
}

bool ReportingStepGuard::Condition(int line, const std::function<bool()>& test) {
    return trap_.Condition(line, test);
}

bool SilentStepGuard::Step(int, const std::function<void()>& statement) {
    try {
        statement();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool SilentStepGuard::Condition(int, const std::function<bool()>& test) {
    try {
        return test();
    } catch (const std::exception&) {
        return false;
    }
}
