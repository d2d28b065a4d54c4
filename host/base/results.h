// Result codes of the platform's interfaces, with the values the platform documents for them. A failure
// is negative: the top bit, a facility and a code. The display interfaces (DirectDraw, Direct3D and
// Retained Mode) share the display facility 0x876, the sound interface has facility 0x878, and a failure
// of the system's own error numbers is facility 7. A name documented as the value of a generic code (as
// DDERR_GENERIC is E_FAIL) is that code. Each HOST_*_LIST macro enumerates a family (name, value) once; the
// constants are declared from the lists, and tables and tests are built from them.
#pragma once

#include "host/base/types.h"

#define HOST_RESULT(value)                   ((HRESULT)(DWORD)(value))
#define HOST_MAKE_FAILURE(facility, code)    HOST_RESULT(0x80000000u | ((DWORD)(facility) << 16) | (DWORD)(code))
#define HOST_DISPLAY_FAILURE(code)           HOST_MAKE_FAILURE(0x876, code)
#define HOST_SOUND_FAILURE(code)             HOST_MAKE_FAILURE(0x878, code)
#define HOST_SYSTEM_ERROR_FAILURE(errorCode) HOST_MAKE_FAILURE(7, errorCode)

#define HOST_DECLARE_RESULT(name, value) inline constexpr HRESULT name = value;

// Generic codes, reused by the families below.
#define HOST_GENERIC_RESULT_LIST(X)                                                                          \
    X(S_OK, HOST_RESULT(0))                                                                                  \
    X(S_FALSE, HOST_RESULT(1))                                                                               \
    X(E_NOTIMPL, HOST_RESULT(0x80004001))                                                                    \
    X(E_NOINTERFACE, HOST_RESULT(0x80004002))                                                                \
    X(E_POINTER, HOST_RESULT(0x80004003))                                                                    \
    X(E_FAIL, HOST_RESULT(0x80004005))                                                                       \
    X(E_PENDING, HOST_RESULT(0x8000000A))                                                                    \
    X(E_ACCESSDENIED, HOST_RESULT(0x80070005))                                                               \
    X(E_OUTOFMEMORY, HOST_RESULT(0x8007000E))                                                                \
    X(E_INVALIDARG, HOST_RESULT(0x80070057))                                                                 \
    X(CLASS_E_NOAGGREGATION, HOST_RESULT(0x80040110))                                                        \
    X(REGDB_E_CLASSNOTREG, HOST_RESULT(0x80040154))                                                          \
    X(CO_E_NOTINITIALIZED, HOST_RESULT(0x800401F0))
HOST_GENERIC_RESULT_LIST(HOST_DECLARE_RESULT)

