// quib/: the exported interface (this header, the records it carries, export.h, ptrarray.h), which may
// include only host, and the engine's entry (video_start.cpp), which may include everything in quib/.
//
// The engine's exported API, the flat functions that the programs call. Functions that can fail return
// 1 for success and 0 for failure, or a pointer or handle that is NULL on failure; the reason is then in
// the engine's last error text (and in debug.log when the log is on).
//
// Memory: a function of the engine that reports failure as its result (0 or NULL) allocates with
// new (std::nothrow) and reports memory running out as that failure, leaving nothing half made (the file
// loaders that build in standard containers catch std::bad_alloc and report it alike). Constructors and
// operations without a failure result allocate with plain new: memory running out there ends the program.
#pragma once

#include "host/base/types.h"
#include "host/d3d/d3dtypes.h"
#include "host/ddraw/ddraw.h"
#include "host/dinput/dinput.h"
#include "quib/export.h"

// ---- Debug and errors ----

// Switches the debug log debug.log (in the current folder) on for any non-zero value, off for 0.
// The first line logged in a process empties an old log; later lines, also after switching off and on
// again, are appended.
QUIB_API void QuibDebugEnable(int on);

// Registers an error text from outside the engine, as the engine registers its own: kept as the last
// error text with a newline, and logged.
QUIB_API void QuibRegError(const char* text);

// Does nothing; kept because programs may import it.
QUIB_API void junk();

// ---- Video start-up, window and shutdown ----
//
// A program hands over its instance and window, starts the display with one QuibInitDirectX, sets the
// viewport, borrows the DirectDraw object and the two buffers, and ends with QuibFreeDirectX. The borrowed
// objects stay the engine's (never release them) and stay valid until QuibFreeDirectX or the next
// QuibInitDirectX. A second QuibInitDirectX is allowed: the old objects are released first. After a failed
// start, call QuibFreeDirectX to release what was made.

// Stores the program's instance (the input devices are created with it).
QUIB_API void QuibSetInstance(HINSTANCE instance);

// Exclusive full screen at width x height x bpp on window: a flip chain with one back buffer, a Z-buffer
// and the 3D devices. 1, or 0 with the reason in the last error text ("Error locating suitable Direct3D
// driver!" when the machine offers no usable 3D device, "3D Hardware doesn't support fullscreen rendering
// ..." when the hardware device cannot render that mode).
QUIB_API int QuibInitDirectX(HWND window, int width, int height, int bpp);

// In a window: renders a width x height client area at the desktop's depth into an off-screen back
// buffer that QuibFlip copies to the window's place on the desktop. Restores the desktop's mode first
// after a full-screen start. 1, or 0 with the reason in the last error text.
QUIB_API int QuibInitDirectX(HWND window, int width, int height);

// As the previous overload, at the window's current client size.
QUIB_API int QuibInitDirectX(HWND window);

// Tells the engine that the window's client area now starts at screen point (x, y). The parts of the
// window off the desktop are not presented; a window wholly off it presents nothing.
QUIB_API void QuibSetWindowXY(int x, int y);

// Sets the 3D viewport to the rectangle (back-buffer pixels). Before start-up: does nothing, returns 1.
// 1, or 0 with the error registered when the device refuses the rectangle.
QUIB_API int QuibSetViewport(int x, int y, int width, int height);

// Releases everything the start-up made (surface table, mirror surfaces, scene, buffers, devices, the
// DirectDraw object; the desktop's mode comes back after full screen) and logs what is still registered
// with the allocation tracker. Safe to call again, and after a failed start.
QUIB_API void QuibFreeDirectX();

// The front and back buffer (either output may be NULL); NULL before start-up and after QuibFreeDirectX.
QUIB_API void QuibGetDDInfo(IDirectDrawSurface** primary, IDirectDrawSurface** backBuffer);

// The DirectDraw object; NULL before start-up and after QuibFreeDirectX.
QUIB_API IDirectDraw* QuibGetLPDD();

// The desktop's bits per pixel, as the last start-up read it (the programs require 15 or 16).
QUIB_API int QuibGetDisplayBPP();

// 1 when the hardware 3D device renders, 0 for the software device.
QUIB_API int QuibIsHardwareD3D();

// 1 when the 3D device can render the display mode width x height x bpp (from the table the last start-up
// built), else 0 (always 0 before any start-up).
QUIB_API int QuibCheckDisplayMode(int width, int height, int bpp);

// Bit counts of a pixel format's red, green, blue and alpha channels (5, 6, 5, 0 for 5-6-5); four zeros
// for a palettised or non-RGB format. NULL outputs are skipped.
QUIB_API void QuibGetRGBABits(DDPIXELFORMAT* format, int* red, int* green, int* blue, int* alpha);

// Does nothing; the programs call it after a failed start-up and show their own message.
QUIB_API void QuibPrintError();

// Creates the 3D layer's texture table when there is none (every start-up calls it).
QUIB_API void QuibInitSurfaceTable();
// Empties the texture table: frees every texture handle, then deletes every entry (their surfaces and
// textures are released); the empty table stays for new textures. Logged "QuibFreeSurfaceTable(%p)".
QUIB_API void QuibFreeSurfaceTable();
// The surface of the texture loaded under name (exact, case-sensitive), or NULL. The table's: never
// release it.
QUIB_API IDirectDrawSurface* QuibGetSurface(const char* name);
// Tells the 3D layer that the pixels of the texture named name were changed (drawn on through
// QuibGetSurface), so that drawing shows them. 1; 0 with "QuibUpdateSurface: can't find surface"
// registered when no texture has that name.
QUIB_API int QuibUpdateSurface(const char* name);
// Switches the decal transparency (the colour key) of every texture's Retained Mode textures on or off.
QUIB_API void QuibSetTextureTransparency(int on);
// 1 when the 3D device takes 8-bit palettised textures (textures are then kept in that form), else 0.
QUIB_API int Quib8BitTextures();

