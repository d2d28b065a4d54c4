// Result codes of the platform's interfaces. Every failure code is negative and distinct within its
// interface family; the generic codes are shared where the platform's families reuse them.
// The *_RESULT_LIST macros enumerate each family (name, value) for tables and tests.
#pragma once

#include "host/base/types.h"

#define HOST_MAKE_FAILURE(facility, code) ((HRESULT)(0x80000000u | ((DWORD)(facility) << 16) | (DWORD)(code)))

// Generic codes, reused by several families.
#define S_OK                  ((HRESULT)0)
#define S_FALSE               ((HRESULT)1)
#define E_FAIL                HOST_MAKE_FAILURE(0x0001, 0x0001)
#define E_INVALIDARG          HOST_MAKE_FAILURE(0x0001, 0x0002)
#define E_OUTOFMEMORY         HOST_MAKE_FAILURE(0x0001, 0x0003)
#define E_NOTIMPL             HOST_MAKE_FAILURE(0x0001, 0x0004)
#define E_NOINTERFACE         HOST_MAKE_FAILURE(0x0001, 0x0005)
#define E_POINTER             HOST_MAKE_FAILURE(0x0001, 0x0006)
#define E_PENDING             HOST_MAKE_FAILURE(0x0001, 0x0007)
#define CO_E_NOTINITIALIZED   HOST_MAKE_FAILURE(0x0001, 0x0008)
#define CLASS_E_NOAGGREGATION HOST_MAKE_FAILURE(0x0001, 0x0009)

#define DD_OK S_OK

