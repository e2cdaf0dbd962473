#include "platform/SettingsStore.h"

#include "TestApplication.h"
#include "platform/RuntimeError.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

const QString kOutputFolder = QStringLiteral("Output Folder");

class SettingsStoreTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp_.isValid()); }

    QString Get(const QString& key, const QString& defaultValue) const {
        return store_.GetSetting(SettingsAddress::kApplication, SettingsAddress::kSection, key,
                                 defaultValue);
    }
    void Save(const QString& key, const QString& value) {
        store_.SaveSetting(SettingsAddress::kApplication, SettingsAddress::kSection, key, value);
    }

    // Runs the probe program on the same file; returns its standard output.
    QString Probe(const QStringList& arguments, int expectedExitCode = 0) const {
        EnsureTestApplication();
        QProcess probe;
        probe.start(CORVANEL_SETTINGS_PROBE, QStringList{store_.FilePath()} + arguments);
        EXPECT_TRUE(probe.waitForFinished(60000));
        EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(probe.exitCode(), expectedExitCode) << probe.readAllStandardError().toStdString();
        return QString::fromUtf8(probe.readAllStandardOutput());
    }

    QTemporaryDir temp_;
    SettingsStore store_{temp_.filePath("Brindlewood/Corvanel.ini")};
};

}  // namespace

TEST_F(SettingsStoreTest, FreshStoreReadsTheDefaultsAndCreatesNothing) {
    EXPECT_EQ(Get("Extension", "doc"), "doc");
    EXPECT_EQ(Get("LastFolder", ""), "");
    EXPECT_EQ(Get(kOutputFolder, "/home/u/Desktop/"), "/home/u/Desktop/");
    EXPECT_FALSE(QFileInfo::exists(store_.FilePath()));
}

TEST_F(SettingsStoreTest, EmptyStoredValueReadsEmptyNotTheDefault) {
    Save(kOutputFolder, "");
    EXPECT_EQ(Get(kOutputFolder, "/home/u/Desktop/"), "");
}

TEST_F(SettingsStoreTest, ValuesRoundTripExactlyAndLaterWritesReplace) {
    const QStringList values = {R"(C:\Out\)",
                                "/home/u/My Documents/",
                                "a, b",
                                R"("quoted")",
                                "  padded  ",
                                "semi;colon # hash",
                                "@Variant(x)",
                                "key=value",
                                QStringLiteral("ünï €"),
                                "two\nlines",
                                "*"};
    for (const QString& value : values) {
        Save(kOutputFolder, value);
        EXPECT_EQ(Get(kOutputFolder, "default"), value);
    }
    Save("Extension", "txt");
    Save("Extension", "doc");
    EXPECT_EQ(Get("Extension", "default"), "doc");
    EXPECT_EQ(Get(kOutputFolder, "default"), "*");
}

TEST_F(SettingsStoreTest, HandEditedValueWithCommasReadsAsText) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(store_.FilePath()).path()));
    QFile file(store_.FilePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Corvanel]\nOutput%20Folder=/home/u/Smith, John/\n");
    file.close();
    EXPECT_EQ(Get(kOutputFolder, "default"), "/home/u/Smith, John/");
}

TEST_F(SettingsStoreTest, SectionsKeepTheirOwnKeys) {
    Save(kOutputFolder, "/out/");
    EXPECT_EQ(store_.GetSetting(SettingsAddress::kApplication, "Other", kOutputFolder, "none"),
              "none");
}

TEST_F(SettingsStoreTest, WrittenValueIsReadByANewProcess) {
    Save(kOutputFolder, "/srv/out put/");
    Save("LastFolder", "");
    EXPECT_EQ(Probe({"get", kOutputFolder}), "present:/srv/out put/");
    EXPECT_EQ(Probe({"get", "LastFolder"}), "present:");
    EXPECT_EQ(Probe({"get", "Extension"}), "absent");
}

TEST_F(SettingsStoreTest, ValueWrittenByAnotherProcessIsReadHere) {
    Save("Extension", "doc");
    Probe({"set", "Extension", "rtf"});
    Probe({"set", "LastFolderDot", "/data/in"});
    EXPECT_EQ(Get("Extension", "default"), "rtf");
    EXPECT_EQ(Get("LastFolderDot", "default"), "/data/in");
}

TEST_F(SettingsStoreTest, RefusedWriteRaisesARuntimeErrorNamingKeyAndFile) {
    // A folder where the file should be cannot be written over, not even by root.
    ASSERT_TRUE(QDir().mkpath(store_.FilePath()));
    try {
        Save(kOutputFolder, "/out/");
        FAIL() << "the write was not refused";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), ErrorNumbers::kPathFileAccess);
        EXPECT_TRUE(
            error.Description().startsWith("The setting \"Output Folder\" could not be saved to " +
                                           QDir::toNativeSeparators(store_.FilePath()) + ": "))
            << error.what();
    }
    Probe({"set", "Extension", "doc"}, 2);
}

TEST(SettingsStoreDefault, LivesInTheUsersOwnSettingsUnderTheApplicationName) {
    QStandardPaths::setTestModeEnabled(true);
    const SettingsStore store;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    EXPECT_EQ(store.FilePath(), store.InRegistry()
                                    ? QStringLiteral("HKEY_CURRENT_USER\\Software\\Brindlewood")
                                    : config + "/Brindlewood/Corvanel.ini");
    QStandardPaths::setTestModeEnabled(false);
}

// Windows keeps the settings in the registry: the values survive it exactly, an empty one
// included, under the application's key with the section as its subkey.
TEST(SettingsStoreRegistry, ValuesRoundTripUnderApplicationAndSection) {
    if (!SettingsStore().InRegistry()) {
        GTEST_SKIP() << "only Windows keeps settings in the registry";
    }
    const QString key = QStringLiteral("HKEY_CURRENT_USER\\Software\\Brindlewood Tests\\") +
                        QString::number(QCoreApplication::applicationPid());
    SettingsStore store(SettingsLocation{key, QSettings::NativeFormat});
    const auto get = [&](const QString& name) {
        return store.GetSetting(SettingsAddress::kApplication, SettingsAddress::kSection, name,
                                "absent");
    };
    EXPECT_EQ(get(kOutputFolder), "absent");
    for (const QString& value : {QStringLiteral(R"(C:\Out\)"), QString(), QStringLiteral("ünï €"),
                                 QStringLiteral("a, b")}) {
        store.SaveSetting(SettingsAddress::kApplication, SettingsAddress::kSection, kOutputFolder,
                          value);
        EXPECT_EQ(get(kOutputFolder), value);
    }
    QSettings raw(key + QStringLiteral("\\Corvanel"), QSettings::NativeFormat);
    EXPECT_EQ(raw.value(kOutputFolder, "absent").toString(), "a, b");
    QSettings(QStringLiteral("HKEY_CURRENT_USER\\Software"), QSettings::NativeFormat)
        .remove(QStringLiteral("Brindlewood Tests"));
}