// ---- Flip, frame rate and statistics ----

// The last measured frames per second; 0 until the first two-second window has closed.
extern QUIB_API float g_dwFpsF;

// Shows the back buffer: flips it to the front in full screen (after a flip the back buffer holds the
// frame before last), copies its visible part to the window's place on the desktop in a window. Lost
// buffers are restored first (0 with the error registered when that fails); a failed copy returns 0; a
// failed full-screen flip is only logged. Counts the frame for QuibGetFPS.
QUIB_API int QuibFlip();

// As QuibFlip without the frame count and the restoring of lost buffers, but in a window the rectangle r
// (back-buffer coordinates) of the window is left as it is on screen. 1, or 0 with the error registered.
QUIB_API int QuibFlipExcludeRect(RECT& r);

// The frame rate QuibFlip measures: frames counted in a window of a little over two seconds, halved.
QUIB_API float QuibGetFPS();

// Switches the statistics line of QuibShowStats on (non-zero) or off.
QUIB_API void QuibShowFPS(int on);

// While switched on, draws the statistics line (frame rate, objects, vertices, polygons, mode) centred at
// the bottom of the back buffer.
QUIB_API void QuibShowStats();

// Prints text at (x, y) on the back buffer in the DC's default font, light red on its background
// colour. 1, or 0 when the back buffer gives no device context (none yet, locked or lost) or text is NULL.
QUIB_API int QuibPrintString(const char* text, int x, int y);

// Total and free video memory for textures, into both outputs (and logged).
QUIB_API void QuibVideoMemoryStats(unsigned long& total, unsigned long& free);

// ---- 3D device ----

// Fills the hardware and software descriptions of the 3D device (both cleared first; left cleared
// before start-up). Always returns 0: callers read the descriptions.
QUIB_API int QuibGetD3DCaps(D3DDEVICEDESC* hardware, D3DDEVICEDESC* software);

// Finishes the frame's Retained Mode rendering and closes the immediate-mode scene. 1, or 0 with the
// error registered (also before start-up).
QUIB_API int QuibUpdateDevice();

// The display drivers that can carry 3D: the primary display (GUID NULL) and each secondary driver that
// reports 3D, at most MAX_D3D_DEVICES (filling the table registers "DDGetD3DDevices::exceeded
// MAX_D3D_DEVICES" and ends the listing).
constexpr int MAX_D3D_DEVICES = 10;
constexpr int kD3DDeviceNameSize = 80;
struct D3D_DEVICE_ENTRY {
    char name[kD3DDeviceNameSize]; // the driver name, at most 79 characters, terminated
    int supports512x384x16;        // 1 when the driver offers a 512 x 384 x 16 display mode
    DWORD videoMemory;             // bytes; the primary display adds the desktop's size at 16 bits
    GUID* guid;                    // NULL for the primary display; valid for the whole process
};
struct D3D_INFO {
    int count;
    D3D_DEVICE_ENTRY device[MAX_D3D_DEVICES];
};

// Lists the drivers into info (and into the engine's copy that QuibSelectD3DDevice chooses from). Each
// driver's modes refill the engine's mode table in turn, so QuibCheckDisplayMode afterwards answers for the
// last driver listed until the next start-up. 1, or 0 with the error registered (0 for a NULL info).
QUIB_API int QuibGetD3DDevices(D3D_INFO* info);
// Chooses entry index of the last listing for the next QuibInitDirectX (a secondary driver is then used
// when it still reports 3D; the primary display's entry keeps the default). 1, or 0 with "invalid
// D3DDevice index" registered.
QUIB_API int QuibSelectD3DDevice(int index);
// Chooses the driver by its GUID pointer (NULL: the primary display) and forgets a chosen name. Always 1.
QUIB_API int QuibSelectD3DGUID(void* guid);
// Draws a 1-pixel line between two world points into the back buffer, seen through the 3D viewport and
// clipped to the client area (and at the camera's front, w = 1), in colour's low 16 bits as a raw back-
// buffer pixel. 1, or 0 with the error registered (no viewport before start-up, transform, lock or unlock
// failure).
QUIB_API int QuibDrawLine3D(float x1, float y1, float z1, float x2, float y2, float z2, long colour);

// ---- Bitmaps ----
//
// A loaded bitmap is a system-memory surface of exactly the file's size, owned by the caller (Release
// it). NULL on failure with the reason in the last error text ("LoadBitmap : can't load bitmap <name>"
// for a missing or undecodable file). Default source colour keys: palette index 0 on an 8-bit surface,
// the raw pixel value 255 on any other (in 5-6-5: blue 31, green 7, red 0); the programs set their own
// key afterwards. 8-bit surfaces carry the file's colour table as their palette (black after the
// table's entries; the engine's 3-3-2 halftone palette for files without a table). Needs the display
// started (QuibInitDirectX) for every overload without a DirectDraw object and for every 8-bit palette.

// The file in the display's format, or 8-bit palettised when the file has 8 bits per pixel.
QUIB_API IDirectDrawSurface* QuibLoadBitmap(const char* name);
// depth 8: an 8-bit palettised surface whatever the file's depth; any other depth: the display's format.
QUIB_API IDirectDrawSurface* QuibLoadBitmap(const char* name, int depth);
// On dd: kind 0 as QuibLoadBitmap(name); kind 1 through the engine's own BMP reader (plain 40-byte-header
// files only, display format, no colour key); any other kind returns NULL without touching the file.
QUIB_API IDirectDrawSurface* QuibLoadBitmap(IDirectDraw* dd, const char* name, int kind);