#define HOST_DDERR_LIST(X)                                                                                   \
    X(DDERR_ALREADYINITIALIZED, HOST_MAKE_FAILURE(0x0876, 1))                                                \
    X(DDERR_CANNOTATTACHSURFACE, HOST_MAKE_FAILURE(0x0876, 2))                                               \
    X(DDERR_CANNOTDETACHSURFACE, HOST_MAKE_FAILURE(0x0876, 3))                                               \
    X(DDERR_CURRENTLYNOTAVAIL, HOST_MAKE_FAILURE(0x0876, 4))                                                 \
    X(DDERR_EXCEPTION, HOST_MAKE_FAILURE(0x0876, 5))                                                         \
    X(DDERR_GENERIC, E_FAIL)                                                                                 \
    X(DDERR_HEIGHTALIGN, HOST_MAKE_FAILURE(0x0876, 7))                                                       \
    X(DDERR_INCOMPATIBLEPRIMARY, HOST_MAKE_FAILURE(0x0876, 8))                                               \
    X(DDERR_INVALIDCAPS, HOST_MAKE_FAILURE(0x0876, 9))                                                       \
    X(DDERR_INVALIDCLIPLIST, HOST_MAKE_FAILURE(0x0876, 10))                                                  \
    X(DDERR_INVALIDMODE, HOST_MAKE_FAILURE(0x0876, 11))                                                      \
    X(DDERR_INVALIDOBJECT, HOST_MAKE_FAILURE(0x0876, 12))                                                    \
    X(DDERR_INVALIDPARAMS, E_INVALIDARG)                                                                     \
    X(DDERR_INVALIDPIXELFORMAT, HOST_MAKE_FAILURE(0x0876, 14))                                               \
    X(DDERR_INVALIDRECT, HOST_MAKE_FAILURE(0x0876, 15))                                                      \
    X(DDERR_LOCKEDSURFACES, HOST_MAKE_FAILURE(0x0876, 16))                                                   \
    X(DDERR_NO3D, HOST_MAKE_FAILURE(0x0876, 17))                                                             \
    X(DDERR_NOALPHAHW, HOST_MAKE_FAILURE(0x0876, 18))                                                        \
    X(DDERR_NOCLIPLIST, HOST_MAKE_FAILURE(0x0876, 19))                                                       \
    X(DDERR_NOCOLORCONVHW, HOST_MAKE_FAILURE(0x0876, 20))                                                    \
    X(DDERR_NOCOOPERATIVELEVELSET, HOST_MAKE_FAILURE(0x0876, 21))                                            \
    X(DDERR_NOCOLORKEY, HOST_MAKE_FAILURE(0x0876, 22))                                                       \
    X(DDERR_NOCOLORKEYHW, HOST_MAKE_FAILURE(0x0876, 23))                                                     \
    X(DDERR_NODIRECTDRAWSUPPORT, HOST_MAKE_FAILURE(0x0876, 24))                                              \
    X(DDERR_NOEXCLUSIVEMODE, HOST_MAKE_FAILURE(0x0876, 25))                                                  \
    X(DDERR_NOFLIPHW, HOST_MAKE_FAILURE(0x0876, 26))                                                         \
    X(DDERR_NOGDI, HOST_MAKE_FAILURE(0x0876, 27))                                                            \
    X(DDERR_NOMIRRORHW, HOST_MAKE_FAILURE(0x0876, 28))                                                       \
    X(DDERR_NOTFOUND, HOST_MAKE_FAILURE(0x0876, 29))                                                         \
    X(DDERR_NOOVERLAYHW, HOST_MAKE_FAILURE(0x0876, 30))                                                      \
    X(DDERR_NORASTEROPHW, HOST_MAKE_FAILURE(0x0876, 31))                                                     \
    X(DDERR_NOROTATIONHW, HOST_MAKE_FAILURE(0x0876, 32))                                                     \
    X(DDERR_NOSTRETCHHW, HOST_MAKE_FAILURE(0x0876, 33))                                                      \
    X(DDERR_NOT4BITCOLOR, HOST_MAKE_FAILURE(0x0876, 34))                                                     \
    X(DDERR_NOT4BITCOLORINDEX, HOST_MAKE_FAILURE(0x0876, 35))                                                \
    X(DDERR_NOT8BITCOLOR, HOST_MAKE_FAILURE(0x0876, 36))                                                     \
    X(DDERR_NOTEXTUREHW, HOST_MAKE_FAILURE(0x0876, 37))                                                      \
    X(DDERR_NOVSYNCHW, HOST_MAKE_FAILURE(0x0876, 38))                                                        \
    X(DDERR_NOZBUFFERHW, HOST_MAKE_FAILURE(0x0876, 39))                                                      \
    X(DDERR_NOZOVERLAYHW, HOST_MAKE_FAILURE(0x0876, 40))                                                     \
    X(DDERR_OUTOFCAPS, HOST_MAKE_FAILURE(0x0876, 41))                                                        \
    X(DDERR_OUTOFMEMORY, E_OUTOFMEMORY)                                                                      \
    X(DDERR_OUTOFVIDEOMEMORY, HOST_MAKE_FAILURE(0x0876, 43))                                                 \
    X(DDERR_OVERLAYCANTCLIP, HOST_MAKE_FAILURE(0x0876, 44))                                                  \
    X(DDERR_OVERLAYCOLORKEYONLYONEACTIVE, HOST_MAKE_FAILURE(0x0876, 45))                                     \
    X(DDERR_PALETTEBUSY, HOST_MAKE_FAILURE(0x0876, 46))                                                      \
    X(DDERR_COLORKEYNOTSET, HOST_MAKE_FAILURE(0x0876, 47))                                                   \
    X(DDERR_SURFACEALREADYATTACHED, HOST_MAKE_FAILURE(0x0876, 48))                                           \
    X(DDERR_SURFACEALREADYDEPENDENT, HOST_MAKE_FAILURE(0x0876, 49))                                          \
    X(DDERR_SURFACEBUSY, HOST_MAKE_FAILURE(0x0876, 50))                                                      \
    X(DDERR_CANTLOCKSURFACE, HOST_MAKE_FAILURE(0x0876, 51))                                                  \
    X(DDERR_SURFACEISOBSCURED, HOST_MAKE_FAILURE(0x0876, 52))                                                \
    X(DDERR_SURFACELOST, HOST_MAKE_FAILURE(0x0876, 53))                                                      \
    X(DDERR_SURFACENOTATTACHED, HOST_MAKE_FAILURE(0x0876, 54))                                               \
    X(DDERR_TOOBIGHEIGHT, HOST_MAKE_FAILURE(0x0876, 55))                                                     \
    X(DDERR_TOOBIGSIZE, HOST_MAKE_FAILURE(0x0876, 56))                                                       \
    X(DDERR_TOOBIGWIDTH, HOST_MAKE_FAILURE(0x0876, 57))                                                      \
    X(DDERR_UNSUPPORTED, E_NOTIMPL)                                                                          \
    X(DDERR_UNSUPPORTEDFORMAT, HOST_MAKE_FAILURE(0x0876, 59))                                                \
    X(DDERR_UNSUPPORTEDMASK, HOST_MAKE_FAILURE(0x0876, 60))                                                  \
    X(DDERR_VERTICALBLANKINPROGRESS, HOST_MAKE_FAILURE(0x0876, 61))                                          \
    X(DDERR_WASSTILLDRAWING, HOST_MAKE_FAILURE(0x0876, 62))                                                  \
    X(DDERR_XALIGN, HOST_MAKE_FAILURE(0x0876, 63))                                                           \
    X(DDERR_INVALIDDIRECTDRAWGUID, HOST_MAKE_FAILURE(0x0876, 64))                                            \
    X(DDERR_DIRECTDRAWALREADYCREATED, HOST_MAKE_FAILURE(0x0876, 65))                                         \
    X(DDERR_NODIRECTDRAWHW, HOST_MAKE_FAILURE(0x0876, 66))                                                   \
    X(DDERR_PRIMARYSURFACEALREADYEXISTS, HOST_MAKE_FAILURE(0x0876, 67))                                      \
    X(DDERR_NOEMULATION, HOST_MAKE_FAILURE(0x0876, 68))                                                      \
    X(DDERR_REGIONTOOSMALL, HOST_MAKE_FAILURE(0x0876, 69))                                                   \
    X(DDERR_CLIPPERISUSINGHWND, HOST_MAKE_FAILURE(0x0876, 70))                                               \
    X(DDERR_NOCLIPPERATTACHED, HOST_MAKE_FAILURE(0x0876, 71))                                                \
    X(DDERR_NOHWND, HOST_MAKE_FAILURE(0x0876, 72))                                                           \
    X(DDERR_HWNDSUBCLASSED, HOST_MAKE_FAILURE(0x0876, 73))                                                   \
    X(DDERR_HWNDALREADYSET, HOST_MAKE_FAILURE(0x0876, 74))                                                   \
    X(DDERR_NOPALETTEATTACHED, HOST_MAKE_FAILURE(0x0876, 75))                                                \
    X(DDERR_NOPALETTEHW, HOST_MAKE_FAILURE(0x0876, 76))                                                      \
    X(DDERR_BLTFASTCANTCLIP, HOST_MAKE_FAILURE(0x0876, 77))                                                  \
    X(DDERR_NOBLTHW, HOST_MAKE_FAILURE(0x0876, 78))                                                          \
    X(DDERR_NODDROPSHW, HOST_MAKE_FAILURE(0x0876, 79))                                                       \
    X(DDERR_OVERLAYNOTVISIBLE, HOST_MAKE_FAILURE(0x0876, 80))                                                \
    X(DDERR_NOOVERLAYDEST, HOST_MAKE_FAILURE(0x0876, 81))                                                    \
    X(DDERR_INVALIDPOSITION, HOST_MAKE_FAILURE(0x0876, 82))                                                  \
    X(DDERR_NOTAOVERLAYSURFACE, HOST_MAKE_FAILURE(0x0876, 83))                                               \
    X(DDERR_EXCLUSIVEMODEALREADYSET, HOST_MAKE_FAILURE(0x0876, 84))                                          \
    X(DDERR_NOTFLIPPABLE, HOST_MAKE_FAILURE(0x0876, 85))                                                     \
    X(DDERR_CANTDUPLICATE, HOST_MAKE_FAILURE(0x0876, 86))                                                    \
    X(DDERR_NOTLOCKED, HOST_MAKE_FAILURE(0x0876, 87))                                                        \
    X(DDERR_CANTCREATEDC, HOST_MAKE_FAILURE(0x0876, 88))                                                     \
    X(DDERR_NODC, HOST_MAKE_FAILURE(0x0876, 89))                                                             \
    X(DDERR_WRONGMODE, HOST_MAKE_FAILURE(0x0876, 90))                                                        \
    X(DDERR_IMPLICITLYCREATED, HOST_MAKE_FAILURE(0x0876, 91))                                                \
    X(DDERR_NOTPALETTIZED, HOST_MAKE_FAILURE(0x0876, 92))                                                    \
    X(DDERR_UNSUPPORTEDMODE, HOST_MAKE_FAILURE(0x0876, 93))                                                  \
    X(DDERR_NOMIPMAPHW, HOST_MAKE_FAILURE(0x0876, 94))                                                       \
    X(DDERR_INVALIDSURFACETYPE, HOST_MAKE_FAILURE(0x0876, 95))                                               \
    X(DDERR_DCALREADYCREATED, HOST_MAKE_FAILURE(0x0876, 96))                                                 \
    X(DDERR_CANTPAGELOCK, HOST_MAKE_FAILURE(0x0876, 97))                                                     \
    X(DDERR_CANTPAGEUNLOCK, HOST_MAKE_FAILURE(0x0876, 98))                                                   \
    X(DDERR_NOTPAGELOCKED, HOST_MAKE_FAILURE(0x0876, 99))                                                    \
    X(DDERR_NOTINITIALIZED, CO_E_NOTINITIALIZED)

