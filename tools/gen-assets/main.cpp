// SPDX-License-Identifier: GPL-3.0-or-later
// vantle-gen-assets OUTDIR            writes every resource file into OUTDIR,
//                                     and the desktop icons into OUTDIR/icons
// vantle-gen-assets --preview OUTDIR  writes the preview pictures
//
// Everything is drawn and synthesised here from code; the output is the same
// bytes on every run and every machine.
#include "tools/gen-assets/bmp.h"
#include "tools/gen-assets/icon.h"
#include "tools/gen-assets/preview.h"
#include "tools/gen-assets/scenes.h"
#include "tools/gen-assets/sheet.h"
#include "tools/gen-assets/templates.h"
#include "tools/gen-assets/waves.h"

#include "render/sprites.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

bool Write(const std::string& directory, const char* name, const Bytes& bytes) {
    std::string path = directory + "/" + name;
    if (WriteBytes(path.c_str(), bytes)) return true;
    std::fprintf(stderr, "vantle-gen-assets: cannot write %s\n", path.c_str());
    return false;
}

bool MakeDirectory(const std::string& dir) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (!error && std::filesystem::is_directory(dir, error)) return true;
    std::fprintf(stderr, "vantle-gen-assets: cannot make the folder %s\n", dir.c_str());
    return false;
}

bool WriteResources(const std::string& dir) {
    IndexedImage sheet = PaintSheet();
    PalettedImage title = MakeTitleImage();
    PalettedImage play = MakePlayImage();
    bool ok = Write(dir, "sprites.bmp", EncodeBmp(sheet, SheetPalette, 4));
    ok = Write(dir, "title.bmp", EncodeBmp(title.Image, title.Palette.data(), 4)) && ok;
    ok = Write(dir, "play.bmp", EncodeBmp(play.Image, play.Palette.data(), 8)) && ok;
    ok = Write(dir, "wave1.wav", ChimeWave()) && ok;
    ok = Write(dir, "wave2.wav", GameOverWave()) && ok;
    ok = Write(dir, "wave3.wav", ThudWave()) && ok;
    ok = Write(dir, "vantle.ico", EncodeIcon()) && ok;
    ok = Write(dir, "options.dlg", EncodeOptionsDialog()) && ok;
    ok = Write(dir, "keys.acc", EncodeAccelerators()) && ok;
    // Not embedded: installed into the desktop's icon theme, and named by
    // the browser edition's manifest.
    ok = MakeDirectory(dir + "/icons") && ok;
    auto writeIcon = [&](int32_t size) {
        const std::string name = "icons/vantle-" + std::to_string(size) + ".png";
        ok = Write(dir, name.c_str(), EncodeDesktopIcon(size)) && ok;
    };
    for (int32_t size : DesktopIconSizes) writeIcon(size);
    for (int32_t size : WebIconSizes) writeIcon(size);
    ok = Write(dir, "icons/vantle-maskable-512.png", EncodeMaskableIcon(MaskableIconSize)) && ok;
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    bool preview = argc == 3 && std::strcmp(argv[1], "--preview") == 0;
    if (!preview && (argc != 2 || argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: vantle-gen-assets OUTDIR\n"
                             "       vantle-gen-assets --preview OUTDIR\n");
        return 2;
    }
    std::string dir = argv[argc - 1];
    if (!MakeDirectory(dir)) return 1;
    if (preview) {
        bool ok = WritePreviews(dir.c_str(), PaintSheet(), MakeTitleImage(), MakePlayImage());
        if (!ok)
            std::fprintf(stderr, "vantle-gen-assets: cannot write the previews into %s\n",
                         dir.c_str());
        return ok ? 0 : 1;
    }
    return WriteResources(dir) ? 0 : 1;
}
