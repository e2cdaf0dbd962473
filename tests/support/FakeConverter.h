#pragma once

#include "export/DocumentConverter.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <mutex>

// A recording stand-in for the converter: every conversion is logged in order as source and
// target, failures are scripted per source, and a conversion writes "converted: <source>" to its
// target so tests can check the files.
class FakeConverter : public DocumentConverter {
public:
    static constexpr int kFailureNumber = 8100;

    // When not empty, the converter cannot run, for this reason.
    QString unavailableBecause;
    QSet<QString> failFor;  // sources whose conversion fails
    bool writeFiles = true;
    // Runs at the start of a conversion (on whatever thread converts), e.g. to hold it back.
    std::function<void(const QString& source)> onConvert;

    int AvailabilityChecks() const {
        std::lock_guard lock(mutex_);
        return availabilityChecks_;
    }
    QStringList Sources() const {
        std::lock_guard lock(mutex_);
        return sources_;
    }
    QStringList Targets() const {
        std::lock_guard lock(mutex_);
        return targets_;
    }

    ConverterAvailability Availability() override {
        std::lock_guard lock(mutex_);
        ++availabilityChecks_;
        if (!unavailableBecause.isEmpty()) {
            return {false, unavailableBecause};
        }
        return {};
    }

    ConversionOutcome Convert(const QString& source, const QString& target) override {
        {
            std::lock_guard lock(mutex_);
            sources_.append(source);
            targets_.append(target);
        }
        if (onConvert) {
            onConvert(source);
        }
        if (failFor.contains(source)) {
            return {kFailureNumber, source + QStringLiteral(" is damaged: no body")};
        }
        if (writeFiles) {
            QFile file(target);
            if (!file.open(QIODevice::WriteOnly)) {
                return {kFailureNumber, target + QStringLiteral(" cannot be written")};
            }
            file.write((QStringLiteral("converted: ") + source).toUtf8());
        }
        return {};
    }

private:
    mutable std::mutex mutex_;
    int availabilityChecks_ = 0;
    QStringList sources_;
    QStringList targets_;
};
