// Shared set-up of the rasterizer tests: a 16-bit render target with an attached 16-bit Z-buffer, a
// device and a viewport on it, vertices and textures made in one line, pixels and depths read back,
// and frames written as BMP files for review.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "test_d3d_support.h"
#include "tests/support/frame_capture.h"
#include "tests/support/surfaces.h"

class D3DRasterTest : public D3DTest {
  protected:
    // A target of width x height (5-6-5) with a Z-buffer, a software RGB device and a viewport on all of it.
    void MakeScene(DWORD width, DWORD height) {
        width_ = width;
        height_ = height;
        target_ = MakeSurface(width, height, DDSCAPS_SYSTEMMEMORY);
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_ZBUFFERBITDEPTH;
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.dwZBufferBitDepth = 16;
        desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY;
        ASSERT_EQ(dd_->CreateSurface(&desc, &zbuffer_, nullptr), DD_OK);
        ASSERT_EQ(target_->AddAttachedSurface(zbuffer_), DD_OK);
        d3d_ = Direct3D2();
        ASSERT_EQ(d3d_->CreateDevice(IID_IDirect3DRGBDevice, target_, &device_), D3D_OK);
        ASSERT_EQ(d3d_->CreateViewport(&viewport_, nullptr), D3D_OK);
        ASSERT_EQ(device_->AddViewport(viewport_), D3D_OK);
        SetViewport(0, 0, width, height);
        ASSERT_EQ(device_->SetCurrentViewport(viewport_), D3D_OK);
        ClearDepth();
    }

    void TearDown() override {
        for (IDirectDrawSurface* texture : textures_)
            texture->Release();
        if (viewport_) viewport_->Release();
        if (device_) {
            EXPECT_EQ(device_->Release(), 0u);
        }
        if (d3d_) d3d_->Release();
        if (zbuffer_) zbuffer_->Release();
        D3DTest::TearDown();
    }

    void SetViewport(DWORD x, DWORD y, DWORD width, DWORD height) {
        D3DVIEWPORT2 view{};
        view.dwSize = sizeof(view);
        view.dwX = x;
        view.dwY = y;
        view.dwWidth = width;
        view.dwHeight = height;
        view.dvClipWidth = 1.0f;
        view.dvClipHeight = 1.0f;
        view.dvMaxZ = 1.0f;
        ASSERT_EQ(viewport_->SetViewport2(&view), D3D_OK);
    }

    void ClearDepth() {
        D3DRECT all{0, 0, LONG(width_), LONG(height_)};
        ASSERT_EQ(viewport_->Clear(1, &all, D3DCLEAR_ZBUFFER), D3D_OK);
    }

    void State(D3DRENDERSTATETYPE state, DWORD value) {
        ASSERT_EQ(device_->SetRenderState(state, value), D3D_OK);
    }
    void FloatState(D3DRENDERSTATETYPE state, float value) {
        DWORD bits;
        std::memcpy(&bits, &value, sizeof(bits));
        State(state, bits);
    }

    static D3DTLVERTEX V(float x, float y, float z = 0.5f, D3DCOLOR colour = 0xFFFFFFFF, float u = 0.0f,
                         float v = 0.0f, float rhw = 1.0f, D3DCOLOR specular = 0xFF000000) {
        return D3DTLVERTEX{x, y, z, rhw, colour, specular, u, v};
    }