// Saves a surface as a BMP file (replacing an old one): an 8-bit surface as an 8-bit file with all 256
// palette entries (a grey ramp when it has no palette), a 16-, 24- or 32-bit surface as a 24-bit file
// whose channels are widened with zero low bits (5-6-5 white gives 248, 252, 248). 1 when written; 0
// when the surface cannot be read (error registered) or the file cannot be created or written (a message
// box captioned with the file name says so).
QUIB_API int QuibWriteSurfaceToBMPFile(const char* name, IDirectDrawSurface* surface);

// Cuts surface into columns x rows equal tiles (a remainder of pixels is dropped) and writes each as a BMP
// file named after name with the tile's number (row x columns + column) as "%03d" before the extension:
// "c:\maps\ground.bmp" in 4 x 2 gives ground000.bmp (top left) to ground007.bmp in c:\maps. 1, or 0
// at the first tile that cannot be made or written (columns or rows below 1: 0, nothing written).
QUIB_API int QuibSubdivideSurface(const char* name, IDirectDrawSurface* surface, int columns, int rows);

// ---- Text ----
//
// Seven proportional sans fonts ("Arial") of cell heights 8, 10, 12, 14, 16, 24 and 36, by index 0..6;
// the current font is index 3 until changed. Its metrics are what QuibGetFontHeight/QuibGetCharWidth
// report and what the statistics line is placed with.
enum _fontTypes_e {
    QUIB_FONT_CURRENT = -1, // QuibDrawText: the current font
    QUIB_FONT_8 = 0,
    QUIB_FONT_10,
    QUIB_FONT_12,
    QUIB_FONT_14,
    QUIB_FONT_16,
    QUIB_FONT_24,
    QUIB_FONT_36,
};

// Makes the seven fonts (deleting those of an earlier call) and selects index 3; window's DC measures
// the fonts (NULL: the screen's).
QUIB_API void QuibInitFont(HWND window);
// Deletes the seven fonts and forgets them; text is then drawn in the surface DC's default font and
// QuibSetFont changes no index until QuibInitFont runs again.
QUIB_API void QuibFreeFont();
// Makes font (0..6) current when it exists and measures it; returns the previous index. Any other value
// changes nothing and returns the current index.
QUIB_API _fontTypes_e QuibSetFont(_fontTypes_e font);
// The current font index.
QUIB_API _fontTypes_e QuibGetFont();
// The current font's cell height and average character width, in pixels.
QUIB_API unsigned long QuibGetFontHeight();
QUIB_API unsigned long QuibGetCharWidth();
// Draws text at (x, y) (top-left of the text cell) on surface in colour (0x00bbggrr), transparent
// background, with font (QUIB_FONT_CURRENT, or any value outside 0..6: the current font). 1, or 0 when
// surface or text is NULL or the surface gives no device context (locked or lost).
QUIB_API int QuibDrawText(IDirectDrawSurface* surface, const char* text, int x, int y, unsigned long colour,
                          _fontTypes_e font);
// Shows the one-page 3D options wizard (the caller's dialog template 101); it changes nothing in the
// engine. Always 1.
QUIB_API int QuibDo3DOptionsDialog(HWND parent, HINSTANCE instance);

// ---- Input ----
//
// Polled keyboard, mouse and joystick, opened non-exclusive and foreground on the window given to
// QuibInitDirectX: they read only while that window is the foreground window, and are acquired again
// on the next read after the window comes back. A device whose set-up failed is released, so a later
// call tries again. QuibGetMouseData may be called from another thread (the framework's timer); the
// other input functions belong to the main thread.

// The keyboard device (NULL until QuibInitKeyboard or QuibGetKeys made it). The engine's: never release.
extern QUIB_API IDirectInputDevice* g_lpKBDevice;

// Creates the input object for instance unless it exists; on failure it stays missing (the device
// start-ups then fail). The start-ups call it themselves with the instance of QuibSetInstance.
QUIB_API void QuibInitDirectInput(HINSTANCE instance);
// Releases the joystick, the keyboard, the mouse and the input object. Stop every thread that reads the
// mouse first. Safe to call again.
QUIB_API void QuibFreeDirectInput();

// Creates (once) and acquires the keyboard. 1, or 0 when it cannot be made or another program has the
// keyboard now (the window is not in the foreground).
QUIB_API int QuibInitKeyboard();
// The 256-byte key table after a fresh read, indexed by set-1 scan code (extended keys | 0x80), bit 7
// set while the key is down; NULL when the keyboard cannot be read now (the table keeps the previous
// state). Makes the keyboard on first use. The table is the engine's; it stays valid.
QUIB_API char* QuibGetKeys();

// Creates the mouse (not acquired). 1, also when it exists; 0 with the error registered.
QUIB_API int QuibInitMouse();
// on = 0: unacquires the mouse. on != 0: acquires it unless it is believed acquired already; a failure
// registers "Tried to acquire mouse unsuccessfully." and is tried again on the next call. 1, or 0 when
// there is no mouse.
QUIB_API int QuibAcquireMouse(int on);
// The mouse's movement since the previous read and its buttons (1 left, 2 right, 4 middle, 8 fourth).
// All 0 without a mouse, when it cannot be read, and when input was lost (the mouse is then acquired
// again). NULL outputs are skipped. Callable from any thread.
QUIB_API void QuibGetMouseData(int* dx, int* dy, int* buttons);

// Opens the last attached joystick that can be set up (X and Y ranged -1000..1000) and acquires it.
QUIB_API void QuibInitJoystick();
// The joystick enumeration callback of QuibInitJoystick (context: the input object). Always 1, go on.
QUIB_API int QuibInitJoystickInput(const DIDEVICEINSTANCEA* instance, void* context);
// Polls and reads the joystick into state. 1, or 0 without a joystick or when it cannot be read (input
// lost: it is acquired again for the next read).
QUIB_API unsigned long QuibReadJoystickInput(DIJOYSTATE* state);
// Acquires the joystick again. 1 on success, 0 without a joystick or on failure.
QUIB_API int QuibReacquireInput();

