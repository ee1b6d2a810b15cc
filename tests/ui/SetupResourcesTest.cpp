// The resources compiled into the built Setup.exe, read back byte by byte: a changed resource
// script fails here. The picture and the icon are checked against whatever files res/ holds,
// for the properties the program relies on, so a publisher may replace them.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/ui/UiTestHelpers.h"
#include "ui/JpegResource.h"

namespace {
constexpr WORD kDutch = MAKELANGID(LANG_DUTCH, SUBLANG_DUTCH);  // 0x0413

using Bytes = std::vector<uint8_t>;

Bytes ResourceBytes(HMODULE module, const wchar_t* type, int id, WORD language) {
  const HRSRC info = ::FindResourceExW(module, type, MAKEINTRESOURCEW(id), language);
  if (!info) return Bytes();
  const auto* data = static_cast<const uint8_t*>(::LockResource(::LoadResource(module, info)));
  return data ? Bytes(data, data + ::SizeofResource(module, info)) : Bytes();
}

// Reads the little-endian fields of a resource in order.
class Reader {
 public:
  explicit Reader(const Bytes& bytes) : bytes_(bytes) {}
  uint16_t Word() { return Take<uint16_t>(); }
  uint32_t Dword() { return Take<uint32_t>(); }
  int16_t Short() { return Take<int16_t>(); }
  uint8_t Byte() { return Take<uint8_t>(); }
  // A zero-terminated UTF-16 text.
  std::wstring Text() {
    std::wstring text;
    for (wchar_t c = Word(); c != 0 && ok_; c = Word()) text += c;
    return text;
  }
  // A name or ordinal field of a dialog template: 0xFFFF then the ordinal, or a text.
  std::wstring NameOrOrdinal() {
    if (Peek() == 0xFFFF) {
      Word();
      return L"#" + std::to_wstring(Word());
    }
    return Text();
  }
  void AlignToDword() { offset_ = (offset_ + 3) & ~size_t{3}; }
  bool ok() const { return ok_; }

 private:
  uint16_t Peek() {
    uint16_t value = 0;
    if (offset_ + 2 <= bytes_.size()) std::memcpy(&value, &bytes_[offset_], 2);
    return value;
  }
  template <typename T>
  T Take() {
    T value{};
    if (offset_ + sizeof(T) > bytes_.size()) {
      ok_ = false;
      return value;
    }
    std::memcpy(&value, &bytes_[offset_], sizeof(T));
    offset_ += sizeof(T);
    return value;
  }
  const Bytes& bytes_;
  size_t offset_ = 0;
  bool ok_ = true;
};

struct JpegFrame {
  bool baseline = false;
  bool progressive = false;
  int width = 0;
  int height = 0;
};

// Walks the JPEG's marker segments up to the start of the scan.
JpegFrame ReadJpegFrame(const Bytes& jpeg) {
  JpegFrame frame;
  if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return frame;
  size_t at = 2;
  while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
    const uint8_t marker = jpeg[at + 1];
    const size_t length = (jpeg[at + 2] << 8) | jpeg[at + 3];
    const uint8_t* body = &jpeg[at + 4];
    if (at + 2 + length > jpeg.size() || marker == 0xDA) break;
    if ((marker == 0xC0 || marker == 0xC2) && length >= 8) {
      frame.baseline = marker == 0xC0;
      frame.progressive = marker == 0xC2;
      frame.height = (body[1] << 8) | body[2];
      frame.width = (body[3] << 8) | body[4];
    }
    at += 2 + length;
  }
  return frame;
}

Bytes FileBytes(const char* unixPath) {
  std::ifstream file(WinePath(unixPath).c_str(), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class SetupResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(exe_.get(), nullptr) << SETUP_EXE; }
  HMODULE exe() const { return exe_.get(); }

 private:
  LoadedModule exe_{SETUP_EXE, true};
};
}  // namespace