// The display driver's codes (DirectDraw).
#define HOST_DDERR_LIST(X)                                                                                   \
    X(DDERR_ALREADYINITIALIZED, HOST_DISPLAY_FAILURE(5))                                                     \
    X(DDERR_CANNOTATTACHSURFACE, HOST_DISPLAY_FAILURE(10))                                                   \
    X(DDERR_CANNOTDETACHSURFACE, HOST_DISPLAY_FAILURE(20))                                                   \
    X(DDERR_CURRENTLYNOTAVAIL, HOST_DISPLAY_FAILURE(40))                                                     \
    X(DDERR_EXCEPTION, HOST_DISPLAY_FAILURE(55))                                                             \
    X(DDERR_GENERIC, E_FAIL)                                                                                 \
    X(DDERR_HEIGHTALIGN, HOST_DISPLAY_FAILURE(90))                                                           \
    X(DDERR_INCOMPATIBLEPRIMARY, HOST_DISPLAY_FAILURE(95))                                                   \
    X(DDERR_INVALIDCAPS, HOST_DISPLAY_FAILURE(100))                                                          \
    X(DDERR_INVALIDCLIPLIST, HOST_DISPLAY_FAILURE(110))                                                      \
    X(DDERR_INVALIDMODE, HOST_DISPLAY_FAILURE(120))                                                          \
    X(DDERR_INVALIDOBJECT, HOST_DISPLAY_FAILURE(130))                                                        \
    X(DDERR_INVALIDPARAMS, E_INVALIDARG)                                                                     \
    X(DDERR_INVALIDPIXELFORMAT, HOST_DISPLAY_FAILURE(145))                                                   \
    X(DDERR_INVALIDRECT, HOST_DISPLAY_FAILURE(150))                                                          \
    X(DDERR_LOCKEDSURFACES, HOST_DISPLAY_FAILURE(160))                                                       \
    X(DDERR_NO3D, HOST_DISPLAY_FAILURE(170))                                                                 \
    X(DDERR_NOALPHAHW, HOST_DISPLAY_FAILURE(180))                                                            \
    X(DDERR_NOCLIPLIST, HOST_DISPLAY_FAILURE(205))                                                           \
    X(DDERR_NOCOLORCONVHW, HOST_DISPLAY_FAILURE(210))                                                        \
    X(DDERR_NOCOOPERATIVELEVELSET, HOST_DISPLAY_FAILURE(212))                                                \
    X(DDERR_NOCOLORKEY, HOST_DISPLAY_FAILURE(215))                                                           \
    X(DDERR_NOCOLORKEYHW, HOST_DISPLAY_FAILURE(220))                                                         \
    X(DDERR_NODIRECTDRAWSUPPORT, HOST_DISPLAY_FAILURE(222))                                                  \
    X(DDERR_NOEXCLUSIVEMODE, HOST_DISPLAY_FAILURE(225))                                                      \
    X(DDERR_NOFLIPHW, HOST_DISPLAY_FAILURE(230))                                                             \
    X(DDERR_NOGDI, HOST_DISPLAY_FAILURE(240))                                                                \
    X(DDERR_NOMIRRORHW, HOST_DISPLAY_FAILURE(250))                                                           \
    X(DDERR_NOTFOUND, HOST_DISPLAY_FAILURE(255))                                                             \
    X(DDERR_NOOVERLAYHW, HOST_DISPLAY_FAILURE(260))                                                          \
    X(DDERR_NORASTEROPHW, HOST_DISPLAY_FAILURE(280))                                                         \
    X(DDERR_NOROTATIONHW, HOST_DISPLAY_FAILURE(290))                                                         \
    X(DDERR_NOSTRETCHHW, HOST_DISPLAY_FAILURE(310))                                                          \
    X(DDERR_NOT4BITCOLOR, HOST_DISPLAY_FAILURE(316))                                                         \
    X(DDERR_NOT4BITCOLORINDEX, HOST_DISPLAY_FAILURE(317))                                                    \
    X(DDERR_NOT8BITCOLOR, HOST_DISPLAY_FAILURE(320))                                                         \
    X(DDERR_NOTEXTUREHW, HOST_DISPLAY_FAILURE(330))                                                          \
    X(DDERR_NOVSYNCHW, HOST_DISPLAY_FAILURE(335))                                                            \
    X(DDERR_NOZBUFFERHW, HOST_DISPLAY_FAILURE(340))                                                          \
    X(DDERR_NOZOVERLAYHW, HOST_DISPLAY_FAILURE(350))                                                         \
    X(DDERR_OUTOFCAPS, HOST_DISPLAY_FAILURE(360))                                                            \
    X(DDERR_OUTOFMEMORY, E_OUTOFMEMORY)                                                                      \
    X(DDERR_OUTOFVIDEOMEMORY, HOST_DISPLAY_FAILURE(380))                                                     \
    X(DDERR_OVERLAYCANTCLIP, HOST_DISPLAY_FAILURE(382))                                                      \
    X(DDERR_OVERLAYCOLORKEYONLYONEACTIVE, HOST_DISPLAY_FAILURE(384))                                         \
    X(DDERR_PALETTEBUSY, HOST_DISPLAY_FAILURE(387))                                                          \
    X(DDERR_COLORKEYNOTSET, HOST_DISPLAY_FAILURE(400))                                                       \
    X(DDERR_SURFACEALREADYATTACHED, HOST_DISPLAY_FAILURE(410))                                               \
    X(DDERR_SURFACEALREADYDEPENDENT, HOST_DISPLAY_FAILURE(420))                                              \
    X(DDERR_SURFACEBUSY, HOST_DISPLAY_FAILURE(430))                                                          \
    X(DDERR_CANTLOCKSURFACE, HOST_DISPLAY_FAILURE(435))                                                      \
    X(DDERR_SURFACEISOBSCURED, HOST_DISPLAY_FAILURE(440))                                                    \
    X(DDERR_SURFACELOST, HOST_DISPLAY_FAILURE(450))                                                          \
    X(DDERR_SURFACENOTATTACHED, HOST_DISPLAY_FAILURE(460))                                                   \
    X(DDERR_TOOBIGHEIGHT, HOST_DISPLAY_FAILURE(470))                                                         \
    X(DDERR_TOOBIGSIZE, HOST_DISPLAY_FAILURE(480))                                                           \
    X(DDERR_TOOBIGWIDTH, HOST_DISPLAY_FAILURE(490))                                                          \
    X(DDERR_UNSUPPORTED, E_NOTIMPL)                                                                          \
    X(DDERR_UNSUPPORTEDFORMAT, HOST_DISPLAY_FAILURE(510))                                                    \
    X(DDERR_UNSUPPORTEDMASK, HOST_DISPLAY_FAILURE(520))                                                      \
    X(DDERR_VERTICALBLANKINPROGRESS, HOST_DISPLAY_FAILURE(537))                                              \
    X(DDERR_WASSTILLDRAWING, HOST_DISPLAY_FAILURE(540))                                                      \
    X(DDERR_XALIGN, HOST_DISPLAY_FAILURE(560))                                                               \
    X(DDERR_INVALIDDIRECTDRAWGUID, HOST_DISPLAY_FAILURE(561))                                                \
    X(DDERR_DIRECTDRAWALREADYCREATED, HOST_DISPLAY_FAILURE(562))                                             \
    X(DDERR_NODIRECTDRAWHW, HOST_DISPLAY_FAILURE(563))                                                       \
    X(DDERR_PRIMARYSURFACEALREADYEXISTS, HOST_DISPLAY_FAILURE(564))                                          \
    X(DDERR_NOEMULATION, HOST_DISPLAY_FAILURE(565))                                                          \
    X(DDERR_REGIONTOOSMALL, HOST_DISPLAY_FAILURE(566))                                                       \
    X(DDERR_CLIPPERISUSINGHWND, HOST_DISPLAY_FAILURE(567))                                                   \
    X(DDERR_NOCLIPPERATTACHED, HOST_DISPLAY_FAILURE(568))                                                    \
    X(DDERR_NOHWND, HOST_DISPLAY_FAILURE(569))                                                               \
    X(DDERR_HWNDSUBCLASSED, HOST_DISPLAY_FAILURE(570))                                                       \
    X(DDERR_HWNDALREADYSET, HOST_DISPLAY_FAILURE(571))                                                       \
    X(DDERR_NOPALETTEATTACHED, HOST_DISPLAY_FAILURE(572))                                                    \
    X(DDERR_NOPALETTEHW, HOST_DISPLAY_FAILURE(573))                                                          \
    X(DDERR_BLTFASTCANTCLIP, HOST_DISPLAY_FAILURE(574))                                                      \
    X(DDERR_NOBLTHW, HOST_DISPLAY_FAILURE(575))                                                              \
    X(DDERR_NODDROPSHW, HOST_DISPLAY_FAILURE(576))                                                           \
    X(DDERR_OVERLAYNOTVISIBLE, HOST_DISPLAY_FAILURE(577))                                                    \
    X(DDERR_NOOVERLAYDEST, HOST_DISPLAY_FAILURE(578))                                                        \
    X(DDERR_INVALIDPOSITION, HOST_DISPLAY_FAILURE(579))                                                      \
    X(DDERR_NOTAOVERLAYSURFACE, HOST_DISPLAY_FAILURE(580))                                                   \
    X(DDERR_EXCLUSIVEMODEALREADYSET, HOST_DISPLAY_FAILURE(581))                                              \
    X(DDERR_NOTFLIPPABLE, HOST_DISPLAY_FAILURE(582))                                                         \
    X(DDERR_CANTDUPLICATE, HOST_DISPLAY_FAILURE(583))                                                        \
    X(DDERR_NOTLOCKED, HOST_DISPLAY_FAILURE(584))                                                            \
    X(DDERR_CANTCREATEDC, HOST_DISPLAY_FAILURE(585))                                                         \
    X(DDERR_NODC, HOST_DISPLAY_FAILURE(586))                                                                 \
    X(DDERR_WRONGMODE, HOST_DISPLAY_FAILURE(587))                                                            \
    X(DDERR_IMPLICITLYCREATED, HOST_DISPLAY_FAILURE(588))                                                    \
    X(DDERR_NOTPALETTIZED, HOST_DISPLAY_FAILURE(589))                                                        \
    X(DDERR_UNSUPPORTEDMODE, HOST_DISPLAY_FAILURE(590))                                                      \
    X(DDERR_NOMIPMAPHW, HOST_DISPLAY_FAILURE(591))                                                           \
    X(DDERR_INVALIDSURFACETYPE, HOST_DISPLAY_FAILURE(592))                                                   \
    X(DDERR_DCALREADYCREATED, HOST_DISPLAY_FAILURE(620))                                                     \
    X(DDERR_CANTPAGELOCK, HOST_DISPLAY_FAILURE(640))                                                         \
    X(DDERR_CANTPAGEUNLOCK, HOST_DISPLAY_FAILURE(660))                                                       \
    X(DDERR_NOTPAGELOCKED, HOST_DISPLAY_FAILURE(680))                                                        \
    X(DDERR_NOTINITIALIZED, CO_E_NOTINITIALIZED)
