#pragma once

#include <functional>

class HandlerTrap;

// Runs the numbered steps of a routine that fills the list. Behind the folder-scan button each
// failure is reported with its step number (HandlerTrap); behind a drop nothing is reported and
// the item concerned is skipped.
class StepGuard {
public:
    virtual ~StepGuard() = default;
    // True when the statement completed.
    virtual bool Step(int line, const std::function<void()>& statement) = 0;
    // The test's outcome; what a failing test yields is the guard's policy.
    virtual bool Condition(int line, const std::function<bool()>& test) = 0;
};

// Reports through the trap; a failing condition counts as true, as the trap resumes with the
// statement the condition guards.
class ReportingStepGuard : public StepGuard {
public:
    explicit ReportingStepGuard(HandlerTrap& trap) : trap_(trap) {}
    bool Step(int line, const std::function<void()>& statement) override;
    bool Condition(int line, const std::function<bool()>& test) override;

private:
    HandlerTrap& trap_;
};

// Reports nothing; a failing step or condition counts as false, so the item is skipped.
class SilentStepGuard : public StepGuard {
public:
    bool Step(int line, const std::function<void()>& statement) override;
    bool Condition(int line, const std::function<bool()>& test) override;
};