#define DDERR_ALREADYINITIALIZED           HOST_MAKE_FAILURE(0x0876, 1)
#define DDERR_CANNOTATTACHSURFACE          HOST_MAKE_FAILURE(0x0876, 2)
#define DDERR_CANNOTDETACHSURFACE          HOST_MAKE_FAILURE(0x0876, 3)
#define DDERR_CURRENTLYNOTAVAIL            HOST_MAKE_FAILURE(0x0876, 4)
#define DDERR_EXCEPTION                    HOST_MAKE_FAILURE(0x0876, 5)
#define DDERR_GENERIC                      E_FAIL
#define DDERR_HEIGHTALIGN                  HOST_MAKE_FAILURE(0x0876, 7)
#define DDERR_INCOMPATIBLEPRIMARY          HOST_MAKE_FAILURE(0x0876, 8)
#define DDERR_INVALIDCAPS                  HOST_MAKE_FAILURE(0x0876, 9)
#define DDERR_INVALIDCLIPLIST              HOST_MAKE_FAILURE(0x0876, 10)
#define DDERR_INVALIDMODE                  HOST_MAKE_FAILURE(0x0876, 11)
#define DDERR_INVALIDOBJECT                HOST_MAKE_FAILURE(0x0876, 12)
#define DDERR_INVALIDPARAMS                E_INVALIDARG
#define DDERR_INVALIDPIXELFORMAT           HOST_MAKE_FAILURE(0x0876, 14)
#define DDERR_INVALIDRECT                  HOST_MAKE_FAILURE(0x0876, 15)
#define DDERR_LOCKEDSURFACES               HOST_MAKE_FAILURE(0x0876, 16)
#define DDERR_NO3D                         HOST_MAKE_FAILURE(0x0876, 17)
#define DDERR_NOALPHAHW                    HOST_MAKE_FAILURE(0x0876, 18)
#define DDERR_NOCLIPLIST                   HOST_MAKE_FAILURE(0x0876, 19)
#define DDERR_NOCOLORCONVHW                HOST_MAKE_FAILURE(0x0876, 20)
#define DDERR_NOCOOPERATIVELEVELSET        HOST_MAKE_FAILURE(0x0876, 21)
#define DDERR_NOCOLORKEY                   HOST_MAKE_FAILURE(0x0876, 22)
#define DDERR_NOCOLORKEYHW                 HOST_MAKE_FAILURE(0x0876, 23)
#define DDERR_NODIRECTDRAWSUPPORT          HOST_MAKE_FAILURE(0x0876, 24)
#define DDERR_NOEXCLUSIVEMODE              HOST_MAKE_FAILURE(0x0876, 25)
#define DDERR_NOFLIPHW                     HOST_MAKE_FAILURE(0x0876, 26)
#define DDERR_NOGDI                        HOST_MAKE_FAILURE(0x0876, 27)
#define DDERR_NOMIRRORHW                   HOST_MAKE_FAILURE(0x0876, 28)
#define DDERR_NOTFOUND                     HOST_MAKE_FAILURE(0x0876, 29)
#define DDERR_NOOVERLAYHW                  HOST_MAKE_FAILURE(0x0876, 30)
#define DDERR_NORASTEROPHW                 HOST_MAKE_FAILURE(0x0876, 31)
#define DDERR_NOROTATIONHW                 HOST_MAKE_FAILURE(0x0876, 32)
#define DDERR_NOSTRETCHHW                  HOST_MAKE_FAILURE(0x0876, 33)
#define DDERR_NOT4BITCOLOR                 HOST_MAKE_FAILURE(0x0876, 34)
#define DDERR_NOT4BITCOLORINDEX            HOST_MAKE_FAILURE(0x0876, 35)
#define DDERR_NOT8BITCOLOR                 HOST_MAKE_FAILURE(0x0876, 36)
#define DDERR_NOTEXTUREHW                  HOST_MAKE_FAILURE(0x0876, 37)
#define DDERR_NOVSYNCHW                    HOST_MAKE_FAILURE(0x0876, 38)
#define DDERR_NOZBUFFERHW                  HOST_MAKE_FAILURE(0x0876, 39)
#define DDERR_NOZOVERLAYHW                 HOST_MAKE_FAILURE(0x0876, 40)
#define DDERR_OUTOFCAPS                    HOST_MAKE_FAILURE(0x0876, 41)
#define DDERR_OUTOFMEMORY                  E_OUTOFMEMORY
#define DDERR_OUTOFVIDEOMEMORY             HOST_MAKE_FAILURE(0x0876, 43)
#define DDERR_OVERLAYCANTCLIP              HOST_MAKE_FAILURE(0x0876, 44)
#define DDERR_OVERLAYCOLORKEYONLYONEACTIVE HOST_MAKE_FAILURE(0x0876, 45)
#define DDERR_PALETTEBUSY                  HOST_MAKE_FAILURE(0x0876, 46)
#define DDERR_COLORKEYNOTSET               HOST_MAKE_FAILURE(0x0876, 47)
#define DDERR_SURFACEALREADYATTACHED       HOST_MAKE_FAILURE(0x0876, 48)
#define DDERR_SURFACEALREADYDEPENDENT      HOST_MAKE_FAILURE(0x0876, 49)
#define DDERR_SURFACEBUSY                  HOST_MAKE_FAILURE(0x0876, 50)
#define DDERR_CANTLOCKSURFACE              HOST_MAKE_FAILURE(0x0876, 51)
#define DDERR_SURFACEISOBSCURED            HOST_MAKE_FAILURE(0x0876, 52)
#define DDERR_SURFACELOST                  HOST_MAKE_FAILURE(0x0876, 53)
#define DDERR_SURFACENOTATTACHED           HOST_MAKE_FAILURE(0x0876, 54)
#define DDERR_TOOBIGHEIGHT                 HOST_MAKE_FAILURE(0x0876, 55)
#define DDERR_TOOBIGSIZE                   HOST_MAKE_FAILURE(0x0876, 56)
#define DDERR_TOOBIGWIDTH                  HOST_MAKE_FAILURE(0x0876, 57)
#define DDERR_UNSUPPORTED                  E_NOTIMPL
#define DDERR_UNSUPPORTEDFORMAT            HOST_MAKE_FAILURE(0x0876, 59)
#define DDERR_UNSUPPORTEDMASK              HOST_MAKE_FAILURE(0x0876, 60)
#define DDERR_VERTICALBLANKINPROGRESS      HOST_MAKE_FAILURE(0x0876, 61)
#define DDERR_WASSTILLDRAWING              HOST_MAKE_FAILURE(0x0876, 62)
#define DDERR_XALIGN                       HOST_MAKE_FAILURE(0x0876, 63)
#define DDERR_INVALIDDIRECTDRAWGUID        HOST_MAKE_FAILURE(0x0876, 64)
#define DDERR_DIRECTDRAWALREADYCREATED     HOST_MAKE_FAILURE(0x0876, 65)
#define DDERR_NODIRECTDRAWHW               HOST_MAKE_FAILURE(0x0876, 66)
#define DDERR_PRIMARYSURFACEALREADYEXISTS  HOST_MAKE_FAILURE(0x0876, 67)
#define DDERR_NOEMULATION                  HOST_MAKE_FAILURE(0x0876, 68)
#define DDERR_REGIONTOOSMALL               HOST_MAKE_FAILURE(0x0876, 69)
#define DDERR_CLIPPERISUSINGHWND           HOST_MAKE_FAILURE(0x0876, 70)
#define DDERR_NOCLIPPERATTACHED            HOST_MAKE_FAILURE(0x0876, 71)
#define DDERR_NOHWND                       HOST_MAKE_FAILURE(0x0876, 72)
#define DDERR_HWNDSUBCLASSED               HOST_MAKE_FAILURE(0x0876, 73)
#define DDERR_HWNDALREADYSET               HOST_MAKE_FAILURE(0x0876, 74)
#define DDERR_NOPALETTEATTACHED            HOST_MAKE_FAILURE(0x0876, 75)
#define DDERR_NOPALETTEHW                  HOST_MAKE_FAILURE(0x0876, 76)
#define DDERR_BLTFASTCANTCLIP              HOST_MAKE_FAILURE(0x0876, 77)
#define DDERR_NOBLTHW                      HOST_MAKE_FAILURE(0x0876, 78)
#define DDERR_NODDROPSHW                   HOST_MAKE_FAILURE(0x0876, 79)
#define DDERR_OVERLAYNOTVISIBLE            HOST_MAKE_FAILURE(0x0876, 80)
#define DDERR_NOOVERLAYDEST                HOST_MAKE_FAILURE(0x0876, 81)
#define DDERR_INVALIDPOSITION              HOST_MAKE_FAILURE(0x0876, 82)
#define DDERR_NOTAOVERLAYSURFACE           HOST_MAKE_FAILURE(0x0876, 83)
#define DDERR_EXCLUSIVEMODEALREADYSET      HOST_MAKE_FAILURE(0x0876, 84)
#define DDERR_NOTFLIPPABLE                 HOST_MAKE_FAILURE(0x0876, 85)
#define DDERR_CANTDUPLICATE                HOST_MAKE_FAILURE(0x0876, 86)
#define DDERR_NOTLOCKED                    HOST_MAKE_FAILURE(0x0876, 87)
#define DDERR_CANTCREATEDC                 HOST_MAKE_FAILURE(0x0876, 88)
#define DDERR_NODC                         HOST_MAKE_FAILURE(0x0876, 89)
#define DDERR_WRONGMODE                    HOST_MAKE_FAILURE(0x0876, 90)
#define DDERR_IMPLICITLYCREATED            HOST_MAKE_FAILURE(0x0876, 91)
#define DDERR_NOTPALETTIZED                HOST_MAKE_FAILURE(0x0876, 92)
#define DDERR_UNSUPPORTEDMODE              HOST_MAKE_FAILURE(0x0876, 93)
#define DDERR_NOMIPMAPHW                   HOST_MAKE_FAILURE(0x0876, 94)
#define DDERR_INVALIDSURFACETYPE           HOST_MAKE_FAILURE(0x0876, 95)
#define DDERR_DCALREADYCREATED             HOST_MAKE_FAILURE(0x0876, 96)
#define DDERR_CANTPAGELOCK                 HOST_MAKE_FAILURE(0x0876, 97)
#define DDERR_CANTPAGEUNLOCK               HOST_MAKE_FAILURE(0x0876, 98)
#define DDERR_NOTPAGELOCKED                HOST_MAKE_FAILURE(0x0876, 99)
#define DDERR_NOTINITIALIZED               CO_E_NOTINITIALIZED