// Sets the field of view of the current viewport (Retained Mode) and, when the viewport accepts it, the
// immediate-mode projection (factor 0.01 / field, at least 0.025). 1, or 0 with the error registered
// (field <= 0 is refused; the projection is then unchanged).
QUIB_API int QuibSetFOV(float field);
// Screen position of a world point with the immediate-mode view of the last rendered frame, truncated
// toward zero. Points behind the camera are projected all the same.
QUIB_API void QuibWorldToScreen(float& x, float& y, float& z, int& sx, int& sy);
// 1 when the 3D device does per-pixel (table) fog.
QUIB_API int QuibFogOK();
// Turns fog on (when the device can fog) or off for the immediate-mode drawing of later frames.
QUIB_API void QuibFogEnable(int on);
// Fog colour (0x00RRGGBB), linear start and end distance, and density; defaults 0x808080, 0, 1000, 0.02.
QUIB_API void QuibFogParams(unsigned long colour, float start, float end, float density);

// ---- 3D: render types ----

// Replaces RenderTypes by letters (at most 39 kept), empties the dropped-letter stack and sets the sky
// flag. Always 1.
QUIB_API int QuibSetRenderTypes(char* letters);
// 1 when a letter of RenderTypes, in lower case, is '*' or equals type (type itself is not converted).
QUIB_API int QuibIsRenderType(char type);
// Replaces TextureTypes by letters (at most 39 kept). Always 1.
QUIB_API int QuibSetTextureTypes(char* letters);
// As QuibIsRenderType over TextureTypes, with type also taken in lower case.
QUIB_API int QuibIsTextureType(char type);
// Detail factor (level + 5) / 10: level 5 is 1.0, level 0 halves the draw distances.
QUIB_API void QuibPelkDetailLevel(int level);
// Frames below low (above high) fps in a row before a letter is dropped (restored); 1 and 1 at start.
QUIB_API void QuibAutoFramerateAdjustDelays(int dropDelay, int restoreDelay);

// ---- 3D: display lists ----
// A display list is an ordered list of objects (handles of QuibLoadObject and its kin) that
// QuibRenderDisplayList draws. It never owns the objects.

// A new empty list with room for capacity objects (it grows as needed).
QUIB_API void* QuibCreateDisplayList(int capacity);
// Deletes the list (not its objects); NULL does nothing.
QUIB_API void QuibFreeDisplayList(void* list);
// Appends object. 1, or 0 for a NULL list.
QUIB_API int QuibAddDisplayList(void* list, void* object);
// Removes the first entry equal to object (later ones move down, a walk's cursor stays on the entry that
// moved into its place); an absent object changes nothing. 1, or 0 for a NULL list.
QUIB_API int QuibDelDisplayList(void* list, void* object);
// Replaces the first entry equal to oldObject by newObject: 1, or 0 when oldObject is not in the list
// or the list is NULL.
QUIB_API int QuibReplaceDisplayList(void* list, void* oldObject, void* newObject);

// ---- 3D: scene settings ----

// Whether the horizon line is projected (1 at start).
QUIB_API void QuibShowSky(int on);
// The two horizon colours (components 0-255); a horizon that exists takes them at once. Always 1.
QUIB_API int QuibSetHorizonColor(int r1, int g1, int b1, int r2, int g2, int b2);
// While on, the display-list path blits the background rectangle instead of clearing (0 at start).
QUIB_API void QuibVPEnable(int on);
// The background surface (not owned: keep it alive while the blit is on) and its rectangle, which is
// blitted to the same rectangle of the back buffer.
QUIB_API void QuibVPSetBackgroundParams(IDirectDrawSurface* surface, RECT& rect);
// Whether mirrors are being drawn (0 at start).
QUIB_API void QuibDrawingMirrors(int on);
// Whether skid marks are drawn (0 at start).
QUIB_API void QuibSkidsEnable(int on);
// Alpha bits of the device's alpha texture format; 0 when it has none.
QUIB_API int QuibAlphaBlending();
// Bilinear (on) or nearest texture filtering for Retained Mode and immediate-mode drawing. 1, or 0 before
// start-up or with the Retained Mode failure reported.
QUIB_API int QuibSetBilinearFiltering(int on);
// Do nothing; kept because programs may import them. Always 1.
QUIB_API int QuibAddScene(void* scene);
QUIB_API int QuibRenderSkid();

// ---- 3D: mirrors ----

// Makes the two mirror surfaces (system memory, width x height); when they exist, releases them instead
// (a following call makes them again). 1, or 0 with the failure reported (a first surface made stays).
QUIB_API int QuibMirrorInit(int unused1, int unused2, int width, int height);
// Releases both mirror surfaces (logged). Always 1.
QUIB_API int QuibMirrorFree();
// Copies the back buffer's rectangle (x, y, w, h) to the mirror surface and its left-right mirror image
// to the flipped one, making (or enlarging) the surfaces as needed. 1, or 0 when they cannot be made.
QUIB_API int QuibMirrorViewport(IDirectDrawSurface* unused, int x, int y, int w, int h);
// Blits (sx, sy, w, h) of the flipped mirror surface to (dx, dy) of the back buffer. 1, or 0 with the
// failure reported.
QUIB_API int QuibBlitMirror(int sx, int sy, int w, int h, int dx, int dy);