TEST_F(SetupResourcesTest, DialogTemplateHasTheWindowAndItsTwoControls) {
  const Bytes bytes = ResourceBytes(exe(), RT_DIALOG, 138, kDutch);
  ASSERT_FALSE(bytes.empty());
  Reader dialog(bytes);
  EXPECT_EQ(dialog.Word(), 1);       // extended template
  EXPECT_EQ(dialog.Word(), 0xFFFF);
  dialog.Dword();                    // help id
  EXPECT_EQ(dialog.Dword(), 0u);     // extended style
  EXPECT_EQ(dialog.Dword(), 0x90800A40u);
  EXPECT_EQ(dialog.Word(), 2);       // controls
  EXPECT_EQ(dialog.Short(), 0);
  EXPECT_EQ(dialog.Short(), 0);
  EXPECT_EQ(dialog.Short(), 310);
  EXPECT_EQ(dialog.Short(), 166);
  EXPECT_EQ(dialog.NameOrOrdinal(), L"");  // no menu
  EXPECT_EQ(dialog.NameOrOrdinal(), L"");  // the standard dialog class
  EXPECT_EQ(dialog.Text(), L"");           // caption
  EXPECT_EQ(dialog.Word(), 8);             // point size
  dialog.Word();                           // weight
  dialog.Byte();                           // italic
  dialog.Byte();                           // character set
  EXPECT_EQ(dialog.Text(), L"MS Sans Serif");

  struct Control {
    uint32_t style;
    int16_t x, y, cx, cy;
    uint32_t id;
    const wchar_t* windowClass;
    const wchar_t* classOrdinal;  // how resource compilers may write a standard class instead
    const wchar_t* text;
  };
  const Control expected[] = {
      {0x5000000E, 0, 0, 20, 20, 1026, L"Static", L"#130", L""},
      {0x50800001, 2, 154, 306, 10, 1000, L"msctls_progress32", L"", L"Progress1"},
  };
  for (const Control& control : expected) {
    SCOPED_TRACE(control.id);
    dialog.AlignToDword();
    dialog.Dword();  // help id
    EXPECT_EQ(dialog.Dword(), 0u);
    EXPECT_EQ(dialog.Dword(), control.style);
    EXPECT_EQ(dialog.Short(), control.x);
    EXPECT_EQ(dialog.Short(), control.y);
    EXPECT_EQ(dialog.Short(), control.cx);
    EXPECT_EQ(dialog.Short(), control.cy);
    EXPECT_EQ(dialog.Dword(), control.id);
    const std::wstring windowClass = dialog.NameOrOrdinal();
    EXPECT_TRUE(_wcsicmp(windowClass.c_str(), control.windowClass) == 0 ||
                windowClass == control.classOrdinal);
    EXPECT_EQ(dialog.Text(), control.text);
    EXPECT_EQ(dialog.Word(), 0);  // no creation data
  }
  EXPECT_TRUE(dialog.ok());
}

TEST_F(SetupResourcesTest, PictureIsTheBaselineJpegOfResThatTheLoaderDecodes) {
  // The type is found by its name in any case, as the window looks it up.
  const Bytes picture = ResourceBytes(exe(), L"ImageJPG", 139, kDutch);
  ASSERT_FALSE(picture.empty());
  EXPECT_EQ(picture, FileBytes(PICTURE_FILE));
  const JpegFrame frame = ReadJpegFrame(FileBytes(PICTURE_FILE));
  EXPECT_TRUE(frame.baseline);
  EXPECT_FALSE(frame.progressive);
  ASSERT_GT(frame.width, 0);
  ASSERT_GT(frame.height, 0);

  // The window's own loader, at the picture's size in pixels as the file gives it.
  const UniqueBitmap decoded = LoadJpegResource(exe(), 139, frame.width, frame.height);
  ASSERT_TRUE(decoded);
  BITMAP info = {};
  ASSERT_NE(::GetObjectW(decoded.get(), sizeof(info), &info), 0);
  EXPECT_EQ(info.bmWidth, frame.width);
  EXPECT_EQ(info.bmHeight, frame.height);
}

namespace {
// The images of an .ico file's directory, in its order.
struct IconImage {
  uint8_t width, height, colours;
  uint16_t planes, bitCount;
  Bytes bytes;
};

std::vector<IconImage> IconFileImages(const Bytes& file) {
  std::vector<IconImage> images;
  Reader directory(file);
  if (directory.Word() != 0 || directory.Word() != 1) return images;
  const int count = directory.Word();
  for (int i = 0; i < count && directory.ok(); ++i) {
    IconImage image;
    image.width = directory.Byte();
    image.height = directory.Byte();
    image.colours = directory.Byte();
    directory.Byte();
    image.planes = directory.Word();
    image.bitCount = directory.Word();
    const uint32_t size = directory.Dword();
    const uint32_t offset = directory.Dword();
    if (offset > file.size() || size > file.size() - offset) return {};
    image.bytes.assign(file.begin() + offset, file.begin() + offset + size);
    images.push_back(image);
  }
  return directory.ok() ? images : std::vector<IconImage>();
}
}  // namespace

