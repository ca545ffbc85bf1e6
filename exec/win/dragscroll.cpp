// Drag-scroll: the pointer is pinned at the start point, a round marker
// shows it, and each movement scrolls the window under it. The choice of
// scroll path and the fallbacks are made in dragscroll_core; this file is
// the system side: windows, scroll-bar messages, injected input, the
// marker window and the browser-document objects.
#include "dragscroll.h"

#include <exdisp.h>
#include <mshtml.h>
#include <oleacc.h>
#include <servprov.h>
#include <shlguid.h>

#include <new>

#include "dragscroll_core.h"
#include "driver_protocol.h"
#include "exec_app.h"
#include "inject.h"
#include "qvnlog.h"
#include "picture_scale_core.h"
#include "resource.h"
#include "window_dpi.h"

namespace {

const wchar_t kMarkerClass[] = L"SCROLLWINDOW";
const wchar_t kBrowserClass[] = L"Internet Explorer_Server";
// The marker at 100 %: a 32-pixel cursor picture inside a 36-pixel circle.
constexpr int kMarkerSize = 36;
constexpr int kMarkerCursorSize = 32;
constexpr UINT kMessageTimeoutMs = 1000;

// One gesture at a time; main thread only.
POINT g_start{};
HWND hWndFunctionTarget = nullptr;
BYTE g_browser = 0;
IHTMLWindow2* g_pIWindow = nullptr;
HWND g_hMarker = nullptr;
int g_markerScale = 100;  // the marker's picture scale, from its monitor's DPI
UINT g_startDpi = qvn::kBaseDpi;  // DPI of the monitor the gesture started on
uint32_t g_step = 0;
HMODULE g_oleacc = nullptr;  // kept for the process once loaded

HWND H(QMEWnd w) { return reinterpret_cast<HWND>(w); }
QMEWnd W(HWND h) { return reinterpret_cast<QMEWnd>(h); }

bool SendScroll(HWND to, UINT msg, int code, HWND control) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(to, msg, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(control), SMTO_ABORTIFHUNG,
                             kMessageTimeoutMs, &result) != 0;
}

class SystemWindows : public QMEDragscrollWindows {
 public:
  QMEWnd Parent(QMEWnd w) override { return W(GetParent(H(w))); }

  bool HasScrollBars(QMEWnd w) override {
    wchar_t className[257] = L"";
    GetClassNameW(H(w), className, 257);
    DebugPrint(qvn::kExecLogInfo, L"dragscroll window: %x %s\n", static_cast<unsigned>(w), className);
    DWORD style = 0;
    if (!QMCUtilWindowStyleGet(H(w), &style)) {
      DebugPrint(qvn::kExecLogError, L"QMEFuncDragscrollInternalHasScrollBars QMCUtilWindowStyleGet failed!");
      return false;
    }
    bool bars = (style & (WS_HSCROLL | WS_VSCROLL)) != 0;
    if (bars) DebugPrint(qvn::kExecLogInfo, L"QMEFuncDragscrollMouseMove window has scroll bars");
    return bars;
  }

  void ScrollBarChildren(QMEWnd w, QMEWnd* horizontal, QMEWnd* vertical) override {
    *horizontal = *vertical = 0;
    HWND parent = GetParent(H(w));
    if (!parent) {
      DebugPrint(qvn::kExecLogInfo, L"QMEFuncDragscrollMouseMove no scrollbars found");
      return;
    }
    for (HWND c = FindWindowExW(parent, nullptr, L"ScrollBar", nullptr); c;
         c = FindWindowExW(parent, c, L"ScrollBar", nullptr)) {
      DWORD style = 0;
      if (!QMCUtilWindowStyleGet(c, &style)) {
        DebugPrint(qvn::kExecLogError, L"QMEFuncDragscrollInternalHasScrollBars QMCUtilWindowStyleGet failed!");
        continue;
      }
      if (style & SBS_VERT)
        *vertical = W(c);
      else
        *horizontal = W(c);
    }
    DebugPrint(qvn::kExecLogInfo, (*horizontal || *vertical) ? L"QMEFuncDragscrollMouseMove window has ScrollBar children"
                                                  : L"QMEFuncDragscrollMouseMove no scrollbars found");
  }