#define DS_OK S_OK

#define HOST_DSERR_LIST(X)                                                                                   \
    X(DSERR_ALLOCATED, HOST_MAKE_FAILURE(0x0878, 1))                                                         \
    X(DSERR_CONTROLUNAVAIL, HOST_MAKE_FAILURE(0x0878, 2))                                                    \
    X(DSERR_INVALIDPARAM, E_INVALIDARG)                                                                      \
    X(DSERR_INVALIDCALL, HOST_MAKE_FAILURE(0x0878, 4))                                                       \
    X(DSERR_GENERIC, E_FAIL)                                                                                 \
    X(DSERR_PRIOLEVELNEEDED, HOST_MAKE_FAILURE(0x0878, 6))                                                   \
    X(DSERR_OUTOFMEMORY, E_OUTOFMEMORY)                                                                      \
    X(DSERR_BADFORMAT, HOST_MAKE_FAILURE(0x0878, 8))                                                         \
    X(DSERR_UNSUPPORTED, E_NOTIMPL)                                                                          \
    X(DSERR_NODRIVER, HOST_MAKE_FAILURE(0x0878, 10))                                                         \
    X(DSERR_ALREADYINITIALIZED, HOST_MAKE_FAILURE(0x0878, 11))                                               \
    X(DSERR_NOAGGREGATION, CLASS_E_NOAGGREGATION)                                                            \
    X(DSERR_BUFFERLOST, HOST_MAKE_FAILURE(0x0878, 13))                                                       \
    X(DSERR_OTHERAPPHASPRIO, HOST_MAKE_FAILURE(0x0878, 14))                                                  \
    X(DSERR_UNINITIALIZED, HOST_MAKE_FAILURE(0x0878, 15))