HOST_DDERR_LIST(HOST_DECLARE_RESULT)
inline constexpr HRESULT DD_OK = S_OK;

// The sound device's codes (DirectSound).
#define HOST_DSERR_LIST(X)                                                                                   \
    X(DSERR_ALLOCATED, HOST_SOUND_FAILURE(10))                                                               \
    X(DSERR_CONTROLUNAVAIL, HOST_SOUND_FAILURE(30))                                                          \
    X(DSERR_INVALIDPARAM, E_INVALIDARG)                                                                      \
    X(DSERR_INVALIDCALL, HOST_SOUND_FAILURE(50))                                                             \
    X(DSERR_GENERIC, E_FAIL)                                                                                 \
    X(DSERR_PRIOLEVELNEEDED, HOST_SOUND_FAILURE(70))                                                         \
    X(DSERR_OUTOFMEMORY, E_OUTOFMEMORY)                                                                      \
    X(DSERR_BADFORMAT, HOST_SOUND_FAILURE(100))                                                              \
    X(DSERR_UNSUPPORTED, E_NOTIMPL)                                                                          \
    X(DSERR_NODRIVER, HOST_SOUND_FAILURE(120))                                                               \
    X(DSERR_ALREADYINITIALIZED, HOST_SOUND_FAILURE(130))                                                     \
    X(DSERR_NOAGGREGATION, CLASS_E_NOAGGREGATION)                                                            \
    X(DSERR_BUFFERLOST, HOST_SOUND_FAILURE(150))                                                             \
    X(DSERR_OTHERAPPHASPRIO, HOST_SOUND_FAILURE(160))                                                        \
    X(DSERR_UNINITIALIZED, HOST_SOUND_FAILURE(170))