  bool ScrollWindowBar(QMEWnd w, bool vertical, int code) override {
    int bar = vertical ? SB_VERT : SB_HORZ;
    int before = QMCUtilScrollBarPositionGet(H(w), bar);
    if (before == -1) {
      DebugPrint(qvn::kExecLogError, L"QMEFuncDragscrollInternalScrollBarWindowScroll QMCUtilScrollBarPositionGet failed!");
      return false;
    }
    SendScroll(H(w), vertical ? WM_VSCROLL : WM_HSCROLL, code, nullptr);
    return QMCUtilScrollBarPositionGet(H(w), bar) != before;
  }

  bool ScrollControl(QMEWnd control, bool vertical, int code) override {
    int before = QMCUtilScrollBarPositionGet(H(control), SB_CTL);
    if (before == -1) {
      DebugPrint(qvn::kExecLogError, L"QMEFuncDragscrollInternalScrollBarControllScroll QMCUtilScrollBarPositionGet failed!");
      return false;
    }
    SendScroll(GetParent(H(control)), vertical ? WM_VSCROLL : WM_HSCROLL, code, H(control));
    return QMCUtilScrollBarPositionGet(H(control), SB_CTL) != before;
  }
};

class DriverInput : public QMEDragscrollInput {
 public:
  void Wheel(int delta) override {
    DebugPrint(qvn::kExecLogInfo, L"Counter %d\n", static_cast<int>(g_step));
    QMEUtilMouseWheelSimulate(static_cast<uint16_t>(static_cast<int16_t>(delta)));
  }
  // The arrow keys are E0-prefixed: without the extended flag the same scan
  // code is the keypad's 8 or 2, which types a digit while Num Lock is on.
  void KeyPress(uint16_t vk) override {
    QMEUtilKeyboardKeySimulate(vk, true, QVN_KEY_FLAG_EXTENDED);
    QMEUtilKeyboardKeySimulate(vk, false, QVN_KEY_FLAG_EXTENDED);
  }
  void Foreground(QMEWnd w) override {
    if (!SetForegroundWindow(H(w)))
      DebugPrint(qvn::kExecLogError, L"QMEFuncDragscrollStart SetForegroundWindow failed! %d", GetLastError());
  }
};

// ---- browser documents, seen through the core's interfaces ----

IHTMLDocument2* HtmlWindowToHtmlWebBrowserDocument(IHTMLWindow2* window) {
  IServiceProvider* sp = nullptr;
  HRESULT hr = window->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&sp));
  if (FAILED(hr) || !sp) {
    DebugPrint(qvn::kExecLogError, L"HtmlWindowToHtmlWebBrowser QueryInterface IID_IServiceProvider failed! 0x%x!", hr);
    return nullptr;
  }
  IWebBrowser2* browser = nullptr;
  hr = sp->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2, reinterpret_cast<void**>(&browser));
  sp->Release();
  if (FAILED(hr) || !browser) {
    DebugPrint(qvn::kExecLogError, L"HtmlWindowToHtmlWebBrowser QueryService IID_IWebBrowserApp failed! 0x%x!", hr);
    DebugPrint(qvn::kExecLogError, L"HtmlWindowToHtmlDocument NULL == pIWebBrowser2!");
    return nullptr;
  }
  IDispatch* disp = nullptr;
  hr = browser->get_Document(&disp);
  browser->Release();
  if (FAILED(hr) || !disp) {
    DebugPrint(qvn::kExecLogError, L"HtmlWindowToHtmlDocument get_Document failed! 0x%x!", hr);
    return nullptr;
  }
  IHTMLDocument2* doc = nullptr;
  hr = disp->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&doc));
  disp->Release();
  if (FAILED(hr) || !doc) {
    DebugPrint(qvn::kExecLogError, L"HtmlWindowToHtmlDocument QueryInterface IID_IHTMLDocument2 failed! 0x%x!", hr);
    return nullptr;
  }
  return doc;
}