#define DSERR_ALLOCATED          HOST_MAKE_FAILURE(0x0878, 1)
#define DSERR_CONTROLUNAVAIL     HOST_MAKE_FAILURE(0x0878, 2)
#define DSERR_INVALIDPARAM       E_INVALIDARG
#define DSERR_INVALIDCALL        HOST_MAKE_FAILURE(0x0878, 4)
#define DSERR_GENERIC            E_FAIL
#define DSERR_PRIOLEVELNEEDED    HOST_MAKE_FAILURE(0x0878, 6)
#define DSERR_OUTOFMEMORY        E_OUTOFMEMORY
#define DSERR_BADFORMAT          HOST_MAKE_FAILURE(0x0878, 8)
#define DSERR_UNSUPPORTED        E_NOTIMPL
#define DSERR_NODRIVER           HOST_MAKE_FAILURE(0x0878, 10)
#define DSERR_ALREADYINITIALIZED HOST_MAKE_FAILURE(0x0878, 11)
#define DSERR_NOAGGREGATION      CLASS_E_NOAGGREGATION
#define DSERR_BUFFERLOST         HOST_MAKE_FAILURE(0x0878, 13)
#define DSERR_OTHERAPPHASPRIO    HOST_MAKE_FAILURE(0x0878, 14)
#define DSERR_UNINITIALIZED      HOST_MAKE_FAILURE(0x0878, 15)