    // An axis-aligned rectangle as a fan (left, top), (right, top), (right, bottom), (left, bottom).
    void Rect(float left, float top, float right, float bottom, D3DCOLOR colour, float z = 0.5f) {
        D3DTLVERTEX quad[4] = {V(left, top, z, colour), V(right, top, z, colour), V(right, bottom, z, colour),
                               V(left, bottom, z, colour)};
        ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DVT_TLVERTEX, quad, 4, 0), D3D_OK);
    }

    void Fan(std::vector<D3DTLVERTEX> v) {
        ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DVT_TLVERTEX, v.data(), DWORD(v.size()), 0),
                  D3D_OK);
    }

    // Sets every pixel of the target to value.
    void Fill(uint16_t value) {
        DDBLTFX fx{};
        fx.dwSize = sizeof(fx);
        fx.dwFillColor = value;
        ASSERT_EQ(target_->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    }

    // Copies of the target's pixels and the Z-buffer's depths, row by row.
    std::vector<uint16_t> Read(IDirectDrawSurface* surface) const {
        std::vector<uint32_t> values = testsupport::ReadPixels(surface);
        EXPECT_FALSE(values.empty());
        return std::vector<uint16_t>(values.begin(), values.end());
    }
    std::vector<uint16_t> Pixels() const { return Read(target_); }
    std::vector<uint16_t> Depths() const { return Read(zbuffer_); }
    uint16_t Pixel(int x, int y) const { return Pixels()[size_t(y) * width_ + x]; }
    uint16_t Depth(int x, int y) const { return Depths()[size_t(y) * width_ + x]; }

    static uint16_t Rgb565(int r, int g, int b) {
        return uint16_t(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
    }
    static int Red(uint16_t p) { return p >> 11; }
    static int Green(uint16_t p) { return (p >> 5) & 63; }
    static int Blue(uint16_t p) { return p & 31; }
    // The 16-bit 4-4-4-4 format with alpha (a texture format read through the colour table).
    static DDPIXELFORMAT Argb4444() {
        DDPIXELFORMAT f{};
        f.dwSize = sizeof(f);
        f.dwFlags = DDPF_RGB | DDPF_ALPHAPIXELS;
        f.dwRGBBitCount = 16;
        f.dwRBitMask = 0x0F00;
        f.dwGBitMask = 0x00F0;
        f.dwBBitMask = 0x000F;
        f.dwRGBAlphaBitMask = 0xF000;
        return f;
    }

    // A system-memory texture of width x height in format (the display's 5-6-5 when NULL) holding texels
    // row by row, with its handle bound to the device. Released by TearDown.
    D3DTEXTUREHANDLE BindTexture(DWORD width, DWORD height, const std::vector<uint16_t>& texels,
                                 const DDPIXELFORMAT* format = nullptr, const DDCOLORKEY* key = nullptr) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
        if (format) {
            desc.dwFlags |= DDSD_PIXELFORMAT;
            desc.ddpfPixelFormat = *format;
        }
        IDirectDrawSurface* surface = nullptr;
        EXPECT_EQ(dd_->CreateSurface(&desc, &surface, nullptr), DD_OK);
        if (!surface) return 0;
        textures_.push_back(surface);
        EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        for (DWORD y = 0; y < height; ++y)
            std::memcpy(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch, &texels[y * width],
                        width * 2);
        surface->Unlock(nullptr);
        if (key) {
            EXPECT_EQ(surface->SetColorKey(DDCKEY_SRCBLT, const_cast<DDCOLORKEY*>(key)), DD_OK);
        }
        IDirect3DTexture2* texture = nullptr;
        EXPECT_EQ(surface->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&texture)), S_OK);
        D3DTEXTUREHANDLE handle = 0;
        EXPECT_EQ(texture->GetHandle(device_, &handle), D3D_OK);
        texture->Release();
        State(D3DRENDERSTATE_TEXTUREHANDLE, handle);
        return handle;
    }

    // Writes the target as a 24-bit BMP into the build folder's frames/, for review.
    void WriteFrame(const std::string& name) const {
        std::vector<uint16_t> pixels = Pixels();
        testsupport::WriteFrame565(name, int(width_), int(height_), int(width_) * 2, pixels.data());
    }

    DWORD width_ = 0;
    DWORD height_ = 0;
    IDirectDrawSurface* target_ = nullptr;
    IDirectDrawSurface* zbuffer_ = nullptr;
    IDirect3D2* d3d_ = nullptr;
    IDirect3DDevice2* device_ = nullptr;
    IDirect3DViewport2* viewport_ = nullptr;
    std::vector<IDirectDrawSurface*> textures_;
};