// The window's document; for a frame of another origin, whose document is
// refused, the document of its browser object.
IHTMLDocument2* HtmlWindowToHtmlDocument(IHTMLWindow2* window) {
  IHTMLDocument2* doc = nullptr;
  HRESULT hr = window->get_document(&doc);
  if (SUCCEEDED(hr) && doc) return doc;
  return HtmlWindowToHtmlWebBrowserDocument(window);
}

class HtmlDocument final : public QMEDragscrollDocument {
 public:
  explicit HtmlDocument(IHTMLDocument2* doc) : doc_(doc) {}  // takes the reference
  void AddRef() override { ++refs_; }
  void Release() override {
    if (--refs_ == 0) {
      doc_->Release();
      delete this;
    }
  }
  IHTMLDocument2* Get() { return doc_; }

  long FrameCount() override {
    if (frames_) frames_->Release();
    frames_ = nullptr;
    long length = -1;
    if (FAILED(doc_->get_frames(&frames_)) || !frames_ || FAILED(frames_->get_length(&length))) length = -1;
    DebugPrint(qvn::kExecLogError, L"GetChildDocumentFromPoint total frame count: %d", static_cast<int>(length));
    return length;
  }

  QMEDragscrollDocument* Frame(long i) override {
    if (!frames_) return nullptr;
    VARIANT index, item;
    VariantInit(&index);
    VariantInit(&item);
    index.vt = VT_I4;
    index.lVal = i;
    HRESULT hr = frames_->item(&index, &item);
    if (FAILED(hr) || item.vt != VT_DISPATCH || !item.pdispVal) {
      DebugPrint(qvn::kExecLogError, L"GetChildDocumentFromPoint IDispatch failed");
      VariantClear(&item);
      return nullptr;
    }
    IHTMLWindow2* window = nullptr;
    hr = item.pdispVal->QueryInterface(IID_IHTMLWindow2, reinterpret_cast<void**>(&window));
    VariantClear(&item);
    if (FAILED(hr) || !window) {
      DebugPrint(qvn::kExecLogError, L"GetChildDocumentFromPoint QueryInterface IID_IHTMLWindow2 failed! 0x%x", hr);
      return nullptr;
    }
    IHTMLDocument2* child = HtmlWindowToHtmlDocument(window);
    window->Release();
    if (!child) {
      DebugPrint(qvn::kExecLogError, L"GetChildDocumentFromPoint NULL == pChildDocument!");
      return nullptr;
    }
    return new (std::nothrow) HtmlDocument(child);
  }

  // IsPointOnDocument's rectangle: the window's screen position and the
  // body's size.
  bool Bounds(QMERect* r) override {
    IHTMLWindow2* window = nullptr;
    HRESULT hr = doc_->get_parentWindow(&window);
    if (FAILED(hr) || !window) {
      DebugPrint(qvn::kExecLogError, L"IsPointOnDocument get_parentWindow failed 0x%x", hr);
      return false;
    }
    IHTMLWindow3* window3 = nullptr;
    hr = window->QueryInterface(IID_IHTMLWindow3, reinterpret_cast<void**>(&window3));
    window->Release();
    if (FAILED(hr) || !window3) {
      DebugPrint(qvn::kExecLogError, L"IsPointOnWindow QueryInterface IID_IHTMLWindow3 failed");
      return false;
    }
    IHTMLElement* body = nullptr;
    hr = doc_->get_body(&body);
    if (FAILED(hr) || !body) {
      DebugPrint(qvn::kExecLogError, L"IsPointOnWindow get_body failed frame: 0x%x", hr);
      window3->Release();
      return false;
    }
    long left = 0, top = 0, width = 0, height = 0;
    window3->get_screenLeft(&left);
    window3->get_screenTop(&top);
    body->get_offsetWidth(&width);
    body->get_offsetHeight(&height);
    body->Release();
    window3->Release();
    *r = {left, top, left + width, top + height};
    return true;
  }

 private:
  ~HtmlDocument() {
    if (frames_) frames_->Release();
  }
  IHTMLDocument2* doc_;
  IHTMLFramesCollection2* frames_ = nullptr;
  long refs_ = 1;
};

