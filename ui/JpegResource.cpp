#include "ui/JpegResource.h"

#include <objidl.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstring>
#include <memory>

namespace {
const wchar_t kPictureType[] = L"ImageJPG";  // resource type names compare case-blind

struct ComRelease {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T>
using ComOwner = std::unique_ptr<T, ComRelease>;

// A movable copy of the resource's bytes: the stream reads from global memory that it does
// not own, so the memory is freed after the stream is released (declaration order).
UniqueGlobalMemory CopyResource(HMODULE module, int id) {
  const HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), kPictureType);
  if (!info) return UniqueGlobalMemory();
  const HGLOBAL loaded = ::LoadResource(module, info);
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  const DWORD size = ::SizeofResource(module, info);
  if (!bytes || size == 0) return UniqueGlobalMemory();
  UniqueGlobalMemory memory(::GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size));
  if (memory) std::memcpy(memory.get(), bytes, size);
  return memory;
}

ComOwner<IPicture> DecodePicture(HGLOBAL memory) {
  IStream* rawStream = nullptr;
  if (FAILED(::CreateStreamOnHGlobal(memory, FALSE, &rawStream)) || !rawStream) {
    return ComOwner<IPicture>();
  }
  const ComOwner<IStream> stream(rawStream);
  IPicture* picture = nullptr;
  // Only whether a picture came back matters; a size of 0 reads the whole stream.
  ::OleLoadPicture(stream.get(), 0, FALSE, IID_IPicture, reinterpret_cast<void**>(&picture));
  return ComOwner<IPicture>(picture);
}
}  // namespace

UniqueBitmap LoadJpegResource(HMODULE module, int id, int width, int height) {
  if (!module) module = ::GetModuleHandleW(nullptr);
  const UniqueGlobalMemory memory = CopyResource(module, id);
  if (!memory) return UniqueBitmap();
  const ComOwner<IPicture> picture = DecodePicture(memory.get());
  if (!picture) return UniqueBitmap();

  SHORT type = PICTYPE_NONE;
  OLE_HANDLE handle = 0;
  if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP ||
      FAILED(picture->get_Handle(&handle)) || handle == 0) {
    return UniqueBitmap();
  }
  // OLE hands GDI handles over as 32-bit values; they widen by sign extension.
  const HBITMAP decoded = static_cast<HBITMAP>(LongToHandle(static_cast<LONG>(handle)));
  // The copy is a new bitmap of its own; the decoded one goes with the picture.
  return UniqueBitmap(
      static_cast<HBITMAP>(::CopyImage(decoded, IMAGE_BITMAP, width, height, 0)));
}
