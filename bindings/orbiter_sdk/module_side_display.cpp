// The module's display classes, pens, fonts and sketchpad over the real
// host. A redraw hands the module a sketchpad of its own that draws on the
// host's; the host gets its own pen and font back when the redraw ends.
#include <map>
#include <memory>
#include <new>
#include <vector>

#include "host/oapi.h"
#include "bindings/orbiter_sdk/module_side.h"
#include "bindings/orbiter_sdk/sdk_bridge.h"
#include "bindings/orbiter_sdk/sketchpad_clip.h"

static_assert(PANEL_MOUSE_LBDOWN == sdk_bridge::kMouseLeftDown && PANEL_MOUSE_LBUP == sdk_bridge::kMouseLeftUp &&
                  PANEL_MOUSE_LBPRESSED == sdk_bridge::kMouseLeftPressed,
              "the module's button event bits differ from the SDK's");

namespace {

using sdk_bridge::Handle;

// Built for comparing screenshots: every drawing call passes on as made.
#if defined(TARVIK_DRAW_EVERYTHING)
constexpr bool kDrawEverything = true;
#else
constexpr bool kDrawEverything = false;
#endif

// The host's own pen is of unknown width: taken as wide, so nothing that may
// show is dropped.
constexpr int kUnknownPenWidthPx = 16;

struct BoundPen final : oapi::Pen {
  BoundPen(Handle h, int width) : handle(h), widthPx(width) {}
  Handle handle;
  int widthPx;
};

struct BoundFont final : oapi::Font {
  BoundFont(Handle h, bool owned, int height) : handle(h), ownedByHost(owned), heightPx(height) {}
  Handle handle;
  bool ownedByHost;  // a display's default font: never released
  int heightPx;      // 0: the host's, unknown
};

Handle HandleOf(oapi::Pen* pen) { return pen != nullptr ? static_cast<BoundPen*>(pen)->handle : nullptr; }
Handle HandleOf(oapi::Font* font) { return font != nullptr ? static_cast<BoundFont*>(font)->handle : nullptr; }

// The host's sketchpad under the module's interface. The module may release
// a pen or font while it is still selected; the host's own goes back first.
// Drawing calls pass through sketchpad_clip: what cannot show is dropped,
// and coordinates too large for the host are clipped.
class BoundSketchpad final : public oapi::Sketchpad {
 public:
  BoundSketchpad(Handle skp, int widthPx, int heightPx) : skp_(skp), widthPx_(widthPx), heightPx_(heightPx) {}
  BoundSketchpad(const BoundSketchpad&) = delete;
  BoundSketchpad& operator=(const BoundSketchpad&) = delete;
  ~BoundSketchpad() override {
    if (font_ != nullptr) sdk_bridge::SelectFont(skp_, hostFont_);
    if (pen_ != nullptr) sdk_bridge::SelectPen(skp_, hostPen_);
  }

  oapi::Font* SetFont(oapi::Font* font) override { return Select(font, font_, hostFont_, sdk_bridge::SelectFont); }
  oapi::Pen* SetPen(oapi::Pen* pen) override { return Select(pen, pen_, hostPen_, sdk_bridge::SelectPen); }

