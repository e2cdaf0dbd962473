#pragma once

#include "app/MainWindow.h"
#include "doclist/DocumentListModel.h"
#include "platform/SettingsStore.h"
#include "support/FakeConverter.h"
#include "support/FakeDialogs.h"
#include "support/GuiTestApplication.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A path written POSIX-style as the system's dialogs give it: on Windows on drive C: with
// backslashes ("/d/a.doc" is C:\d\a.doc), elsewhere unchanged.
inline QString SystemPath(const QString& posixPath) {
#ifdef _WIN32
    return QStringLiteral("C:") + QDir::toNativeSeparators(posixPath);
#else
    return posixPath;
#endif
}

inline QStringList SystemPaths(const QStringList& posixPaths) {
    QStringList paths;
    for (const QString& path : posixPaths) {
        paths.append(SystemPath(path));
    }
    return paths;
}

// A main window over fakes: scripted dialogs, a recording converter, a settings file and a
// program folder in a temporary folder, and an "end the program" that only counts.
class MainWindowHarness : public testing::Test {
protected:
    void SetUp() override {
        EnsureGuiTestApplication();
        ASSERT_TRUE(temp.isValid());
        programFolder = temp.filePath(QStringLiteral("program"));
        ASSERT_TRUE(QDir().mkpath(programFolder));
    }

    void TearDown() override { form.reset(); }

    void Start() {
        form = std::make_unique<MainWindow>(MainWindowServices{
            dialogs, settings, *converter, programFolder, [this] { ++endCalls; }});
    }

    template <typename T>
    T* Child(const char* name) const {
        T* child = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    QString Setting(const QString& key, const QString& absent = QStringLiteral("<absent>")) const {
        return settings.GetSetting(SettingsAddress::kApplication, SettingsAddress::kSection, key,
                                   absent);
    }
    void SaveSetting(const QString& key, const QString& value) {
        settings.SaveSetting(SettingsAddress::kApplication, SettingsAddress::kSection, key, value);
    }

    QStringList MessageTexts() const {
        QStringList texts;
        for (const MessageRequest& m : dialogs.Messages()) {
            texts.append(m.text);
        }
        return texts;
    }

    QTemporaryDir temp;
    QString programFolder;
    FakeDialogs dialogs;
    SettingsStore settings{temp.filePath(QStringLiteral("settings/Corvanel.ini"))};
    FakeConverter fakeConverter;
    DocumentConverter* converter = &fakeConverter;
    int endCalls = 0;
    std::unique_ptr<MainWindow> form;
};