HOST_DSERR_LIST(HOST_DECLARE_RESULT)
inline constexpr HRESULT DS_OK = S_OK;

// The 3D device's codes (Direct3D), the range the engine names.
#define HOST_D3DERR_LIST(X)                                                                                  \
    X(D3DERR_BADMAJORVERSION, HOST_DISPLAY_FAILURE(700))                                                     \
    X(D3DERR_BADMINORVERSION, HOST_DISPLAY_FAILURE(701))                                                     \
    X(D3DERR_EXECUTE_CREATE_FAILED, HOST_DISPLAY_FAILURE(710))                                               \
    X(D3DERR_EXECUTE_DESTROY_FAILED, HOST_DISPLAY_FAILURE(711))                                              \
    X(D3DERR_EXECUTE_LOCK_FAILED, HOST_DISPLAY_FAILURE(712))                                                 \
    X(D3DERR_EXECUTE_UNLOCK_FAILED, HOST_DISPLAY_FAILURE(713))                                               \
    X(D3DERR_EXECUTE_LOCKED, HOST_DISPLAY_FAILURE(714))                                                      \
    X(D3DERR_EXECUTE_NOT_LOCKED, HOST_DISPLAY_FAILURE(715))                                                  \
    X(D3DERR_EXECUTE_FAILED, HOST_DISPLAY_FAILURE(716))                                                      \
    X(D3DERR_EXECUTE_CLIPPED_FAILED, HOST_DISPLAY_FAILURE(717))                                              \
    X(D3DERR_TEXTURE_NO_SUPPORT, HOST_DISPLAY_FAILURE(720))                                                  \
    X(D3DERR_TEXTURE_CREATE_FAILED, HOST_DISPLAY_FAILURE(721))                                               \
    X(D3DERR_TEXTURE_DESTROY_FAILED, HOST_DISPLAY_FAILURE(722))                                              \
    X(D3DERR_TEXTURE_LOCK_FAILED, HOST_DISPLAY_FAILURE(723))                                                 \
    X(D3DERR_TEXTURE_UNLOCK_FAILED, HOST_DISPLAY_FAILURE(724))                                               \
    X(D3DERR_TEXTURE_LOAD_FAILED, HOST_DISPLAY_FAILURE(725))                                                 \
    X(D3DERR_TEXTURE_SWAP_FAILED, HOST_DISPLAY_FAILURE(726))                                                 \
    X(D3DERR_TEXTURE_LOCKED, HOST_DISPLAY_FAILURE(727))                                                      \
    X(D3DERR_TEXTURE_NOT_LOCKED, HOST_DISPLAY_FAILURE(728))                                                  \
    X(D3DERR_TEXTURE_GETSURF_FAILED, HOST_DISPLAY_FAILURE(729))                                              \
    X(D3DERR_MATRIX_CREATE_FAILED, HOST_DISPLAY_FAILURE(730))                                                \
    X(D3DERR_MATRIX_DESTROY_FAILED, HOST_DISPLAY_FAILURE(731))                                               \
    X(D3DERR_MATRIX_SETDATA_FAILED, HOST_DISPLAY_FAILURE(732))                                               \
    X(D3DERR_MATRIX_GETDATA_FAILED, HOST_DISPLAY_FAILURE(733))                                               \
    X(D3DERR_SETVIEWPORTDATA_FAILED, HOST_DISPLAY_FAILURE(734))                                              \
    X(D3DERR_MATERIAL_CREATE_FAILED, HOST_DISPLAY_FAILURE(740))                                              \
    X(D3DERR_MATERIAL_DESTROY_FAILED, HOST_DISPLAY_FAILURE(741))                                             \
    X(D3DERR_MATERIAL_SETDATA_FAILED, HOST_DISPLAY_FAILURE(742))                                             \
    X(D3DERR_MATERIAL_GETDATA_FAILED, HOST_DISPLAY_FAILURE(743))                                             \
    X(D3DERR_LIGHT_SET_FAILED, HOST_DISPLAY_FAILURE(750))                                                    \
    X(D3DERR_SCENE_IN_SCENE, HOST_DISPLAY_FAILURE(760))                                                      \
    X(D3DERR_SCENE_NOT_IN_SCENE, HOST_DISPLAY_FAILURE(761))                                                  \
    X(D3DERR_SCENE_BEGIN_FAILED, HOST_DISPLAY_FAILURE(762))                                                  \
    X(D3DERR_SCENE_END_FAILED, HOST_DISPLAY_FAILURE(763))