// ---- Line and point primitives ----
//
// Single lines and points drawn straight onto the 3D device, one draw call each, with the render states
// as they are (Z test and writes, a bound texture: the vertices' texture coordinates are 0), neither
// clipped by the engine nor culled. 1 on success (or when a switch had nothing to change); 0 without a
// 3D device or after a failed device call, with the error registered ("Direct3D Error ..." naming
// primitive.cpp and its line). The world-space forms use the view of the last rendered frame and project
// ends behind the camera all the same.

// Alpha blending by source alpha (on) or none (off); acts only when on differs from the last switch.
QUIB_API int d3dUseAlpha(int on);
// on: blend factors source alpha / inverse source alpha (no texture is bound). off: unbinds the texture.
// Acts when on differs from the last switch (the first switch always acts), and off also whenever the
// engine's drawing bound a texture since.
QUIB_API int d3dUseTexture(int on);
// A world-space line from a to b in colour (0xAARRGGBB), drawn untextured; texturing is switched back on
// afterwards unless the draw failed.
QUIB_API int d3dDrawLine(const D3DVECTOR& a, const D3DVECTOR& b, unsigned long colour);
// A world-space point.
QUIB_API int d3dDrawDot(const D3DVECTOR& p, unsigned long colour);
// A screen-space line between pixels (x1, y1) and (x2, y2), depth 0.1.
QUIB_API int d3dDrawLine(int x1, int y1, int x2, int y2, unsigned long colour);
// A screen-space point at pixel (x, y), depth 1.0.
QUIB_API int d3dDrawDot(int x, int y, unsigned long colour);

// ---- Immediate-mode lighting ----
//
// Up to three point lights per drawn sub-mesh, chosen from a table indexed by a 16 x 16 grid over the
// ground plane; only draws whose lighting mask shares a bit with the scene's lights mask are lit.

#include "quib/point_light.h"

// Replaces the lights by count lights (none for count <= 0) and sets the ambient level (clamped to
// 0..0.99609375). Always 1.
QUIB_API int QuibInitLights(SPECULAR_LIGHT* lights, int count, float value);
// Sets the scene's lights mask (0, the default, lights nothing).
QUIB_API void QuibLightsEnable(int mask);

// ---- Cameras and point transforms ----
//
// A camera is a Frame handle; one camera is current at a time and the scene is seen through it. The
// functions placing the current camera return 1, or 0 before a scene exists (no current camera). The
// integer overloads take positions x 32768 and angles in 4096ths of a turn.

class IDirect3DRMViewport;

// Deletes camera (NULL: nothing). The current camera is replaced by the default one first; the default
// camera is the engine's and is not deleted. Always 1.
QUIB_API int QuibFreeCamera(void* camera);
// Makes camera current and looks through it. 0 for NULL, or with the error registered when the viewport
// refuses it (the camera is current all the same).
QUIB_API int QuibSetCamera(void* camera);
// Makes the scene's default camera current again. 0 before a scene exists or when the viewport refuses.
QUIB_API int QuibSetDefaultCamera();
// The Retained Mode viewport (the engine's; never release it), NULL before the display starts.
QUIB_API IDirect3DRMViewport* QuibGetViewport();
// Moves the current camera to (x, y, z) and turns it by the angles a (about y), b (about x), c (about z),
// in degrees.
QUIB_API int QuibCameraOrientation(float x, float y, float z, float a, float b, float c);
QUIB_API int QuibCameraOrientation(long x, long y, long z, long a, long b, long c);
// The current camera's last position and angles as set.
QUIB_API int QuibCameraGetOrientation(float& x, float& y, float& z, float& a, float& b, float& c);
// Moves the current camera to (x, y, z) and aims it at (tx, ty, tz).
QUIB_API int QuibCameraLook(float x, float y, float z, float tx, float ty, float tz);
QUIB_API int QuibCameraLook(long x, long y, long z, long tx, long ty, long tz);
// Adds the angles (degrees) to the current camera's.
QUIB_API int QuibCameraLookAngle(float a, float b, float c);
QUIB_API int QuibCameraLookAngle(long a, long b, long c);
// Orbit placement of the current camera around (x, y, z) at distance, turned by yaw and pitch (degrees),
// looking at the point.
QUIB_API int QuibCameraFollow(float x, float y, float z, float distance, float yaw, float pitch);
QUIB_API int QuibCameraFollow(long x, long y, long z, long distance, long yaw, long pitch);
// The order the current camera's next angles are applied in: yaw-pitch-roll or pitch-roll-yaw.
QUIB_API int QuibCameraSetRotationOrderYPR();
QUIB_API int QuibCameraSetRotationOrderPRY();
// The current camera's transform relative to its parent: set, read, or applied in its own space.
QUIB_API int QuibSetCameraTransform(D3DMATRIX* m);
QUIB_API int QuibGetCameraTransform(D3DMATRIX* m);
QUIB_API int QuibCameraTransform(D3DMATRIX* m);
// The back clip distance of the viewport. 1, or 0 with the error registered (back must be positive and
// beyond the front plane).
QUIB_API int QuibSetZClipDistance(float back);
// Distance from the current camera's last set position to (x, y, z); 0 without a current camera.
QUIB_API float QuibGetDistanceFromCamera(float x, float y, float z);
// Screen position of a world point through the viewport and its camera: 1 when the point lies between
// the front and back planes, 0 otherwise (sx, sy are written all the same; 0, 0 for a point in the
// camera's plane) and 0 with sx, sy untouched when the viewport cannot transform it. The integer form
// takes whole world units and truncates the screen position toward zero.
QUIB_API int QuibTransformPoint(float x, float y, float z, float* sx, float* sy);
QUIB_API int QuibTransformPoint(long x, long y, long z, long* sx, long* sy);

// ---- Terrain tiles ----
//
// Terrain handles are Terrain objects (quib/scene/world/terrain.h), usable where object handles are.

