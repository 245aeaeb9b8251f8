// Host resources that the display holds for one step of its work, given
// back however the step ends: a drawing call or an allocation that throws
// must not leave a pen, a font or a folder search behind in the host.
#pragma once

#include "host/oapi.h"
#include "host/platform.h"

class ScopedFont {
 public:
  explicit ScopedFont(oapi::Font* font) : font_(font) {}
  ~ScopedFont() {
    if (font_ != nullptr) oapiReleaseFont(font_);
  }
  ScopedFont(const ScopedFont&) = delete;
  ScopedFont& operator=(const ScopedFont&) = delete;
  oapi::Font* Get() const { return font_; }

 private:
  oapi::Font* font_;
};

class ScopedPen {
 public:
  explicit ScopedPen(oapi::Pen* pen) : pen_(pen) {}
  ~ScopedPen() {
    if (pen_ != nullptr) oapiReleasePen(pen_);
  }
  ScopedPen(const ScopedPen&) = delete;
  ScopedPen& operator=(const ScopedPen&) = delete;
  oapi::Pen* Get() const { return pen_; }

 private:
  oapi::Pen* pen_;
};

class ScopedFolderSearch {
 public:
  explicit ScopedFolderSearch(HANDLE search) : search_(search) {}
  ~ScopedFolderSearch() {
    if (search_ != INVALID_HANDLE_VALUE) FindClose(search_);
  }
  ScopedFolderSearch(const ScopedFolderSearch&) = delete;
  ScopedFolderSearch& operator=(const ScopedFolderSearch&) = delete;
  HANDLE Get() const { return search_; }

 private:
  HANDLE search_;
};