  DWORD SetTextColor(DWORD colour) override { return sdk_bridge::SetTextColour(skp_, colour); }
  bool Text(int x, int y, const char* str, int len) override {
    const int fontHeightPx = font_ != nullptr ? static_cast<BoundFont*>(font_)->heightPx : 0;
    if (!kDrawEverything && !sketchpad_clip::TextMayShow(Frame(), fontHeightPx, x, y, len)) return true;
    return sdk_bridge::Text(skp_, x, y, str, len);
  }
  void MoveTo(int x, int y) override {
    sdk_bridge::MoveTo(skp_, x, y);  // the host only keeps the point
    at_ = hostAt_ = {x, y};
  }
  void LineTo(int x, int y) override {
    const sketchpad_clip::Point from = at_;
    at_ = {x, y};
    if (kDrawEverything) return sdk_bridge::LineTo(skp_, x, y);
    const auto line = sketchpad_clip::Line(Frame(), {from.x, from.y, x, y});
    if (!line) return;
    // The host's point is where the last line it drew ended.
    if (line->x0 == hostAt_.x && line->y0 == hostAt_.y) sdk_bridge::LineTo(skp_, line->x1, line->y1);
    else sdk_bridge::Line(skp_, line->x0, line->y0, line->x1, line->y1);
    hostAt_ = {line->x1, line->y1};
  }
  void Line(int x0, int y0, int x1, int y1) override {
    at_ = {x1, y1};
    if (kDrawEverything) return sdk_bridge::Line(skp_, x0, y0, x1, y1);
    const auto line = sketchpad_clip::Line(Frame(), {x0, y0, x1, y1});
    if (!line) return;
    sdk_bridge::Line(skp_, line->x0, line->y0, line->x1, line->y1);
    hostAt_ = {line->x1, line->y1};
  }
  void Rectangle(int x0, int y0, int x1, int y1) override {
    if (kDrawEverything) return sdk_bridge::Rectangle(skp_, x0, y0, x1, y1);
    if (const auto box = sketchpad_clip::Rectangle(Frame(), {x0, y0, x1, y1}))
      sdk_bridge::Rectangle(skp_, box->x0, box->y0, box->x1, box->y1);
  }
  void Ellipse(int x0, int y0, int x1, int y1) override {
    if (kDrawEverything) return sdk_bridge::Ellipse(skp_, x0, y0, x1, y1);
    const sketchpad_clip::EllipseDraw draw = sketchpad_clip::Ellipse(Frame(), {x0, y0, x1, y1});
    const sketchpad_clip::Corners& c = draw.corners;
    switch (draw.kind) {
      case sketchpad_clip::EllipseDraw::kNone: break;
      case sketchpad_clip::EllipseDraw::kLine:
        sdk_bridge::Line(skp_, c.x0, c.y0, c.x1, c.y1);
        hostAt_ = {c.x1, c.y1};
        break;
      case sketchpad_clip::EllipseDraw::kEllipse: sdk_bridge::Ellipse(skp_, c.x0, c.y0, c.x1, c.y1); break;
      case sketchpad_clip::EllipseDraw::kArcs:
        for (const auto& arc : draw.arcs) {
          std::vector<int> xy;
          xy.reserve(2 * arc.size());
          for (const sketchpad_clip::Point& p : arc) xy.insert(xy.end(), {p.x, p.y});
          sdk_bridge::Polyline(skp_, xy.data(), static_cast<int>(arc.size()));
        }
        break;
    }
  }

  void Forget(const oapi::Pen* pen) {
    if (pen != nullptr && pen == pen_) SetPen(nullptr);
  }
  void Forget(const oapi::Font* font) {
    if (font != nullptr && font == font_) SetFont(nullptr);
  }

 private:
  Handle skp_;
  oapi::Font* font_ = nullptr;  // the module's selection; null: the host's
  oapi::Pen* pen_ = nullptr;
  Handle hostFont_ = nullptr;
  Handle hostPen_ = nullptr;
  int widthPx_;
  int heightPx_;
  sketchpad_clip::Point at_{0, 0};      // the module's current point
  sketchpad_clip::Point hostAt_{0, 0};  // the host's

  // The module's pen or font, or null for the host's own back. The host's
  // own is what the first selection of the redraw replaced.
  template <class Resource>
  Resource* Select(Resource* wanted, Resource*& selected, Handle& hostOwn, Handle (*select)(Handle, Handle)) {
    Resource* previous = selected;
    if (wanted == nullptr && selected == nullptr) return previous;
    const Handle had = select(skp_, wanted != nullptr ? HandleOf(wanted) : hostOwn);
    if (selected == nullptr) hostOwn = had;
    selected = wanted;
    return previous;
  }

  sketchpad_clip::Frame Frame() const {
    return {widthPx_, heightPx_, pen_ != nullptr ? static_cast<BoundPen*>(pen_)->widthPx : kUnknownPenWidthPx};
  }
};

// The sketchpad of the redraw in progress, if any.
BoundSketchpad* activeSketchpad = nullptr;

// Each of the module's display objects and the host's display it draws in.
std::map<const MFD*, Handle>& HostDisplays() {
  static std::map<const MFD*, Handle> displays;
  return displays;
}

Handle HostDisplayOf(const MFD* display) {
  const auto found = HostDisplays().find(display);
  return found != HostDisplays().end() ? found->second : nullptr;
}

std::map<Handle, std::unique_ptr<BoundFont>>& DefaultFonts() {
  static std::map<Handle, std::unique_ptr<BoundFont>> fonts;
  return fonts;
}

// One of the module's display objects, as the host's display sees it.
class DisplayAdapter final : public sdk_bridge::DisplayHooks {
 public:
  DisplayAdapter(MFD* display, int widthPx, int heightPx) : display_(display), widthPx_(widthPx), heightPx_(heightPx) {}
  DisplayAdapter(const DisplayAdapter&) = delete;
  DisplayAdapter& operator=(const DisplayAdapter&) = delete;
  ~DisplayAdapter() override { delete display_; }

