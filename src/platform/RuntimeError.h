#pragma once

#include <QString>

#include <exception>
#include <string>

// A failure raised by any routine the window's handlers call: a number and a description a user
// can act on. Handlers catch it in their trap (HandlerTrap) and show the "Application Error"
// report.
class RuntimeError : public std::exception {
public:
    RuntimeError(int number, QString description)
        : number_(number),
          description_(std::move(description)),
          what_(description_.toStdString()) {}

    int Number() const noexcept { return number_; }
    const QString& Description() const noexcept { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    int number_;
    QString description_;
    std::string what_;
};

// Numbers of the run-time errors raised by the program's own operations (the converter's numbers
// live in its own table, convert/core/ErrorCode.h).
namespace ErrorNumbers {
inline constexpr int kOutOfMemory = 7;
inline constexpr int kSubscriptOutOfRange = 9;
inline constexpr int kInvalidProcedureCall = 5;
inline constexpr int kFileNotFound = 53;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kPathFileAccess = 75;
inline constexpr int kPathNotFound = 76;
inline constexpr int kInternal = 51;
}  // namespace ErrorNumbers
