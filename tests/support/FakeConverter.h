#pragma once

#include "export/DocumentConverter.h"
#include "platform/RuntimeError.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// A recording stand-in for the converter: every operation and every release is logged in order
// ("Create", "Documents", "Open <source>", "SaveAs <target>", "Close", "Quit", "ReleaseDocument",
// "ReleaseApplication", "Attach", "Name"), failures are scripted per operation or per file, and
// SaveAs writes "converted: <source>" to the target so tests can check the files.
class FakeConverter : public DocumentConverter {
public:
    static constexpr int kFailureNumber = 8100;

    // Scripted failures.
    bool failCreate = false;
    QSet<QString> failOpenFor;  // source paths whose Open fails
    QSet<QString> failSaveFor;  // source paths whose SaveAs fails
    bool failClose = false;
    bool failQuit = false;
    // When set, a running instance with this name can be attached to.
    std::optional<QString> runningName;
    bool writeFiles = true;
    // Runs inside Open (on whatever thread converts), e.g. to hold a conversion back.
    std::function<void(const QString& source)> onOpen;

    QStringList Calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    std::vector<SaveAsArguments> SaveAsCalls() const {
        std::lock_guard lock(mutex_);
        return saveAs_;
    }
    QStringList OpenedSources() const {
        QStringList result;
        for (const QString& call : Calls()) {
            if (call.startsWith(QStringLiteral("Open "))) {
                result.append(call.mid(5));
            }
        }
        return result;
    }

    std::unique_ptr<ConverterApplication> CreateInstance() override {
        Log(QStringLiteral("Create"));
        if (failCreate) {
            throw RuntimeError(kFailureNumber, QStringLiteral("The converter cannot start."));
        }
        return std::make_unique<Application>(*this, QStringLiteral("Corvanel"));
    }

    std::unique_ptr<ConverterApplication> AttachToRunningInstance() override {
        Log(QStringLiteral("Attach"));
        if (!runningName) {
            throw RuntimeError(kFailureNumber, QStringLiteral("No instance is running."));
        }
        return std::make_unique<Application>(*this, *runningName);
    }

    void Log(const QString& call) {
        std::lock_guard lock(mutex_);
        calls_.append(call);
    }

private:
    class Document : public ConverterDocument {
    public:
        Document(FakeConverter& owner, QString source)
            : owner_(owner), source_(std::move(source)) {}
        ~Document() override { owner_.Log(QStringLiteral("ReleaseDocument")); }

        void SaveAs(const SaveAsArguments& arguments) override {
            owner_.Log(QStringLiteral("SaveAs ") + arguments.FileName);
            {
                std::lock_guard lock(owner_.mutex_);
                owner_.saveAs_.push_back(arguments);
            }
            if (owner_.failSaveFor.contains(source_)) {
                throw RuntimeError(
                    kFailureNumber,
                    arguments.FileName + QStringLiteral(" cannot be written: the disk is full"));
            }
            if (owner_.writeFiles) {
                QFile file(arguments.FileName);
                if (!file.open(QIODevice::WriteOnly)) {
                    throw RuntimeError(kFailureNumber,
                                       arguments.FileName + QStringLiteral(" cannot be written"));
                }
                file.write((QStringLiteral("converted: ") + source_).toUtf8());
            }
        }
        void Close() override {
            owner_.Log(QStringLiteral("Close"));
            if (owner_.failClose) {
                throw RuntimeError(kFailureNumber, QStringLiteral("Close failed."));
            }
        }

    private:
        FakeConverter& owner_;
        QString source_;
    };

    class Documents : public ConverterDocuments {
    public:
        explicit Documents(FakeConverter& owner) : owner_(owner) {}
        std::unique_ptr<ConverterDocument> Open(const QString& sourcePath) override {
            owner_.Log(QStringLiteral("Open ") + sourcePath);
            if (owner_.onOpen) {
                owner_.onOpen(sourcePath);
            }
            if (owner_.failOpenFor.contains(sourcePath)) {
                throw RuntimeError(kFailureNumber,
                                   sourcePath + QStringLiteral(" is damaged: no body"));
            }
            return std::make_unique<Document>(owner_, sourcePath);
        }

    private:
        FakeConverter& owner_;
    };

    class Application : public ConverterApplication {
    public:
        Application(FakeConverter& owner, QString name)
            : owner_(owner), name_(std::move(name)), documents_(owner) {}
        ~Application() override { owner_.Log(QStringLiteral("ReleaseApplication")); }

        QString Name() override {
            owner_.Log(QStringLiteral("Name"));
            return name_;
        }
        ConverterDocuments& Documents() override {
            owner_.Log(QStringLiteral("Documents"));
            return documents_;
        }
        void Quit() override {
            owner_.Log(QStringLiteral("Quit"));
            if (owner_.failQuit) {
                throw RuntimeError(kFailureNumber, QStringLiteral("Quit failed."));
            }
        }

    private:
        FakeConverter& owner_;
        QString name_;
        class Documents documents_;
    };

    mutable std::mutex mutex_;
    QStringList calls_;
    std::vector<SaveAsArguments> saveAs_;
};