HOST_D3DERR_LIST(HOST_DECLARE_RESULT)
inline constexpr HRESULT D3D_OK = S_OK;

// The scene layer's codes (Direct3D Retained Mode).
#define HOST_D3DRMERR_LIST(X)                                                                                \
    X(D3DRMERR_BADOBJECT, HOST_DISPLAY_FAILURE(781))                                                         \
    X(D3DRMERR_BADTYPE, HOST_DISPLAY_FAILURE(782))                                                           \
    X(D3DRMERR_BADALLOC, HOST_DISPLAY_FAILURE(783))                                                          \
    X(D3DRMERR_FACEUSED, HOST_DISPLAY_FAILURE(784))                                                          \
    X(D3DRMERR_NOTFOUND, HOST_DISPLAY_FAILURE(785))                                                          \
    X(D3DRMERR_NOTDONEYET, HOST_DISPLAY_FAILURE(786))                                                        \
    X(D3DRMERR_FILENOTFOUND, HOST_DISPLAY_FAILURE(787))                                                      \
    X(D3DRMERR_BADFILE, HOST_DISPLAY_FAILURE(788))                                                           \
    X(D3DRMERR_BADDEVICE, HOST_DISPLAY_FAILURE(789))                                                         \
    X(D3DRMERR_BADVALUE, HOST_DISPLAY_FAILURE(790))                                                          \
    X(D3DRMERR_BADMAJORVERSION, HOST_DISPLAY_FAILURE(791))                                                   \
    X(D3DRMERR_BADMINORVERSION, HOST_DISPLAY_FAILURE(792))                                                   \
    X(D3DRMERR_UNABLETOEXECUTE, HOST_DISPLAY_FAILURE(793))
