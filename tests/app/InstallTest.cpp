// cmake --install of the build into a folder of its own: both programs, the desktop entry and
// the icon, each usable as installed.
#include "tests/TempFolder.h"
#include "tests/app/RunProgram.h"

#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

TEST(Install, ProgramsDesktopEntryAndIcon)
{
    TTempFolder prefix("corvane-install");
    const TRun install = RunProgram(CORVANE_CMAKE, {"--install", CORVANE_BUILD_DIR, "--prefix", prefix.Dir().string()}, "", 300000);
    ASSERT_EQ(install.ExitCode, 0) << install.Out << install.Err;

    for (const char* program : {"bin/corvane", "bin/corvane-export"}) {
        SCOPED_TRACE(program);
        const fs::path p = prefix.Dir() / program;
        ASSERT_TRUE(fs::is_regular_file(p));
        EXPECT_NE(fs::status(p).permissions() & fs::perms::others_exec, fs::perms::none);
    }
    // The installed exporter runs from its new place.
    const TRun version = RunProgram((prefix.Dir() / "bin/corvane-export").string(), {"--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Out.rfind("corvane-export (Corvane) " CORVANE_VERSION "\n", 0), 0u) << version.Out;

    const fs::path desktop = prefix.Dir() / "share/applications/corvane.desktop";
    ASSERT_TRUE(fs::is_regular_file(desktop));
    const std::string entry = ReadFileBytes(desktop.string());
    for (const char* line : {"Exec=corvane %f\n", "Icon=corvane\n", "Name=Corvane\n", "Terminal=false\n",
                             "Categories=Science;Chemistry;\n", "MimeType=application/x-corvane-project;\n"})
        EXPECT_NE(entry.find(line), std::string::npos) << line;
    if (fs::exists("/usr/bin/desktop-file-validate")) {
        const TRun check = RunProgram("/usr/bin/desktop-file-validate", {desktop.string()});
        EXPECT_EQ(check.ExitCode, 0) << check.Out << check.Err;
        EXPECT_EQ((check.Out + check.Err).find("error:"), std::string::npos) << check.Out << check.Err;
    } else {
        ADD_FAILURE() << "desktop-file-validate is missing (package desktop-file-utils; tools/setup.sh with CORVANE_TEST_TOOLS=1)";
    }

    // The icon: well-formed XML whose root is an SVG drawing.
    const fs::path icon = prefix.Dir() / "share/icons/hicolor/scalable/apps/corvane.svg";
    ASSERT_TRUE(fs::is_regular_file(icon));
    QXmlStreamReader xml(QByteArray::fromStdString(ReadFileBytes(icon.string())));
    QString root;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && root.isEmpty())
            root = xml.name().toString();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(root.toStdString(), "svg");
}