  bool Redraw(Handle skp) override {
    auto* display = dynamic_cast<MFD2*>(display_);
    if (display == nullptr || skp == nullptr) return false;
    BoundSketchpad pad(skp, widthPx_, heightPx_);
    activeSketchpad = &pad;
    // Cleared however the redraw ends.
    struct Deactivate {
      ~Deactivate() { activeSketchpad = nullptr; }
    } deactivate;
    return display->UpdateSketchpad(&pad);
  }
  bool Key(int key) override { return display_->ConsumeKeyQueued(static_cast<DWORD>(key)); }
  bool Button(int button, int event) override { return display_->ConsumeButtonPress(button, event); }
  const char* Label(int button) override { return display_->LabelOfButton(button); }
  int MenuSize() override {
    menu_ = nullptr;
    const int size = display_->MenuOfButtons(&menu_);
    return menu_ != nullptr ? size : 0;
  }
  void MenuLine(int index, const char*& line1, const char*& line2, char& key) override {
    line1 = menu_[index].line1;
    line2 = menu_[index].line2;
    key = menu_[index].selchar;
  }

 private:
  MFD* display_;
  int widthPx_;
  int heightPx_;
  const MFDBUTTONMENU* menu_ = nullptr;
};

}  // namespace

sdk_bridge::DisplayHooks* sdk_bridge::OpenDisplay(void* modeContext, std::uint32_t displayId, int widthPx,
                                                  int heightPx, Handle vessel, Handle hostDisplay) {
  MFD* display = module_side::OpenModeDisplay(modeContext, displayId, widthPx, heightPx, vessel);
  if (display == nullptr) return nullptr;
  auto* hooks = new (std::nothrow) DisplayAdapter(display, widthPx, heightPx);
  if (hooks == nullptr) {
    delete display;
    return nullptr;
  }
  HostDisplays()[display] = hostDisplay;
  return hooks;
}

inline namespace host_interface {

// ---- Pens and fonts -------------------------------------------------------

oapi::Pen* oapiCreatePen(int style, int width, DWORD col) {
  const Handle pen = sdk_bridge::CreatePen(style, width, col);
  if (pen == nullptr) return nullptr;
  auto* bound = new (std::nothrow) BoundPen(pen, width);
  if (bound == nullptr) sdk_bridge::ReleasePen(pen);
  return bound;
}

void oapiReleasePen(oapi::Pen* pen) {
  if (pen == nullptr) return;
  if (activeSketchpad != nullptr) activeSketchpad->Forget(pen);
  sdk_bridge::ReleasePen(HandleOf(pen));
  delete pen;
}

oapi::Font* oapiCreateFont(int height, bool prop, const char* face, oapi::FontStyle style) {
  const Handle font = sdk_bridge::CreateFont(height, prop, face, static_cast<int>(style));
  if (font == nullptr) return nullptr;
  auto* bound = new (std::nothrow) BoundFont(font, false, height);
  if (bound == nullptr) sdk_bridge::ReleaseFont(font);
  return bound;
}

void oapiReleaseFont(oapi::Font* font) {
  if (font == nullptr || static_cast<BoundFont*>(font)->ownedByHost) return;
  if (activeSketchpad != nullptr) activeSketchpad->Forget(font);
  sdk_bridge::ReleaseFont(HandleOf(font));
  delete font;
}

// ---- Display base classes -------------------------------------------------

MFD::~MFD() { HostDisplays().erase(this); }

void MFD::InvalidateButtons() { sdk_bridge::InvalidateButtons(HostDisplayOf(this)); }

oapi::Font* MFD2::GetDefaultFont(DWORD fontidx) const {
  const Handle font = sdk_bridge::DefaultFont(HostDisplayOf(this), static_cast<int>(fontidx));
  if (font == nullptr) return nullptr;
  std::unique_ptr<BoundFont>& bound = DefaultFonts()[font];
  if (!bound) bound = std::make_unique<BoundFont>(font, true, 0);
  return bound.get();
}

}  // namespace host_interface