// A new tile of cols x rows cells over x0..x0 + sizeX, z0..z0 + sizeZ (engine's Retained Mode, no
// parent), textured with texture when it is not NULL, into out. 1, or 0 with out NULL when the grid
// cannot be built (no cells, too many for 16-bit counts, or a size not positive).
QUIB_API int QuibInitTerrain(float x0, float z0, float sizeX, float sizeZ, int cols, int rows,
                             IDirectDrawSurface* texture, void** out);
// A tile read from a .dpm file into out. 1, or 0 with out NULL.
QUIB_API int QuibLoadTerrain(const char* file, void** out);
// Writes the tile to a .dpm file. 1, or 0 (also for a NULL tile).
QUIB_API int QuibSaveTerrain(const char* file, void* terrain);
// A new tile at half the resolution of source, sharing its texture, into out. 1, or 0 with out NULL
// when source has no grid or fewer than 2 x 2 cells.
QUIB_API int QuibInitTerrainLowDetail(void* source, void** out);
// Raises or lowers the tile's vertices from an 8-bit map (Terrain::ApplyElevationMap). Always 1.
QUIB_API int QuibApplyElevationMap(void* terrain, IDirectDrawSurface* map, float low, float high, int upward);
// The ground point under (x, z) on the tile (Terrain::FindIntersection). 0 for a NULL tile.
QUIB_API int QuibFindTerrainIntersection(void* terrain, float x, float z, D3DVECTOR& out);

// A new, empty terrain manager (quib/scene/world/terrain_manager.h) into out. 1, or 0 with out NULL when
// memory ran out.
QUIB_API int QuibInitTerrainManager(void** out);
// Places the tile in cell (ix, iz) of the manager's grid (TerrainManager::Add). 1, or 0 (nothing done)
// for a NULL manager or tile or a cell outside the grid.
QUIB_API int QuibAddTerrainManager(void* manager, void* terrain, int ix, int iz);
// The ground point under (x, z) on the manager's tiles. 0 for a NULL manager or no tile there.
QUIB_API int QuibFindTerrainManagerIntersection(void* manager, float x, float z, D3DVECTOR& out);

// ---- 3D: scenes and render paths ----

// Starts a frame of the queued-object path: the queue is emptied. Always 1.
QUIB_API int QuibBeginScene();
// Queues object for this frame. 1, or 0 for NULL or when 1000 objects are queued already (the error is
// registered).
QUIB_API int QuibRenderObject(void* object);
// Draw the queued objects through Retained Mode, far to near. 1, or 0 with the failure reported (also
// without a Z-buffer); a lost surface that cannot be restored skips the frame with 1.
QUIB_API int QuibRenderScene();
QUIB_API int QuibEndScene();
// Draws the list through the immediate-mode pipeline with the horizon (or the background blit) behind
// it, after clearing. Results as QuibRenderScene. The device's EndScene is QuibUpdateDevice's.
QUIB_API int QuibRenderDisplayList(void* list);

// ---- 3D: typed display lists ----

// A new list of the objects of list whose render types (read from their names) are enabled, sorted by
// type; list stays unchanged. The caller frees it.
QUIB_API void* QuibMakeParentChildRelationship(void* list);
// Sorts list by type: ground 't', decals 'd' and 'e', the skid marks, untyped '?', then 'a' to 'z';
// other types are left out.
QUIB_API void QuibSortDisplayList(void* list);
// Orders the children of every ground object by the enabled letters (children of other letters leave
// the children list). Always 1.
QUIB_API int QuibSortChildObjects(void* list);
// The frame-rate adjustment, once per frame: when a letter was dropped or restored, current is freed
// (unless it is source) and a new typed list of source is returned with *changed 1; else current with
// *changed 0.
QUIB_API void* QuibAutoFramerateAdjust(void* source, void* current, float low, float high, float fps,
                                       int* changed);

// ---- 3D: display-list settings ----

// Apply one setting to every object of the list.
QUIB_API int QuibUseMipMapsDL(void* list, int on);
QUIB_API void QuibSetMipMapLevelDL(void* list, int level);
QUIB_API void QuibFogEnableDL(void* list, int on);
QUIB_API void QuibFogParamsDL(void* list, unsigned long colour, float start, float end, float density);
QUIB_API void QuibSetSwitchDistancesDL(void* list, float d0, float d1, float d2, float d3, float d4);
QUIB_API void QuibSetSwitchRatiosDL(void* list, float r1, float r2, float r3, float r4, float r5);

// ---- 3D: objects and instances ----
//
// An object handle is a MeshObject (quib/scene/objects/mesh_object.h); terrain handles are objects too.
// Objects are made by QuibLoadObject, QuibInitObject and QuibMakeInstance and freed by QuibFreeObject. Every
// function does nothing for a NULL handle and then answers 0 (NULL, 0.0) unless said otherwise. Caller
// contract: an object must be freed only when nothing refers to it any more: no display list, no
// render queue, no parent (QuibAddChild: the parent frees its children) and no object it is a visual
// of; a master must outlive its instances. The integer overloads take positions x 32768 and angles in
// 4096ths of a turn.

#include "quib/dp_mesh_records.h"

// The flat names of the engine's mesh records: a 32-byte vertex and a triangle of three 16-bit indices.
using DPVERTEX = DPVertex;
using DPTRIANGLE = DPTriangle;

// The attributes QuibSetObjectAttributes and QuibGetObjectAttributes carry: four switch distances and
// the object's centre (read only).
struct _OBJ3DINFO {
    float switchDistance[4];
    float centre[3];
};
static_assert(sizeof(_OBJ3DINFO) == 28, "seven floats");