class HtmlWindow final : public QMEDragscrollHtmlWindow {
 public:
  explicit HtmlWindow(IHTMLWindow2* w) : w_(w) {}  // takes the reference
  void AddRef() override { ++refs_; }
  void Release() override {
    if (--refs_ == 0) {
      w_->Release();
      delete this;
    }
  }
  bool ScrollBy(long dx, long dy) override {
    OutputDebugStringW(L"IE IS SCROLLING LOOP!!!!!!!\n");
    HRESULT hr = w_->scrollBy(dx, dy);
    if (FAILED(hr)) {
      DebugPrint(qvn::kExecLogError, L"QMEFuncDragscrollMouseMove pIWindow2Current->scrollBy failed! 0x%x %d,%d (x,y)", hr,
                 static_cast<int>(dx), static_cast<int>(dy));
      return false;
    }
    return true;
  }
  QMEDragscrollHtmlWindow* Parent() override {
    IHTMLWindow2* p = nullptr;
    if (FAILED(w_->get_parent(&p)) || !p) return nullptr;
    auto* h = new (std::nothrow) HtmlWindow(p);
    if (!h) p->Release();
    return h;
  }
  bool SameAs(QMEDragscrollHtmlWindow* other) override {
    IUnknown* a = nullptr;
    IUnknown* b = nullptr;
    bool same = false;
    if (SUCCEEDED(w_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a))) &&
        SUCCEEDED(static_cast<HtmlWindow*>(other)->w_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b))))
      same = a == b;
    if (a) a->Release();
    if (b) b->Release();
    return same;
  }

 private:
  ~HtmlWindow() = default;
  IHTMLWindow2* w_;
  long refs_ = 1;
};

void QMEFuncDragscrollInternalIeStart(HWND target) {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEFuncDragscrollInternalIeStart");
  if (!g_oleacc) g_oleacc = LoadLibraryW(L"OLEACC.DLL");
  if (!g_oleacc) {
    DebugPrint(qvn::kExecLogError, L"QMEFuncDragscrollInternalIeStart LoadLibrary failed! %d", GetLastError());
    return;
  }
  UINT msg = RegisterWindowMessageW(L"WM_HTML_GETOBJECT");
  if (!msg) {
    DebugPrint(qvn::kExecLogError, L"QMEFuncDragscrollInternalIeStart RegisterWindowMessage failed! %d", GetLastError());
    return;
  }
  DWORD_PTR result = 0;
  SendMessageTimeoutW(target, msg, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result);
  using ObjectFromLresultFn = HRESULT(WINAPI*)(LRESULT, REFIID, WPARAM, void**);
  auto fromResult = reinterpret_cast<ObjectFromLresultFn>(GetProcAddress(g_oleacc, "ObjectFromLresult"));
  if (!fromResult) {
    DebugPrint(qvn::kExecLogError, L"QMEFuncDragscrollInternalIeStart GetProcAddress ObjectFromLresult failed! %d",
               GetLastError());
    return;
  }
  IHTMLDocument2* top = nullptr;
  HRESULT hr = fromResult(static_cast<LRESULT>(result), IID_IHTMLDocument2, 0, reinterpret_cast<void**>(&top));
  if (FAILED(hr) || !top) {
    DebugPrint(qvn::kExecLogError, L"QMEFuncDragscrollInternalIeStart obFromRes failed! 0x%x", hr);
    return;
  }
  auto* topDoc = new (std::nothrow) HtmlDocument(top);
  if (!topDoc) {
    top->Release();
    return;
  }
  auto* found = static_cast<HtmlDocument*>(QMEDragscrollChildDocumentFromPoint(topDoc, g_start.x, g_start.y));
  if (!found) {
    DebugPrint(qvn::kExecLogError, L"QMEFuncDragscrollInternalIeStart GetChildDocumentFromPoint failed!");
  } else {
    hr = found->Get()->get_parentWindow(&g_pIWindow);
    if (FAILED(hr) || !g_pIWindow) {
      g_pIWindow = nullptr;
      DebugPrint(qvn::kExecLogError, L"QMEFuncDragscrollInternalIeStart pDocument2->get_parentWindow failed! 0x%x", hr);
    }
    found->Release();
  }
  topDoc->Release();
}