#define D3D_OK S_OK

#define HOST_D3DERR_LIST(X)                                                                                  \
    X(D3DERR_BADMAJORVERSION, HOST_MAKE_FAILURE(0x0877, 1))                                                  \
    X(D3DERR_BADMINORVERSION, HOST_MAKE_FAILURE(0x0877, 2))                                                  \
    X(D3DERR_EXECUTE_CREATE_FAILED, HOST_MAKE_FAILURE(0x0877, 3))                                            \
    X(D3DERR_EXECUTE_DESTROY_FAILED, HOST_MAKE_FAILURE(0x0877, 4))                                           \
    X(D3DERR_EXECUTE_LOCK_FAILED, HOST_MAKE_FAILURE(0x0877, 5))                                              \
    X(D3DERR_EXECUTE_UNLOCK_FAILED, HOST_MAKE_FAILURE(0x0877, 6))                                            \
    X(D3DERR_EXECUTE_LOCKED, HOST_MAKE_FAILURE(0x0877, 7))                                                   \
    X(D3DERR_EXECUTE_NOT_LOCKED, HOST_MAKE_FAILURE(0x0877, 8))                                               \
    X(D3DERR_EXECUTE_FAILED, HOST_MAKE_FAILURE(0x0877, 9))                                                   \
    X(D3DERR_EXECUTE_CLIPPED_FAILED, HOST_MAKE_FAILURE(0x0877, 10))                                          \
    X(D3DERR_TEXTURE_NO_SUPPORT, HOST_MAKE_FAILURE(0x0877, 11))                                              \
    X(D3DERR_TEXTURE_CREATE_FAILED, HOST_MAKE_FAILURE(0x0877, 12))                                           \
    X(D3DERR_TEXTURE_DESTROY_FAILED, HOST_MAKE_FAILURE(0x0877, 13))                                          \
    X(D3DERR_TEXTURE_LOCK_FAILED, HOST_MAKE_FAILURE(0x0877, 14))                                             \
    X(D3DERR_TEXTURE_UNLOCK_FAILED, HOST_MAKE_FAILURE(0x0877, 15))                                           \
    X(D3DERR_TEXTURE_LOAD_FAILED, HOST_MAKE_FAILURE(0x0877, 16))                                             \
    X(D3DERR_TEXTURE_SWAP_FAILED, HOST_MAKE_FAILURE(0x0877, 17))                                             \
    X(D3DERR_TEXTURE_LOCKED, HOST_MAKE_FAILURE(0x0877, 18))                                                  \
    X(D3DERR_TEXTURE_NOT_LOCKED, HOST_MAKE_FAILURE(0x0877, 19))                                              \
    X(D3DERR_TEXTURE_GETSURF_FAILED, HOST_MAKE_FAILURE(0x0877, 20))                                          \
    X(D3DERR_MATRIX_CREATE_FAILED, HOST_MAKE_FAILURE(0x0877, 21))                                            \
    X(D3DERR_MATRIX_DESTROY_FAILED, HOST_MAKE_FAILURE(0x0877, 22))                                           \
    X(D3DERR_MATRIX_SETDATA_FAILED, HOST_MAKE_FAILURE(0x0877, 23))                                           \
    X(D3DERR_MATRIX_GETDATA_FAILED, HOST_MAKE_FAILURE(0x0877, 24))                                           \
    X(D3DERR_SETVIEWPORTDATA_FAILED, HOST_MAKE_FAILURE(0x0877, 25))                                          \
    X(D3DERR_MATERIAL_CREATE_FAILED, HOST_MAKE_FAILURE(0x0877, 26))                                          \
    X(D3DERR_MATERIAL_DESTROY_FAILED, HOST_MAKE_FAILURE(0x0877, 27))                                         \
    X(D3DERR_MATERIAL_SETDATA_FAILED, HOST_MAKE_FAILURE(0x0877, 28))                                         \
    X(D3DERR_MATERIAL_GETDATA_FAILED, HOST_MAKE_FAILURE(0x0877, 29))                                         \
    X(D3DERR_LIGHT_SET_FAILED, HOST_MAKE_FAILURE(0x0877, 30))                                                \
    X(D3DERR_SCENE_IN_SCENE, HOST_MAKE_FAILURE(0x0877, 31))                                                  \
    X(D3DERR_SCENE_NOT_IN_SCENE, HOST_MAKE_FAILURE(0x0877, 32))                                              \
    X(D3DERR_SCENE_BEGIN_FAILED, HOST_MAKE_FAILURE(0x0877, 33))                                              \
    X(D3DERR_SCENE_END_FAILED, HOST_MAKE_FAILURE(0x0877, 34))