// A new object into *out, loaded from a model file chosen by the name's extension (from its first '.',
// in any case; the extension is lower-cased in the caller's string, the file found whatever its case):
// ".x", ".3ds" or ".m3d". NULL file:
// an empty object and 1. 0 with *out untouched for ".otm" (silently) and for any other extension
// ("QuibLoadObject: Invalid filename extension"); 0 with *out NULL when the file cannot be loaded (the
// loader registers why).
QUIB_API int QuibLoadObject(char* file, void** out);
// A new object of one sub-mesh copied from the caller's arrays (kept by the caller), textured with the
// bitmap named texture (from the surface table; untextured when it cannot be loaded), into *out. 1, or
// 0 with *out NULL for counts outside 1..65535, NULL arrays or a triangle naming a missing vertex.
QUIB_API int QuibInitObject(const char* texture, int nverts, int ntris, DPVERTEX* verts, DPTRIANGLE* tris,
                            void** out);
// A new instance of object: its own placement and materials, the mesh and geometry of object. NULL for
// NULL. Logged "QuibMakeInstance(<name>,<handle>)".
QUIB_API void* QuibMakeInstance(void* object);
// Deletes the object (see the caller contract above). NULL does nothing. Logged
// "QuibFreeObject <handle>,<name>".
QUIB_API void QuibFreeObject(void* object);

// Placement relative to the object's parent frame; angles in degrees (a about y, b about x, c about z).
// 1, or 0 for NULL.
QUIB_API int QuibObjectPosition(void* object, float x, float y, float z);
QUIB_API int QuibObjectRotation(void* object, float a, float b, float c);
QUIB_API int QuibObjectOrientation(void* object, float x, float y, float z, float a, float b, float c);
QUIB_API int QuibObjectOrientation(void* object, long x, long y, long z, long a, long b, long c);
// The position and angles last set.
QUIB_API int QuibObjectGetOrientation(void* object, float& x, float& y, float& z, float& a, float& b,
                                      float& c);
// The order the object's next angles are applied in: yaw-pitch-roll or pitch-roll-yaw.
QUIB_API int QuibObjectSetRotationOrderYPR(void* object);
QUIB_API int QuibObjectSetRotationOrderPRY(void* object);
// Scales the object's geometry per axis.
QUIB_API int QuibObjectScale(void* object, float sx, float sy, float sz);

// Relations. 1, or 0 for a NULL handle (or an object made its own child or visual).
// child is drawn with parent and freed by it.
QUIB_API int QuibAddChild(void* parent, void* child);
// Takes child out of parent's children (child is not freed); nothing when it is not one.
QUIB_API int QuibDelChild(void* parent, void* child);
// visual's frame hangs on object's frame; object's box grows to hold visual's box.
QUIB_API int QuibAddVisual(void* object, void* visual);
// visual is drawn with object only while object is nearer than its last switch distance.
QUIB_API int QuibAddDetailVisual(void* object, void* visual);
QUIB_API int QuibDeleteVisual(void* object, void* visual);
// Merges mesh's Retained Mode mesh into object's; the box grows to hold mesh's box.
QUIB_API int QuibAddMesh(void* object, void* mesh);

// Detail, textures, fog and flags.
QUIB_API void QuibSetObjectSwitchDistances(void* object, float d0, float d1, float d2, float d3, float d4);
// Each switch distance = its ratio x the largest side of the object's box.
QUIB_API void QuibSetObjectSwitchRatios(void* object, float r1, float r2, float r3, float r4, float r5);
// Switch distances 0-3 from info (its centre is ignored). 1, or 0 for NULL.
QUIB_API int QuibSetObjectAttributes(void* object, _OBJ3DINFO* info);
// Switch distances 0-3 and the centre into info. 1, or 0 for NULL.
QUIB_API int QuibGetObjectAttributes(void* object, _OBJ3DINFO* info);
// Mip-mapped textures on or off for the object. Always 1 (also for NULL).
QUIB_API int QuibUseMipMaps(void* object, int on);
// The mip level the object's textures show.
QUIB_API void QuibSetMipMapLevel(void* object, int level);
// The fog of the object's frame: on/off, start, end and density, colour (components clamped to 0..255).
QUIB_API void QuibSetFogEnable(void* object, int on);
QUIB_API void QuibSetFogParams(void* object, float start, float end, float density);
QUIB_API void QuibSetFogColor(void* object, int r, int g, int b);
// Whether the object is drawn.
QUIB_API void QuibObjectSetRenderFlag(void* object, int flag);
// 1 when the object's last render rejected it.
QUIB_API int QuibObjectWasRejected(void* object);
// Whether the object's box is outlined when it is drawn. 1, or 0 for NULL.
QUIB_API int QuibOutlineObject(void* object, int on);
// Moves (dx, dz) and scales (sx, sz) the object's shadow when it has one. Always 0.
QUIB_API int QuibAdjustShadow(void* object, float dx, float dz, float sx, float sz);

// Queries and geometry.
// Distance of the object's centre / nearest box corner from the current camera; 0 for NULL.
QUIB_API float QuibGetObjectDistance(void* object);
QUIB_API float QuibGetObjectClosestDistance(void* object);
// Where segment a-b meets the object's geometry (the triangle nearest a) into out, when it does.
QUIB_API void QuibFindMeshIntersection(void* object, D3DVECTOR& a, D3DVECTOR& b, D3DVECTOR& out);
// The point (x, y, z) of the object's space in world space into (ox, oy, oz). 1, or 0 (outputs
// untouched) for NULL or when the object's frame cannot transform it.
QUIB_API int QuibTransformPointRelative(void* object, float& x, float& y, float& z, float& ox, float& oy,
                                        float& oz);
