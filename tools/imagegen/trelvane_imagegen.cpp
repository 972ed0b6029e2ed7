// Writes the program icon file from the program's own drawing code, and a
// preview of every picture at every size for a person to look at.
//   trelvane_imagegen ICON_FILE [PREVIEW_BMP]
#include "app/images/Trel_images.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

// How much the preview magnifies, and the room around each picture.
constexpr int kZoom = 4;
constexpr int kMargin = 4;

struct TSheet {
    int Width;
    int Height;
    std::vector<std::uint32_t> Rgb; // 0x00RRGGBB, rows from the top

    TSheet(int width, int height)
        : Width(width), Height(height), Rgb(static_cast<size_t>(width * height), 0xF0F0F0) {}

    // The picture laid over the background at (left, top), magnified.
    void Put(const TImagePixels& pixels, int left, int top, int zoom, std::uint32_t background) {
        for (int y = 0; y < pixels.Size * zoom; ++y) {
            for (int x = 0; x < pixels.Size * zoom; ++x) {
                const std::uint32_t p = pixels.At(x / zoom, y / zoom);
                const unsigned a = p >> 24;
                std::uint32_t out = 0;
                for (int shift = 0; shift <= 16; shift += 8) {
                    const unsigned front = (p >> shift) & 0xFF;
                    const unsigned back = (background >> shift) & 0xFF;
                    out |= ((front * a + back * (255 - a)) / 255) << shift;
                }
                const int px = left + x;
                const int py = top + y;
                if (px < Width && py < Height)
                    Rgb[static_cast<size_t>(py * Width + px)] = out;
            }
        }
    }

    bool Save(const std::string& path) const {
        const int rowBytes = (Width * 3 + 3) / 4 * 4;
        std::string file = "BM";
        auto dword = [&file](std::uint32_t v) {
            for (int i = 0; i < 4; ++i)
                file += static_cast<char>((v >> (8 * i)) & 0xFF);
        };
        auto word = [&file](std::uint16_t v) {
            file += static_cast<char>(v & 0xFF);
            file += static_cast<char>(v >> 8);
        };
        dword(static_cast<std::uint32_t>(54 + rowBytes * Height));
        dword(0);
        dword(54);
        dword(40);
        dword(static_cast<std::uint32_t>(Width));
        dword(static_cast<std::uint32_t>(Height));
        word(1);
        word(24);
        for (int i = 0; i < 6; ++i)
            dword(0);
        for (int y = Height - 1; y >= 0; --y) {
            std::string row(static_cast<size_t>(rowBytes), '\0');
            for (int x = 0; x < Width; ++x) {
                const std::uint32_t p = Rgb[static_cast<size_t>(y * Width + x)];
                row[static_cast<size_t>(x * 3)] = static_cast<char>(p & 0xFF);
                row[static_cast<size_t>(x * 3 + 1)] = static_cast<char>((p >> 8) & 0xFF);
                row[static_cast<size_t>(x * 3 + 2)] = static_cast<char>((p >> 16) & 0xFF);
            }
            file += row;
        }
        std::ofstream out(path, std::ios::binary);
        out << file;
        return out.good();
    }
};

// Every action and row image at 16, 20 and 24 pixels, on a light and on a
// dark background, then the program icon at each of its sizes.
TSheet Preview() {
    const int sizes[] = {16, 20, 24};
    const int cell = (24 + kMargin) * kZoom;
    const int columns = kActionImageCount + 1 + kRowImageCount;
    TSheet sheet(columns * cell, (6 + 1) * cell + (48 + kMargin) * kZoom);
    int top = 0;
    for (const std::uint32_t background : {0xF0F0F0u, 0x303030u}) {
        for (const int size : sizes) {
            for (int i = 0; i < kActionImageCount; ++i)
                sheet.Put(PaintActionImage(static_cast<TActionImage>(i), size), i * cell, top, kZoom,
                          background);
            for (int i = 0; i < kRowImageCount; ++i)
                sheet.Put(PaintRowImage(static_cast<TRowImage>(i), size), (kActionImageCount + 1 + i) * cell,
                          top, kZoom, background);
            top += cell;
        }
    }
    top += cell / 2;
    int left = 0;
    for (const int size : kProgramIconSizes) {
        sheet.Put(PaintProgramIcon(size), left, top, kZoom, 0xF0F0F0);
        left += (size + kMargin) * kZoom;
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: trelvane_imagegen ICON_FILE [PREVIEW_BMP]\n");
        return 2;
    }
    std::ofstream icon(argv[1], std::ios::binary);
    icon << ProgramIconFile();
    if (!icon.good()) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    if (argc > 2 && !Preview().Save(argv[2])) {
        std::fprintf(stderr, "could not write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
