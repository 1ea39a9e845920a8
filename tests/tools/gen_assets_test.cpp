// The generator run afresh must give byte for byte the files committed in
// res/, so the committed files are what the code draws and nothing drifts.
#include "tests/tools/resource_checks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

const char* const Generated[] = {"sprites.bmp", "title.bmp",   "play.bmp",
                                 "wave1.wav",   "wave2.wav",   "wave3.wav",
                                 "vantle.ico",  "options.dlg", "keys.acc"};

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
    std::error_code error;
    std::filesystem::remove_all(dir, error);
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