#define D3DERR_BADMAJORVERSION         HOST_MAKE_FAILURE(0x0877, 1)
#define D3DERR_BADMINORVERSION         HOST_MAKE_FAILURE(0x0877, 2)
#define D3DERR_EXECUTE_CREATE_FAILED   HOST_MAKE_FAILURE(0x0877, 3)
#define D3DERR_EXECUTE_DESTROY_FAILED  HOST_MAKE_FAILURE(0x0877, 4)
#define D3DERR_EXECUTE_LOCK_FAILED     HOST_MAKE_FAILURE(0x0877, 5)
#define D3DERR_EXECUTE_UNLOCK_FAILED   HOST_MAKE_FAILURE(0x0877, 6)
#define D3DERR_EXECUTE_LOCKED          HOST_MAKE_FAILURE(0x0877, 7)
#define D3DERR_EXECUTE_NOT_LOCKED      HOST_MAKE_FAILURE(0x0877, 8)
#define D3DERR_EXECUTE_FAILED          HOST_MAKE_FAILURE(0x0877, 9)
#define D3DERR_EXECUTE_CLIPPED_FAILED  HOST_MAKE_FAILURE(0x0877, 10)
#define D3DERR_TEXTURE_NO_SUPPORT      HOST_MAKE_FAILURE(0x0877, 11)
#define D3DERR_TEXTURE_CREATE_FAILED   HOST_MAKE_FAILURE(0x0877, 12)
#define D3DERR_TEXTURE_DESTROY_FAILED  HOST_MAKE_FAILURE(0x0877, 13)
#define D3DERR_TEXTURE_LOCK_FAILED     HOST_MAKE_FAILURE(0x0877, 14)
#define D3DERR_TEXTURE_UNLOCK_FAILED   HOST_MAKE_FAILURE(0x0877, 15)
#define D3DERR_TEXTURE_LOAD_FAILED     HOST_MAKE_FAILURE(0x0877, 16)
#define D3DERR_TEXTURE_SWAP_FAILED     HOST_MAKE_FAILURE(0x0877, 17)
#define D3DERR_TEXTURE_LOCKED          HOST_MAKE_FAILURE(0x0877, 18)
#define D3DERR_TEXTURE_NOT_LOCKED      HOST_MAKE_FAILURE(0x0877, 19)
#define D3DERR_TEXTURE_GETSURF_FAILED  HOST_MAKE_FAILURE(0x0877, 20)
#define D3DERR_MATRIX_CREATE_FAILED    HOST_MAKE_FAILURE(0x0877, 21)
#define D3DERR_MATRIX_DESTROY_FAILED   HOST_MAKE_FAILURE(0x0877, 22)
#define D3DERR_MATRIX_SETDATA_FAILED   HOST_MAKE_FAILURE(0x0877, 23)
#define D3DERR_MATRIX_GETDATA_FAILED   HOST_MAKE_FAILURE(0x0877, 24)
#define D3DERR_SETVIEWPORTDATA_FAILED  HOST_MAKE_FAILURE(0x0877, 25)
#define D3DERR_MATERIAL_CREATE_FAILED  HOST_MAKE_FAILURE(0x0877, 26)
#define D3DERR_MATERIAL_DESTROY_FAILED HOST_MAKE_FAILURE(0x0877, 27)
#define D3DERR_MATERIAL_SETDATA_FAILED HOST_MAKE_FAILURE(0x0877, 28)
#define D3DERR_MATERIAL_GETDATA_FAILED HOST_MAKE_FAILURE(0x0877, 29)
#define D3DERR_LIGHT_SET_FAILED        HOST_MAKE_FAILURE(0x0877, 30)
#define D3DERR_SCENE_IN_SCENE          HOST_MAKE_FAILURE(0x0877, 31)
#define D3DERR_SCENE_NOT_IN_SCENE      HOST_MAKE_FAILURE(0x0877, 32)
#define D3DERR_SCENE_BEGIN_FAILED      HOST_MAKE_FAILURE(0x0877, 33)
#define D3DERR_SCENE_END_FAILED        HOST_MAKE_FAILURE(0x0877, 34)

#define D3DRM_OK S_OK

