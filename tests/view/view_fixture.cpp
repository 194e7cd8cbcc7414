#include "tests/view/view_fixture.h"

#include "tests/support/test_bytes.h"

#include <cstring>

namespace lmx::test {

std::vector<int> ViewTest::commands_;
HMODULE ViewTest::lang_ = nullptr;
HMODULE ViewTest::bmp_ = nullptr;
BoundPlugIn* ViewTest::plugIn_ = nullptr;

namespace {

constexpr wchar_t kTestMainClass[] = L"ViewTestMain";

// What the program's main window does for the view: keep ViewerMainCtrl on its client, and
// take the commands.
LRESULT CALLBACK TestMainProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SIZE:
      if (ViewerMainCtrlWindow() && !ImageView_IsFullScreen()) {
        SetWindowPos(ViewerMainCtrlWindow(), nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam),
                     SWP_SHOWWINDOW | SWP_NOZORDER);
      }
      return 0;
    case WM_COMMAND:
      ViewTest::commands_.push_back(LOWORD(wParam));
      return 0;
    default:
      return DefWindowProcW(window, msg, wParam, lParam);
  }
}

}  // namespace

std::vector<uint8_t> PictureFile(int width, int height) {
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  std::vector<uint8_t> f(54 + stride * height);
  f[0] = 'B';
  f[1] = 'M';
  Put32(f, 2, static_cast<uint32_t>(f.size()));
  Put32(f, 10, 54);
  Put32(f, 14, 40);
  Put32(f, 18, static_cast<uint32_t>(width));
  Put32(f, 22, static_cast<uint32_t>(height));
  Put16(f, 26, 1);
  Put16(f, 28, 24);
  Put32(f, 34, static_cast<uint32_t>(stride * height));
  for (int y = 0; y < height; ++y) {
    uint8_t* row = &f[54 + stride * (height - 1 - y)];
    for (int x = 0; x < width; ++x) {
      const COLORREF c = PictureColour(x, y);
      row[3 * x] = GetBValue(c);
      row[3 * x + 1] = GetGValue(c);
      row[3 * x + 2] = GetRValue(c);
    }
  }
  return f;
}

void ViewTest::SetUpTestSuite() {
  lang_ = LoadBuilt(L"LumivexLangComp.dll");
  SetResourceModule(lang_);
  SetInstanceModule(GetModuleHandleW(nullptr));
  bmp_ = LoadBuilt(L"zlx_bmp.dll");
  plugIn_ = new BoundPlugIn(reinterpret_cast<BOOL (*)(const wchar_t*, DWORD*)>(GetProcAddress(bmp_, "LMX_GetFileInfo")),
                            reinterpret_cast<void* (*)(const wchar_t*, DWORD)>(GetProcAddress(bmp_, "LMX_LoadGfxFile")));
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSW wc{};
  wc.lpfnWndProc = TestMainProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kTestMainClass;
  RegisterClassW(&wc);
}

void ViewTest::TearDownTestSuite() {
  delete plugIn_;
  plugIn_ = nullptr;
  if (bmp_) FreeLibrary(bmp_);
  SetResourceModule(nullptr);
  if (lang_) FreeLibrary(lang_);
}

void ViewTest::SetUp() {
  AppSettings& s = Settings();
  s.msState = 1;
  s.showAddToolbar = 1;
  s.showStatusbar = 1;
  s.toolbarAlign = 0;
  commands_.clear();
  main_ = CreateWindowExW(0, kTestMainClass, L"Zorvan Lumivex", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr,
                          nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(main_, nullptr);
  CreateCtrl();
}

void ViewTest::CreateCtrl() {
  ctrl_ = CreateViewerMainCtrl(main_, GetModuleHandleW(nullptr));
  ASSERT_NE(ctrl_, nullptr);
  RECT rc{};
  GetClientRect(main_, &rc);
  SendMessageW(main_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
  Pump();
}

void ViewTest::TearDown() {
  DestroyViewerMainCtrl();
  ImageView_SetImage(nullptr);
  if (image_) GfxImage_Destroy(image_);
  image_ = nullptr;
  if (main_) DestroyWindow(main_);
  Pump();
  file_.reset();
}

GfxImage* ViewTest::Open(int width, int height) {
  ImageView_SetImage(nullptr);
  if (image_) GfxImage_Destroy(image_);
  file_ = std::make_unique<TempFile>(PictureFile(width, height));
  image_ = GfxImage_Create(plugIn_, file_->Path());
  EXPECT_NE(image_, nullptr);
  if (!image_) return nullptr;
  EXPECT_TRUE(GfxImage_Load(image_));
  ImageView_SetImage(image_);
  ImageView_TakeNewImageSize();
  ImageView_Relayout();
  Paint();
  return image_;
}

void ViewTest::Paint() {
  RedrawWindow(ImageViewWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  Pump();
}

COLORREF ViewTest::ViewPixel(int x, int y) {
  HDC dc = GetDC(ImageViewWindow());
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(ImageViewWindow(), dc);
  return c;
}

RECT ViewTest::ViewClient() {
  RECT rc{};
  GetClientRect(ImageViewWindow(), &rc);
  return rc;
}

RECT ViewTest::InCtrl(HWND child) {
  RECT rc{};
  GetWindowRect(child, &rc);
  MapWindowPoints(nullptr, ctrl_, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

std::wstring ViewTest::StatusText(int part) {
  wchar_t text[300] = L"";
  const LRESULT info = SendMessageW(StatusBarWindow(), SB_GETTEXTLENGTHW, part, 0);
  if (LOWORD(info) < 300) SendMessageW(StatusBarWindow(), SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
  return text;
}

void ViewTest::Press(int x, int y) { SendMessageW(ImageViewWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
void ViewTest::Drag(int x, int y) { SendMessageW(ImageViewWindow(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }
void ViewTest::Release(int x, int y) { SendMessageW(ImageViewWindow(), WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }

}  // namespace lmx::test
