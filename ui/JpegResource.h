#pragma once
// Decodes a JPEG carried as a resource of type "ImageJPG" into a bitmap of a given size.
#include <windows.h>

#include "base/UniqueHandle.h"

// The one GDI object the program owns is the picture's bitmap.
struct BitmapTraits {
  using Type = HBITMAP;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::DeleteObject(h); }
};
using UniqueBitmap = UniqueHandle<BitmapTraits>;

// The picture `id` of `module` (null: the executable), stretched to width x height pixels.
// Empty when the resource is missing or not a picture, or when any step of decoding or scaling
// fails; nothing else is left allocated then.
UniqueBitmap LoadJpegResource(HMODULE module, int id, int width, int height);
