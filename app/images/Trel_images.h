// The program's pictures: the action images of the menus and the toolbar,
// the row images of the list, and the program icon. They are drawn from
// shapes at whatever size the screen needs (16 pixels at 96 pixels per inch,
// 20 at 120, 24 at 144), so each size is sharp and none is a scaled copy.
#pragma once

#include "app/names/Trel_rename.h"
#include "framework/Fw_handles.h"

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

// The action images, in the order of the action list's image indexes.
enum class TActionImage {
    New,
    Undo,
    Redo,
    Cut,
    Copy,
    Paste,
    AddFiles,
    Delete,
    SelectAll,
    FreeEdit,
    MoveUp,
    MoveDown,
    PerformRename,
    Results,
};
constexpr int kActionImageCount = 14;

// The row images: the type of an entry (its image), then its result (its
// state image), in the order of the list's image indexes.
enum class TRowImage {
    RegularFile,
    Directory,
    ResultNone,
    ResultSucceeded,
    ResultFailed,
    ResultSkipped,
};
constexpr int kRowImageCount = 6;

// The sizes the program icon carries.
constexpr int kProgramIconSizes[] = {16, 20, 24, 32, 48};

// A square picture: rows from the top, each pixel 0xAARRGGBB with straight
// (not premultiplied) alpha.
struct TImagePixels {
    int Size = 0;
    std::vector<std::uint32_t> Argb;

    std::uint32_t At(int x, int y) const { return Argb[static_cast<size_t>(y * Size + x)]; }
};

// The pictures, drawn at size by size pixels. An index or a result outside
// the lists raises EInvalidOperation "The picture does not exist.".
TImagePixels PaintActionImage(TActionImage image, int size);
TImagePixels PaintRowImage(TRowImage image, int size);
TImagePixels PaintResultImage(TRenameItemResult result, int size);
TImagePixels PaintProgramIcon(int size);
// A check box, empty or ticked: the state images of a list of choices.
TImagePixels PaintCheckImage(bool ticked, int size);

// The image size for a screen of that many pixels per inch: 16 at 96.
int ImageSizeForPixelsPerInch(int pixelsPerInch);

// An icon of the picture, transparent where the picture is.
TIconHandle CreatePictureIcon(const TImagePixels& pixels);

// Appends the 14 action images (the 6 row images) to an image list, drawn at
// the list's image size. A failure raises EInvalidOperation "The program
// could not create an image.".
void AddActionImages(HIMAGELIST imageList);
void AddRowImages(HIMAGELIST imageList);
// The empty check box, then the ticked one.
void AddCheckImages(HIMAGELIST imageList);
// A 32-bit image list with a mask holding the pictures at size by size
// pixels; the caller destroys it (ImageList_Destroy).
HIMAGELIST CreateActionImageList(int size);
HIMAGELIST CreateRowImageList(int size);

// The program icon as an icon file (.ico) holding every size of
// kProgramIconSizes as a 32-bit image with its mask.
std::string ProgramIconFile();
