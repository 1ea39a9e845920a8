// SPDX-License-Identifier: GPL-3.0-or-later
// The generator run afresh must give byte for byte the files committed in
// res/, so the committed files are what the code draws and nothing drifts.
#include "tests/tools/resource_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

// Every file the generator writes: the embedded resources, the desktop
// icons and the browser edition's larger ones.
const char* const Generated[] = {"sprites.bmp",
                                 "title.bmp",
                                 "play.bmp",
                                 "wave1.wav",
                                 "wave2.wav",
                                 "wave3.wav",
                                 "vantle.ico",
                                 "options.dlg",
                                 "keys.acc",
                                 "icons/vantle-16.png",
                                 "icons/vantle-32.png",
                                 "icons/vantle-48.png",
                                 "icons/vantle-64.png",
                                 "icons/vantle-128.png",
                                 "icons/vantle-192.png",
                                 "icons/vantle-512.png",
                                 "icons/vantle-maskable-512.png"};

std::string TempFolder(const char* name) {
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                (std::string("vantle-") + name + "-" + std::to_string(::getpid()));
    std::error_code error;
    std::filesystem::remove_all(dir, error);
    return dir.string();
}

int RunGenerator(const std::string& arguments) {
    std::string command =
        std::string("\"") + VANTLE_GEN_ASSETS + "\" " + arguments + " > /dev/null 2>&1";
    return std::system(command.c_str());
}

TEST(GenAssets, RegeneratedFilesMatchTheCommittedOnes) {
    const std::string dir = TempFolder("res");
    ASSERT_EQ(RunGenerator("\"" + dir + "\""), 0);
    for (const char* name : Generated) {
        Bytes fresh = ReadFileBytes(dir + "/" + name);
        Bytes committed = ReadFileBytes(std::string(VANTLE_SOURCE_DIR) + "/res/" + name);
        ASSERT_FALSE(fresh.empty()) << name << " was not written";
        EXPECT_EQ(fresh.size(), committed.size()) << name;
        EXPECT_TRUE(fresh == committed) << name << " differs from res/" << name
                                        << "; run vantle-gen-assets res from the source folder";
    }
    // Nothing written that the list (and so this check) leaves out.
    size_t written = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
        if (entry.is_regular_file()) {
            ++written;
            const std::string name = std::filesystem::relative(entry.path(), dir).string();
            EXPECT_NE(std::find(std::begin(Generated), std::end(Generated), name),
                      std::end(Generated))
                << name << " is written but not checked";
        }
    EXPECT_EQ(written, std::size(Generated));
    std::error_code error;
    std::filesystem::remove_all(dir, error);
}

// The desktop icons: RGBA pictures of the size their names say, see-through
// at the corners (the tile is an octagon) and solid in the middle.
TEST(GenAssets, DesktopIconsAreSquarePngsWithClearCorners) {
    for (int size : {16, 32, 48, 64, 128}) {
        const std::string name = "icons/vantle-" + std::to_string(size) + ".png";
        const Bytes png = ReadFileBytes(std::string(VANTLE_SOURCE_DIR) + "/res/" + name);
        ASSERT_GT(png.size(), 33u) << name;
        auto big = [&](size_t at) {
            return static_cast<uint32_t>(png[at]) << 24 | static_cast<uint32_t>(png[at + 1]) << 16 |
                   static_cast<uint32_t>(png[at + 2]) << 8 | png[at + 3];
        };
        EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR") << name;
        EXPECT_EQ(big(16), static_cast<uint32_t>(size)) << name;
        EXPECT_EQ(big(20), static_cast<uint32_t>(size)) << name;
        EXPECT_EQ(png[24], 8) << name;
        EXPECT_EQ(png[25], 6) << name << " has no alpha channel";
    }
    // The pixels, read back by a decoder that is not ours where there is one.
    // (ImageMagick itself: a stand-in convert may only turn a PNG into a PPM.)
    if (std::system("convert -version 2>/dev/null | grep -q ImageMagick") != 0)
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    for (int size : {16, 128}) {
        const std::string file =
            std::string(VANTLE_SOURCE_DIR) + "/res/icons/vantle-" + std::to_string(size) + ".png";
        const int last = size - 1, mid = size / 2;
        const std::string command = "convert \"" + file + "\" -format '%[fx:p{0,0}.a] %[fx:p{" +
                                    std::to_string(last) + "," + std::to_string(last) +
                                    "}.a] %[fx:p{" + std::to_string(mid) + "," +
                                    std::to_string(mid) + "}.a]' info:";
        std::FILE* pipe = ::popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        char text[64] = "";
        const size_t n = std::fread(text, 1, sizeof text - 1, pipe);
        text[n] = 0;
        ::pclose(pipe);
        EXPECT_STREQ(text, "0 0 1") << "alpha at two corners and the middle of a " << size;
    }
}

TEST(GenAssets, PreviewWritesPngPictures) {
    const std::string dir = TempFolder("preview");
    ASSERT_EQ(RunGenerator("--preview \"" + dir + "\""), 0);
    for (const char* name : {"sheet-4x.png", "title.png", "play.png", "regions.png"}) {
        Bytes png = ReadFileBytes(dir + "/" + name);
        ASSERT_GT(png.size(), 8u) << name;
        EXPECT_EQ(png[1], 'P') << name;
        EXPECT_EQ(png[2], 'N') << name;
        EXPECT_EQ(png[3], 'G') << name;
    }
    std::error_code error;
    std::filesystem::remove_all(dir, error);
}

TEST(GenAssets, WrongArgumentsAreRefused) {
    EXPECT_NE(RunGenerator(""), 0);
    EXPECT_NE(RunGenerator("--preview"), 0);
    EXPECT_NE(RunGenerator("a b c"), 0);
}

} // namespace