HOST_D3DRMERR_LIST(HOST_DECLARE_RESULT)
inline constexpr HRESULT D3DRM_OK = S_OK;

// The input devices' codes (DirectInput; not decoded by the engine, but tested by its callers): system
// error numbers and generic codes.
#define HOST_DIERR_LIST(X)                                                                                   \
    X(DIERR_INVALIDPARAM, E_INVALIDARG)                                                                      \
    X(DIERR_NOTINITIALIZED, HOST_SYSTEM_ERROR_FAILURE(21))                                                   \
    X(DIERR_INPUTLOST, HOST_SYSTEM_ERROR_FAILURE(30))                                                        \
    X(DIERR_NOTACQUIRED, HOST_SYSTEM_ERROR_FAILURE(12))                                                      \
    X(DIERR_ACQUIRED, HOST_SYSTEM_ERROR_FAILURE(170))                                                        \
    X(DIERR_OTHERAPPHASPRIO, E_ACCESSDENIED)                                                                 \
    X(DIERR_DEVICENOTREG, REGDB_E_CLASSNOTREG)                                                               \
    X(DIERR_NOINTERFACE, E_NOINTERFACE)                                                                      \
    X(DIERR_OBJECTNOTFOUND, HOST_SYSTEM_ERROR_FAILURE(2))                                                    \
    X(DIERR_UNSUPPORTED, E_NOTIMPL)
HOST_DIERR_LIST(HOST_DECLARE_RESULT)
inline constexpr HRESULT DI_OK = S_OK;
inline constexpr HRESULT DI_BUFFEROVERFLOW = S_FALSE;
inline constexpr HRESULT DI_NOEFFECT = S_FALSE;

#undef HOST_DECLARE_RESULT