TEST_F(SetupResourcesTest, IconGroupHoldsEveryImageOfTheIconFile) {
  const std::vector<IconImage> expected = IconFileImages(FileBytes(ICON_FILE));
  ASSERT_FALSE(expected.empty()) << ICON_FILE << " is not an icon file";
  const Bytes group = ResourceBytes(exe(), RT_GROUP_ICON, 128, kDutch);
  ASSERT_FALSE(group.empty());
  Reader directory(group);
  EXPECT_EQ(directory.Word(), 0);
  EXPECT_EQ(directory.Word(), 1);  // icons
  ASSERT_EQ(directory.Word(), expected.size());
  for (const IconImage& image : expected) {
    SCOPED_TRACE(std::to_string(image.width) + "x" + std::to_string(image.height) + "x" +
                 std::to_string(image.bitCount));
    EXPECT_EQ(directory.Byte(), image.width);
    EXPECT_EQ(directory.Byte(), image.height);
    EXPECT_EQ(directory.Byte(), image.colours);
    directory.Byte();
    EXPECT_EQ(directory.Word(), image.planes);
    EXPECT_EQ(directory.Word(), image.bitCount);
    EXPECT_EQ(directory.Dword(), image.bytes.size());
    const int iconId = directory.Word();
    const HRSRC info = ::FindResourceW(exe(), MAKEINTRESOURCEW(iconId), RT_ICON);
    ASSERT_NE(info, nullptr);
    const auto* data = static_cast<const uint8_t*>(::LockResource(::LoadResource(exe(), info)));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(Bytes(data, data + ::SizeofResource(exe(), info)), image.bytes);
  }
  EXPECT_TRUE(directory.ok());
}

TEST_F(SetupResourcesTest, VersionRecordNamesSetup) {
  Bytes record = ResourceBytes(exe(), RT_VERSION, 1, kDutch);
  ASSERT_FALSE(record.empty());
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\", &value, &length));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  const struct {
    const wchar_t* key;
    const wchar_t* text;
  } strings[] = {
      {L"FileDescription", L"Setup"}, {L"InternalName", L"Setup"},
      {L"OriginalFilename", L"Setup.exe"}, {L"ProductName", L"Setup"},
      {L"Comments", L""}, {L"CompanyName", L""}, {L"FileVersion", L""},
      {L"LegalCopyright", L""}, {L"LegalTrademarks", L""}, {L"PrivateBuild", L""},
      {L"ProductVersion", L""}, {L"SpecialBuild", L""},
  };
  for (const auto& entry : strings) {
    SCOPED_TRACE(std::string(entry.key, entry.key + wcslen(entry.key)));
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + entry.key;
    value = nullptr;
    length = 0;
    ASSERT_TRUE(::VerQueryValueW(record.data(), path.c_str(), &value, &length));
    const auto* text = static_cast<const wchar_t*>(value);
    EXPECT_EQ(std::wstring(text, wcsnlen(text, length)), entry.text);
  }

  ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(static_cast<const WORD*>(value)[0], 0x0409);
  EXPECT_EQ(static_cast<const WORD*>(value)[1], 0x04B0);
}

TEST_F(SetupResourcesTest, ManifestAsksForCommonControlsSixAsInvoker) {
  const HRSRC info = ::FindResourceW(exe(), MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(info, nullptr);
  const auto* data = static_cast<const char*>(::LockResource(::LoadResource(exe(), info)));
  ASSERT_NE(data, nullptr);
  const std::string manifest(data, ::SizeofResource(exe(), info));
  // The build's own processor: x86 for the product, amd64 for the 64-bit test build.
#ifdef _WIN64
  const std::string processor = "amd64", dependencyProcessor = "amd64";
#else
  const std::string processor = "x86", dependencyProcessor = "X86";
#endif
  const size_t dependencyStart = manifest.find("<dependentAssembly>");
  const size_t dependencyEnd = manifest.find("</dependentAssembly>");
  ASSERT_NE(dependencyStart, std::string::npos);
  ASSERT_NE(dependencyEnd, std::string::npos);
  const std::string own = manifest.substr(0, dependencyStart);
  const std::string dependency = manifest.substr(dependencyStart, dependencyEnd - dependencyStart);
  const struct {
    const std::string& part;
    std::string text;
  } expected[] = {
      {own, "type=\"win32\""},
      {own, "version=\"4.0.0.0\""},
      {own, "processorArchitecture=\"" + processor + "\""},
      {own, "level=\"asInvoker\" uiAccess=\"false\""},
      {own, "<supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"/>"},  // Vista
      {own, "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>"},  // 7
      {own, "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>"},  // 8
      {own, "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>"},  // 8.1
      {own, "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"},  // 10 and 11
      {dependency, "type=\"win32\""},
      {dependency, "name=\"Microsoft.Windows.Common-Controls\""},
      {dependency, "version=\"6.0.0.0\""},
      {dependency, "processorArchitecture=\"" + dependencyProcessor + "\""},
      {dependency, "publicKeyToken=\"6595b64144ccf1df\""},
      {dependency, "language=\"*\""},
  };
  for (const auto& entry : expected) {
    EXPECT_NE(entry.part.find(entry.text), std::string::npos) << entry.text;
  }
}