LRESULT CALLBACK MarkerWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc) {
      HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
      const int side = qvn::ScaledToPicture(kMarkerCursorSize, g_markerScale);
      const int margin = qvn::ScaledToPicture(1, g_markerScale);
      HCURSOR cursor = static_cast<HCURSOR>(
          LoadImageW(g_hInstance, MAKEINTRESOURCEW(IDC_SCROLLCURSOR), IMAGE_CURSOR, side, side, LR_DEFAULTCOLOR));
      if (cursor) {
        DrawIconEx(dc, margin, margin, cursor, side, side, 0, white, DI_MASK | DI_COMPAT);
        DestroyCursor(cursor);
      }
      HPEN pen = CreatePen(PS_SOLID, margin, RGB(0, 0, 0));
      HGDIOBJ oldPen = SelectObject(dc, pen);
      HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
      Ellipse(dc, 0, 0, side + 2 * margin, side + 2 * margin);
      SelectObject(dc, oldBrush);
      SelectObject(dc, oldPen);
      DeleteObject(pen);
      if (white) DeleteObject(white);
      EndPaint(hwnd, &ps);
    }
    return 0;
  }
  if (msg == WM_CLOSE) {
    DestroyWindow(hwnd);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void QMEFuncDragscrollInternalCursorWindowCreate() {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEFuncDragscrollInternalCursorWindowCreate");
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MarkerWindowProc;
  wc.hInstance = g_hInstance;
  wc.hbrBackground = CreateSolidBrush(RGB(255, 255, 255));
  wc.lpszClassName = kMarkerClass;
  if (!RegisterClassExW(&wc)) {
    DebugPrint(qvn::kExecLogTrace, L"QMEFuncDragscrollInternalCursorWindowCreate RegisterClassEx failed! %d", GetLastError());
    if (wc.hbrBackground) DeleteObject(wc.hbrBackground);
  }
  // Drawn for the DPI of the monitor the gesture is on; the marker stays
  // where it started, so it never changes monitor.
  g_markerScale = qvn::PictureScaleFor(g_startDpi);
  const int size = qvn::ScaledToPicture(kMarkerSize, g_markerScale);
  HWND wnd = CreateWindowExW(WS_EX_TOPMOST, kMarkerClass, L"", WS_POPUP, g_start.x - size / 2,
                             g_start.y - size / 2, size, size, nullptr, nullptr, g_hInstance, nullptr);
  if (!wnd) {
    DebugPrint(qvn::kExecLogError, L"QMEFuncDragscrollInternalCursorWindowCreate CreateWindowEx %d", GetLastError());
    return;
  }
  g_hMarker = wnd;
  HRGN region = CreateEllipticRgn(0, 0, size, size);
  if (region && !SetWindowRgn(wnd, region, TRUE)) DeleteObject(region);  // owned by the window on success
  SetWindowPos(wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
  ShowWindow(wnd, SW_SHOWNORMAL);
}

}  // namespace

bool QMCUtilWindowStyleGet(HWND window, DWORD* style) {
  WINDOWINFO info{};
  info.cbSize = sizeof(info);
  if (!GetWindowInfo(window, &info)) {
    DebugPrint(qvn::kExecLogError, L">>> QMCUtilWindowStyleGet GetWindowInfo failed! %d", GetLastError());
    return false;
  }
  *style = info.dwStyle;
  return true;
}

int QMCUtilScrollBarPositionGet(HWND window, int bar) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_POS;
  if (!GetScrollInfo(window, bar, &si)) {
    DebugPrint(qvn::kExecLogError, L">>> QMEFuncDragscrollMouseMove GetScrollInfo failed! %d", GetLastError());
    return -1;
  }
  return si.nPos;
}

