// Discovery of the plug-ins from the registry, the list's order and ids, the open-file
// filter and the choice of a plug-in by extension, its Ext and its MoreExt.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/viewer_document.h"
#include "tests/host/host_fixture.h"
#include "tests/support/test_env.h"
#include "tools/support/message_capture.h"
#include "ui/registry.h"

namespace lmx::test {
namespace {

using Strings = std::vector<std::wstring>;

Strings Names(const PlugInList& list) {
  Strings names;
  for (PlugInEntry* e = list.First(); e; e = PlugInList::NextOf(e)) names.emplace_back(e->name);
  return names;
}

Strings FilterStrings(const PlugInList& list) {
  Strings strings;
  const wchar_t* p = list.openFilter;
  while (*p) {
    strings.emplace_back(p);
    p += strings.back().size() + 1;
  }
  return strings;
}

PlugInEntry* NamedEntry(const wchar_t* name, const wchar_t* ext, const wchar_t* shortName) {
  auto* entry = new PlugInEntry(nullptr);
  AssignString(&entry->name, name);
  AssignString(&entry->ext, ext);
  AssignString(&entry->shortName, shortName);
  return entry;
}

void WriteValue(HKEY key, const wchar_t* name, const std::wstring& value) {
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

TEST_F(HostTest, TheFourDeliveredPlugInsAreFoundInNameOrderWithTheirFilter) {
  for (const auto& path : DeliveredPlugIns()) ASSERT_TRUE(RegisterLibrary(path, PlugInsKey()));
  MessageCapture boxes;
  ViewerDocument document;
  document.DiscoverPlugIns(PlugInsKey());
  EXPECT_TRUE(boxes.Messages().empty());

  PlugInList& list = *document.plugIns();
  ASSERT_EQ(list.Count(), 4u);
  uint32_t id = kFirstPlugInId;
  Strings shortNames;
  for (PlugInEntry* e = list.First(); e; e = PlugInList::NextOf(e)) {
    EXPECT_EQ(e->pluginId, id++);
    EXPECT_TRUE(e->FullyBound());
    EXPECT_NE(e->icon, nullptr);
    EXPECT_EQ(e->Version(), 0x10000u);
    shortNames.emplace_back(e->shortName);
  }
  EXPECT_EQ(shortNames, (Strings{L"Bitmap", L"Gif", L"PCX", L"Tiff"}));

  EXPECT_EQ(FilterStrings(list),
            (Strings{L"All Formats (*.*)", L"*.bmp;*.gif;*.pcx;*.tif", L"Bitmap (*.bmp)", L"*.bmp", L"Gif (*.gif)",
                     L"*.gif", L"PCX (*.pcx)", L"*.pcx", L"Tiff (*.tif)", L"*.tif"}));
  EXPECT_EQ(list.OpenFilterLength(), 119u);

  // One format link per plug-in, made by the discovery, in short-name order.
  Strings links;
  for (ObjListNode* n = document.formatLinks()->Head(); n; n = n->Next()) {
    auto* link = static_cast<FormatLinkEntry*>(n);
    EXPECT_EQ(link->linked, 1u);
    links.emplace_back(link->ext);
  }
  EXPECT_EQ(links, (Strings{L"bmp", L"gif", L"pcx", L"tif"}));
  ASSERT_NE(document.FindFormatLink(L"TIF"), nullptr);
  EXPECT_EQ(std::wstring(document.FindFormatLink(L"TIF")->shortName), L"Tiff");

  // Extensions: case does not matter, three characters count, a missing dot finds nothing.
  EXPECT_EQ(std::wstring(document.PlugInForPath(L"\\a\\photo.BMP")->shortName), L"Bitmap");
  EXPECT_EQ(std::wstring(document.PlugInForPath(L"scan.tiff")->shortName), L"Tiff");
  EXPECT_EQ(document.PlugInForPath(L"image.jpeg"), nullptr);
  EXPECT_EQ(list.FindByExt(L""), nullptr);
  EXPECT_EQ(list.FindByPlugInId(1003)->pluginId, 1003u);
  EXPECT_EQ(list.FindByPlugInId(1501), nullptr);

  // The walk hands out short names with ids, then nothing; a new walk starts again.
  Strings walked;
  std::vector<uint32_t> ids;
  int32_t cursor = -1;
  const wchar_t* text = nullptr;
  uint32_t pluginId = 0;
  while (list.Walk(&cursor, true, &text, &pluginId)) {
    walked.emplace_back(text);
    ids.push_back(pluginId);
  }
  EXPECT_EQ(walked, shortNames);
  EXPECT_EQ(ids, (std::vector<uint32_t>{1000, 1001, 1002, 1003}));
  cursor = -1;
  ASSERT_TRUE(list.Walk(&cursor, false, &text, &pluginId));
  EXPECT_EQ(std::wstring(text), L"BMP - Bitmap File Format");
}

TEST_F(HostTest, APlugInWithoutFileInfoIsRejectedAndItsKeysRemoved) {
  ASSERT_TRUE(RegisterLibrary(DeliveredPlugIns()[0], PlugInsKey()));
  ASSERT_TRUE(RegisterLibrary(FakePlugIn(L"fake_noinfo"), PlugInsKey()));
  HKEY link = OpenOrCreateKey(FormatLinksKey(), L"xyz");
  CloseKey(link);
  ASSERT_TRUE(HasKey(PlugInsKey(), L"xyz"));

  MessageCapture boxes;
  ViewerDocument document;
  document.DiscoverPlugIns(PlugInsKey());
  ASSERT_EQ(boxes.Messages().size(), 1u);
  EXPECT_EQ(boxes.Messages()[0].caption, L"Error...");
  EXPECT_EQ(boxes.Messages()[0].text, L"Can't find Plug-In.");
  EXPECT_EQ(Names(*document.plugIns()).size(), 1u);
  EXPECT_FALSE(HasKey(PlugInsKey(), L"xyz"));
  EXPECT_FALSE(HasKey(FormatLinksKey(), L"xyz"));
  EXPECT_TRUE(HasKey(PlugInsKey(), L"bmp"));
  EXPECT_EQ(document.FindFormatLink(L"xyz"), nullptr);
}

TEST_F(HostTest, DuplicatesAndEmptyLibraryPathsDoNotJoinAndAreReadOnce) {
  // Registered: the BMP plug-in, a second key naming the same library, two plug-ins sharing
  // one display name, a key without a library path, and a key whose library is missing.
  ASSERT_TRUE(RegisterLibrary(DeliveredPlugIns()[0], PlugInsKey()));
  ASSERT_TRUE(RegisterLibrary(FakePlugIn(L"fake_twin_a"), PlugInsKey()));
  ASSERT_TRUE(RegisterLibrary(FakePlugIn(L"fake_twin_b"), PlugInsKey()));
  HKEY copy = OpenOrCreateKey(PlugInsKey(), L"bmq");
  WriteValue(copy, L"Component", DeliveredPlugIns()[0]);
  WriteValue(copy, L"Ext", L"bmq");
  WriteValue(copy, L"Name", L"Second Bitmap");
  CloseKey(copy);
  HKEY empty = OpenOrCreateKey(PlugInsKey(), L"emp");
  WriteValue(empty, L"Component", L"");
  WriteValue(empty, L"Ext", L"emp");
  CloseKey(empty);
  // A key whose library is missing: the discovery removes it.
  HKEY gone = OpenOrCreateKey(PlugInsKey(), L"aaa");
  WriteValue(gone, L"Component", L"C:\\nowhere\\missing.dll");
  WriteValue(gone, L"Ext", L"aaa");
  WriteValue(gone, L"Name", L"Missing");
  CloseKey(gone);

  MessageCapture boxes;
  ViewerDocument document;
  document.DiscoverPlugIns(PlugInsKey());

  // One warning for the library listed twice, one error for the missing library.
  Strings captions;
  for (const auto& m : boxes.Messages()) captions.push_back(m.caption + L": " + m.text);
  ASSERT_EQ(captions.size(), 2u);
  EXPECT_EQ(captions[0], L"Error...: Can't find Plug-In.");
  EXPECT_EQ(boxes.Messages()[1].caption, L"Warning...");
  EXPECT_FALSE(boxes.Messages()[1].text.empty());

  Strings names = Names(*document.plugIns());
  EXPECT_EQ(names, (Strings{L"BMP - Bitmap File Format", L"Twin"}));
  EXPECT_EQ(document.plugIns()->FindByName(L"Twin")->ext, std::wstring(L"qqa"));
  // Refused duplicates keep their keys; the key without a library is kept; the missing
  // library's key is gone.
  EXPECT_TRUE(HasKey(PlugInsKey(), L"bmq"));
  EXPECT_TRUE(HasKey(PlugInsKey(), L"qqb"));
  EXPECT_TRUE(HasKey(PlugInsKey(), L"emp"));
  EXPECT_FALSE(HasKey(PlugInsKey(), L"aaa"));
  EXPECT_EQ(document.plugIns()->nextPluginId, kFirstPlugInId + 4);  // four adds were tried
}

TEST_F(HostTest, AnAddedLibraryThatCannotRegisterItselfIsRefused) {
  ASSERT_TRUE(RegisterLibrary(DeliveredPlugIns()[0], PlugInsKey()));
  ViewerDocument document;
  document.DiscoverPlugIns(PlugInsKey());
  MessageCapture boxes;
  EXPECT_EQ(document.AddPlugIn(new PlugInEntry(PlugInsKey(), FakePlugIn(L"fake_noreg").c_str()), true), 0);
  ASSERT_EQ(boxes.Messages().size(), 1u);
  EXPECT_EQ(boxes.Messages()[0].text, L"Can't find Plug-In.");
  EXPECT_EQ(document.plugIns()->Count(), 1u);

  // A library that registers joins under the name it wrote, with the next id.
  boxes.Clear();
  EXPECT_EQ(document.AddPlugIn(new PlugInEntry(PlugInsKey(), FakePlugIn(L"fake_jpe").c_str()), true), 1);
  EXPECT_TRUE(boxes.Messages().empty());
  PlugInEntry* added = document.plugIns()->FindByName(L"JPEG Pictures");
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->pluginId, kFirstPlugInId + 2);
  EXPECT_EQ(document.PlugInForPath(L"photo.jpeg"), added);  // jpeg is looked up as jpe
}

// A format with more extensions than its Ext: a key as a plug-in writes it, with MoreExt,
// naming the BMP plug-in's library, so that files of each extension open through it.
TEST_F(HostTest, MoreExtensionsOpenThroughTheirPlugInAndJoinTheFilter) {
  for (size_t i = 1; i < DeliveredPlugIns().size(); ++i) ASSERT_TRUE(RegisterLibrary(DeliveredPlugIns()[i], PlugInsKey()));
  HKEY jpeg = OpenOrCreateKey(PlugInsKey(), L"jpg");
  WriteValue(jpeg, L"Component", DeliveredPlugIns()[0]);
  WriteValue(jpeg, L"Ext", L"jpg");
  WriteValue(jpeg, L"Name", L"JPEG Pictures");
  WriteValue(jpeg, L"ShortName", L"Jpeg");
  WriteValue(jpeg, L"RegFileLink", L"jpg");
  WriteValue(jpeg, L"MoreExt", L"jpeg;jpe");
  CloseKey(jpeg);
  // A plug-in that names other plug-ins' extensions in its MoreExt, and sorts before them.
  ASSERT_TRUE(RegisterLibrary(FakePlugIn(L"fake_twin_a"), PlugInsKey()));
  HKEY other = OpenOrCreateKey(PlugInsKey(), L"qqa");
  WriteValue(other, L"Name", L"Another Format");
  WriteValue(other, L"MoreExt", L"tiff;gif;qqz");
  CloseKey(other);

  MessageCapture boxes;
  ViewerDocument document;
  document.DiscoverPlugIns(PlugInsKey());
  ASSERT_EQ(document.plugIns()->Count(), 5u);
  EXPECT_EQ(FilterStrings(*document.plugIns()),
            (Strings{L"All Formats (*.*)", L"*.qqa;*.tiff;*.qqz;*.gif;*.jpg;*.jpeg;*.jpe;*.pcx;*.tif",
                     L"TwinA (*.qqa;*.tiff;*.gif;*.qqz)", L"*.qqa;*.tiff;*.gif;*.qqz", L"Gif (*.gif)", L"*.gif",
                     L"Jpeg (*.jpg;*.jpeg;*.jpe)", L"*.jpg;*.jpeg;*.jpe", L"PCX (*.pcx)", L"*.pcx", L"Tiff (*.tif)",
                     L"*.tif"}));

  // Each file's first three letters against every Ext first, then against MoreExt.
  const struct {
    const wchar_t* path;
    const wchar_t* shortName;
  } lookups[] = {{L"a.jpg", L"Jpeg"},     {L"a.jpeg", L"Jpeg"},  {L"a.jpe", L"Jpeg"}, {L"a.JPG", L"Jpeg"},
                 {L"b.JPEG", L"Jpeg"},    {L"scan.tiff", L"Tiff"}, {L"c.gif", L"Gif"}, {L"d.qqz", L"TwinA"},
                 {L"e.qqzz", L"TwinA"}};
  for (const auto& l : lookups) {
    PlugInEntry* found = document.PlugInForPath(l.path);
    ASSERT_NE(found, nullptr) << l.path;
    EXPECT_EQ(std::wstring(found->shortName), l.shortName) << l.path;
  }
  EXPECT_EQ(document.PlugInForPath(L"f.bmp"), nullptr);

  // The files themselves open through the plug-in of their extension.
  const std::vector<uint8_t> picture = ReadWholeFile(CorpusDir() + L"bmpsuite\\g\\rgb24.bmp");
  for (const wchar_t* extension : {L".jpg", L".jpeg", L".jpe", L".JPG"}) {
    TempFile file(picture, extension);
    ASSERT_EQ(document.OpenFile(nullptr, file.Path()), 1) << extension;
    EXPECT_EQ(std::wstring(document.CurrentFile()->plugIn->shortName), L"Jpeg");
    EXPECT_EQ(GfxImage_Size(document.CurrentFile()->image), static_cast<DWORD>(MAKELONG(127, 64)));
    document.CloseFile(nullptr);
  }
  EXPECT_TRUE(boxes.Messages().empty());
}

// The seven plug-ins as the device has them: .webp files, in either case, go to the WebP
// plug-in through its MoreExt, and every other plug-in keeps its own files.
TEST_F(HostTest, WebpFilesOpenThroughTheWebpPlugInAndNoOtherFilesDo) {
  std::vector<std::wstring> libraries = DeliveredPlugIns();
  for (const wchar_t* name : {L"zlx_jpg.dll", L"zlx_png.dll", L"zlx_webp.dll"}) libraries.push_back(BinDir() + name);
  for (const std::wstring& path : libraries) ASSERT_TRUE(RegisterLibrary(path, PlugInsKey()));
  MessageCapture boxes;
  ViewerDocument document;
  document.DiscoverPlugIns(PlugInsKey());
  ASSERT_EQ(document.plugIns()->Count(), 7u);
  const Strings filter = FilterStrings(*document.plugIns());
  EXPECT_EQ(filter[1], L"*.bmp;*.gif;*.jpg;*.jpeg;*.jpe;*.pcx;*.png;*.tif;*.webp;*.web");
  EXPECT_EQ(Strings(filter.end() - 2, filter.end()), (Strings{L"WebP (*.webp;*.web)", L"*.webp;*.web"}));

  const struct {
    const wchar_t* path;
    const wchar_t* shortName;
  } lookups[] = {{L"a.webp", L"WebP"}, {L"a.WEBP", L"WebP"}, {L"a.bmp", L"Bitmap"}, {L"a.gif", L"Gif"},
                 {L"a.pcx", L"PCX"},   {L"a.tiff", L"Tiff"}, {L"a.jpeg", L"JPEG"},  {L"a.png", L"PNG"}};
  for (const auto& l : lookups) {
    PlugInEntry* found = document.PlugInForPath(l.path);
    ASSERT_NE(found, nullptr) << l.path;
    EXPECT_EQ(std::wstring(found->shortName), l.shortName) << l.path;
  }

  const std::vector<uint8_t> picture = ReadWholeFile(std::wstring(LMX_WEBP_SEEDS) + L"alpha_lossy.webp");
  for (const wchar_t* extension : {L".webp", L".WEBP"}) {
    TempFile file(picture, extension);
    ASSERT_EQ(document.OpenFile(nullptr, file.Path()), 1) << extension;
    EXPECT_EQ(std::wstring(document.CurrentFile()->plugIn->shortName), L"WebP");
    EXPECT_EQ(GfxImage_Size(document.CurrentFile()->image), static_cast<DWORD>(MAKELONG(40, 30)));
    document.CloseFile(nullptr);
  }
  EXPECT_TRUE(boxes.Messages().empty());
}

// MoreExt read as the other values are: blanks and empty items, repeats, items that are no
// extension and a value past the host's bound are left out.
TEST_F(HostTest, MoreExtKeepsOnlyUsableExtensions) {
  const struct {
    std::wstring value;
    const wchar_t* patterns;
  } cases[] = {
      {L"jpeg;jpe", L"*.jpg;*.jpeg;*.jpe"},
      {L" JPEG ; ;jpe;JPG;jpeg;", L"*.jpg;*.JPEG;*.jpe"},
      {L"*.png;.gif;j p;toolongext;jfif", L"*.jpg;*.jfif"},
      {L"jpeg;" + std::wstring(600, L'x'), L"*.jpg"},
  };
  for (const auto& c : cases) {
    ScratchKey key;
    WriteValue(key.Get(), L"Ext", L"jpg");
    WriteValue(key.Get(), L"MoreExt", c.value);
    PlugInEntry entry(nullptr);
    entry.ReadValues(key.Get());
    EXPECT_EQ(entry.Patterns(), c.patterns) << c.value.substr(0, 40);
  }
  PlugInEntry without(nullptr);
  AssignString(&without.ext, L"jpg");
  EXPECT_EQ(without.Patterns(), L"*.jpg");
  EXPECT_FALSE(without.MoreExtMatches(L"jpe"));
}

TEST(PlugInListTest, EntriesAreOrderedByNameAndDuplicateNamesRefused) {
  PlugInList list;
  EXPECT_EQ(FilterStrings(list), (Strings{L"All Formats (*.*)", L"*.*"}));
  ASSERT_TRUE(list.AddEntry(NamedEntry(L"TIFF", L"tif", L"Tiff")));
  ASSERT_TRUE(list.AddEntry(NamedEntry(L"Bitmaps", L"bmp", L"Bitmap")));
  ASSERT_TRUE(list.AddEntry(NamedEntry(L"GIF", L"gif", L"Gif")));
  PlugInEntry* twin = NamedEntry(L"GIF", L"gi2", L"Gif2");
  EXPECT_FALSE(list.AddEntry(twin));
  delete twin;
  EXPECT_EQ(Names(list), (Strings{L"Bitmaps", L"GIF", L"TIFF"}));
  list.BuildOpenFilter();
  EXPECT_EQ(FilterStrings(list)[1], L"*.bmp;*.gif;*.tif");

  // Two plug-ins with one extension: the one whose name sorts first wins.
  ASSERT_TRUE(list.AddEntry(NamedEntry(L"Another Bitmap", L"BMP", L"Other")));
  EXPECT_EQ(std::wstring(list.FindByExt(L"bmp")->name), L"Another Bitmap");
}

TEST(PlugInListTest, TheFilterNeverOverflowsAndKeepsWholePairs) {
  PlugInList list;
  for (int i = 0; i < 40; ++i) {
    wchar_t name[32], ext[8];
    wsprintfW(name, L"Format number %02d", i);
    wsprintfW(ext, L"x%02d", i);
    ASSERT_TRUE(list.AddEntry(NamedEntry(name, ext, name)));
  }
  list.BuildOpenFilter();
  size_t length = list.OpenFilterLength();
  EXPECT_LE(length, kOpenFilterChars);
  Strings strings = FilterStrings(list);
  ASSERT_EQ(strings.size() % 2, 0u);  // pairs only
  EXPECT_EQ(strings[0], L"All Formats (*.*)");
  EXPECT_GT(strings.size(), 4u);
  for (size_t i = 2; i < strings.size(); i += 2) {
    EXPECT_EQ(strings[i].substr(0, 14), L"Format number ");
    EXPECT_EQ(strings[i + 1].substr(0, 3), L"*.x");
  }
  // The whole filter, every terminator included, lies inside the 512 characters.
  size_t counted = 1;
  for (const auto& s : strings) counted += s.size() + 1;
  EXPECT_EQ(counted, length);
}

}  // namespace
}  // namespace lmx::test