// The object of list whose Retained Mode visual is nearest at pixel (x, y) of the viewport, or NULL.
// Only objects with Retained Mode geometry (".x" files, merged meshes) that are in the scene or were
// rendered through the viewport since its last clear can be picked.
QUIB_API void* QuibPickObject(void* list, int x, int y);
// Outlines every object of list in the back buffer: the 12 edges of its box and a cross on its centre,
// moved to its position (its rotation is not applied). Always 1.
QUIB_API int QuibOutlineObjects(void* list);
// Outlines the four edges of the bottom face (lowest y) of each object's box queued for this frame
// (QuibRenderObject), moved to its position. Always 1.
QUIB_API int QuibOutlineObjects();

// A new camera under object's frame (the scene root for NULL) into *out (NULL when it cannot be made);
// it is placed relative to that frame and must be freed (QuibFreeCamera) before the object. Always 1.
QUIB_API int QuibCreateCamera(void* object, void** out);

// ---- 3D: skid marks ----

// Makes the one skid-mark object (a ring of 200 skids drawn as dark quads; quib/scene/world/skid_object.h),
// replacing and freeing an earlier one, into out and as the result; with a texture surface (not held)
// the marks carry it where the device has no alpha texture format. NULL when it could not be made.
QUIB_API void* QuibInitSkidmarks(void** out);
QUIB_API void* QuibInitSkidmarks(void** out, IDirectDrawSurface* texture);
// Deletes the skid object, taking it out of the display lists it was sorted into. Nothing without one.
QUIB_API void QuibFreeSkidmarks();
// Forgets every skid. 1, or 0 on a failure or without a skid object.
QUIB_API int QuibClearSkidmarks();
// Starts a skid at (x, y, z) on ground of normal (nx, ny, nz); its ring index, or -1 without a skid
// object.
QUIB_API int QuibAddSkid(float x, float y, float z, float nx, float ny, float nz, float width);
// Stretches skid index to (x, y, z): the index to pass next time (a new one when a chained skid started),
// 0 before any skid was added or on a failure, -1 for an index outside the ring (logged) or without a
// skid object.
QUIB_API int QuibExtendSkid(int index, float x, float y, float z, float nx, float ny, float nz);
// ---- 3D: decal sprites and smoke ----

// A sprite (quib/scene/world/sprite3d_decal.h) holding one surface and its surface-table entry, with no
// Retained Mode texture: the decal calls below then return 0. 1 with the sprite in out, or 0 with out
// NULL and "QuibCreateSprite3D::can't create Sprite3D" or "...::can't init Sprite3D" registered.
QUIB_API int QuibSprite3DCreate(IDirectDrawSurface* surface, void** out);
// A sprite whose animation frames are the surfaces of the NULL-terminated list, shown as a decal centred
// on each surface, colour key transparent, frame 0 from the start. Results as above (an empty list: 0).
QUIB_API int QuibSprite3DCreate(IDirectDrawSurface** surfaces, void** out);
// Renders the sprite on the engine's Retained Mode viewport (its frame change takes effect now). 1, or 0
// with the failure reported (also for a single-surface sprite).
QUIB_API int QuibSprite3DRender(void* sprite);
// Steps to the next frame, after the last back to 0; shown at the next render. 1 (0 for NULL).
QUIB_API int QuibSprite3DNextFrame(void* sprite);
// Places the sprite where screen point (x, y) lies, one unit in front of the current camera. 1 (0 for
// NULL).
QUIB_API int QuibSprite3DScreenXY(void* sprite, int x, int y);
// Sets the decal size (world units, or pixels with scale 0), origin texel, transparency and scale of
// every frame of the sprite. 1, or 0 for a sprite without a texture.
QUIB_API int QuibSprite3DParameters(void* sprite, float w, float h, int ox, int oy, int transparent,
                                    int scale);
// Tells the shown texture that its surface's pixels and/or palette changed. 1, or 0 without a texture or
// with the failure reported.
QUIB_API int QuibSprite3DSurfaceChanged(void* sprite, int pixels, int palette);
// Deletes a sprite made by QuibSprite3DCreate (its textures and frames released); NULL does nothing.
// Surface-table entries of single-surface sprites stay the table's.
QUIB_API void QuibFreeSprite3D(void* sprite);

// Makes the smoke pool of count puffs over the NULL-terminated smoke textures (each gets a surface-table
// entry, which holds a reference on the caller's surface until the table is freed). An earlier pool is
// freed first. Out of memory: "QuibInitSmoke::can't alloc PUFFs" registered, no pool.
QUIB_API void QuibInitSmoke(int count, IDirectDrawSurface** surfaces);
// Frees the pool, its work space and the texture sprites.
QUIB_API void QuibFreeSmoke();
// Ends every puff.
QUIB_API void QuibClearSmoke();
// Starts a puff at (x, y, z) in the first free record, showing each texture for ticksPerFrame ticks from
// a random one; it lives (textures + 1) x ticksPerFrame ticks. Nothing when the pool is full or there are
// no textures.
QUIB_API void QuibAddSmoke(float x, float y, float z, int ticksPerFrame);
// Advances every puff by one tick: it grows by 0.75 x 0.5 world units and steps its texture.
QUIB_API void QuibTickSmoke();
// Sorts the live puffs far to near by distance from the current camera (equal distances in pool order).
QUIB_API void QuibSortSmoke();
// Sorts and draws the puffs additively through the immediate-mode device, fading each one drawn, until
// the area drawn passes the budget (a puff alone above it is left out). Nothing while smoke is off.
QUIB_API void QuibRenderSmoke();
// Switches smoke drawing on (non-zero, the default) or off.
QUIB_API void QuibRenderSmoke(int on);
// The largest fraction of the viewport smoke may cover in one frame (0.5 at first).
QUIB_API void QuibSetSmokeTA(float budget);
// Always 1.
QUIB_API int QuibCheckSmokePtr();