bool QMEFuncDragscrollStart() {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEFuncDragscrollStart");
  if (!GetCursorPos(&g_start)) DebugPrint(qvn::kExecLogError, L"QMEFuncDragscrollStart GetCursorPos failed! %d", GetLastError());
  hWndFunctionTarget = WindowFromPoint(g_start);
  g_startDpi = qvn::DpiForMonitor(MonitorFromPoint(g_start, MONITOR_DEFAULTTONEAREST));
  DebugPrint(qvn::kExecLogInfo, L"QMEFuncDragscrollStart hWndFunctionTarget %x GetCursorPos x:%d y:%d",
             static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(hWndFunctionTarget)), static_cast<int>(g_start.x),
             static_cast<int>(g_start.y));
  RECT rc{};
  BOOL haveRect = hWndFunctionTarget && GetWindowRect(hWndFunctionTarget, &rc);
  if (haveRect) {
    POINT inner{g_start.x - rc.left, g_start.y - rc.top};
    HWND child = ChildWindowFromPoint(hWndFunctionTarget, inner);
    if (child) hWndFunctionTarget = child;
  }
  DebugPrint(qvn::kExecLogInfo, L">>> QMEFuncDragscrollStart bResult %d hWndFunctionTarget %x", haveRect ? 1 : 0,
             static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(hWndFunctionTarget)));
  if (!SetForegroundWindow(hWndFunctionTarget))
    DebugPrint(qvn::kExecLogError, L"QMEFuncDragscrollStart SetForegroundWindow failed! %d", GetLastError());
  QMEUtilMouseButtonSimulate(0, true);
  QMEUtilMouseButtonSimulate(0, false);

  QMEFuncDragscrollInternalCursorWindowCreate();
  ShowCursor(FALSE);
  g_step = 0;

  wchar_t className[257] = L"";
  if (hWndFunctionTarget) GetClassNameW(hWndFunctionTarget, className, 257);
  DebugPrint(qvn::kExecLogInfo, L"QMEFuncDragscrollStart szClassName %s", className);
  if (lstrcmpW(className, kBrowserClass) == 0) {
    g_browser = 1;
    QMEFuncDragscrollInternalIeStart(hWndFunctionTarget);
  } else {
    g_browser = 0;
  }
  return true;
}

bool QMEFuncDragscrollMouseMove() {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEFuncDragscrollMouseMove");
  POINT now{};
  GetCursorPos(&now);
  SetCursorPos(g_start.x, g_start.y);
  // The executive sees physical pixels on every monitor; the scroll amounts
  // are made for 96 DPI, so a movement of the hand scrolls as far at every
  // scale.
  int dx = MulDiv(g_start.x - now.x, static_cast<int>(qvn::kBaseDpi), static_cast<int>(g_startDpi));
  int dy = MulDiv(g_start.y - now.y, static_cast<int>(qvn::kBaseDpi), static_cast<int>(g_startDpi));

  if (g_browser) {
    if (!g_pIWindow) {
      OutputDebugStringW(L"IE NULL == g_pIWindow!!!!!!!\n");
      return true;
    }
    OutputDebugStringW(L"IE IS SCROLLING!!!!!!!\n");
    g_pIWindow->AddRef();
    auto* start = new (std::nothrow) HtmlWindow(g_pIWindow);
    if (start) {
      QMEDragscrollHtmlWalk(start, dx, dy);
      start->Release();
    } else {
      g_pIWindow->Release();
    }
    OutputDebugStringW(L"IE IS SCROLLING END!!!!!!!\n");
    return true;
  }

  SystemWindows windows;
  DriverInput input;
  QMEDragscrollOutcome outcome = QMEDragscrollMove(windows, input, W(hWndFunctionTarget), dx, dy, g_step);
  if (outcome == QMEDragscrollOutcome::Scrolled)
    DebugPrint(qvn::kExecLogInfo, L"QMEFuncDragscrollMouseMove scroll by window message succeeded\n");
  else
    DebugPrint(qvn::kExecLogInfo, L"QMEFuncDragscrollMouseMove scroll by window message failed\n");
  return true;
}

bool QMEFuncDragscrollEnd() {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEFuncDragscrollEnd");
  if (g_hMarker) {
    SendMessageW(g_hMarker, WM_CLOSE, 0, 0);
    g_hMarker = nullptr;
  }
  if (g_browser && g_pIWindow) {
    g_pIWindow->Release();
    g_pIWindow = nullptr;
  }
  DebugPrint(qvn::kExecLogInfo, L"QMEFuncDragscrollEnd SetCursorPos x:%d y:%d", static_cast<int>(g_start.x),
             static_cast<int>(g_start.y));
  SetCursorPos(g_start.x, g_start.y);
  ShowCursor(TRUE);
  return true;
}
