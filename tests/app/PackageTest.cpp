// The Debian package as cpack builds it from this build: its files, its declared dependencies,
// lintian's verdict, and the MIME type telling Corvane projects from other INI files. Not in
// the sanitizer build (the package ships the ordinary one).
#include "tests/TempFolder.h"
#include "tests/app/RunProgram.h"

#include <QCoreApplication>
#include <QMimeDatabase>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const std::string& Text)
{
    std::vector<std::string> lines;
    std::istringstream in(Text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace

// Run by PackageTest.MimeTypeKnowsProjectsByContent in a process of its own, whose
// XDG_DATA_DIRS holds the package's share folder: the type of each file named after "--".
TEST(Package, MimeTypeChild)
{
    const char* files = std::getenv("CORVANE_MIME_FILES");
    if (files == nullptr)
        GTEST_SKIP() << "run by MimeTypeKnowsProjectsByContent";
    QMimeDatabase db;
    std::istringstream in(files);
    for (std::string f; std::getline(in, f, ';');)
        std::printf("%s=%s\n", fs::path(f).filename().c_str(), db.mimeTypeForFile(QString::fromStdString(f)).name().toUtf8().constData());
}

class PackageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
#ifdef CORVANE_SANITIZED
        return;
#endif
        Folder = new TTempFolder("corvane-deb");
        Build = RunProgram(CORVANE_CPACK, {"-G", "DEB", "--config", CORVANE_BUILD_DIR "/CPackConfig.cmake", "-B",
                                           Folder->Dir().string()}, "", 300000);
        Deb = Folder->Path("corvane_" CORVANE_VERSION "_amd64.deb");
    }
    static void TearDownTestSuite()
    {
        delete Folder;
        Folder = nullptr;
    }
    void SetUp() override
    {
#ifdef CORVANE_SANITIZED
        GTEST_SKIP() << "the package is built from the ordinary build";
#endif
        ASSERT_EQ(Build.ExitCode, 0) << Build.Out << Build.Err;
        ASSERT_TRUE(fs::is_regular_file(Deb)) << Build.Out;
    }
    static TTempFolder* Folder;
    static TRun Build;
    static std::string Deb;
};
TTempFolder* PackageTest::Folder = nullptr;
TRun PackageTest::Build;
std::string PackageTest::Deb;

TEST_F(PackageTest, HoldsTheProgramsTheirDesktopFilesAndDocuments)
{
    const TRun list = RunProgram("/usr/bin/dpkg-deb", {"-c", Deb});
    ASSERT_EQ(list.ExitCode, 0) << list.Err;
    // Path, and whether it runs: every file belongs to root and the programs are executable.
    const std::pair<const char*, bool> expected[] = {
        {"./usr/bin/corvane", true},
        {"./usr/bin/corvane-export", true},
        {"./usr/share/applications/corvane.desktop", false},
        {"./usr/share/icons/hicolor/scalable/apps/corvane.svg", false},
        {"./usr/share/mime/packages/corvane-project.xml", false},
        {"./usr/share/man/man1/corvane.1.gz", false},
        {"./usr/share/man/man1/corvane-export.1.gz", false},
        {"./usr/share/doc/corvane/copyright", false},
        {"./usr/share/doc/corvane/changelog.gz", false},
    };
    const std::vector<std::string> lines = Lines(list.Out);
    for (const auto& [path, runs] : expected) {
        SCOPED_TRACE(path);
        const auto it = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
            return l.size() > std::string(path).size() && l.compare(l.size() - std::string(path).size(), std::string::npos, path) == 0;
        });
        ASSERT_NE(it, lines.end()) << list.Out;
        EXPECT_EQ(it->substr(0, 10), runs ? "-rwxr-xr-x" : "-rw-r--r--");
        EXPECT_NE(it->find("root/root"), std::string::npos);
    }
    for (const std::string& l : lines)
        EXPECT_NE(l.find("./usr/"), std::string::npos) << "outside /usr: " << l;

    const TRun fields = RunProgram("/usr/bin/dpkg-deb", {"-f", Deb, "Package", "Version", "Depends", "Section"});
    ASSERT_EQ(fields.ExitCode, 0) << fields.Err;
    for (const char* part : {"Package: corvane", "Version: " CORVANE_VERSION, "Section: science", "libqt6widgets6",
                             "libqt6gui6", "libqt6svg6", "libc6", "libstdc++6", "qt6-qpa-plugins", "libceres3"})
        EXPECT_NE(fields.Out.find(part), std::string::npos) << part << "\n" << fields.Out;
}

TEST_F(PackageTest, LintianFindsNoErrorAndNoWarning)
{
    if (!fs::exists("/usr/bin/lintian"))
        FAIL() << "lintian is missing (tools/setup.sh with CORVANE_TEST_TOOLS=1 installs it)";
    const TRun check = RunProgram("/usr/bin/lintian", {"--no-cfg", Deb}, "", 300000);
    for (const std::string& l : Lines(check.Out))
        EXPECT_TRUE(l.rfind("E: ", 0) != 0 && l.rfind("W: ", 0) != 0) << l;
    EXPECT_EQ(check.ExitCode, 0) << check.Out << check.Err;
}

// The package's MIME type, seen by a program that reads the shared MIME database: a project
// (with or without a byte-order mark, whatever its name) is one; another program's INI file,
// a text and a project's [General] section without its keys are not.
TEST_F(PackageTest, MimeTypeKnowsProjectsByContent)
{
    const TTempFolder root("corvane-mime");
    const TRun unpack = RunProgram("/usr/bin/dpkg-deb", {"-x", Deb, root.Dir().string()});
    ASSERT_EQ(unpack.ExitCode, 0) << unpack.Err;
    const struct {
        const char* Name;
        const char* Text;
        bool Project;
    } files[] = {
        {"five.ini", "[General]\r\nDecSep=46\r\nCount=5\r\n[Dependency0]\r\nname=a\r\n", true},
        {"bom.ini", "\xEF\xBB\xBF[General]\r\nDecSep=44\r\nCount=0\r\nEncoding=UTF-8\r\n", true},
        {"renamed.dat", "[General]\nDecSep=46\nCount=1\n", true},
        {"other.ini", "[Settings]\nDecSep=1\nCount=2\n", false},
        {"keys.ini", "[General]\nVersion=3\n", false},
        {"notes.ini", "DecSep and Count\n", false},
    };
    std::string list;
    for (const auto& f : files) {
        WriteFileBytes(root.Path(f.Name), f.Text);
        list += root.Path(f.Name) + ";";
    }
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_DIRS", QString::fromStdString((root.Dir() / "usr/share").string()) + ":/usr/share");
    env.insert("XDG_DATA_HOME", QString::fromStdString(root.Path("home")));
    env.insert("CORVANE_MIME_FILES", QString::fromStdString(list));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=Package.MimeTypeChild"});
    ASSERT_TRUE(child.waitForFinished(60000));
    const std::string out = child.readAllStandardOutput().toStdString();
    for (const auto& f : files) {
        SCOPED_TRACE(f.Name);
        const std::string said = std::string(f.Name) + "=application/x-corvane-project\n";
        EXPECT_EQ(out.find(said) != std::string::npos, f.Project) << out;
    }
}