#define HOST_D3DRMERR_LIST(X)                                                                                \
    X(D3DRMERR_BADOBJECT, HOST_MAKE_FAILURE(0x0879, 1))                                                      \
    X(D3DRMERR_BADTYPE, HOST_MAKE_FAILURE(0x0879, 2))                                                        \
    X(D3DRMERR_BADALLOC, HOST_MAKE_FAILURE(0x0879, 3))                                                       \
    X(D3DRMERR_FACEUSED, HOST_MAKE_FAILURE(0x0879, 4))                                                       \
    X(D3DRMERR_NOTFOUND, HOST_MAKE_FAILURE(0x0879, 5))                                                       \
    X(D3DRMERR_NOTDONEYET, HOST_MAKE_FAILURE(0x0879, 6))                                                     \
    X(D3DRMERR_FILENOTFOUND, HOST_MAKE_FAILURE(0x0879, 7))                                                   \
    X(D3DRMERR_BADFILE, HOST_MAKE_FAILURE(0x0879, 8))                                                        \
    X(D3DRMERR_BADDEVICE, HOST_MAKE_FAILURE(0x0879, 9))                                                      \
    X(D3DRMERR_BADVALUE, HOST_MAKE_FAILURE(0x0879, 10))                                                      \
    X(D3DRMERR_BADMAJORVERSION, HOST_MAKE_FAILURE(0x0879, 11))                                               \
    X(D3DRMERR_BADMINORVERSION, HOST_MAKE_FAILURE(0x0879, 12))                                               \
    X(D3DRMERR_UNABLETOEXECUTE, HOST_MAKE_FAILURE(0x0879, 13))

#define D3DRMERR_BADOBJECT       HOST_MAKE_FAILURE(0x0879, 1)
#define D3DRMERR_BADTYPE         HOST_MAKE_FAILURE(0x0879, 2)
#define D3DRMERR_BADALLOC        HOST_MAKE_FAILURE(0x0879, 3)
#define D3DRMERR_FACEUSED        HOST_MAKE_FAILURE(0x0879, 4)
#define D3DRMERR_NOTFOUND        HOST_MAKE_FAILURE(0x0879, 5)
#define D3DRMERR_NOTDONEYET      HOST_MAKE_FAILURE(0x0879, 6)
#define D3DRMERR_FILENOTFOUND    HOST_MAKE_FAILURE(0x0879, 7)
#define D3DRMERR_BADFILE         HOST_MAKE_FAILURE(0x0879, 8)
#define D3DRMERR_BADDEVICE       HOST_MAKE_FAILURE(0x0879, 9)
#define D3DRMERR_BADVALUE        HOST_MAKE_FAILURE(0x0879, 10)
#define D3DRMERR_BADMAJORVERSION HOST_MAKE_FAILURE(0x0879, 11)
#define D3DRMERR_BADMINORVERSION HOST_MAKE_FAILURE(0x0879, 12)
#define D3DRMERR_UNABLETOEXECUTE HOST_MAKE_FAILURE(0x0879, 13)

// DirectInput-style codes (not decoded by the engine, but tested by its callers).
#define DI_OK                 S_OK
#define DIERR_INVALIDPARAM    E_INVALIDARG
#define DIERR_NOTINITIALIZED  CO_E_NOTINITIALIZED
#define DIERR_INPUTLOST       HOST_MAKE_FAILURE(0x087A, 1)
#define DIERR_NOTACQUIRED     HOST_MAKE_FAILURE(0x087A, 2)
#define DIERR_ACQUIRED        HOST_MAKE_FAILURE(0x087A, 3)
#define DIERR_OTHERAPPHASPRIO HOST_MAKE_FAILURE(0x087A, 4)
#define DIERR_DEVICENOTREG    HOST_MAKE_FAILURE(0x087A, 5)
#define DIERR_NOINTERFACE     E_NOINTERFACE
#define DI_BUFFEROVERFLOW     S_FALSE
#define DI_NOEFFECT           S_FALSE
#define DIERR_OBJECTNOTFOUND  HOST_MAKE_FAILURE(0x087A, 6)
#define DIERR_UNSUPPORTED     E_NOTIMPL

#define HOST_DIERR_LIST(X)                                                                                   \
    X(DIERR_INVALIDPARAM, E_INVALIDARG)                                                                      \
    X(DIERR_NOTINITIALIZED, CO_E_NOTINITIALIZED)                                                             \
    X(DIERR_INPUTLOST, HOST_MAKE_FAILURE(0x087A, 1))                                                         \
    X(DIERR_NOTACQUIRED, HOST_MAKE_FAILURE(0x087A, 2))                                                       \
    X(DIERR_ACQUIRED, HOST_MAKE_FAILURE(0x087A, 3))                                                          \
    X(DIERR_OTHERAPPHASPRIO, HOST_MAKE_FAILURE(0x087A, 4))                                                   \
    X(DIERR_DEVICENOTREG, HOST_MAKE_FAILURE(0x087A, 5))                                                      \
    X(DIERR_NOINTERFACE, E_NOINTERFACE)                                                                      \
    X(DIERR_OBJECTNOTFOUND, HOST_MAKE_FAILURE(0x087A, 6))                                                    \
    X(DIERR_UNSUPPORTED, E_NOTIMPL)
