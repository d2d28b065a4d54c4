#include "host/gdi/gdi_state.h"

HostGdiTable& HostGdi() {
    static HostGdiTable* table = new HostGdiTable();
    return *table;
}

static uintptr_t Key(const void* handle) {
    return reinterpret_cast<uintptr_t>(handle);
}

HGDIOBJ HostGdiTable::AddObject(std::unique_ptr<HostGdiObject> object) {
    next_ += 4;
    objects_[next_] = std::move(object);
    return reinterpret_cast<HGDIOBJ>(next_);
}

HostGdiObject* HostGdiTable::FindObject(HGDIOBJ handle) const {
    auto found = objects_.find(Key(handle));
    return found == objects_.end() ? nullptr : found->second.get();
}

void HostGdiTable::RemoveObject(HGDIOBJ handle) {
    auto found = objects_.find(Key(handle));
    if (found == objects_.end() || found->second->stock || found->second->selections > 0) return;
    objects_.erase(found);
}

HDC HostGdiTable::AddDc(std::unique_ptr<HostDc> dc) {
    HGDIOBJ font = DefaultFont();
    if (font) SelectFont(*dc, font, FindObject(font));
    if (dc->kind == HostDcKind::Memory) {
        HGDIOBJ bitmap = DefaultBitmap();
        if (bitmap) SelectBitmap(*dc, bitmap, FindObject(bitmap));
    }
    next_ += 4;
    dcs_[next_] = std::move(dc);
    return reinterpret_cast<HDC>(next_);
}

HostDc* HostGdiTable::FindDc(HDC handle) const {
    auto found = dcs_.find(Key(handle));
    return found == dcs_.end() ? nullptr : found->second.get();
}

void HostGdiTable::RemoveDc(HDC handle) {
    auto found = dcs_.find(Key(handle));
    if (found == dcs_.end()) return;
    SelectFont(*found->second, nullptr, nullptr);
    SelectBitmap(*found->second, nullptr, nullptr);
    dcs_.erase(found);
}

void HostGdiTable::SelectFont(HostDc& dc, HGDIOBJ handle, HostGdiObject* font) {
    if (dc.font) --dc.font->selections;
    dc.fontHandle = handle;
    dc.font = font;
    if (font) ++font->selections;
}

void HostGdiTable::SelectBitmap(HostDc& dc, HGDIOBJ handle, HostGdiObject* bitmap) {
    if (dc.bitmap) --dc.bitmap->selections;
    dc.bitmapHandle = handle;
    dc.bitmap = bitmap;
    if (bitmap) ++bitmap->selections;
}

// The system font's stand-in: a bold proportional sans face with a 16-pixel cell.
HGDIOBJ HostGdiTable::DefaultFont() {
    if (defaultFontTried_) return defaultFont_;
    defaultFontTried_ = true;
    HostFontRequest request;
    request.height = 16;
    request.bold = true;
    auto object = std::make_unique<HostGdiObject>();
    object->kind = HostGdiObject::Kind::Font;
    object->stock = true;
    object->font = HostFontFace::Create(request);
    if (object->font) defaultFont_ = AddObject(std::move(object));
    return defaultFont_;
}

// What a fresh memory DC holds: a 1x1 monochrome bitmap.
HGDIOBJ HostGdiTable::DefaultBitmap() {
    if (defaultBitmap_) return defaultBitmap_;
    auto object = std::make_unique<HostGdiObject>();
    object->kind = HostGdiObject::Kind::Bitmap;
    object->stock = true;
    object->dib = HostCreateDib(1, 1, false, 1, nullptr);
    if (!object->dib) return nullptr;
    object->dib->colors[1] = RGBQUAD{255, 255, 255, 0};
    defaultBitmap_ = AddObject(std::move(object));
    return defaultBitmap_;
}

bool HostDcRaster(const HostDc& dc, HostColorTable& table, HostRaster& raster) {
    switch (dc.kind) {
    case HostDcKind::Surface: return HostRasterOfTarget(dc.target, table, raster);
    case HostDcKind::Memory:
        if (!dc.bitmap || !dc.bitmap->dib) return false;
        raster = HostRasterOfDib(*dc.bitmap->dib, table);
        return true;
    default: return false;
    }
}
