#pragma once
// Decodes a JPEG carried as a resource of type "ImageJPG" into a bitmap of a given size.
#include <windows.h>

#include "base/UniqueHandle.h"

// The picture `id` of `module` (null: the executable), stretched to width x height pixels.
// Empty when the resource is missing or not a picture, or when any step of decoding or scaling
// fails; nothing else is left allocated then.
UniqueBitmap LoadJpegResource(HMODULE module, int id, int width, int height);
